#include "lyrics/lyric_file.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char* media;
    const char* lyric;
};

class LyricFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(LyricFileName, IsTheMediaNameWithItsExtensionReplaced) {
    EXPECT_EQ(LyricFile::nameFor(QString::fromUtf8(GetParam().media)),
              QString::fromUtf8(GetParam().lyric));
}

INSTANTIATE_TEST_SUITE_P(
    LyricFile, LyricFileName,
    ::testing::Values(NameCase{"/music/song.mp3", "/music/song.lrc"},
                      NameCase{"/music/a b.mp3", "/music/a b.lrc"},
                      NameCase{"/music/ Best/a.mp3", "/music/ Best/a.lrc"},
                      NameCase{"/music/ a.mp3", "/music/ a.lrc"},
                      NameCase{"/music/song.flac", "/music/song.lrc"},
                      NameCase{"/music/song", "/music/song.lrc"},
                      NameCase{"/my.music/song", "/my.music/song.lrc"},
                      NameCase{"/music/玫瑰花的葬礼.mp3", "/music/玫瑰花的葬礼.lrc"},
                      NameCase{"", ""}, NameCase{"/music/", ""}, NameCase{"/music/.mp3", ""}));

TEST(LyricFile, UserFolderNamesOneFilePerMediaPath) {
    const QString a = LyricFile::userFileFor("/music/A/01 Intro.mp3", "/lyrics");
    const QString b = LyricFile::userFileFor("/music/B/01 Intro.mp3", "/lyrics");
    EXPECT_TRUE(a.startsWith("/lyrics/01 Intro.")) << a.toStdString();
    EXPECT_TRUE(a.endsWith(".lrc"));
    EXPECT_NE(a, b);
    EXPECT_EQ(a, LyricFile::userFileFor("/music/A/01 Intro.mp3", "/lyrics"));
    EXPECT_TRUE(LyricFile::userFileFor("/music/", "/lyrics").isEmpty());
    EXPECT_TRUE(LyricFile::userFileFor("/music/a.mp3", "").isEmpty());
    const QString longName = LyricFile::userFileFor("/m/" + QString(300, u'長') + ".mp3", "/l");
    EXPECT_LT(QFileInfo(longName).fileName().toUtf8().size(), 255);
    // Every place is named here, in the order the lyrics are looked for.
    const LyricFile::Places places = LyricFile::placesFor("/music/A/01 Intro.mp3", "/lyrics");
    EXPECT_EQ(places.beside, "/music/A/01 Intro.lrc");
    EXPECT_EQ(places.inUserFolder, a);
}

class LyricLoading : public ::testing::Test {
protected:
    QString media(const char* name = "song.mp3") const {
        return folder.file(QString::fromUtf8(name));
    }
    void writeLyric(const QByteArray& bytes, const char* name = "song.lrc") {
        folder.write(QString::fromUtf8(name), bytes);
    }
    TempFolder folder;
};

TEST_F(LyricLoading, RawLinesInFileOrderEmptyLinesIncluded) {
    writeLyric("[ti:x]\r\n\r\n[00:01.00]la\r\n");
    EXPECT_EQ(LyricFile::loadLines(media()), (QStringList{"[ti:x]", "", "[00:01.00]la"}));
}

TEST_F(LyricLoading, LinuxLineEndsSplitLines) {
    writeLyric("[00:01.00]one\n[00:02.00]two\n");
    EXPECT_EQ(LyricFile::loadLines(media()), (QStringList{"[00:01.00]one", "[00:02.00]two"}));
}

TEST_F(LyricLoading, ChineseLyricsInUtf8AndGb18030) {
    const QString line = QStringLiteral("[00:12.30]玫瑰花的葬礼");
    writeLyric("\xEF\xBB\xBF" + line.toUtf8() + "\r\n", "utf8.lrc");
    EXPECT_EQ(LyricFile::loadLines(media("utf8.mp3")), QStringList{line});
    // "[00:01.00]你好" in GB18030.
    writeLyric("[00:01.00]\xC4\xE3\xBA\xC3\r\n", "gb.lrc");
    EXPECT_EQ(LyricFile::loadLines(media("gb.mp3")), QStringList{"[00:01.00]你好"});
}

TEST_F(LyricLoading, Utf16LyricsFromWindowsTools) {
    const QString text = QStringLiteral("[00:01.00]玫瑰\r\n[00:02.00]花\r\n");
    QByteArray bytes("\xFF\xFE");
    bytes += QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    writeLyric(bytes);
    EXPECT_EQ(LyricFile::loadLines(media()), (QStringList{"[00:01.00]玫瑰", "[00:02.00]花"}));
}

TEST_F(LyricLoading, NothingForMissingHiddenOrFolderLyrics) {
    EXPECT_TRUE(LyricFile::loadLines(media()).isEmpty());
    EXPECT_TRUE(LyricFile::loadLines(QString()).isEmpty());
    writeLyric("[00:01.00]hidden\r\n", ".secret.lrc");
    EXPECT_TRUE(LyricFile::loadLines(media(".secret.mp3")).isEmpty());
    QDir(folder.path()).mkdir(QStringLiteral("dir.lrc"));
    EXPECT_TRUE(LyricFile::loadLines(media("dir.mp3")).isEmpty());
}

TEST_F(LyricLoading, HugeFileKeepsItsFirstLinesOnly) {
    QByteArray bytes;
    for (int i = 0; i < 40000; ++i)
        bytes += "[00:00.00]line " + QByteArray::number(i) + "\r\n";
    writeLyric(bytes);
    const QStringList lines = LyricFile::loadLines(media());
    ASSERT_EQ(lines.size(), LyricFile::MaxLines);
    EXPECT_EQ(lines.last(), QStringLiteral("[00:00.00]line 32766"));
}

TEST_F(LyricLoading, ByteLimitCutsAtALineEndNotInsideACharacter) {
    const QByteArray line = "[00:01.00]" + QStringLiteral("中").repeated(100).toUtf8() + "\r\n";
    writeLyric(line.repeated(LyricFile::MaxBytes / line.size() + 10));
    const QStringList lines = LyricFile::loadLines(media());
    ASSERT_EQ(lines.size(), LyricFile::MaxBytes / line.size());
    EXPECT_EQ(lines.last(), QString::fromUtf8(line.chopped(2)));
}

TEST_F(LyricLoading, BinaryFileWithoutLineEndsIsBounded) {
    writeLyric(QByteArray(LyricFile::MaxBytes + 4096, '\x01'));
    const QStringList lines = LyricFile::loadLines(media());
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.first().size(), LyricFile::MaxBytes);
}

} // namespace
