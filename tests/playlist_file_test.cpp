#include "player/playlist_file.h"
#include "player/program_files.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct CountCase {
    const char* line;
    long long count;
};

class CountLine : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountLine, AnnouncesTheRoundedLeadingNumber) {
    EXPECT_EQ(PlaylistFile::announcedCount(QString::fromUtf8(GetParam().line)), GetParam().count)
        << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(PlaylistFile, CountLine,
                         ::testing::Values(CountCase{"3", 3}, CountCase{"  12", 12},
                                           CountCase{"0", 0}, CountCase{"", 0}, CountCase{"abc", 0},
                                           CountCase{"-2", -2}, CountCase{"2.5", 2},
                                           CountCase{"3.5", 4}, CountCase{"1.4", 1},
                                           CountCase{"7 songs", 7},
                                           CountCase{"99999999999999999999", 32767},
                                           CountCase{"-99999999999999999999", -32767}));

PlaylistEntries added(const QStringList& paths) {
    PlaylistEntries entries;
    for (const QString& path : paths)
        entries.append(path);
    return entries;
}

QStringList loadBytes(const QByteArray& bytes) {
    TempFolder folder;
    return PlaylistFile::load(folder.write(QStringLiteral("data.dat"), bytes)).paths();
}

TEST(PlaylistFileLoad, ReadsTheCountedEntriesAsTheyAre) {
    EXPECT_EQ(loadBytes("2\r\n/music/a.mp3\r\n /music/b b.mp3 \r\n"),
              (QStringList{"/music/a.mp3", " /music/b b.mp3 "}));
    EXPECT_EQ(loadBytes("1\r\n/a.mp3\r\n/ignored.mp3\r\n"), QStringList{"/a.mp3"});
    EXPECT_EQ(loadBytes("2\r/a.mp3\r/b.mp3\r"), (QStringList{"/a.mp3", "/b.mp3"}));
    EXPECT_EQ(loadBytes("2\n/a.mp3\n/b.mp3\n"), (QStringList{"/a.mp3", "/b.mp3"}));
}

TEST(PlaylistFileLoad, NoEntriesForZeroNegativeOrMissingCounts) {
    EXPECT_TRUE(loadBytes("0\r\n/a.mp3\r\n").isEmpty());
    EXPECT_TRUE(loadBytes("-1\r\n/a.mp3\r\n").isEmpty());
    EXPECT_TRUE(loadBytes("\r\n/a.mp3\r\n").isEmpty());
    EXPECT_TRUE(loadBytes("").isEmpty());
}

TEST(PlaylistFileLoad, TruncatedFileKeepsWhatWasRead) {
    EXPECT_EQ(loadBytes("5\r\n/a.mp3\r\n/b.mp3"), (QStringList{"/a.mp3", "/b.mp3"}));
}

// A pipe would block the start-up until some writer came, and a device might never end.
TEST(PlaylistFileLoad, OnlyARegularFileIsRead) {
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("data.dat"));
    EXPECT_TRUE(PlaylistFile::load(path).isEmpty());
    QDir(folder.path()).mkdir(QStringLiteral("data.dat"));
    EXPECT_TRUE(PlaylistFile::load(path).isEmpty());
    QDir(folder.path()).rmdir(QStringLiteral("data.dat"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_TRUE(PlaylistFile::load(path).isEmpty());
    EXPECT_TRUE(PlaylistFile::load(QStringLiteral("/dev/zero")).isEmpty());
}

TEST(PlaylistFileLoad, ChineseNamesInUtf8AndInTheOldCodePage) {
    const QString name = QStringLiteral("/音乐/玫瑰花的葬礼.mp3");
    EXPECT_EQ(loadBytes("1\r\n" + name.toUtf8() + "\r\n"), QStringList{name});
    // "你好.mp3" written by older tools in GB18030.
    EXPECT_EQ(loadBytes("1\r\n\xC4\xE3\xBA\xC3.mp3\r\n"), QStringList{"你好.mp3"});
}

// One line in the old code page (or one stray byte) must not turn the UTF-8 lines around it
// into mojibake, and whatever the decoding made of a line, it is written back as it was.
TEST(PlaylistFileLoad, EachLineIsDecodedOnItsOwnAndWrittenBackAsItWasRead) {
    const QByteArray utf8 = QStringLiteral("/音乐/玫瑰花的葬礼.mp3").toUtf8();
    const QByteArray file = "\xEF\xBB\xBF"
                            "3\r\n" +
                            utf8 + "\r\n/\xC4\xE3\xBA\xC3.mp3\r\n/stray\xFF.mp3\r\n";
    TempFolder folder;
    const QString path = folder.write(QStringLiteral("data.dat"), file);
    PlaylistEntries entries = PlaylistFile::load(path);
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries.path(0), QStringLiteral("/音乐/玫瑰花的葬礼.mp3"));
    EXPECT_EQ(entries.path(1), QStringLiteral("/你好.mp3"));

    entries.append(QStringLiteral("/新.mp3"));
    ASSERT_TRUE(PlaylistFile::save(path, entries));
    EXPECT_EQ(folder.read(QStringLiteral("data.dat")), "4" + file.sliced(4).chopped(2) + "\r\n" +
                                                           QStringLiteral("/新.mp3").toUtf8() +
                                                           "\r\n");
}

TEST(PlaylistFileSave, ExactBytesAndByteIdenticalRoundTrip) {
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("data.dat"));
    ASSERT_TRUE(PlaylistFile::save(path, {}));
    EXPECT_EQ(folder.read(QStringLiteral("data.dat")), QByteArray("0\r\n\r\n"));

