// The global shortcuts' triggers as vellora.conf writes them, and how the player chooses a
// way to bind them and acts on a press; the ways themselves are faked here.
#include "desktop_integration/global_shortcuts.h"
#include "settings/program_settings.h"
#include "support/event_wait.h"
#include "support/player_fixture.h"

#include <gtest/gtest.h>

using testsupport::waitUntil;

namespace {

TEST(ShortcutTrigger, IsSpelledForEachWayOrRefused) {
    struct Row {
        const char* written;
        const char* text; // empty: refused
        const char* keysym;
        const char* portal;
    };
    const Row rows[] = {
        {"Ctrl+Alt+W", "Ctrl+Alt+W", "w", "CTRL+ALT+w"},
        {" meta+shift+pgdown ", "Meta+Shift+PgDown", "Page_Down", "SHIFT+LOGO+Page_Down"},
        {"Ctrl+F5", "Ctrl+F5", "F5", "CTRL+F5"},
        {"Alt+Space", "Alt+Space", "space", "ALT+space"},
        {"Ctrl+Alt+7", "Ctrl+Alt+7", "7", "CTRL+ALT+7"},
        {"", "", "", ""},
        {"Ctrl+Alt", "", "", ""},
        {"Ctrl+W, Ctrl+X", "", "", ""},
        {"Ctrl+Alt+Frob", "", "", ""},
        {"Ctrl+Alt+É", "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.written);
        const std::optional<ShortcutTrigger> trigger =
            ShortcutTrigger::parse(QString::fromUtf8(row.written));
        if (*row.text == '\0') {
            EXPECT_FALSE(trigger);
            continue;
        }
        ASSERT_TRUE(trigger);
        EXPECT_EQ(trigger->text(), QString::fromUtf8(row.text));
        EXPECT_EQ(trigger->keysymName(), QString::fromUtf8(row.keysym));
        EXPECT_EQ(trigger->portalText(), QString::fromUtf8(row.portal));
        EXPECT_EQ(ShortcutTrigger::parse(trigger->text()), trigger);
    }
}

// A way that answers bind() at once as it is told, and records what it was given.
class FakeWay : public GlobalShortcutService {
public:
    enum class Answer { Bound, Unavailable, Declined };
    FakeWay(Answer answer, QString name, QStringList* record)
        : answer_(answer), name_(std::move(name)), record_(record) {}
    ~FakeWay() override { *record_ << name_ + " gone"; }
    void bind(const QList<GlobalShortcut>& shortcuts) override {
        QStringList ids;
        for (const GlobalShortcut& shortcut : shortcuts)
            ids << shortcut.id + '=' + shortcut.trigger.text();
        *record_ << name_ + " bind " + ids.join(' ');
        if (answer_ == Answer::Bound)
            Q_EMIT bound();
        else if (answer_ == Answer::Unavailable)
            Q_EMIT unavailable(name_ + " is not here");
        else
            Q_EMIT declined("the user said no");
    }

private:
    Answer answer_;
    QString name_;
    QStringList* record_;
};

class GlobalShortcutsChoice : public ::testing::Test, public PlayerFixture {
protected:
    GlobalShortcutWay way(FakeWay::Answer answer, const QString& name) {
        return [this, answer, name] { return std::make_unique<FakeWay>(answer, name, &record); };
    }
    GlobalShortcuts& shortcuts(std::vector<GlobalShortcutWay> ways) {
        if (!player)
            start();
        chooser = std::make_unique<GlobalShortcuts>(*player, lyricWindows.preferences(), settings,
                                                    std::move(ways),
                                                    [this](const QString& text) { said << text; });
        chooser->start();
        return *chooser;
    }
    void press(const char16_t* id) { Q_EMIT chooser->way()->activated(QString::fromUtf16(id)); }

    QString settings = userData.file("vellora.conf");
    QStringList record;
    QStringList said;
    std::unique_ptr<GlobalShortcuts> chooser;
};

TEST_F(GlobalShortcutsChoice, TheConfigurationWritesItsDefaultsKeepsTheUsersAndTurnsOffEmptyLines) {
    const auto configured = [&] {
        QStringList triggers;
        for (const GlobalShortcut& shortcut :
             GlobalShortcuts::configured(settings, [&](const QString& text) { said << text; }))
            triggers << shortcut.id + '=' + shortcut.trigger.text();
        return triggers;
    };
    EXPECT_EQ(configured(),
              QStringList({"desktop-lyric=Ctrl+Alt+W", "lock-desktop-lyric=Ctrl+Alt+K",
                           "play-pause=Ctrl+Alt+P", "next=Ctrl+Alt+N", "previous=Ctrl+Alt+B"}));
    EXPECT_EQ(ProgramSettings::read(settings, ProgramSettings::NextShortcut), "Ctrl+Alt+N");

    ProgramSettings::write(settings, ProgramSettings::DesktopLyricShortcut, "Meta+L");
    ProgramSettings::write(settings, ProgramSettings::NextShortcut, "");
    ProgramSettings::write(settings, ProgramSettings::PlayPauseShortcut, "Ctrl+Alt+Frob");
    EXPECT_EQ(configured(), QStringList({"desktop-lyric=Meta+L", "lock-desktop-lyric=Ctrl+Alt+K",
                                         "previous=Ctrl+Alt+B"}));
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains("shortcut_play_pause=Ctrl+Alt+Frob")) << said[0].toStdString();
    // The user's lines stay as written.
    EXPECT_EQ(ProgramSettings::read(settings, ProgramSettings::NextShortcut), "");
    EXPECT_EQ(ProgramSettings::read(settings, ProgramSettings::PlayPauseShortcut), "Ctrl+Alt+Frob");
}

TEST_F(GlobalShortcutsChoice, TheFirstWayThatBindsActsOnEveryPress) {
    startWith({"/music/a.mp3", "/music/b.mp3"});
    ProgramSettings::write(settings, ProgramSettings::PreviousShortcut, "");
    shortcuts({way(FakeWay::Answer::Unavailable, "portal"), way(FakeWay::Answer::Bound, "kde"),
               way(FakeWay::Answer::Bound, "x11")});
    ASSERT_TRUE(waitUntil([&] { return chooser->way() != nullptr; }));
    EXPECT_EQ(record, QStringList({"portal bind desktop-lyric=Ctrl+Alt+W "
                                   "lock-desktop-lyric=Ctrl+Alt+K play-pause=Ctrl+Alt+P "
                                   "next=Ctrl+Alt+N",
                                   "portal gone",
                                   "kde bind desktop-lyric=Ctrl+Alt+W "
                                   "lock-desktop-lyric=Ctrl+Alt+K play-pause=Ctrl+Alt+P "
                                   "next=Ctrl+Alt+N"}));
    EXPECT_TRUE(said.isEmpty());

    press(GlobalShortcuts::DesktopLyric);
    EXPECT_TRUE(player->lyricSwitch().shown());
    press(GlobalShortcuts::DesktopLyric);
    EXPECT_FALSE(player->lyricSwitch().shown());
    press(GlobalShortcuts::LockDesktopLyric);
    EXPECT_TRUE(lyricWindows.preferences().locked());
    press(GlobalShortcuts::LockDesktopLyric);
    EXPECT_FALSE(lyricWindows.preferences().locked());
    press(GlobalShortcuts::PlayPause);
    EXPECT_EQ(engine.calls, QStringList{"play"});
    press(GlobalShortcuts::Next);
    EXPECT_EQ(player->playlist().currentRow(), 1);
    press(u"someone-else's");

    chooser.reset();
    EXPECT_EQ(record.last(), "kde gone");
}

TEST_F(GlobalShortcutsChoice, NoWayOrADeclineIsSaidOnceAndNothingElseIsTried) {
    shortcuts(
        {way(FakeWay::Answer::Unavailable, "portal"), way(FakeWay::Answer::Unavailable, "x11")});
    ASSERT_TRUE(waitUntil([&] { return !said.isEmpty(); }));
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains("portal is not here; x11 is not here")) << said[0].toStdString();
    EXPECT_EQ(chooser->way(), nullptr);

    said.clear();
    record.clear();
    shortcuts({way(FakeWay::Answer::Declined, "portal"), way(FakeWay::Answer::Bound, "x11")});
    ASSERT_TRUE(waitUntil([&] { return !said.isEmpty(); }));
    EXPECT_TRUE(said[0].contains("the user said no")) << said[0].toStdString();
    EXPECT_EQ(record.size(), 2); // bound and gone; the second way never asked
    EXPECT_EQ(chooser->way(), nullptr);

    // Every shortcut off: nothing is asked of the desktop, and nothing said.
    said.clear();
    record.clear();
    for (ProgramSettings::Text line :
         {ProgramSettings::DesktopLyricShortcut, ProgramSettings::LockDesktopLyricShortcut,
          ProgramSettings::PlayPauseShortcut, ProgramSettings::NextShortcut,
          ProgramSettings::PreviousShortcut})
        ProgramSettings::write(settings, line, "");
    shortcuts({way(FakeWay::Answer::Unavailable, "portal")});
    QCoreApplication::processEvents();
    EXPECT_TRUE(record.isEmpty());
    EXPECT_TRUE(said.isEmpty());
}

} // namespace
