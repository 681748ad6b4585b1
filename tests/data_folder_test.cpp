// Where the player writes: beside the program when it may, else in the user's data folder,
// where the playlist and the lyric settings then survive a restart.
#include "desktop_integration/data_folder.h"
#include "forms/frm_set.h"
#include "support/form1_fixture.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Read-only by its bits while it lives, which holds for root as well (see isWritable).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : path_(path) {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                         QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    }
    ~ReadOnlyFolder() {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QString path_;
};

TEST(DataFolder, ProgramFolderOnlyWhenItsBitsAllowWriting) {
    TempFolder program;
    EXPECT_TRUE(DataFolder::isWritable(program.path()));
    EXPECT_EQ(DataFolder::choose(program.path(), "/x/data", "/home/u"), program.path());
    {
        const ReadOnlyFolder readOnly(program.path());
        EXPECT_FALSE(DataFolder::isWritable(program.path()));
        EXPECT_EQ(DataFolder::choose(program.path(), "/x/data", "/home/u"), "/x/data/vellora");
    }
    for (const QString& folder : {QStringLiteral("/usr/bin"), program.file("missing"), QString()})
        EXPECT_FALSE(DataFolder::isWritable(folder)) << folder.toStdString();
}

TEST(DataFolder, UserFolderFollowsXdgDataHomeWhenItIsAbsolute) {
    EXPECT_EQ(DataFolder::userFolder("/x/data/", "/home/u"), "/x/data/vellora");
    EXPECT_EQ(DataFolder::userFolder("", "/home/u"), "/home/u/.local/share/vellora");
    EXPECT_EQ(DataFolder::userFolder("relative", "/home/u"), "/home/u/.local/share/vellora");
}

TEST(DataFolder, PlaylistAndSettingsOfAReadOnlyProgramKeepToTheUsersFolder) {
    TempFolder program;
    TempFolder home;
    const ReadOnlyFolder readOnly(program.path());
    const QString data = DataFolder::choose(program.path(), "", home.path());
    ASSERT_TRUE(QDir().mkpath(data));
    for (int run = 0; run < 2; ++run) {
        Form1Fixture fixture;
        FakeWorld world(data);
        world.fonts.folder = fixture.fonts.folder;
        Form1 form(Form1Services{fixture.engine, world.launcher, world.fonts, world.dialogs,
                                 world.lyricWindows, data, fixture.workingDir.path(), [] {}});
        if (run == 0) {
            form.addPaths({"/music/a.mp3"});
            world.lyricWindows.frmSet().SetColor(2);
            form.close();
        } else {
            ASSERT_EQ(form.List2->count(), 1);
            EXPECT_EQ(form.List2->item(0)->text(), "/music/a.mp3");
        }
    }
    EXPECT_TRUE(QFile::exists(data + "/data/system/desktoplrc.pst"));
    EXPECT_EQ(QDir(program.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList());
}

TEST(DataFolder, APlaylistThatCannotBeSavedIsToldOnceAndThePlayerStillEnds) {
    Form1Fixture fixture;
    QDir(fixture.programFolder.path()).mkdir("data.dat"); // no file can replace a folder
    Form1& form = fixture.start();
    form.close();
    form.close();
    ASSERT_EQ(fixture.dialogs.messages.size(), 1);
    EXPECT_TRUE(fixture.dialogs.messages[0].contains("data.dat"));
    for (int tick = 0; tick < 100 && fixture.processEnds == 0; ++tick)
        form.timer4Tick();
    EXPECT_EQ(fixture.processEnds, 1);
}

} // namespace
