#include "player/playlist_file.h"

#include "files/file_replacement.h"
#include "files/text_file.h"
#include "player/leading_number.h"

#include <algorithm>
#include <cmath>

namespace PlaylistFile {

long long announcedCount(QStringView countLine) {
    const double value = leadingNumber(countLine);
    // Counts beyond the list's capacity mean the same as the capacity, and a count below
    // minus the capacity (as far beyond the range of an integer as a line may reach)
    // means no entries as any negative count does.
    if (!(value < MaxEntries))
        return MaxEntries;
    if (!(value > -MaxEntries))
        return -MaxEntries;
    return static_cast<long long>(std::nearbyint(value));
}

QList<Entry> entriesFromLines(const QList<QByteArray>& lines) {
    if (lines.isEmpty())
        return {};
    LineDecoder decoder;
    const long long count = announcedCount(decoder.decode(lines.first()));
    if (count <= 0)
        return {};
    const qsizetype available = std::min<qsizetype>(lines.size() - 1, count);
    QList<Entry> entries;
    entries.reserve(available);
    for (qsizetype i = 1; i <= available; ++i)
        entries.append(Entry{decoder.decode(lines.at(i)), lines.at(i)});
    return entries;
}

QByteArray serialize(const QList<Entry>& entries) {
    QByteArray bytes = QByteArray::number(entries.size()) + "\r\n";
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (i > 0)
            bytes += "\r\n";
        bytes += entries.at(i).bytes();
    }
    bytes += "\r\n";
    return bytes;
}

QList<Entry> load(const QString& path) {
    const auto lines = readByteLines(path, MaxEntries + 1);
    return lines ? entriesFromLines(*lines) : QList<Entry>{};
}

bool save(const QString& path, const QList<Entry>& entries) {
    return replaceFileContents(path, serialize(entries));
}

} // namespace PlaylistFile
