#include "support/x11_client.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

// Xlib after Qt: its macros would otherwise clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace testsupport {

namespace {

// A reply xcb allocated, freed when it goes; null when the request failed.
template <typename Reply> struct Freed {
    Reply* reply;
    ~Freed() { std::free(reply); }
    Reply* operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

// Properties up to 4 MiB: the largest a test writes is a title of 100,000 characters.
constexpr uint32_t PropertyWords = 1u << 20;

} // namespace

struct X11Client::Connection {
    xcb_connection_t* x = nullptr;
    xcb_window_t root = XCB_NONE;
    QByteArray display;
    // Opened for Xlib's text decoding only, the first time one is asked for.
    Display* xlib = nullptr;

    ~Connection() {
        if (xlib)
            XCloseDisplay(xlib);
        xcb_disconnect(x);
    }

    xcb_atom_t atom(const char* name) const {
        const Freed<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(
            x, xcb_intern_atom(x, 0, uint16_t(std::strlen(name)), name), nullptr)};
        return reply ? reply->atom : XCB_NONE;
    }
    std::optional<QByteArray> property(xcb_window_t window, xcb_atom_t name) const {
        const Freed<xcb_get_property_reply_t> reply{xcb_get_property_reply(
            x, xcb_get_property(x, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, PropertyWords),
            nullptr)};
        if (!reply || reply->type == XCB_NONE)
            return std::nullopt;
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.reply)),
                          xcb_get_property_value_length(reply.reply));
    }
    QByteArray name(xcb_atom_t atom) const {
        const Freed<xcb_get_atom_name_reply_t> name{
            xcb_get_atom_name_reply(x, xcb_get_atom_name(x, atom), nullptr)};
        return name ? QByteArray(xcb_get_atom_name_name(name.reply),
                                 xcb_get_atom_name_name_length(name.reply))
                    : QByteArray();
    }
    QByteArray title(xcb_window_t window) const {
        return property(window, atom("_NET_WM_NAME")).value_or(QByteArray());
    }
    bool shown(xcb_window_t window) const {
        const Freed<xcb_get_window_attributes_reply_t> attributes{
            xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, window), nullptr)};
        const Freed<xcb_get_geometry_reply_t> geometry{
            xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr)};
        return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && geometry &&
               geometry->width > 1 && geometry->height > 1;
    }
    QList<xcb_window_t> children(xcb_window_t window) const {
        const Freed<xcb_query_tree_reply_t> tree{
            xcb_query_tree_reply(x, xcb_query_tree(x, window), nullptr)};
        if (!tree)
            return {};
        const xcb_window_t* listed = xcb_query_tree_children(tree.reply);
        return QList<xcb_window_t>(listed, listed + xcb_query_tree_children_length(tree.reply));
    }
    // The shown client windows titled title, wherever their manager's frames put them;
    // Qt's group leader of one pixel, titled as the program, is no window to look at.
    QList<xcb_window_t> find(const QString& title) const {
        QList<xcb_window_t> found;
        const std::function<void(xcb_window_t)> search = [&](xcb_window_t window) {
            if (QString::fromUtf8(this->title(window)).startsWith(title) && shown(window))
                found << window;
            for (const xcb_window_t child : children(window))
                search(child);
        };
        search(root);
        return found;
    }
};

X11Client::X11Client(const QString& display) : x_(std::make_unique<Connection>()) {
    x_->display = display.toLocal8Bit();
    x_->x = xcb_connect(display.isEmpty() ? nullptr : x_->display.constData(), nullptr);
    if (!xcb_connection_has_error(x_->x))
        x_->root = xcb_setup_roots_iterator(xcb_get_setup(x_->x)).data->root;
}

X11Client::~X11Client() = default;

bool X11Client::connected() const {
    return !xcb_connection_has_error(x_->x);
}

quint32 X11Client::root() const {
    return x_->root;
}

quint32 X11Client::atom(const char* name) const {
    return x_->atom(name);
}

void X11Client::sync() const {
    std::free(xcb_get_input_focus_reply(x_->x, xcb_get_input_focus(x_->x), nullptr));
}

std::optional<QByteArray> X11Client::property(quint32 window, const char* name) const {
    return x_->property(window, x_->atom(name));
}

