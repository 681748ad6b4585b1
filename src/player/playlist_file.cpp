#include "player/playlist_file.h"

#include "platform/text_file.h"
#include "player/leading_number.h"

#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace PlaylistFile {

long long announcedCount(QStringView countLine) {
    const double value = leadingNumber(countLine);
    // Counts beyond the list's capacity mean the same as the capacity.
    if (!(value < MaxEntries))
        return MaxEntries;
    return static_cast<long long>(std::nearbyint(value));
}

QStringList entriesFromLines(const QStringList& lines) {
    if (lines.isEmpty())
        return {};
    const long long count = announcedCount(lines.first());
    if (count <= 0)
        return {};
    const qsizetype available = std::min<qsizetype>(lines.size() - 1, count);
    return lines.mid(1, available);
}

QByteArray serialize(const QStringList& entries) {
    QString text = QString::number(entries.size()) + QStringLiteral("\r\n");
    text += entries.join(QStringLiteral("\r\n"));
    text += QStringLiteral("\r\n");
    return text.toUtf8();
}

QStringList load(const QString& path) {
    const auto lines = readTextLines(path, MaxEntries + 1);
    return lines ? entriesFromLines(*lines) : QStringList{};
}

bool save(const QString& path, const QStringList& entries) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(serialize(entries));
    return file.commit();
}

} // namespace PlaylistFile
