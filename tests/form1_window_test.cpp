// The main window driven as a user drives it: its controls where the design puts them,
// clicks, double-clicks, the list, drops, and what it shows of the player core.
#include "desktop_integration/file_drops.h"
#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "platform/process/process_signals.h"
#include "support/double_click.h"
#include "support/event_wait.h"
#include "support/player_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <gtest/gtest.h>
#include <set>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

class Form1Window : public ::testing::Test, public PlayerFixture {
protected:
    QString caption(const char* label) { return control<QLabel>(label)->text(); }
    QListView* list() { return control<QListView>("List2"); }
    QPoint entryAt(int row) {
        return list()->visualRect(player->playlist().model().index(row)).center();
    }
    // Below the last entry, where the list has no entry.
    QPoint blank() { return {40, list()->viewport()->height() - 5}; }
};

TEST_F(Form1Window, ControlsSitWhereTheDesignPutsThem) {
    struct Placement {
        const char* name;
        QRect pixels;
        bool hidden;
    };
    const Placement placements[] = {
        {"Text2", {216, 272, 57, 18}, true},     {"Picture4", {0, 96, 329, 22}, false},
        {"List2", {0, 150, 329, 112}, false},    {"Picture3", {0, 260, 329, 53}, false},
        {"Label2", {16, 8, 297, 32}, false},     {"Check1", {224, 264, 89, 17}, true},
        {"Command3", {376, 176, 25, 17}, false}, {"Command2", {368, 136, 25, 17}, false},
        {"Text1", {344, 232, 241, 26}, false},   {"List1", {424, 8, 57, 28}, false},
        {"Command1", {336, 256, 65, 25}, false}, {"Picture1", {216, 296, 329, 97}, true},
        {"Picture2", {0, 128, 329, 22}, false},  {"Label11", {232, 40, 6, 12}, true},
        {"Label10", {280, 8, 57, 17}, true},     {"Label8", {72, 56, 49, 17}, true},
        {"Label7", {128, 64, 65, 17}, true},     {"Label9", {216, 72, 57, 17}, true},
        {"Label1", {24, 16, 241, 33}, true},     {"w1", {0, 99, 329, 62}, false},
        {"Label3", {0, 240, 89, 17}, false},     {"Label6", {432, 40, 97, 17}, false},
        {"Label5", {104, 248, 81, 17}, false},   {"Label4", {432, 56, 97, 17}, false},
    };
    Form1& form = window();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vellora V1.0"));
    EXPECT_EQ(form.size(), QSize(328, 307));
    for (const Placement& p : placements) {
        auto* shown = control(p.name);
        ASSERT_NE(shown, nullptr) << p.name;
        EXPECT_EQ(shown->geometry(), p.pixels) << p.name;
        EXPECT_EQ(shown->isHidden(), p.hidden) << p.name;
    }
    const std::pair<const char*, int> timers[] = {{"Timer2", 10}, {"Timer5", 16}};
    for (const auto& [name, interval] : timers) {
        const auto* timer = form.findChild<QTimer*>(QString::fromLatin1(name));
        ASSERT_NE(timer, nullptr) << name;
        EXPECT_EQ(timer->interval(), interval) << name;
        EXPECT_FALSE(timer->isActive()) << name;
    }
}

TEST_F(Form1Window, ButtonAreasLieOnTheirStripsWithTheirTooltips) {
    struct Area {
        const char* name;
        int left, width;
        const char* toolTip;
    };
    const Area areas[] = {
        {"Image9", 8, 33, ""},
        {"Image11", 40, 33, ""},
        {"Image10", 80, 25, ""},
        {"Image12", 112, 41, ""},
        {"Image13", 160, 41, ""},
        {"Image14", 208, 49, ""},
        {"Image15", 264, 57, ""},
        {"Image3", 8, 25, "单个音乐文件添加"},
        {"Image6", 56, 25, "删除选中歌曲"},
        {"Image4", 104, 25, "添加音乐文件夹"},
        {"Image5", 152, 25, "清空歌曲列表"},
        {"Image1", 200, 25, "显示桌面歌词"},
        {"Image2", 248, 25, ""},
        {"Image7", 296, 25, "关于我们"},
    };
    for (const Area& a : areas) {
        const QWidget* area = control(a.name);
        ASSERT_NE(area, nullptr) << a.name;
        EXPECT_EQ(area->geometry(), QRect(a.left, 0, a.width, 25)) << a.name;
        EXPECT_EQ(area->toolTip(), QString::fromUtf8(a.toolTip)) << a.name;
    }
}

