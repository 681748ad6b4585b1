// Where the player writes: beside the program when it may, else in the user's data folder
// (desktop_processes_xvfb_test restarts a real player from a read-only folder).
#include "files/data_folder.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
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

} // namespace
