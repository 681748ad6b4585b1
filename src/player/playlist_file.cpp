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

PlaylistEntries entriesFromBytes(const QByteArray& bytes) {
    const QList<QByteArrayView> lines = byteLineViews(bytes, MaxEntries + 1);
    if (lines.isEmpty())
        return {};
    const long long count = announcedCount(LineDecoder().decode(lines.first()));
    if (count <= 0)
        return {};
    const qsizetype available = std::min<qsizetype>(lines.size() - 1, count);
    return PlaylistEntries(bytes, lines.mid(1, available));
}

QByteArray serialize(const PlaylistEntries& entries) {
    QByteArray bytes = QByteArray::number(entries.size()) + "\r\n";
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (i > 0)
            bytes += "\r\n";
        bytes += entries.bytes(i);
    }
    bytes += "\r\n";
    return bytes;
}

PlaylistEntries load(const QString& path) {
    const std::optional<QByteArray> bytes = readLineBytes(path, MaxEntries + 1);
    return bytes ? entriesFromBytes(*bytes) : PlaylistEntries{};
}

bool save(const QString& path, const PlaylistEntries& entries) {
    return replaceFileContents(path, serialize(entries));
}

} // namespace PlaylistFile
