#include "desktop_integration/global_shortcuts.h"
#include "forms/frm_show.h"
#include "platform/shortcuts/key_grab_shortcuts.h"
#include "platform/shortcuts/kglobalaccel_shortcuts.h"
#include "support/event_wait.h"
#include "support/player_fixture.h"
#include "support/private_bus.h"
#include "support/x11_client.h"

#include <QDBusConnectionInterface>
#include <QProcess>
#include <QScopeGuard>
#include <bit>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

using testsupport::waitUntil;
using testsupport::X11Client;

namespace {

constexpr quint16 CtrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
const QList<const char*> CtrlAltW{"Control_L", "Alt_L", "w"};

GlobalShortcut shortcut(const char* id, const char* trigger) {
    return {id, QStringLiteral("shortcut ") + id, *ShortcutTrigger::parse(QString(trigger))};
}

// Everything a way said.
struct Heard {
    explicit Heard(GlobalShortcutService& way) {
        QObject::connect(&way, &GlobalShortcutService::bound, [this] { answers << "bound"; });
        QObject::connect(&way, &GlobalShortcutService::unavailable,
                         [this](const QString& why) { answers << why; });
        QObject::connect(&way, &GlobalShortcutService::activated,
                         [this](const QString& id) { activated << id; });
        QObject::connect(&way, &GlobalShortcutService::notice,
                         [this](const QString& text) { notices << text; });
    }
    QStringList answers, activated, notices;
};

// Pressed in order through the X server's test extension, as a keyboard would, and let go.
void press(X11Client& x, const QList<const char*>& keysyms) {
    for (const char* keysym : keysyms)
        x.fakeInput(XCB_KEY_PRESS, x.keycode(keysym));
    for (auto keysym = keysyms.rbegin(); keysym != keysyms.rend(); ++keysym)
        x.fakeInput(XCB_KEY_RELEASE, x.keycode(*keysym));
}

void expectActivated(X11Client& x, Heard& heard, const QList<const char*>& keys, const char* id) {
    heard.activated.clear();
    press(x, keys);
    EXPECT_TRUE(waitUntil([&] { return !heard.activated.isEmpty(); }));
    EXPECT_EQ(heard.activated, QStringList{id});
}

// KDE's service on a bus of the test's own and on the test's X server, its saved shortcuts in
// a home of its own. Started before anything binds: the bus would otherwise start one itself,
// in the user's home.
class KdeService : public ::testing::Test {
protected:
    ~KdeService() override {
        service.terminate();
        service.waitForFinished(3000);
    }
    void start(const QByteArray& savedShortcuts) {
        home.write(".config/kglobalshortcutsrc", savedShortcuts);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", home.file(".config"));
        environment.insert("XDG_RUNTIME_DIR", home.path());
        service.setProcessEnvironment(environment);
        service.start("kglobalaccel5", {});
        const QDBusConnection client = bus.connect("client");
        ASSERT_TRUE(waitUntil(
            [&] { return client.interface()->isServiceRegistered("org.kde.kglobalaccel"); },
            20000));
    }

