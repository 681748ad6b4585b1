#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// The playlist's entries as data.dat stores them: each a line of bytes, all of them in one
// block. A full playlist read at start costs one allocation instead of two per entry, and a
// path is decoded only when it is shown or played. Decoding is a guess (UTF-8, else the old
// code page), so an entry read from the file is written back as exactly the bytes it was read
// as, whatever the guess made of it; an entry added in this run is kept as UTF-8.
class PlaylistEntries {
public:
    PlaylistEntries() = default;
    // Entries for lines that lie within block. The block is shared, not copied, unless the
    // lines take up less than half of it.
    PlaylistEntries(const QByteArray& block, const QList<QByteArrayView>& lines);

    qsizetype size() const { return spans_.size(); }
    bool isEmpty() const { return spans_.isEmpty(); }
    QByteArrayView bytes(qsizetype i) const;
    QString path(qsizetype i) const;
    QStringList paths() const;

    void append(const QString& path);
    void append(const PlaylistEntries& entries);
    void remove(qsizetype i);
    void truncate(qsizetype size);
    void clear();

private:
    struct Span {
        qsizetype offset;
        qsizetype size;
    };

    void appendBytes(QByteArrayView line);
    void dropDeadBytes();

    QByteArray block_;
    QList<Span> spans_;
    qsizetype liveBytes_ = 0; // the bytes of the block that entries still use
};
