#include "lyrics/lyric_line_index.h"

#include <algorithm>
#include <utility>

namespace {

// "dd:dd", the form of every position text of the first hundred minutes.
constexpr qsizetype KeyLength = 5;
constexpr int KeyCount = 10000;

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The key of the "dd:dd" text at position i of text, or -1 when none starts there.
int keyAt(QStringView text, qsizetype i) {
    if (i + KeyLength > text.size() || !isDigit(text[i]) || !isDigit(text[i + 1]) ||
        text[i + 2] != u':' || !isDigit(text[i + 3]) || !isDigit(text[i + 4]))
        return -1;
    const auto digit = [&](qsizetype at) { return text[at].unicode() - u'0'; };
    return ((digit(i) * 10 + digit(i + 1)) * 10 + digit(i + 3)) * 10 + digit(i + 4);
}

// Plain substring containment; for a needle as short as a position text this loop costs
// less than half of QString::contains.
bool containsText(QStringView text, QStringView needle) {
    const qsizetype length = needle.size();
    if (length == 0)
        return true;
    const QChar* chars = text.data();
    const QChar first = needle.front();
    const QChar last = needle.back();
    for (qsizetype i = 0; i + length <= text.size(); ++i) {
        if (chars[i] == first && chars[i + length - 1] == last &&
            std::equal(chars + i, chars + i + length, needle.data()))
            return true;
    }
    return false;
}

QString shown(QStringView text) {
    if (text.size() <= LyricLineIndex::MaxShownLength)
        return text.toString();
    qsizetype length = LyricLineIndex::MaxShownLength;
    if (text[length - 1].isHighSurrogate())
        --length;
    return text.left(length).toString();
}

} // namespace

LyricLineIndex::LyricLineIndex(QStringList lines) : lines_(std::move(lines)) {
    // Rows are gathered per line and key, then laid out key by key in one array: a file
    // of many short lines would otherwise cost an allocation per key and line.
    std::vector<std::pair<int, int>> keyRows; // (key, row), rows ascending
    std::vector<int> lastRowOfKey(KeyCount, -1);
    parts_.reserve(static_cast<size_t>(lines_.size()));
    for (qsizetype row = 0; row < lines_.size(); ++row) {
        const QStringView line = lines_.at(row);
        parts_.push_back(partsOf(line));
        for (qsizetype i = 0; i + KeyLength <= line.size(); ++i) {
            const int key = keyAt(line, i);
            if (key < 0 || lastRowOfKey[size_t(key)] == int(row))
                continue;
            lastRowOfKey[size_t(key)] = int(row);
            keyRows.emplace_back(key, int(row));
        }
    }
    keyStart_.assign(KeyCount + 1, 0);
    for (const auto& [key, row] : keyRows)
        ++keyStart_[size_t(key) + 1];
    for (size_t k = 1; k < keyStart_.size(); ++k)
        keyStart_[k] += keyStart_[k - 1];
    rows_.resize(keyRows.size());
    std::vector<int> next(keyStart_.begin(), keyStart_.end() - 1);
    for (const auto& [key, row] : keyRows)
        rows_[size_t(next[size_t(key)]++)] = row;
}

LyricLineIndex::LineParts LyricLineIndex::partsOf(QStringView line) {
    const qsizetype open = line.indexOf(u'[') + 1;  // 1-based, 0 when missing
    const qsizetype close = line.indexOf(u']') + 1; // 1-based, 0 when missing
    return LineParts{line.lastIndexOf(u']') + 1, open, close - open - 1};
}

std::vector<int> LyricLineIndex::rowsContaining(QStringView text) const {
    std::vector<int> rows;
    if (text.isEmpty()) {
        rows.resize(size_t(lines_.size()));
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i] = int(i);
        return rows;
    }
    for (qsizetype i = 0; i + KeyLength <= text.size(); ++i) {
        const int key = keyAt(text, i);
        if (key < 0)
            continue;
        // Every line holding the text holds this part of it, so its rows are the only
        // candidates; a text that is just the key needs no further look.
        const auto first = rows_.begin() + keyStart_[size_t(key)];
        const auto last = rows_.begin() + keyStart_[size_t(key) + 1];
        if (text.size() == KeyLength)
            return {first, last};
        std::copy_if(first, last, std::back_inserter(rows),
                     [&](int row) { return containsText(lines_.at(row), text); });
        return rows;
    }
    for (qsizetype row = 0; row < lines_.size(); ++row) {
        if (containsText(lines_.at(row), text))
            rows.push_back(int(row));
    }
    return rows;
}

QString LyricLineIndex::lyricText(int row) const {
    return shown(QStringView(lines_.at(row)).mid(parts_[size_t(row)].textStart));
}

std::optional<QString> LyricLineIndex::firstTag(int row) const {
    const LineParts& parts = parts_[size_t(row)];
    if (parts.tagLength < 0)
        return std::nullopt;
    return shown(QStringView(lines_.at(row)).mid(parts.tagStart, parts.tagLength));
}
