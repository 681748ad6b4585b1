#include "player/playlist_entries.h"

#include "files/text_file.h"

namespace {

// A removed entry leaves its bytes in the block until they outweigh the entries that remain.
constexpr qsizetype DeadBytesKept = 64 * 1024;

} // namespace

PlaylistEntries::PlaylistEntries(const QByteArray& block, const QList<QByteArrayView>& lines) {
    if (lines.isEmpty())
        return;
    const qsizetype first = lines.first().data() - block.constData();
    const qsizetype end = lines.last().data() + lines.last().size() - block.constData();
    Q_ASSERT(first >= 0 && end <= block.size());
    const bool shared = 2 * (end - first) >= block.size();
    block_ = shared ? block : block.sliced(first, end - first);
    const qsizetype shift = shared ? 0 : first;
    spans_.reserve(lines.size());
    for (const QByteArrayView line : lines) {
        spans_.append({line.data() - block.constData() - shift, line.size()});
        liveBytes_ += line.size();
    }
}

QByteArrayView PlaylistEntries::bytes(qsizetype i) const {
    const Span span = spans_.at(i);
    return QByteArrayView(block_.constData() + span.offset, span.size);
}

QString PlaylistEntries::path(qsizetype i) const {
    return LineDecoder().decode(bytes(i));
}

QStringList PlaylistEntries::paths() const {
    QStringList paths;
    paths.reserve(size());
    LineDecoder decoder;
    for (qsizetype i = 0; i < size(); ++i)
        paths.append(decoder.decode(bytes(i)));
    return paths;
}

void PlaylistEntries::append(const QString& path) {
    appendBytes(path.toUtf8());
}

void PlaylistEntries::append(const PlaylistEntries& entries) {
    if (isEmpty()) {
        *this = entries;
        return;
    }
    spans_.reserve(size() + entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        appendBytes(entries.bytes(i));
}

void PlaylistEntries::appendBytes(QByteArrayView line) {
    spans_.append({block_.size(), line.size()});
    block_.append(line);
    liveBytes_ += line.size();
}

void PlaylistEntries::remove(qsizetype i) {
    liveBytes_ -= spans_.at(i).size;
    spans_.removeAt(i);
    dropDeadBytes();
}

void PlaylistEntries::truncate(qsizetype size) {
    if (size >= this->size())
        return;
    for (qsizetype i = size; i < this->size(); ++i)
        liveBytes_ -= spans_.at(i).size;
    spans_.resize(size);
    dropDeadBytes();
}

void PlaylistEntries::clear() {
    *this = PlaylistEntries();
}

void PlaylistEntries::dropDeadBytes() {
    if (block_.size() - liveBytes_ <= std::max(liveBytes_, DeadBytesKept))
        return;
    PlaylistEntries live;
    live.block_.reserve(liveBytes_);
    live.spans_.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        live.appendBytes(bytes(i));
    *this = std::move(live);
}
