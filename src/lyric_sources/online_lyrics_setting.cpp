#include "lyric_sources/online_lyrics_setting.h"

#include "files/file_replacement.h"
#include "files/text_file.h"

#include <QDir>
#include <QFileInfo>

namespace OnlineLyricsSetting {

namespace {

constexpr QByteArrayView Key = "search_lyrics_online";
constexpr qsizetype MaxLines = 1000;
constexpr qint64 MaxBytes = 64 * 1024;

// The value of the line when it sets the key.
std::optional<QByteArray> valueOf(const QByteArray& line) {
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || line.left(equals).trimmed() != Key)
        return std::nullopt;
    return line.mid(equals + 1).trimmed();
}

} // namespace

QString fileIn(const QString& dataFolder) {
    return QDir(dataFolder).filePath(QStringLiteral("data/system/vellora.conf"));
}

bool read(const QString& settingsFile) {
    bool on = false;
    for (const QByteArray& line :
         readByteLines(settingsFile, MaxLines, MaxBytes).value_or(QList<QByteArray>{})) {
        if (const std::optional<QByteArray> value = valueOf(line))
            on = value->compare("yes", Qt::CaseInsensitive) == 0;
    }
    return on;
}

bool write(const QString& settingsFile, bool on) {
    const QFileInfo info(settingsFile);
    if (info.exists() && (!info.isFile() || info.size() > MaxBytes))
        return false;
    const QByteArray setting = QByteArray(Key.data(), Key.size()) + (on ? "=yes" : "=no");
    QByteArray contents;
    bool written = false;
    for (const QByteArray& line :
         readByteLines(settingsFile, MaxLines, MaxBytes).value_or(QList<QByteArray>{})) {
        if (valueOf(line)) {
            if (written)
                continue;
            contents += setting + "\r\n";
            written = true;
        } else {
            contents += line + "\r\n";
        }
    }
    if (!written)
        contents += setting + "\r\n";
    return QDir().mkpath(info.absolutePath()) && replaceFileContents(settingsFile, contents);
}

} // namespace OnlineLyricsSetting