QList<quint32> X11Client::words(quint32 window, const char* name) const {
    const QByteArray bytes = property(window, name).value_or(QByteArray());
    QList<quint32> values(bytes.size() / 4);
    // An empty list has no storage to copy into.
    if (!values.isEmpty())
        std::memcpy(values.data(), bytes.constData(), size_t(values.size()) * 4);
    return values;
}

void X11Client::setWords(quint32 window, const char* name, const char* type,
                         const QList<quint32>& values) {
    xcb_change_property(x_->x, XCB_PROP_MODE_REPLACE, window, x_->atom(name), x_->atom(type), 32,
                        uint32_t(values.size()), values.constData());
    sync();
}

void X11Client::deleteProperty(quint32 window, const char* name) {
    xcb_delete_property(x_->x, window, x_->atom(name));
    sync();
}

QList<QByteArray> X11Client::propertyNames(quint32 window) const {
    QList<QByteArray> names;
    const Freed<xcb_list_properties_reply_t> listed{
        xcb_list_properties_reply(x_->x, xcb_list_properties(x_->x, window), nullptr)};
    if (!listed)
        return names;
    const xcb_atom_t* atoms = xcb_list_properties_atoms(listed.reply);
    for (int i = 0; i < xcb_list_properties_atoms_length(listed.reply); ++i)
        names << x_->name(atoms[i]);
    return names;
}

QString X11Client::wmName(quint32 window) const {
    if (!x_->xlib)
        x_->xlib = XOpenDisplay(x_->display.isEmpty() ? nullptr : x_->display.constData());
    if (!x_->xlib)
        return {};
    // A window that is gone must fail the test that asks, not end it as Xlib's default would.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XTextProperty text{nullptr, 0, 0, 0};
    if (!XGetWMName(x_->xlib, window, &text))
        return QStringLiteral("<none>");
    char** list = nullptr;
    int count = 0;
    QString decoded;
    if (Xutf8TextPropertyToTextList(x_->xlib, &text, &list, &count) == Success) {
        for (int i = 0; i < count; ++i)
            decoded += QString::fromUtf8(list[i]);
        XFreeStringList(list);
    }
    XFree(text.value);
    return decoded;
}

quint32 X11Client::createWindow(const QRect& geometry, quint32 parent) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x_->x)).data;
    const xcb_window_t window = xcb_generate_id(x_->x);
    const uint32_t background = screen->black_pixel;
    xcb_create_window(x_->x, XCB_COPY_FROM_PARENT, window, parent ? parent : x_->root,
                      int16_t(geometry.x()), int16_t(geometry.y()), uint16_t(geometry.width()),
                      uint16_t(geometry.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL, &background);
    sync();
    return window;
}

void X11Client::setTitle(quint32 window, const QByteArray& latin1) {
    xcb_change_property(x_->x, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        uint32_t(latin1.size()), latin1.constData());
    sync();
}

void X11Client::map(quint32 window) {
    xcb_map_window(x_->x, window);
    sync();
}

void X11Client::destroyWindow(quint32 window) {
    xcb_destroy_window(x_->x, window);
    sync();
}

void X11Client::reparent(quint32 window, quint32 parent, QPoint at) {
    xcb_reparent_window(x_->x, window, parent, int16_t(at.x()), int16_t(at.y()));
    sync();
}

void X11Client::ownSelection(const QByteArray& selection, quint32 window) {
    xcb_set_selection_owner(x_->x, window, x_->atom(selection.constData()), XCB_CURRENT_TIME);
    sync();
}

quint32 X11Client::parent(quint32 window) const {
    const Freed<xcb_query_tree_reply_t> tree{
        xcb_query_tree_reply(x_->x, xcb_query_tree(x_->x, window), nullptr)};
    return tree ? tree->parent : XCB_NONE;
}

std::optional<QRect> X11Client::geometry(quint32 window) const {
    const Freed<xcb_get_geometry_reply_t> geometry{
        xcb_get_geometry_reply(x_->x, xcb_get_geometry(x_->x, window), nullptr)};
    const Freed<xcb_translate_coordinates_reply_t> corner{xcb_translate_coordinates_reply(
        x_->x, xcb_translate_coordinates(x_->x, window, x_->root, 0, 0), nullptr)};
    if (!geometry || !corner)
        return std::nullopt;
    return QRect(corner->dst_x, corner->dst_y, geometry->width, geometry->height);
}