    const PlaylistEntries entries = added({"/music/a.mp3", "/音乐/玫瑰.mp3", "/music/a.mp3"});
    ASSERT_TRUE(PlaylistFile::save(path, entries));
    const QByteArray first = folder.read(QStringLiteral("data.dat"));
    EXPECT_EQ(first, "3\r\n/music/a.mp3\r\n" + QStringLiteral("/音乐/玫瑰.mp3").toUtf8() +
                         "\r\n/music/a.mp3\r\n");
    ASSERT_TRUE(PlaylistFile::save(path, PlaylistFile::load(path)));
    EXPECT_EQ(folder.read(QStringLiteral("data.dat")), first);
}

TEST(PlaylistFileSave, EmptyPlaylistFileLoadsAsEmpty) {
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("data.dat"));
    ASSERT_TRUE(PlaylistFile::save(path, {}));
    EXPECT_TRUE(PlaylistFile::load(path).isEmpty());
}

TEST(PlaylistFileSave, FailedWriteLeavesThePreviousFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempFolder folder;
    const QString path = folder.write(QStringLiteral("data.dat"), "1\r\n/keep.mp3\r\n");
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(PlaylistFile::save(path, added({"/new.mp3"})));
    QFile::setPermissions(folder.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(folder.read(QStringLiteral("data.dat")), QByteArray("1\r\n/keep.mp3\r\n"));
}

TEST(PlaylistFileSave, DirectoryInTheWayIsAFailureNotACrash) {
    TempFolder folder;
    QDir(folder.path()).mkdir(QStringLiteral("data.dat"));
    EXPECT_FALSE(PlaylistFile::save(folder.file(QStringLiteral("data.dat")), added({"/a.mp3"})));
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("data.dat"))).isDir());
}

TEST(ProgramFiles, SeparatorIsNeverDoubled) {
    EXPECT_EQ(programFilePath("/opt/vellora", "data.dat"), QString("/opt/vellora/data.dat"));
    EXPECT_EQ(programFilePath("/", "data.dat"), QString("/data.dat"));
    EXPECT_EQ(programFilePath("C:\\", "data.dat"), QString("C:\\data.dat"));
}

} // namespace

// Entries share one block of bytes: removing, cutting short and appending must keep every
// remaining entry on its own bytes, also once the bytes of removed entries are dropped.
TEST(PlaylistEntries, EditsKeepEachEntryOnItsOwnBytes) {
    TempFolder folder;
    QByteArray file = "3001\r\n\xC4\xE3\xBA\xC3.mp3\r\n";
    for (int i = 0; i < 3000; ++i)
        file += "/music/album/track " + QByteArray::number(i) + ".mp3\r\n";
    PlaylistEntries entries = PlaylistFile::load(folder.write(QStringLiteral("data.dat"), file));
    ASSERT_EQ(entries.size(), 3001);

    for (int i = 0; i < 2500; ++i) // enough to outweigh what remains
        entries.remove(1);
    entries.truncate(400);
    entries.append(added({"/新.mp3", "/b.mp3"}));
    entries.remove(2);

    ASSERT_EQ(entries.size(), 401);
    EXPECT_EQ(entries.bytes(0), QByteArray("\xC4\xE3\xBA\xC3.mp3"));
    EXPECT_EQ(entries.path(0), QStringLiteral("你好.mp3"));
    EXPECT_EQ(entries.path(1), QStringLiteral("/music/album/track 2500.mp3"));
    EXPECT_EQ(entries.path(2), QStringLiteral("/music/album/track 2502.mp3"));
    EXPECT_EQ(entries.path(398), QStringLiteral("/music/album/track 2898.mp3"));
    EXPECT_EQ(entries.path(399), QStringLiteral("/新.mp3"));
    EXPECT_EQ(entries.bytes(400), QByteArray("/b.mp3"));

    PlaylistEntries copy = entries; // shares the block until one of them changes
    copy.remove(0);
    copy.append(QStringLiteral("/c.mp3"));
    EXPECT_EQ(entries.path(0), QStringLiteral("你好.mp3"));
    EXPECT_EQ(entries.size(), 401);
    EXPECT_EQ(copy.path(0), QStringLiteral("/music/album/track 2500.mp3"));
    EXPECT_EQ(copy.path(400), QStringLiteral("/c.mp3"));
    entries.clear();
    EXPECT_TRUE(entries.isEmpty());
    EXPECT_EQ(PlaylistFile::serialize(entries), QByteArray("0\r\n\r\n"));
}
