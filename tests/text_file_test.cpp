#include "files/text_file.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

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
    EXPECT_EQ(decodeTextLines(chinese.toUtf8(), 10), QStringList{chinese});
    EXPECT_EQ(decodeTextLines("\xEF\xBB\xBF" + chinese.toUtf8(), 10), QStringList{chinese});
    // Only the file's own mark goes; one starting a later line is part of that line's text,
    // whether the file is decoded in one pass or line by line.
    const QStringList marked{"a", QChar(0xFEFF) + QStringLiteral("b")};
    EXPECT_EQ(decodeTextLines("a\r\n\xEF\xBB\xBF"
                              "b",
                              10),
              marked);
    EXPECT_EQ(decodeTextLines("\xFF\r\n\xEF\xBB\xBF"
                              "b",
                              10)
                  .last(),
              marked.last());
}

TEST(TextFileDecoding, EachLineIsUtf8WhereValidAndGb18030Otherwise) {
    // "你好" in GB18030 between two UTF-8 lines; a stray byte spoils only its own line.
    const QByteArray bytes = QStringLiteral("玫瑰\r\n").toUtf8() + "\xC4\xE3\xBA\xC3\r\n" +
                             QStringLiteral("花\r\n").toUtf8() + "x\xFF\x80y";
    const QStringList lines = decodeTextLines(bytes, 10);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"玫瑰", "你好", "花"}));
    EXPECT_TRUE(lines[3].startsWith(u'x') && lines[3].endsWith(u'y'));
}

TEST(TextFileDecoding, Utf16OfEitherByteOrderByItsMark) {
    const QString text = QStringLiteral("[00:01.00]玫瑰\r\n[00:02.00]花\n");
    const QStringList lines{"[00:01.00]玫瑰", "[00:02.00]花"};
    QByteArray little("\xFF\xFE");
    QByteArray big("\xFE\xFF");
    for (QChar c : text) {
        little += char(c.unicode() & 0xFF);
        little += char(c.unicode() >> 8);
        big += char(c.unicode() >> 8);
        big += char(c.unicode() & 0xFF);
    }
    EXPECT_EQ(decodeTextLines(little, 10), lines);
    EXPECT_EQ(decodeTextLines(big, 10), lines);
    TempFolder folder;
    EXPECT_EQ(readTextLines(folder.write(QStringLiteral("le.lrc"), little), 10), lines);
    // Cut by the byte limit inside its second line, the file keeps its first line only.
    EXPECT_EQ(readTextLines(folder.file(QStringLiteral("le.lrc")), 10, little.size() - 4),
              QStringList{lines.first()});
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

TEST(TextFileReading, OnlyRegularFilesAreRead) {
    TempFolder folder;
    EXPECT_FALSE(readTextLines(folder.file(QStringLiteral("missing")), 10).has_value());
    EXPECT_FALSE(readTextLines(folder.path(), 10).has_value());
    // A pipe without a writer would block the reader for good; a device never ends.
    const QString pipe = folder.file(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(readTextLines(pipe, 10).has_value());
    EXPECT_FALSE(readByteLines(QStringLiteral("/dev/zero"), 10).has_value());
    const QString link = folder.file(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(folder.write(QStringLiteral("target"), "a\r\n"), link));
    EXPECT_EQ(readTextLines(link, 10), QStringList{"a"});
}

} // namespace
