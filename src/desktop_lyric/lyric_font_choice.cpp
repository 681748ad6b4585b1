#include "desktop_lyric/lyric_font_choice.h"

#include <QRegularExpression>
#include <cmath>

namespace LyricFontChoice {

bool isPointSize(qreal size) {
    return std::isfinite(size) && size > 0;
}

QString familyWithoutFoundry(const QString& family) {
    static const QRegularExpression foundryTag(QStringLiteral("^(.*\\S)\\s*\\[[^\\[\\]]*\\]$"));
    const QRegularExpressionMatch match = foundryTag.match(family);
    return match.hasMatch() ? match.captured(1) : family;
}

QFont withLyricFont(QFont own, const QString& name, float size) {
    if (!name.isEmpty())
        own.setFamily(name);
    if (isPointSize(size))
        own.setPointSizeF(size);
    return own;
}

std::optional<QFont> chosen(QFont own, const QFont& answer) {
    if (!isPointSize(answer.pointSizeF()) || answer.family().isEmpty())
        return std::nullopt;
    own.setBold(answer.bold());
    own.setPointSizeF(answer.pointSizeF());
    own.setFamily(familyWithoutFoundry(answer.family()));
    own.setItalic(answer.italic());
    return own;
}

} // namespace LyricFontChoice
