#include "platform/desktop/panel_watch_x11.h"

#include "base/malloced.h"

#include <QCoreApplication>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Lists read from other programs' properties are cut at this many words.
constexpr uint32_t MostWords = 4096;

using PropertyReply = Malloced<xcb_get_property_reply_t>;

// The words of an answered request for a property; none where it failed or holds no words.
QList<quint32> wordsOf(const PropertyReply& reply) {
    if (!reply || reply->format != 32)
        return {};
    const auto* words = static_cast<const quint32*>(xcb_get_property_value(reply.get()));
    return QList<quint32>(words, words + xcb_get_property_value_length(reply.get()) / 4);
}

// Four words from at as a rectangle, within the coordinates X can have.
QRect rectangleAt(const QList<quint32>& words, qsizetype at) {
    const auto coordinate = [&](qsizetype i) { return int(qMin(words[at + i], 0x7FFFu)); };
    return QRect(coordinate(0), coordinate(1), coordinate(2), coordinate(3));
}

QList<quint32> wordsAnswering(xcb_connection_t* x, xcb_get_property_cookie_t asked) {
    return wordsOf(PropertyReply(xcb_get_property_reply(x, asked, nullptr)));
}

} // namespace

PanelWatch::PanelWatch(xcb_connection_t* connection, std::function<void()> changed)
    : x_(connection), root_(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
      ownIdBase_(xcb_get_setup(connection)->resource_id_base),
      ownIdMask_(xcb_get_setup(connection)->resource_id_mask), changed_(std::move(changed)),
      refresh_(this, [this] { refresh(); }) {}

void PanelWatch::start() {
    if (std::exchange(started_, true))
        return;
    atoms_ = {atom("_NET_CLIENT_LIST"),        atom("_NET_WORKAREA"), atom("_NET_CURRENT_DESKTOP"),
              atom("_NET_WM_STRUT_PARTIAL"),   atom("_NET_WM_STRUT"), atom("_NET_WM_WINDOW_TYPE"),
              atom("_NET_WM_WINDOW_TYPE_DOCK")};
    const Malloced<xcb_query_extension_reply_t> xwayland{xcb_query_extension_reply(
        x_, xcb_query_extension(x_, uint16_t(std::strlen("XWAYLAND")), "XWAYLAND"), nullptr)};
    desktop_.xwayland = xwayland && xwayland->present;
    // Qt listens to the root window's property changes already; the mask is one per
    // connection, so Qt's own choice is kept whole.
    const Malloced<xcb_get_window_attributes_reply_t> root{
        xcb_get_window_attributes_reply(x_, xcb_get_window_attributes(x_, root_), nullptr)};
    if (root && !(root->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE))
        watchEvents(root_, root->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE);
    QCoreApplication::instance()->installNativeEventFilter(this);
    readRoot();
}

PanelWatch::~PanelWatch() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
}

xcb_atom_t PanelWatch::atom(const char* name, bool onlyIfExists) const {
    const Malloced<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(
        x_, xcb_intern_atom(x_, onlyIfExists, uint16_t(std::strlen(name)), name), nullptr)};
    return reply ? reply->atom : XCB_NONE;
}

xcb_get_property_cookie_t PanelWatch::ask(xcb_window_t window, xcb_atom_t property,
                                          xcb_atom_t type) const {
    return xcb_get_property(x_, 0, window, property, type, 0, MostWords);
}

// The window may be gone by now: the error is dropped rather than reported on Qt's connection.
void PanelWatch::watchEvents(xcb_window_t window, uint32_t mask) {
    xcb_discard_reply(
        x_, xcb_change_window_attributes_checked(x_, window, XCB_CW_EVENT_MASK, &mask).sequence);
}

bool PanelWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
    if (change->window == root_) {
        if (change->atom == atoms_.clientList || change->atom == atoms_.workArea ||
            change->atom == atoms_.currentDesktop ||
            (change->atom == monitorWorkAreas_ && monitorWorkAreas_ != XCB_NONE))
            refresh_.request();
    } else if (heard_.contains(change->window) &&
               (change->atom == atoms_.strutPartial || change->atom == atoms_.strut)) {
        strutsChanged_.insert(change->window);
        refresh_.request();
    }
    return false;
}

void PanelWatch::refresh() {
    readRoot();
    changed_();
}

