#include "support/desktop_session.h"

#include "support/event_wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace testsupport {

std::unique_ptr<QProcess> launch(const QString& program, const QStringList& arguments,
                                 const QProcessEnvironment& environment, const QString& folder) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    if (!folder.isEmpty())
        process->setWorkingDirectory(folder);
    process->start(program, arguments);
    process->waitForStarted();
    return process;
}

void end(QProcess* process) {
    if (process && process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished();
    }
}

QProcessEnvironment compositorSession(const QString& waylandDisplay, const QString& x11Display,
                                      const QString& runtime, const QString& home) {
    QProcessEnvironment session = QProcessEnvironment::systemEnvironment();
    session.remove("QT_QPA_PLATFORM");
    session.insert("WAYLAND_DISPLAY", waylandDisplay);
    session.insert("DISPLAY", x11Display);
    session.insert("XDG_RUNTIME_DIR", runtime);
    session.insert("HOME", home);
    session.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    session.insert("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
    if (session.contains("ASAN_OPTIONS"))
        session.insert("ASAN_OPTIONS", session.value("ASAN_OPTIONS") + ":fast_unwind_on_malloc=0");
    return session;
}

QByteArray nextLine(QProcess* process, const QByteArray& word,
                    const std::function<void()>& meanwhile) {
    // Lines read while waiting for another word stay with the process for a later look.
    const char* const kept = "unreadLines";
    QByteArrayList unread = process->property(kept).value<QByteArrayList>();
    QByteArray found;
    waitUntil(
        [&] {
            while (process->canReadLine())
                unread << process->readLine().trimmed();
            for (qsizetype i = 0; i < unread.size(); ++i)
                if (unread[i].startsWith(word)) {
                    found = unread.takeAt(i);
                    return true;
                }
            if (meanwhile)
                meanwhile();
            return false;
        },
        20000);
    process->setProperty(kept, QVariant::fromValue(unread));
    return found;
}

int changedPixels(const QImage& before, const QImage& after, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += before.pixel(x, y) != after.pixel(x, y);
    return count;
}

QList<QPoint> pixelsOtherThan(const QImage& picture, const QRect& area, const QColor& colour) {
    QList<QPoint> found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (QColor(picture.pixel(x, y)) != colour)
                found << QPoint(x, y);
    return found;
}

std::optional<QPoint> x11Pointer(const QProcessEnvironment& environment) {
    QProcess where;
    where.setProcessEnvironment(environment);
    where.start("xdotool", {"getmouselocation", "--shell"});
    where.waitForFinished();
    std::optional<int> x;
    std::optional<int> y;
    for (const QByteArray& line : where.readAllStandardOutput().split('\n')) {
        if (line.startsWith("X="))
            x = line.mid(2).toInt();
        else if (line.startsWith("Y="))
            y = line.mid(2).toInt();
    }
    if (!x || !y)
        return std::nullopt;
    return QPoint(*x, *y);
}

namespace {

template <typename Reply> struct Freed {
    Reply* reply;
    ~Freed() { std::free(reply); }
    Reply* operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

} // namespace

struct X11View::Connection {
    xcb_connection_t* x = nullptr;
    xcb_window_t root = XCB_NONE;

    xcb_atom_t atom(const char* name) const {
        const Freed<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(
            x, xcb_intern_atom(x, 0, uint16_t(qstrlen(name)), name), nullptr)};
        return reply ? reply->atom : XCB_NONE;
    }
    QByteArray property(xcb_window_t window, const char* name) const {
        const Freed<xcb_get_property_reply_t> reply{xcb_get_property_reply(
            x, xcb_get_property(x, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
            nullptr)};
        if (!reply)
            return {};
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.reply)),
                          xcb_get_property_value_length(reply.reply));
    }
    QList<uint32_t> words(xcb_window_t window, const char* name) const {
        const QByteArray bytes = property(window, name);
        QList<uint32_t> values(bytes.size() / 4);
        std::memcpy(values.data(), bytes.constData(), size_t(values.size()) * 4);
        return values;
    }
    // The shown client windows titled title, wherever their manager's frames put them;
    // Qt's group leader of one pixel, titled as the program, is no window to look at.
    QList<xcb_window_t> find(const QString& title) const {
        QList<xcb_window_t> found;
        const std::function<void(xcb_window_t)> search = [&](xcb_window_t window) {
            if (QString::fromUtf8(property(window, "_NET_WM_NAME")).startsWith(title) &&
                shown(window))
                found << window;
            const Freed<xcb_query_tree_reply_t> tree{
                xcb_query_tree_reply(x, xcb_query_tree(x, window), nullptr)};
            if (!tree)
                return;
            const xcb_window_t* children = xcb_query_tree_children(tree.reply);
            for (int i = 0; i < xcb_query_tree_children_length(tree.reply); ++i)
                search(children[i]);
        };
        search(root);
        return found;
    }
    bool shown(xcb_window_t window) const {
        const Freed<xcb_get_window_attributes_reply_t> attributes{
            xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, window), nullptr)};
        const Freed<xcb_get_geometry_reply_t> geometry{
            xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr)};
        return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && geometry &&
               geometry->width > 1 && geometry->height > 1;
    }
};

