#include "platform/shortcuts/key_grab_shortcuts.h"

#include "base/malloced.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QList>
#include <QtGui/qguiapplication_platform.h>
#include <cstring>
#include <xcb/xcb.h>

// Xlib after Qt: its macros would otherwise clash with Qt's names. Only its table of keysym
// names is used.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

// The modifiers a key press's state can hold; the pointer's buttons are the rest.
constexpr uint16_t ModifierMasks = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_CONTROL |
                                   XCB_MOD_MASK_1 | XCB_MOD_MASK_2 | XCB_MOD_MASK_3 |
                                   XCB_MOD_MASK_4 | XCB_MOD_MASK_5;

// The server's keyboard as it is now: each keycode's keysyms, and the keycodes that each of
// the eight modifiers holds.
class Keyboard {
public:
    explicit Keyboard(xcb_connection_t* x) {
        const xcb_setup_t* setup = xcb_get_setup(x);
        first_ = setup->min_keycode;
        const xcb_get_keyboard_mapping_cookie_t keys =
            xcb_get_keyboard_mapping(x, first_, uint8_t(setup->max_keycode - first_ + 1));
        const xcb_get_modifier_mapping_cookie_t modifiers = xcb_get_modifier_mapping(x);
        keys_.reset(xcb_get_keyboard_mapping_reply(x, keys, nullptr));
        modifiers_.reset(xcb_get_modifier_mapping_reply(x, modifiers, nullptr));
    }

    // The key that types keysym, preferring one that does without Shift; 0 if none does.
    xcb_keycode_t keycodeOf(xcb_keysym_t keysym) const {
        xcb_keycode_t best = 0;
        int bestColumn = perKey();
        for (int key = 0; key < keyCount(); ++key) {
            for (int column = 0; column < bestColumn; ++column) {
                if (symbols()[key * perKey() + column] == keysym) {
                    best = xcb_keycode_t(first_ + key);
                    bestColumn = column;
                }
            }
        }
        return best;
    }

    // The modifier whose keys include one that types keysym; 0 if none.
    uint16_t maskHolding(xcb_keysym_t keysym) const {
        if (!modifiers_)
            return 0;
        const int perModifier = modifiers_->keycodes_per_modifier;
        const xcb_keycode_t* held = xcb_get_modifier_mapping_keycodes(modifiers_.get());
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int i = 0; i < perModifier; ++i) {
                if (types(held[modifier * perModifier + i], keysym))
                    return uint16_t(1u << modifier);
            }
        }
        return 0;
    }

private:
    int perKey() const { return keys_ ? keys_->keysyms_per_keycode : 0; }
    int keyCount() const {
        return perKey() ? xcb_get_keyboard_mapping_keysyms_length(keys_.get()) / perKey() : 0;
    }
    const xcb_keysym_t* symbols() const { return xcb_get_keyboard_mapping_keysyms(keys_.get()); }
    bool types(xcb_keycode_t keycode, xcb_keysym_t keysym) const {
        const int key = keycode - first_;
        if (keycode == 0 || key < 0 || key >= keyCount())
            return false;
        for (int column = 0; column < perKey(); ++column) {
            if (symbols()[key * perKey() + column] == keysym)
                return true;
        }
        return false;
    }

    xcb_keycode_t first_ = 0;
    Malloced<xcb_get_keyboard_mapping_reply_t> keys_;
    Malloced<xcb_get_modifier_mapping_reply_t> modifiers_;
};

uint16_t masksOf(Qt::KeyboardModifiers modifiers, const Keyboard& keyboard) {
    uint16_t masks = 0;
    if (modifiers.testFlag(Qt::ShiftModifier))
        masks |= XCB_MOD_MASK_SHIFT;
    if (modifiers.testFlag(Qt::ControlModifier))
        masks |= XCB_MOD_MASK_CONTROL;
    if (modifiers.testFlag(Qt::AltModifier))
        masks |= XCB_MOD_MASK_1;
    if (modifiers.testFlag(Qt::MetaModifier)) {
        const uint16_t super = keyboard.maskHolding(XK_Super_L);
        masks |= super ? super : uint16_t(XCB_MOD_MASK_4);
    }
    return masks;
}

struct Grab {
    QString id;
    xcb_keycode_t keycode;
    uint16_t modifiers;
};

} // namespace

struct KeyGrabShortcuts::Grabs {
    xcb_connection_t* x = nullptr;
    xcb_window_t root = XCB_NONE;
    // Caps Lock and Num Lock in each of their states; a press is matched without them.
    QList<uint16_t> lockStates;
    uint16_t locks = 0;
    QList<GlobalShortcut> shortcuts;
    QList<Grab> grabbed;
    // The key of the shortcut last pressed, until it is let go: a held key repeats its
    // press, and a shortcut is one press.
    xcb_keycode_t held = 0;

    void ungrab(xcb_keycode_t keycode, uint16_t modifiers) const {
        for (const uint16_t lockState : lockStates)
            xcb_ungrab_key(x, keycode, root, uint16_t(modifiers | lockState));
    }
    void ungrabAll() {
        for (const Grab& grab : std::as_const(grabbed))
            ungrab(grab.keycode, grab.modifiers);
        grabbed.clear();
        held = 0;
    }
};

KeyGrabShortcuts::KeyGrabShortcuts(QObject* parent)
    : GlobalShortcutService(parent), grabs_(std::make_unique<Grabs>()) {}