// Everything of the root window in one round trip, then the windows that are new to the list.
void PanelWatch::readRoot() {
    const xcb_get_geometry_cookie_t size = xcb_get_geometry(x_, root_);
    const xcb_get_property_cookie_t listed = ask(root_, atoms_.clientList, XCB_ATOM_WINDOW);
    const xcb_get_property_cookie_t areas = ask(root_, atoms_.workArea, XCB_ATOM_CARDINAL);
    const xcb_get_property_cookie_t current = ask(root_, atoms_.currentDesktop, XCB_ATOM_CARDINAL);
    const Malloced<xcb_get_geometry_reply_t> root{xcb_get_geometry_reply(x_, size, nullptr)};
    const PropertyReply list(xcb_get_property_reply(x_, listed, nullptr));
    const QList<quint32> workAreas = wordsAnswering(x_, areas);
    const QList<quint32> desktop = wordsAnswering(x_, current);

    desktop_.root = root ? QSize(root->width, root->height) : QSize();
    // The work areas are four words for each desktop.
    const qsizetype index = desktop.isEmpty() ? 0 : qsizetype(desktop.first());
    const qsizetype at = 4 * index + 4 <= workAreas.size() ? 4 * index : 0;
    desktop_.workArea.reset();
    if (workAreas.size() >= at + 4)
        desktop_.workArea = rectangleAt(workAreas, at);
    // mutter publishes each monitor's own, per desktop.
    monitorWorkAreas_ =
        atom(QByteArray("_GTK_WORKAREAS_D" + QByteArray::number(index)).constData(), true);
    desktop_.monitorWorkAreas.clear();
    if (monitorWorkAreas_ != XCB_NONE) {
        const QList<quint32> published =
            wordsAnswering(x_, ask(root_, monitorWorkAreas_, XCB_ATOM_CARDINAL));
        for (qsizetype i = 0; i + 4 <= published.size(); i += 4)
            desktop_.monitorWorkAreas << rectangleAt(published, i);
    }
    desktop_.listsClients = list && list->type == XCB_ATOM_WINDOW;
    readClients(wordsOf(list));
}

// The struts of the windows new to the list, and of those that said theirs changed, in one
// round trip; the windows gone from the list are forgotten.
void PanelWatch::readClients(const QList<quint32>& listed) {
    const QSet<xcb_window_t> now(listed.begin(), listed.end());
    for (auto client = clients_.begin(); client != clients_.end();) {
        if (now.contains(client.key())) {
            ++client;
            continue;
        }
        if (heard_.remove(client.key()))
            watchEvents(client.key(), XCB_EVENT_MASK_NO_EVENT);
        client = clients_.erase(client);
    }
    struct Asked {
        xcb_window_t window;
        xcb_get_property_cookie_t partial, plain, type;
        xcb_get_window_attributes_cookie_t attributes;
    };
    std::vector<Asked> asked;
    for (const xcb_window_t window : now) {
        // Qt's own windows have no struts, and their event masks are Qt's to choose.
        if (isOwn(window) || (clients_.contains(window) && !strutsChanged_.contains(window)))
            continue;
        asked.push_back({window, ask(window, atoms_.strutPartial, XCB_ATOM_CARDINAL),
                         ask(window, atoms_.strut, XCB_ATOM_CARDINAL),
                         ask(window, atoms_.windowType, XCB_ATOM_ATOM),
                         xcb_get_window_attributes(x_, window)});
    }
    strutsChanged_.clear();
    for (const Asked& client : asked) {
        const QList<quint32> partial = wordsAnswering(x_, client.partial);
        const QList<quint32> plain = wordsAnswering(x_, client.plain);
        const QList<quint32> types = wordsAnswering(x_, client.type);
        const Malloced<xcb_get_window_attributes_reply_t> attributes{
            xcb_get_window_attributes_reply(x_, client.attributes, nullptr)};
        if (!attributes)
            continue; // gone meanwhile
        const QList<quint32> strut = partial.size() >= 12 ? partial.first(12)
                                     : plain.size() >= 4  ? plain.first(4)
                                                          : QList<quint32>();
        clients_.insert(client.window, strut);
        if (!heard_.contains(client.window) && (!strut.isEmpty() || types.contains(atoms_.dock))) {
            watchEvents(client.window,
                        attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE);
            heard_.insert(client.window);
        }
    }
    desktop_.struts.clear();
    for (const QList<quint32>& strut : std::as_const(clients_))
        if (!strut.isEmpty())
            desktop_.struts << strut;
}
