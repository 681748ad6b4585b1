// The lyrics menu on the main window's lyric strip, and the notices of the searches it
// starts: where they show, and that no caption or lyric picture ever carries one.
#include "forms/frm_show.h"
#include "forms/lyric_menu.h"
#include "forms/lyric_notices.h"
#include "forms/lyric_search_window.h"
#include "support/event_wait.h"
#include "support/fake_lrclib_server.h"
#include "support/player_fixture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using NoticePlacement::Surface;
using testsupport::waitUntil;

class LyricMenuOnTheStrip : public ::testing::Test, public PlayerFixture {
protected:
    LyricMenuOnTheStrip() {
        lyricSources.lrclib.baseUrl = server.baseUrl();
        lyricSources.lrclibLookups = FakeLrclibServer::clients();
    }

    // A right click on the lyric line, which passes it on to the strip under it.
    QMenu* openMenu(QWidget* on) {
        QContextMenuEvent click(QContextMenuEvent::Mouse, on->rect().center(),
                                on->mapToGlobal(on->rect().center()));
        QApplication::sendEvent(on, &click);
        auto* menu = on->window()->findChild<QMenu*>(QStringLiteral("LyricMenu"));
        return menu && menu->isVisible() ? menu : nullptr;
    }
    static QAction* entry(QMenu* menu, QStringView text) {
        for (QAction* action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    // A track with tags enough to ask the server, opened with its tags read.
    void openTaggedTrack() {
        MediaTags tags;
        tags.title = QStringLiteral("Song");
        tags.artist = QStringLiteral("Artist");
        tags.durationMs = 200'000;
        tagReader.set(track, tags);
        player->setCurrentPath(track);
        player->replay();
        ASSERT_TRUE(waitUntil([&] { return player->openedTrack().hasTags(); }, 30'000));
    }
    // The notices' balloon; a test asks for it once a notice was shown.
    const QLabel& balloon() { return *window().findChild<LyricNotices*>()->balloon(); }
    bool balloonSays(QStringView text) {
        const LyricNotices* notices = window().findChild<LyricNotices*>();
        return waitUntil(
            [&] {
                const QLabel* shown = notices->balloon();
                return shown && shown->isVisible() && shown->text() == text;
            },
            30'000);
    }

    // The search window's parts, by the names a screen reader reads.
    LyricSearchWindow* searchWindow() { return window().findChild<LyricSearchWindow*>(); }
    template <typename Control> Control* searchPart(QStringView name) {
        for (auto* part : searchWindow()->findChildren<Control*>())
            if (part->accessibleName() == name)
                return part;
        return nullptr;
    }
    bool searchSays(QStringView text) {
        return waitUntil([&] { return searchPart<QLabel>(u"消息")->text() == text; }, 30'000);
    }

    FakeLrclibServer server;
    TempFolder music;
    const QString track = music.file(QStringLiteral("song.mp3"));
};

TEST_F(LyricMenuOnTheStrip, HoldsItsEntriesAndTheToggleIsTheSettingsLine) {
    window().show();
    QMenu* menu = openMenu(control("Label2"));
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator() && action->isVisible())
            texts << action->text();
    // One screen: nothing to choose.
    EXPECT_EQ(texts, (QStringList{"无歌词时自动在线搜索", "立即搜索歌词", "换一个歌词", "搜索歌词…",
                                  "锁定桌面歌词"}));
    QAction* toggle = entry(menu, LyricMenu::SearchOnlineText);
    EXPECT_TRUE(toggle->isCheckable());
    EXPECT_FALSE(toggle->isChecked());
    // No track yet: nothing to search for.
    EXPECT_FALSE(entry(menu, LyricMenu::SearchNowText)->isEnabled());

    toggle->trigger();
    menu->hide();
    EXPECT_TRUE(userData.read(QStringLiteral("vellora.conf")).contains("search_lyrics_online=yes"));
    openTaggedTrack();
    menu = openMenu(control("Picture3"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(entry(menu, LyricMenu::SearchOnlineText)->isChecked());
    EXPECT_TRUE(entry(menu, LyricMenu::AnotherCandidateText)->isEnabled());
    menu->hide();
    // On, it searches by itself for a track that has no lyrics.
    EXPECT_TRUE(waitUntil([&] { return !server.requests().isEmpty(); }, 30'000));
}

TEST_F(LyricMenuOnTheStrip, NoticesShowUnderTheStripAndNeverInTheCaptions) {
    window().show();
    openTaggedTrack();
    const QString lyricBefore = control<QLabel>("Label2")->text();
    QMenu* menu = openMenu(control("Label2"));
    ASSERT_NE(menu, nullptr);
    entry(menu, LyricMenu::SearchNowText)->trigger();
    menu->hide();
    EXPECT_TRUE(balloonSays(u"正在搜索歌词…"));
    EXPECT_TRUE(balloonSays(u"未找到歌词"));

    // Centred under the strip's seen part.
    const QWidget* strip = control("Picture3");
    const QRect seen(strip->mapToGlobal(QPoint()),
                     QSize(window().width(), window().height() - strip->y()));
    EXPECT_GT(balloon().geometry().top(), seen.bottom());
    EXPECT_LE(std::abs(balloon().geometry().center().x() - seen.center().x()), 1);
    EXPECT_EQ(control<QLabel>("Label2")->text(), lyricBefore);
    EXPECT_FALSE(lyricWindows.hasFrmShow()) << "a notice made the desktop lyric";

    // A notice belongs to its track.
    const QString next = music.write("next.mp3", "x");
    music.write("next.lrc", "[00:00.00]next\r\n");
    player->setCurrentPath(next);
    player->replay();
    EXPECT_FALSE(balloon().isVisible());
}

TEST_F(LyricMenuOnTheStrip, TheDesktopLyricHasTheMenuAndItsNoticesShowAboveIt) {
    window().show();
    click("Image1"); // the desktop lyric on, with its greeting
    FrmShow& desktopLyric = lyricWindows.frmShow();
    ASSERT_TRUE(desktopLyric.isVisible());
    const QString greeting = lyricWindows.shownText();
    const QImage picture = desktopLyric.picture().copy();
    // The right button opens the menu there; it drags nothing.
    const QPoint placed = desktopLyric.pos();
    QTest::mousePress(&desktopLyric, Qt::RightButton, {}, QPoint(600, 40));
    QTest::mouseMove(&desktopLyric, QPoint(700, 10));
    QTest::mouseRelease(&desktopLyric, Qt::RightButton, {}, QPoint(700, 10));
    EXPECT_EQ(desktopLyric.pos(), placed);

    openTaggedTrack();
    QMenu* menu = openMenu(&desktopLyric);
    ASSERT_NE(menu, nullptr);
    entry(menu, LyricMenu::SearchNowText)->trigger();
    menu->hide();
    EXPECT_TRUE(balloonSays(u"未找到歌词"));
    const QRect lyric = desktopLyric.frameGeometry();
    EXPECT_LT(balloon().geometry().bottom(), lyric.top());
    EXPECT_LE(std::abs(balloon().geometry().center().x() - lyric.center().x()), 1);
    EXPECT_EQ(lyricWindows.shownText(), greeting);
    EXPECT_EQ(desktopLyric.picture(), picture);
}

// The desktop lyric's lock and screen, offered on both surfaces: locked from the desktop
// lyric, it is unlocked from the strip; with two screens the lyric's own is checked, and
// another moves it there.
TEST_F(LyricMenuOnTheStrip, TheDesktopLyricsLockAndScreenAreChosenFromEitherSurface) {
    world.screen.others = {{"HDMI-1", "Acme 24", {1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}}};
    window().show();
    click("Image1");
    FrmShow& desktopLyric = lyricWindows.frmShow();
    QMenu* menu = openMenu(&desktopLyric);
    ASSERT_NE(menu, nullptr);
    entry(menu, LyricMenu::LockText)->trigger();
    menu->hide();
    EXPECT_TRUE(lyricWindows.preferences().locked());

    menu = openMenu(control("Picture3"));
    ASSERT_NE(menu, nullptr);
    QAction* lock = entry(menu, LyricMenu::LockText);
    EXPECT_TRUE(lock->isChecked());
    QMenu* screens = entry(menu, LyricMenu::ScreenText)->menu();
    ASSERT_TRUE(screens->menuAction()->isVisible());
    QStringList names;
    for (const QAction* choice : screens->actions())
        names << choice->text() + (choice->isChecked() ? "*" : "");
    EXPECT_EQ(names, (QStringList{"eDP-1*", "HDMI-1 (Acme 24)"}));
    screens->actions().at(1)->trigger();
    lock->trigger();
    menu->hide();
    EXPECT_FALSE(lyricWindows.preferences().locked());
    EXPECT_EQ(desktopLyric.geometry().topLeft(), QPoint(1920, 1024 - 111));
}

// The search window, as a user goes through it: their own words, the candidates, a preview,
// the choice kept where the lookup finds it first and shown at once, a file of theirs copied
// in, the saved file removed, and a file of the user's own never touched.
TEST_F(LyricMenuOnTheStrip, TheSearchWindowKeepsTheUsersChoiceAndNeverTheirOwnFile) {
    using S = FakeLrclibServer;
    server.answer("/api/search",
                  S::json("[" + S::record(1, "Song", 200, {}, "plain words") + "," +
                          S::record(2, "Song", 260, "[00:01.00]far") + "," +
                          S::record(3, "Song (live)", 201, "[00:01.00]close line") + "]"));
    window();
    openTaggedTrack();
    QMenu* menu = openMenu(control("Picture3"));
    ASSERT_NE(menu, nullptr);
    entry(menu, LyricMenu::SearchWindowText)->trigger();
    ASSERT_NE(searchWindow(), nullptr);
    ASSERT_TRUE(searchWindow()->isVisible());
    const auto field = [&](QStringView name) { return searchPart<QLineEdit>(name); };
    const auto button = [&](QStringView text) { return searchPart<QPushButton>(text); };
    EXPECT_EQ(field(u"标题")->text(), QStringLiteral("Song"));
    EXPECT_EQ(field(u"艺术家")->text(), QStringLiteral("Artist"));

    // The user's own words, and Enter.
    field(u"标题")->setText(QStringLiteral("Song (live)"));
    QTest::keyClick(field(u"标题"), Qt::Key_Return);
    auto* results = searchPart<QTreeWidget>(u"搜索结果");
    ASSERT_TRUE(waitUntil([&] { return results->topLevelItemCount() == 3; }, 30'000));
    EXPECT_EQ(server.requests().last().formValue("track_name"), QStringLiteral("Song (live)"));
    EXPECT_EQ(results->currentItem()->text(0), QStringLiteral("Song (live)"));
    EXPECT_EQ(results->topLevelItem(2)->text(4), QStringLiteral("纯文本"));
    EXPECT_TRUE(searchPart<QPlainTextEdit>(u"歌词预览")
                    ->toPlainText()
                    .contains(QStringLiteral("00:01.00  close line")));

    // Used with Enter on the result: saved beside the media as the user's choice, and shown
    // at once.
    QTest::keyClick(results, Qt::Key_Return);
    const QString beside = music.file(QStringLiteral("song.lrc"));
    EXPECT_EQ(music.read(QStringLiteral("song.lrc")),
              QByteArray("[re:Vellora chosen]\r\n[00:01.00]close line\r\n"));
    EXPECT_EQ(player->lyricLines().lines(), QStringList{"[00:01.00]close line"});

    // Nothing by itself, nor another candidate, replaces the choice; the next play finds it.
    server.answer("/api/search", S::json("[" + S::record(9, "Song", 200, "[00:01.00]other") + "," +
                                         S::record(10, "Song", 200, "[00:01.00]another") + "]"));
    QSignalSpy notices(&player->openedTrack(), &OpenedTrack::notice);
    entry(openMenu(control("Picture3")), LyricMenu::SearchOnlineText)->trigger();
    entry(openMenu(control("Picture3")), LyricMenu::AnotherCandidateText)->trigger();
    ASSERT_TRUE(waitUntil([&] { return notices.size() == 2; }, 30'000));
    EXPECT_EQ(notices.last().at(1).toString(), QStringLiteral("已找到歌词（未保存）"));
    player->replay();
    EXPECT_EQ(player->lyricLines().lines(),
              (QStringList{"[re:Vellora chosen]", "[00:01.00]close line"}));
    EXPECT_TRUE(music.read(QStringLiteral("song.lrc")).contains("close line"));

    // Removed, then a file of the user's copied in; their file is only read.
    button(LyricSearchWindow::RemoveText)->click();
    EXPECT_FALSE(QFile::exists(beside));
    music.write(QStringLiteral("mine.txt"), "[00:02.00]my words\r\n");
    dialogs.lyricFileAnswers << music.file(QStringLiteral("mine.txt"));
    button(LyricSearchWindow::LoadText)->click();
    EXPECT_EQ(music.read(QStringLiteral("song.lrc")),
              QByteArray("[re:Vellora chosen]\r\n[00:02.00]my words\r\n"));
    EXPECT_EQ(music.read(QStringLiteral("mine.txt")), QByteArray("[00:02.00]my words\r\n"));
    EXPECT_EQ(player->lyricLines().lines(), QStringList{"[00:02.00]my words"});

    // A file of the user's own wins: the window says so and writes nothing.
    music.write(QStringLiteral("song.lrc"), "[00:03.00]typed by hand\r\n");
    button(LyricSearchWindow::UseText)->click();
    EXPECT_TRUE(searchSays(u"这首歌已有您自己的歌词文件，它优先于所选歌词，因此未保存"));
    EXPECT_EQ(music.read(QStringLiteral("song.lrc")), QByteArray("[00:03.00]typed by hand\r\n"));
    button(LyricSearchWindow::RemoveText)->click();
    EXPECT_TRUE(QFile::exists(beside));
    QTest::keyClick(searchWindow(), Qt::Key_Escape);
    EXPECT_FALSE(searchWindow()->isVisible());
}

// A search that ends without results says why in one line, and one can be cancelled.
TEST_F(LyricMenuOnTheStrip, TheSearchWindowSaysCalmlyWhyASearchFoundNothing) {
    using S = FakeLrclibServer;
    S::Answer silent;
    silent.never = true;
    const struct {
        const char* name;
        S::Answer answer;
        const char16_t* said;
    } rows[] = {
        {"nothing", S::json("[]"), u"未找到歌词"},
        {"server error", S::json("{}", 500), u"歌词网站出错"},
        {"no answer, cancelled", silent, u"已取消搜索"},
    };
    window();
    openTaggedTrack();
    entry(openMenu(control("Picture3")), LyricMenu::SearchWindowText)->trigger();
    for (const auto& row : rows) {
        server.answer("/api/search", row.answer);
        const qsizetype asked = server.requests().size();
        QTest::keyClick(searchPart<QLineEdit>(u"标题"), Qt::Key_Return);
        ASSERT_TRUE(waitUntil([&] { return server.requests().size() > asked; }, 30'000))
            << row.name;
        if (row.answer.never)
            searchPart<QPushButton>(LyricSearchWindow::CancelText)->click();
        EXPECT_TRUE(searchSays(row.said)) << row.name;
    }
}

// A playlist entry's own menu opens the window for that entry, playing or not.
TEST_F(LyricMenuOnTheStrip, APlaylistEntryOpensTheSearchWindowForItself) {
    const QString other = music.file(QStringLiteral("Band - Other Song.mp3"));
    startWith({track, other});
    auto* list = control<QListView>("List2");
    Q_EMIT list->customContextMenuRequested(list->visualRect(list->model()->index(1, 0)).center());
    auto* menu = window().findChild<QMenu*>(QStringLiteral("PlaylistMenu"));
    ASSERT_NE(menu, nullptr);
    menu->actions().first()->trigger();
    ASSERT_NE(searchWindow(), nullptr);
    EXPECT_EQ(searchWindow()->mediaPath(), other);
    EXPECT_EQ(searchPart<QLineEdit>(u"标题")->text(), QStringLiteral("Other Song"));
    EXPECT_EQ(searchPart<QLineEdit>(u"艺术家")->text(), QStringLiteral("Band"));
}

struct ChoiceCase {
    NoticePlacement::Situation situation;
    Surface chosen;
};

TEST(NoticePlacement, TheSurfaceAskedFromThenTheActiveWindowThenTheDesktopLyric) {
    const ChoiceCase cases[] = {
        {{false, false, false, Surface::None}, Surface::None},
        {{true, false, false, Surface::None}, Surface::LyricStrip},
        {{true, false, true, Surface::None}, Surface::DesktopLyric},
        {{true, true, true, Surface::None}, Surface::LyricStrip},
        {{true, true, true, Surface::DesktopLyric}, Surface::DesktopLyric},
        {{false, false, true, Surface::LyricStrip}, Surface::DesktopLyric}, // minimised since
        {{true, false, false, Surface::DesktopLyric}, Surface::LyricStrip}, // hidden since
    };
    for (const ChoiceCase& c : cases)
        EXPECT_EQ(NoticePlacement::choose(c.situation), c.chosen)
            << c.situation.mainWindowShown << c.situation.mainWindowActive
            << c.situation.desktopLyricShown << int(c.situation.askedFrom);
}

TEST(NoticePlacement, BesideTheSurfaceAndOnTheScreen) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(100, 20);
    // Under the strip; by the desktop lyric above it, or below it at the screen's top.
    EXPECT_EQ(NoticePlacement::position(Surface::LyricStrip, {500, 760, 329, 47}, size, screen),
              QPoint(614, 811));
    EXPECT_EQ(NoticePlacement::position(Surface::DesktopLyric, {0, 900, 1920, 120}, size, screen),
              QPoint(909, 876));
    EXPECT_EQ(NoticePlacement::position(Surface::DesktopLyric, {0, 10, 1920, 120}, size, screen),
              QPoint(909, 134));
    // A strip partly off the screen's edges: above it when there is no room below.
    EXPECT_EQ(NoticePlacement::position(Surface::LyricStrip, {-300, 1070, 329, 47}, size, screen),
              QPoint(0, 1046));
    EXPECT_EQ(NoticePlacement::position(Surface::LyricStrip, {1880, 500, 329, 47}, size, screen),
              QPoint(1820, 551));
}

} // namespace
