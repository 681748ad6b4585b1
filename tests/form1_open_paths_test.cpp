// Files from the command line, a second start or a file manager's drop join the playlist
// as the add buttons add them, and the first that joined plays.
#include "desktop_integration/file_drops.h"
#include "support/event_wait.h"
#include "support/form1_fixture.h"

#include <QApplication>
#include <QListWidget>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

class Form1OpenPaths : public ::testing::Test, public Form1Fixture {
protected:
    QStringList entries() const {
        QStringList result;
        for (int i = 0; i < mainWindow->List2->count(); ++i)
            result << mainWindow->List2->item(i)->text();
        return result;
    }
};

TEST_F(Form1OpenPaths, FilesAndFoldersJoinWithTheAddChecksAndTheFirstNewPlays) {
    TempFolder music;
    for (const char* name : {"b.mp3", "A.MP3", "notes.txt"})
        music.write(name, "x");
    writePlaylist("1\r\n/music/old.mp3\r\n");
    Form1& form = start();
    form.timer3Tick();
    form.addPaths({"/music/one.mp3", "/music/two\nlines.mp3", music.path()});
    EXPECT_EQ(entries(), (QStringList{"/music/old.mp3", "/music/one.mp3", music.file("A.MP3"),
                                      music.file("b.mp3")}));
    ASSERT_EQ(dialogs.messages.size(), 1); // the line break
    form.timer3Tick();
    EXPECT_EQ(engine.url, "/music/one.mp3");

    form.addPaths({"/music/two\nlines.mp3"}); // nothing joined: nothing else plays
    EXPECT_EQ(form.selectedIndex(), 1);
    EXPECT_FALSE(form.Timer3->isActive());
}

TEST_F(Form1OpenPaths, DroppedLocalFilesAndFoldersJoinOthersAreRefused) {
    TempFolder music;
    music.write("c.mp3", "x");
    Form1& form = start();
    FileDrops drops(form, [&form](const QStringList& paths) { form.addPaths(paths); });
    EXPECT_TRUE(form.acceptDrops());

    QMimeData web;
    web.setUrls({QUrl("https://example.org/a.mp3")});
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/music/a.mp3"), QUrl::fromLocalFile(music.path()),
                   QUrl("https://example.org/b.mp3")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter); // a drop goes where the drag was taken
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(testsupport::waitUntil([&] { return form.List2->count() == 2; }));
    EXPECT_EQ(entries(), (QStringList{"/music/a.mp3", music.file("c.mp3")}));
    EXPECT_EQ(form.selectedIndex(), 0);
}

} // namespace