// The hidden controls show the core's state as the design keeps it, and follow it.
TEST_F(Form1Window, CaptionsFollowThePlayer) {
    writePlaylist("1\r\n/music/one.mp3\r\n");
    window();
    EXPECT_EQ(caption("Label9"), QStringLiteral("2"));
    EXPECT_EQ(caption("Label10"), QStringLiteral("255"));
    EXPECT_EQ(caption("Label11"), QStringLiteral("0"));
    EXPECT_EQ(caption("Label3"), QStringLiteral("Label3"));
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), QStringLiteral("黑体"));
    EXPECT_EQ(control<QLineEdit>("Text1")->text(),
              QStringLiteral("E:\\Music\\top\\Zelvorin-玫瑰花的葬礼.mp3"));
    player->timer3Tick();
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), QStringLiteral("/music/one.mp3"));
    click("Image14");
    EXPECT_EQ(caption("Label9"), QStringLiteral("1"));
    click("Image15");
    EXPECT_EQ(caption("Label9"), QStringLiteral("2"));
    click("Image1");
    EXPECT_TRUE(control<QCheckBox>("Check1")->isChecked());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(caption("Label3"), QStringLiteral("还未执行任何操作"));
}

TEST_F(Form1Window, HiddenCommandButtonsStillTakeFocusInTabOrder) {
    Form1& form = window();
    form.show();
    QApplication::setActiveWindow(&form);
    const char* expected[] = {"w1", "Command1", "List1", "Text1", "Command2", "Command3"};
    control("w1")->setFocus();
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control(expected[i])) << expected[i];
    }
    control("Command1")->setFocus();
    QTest::keyClick(control("Command1"), Qt::Key_Return);
    EXPECT_EQ(engine.url, QStringLiteral("E:\\Music\\top\\Zelvorin-玫瑰花的葬礼.mp3"));
    // What is typed into the path box is what the button plays.
    QTest::keyClicks(control("Text1"), QStringLiteral("x"));
    QTest::keyClick(control("Command1"), Qt::Key_Return);
    EXPECT_EQ(engine.url, QStringLiteral("E:\\Music\\top\\Zelvorin-玫瑰花的葬礼.mp3x"));
}