KeyGrabShortcuts::~KeyGrabShortcuts() {
    // Without the application, Qt's connection to the server is closed and took the grabs.
    if (!grabs_->x || !QCoreApplication::instance())
        return;
    QCoreApplication::instance()->removeNativeEventFilter(this);
    grabs_->ungrabAll();
    xcb_flush(grabs_->x);
}

void KeyGrabShortcuts::bind(const QList<GlobalShortcut>& shortcuts) {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (QGuiApplication::platformName() != u"xcb" || !x11 || !x11->connection()) {
        Q_EMIT unavailable(QStringLiteral("key grabs: the player is not an X11 client"));
        return;
    }
    // Xwayland hands an X11 client the keys only while one of its windows has the focus:
    // shortcuts that work now and then would be worse than none.
    const Malloced<xcb_query_extension_reply_t> xwayland{xcb_query_extension_reply(
        x11->connection(),
        xcb_query_extension(x11->connection(), uint16_t(std::strlen("XWAYLAND")), "XWAYLAND"),
        nullptr)};
    if (xwayland && xwayland->present) {
        Q_EMIT unavailable(QStringLiteral("key grabs: under Xwayland they would hold only while "
                                          "the player's own window has the focus"));
        return;
    }
    Grabs& grabs = *grabs_;
    grabs.x = x11->connection();
    grabs.root = xcb_setup_roots_iterator(xcb_get_setup(grabs.x)).data->root;
    grabs.shortcuts = shortcuts;
    grabAll();
    QCoreApplication::instance()->installNativeEventFilter(this);
    Q_EMIT bound();
}

// The keys by the server's keyboard as it is now; again whenever its mapping changes (a new
// layout, an input method resetting the keymap), as a key's code or a lock's modifier may
// have moved.
void KeyGrabShortcuts::grabAll() {
    Grabs& grabs = *grabs_;
    const Keyboard keyboard(grabs.x);
    const uint16_t numLock = keyboard.maskHolding(XK_Num_Lock);
    grabs.locks = uint16_t(XCB_MOD_MASK_LOCK | numLock);
    grabs.lockStates = {0, XCB_MOD_MASK_LOCK};
    if (numLock)
        grabs.lockStates << numLock << uint16_t(XCB_MOD_MASK_LOCK | numLock);

    // Every grab is sent before any is checked: one round trip tells which the server refused.
    struct Asked {
        const GlobalShortcut* shortcut;
        Grab grab;
        QList<xcb_void_cookie_t> cookies;
    };
    QList<Asked> asked;
    for (const GlobalShortcut& shortcut : std::as_const(grabs.shortcuts)) {
        const KeySym keysym = XStringToKeysym(shortcut.trigger.keysymName().toLatin1().constData());
        const xcb_keycode_t keycode =
            keysym == NoSymbol ? 0 : keyboard.keycodeOf(xcb_keysym_t(keysym));
        if (!keycode) {
            Q_EMIT notice(QString::fromUtf16(u"键盘上没有全局快捷键 %1（%2）的键 the keyboard has "
                                             u"no key for the global shortcut %1 (%2)")
                              .arg(shortcut.trigger.text(), shortcut.description));
            continue;
        }
        Asked request{
            &shortcut, {shortcut.id, keycode, masksOf(shortcut.trigger.modifiers(), keyboard)}, {}};
        for (const uint16_t lockState : std::as_const(grabs.lockStates))
            request.cookies << xcb_grab_key_checked(
                grabs.x, 0, grabs.root, uint16_t(request.grab.modifiers | lockState), keycode,
                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        asked << request;
    }
    for (const Asked& request : std::as_const(asked)) {
        bool refused = false;
        for (const xcb_void_cookie_t cookie : request.cookies)
            refused |= bool(Malloced<xcb_generic_error_t>(xcb_request_check(grabs.x, cookie)));
        if (!refused) {
            grabs.grabbed << request.grab;
            continue;
        }
        // Held in some lock states only, it would work or not as the locks stand: let it go
        // whole. Only this client's grabs are let go.
        grabs.ungrab(request.grab.keycode, request.grab.modifiers);
        Q_EMIT notice(QString::fromUtf16(u"全局快捷键 %1（%2）已被另一个程序占用 the key %1 for %2 "
                                         u"is held by another program")
                          .arg(request.shortcut->trigger.text(), request.shortcut->description));
    }
    xcb_flush(grabs.x);
}

bool KeyGrabShortcuts::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const uint8_t type = static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        const auto* mapping = static_cast<const xcb_mapping_notify_event_t*>(message);
        if (mapping->request != XCB_MAPPING_POINTER) {
            grabs_->ungrabAll();
            grabAll();
        }
        return false; // Qt reads the new mapping too
    }
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Press and release share their layout.
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    Grabs& grabs = *grabs_;
    if (key->event != grabs.root)
        return false;
    if (type == XCB_KEY_RELEASE) {
        if (key->detail == grabs.held)
            grabs.held = 0;
        return false;
    }
    const uint16_t modifiers = key->state & ModifierMasks & ~grabs.locks;
    for (const Grab& grab : std::as_const(grabs.grabbed)) {
        if (grab.keycode != key->detail || grab.modifiers != modifiers)
            continue;
        if (grabs.held != grab.keycode) {
            grabs.held = grab.keycode;
            Q_EMIT activated(grab.id);
        }
        return true;
    }
    return false;
}