int X11Client::depth(quint32 window) const {
    const Freed<xcb_get_geometry_reply_t> geometry{
        xcb_get_geometry_reply(x_->x, xcb_get_geometry(x_->x, window), nullptr)};
    return geometry ? geometry->depth : 0;
}

bool X11Client::viewable(quint32 window) const {
    const Freed<xcb_get_window_attributes_reply_t> attributes{
        xcb_get_window_attributes_reply(x_->x, xcb_get_window_attributes(x_->x, window), nullptr)};
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

QImage X11Client::grab(const QRect& area) const {
    const Freed<xcb_get_image_reply_t> image{xcb_get_image_reply(
        x_->x,
        xcb_get_image(x_->x, XCB_IMAGE_FORMAT_Z_PIXMAP, x_->root, int16_t(area.x()),
                      int16_t(area.y()), uint16_t(area.width()), uint16_t(area.height()), ~0u),
        nullptr)};
    if (!image || area.height() <= 0)
        return {};
    const int length = xcb_get_image_data_length(image.reply);
    return QImage(xcb_get_image_data(image.reply), area.width(), area.height(),
                  length / area.height(), QImage::Format_RGB32)
        .copy();
}

QList<QRect> X11Client::shape(quint32 window, int kind) const {
    QList<QRect> boxes;
    const Freed<xcb_shape_get_rectangles_reply_t> shape{xcb_shape_get_rectangles_reply(
        x_->x, xcb_shape_get_rectangles(x_->x, window, xcb_shape_kind_t(kind)), nullptr)};
    if (!shape)
        return boxes;
    const xcb_rectangle_t* cells = xcb_shape_get_rectangles_rectangles(shape.reply);
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(shape.reply); ++i)
        boxes << QRect(cells[i].x, cells[i].y, cells[i].width, cells[i].height);
    return boxes;
}

void X11Client::watchShapes(quint32 window) {
    xcb_shape_select_input(x_->x, window, 1);
    shapeChanges();
}

int X11Client::shapeChanges() {
    // Every change made before the round trip has been reported by its end.
    sync();
    const uint8_t shapeNotify = xcb_get_extension_data(x_->x, &xcb_shape_id)->first_event;
    int changes = 0;
    while (xcb_generic_event_t* event = xcb_poll_for_event(x_->x)) {
        changes += (event->response_type & 0x7f) == shapeNotify + XCB_SHAPE_NOTIFY;
        std::free(event);
    }
    return changes;
}

void X11Client::watchAllProperties() {
    QList<xcb_window_t> windows{x_->root};
    for (qsizetype i = 0; i < windows.size(); ++i)
        windows += x_->children(windows[i]);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    for (const xcb_window_t window : windows)
        xcb_change_window_attributes(x_->x, window, XCB_CW_EVENT_MASK, &mask);
    sync();
}

std::vector<std::string> X11Client::propertyChanges() {
    sync();
    std::vector<std::string> changes;
    while (xcb_generic_event_t* event = xcb_poll_for_event(x_->x)) {
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            changes.push_back(std::to_string(change->window) + ' ' +
                              x_->name(change->atom).toStdString());
        }
        std::free(event);
    }
    return changes;
}

void X11Client::sendClientMessage(quint32 window, const char* type, const QList<quint32>& words) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = x_->atom(type);
    for (qsizetype i = 0; i < std::min<qsizetype>(words.size(), 5); ++i)
        message.data.data32[i] = words[i];
    const uint32_t mask = window == x_->root ? XCB_EVENT_MASK_STRUCTURE_NOTIFY : 0;
    xcb_send_event(x_->x, 0, window, mask, reinterpret_cast<const char*>(&message));
    sync();
}

QList<QList<quint32>> X11Client::clientMessages(const char* type) {
    sync();
    const xcb_atom_t wanted = x_->atom(type);
    QList<QList<quint32>> messages;
    while (xcb_generic_event_t* event = xcb_poll_for_event(x_->x)) {
        const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && message->type == wanted)
            messages.append(QList<quint32>(message->data.data32, message->data.data32 + 5));
        std::free(event);
    }
    return messages;
}

void X11Client::warpPointer(QPoint at) {
    xcb_warp_pointer(x_->x, XCB_NONE, x_->root, 0, 0, 0, 0, int16_t(at.x()), int16_t(at.y()));
    sync();
}