// The window's keys, pressed where a user would have the focus: on the list, on a button
// (which takes Space and Enter itself) and in the path box (which takes what edits text).
TEST_F(Form1Window, KeysActWhereTheFocusedControlLeavesThem) {
    startWith({"/music/a.mp3", "/music/b.mp3", "/music/c.mp3"});
    Form1& form = window();
    form.show();
    QApplication::setActiveWindow(&form);
    engine.length = 200'000;
    engine.seekable = true;
    engine.place(60'000);
    dialogs.fileAnswers = {"/music/added.mp3"};
    const struct {
        const char* focus;
        int key;
        Qt::KeyboardModifiers modifiers;
        PlayState state;
        const char* call; // what reaches the engine, "" for nothing
    } rows[] = {
        {"List2", Qt::Key_Space, Qt::NoModifier, PlayState::Paused, "play"},
        {"List2", Qt::Key_Space, Qt::NoModifier, PlayState::Playing, "pause"},
        {"List2", Qt::Key_Right, Qt::NoModifier, PlayState::Playing, "seek=65000"},
        {"List2", Qt::Key_Left, Qt::NoModifier, PlayState::Playing, "seek=60000"},
        {"List2", Qt::Key_Return, Qt::NoModifier, PlayState::Playing, "URL=/music/a.mp3"},
        {"List2", Qt::Key_Right, Qt::ControlModifier, PlayState::Playing, "URL=/music/b.mp3"},
        {"List2", Qt::Key_Left, Qt::ControlModifier, PlayState::Playing, "URL=/music/a.mp3"},
        {"Command1", Qt::Key_Space, Qt::NoModifier, PlayState::Playing, "URL=/music/a.mp3"},
        {"Text1", Qt::Key_Left, Qt::NoModifier, PlayState::Playing, ""},
        {"Text1", Qt::Key_Space, Qt::NoModifier, PlayState::Playing, ""},
        {"Image9", Qt::Key_Return, Qt::NoModifier, PlayState::Paused, "play"},
        {"Text1", Qt::Key_O, Qt::ControlModifier, PlayState::Playing, ""},
        {"List2", Qt::Key_Delete, Qt::NoModifier, PlayState::Playing, ""},
        {"List2", Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier, PlayState::Playing, ""},
        {"List2", Qt::Key_L, Qt::ControlModifier, PlayState::Playing, ""},
    };
    for (const auto& row : rows) {
        engine.state = row.state;
        engine.calls.clear();
        QWidget* focused = control(row.focus);
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key(row.key), row.modifiers);
        if (timer("Timer3")->isActive())
            player->timer3Tick(); // the deferred play of previous and next
        EXPECT_EQ(engine.calls.join(u','), QString::fromLatin1(row.call))
            << row.focus << " " << row.key;
    }
    EXPECT_EQ(entries(), (QStringList{"/music/b.mp3", "/music/c.mp3", "/music/added.mp3"}));
    EXPECT_EQ(dialogs.prompts, QStringList{"请选择文件夹"});
    EXPECT_TRUE(lyricWindows.hasFrmShow() && lyricWindows.frmShow().isVisible());
    EXPECT_EQ(control<QLineEdit>("Text1")->text().size(),
              1 + QStringLiteral("/music/a.mp3").size());

    // Tab reaches the image buttons along their strips, each named for a screen reader.
    control("Picture4")->setFocus();
    for (const char* name : {"Image9", "Image11", "Image10", "Image12", "Image13"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control(name)) << name;
    }
    EXPECT_EQ(control("Image9")->accessibleName(), QStringLiteral("播放"));
    EXPECT_EQ(control("Image3")->accessibleName(), QStringLiteral("单个音乐文件添加"));
}

TEST_F(Form1Window, TheAddButtonsAskTheDialogsAndTheTransportButtonsTheCore) {
    TempFolder music;
    music.write("b.mp3", "x");
    window();
    dialogs.fileAnswers = {"/music/a.mp3", ""};
    dialogs.folderAnswers = {music.path()};
    click("Image3");
    click("Image3");
    click("Image4");
    EXPECT_EQ(dialogs.prompts, QStringList{"请选择文件夹"});
    EXPECT_EQ(entries(), (QStringList{"/music/a.mp3", music.file("b.mp3")}));

    engine.calls.clear();
    for (const char* button : {"Image9", "Image11", "Image10"})
        click(button);
    EXPECT_EQ(engine.calls, (QStringList{"play", "pause", "stop"}));
    click("Image13");
    EXPECT_EQ(player->playlist().currentRow(), 0);
    testsupport::doubleClick(control("Image13"));
    EXPECT_EQ(player->playlist().currentRow(), 1); // a double-click is one click
    click("Image12");
    EXPECT_EQ(player->playlist().currentRow(), 0);
    click("Image6");
    EXPECT_EQ(entries(), QStringList{music.file("b.mp3")});
    click("Image5");
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(Form1Window, TimeLabelsShowTheEnginesTextsWhenClicked) {
    window();
    click("Label7");
    EXPECT_EQ(caption("Label7"), QStringLiteral("Label7"));
    engine.length = 296'000;
    engine.place(83'000);
    click("Label7");
    click("Label8");
    EXPECT_EQ(caption("Label7"), QStringLiteral("04:56"));
    EXPECT_EQ(caption("Label8"), QStringLiteral("01:23"));
}

TEST_F(Form1Window, ADoubleClickOnAnEntryPlaysItOnlyWithTheLeftButton) {
    TempFolder music;
    music.write(QStringLiteral("b.lrc"), "[00:01.00]bee\r\n");
    startWith({"/m/a.mp3", music.file("b.mp3")});
    window().show();
    QTest::mouseDClick(list()->viewport(), Qt::RightButton, {}, entryAt(1));
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(engine.calls.filter(QStringLiteral("URL=")).isEmpty());
    QSignalSpy opened(player.get(), &PlayerCore::mediaOpened);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, entryAt(1));
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, entryAt(1));
    ASSERT_TRUE(opened.wait());
    EXPECT_EQ(engine.url, music.file("b.mp3"));
    EXPECT_EQ(player->lyricLines().lines(), QStringList{"[00:01.00]bee"});
}

