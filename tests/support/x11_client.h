#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Another program on an X server, as the tests need one: it reads and writes properties,
// finds and makes windows, reads their shapes and the screen, moves the pointer, and asks
// the window manager what it manages. Window ids are the server's; a window that is gone
// answers with nothing rather than ending the test.
class X11Client {
public:
    // The server that display names; empty: DISPLAY's (with XAUTHORITY's permission).
    explicit X11Client(const QString& display = {});
    ~X11Client();
    X11Client(const X11Client&) = delete;
    X11Client& operator=(const X11Client&) = delete;

    bool connected() const;
    quint32 root() const;
    quint32 atom(const char* name) const;

    // A property's bytes; none if the window has no such property.
    std::optional<QByteArray> property(quint32 window, const char* name) const;
    // A property of 32-bit values (atoms, cardinals, windows).
    QList<quint32> words(quint32 window, const char* name) const;
    void setWords(quint32 window, const char* name, const char* type, const QList<quint32>& values);
    void deleteProperty(quint32 window, const char* name);
    // The names of the properties a window has.
    QList<QByteArray> propertyNames(quint32 window) const;
    // A window's WM_NAME as Xlib decodes it, whichever encoding its writer chose.
    QString wmName(quint32 window) const;

    // A black window of the client's own, not yet shown; parent 0 is the root.
    quint32 createWindow(const QRect& geometry, quint32 parent = 0);
    void setTitle(quint32 window, const QByteArray& latin1);
    void map(quint32 window);
    void destroyWindow(quint32 window);
    // Moves a window into another, as a reparenting window manager puts it in its frame.
    void reparent(quint32 window, quint32 parent, QPoint at);
    // Makes window the owner of the selection.
    void ownSelection(const QByteArray& selection, quint32 window);

    quint32 parent(quint32 window) const;
    // Where the window is on the screen, and its size; none once it is gone.
    std::optional<QRect> geometry(quint32 window) const;
    int depth(quint32 window) const;
    bool viewable(quint32 window) const;
    // Screen pixels, in the root window's format, as 32-bit RGB.
    QImage grab(const QRect& area) const;

    // Shapes by kind (XCB_SHAPE_SK_BOUNDING, XCB_SHAPE_SK_INPUT), from the window's corner.
    QList<QRect> shape(quint32 window, int kind) const;
    // From now on this client hears of the window's shape changes; the count since asked.
    void watchShapes(quint32 window);
    int shapeChanges();
    // From now on this client hears of every property change on every window there is, the
    // root included; the changes since asked as "window property" lines.
    void watchAllProperties();
    std::vector<std::string> propertyChanges();
    // A client message of five 32-bit words; to the root window it goes to every client that
    // watches the root's structure, as desktop announcements do.
    void sendClientMessage(quint32 window, const char* type, const QList<quint32>& words);
    // The five words of each client message of that type sent to this connection's windows
    // since the last look.
    QList<QList<quint32>> clientMessages(const char* type);

    // The pointer: moved by the server (a warp), or as a device would move it and press its
    // buttons (the XTEST extension), and what it is over.
    void warpPointer(QPoint at);
    void fakeInput(int type, int detail, QPoint at = {});
    std::optional<QPoint> pointer() const;
    quint32 childUnderPointer() const;

    // The keyboard: the key that types a keysym ("w", "Caps_Lock"; 0 if none does), the
    // modifiers and locks on now (XCB_MOD_MASK_*), and a key grabbed on the root window as
    // another program would grab it; false where some other client holds it already.
    quint8 keycode(const char* keysymName) const;
    // Makes keycode type keysymName alone, as a new keymap would.
    void setKeysym(quint8 keycode, const char* keysymName);
    quint16 modifierState() const;
    bool grabKey(quint8 keycode, quint16 modifiers);

    // The window manager's view.
    struct Window {
        quint32 id;
        QRect geometry; // in screen coordinates
    };
    // The shown windows whose titles start with title.
    QList<Window> windows(const QString& title) const;
    // Where the first of them is; none while there is none.
    std::optional<QRect> window(const QString& title) const;
    // The titles of the managed windows, bottom to top, as the window manager stacks them.
    QStringList stacking() const;
    // The work area of the first desktop as the window manager reports it.
    std::optional<QRect> workArea() const;
    // The title of the window the window manager has made active.
    QString activeTitle() const;
    // Asks the window manager to close the window, as its close button would.
    void close(const QString& title) const;

private:
    // Returns once the server has handled every request this client made.
    void sync() const;

    struct Connection;
    std::unique_ptr<Connection> x_;
};

} // namespace testsupport