    PrivateBus bus;
    TempFolder home;
    QProcess service;
    X11Client x;
};

TEST_F(KdeService, PressesReachThePlayerUnderTheUsersKeysUntilItGoes) {
    // The user moved the lock to Ctrl+Alt+Q in KDE's settings; another program has Ctrl+Alt+P.
    start("[vellora]\n_k_friendly_name=Vellora\nlock=Ctrl+Alt+Q,Ctrl+Alt+K,shortcut lock\n\n"
          "[other]\n_k_friendly_name=Other\ngrab=Ctrl+Alt+P,Ctrl+Alt+P,Grab\n");
    auto way = std::make_unique<KGlobalAccelShortcuts>(bus.connect("player"));
    Heard heard(*way);
    way->bind({shortcut("lyric", "Ctrl+Alt+W"), shortcut("lock", "Ctrl+Alt+K"),
               shortcut("play", "Ctrl+Alt+P")});
    ASSERT_TRUE(waitUntil([&] { return !heard.answers.isEmpty(); }));
    EXPECT_EQ(heard.answers, QStringList{"bound"});
    ASSERT_EQ(heard.notices.size(), 1);
    EXPECT_TRUE(heard.notices[0].contains("Ctrl+Alt+P") && heard.notices[0].contains("Other: Grab"))
        << heard.notices[0].toStdString();

    expectActivated(x, heard, CtrlAltW, "lyric");
    expectActivated(x, heard, {"Control_L", "Alt_L", "q"}, "lock");

    // The service holds the keys on the X server, and lets another program have them once the
    // player is gone.
    EXPECT_FALSE(x.grabKey(x.keycode("w"), CtrlAlt));
    way.reset();
    for (const char* key : {"w", "q"})
        EXPECT_TRUE(waitUntil([&] { return x.grabKey(x.keycode(key), CtrlAlt); })) << key;
}

TEST(KeyGrabs, PressesReachTheirShortcutWhicheverLocksAreOn) {
    X11Client x;
    KeyGrabShortcuts way;
    Heard heard(way);
    way.bind({shortcut("lyric", "Ctrl+Alt+W"), shortcut("next", "Meta+Shift+PgDown")});
    EXPECT_EQ(heard.answers, QStringList{"bound"});
    EXPECT_TRUE(heard.notices.isEmpty());

    const QList<const char*> metaShiftPageDown{"Super_L", "Shift_L", "Page_Down"};
    const struct {
        QList<const char*> locks;
        QList<const char*> keys;
        const char* id;
    } rows[] = {
        {{}, CtrlAltW, "lyric"},           {{"Caps_Lock"}, CtrlAltW, "lyric"},
        {{"Num_Lock"}, CtrlAltW, "lyric"}, {{"Caps_Lock", "Num_Lock"}, CtrlAltW, "lyric"},
        {{}, metaShiftPageDown, "next"},   {{"Caps_Lock", "Num_Lock"}, metaShiftPageDown, "next"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id + (" with locks " + std::to_string(row.locks.size())));
        for (const char* lock : row.locks)
            press(x, {lock});
        ASSERT_EQ(std::popcount(x.modifierState()), row.locks.size());
        expectActivated(x, heard, row.keys, row.id);
        for (const char* lock : row.locks)
            press(x, {lock});
    }
}

TEST(KeyGrabs, AKeyAnotherProgramHoldsIsToldOnceAndTheOthersWorkUntilTheWayGoes) {
    X11Client x;
    X11Client other;
    ASSERT_TRUE(other.grabKey(other.keycode("w"), CtrlAlt));
    auto way = std::make_unique<KeyGrabShortcuts>();
    Heard heard(*way);
    way->bind({shortcut("lyric", "Ctrl+Alt+W"), shortcut("next", "Ctrl+Alt+N")});
    EXPECT_EQ(heard.answers, QStringList{"bound"});
    ASSERT_EQ(heard.notices.size(), 1);
    EXPECT_TRUE(heard.notices[0].contains("Ctrl+Alt+W")) << heard.notices[0].toStdString();

    expectActivated(x, heard, {"Control_L", "Alt_L", "n"}, "next");
    // Ctrl+Alt+W working only while Caps Lock is on would be a riddle: the way let it go whole.
    EXPECT_TRUE(x.grabKey(x.keycode("w"), CtrlAlt | XCB_MOD_MASK_LOCK));
    EXPECT_FALSE(x.grabKey(x.keycode("n"), CtrlAlt | XCB_MOD_MASK_LOCK));

    way.reset();
    for (const quint16 locks : std::initializer_list<quint16>{0, XCB_MOD_MASK_LOCK})
        EXPECT_TRUE(waitUntil([&] { return x.grabKey(x.keycode("n"), CtrlAlt | locks); }));
}

// A new keymap (another layout, an input method setting its own) may move a shortcut's key
// to another keycode: the grabs follow it.
TEST(KeyGrabs, FollowTheirKeyWhenTheKeymapMovesIt) {
    X11Client x;
    const quint8 w = x.keycode("w");
    const quint8 z = x.keycode("z");
    const auto restore = qScopeGuard([&] {
        x.setKeysym(w, "w");
        x.setKeysym(z, "z");
    });
    KeyGrabShortcuts way;
    Heard heard(way);
    way.bind({shortcut("lyric", "Ctrl+Alt+W")});
    x.setKeysym(w, "z");
    x.setKeysym(z, "w");
    ASSERT_EQ(x.keycode("w"), z);
    // A press before the way has read the new keymap goes to no one; the next ones come.
    EXPECT_TRUE(waitUntil([&] {
        press(x, CtrlAltW);
        return heard.activated == QStringList{"lyric"};
    }));
    EXPECT_TRUE(x.grabKey(w, CtrlAlt)) << "the old key let go";
    EXPECT_TRUE(heard.notices.isEmpty()) << heard.notices.join('\n').toStdString();
}

TEST(GlobalShortcutsThroughKeyGrabs, TheDesktopLyricKeyShowsThenHidesTheLyric) {
    PlayerFixture player;
    PlayerCore& core = player.start();
    QStringList said;
    GlobalShortcuts shortcuts(core, player.lyricWindows.preferences(),
                              player.userData.file("vellora.conf"),
                              {[] { return std::make_unique<KeyGrabShortcuts>(); }},
                              [&](const QString& text) { said << text; });
    shortcuts.start();
    ASSERT_TRUE(waitUntil([&] { return shortcuts.way() != nullptr; }));

    X11Client x;
    for (const bool shown : {true, false}) {
        press(x, CtrlAltW);
        EXPECT_TRUE(waitUntil([&] { return core.lyricSwitch().shown() == shown; }));
        ASSERT_TRUE(player.lyricWindows.hasFrmShow());
        EXPECT_EQ(player.lyricWindows.frmShow().isVisible(), shown);
    }
    EXPECT_TRUE(said.isEmpty()) << said.join('\n').toStdString();
}

} // namespace