// The list box the player was designed with keeps its selection when the space below its
// last entry is clicked, and plays the selection when that space is double-clicked.
TEST_F(Form1Window, TheBlankBelowTheEntriesKeepsTheSelection) {
    startWith({"/m/a.mp3", "/m/b.mp3"});
    window().show();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, entryAt(1));
    ASSERT_EQ(player->playlist().currentRow(), 1);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, blank());
    EXPECT_EQ(player->playlist().currentRow(), 1);
    EXPECT_EQ(list()->selectionModel()->selectedRows().size(), 1);

    // Next goes on from the selection, not from the start.
    click("Image13");
    EXPECT_EQ(player->playlist().currentRow(), 0);
    timer("Timer3")->stop();
    player->playlist().select(1);

    QSignalSpy opened(player.get(), &PlayerCore::mediaOpened);
    testsupport::doubleClick(list()->viewport(), blank());
    ASSERT_TRUE(opened.wait());
    EXPECT_EQ(engine.url, QStringLiteral("/m/b.mp3"));
    EXPECT_EQ(player->playlist().currentRow(), 1);
}

TEST_F(Form1Window, EveryTwentyFirstBackgroundClickShowsTheMessageOverTheWindow) {
    Form1& form = window();
    QSignalSpy painted(&form, &Form1::shownOnScreen);
    form.show();
    ASSERT_TRUE(painted.wait());
    for (int click = 1; click <= 21; ++click)
        QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(10, 50));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().endsWith(QStringLiteral("点累了吧？ 先歇一会儿吧！")));
    EXPECT_EQ(caption("Label11"), QStringLiteral("0"));

    testsupport::doubleClick(&form, QPoint(10, 50));
    EXPECT_EQ(caption("Label11"), QStringLiteral("1"));
}

TEST_F(Form1Window, ClicksOnControlsAreNotBackgroundClicks) {
    window().show();
    click("Image9");
    // Beside the buttons of a strip, on the lyric strip and on the engine's band.
    QTest::mouseClick(control("Picture2"), Qt::LeftButton, {}, QPoint(45, 10));
    click("Label2");
    QTest::mouseClick(control("w1"), Qt::LeftButton, {}, QPoint(5, 22));
    EXPECT_EQ(player->lyricSwitch().clickCount(), 0);
}

