#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The lyric line store of one track, indexed once when it is loaded. The playback tick asks
// which lines hold the position text ("mm:ss") several times a second; scanning every line
// each time would cost in proportion to the file's bytes, which a hostile file makes
// megabytes. The index lists, for every "dd:dd" text, the lines that contain it, so a tick
// costs only the lines that match, with exactly the lines a plain scan would find.
class LyricLineIndex {
public:
    // Labels and the desktop lyric are never asked to lay out more of a line than this:
    // nothing beyond it could be seen, and laying out megabytes would hold the window up.
    static constexpr qsizetype MaxShownLength = 4096;

    LyricLineIndex() : LyricLineIndex(QStringList()) {}
    explicit LyricLineIndex(QStringList lines);

    const QStringList& lines() const { return lines_; }
    qsizetype size() const { return lines_.size(); }

    // Rows of the lines that contain text as a plain substring, in line order. An empty
    // text is contained in every line.
    std::vector<int> rowsContaining(QStringView text) const;

    // What follows the line's last "]", or the whole line without one; cut to
    // MaxShownLength.
    QString lyricText(int row) const;

    // The text between the line's first "[" and its first "]", cut to MaxShownLength;
    // empty optional when the "]" comes first or is missing.
    std::optional<QString> firstTag(int row) const;

private:
    // Where the parts of a line lie, found once.
    struct LineParts {
        qsizetype textStart = 0;
        qsizetype tagStart = 0;
        qsizetype tagLength = -1; // negative: no first tag
    };

    static LineParts partsOf(QStringView line);

    QStringList lines_;
    std::vector<LineParts> parts_;
    // The rows holding "dd:dd" text k are rows_[keyStart_[k]] up to rows_[keyStart_[k + 1]].
    std::vector<int> keyStart_;
    std::vector<int> rows_;
};
