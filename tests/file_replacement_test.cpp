#include "desktop_lyric/lyric_settings.h"
#include "files/file_replacement.h"
#include "platform/process/process_signals.h"
#include "player/playlist_file.h"
#include "playlist_saver/playlists.h"
#include "settings/program_settings.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Lowers the file-size limit of this process for one scope: writes beyond it fail as on a
// full disk or a spent quota (the program ignores the signal the limit would send).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit lowered = previous_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &previous_); }

private:
    rlimit previous_{};
    ProcessSignals processSignals_;
};

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

TEST(FileReplacement, AWriteCutShortLeavesTheOldPlaylistWholeAndNothingElse) {
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("data.dat"));
    PlaylistEntries old;
    for (int i = 0; i < 3600; ++i)
        old.append(QStringLiteral("/music/album/track %1.mp3").arg(i, 5));
    ASSERT_TRUE(PlaylistFile::save(path, old));
    const QByteArray before = folder.read(QStringLiteral("data.dat"));
    ASSERT_EQ(before.size(), 108006);

    old.append(QStringLiteral("/music/one more.mp3"));
    {
        FileSizeLimit limit(40960);
        EXPECT_FALSE(PlaylistFile::save(path, old));
    }
    EXPECT_EQ(folder.read(QStringLiteral("data.dat")), before);
    EXPECT_EQ(filesIn(folder.path()), QStringList{"data.dat"});
}

TEST(FileReplacement, AWriteCutShortLeavesTheOldSettingsWhole) {
    TempFolder folder;
    LyricSettings settings(ProgramSettings::in(folder.path()).lyricLook);
    settings.setFont(QStringLiteral("黑体"), 50);
    settings.chooseColourScheme(3);
    ASSERT_TRUE(settings.save());
    const QString file = ProgramSettings::in(folder.path()).lyricLook;
    const QByteArray before = folder.read(QStringLiteral("data/system/desktoplrc.pst"));

    settings.setFont(QString(200, u'x'), settings.fontSize());
    {
        FileSizeLimit limit(16);
        EXPECT_FALSE(settings.save());
    }
    EXPECT_EQ(folder.read(QStringLiteral("data/system/desktoplrc.pst")), before);
    EXPECT_EQ(filesIn(QFileInfo(file).path()), QStringList{"desktoplrc.pst"});
}

TEST(FileReplacement, KeepsLinksAndPermissionsAndLeavesOtherKindsOfFileAlone) {
    TempFolder folder;
    const QString target = folder.write(QStringLiteral("target"), "old");
    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const QString link = folder.file(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(replaceFileContents(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(folder.read(QStringLiteral("target")), "new");
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    const QString pipe = folder.file(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(replaceFileContents(pipe, "new"));
    EXPECT_TRUE(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
}

#ifdef PLAYLIST_SAVER
// However a save is cut off, what is left is one playlist or the other, complete. The saver
// kills itself at points of a seeded schedule of its own CPU time, spread over its first
// three saves (the old playlist again, the new one, the old one once more), so the cuts fall
// before, inside and after a replacement alike on any machine.
TEST(FileReplacement, AKilledSaveLeavesTheCompleteOldOrTheCompleteNewFile) {
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("data.dat"));
    const QByteArray playlists[] = {PlaylistFile::serialize(fullPlaylist(0)),
                                    PlaylistFile::serialize(fullPlaylist(1))};
    QProcess measure;
    measure.start(QStringLiteral(PLAYLIST_SAVER),
                  {folder.file(QStringLiteral("measure.dat")), QStringLiteral("measure")});
    ASSERT_TRUE(measure.waitForFinished(60000));
    const long long oneSave = measure.readAllStandardOutput().trimmed().toLongLong();
    ASSERT_GT(oneSave, 0);
    QFile::remove(folder.file(QStringLiteral("measure.dat")));

    ASSERT_TRUE(replaceFileContents(path, playlists[0]));
    std::mt19937 schedule(1207);
    std::uniform_real_distribution<double> saves(0.1, 3.0);
    int replaced = 0;
    constexpr int Rounds = 40;
    for (int round = 0; round < Rounds; ++round) {
        const auto budget = static_cast<long long>(saves(schedule) * double(oneSave));
        QProcess saver;
        saver.start(QStringLiteral(PLAYLIST_SAVER), {path, QString::number(budget)});
        ASSERT_TRUE(saver.waitForStarted());
        ASSERT_TRUE(saver.waitForFinished(120000));
        EXPECT_EQ(saver.exitStatus(), QProcess::CrashExit);
        const QByteArray left = folder.read(QStringLiteral("data.dat"));
        ASSERT_TRUE(left == playlists[0] || left == playlists[1])
            << "round " << round << ": " << left.size() << " bytes";
        replaced += left == playlists[1];
        for (const QString& name : filesIn(folder.path())) {
            if (name != u"data.dat")
                QFile::remove(folder.file(name));
        }
        // Every round starts from the old playlist.
        ASSERT_TRUE(replaceFileContents(path, playlists[0]));
    }
    // The kills must have caught saves of both kinds, or the test proved little.
    EXPECT_GT(replaced, 0);
    EXPECT_LT(replaced, Rounds);
}
#endif

} // namespace