void X11Client::fakeInput(int type, int detail, QPoint at) {
    xcb_test_fake_input(x_->x, uint8_t(type), uint8_t(detail), XCB_CURRENT_TIME, x_->root,
                        int16_t(at.x()), int16_t(at.y()), 0);
    xcb_flush(x_->x);
}

std::optional<QPoint> X11Client::pointer() const {
    const Freed<xcb_query_pointer_reply_t> reply{
        xcb_query_pointer_reply(x_->x, xcb_query_pointer(x_->x, x_->root), nullptr)};
    if (!reply)
        return std::nullopt;
    return QPoint(reply->root_x, reply->root_y);
}

quint32 X11Client::childUnderPointer() const {
    const Freed<xcb_query_pointer_reply_t> reply{
        xcb_query_pointer_reply(x_->x, xcb_query_pointer(x_->x, x_->root), nullptr)};
    return reply ? reply->child : XCB_NONE;
}

quint8 X11Client::keycode(const char* keysymName) const {
    const KeySym keysym = XStringToKeysym(keysymName);
    const xcb_setup_t* setup = xcb_get_setup(x_->x);
    const Freed<xcb_get_keyboard_mapping_reply_t> mapping{xcb_get_keyboard_mapping_reply(
        x_->x,
        xcb_get_keyboard_mapping(x_->x, setup->min_keycode,
                                 uint8_t(setup->max_keycode - setup->min_keycode + 1)),
        nullptr)};
    if (keysym == NoSymbol || !mapping || mapping->keysyms_per_keycode == 0)
        return 0;
    const int perKey = mapping->keysyms_per_keycode;
    const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping.reply);
    for (int i = 0; i < xcb_get_keyboard_mapping_keysyms_length(mapping.reply); ++i)
        if (symbols[i] == keysym)
            return quint8(setup->min_keycode + i / perKey);
    return 0;
}

void X11Client::setKeysym(quint8 keycode, const char* keysymName) {
    const xcb_keysym_t keysym = xcb_keysym_t(XStringToKeysym(keysymName));
    xcb_change_keyboard_mapping(x_->x, 1, keycode, 1, &keysym);
    sync();
}

quint16 X11Client::modifierState() const {
    const Freed<xcb_query_pointer_reply_t> reply{
        xcb_query_pointer_reply(x_->x, xcb_query_pointer(x_->x, x_->root), nullptr)};
    return reply ? quint16(reply->mask & 0xff) : 0;
}

bool X11Client::grabKey(quint8 keycode, quint16 modifiers) {
    const Freed<xcb_generic_error_t> error{
        xcb_request_check(x_->x, xcb_grab_key_checked(x_->x, 0, x_->root, modifiers, keycode,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC))};
    return !error;
}

QList<X11Client::Window> X11Client::windows(const QString& title) const {
    QList<Window> found;
    for (const xcb_window_t window : x_->find(title))
        if (const std::optional<QRect> placed = geometry(window))
            found << Window{window, *placed};
    return found;
}

std::optional<QRect> X11Client::window(const QString& title) const {
    const QList<Window> found = windows(title);
    if (found.isEmpty())
        return std::nullopt;
    return found.first().geometry;
}

QStringList X11Client::stacking() const {
    QStringList titles;
    for (const quint32 window : words(x_->root, "_NET_CLIENT_LIST_STACKING"))
        titles << QString::fromUtf8(x_->title(window));
    return titles;
}

std::optional<QRect> X11Client::workArea() const {
    const QList<quint32> area = words(x_->root, "_NET_WORKAREA");
    if (area.size() < 4)
        return std::nullopt;
    return QRect(int(area[0]), int(area[1]), int(area[2]), int(area[3]));
}

QString X11Client::activeTitle() const {
    const QList<quint32> active = words(x_->root, "_NET_ACTIVE_WINDOW");
    if (active.isEmpty() || active.first() == XCB_NONE)
        return {};
    return QString::fromUtf8(x_->title(active.first()));
}

void X11Client::close(const QString& title) const {
    const QList<xcb_window_t> found = x_->find(title);
    if (found.isEmpty())
        return;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = found.first();
    message.type = x_->atom("_NET_CLOSE_WINDOW");
    message.data.data32[0] = XCB_CURRENT_TIME;
    message.data.data32[1] = 2; // from a pager or a task bar: the user's own request
    xcb_send_event(x_->x, 0, x_->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(x_->x);
}

} // namespace testsupport