TEST_F(Form1Window, APressOnTheBackgroundRipplesTheTopPictureUntilTheWaterIsStill) {
    Form1& form = window();
    form.show();
    const QRect water(0, 0, 328, 96);
    const QImage still = form.grab(water).toImage();
    auto* timer2 = form.findChild<QTimer*>(QStringLiteral("Timer2"));
    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(160, 48));
    EXPECT_TRUE(timer2->isActive());
    ASSERT_TRUE(testsupport::waitUntil([&] { return form.grab(water).toImage() != still; }));
    // Still water is not stepped: the timer waits for the next stir.
    ASSERT_TRUE(testsupport::waitUntil([&] { return !timer2->isActive(); }, 30000));
    EXPECT_EQ(form.grab(water).toImage(), still);
}

TEST_F(Form1Window, ToolbarAndVolumeMixerButtons) {
    window();
    EXPECT_FALSE(lyricWindows.hasFrmSet());
    click("Image2");
    ASSERT_TRUE(lyricWindows.hasFrmSet());
    EXPECT_TRUE(lyricWindows.frmSet().isVisible());
    lyricWindows.frmSet().hide();
    click("Command3");
    EXPECT_TRUE(lyricWindows.frmSet().isVisible());
    click("Command2");
    EXPECT_EQ(lyricWindows.settings().fontName(), QStringLiteral("华文行楷"));

    click("Image7");
    EXPECT_EQ(launcher.launches.last(), QStringLiteral("mixer"));
}

// A message about the files the player was started with comes once the window is up.
TEST_F(Form1Window, MessagesWaitUntilTheWindowIsOnScreen) {
    Form1& form = window();
    player->playlist().openPaths({QStringLiteral("/dev/zero")});
    EXPECT_TRUE(dialogs.messages.isEmpty());
    form.show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !dialogs.messages.isEmpty(); }));
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().contains(QStringLiteral("/dev/zero")));
    // Placed by the window system, so the box is centred where the window really is.
    EXPECT_EQ(dialogs.ownersOnScreen, QList<bool>{true});
}

// Calls from outside are answered while a box is open; what they bring to say waits for it
// and shows in one box, never in a box over the box.
TEST_F(Form1Window, OneMessageBoxAtATimeAndWhatCameMeanwhileInOne) {
    QSignalSpy painted(&window(), &Form1::shownOnScreen);
    window().show();
    ASSERT_TRUE(painted.wait());
    dialogs.whileShowing = [this] {
        dialogs.whileShowing = nullptr;
        for (int call = 0; call < 3; ++call)
            player->playlist().openPaths({QStringLiteral("/dev/zero")});
        player->playlist().openPaths({QStringLiteral("/dev/null")});
    };
    player->playlist().openPaths({QStringLiteral("/dev/zero")});
    EXPECT_EQ(dialogs.deepest, 1);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].count(QStringLiteral("/dev/zero")), 1);
    EXPECT_TRUE(dialogs.messages[1].contains(QStringLiteral("/dev/null")));
}

TEST_F(Form1Window, DroppedLocalFilesAndFoldersJoinOthersAreRefused) {
    TempFolder music;
    const QString dropped = music.write("a.mp3", "x");
    music.write("folder/c.mp3", "x");
    Form1& form = window();
    FileDrops drops(form,
                    [this](const QStringList& paths) { player->playlist().openPaths(paths); });
    EXPECT_TRUE(form.acceptDrops());

    QMimeData web;
    web.setUrls({QUrl("https://example.org/a.mp3")});
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(dropped), QUrl::fromLocalFile(music.file("folder")),
                   QUrl("https://example.org/b.mp3")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter); // a drop goes where the drag was taken
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(testsupport::waitUntil([&] { return player->playlist().model().count() == 2; }));
    EXPECT_EQ(entries(), (QStringList{dropped, music.file("folder/c.mp3")}));
    EXPECT_EQ(player->playlist().currentRow(), 0);
}

// Reports whether anything opened a file since the watch began.
class OpenWatch {
public:
    explicit OpenWatch(const QString& path)
        : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          watch_(::inotify_add_watch(fd_, QFile::encodeName(path).constData(), IN_OPEN)) {}
    ~OpenWatch() { ::close(fd_); }
    bool isWatching() const { return fd_ >= 0 && watch_ >= 0; }
    bool sawOpen() const {
        char events[4096];
        return ::read(fd_, events, sizeof events) > 0;
    }

private:
    int fd_;
    int watch_;
};

