#include "platform/text_file.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

struct LineEndCase {
    const char* name;
    QByteArray bytes;
    QStringList lines;
};

class LineEnds : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(LineEnds, EachTerminatorEndsOneLine) {
    TempFolder folder;
    const auto lines = readTextLines(folder.write(QStringLiteral("t.txt"), GetParam().bytes), 100);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    TextFile, LineEnds,
    ::testing::Values(LineEndCase{"crlf", "a\r\nb\r\n", {"a", "b"}},
                      LineEndCase{"cr", "a\rb\r", {"a", "b"}},
                      LineEndCase{"lf", "a\nb\n", {"a", "b"}},
                      LineEndCase{"mixed", "a\r\n\rb\nc", {"a", "", "b", "c"}},
                      LineEndCase{"no_final_terminator", "a\r\nb", {"a", "b"}},
                      LineEndCase{"lf_cr_is_two_ends", "a\n\rb", {"a", "", "b"}},
                      LineEndCase{"empty", "", {}}, LineEndCase{"only_terminator", "\r\n", {""}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(TextFileDecoding, Utf8WithAndWithoutByteOrderMark) {
    const QString chinese = QStringLiteral("玫瑰花的葬礼");
    EXPECT_EQ(decodeText(chinese.toUtf8()), chinese);
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBF") + chinese.toUtf8()), chinese);
}

TEST(TextFileDecoding, InvalidUtf8IsReadAsGb18030) {
    // "你好" in GB18030; as UTF-8 these bytes are invalid.
    EXPECT_EQ(decodeText(QByteArray("\xC4\xE3\xBA\xC3")), QStringLiteral("你好"));
    // Bytes that are neither still decode to something, never fail.
    EXPECT_FALSE(decodeText(QByteArray("\xFF\xFF\x80", 3)).isEmpty());
}

TEST(TextFileReading, StopsAtTheLineLimitWithoutReadingFurther) {
    TempFolder folder;
    QByteArray bytes;
    for (int i = 0; i < 40000; ++i)
        bytes += "line " + QByteArray::number(i) + "\r\n";
    // Invalid UTF-8 after the wanted lines must not change how those lines are decoded.
    bytes += "\xFF\xFE garbage";
    const auto lines = readTextLines(folder.write(QStringLiteral("big.txt"), bytes), 32767);
    ASSERT_TRUE(lines.has_value());
    ASSERT_EQ(lines->size(), 32767);
    EXPECT_EQ(lines->last(), QStringLiteral("line 32766"));
}

TEST(TextFileReading, CrLfSplitAcrossReadChunksIsOneTerminator) {
    TempFolder folder;
    QByteArray bytes(64 * 1024 - 1, 'x');
    bytes += "\r\nsecond\r\n";
    const auto lines = readTextLines(folder.write(QStringLiteral("t.txt"), bytes), 100);
    ASSERT_TRUE(lines.has_value());
    ASSERT_EQ(lines->size(), 2);
    EXPECT_EQ(lines->at(1), QStringLiteral("second"));
}

TEST(TextFileReading, MissingFileOrDirectoryCannotBeRead) {
    TempFolder folder;
    EXPECT_FALSE(readTextLines(folder.file(QStringLiteral("missing")), 10).has_value());
    EXPECT_FALSE(readTextLines(folder.path(), 10).has_value());
}

} // namespace