X11View::X11View(const QString& display) : x_(std::make_unique<Connection>()) {
    x_->x = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    if (!xcb_connection_has_error(x_->x))
        x_->root = xcb_setup_roots_iterator(xcb_get_setup(x_->x)).data->root;
}

X11View::~X11View() {
    xcb_disconnect(x_->x);
}

bool X11View::connected() const {
    return !xcb_connection_has_error(x_->x);
}

QList<X11View::Window> X11View::windows(const QString& title) const {
    QList<Window> found;
    if (!connected())
        return found;
    for (const xcb_window_t window : x_->find(title)) {
        const Freed<xcb_get_geometry_reply_t> geometry{
            xcb_get_geometry_reply(x_->x, xcb_get_geometry(x_->x, window), nullptr)};
        const Freed<xcb_translate_coordinates_reply_t> corner{xcb_translate_coordinates_reply(
            x_->x, xcb_translate_coordinates(x_->x, window, x_->root, 0, 0), nullptr)};
        if (geometry && corner)
            found << Window{window,
                            QRect(corner->dst_x, corner->dst_y, geometry->width, geometry->height)};
    }
    return found;
}

std::optional<QRect> X11View::window(const QString& title) const {
    const QList<Window> found = windows(title);
    if (found.isEmpty())
        return std::nullopt;
    return found.first().geometry;
}

QList<QRect> X11View::inputShape(quint32 window) const {
    QList<QRect> boxes;
    if (!connected())
        return boxes;
    const Freed<xcb_shape_get_rectangles_reply_t> shape{xcb_shape_get_rectangles_reply(
        x_->x, xcb_shape_get_rectangles(x_->x, window, XCB_SHAPE_SK_INPUT), nullptr)};
    if (!shape)
        return boxes;
    const xcb_rectangle_t* cells = xcb_shape_get_rectangles_rectangles(shape.reply);
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(shape.reply); ++i)
        boxes << QRect(cells[i].x, cells[i].y, cells[i].width, cells[i].height);
    return boxes;
}

QStringList X11View::stacking() const {
    QStringList titles;
    if (!connected())
        return titles;
    for (const uint32_t window : x_->words(x_->root, "_NET_CLIENT_LIST_STACKING"))
        titles << QString::fromUtf8(x_->property(window, "_NET_WM_NAME"));
    return titles;
}

std::optional<QRect> X11View::workArea() const {
    if (!connected())
        return std::nullopt;
    const QList<uint32_t> area = x_->words(x_->root, "_NET_WORKAREA");
    if (area.size() < 4)
        return std::nullopt;
    return QRect(int(area[0]), int(area[1]), int(area[2]), int(area[3]));
}

QString X11View::activeTitle() const {
    if (!connected())
        return {};
    const QList<uint32_t> active = x_->words(x_->root, "_NET_ACTIVE_WINDOW");
    if (active.isEmpty() || active.first() == XCB_NONE)
        return {};
    return QString::fromUtf8(x_->property(active.first(), "_NET_WM_NAME"));
}

void X11View::close(const QString& title) const {
    if (!connected())
        return;
    const QList<xcb_window_t> found = x_->find(title);
    if (found.isEmpty())
        return;
    const xcb_window_t window = found.first();
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = x_->atom("_NET_CLOSE_WINDOW");
    message.data.data32[0] = XCB_CURRENT_TIME;
    message.data.data32[1] = 2; // from a pager or a task bar: the user's own request
    xcb_send_event(x_->x, 0, x_->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(x_->x);
}

RememberedSettings::RememberedSettings(const QString& program, const QByteArray& lines)
    : file_(QFileInfo(program).dir().filePath(QStringLiteral("data/system/vellora.conf"))) {
    QFile old(file_);
    if (old.open(QIODevice::ReadOnly))
        old_ = old.readAll();
    QDir().mkpath(QFileInfo(file_).path());
    QFile now(file_);
    EXPECT_TRUE(now.open(QIODevice::WriteOnly) && now.write(lines) == lines.size());
}

RememberedSettings::~RememberedSettings() {
    QFile now(file_);
    if (!old_)
        now.remove();
    else if (now.open(QIODevice::WriteOnly))
        now.write(*old_);
}

} // namespace testsupport