// Lyric lines and playlist entries are data, never markup: a label left to guess would
// draw "<b>" bold and load whatever an "<img>" names, a pipe there freezing the window.
TEST_F(Form1Window, MarkupInLyricsAndPathsIsShownAsItStandsAndOpensNothing) {
    const QString bait = programFolder.write(QStringLiteral("bait.png"), "not looked at");
    const QString image = QStringLiteral("<img src=\"%1\">").arg(bait);
    const QString media = workingDir.file(QStringLiteral("song.mp3"));
    workingDir.write(QStringLiteral("song.lrc"),
                     ("[00:01.00]" + image + "<b>x</b>\r\n[" + image + "]next\r\n").toUtf8());
    writePlaylist(("1\r\n" + image + ".mp3\r\n").toUtf8());
    OpenWatch watch(bait);
    ASSERT_TRUE(watch.isWatching());

    Form1& form = window();
    form.show();
    player->setCurrentPath(media);
    click("Command1");
    engine.state = PlayState::Playing;
    engine.length = 2000;
    engine.place(1000);
    player->status().timer1Tick();
    for (const char* shown : {"Label2", "Label4", "Label6", "List2"})
        control(shown)->grab();
    form.grab();

    EXPECT_EQ(caption("Label2"), image + QStringLiteral("<b>x</b>"));
    EXPECT_EQ(caption("Label4"), image);
    EXPECT_EQ(player->playlist().model().path(0), image + QStringLiteral(".mp3"));
    EXPECT_FALSE(watch.sawOpen());
}

class Form1Fade : public Form1Window {};

TEST_F(Form1Fade, ClosingWritesThePlaylistKeepsTheWindowAndFadesItStepByStep) {
    writePlaylist("1\r\n/music/one.mp3\r\n");
    Form1& form = window();
    form.show();
    std::set<double> opacities;
    QObject::connect(form.findChild<QTimer*>(QStringLiteral("Timer5")), &QTimer::timeout,
                     [&] { opacities.insert(form.windowOpacity()); });
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(programFolder.read(QStringLiteral("data.dat")), "1\r\n/music/one.mp3\r\n");
    ASSERT_TRUE(testsupport::waitUntil([&] { return processEnds == 1; }));
    EXPECT_GE(opacities.size(), 10u);
    EXPECT_FALSE(form.findChild<QTimer*>(QStringLiteral("Timer5"))->isActive());
}

// Where the window system gives no window opacity (Wayland), the fade asks for none.
TEST_F(Form1Fade, WithoutWindowOpacityTheWindowStaysOpaqueAndTheProgramEnds) {
    Form1 form(Form1Services{start(), dialogs, launcher, lyricWindows, false});
    form.show();
    std::set<double> opacities;
    QObject::connect(form.findChild<QTimer*>(QStringLiteral("Timer5")), &QTimer::timeout,
                     [&] { opacities.insert(form.windowOpacity()); });
    EXPECT_FALSE(form.close());
    ASSERT_TRUE(testsupport::waitUntil([&] { return processEnds == 1; }));
    EXPECT_EQ(opacities, std::set<double>{1.0});
}

TEST_F(Form1Fade, APoliteTerminationSavesThePlaylistAndEnds) {
    ProcessSignals processSignals;
    window().show();
    QObject::connect(&processSignals, &ProcessSignals::terminationRequested, &player->exit(),
                     &ExitSequence::requestClose);
    dialogs.fileAnswers = {QStringLiteral("/music/added.mp3")};
    click("Image3");
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(testsupport::waitUntil([&] { return processEnds == 1; }));
    EXPECT_EQ(programFolder.read(QStringLiteral("data.dat")), "1\r\n/music/added.mp3\r\n");
}

} // namespace
