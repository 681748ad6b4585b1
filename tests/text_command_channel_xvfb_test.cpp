#include "desktop_lyric/text_command_channel.h"
#include "platform/desktop/system_window_text_channel.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// A connection per command, opened with the display as it is at that moment.
void sendCommand(const QString& cmd) {
    SystemWindowTextChannel channel;
    sendTextCommand(channel, cmd);
}

QString receiverProgram() {
#ifdef LYRIC_COMMAND_RECEIVER
    return QStringLiteral(LYRIC_COMMAND_RECEIVER);
#else
    return QCoreApplication::applicationDirPath() + "/receiver/lyric_command_receiver";
#endif
}

// The test's own connection, to look at the receiver's windows independently of the sender.
// A receiver that failed to start leaves window ids of 0; asking about those must fail the
// test, not end it the way Xlib's default error handler would.
class XView {
public:
    XView() : display(XOpenDisplay(nullptr)) {
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~XView() {
        if (display)
            XCloseDisplay(display);
    }
    XView(const XView&) = delete;
    XView& operator=(const XView&) = delete;

    std::optional<QByteArray> property(Window window, const char* name) const {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 20, False,
                           AnyPropertyType, &type, &format, &count, &remaining, &data);
        std::optional<QByteArray> bytes;
        if (type != None)
            bytes = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
        if (data)
            XFree(data);
        return bytes;
    }

    // WM_NAME as Xlib itself decodes it, whichever encoding the sender chose.
    QString wmName(Window window) const {
        XTextProperty text{nullptr, 0, 0, 0};
        if (!XGetWMName(display, window, &text))
            return QStringLiteral("<none>");
        char** list = nullptr;
        int count = 0;
        QString decoded;
        if (Xutf8TextPropertyToTextList(display, &text, &list, &count) == Success) {
            for (int i = 0; i < count; ++i)
                decoded += QString::fromUtf8(list[i]);
            XFreeStringList(list);
        }
        XFree(text.value);
        return decoded;
    }

    // Does what a reparenting window manager does: wraps the window in an untitled frame
    // and marks it as the client with WM_STATE.
    void frame(Window client) const {
        const Window frame =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 300, 120, 0, 0, 0);
        XReparentWindow(display, client, frame, 4, 20);
        const Atom wmState = XInternAtom(display, "WM_STATE", False);
        const long normalState[2] = {1, 0};
        XChangeProperty(display, client, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(normalState), 2);
        XMapWindow(display, frame);
        XSync(display, False);
    }

    // A program's top-level window with a title and a child, that no command is meant for.
    void bystander() const {
        const Window root = DefaultRootWindow(display);
        const Window top = XCreateSimpleWindow(display, root, 0, 0, 300, 120, 0, 0, 0);
        XStoreName(display, top, "another program");
        XMapWindow(display, XCreateSimpleWindow(display, top, 4, 4, 100, 20, 0, 0, 0));
        XMapWindow(display, top);
        XSync(display, False);
    }

    // From now on every property change on every window there is, the root included, is
    // reported to this connection.
    void watchAllProperties() const {
        std::vector<Window> windows{DefaultRootWindow(display)};
        for (std::size_t i = 0; i < windows.size(); ++i) {
            Window root = 0;
            Window parent = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            if (XQueryTree(display, windows[i], &root, &parent, &children, &count) && children)
                windows.insert(windows.end(), children, children + count);
            if (children)
                XFree(children);
        }
        for (Window window : windows)
            XSelectInput(display, window, PropertyChangeMask);
        XSync(display, False);
    }

    // The properties changed since watching began, as "window property" lines.
    std::vector<std::string> propertyChanges() const {
        XSync(display, False);
        std::vector<std::string> changes;
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != PropertyNotify)
                continue;
            char* name = XGetAtomName(display, event.xproperty.atom);
            changes.push_back(std::to_string(event.xproperty.window) + ' ' + name);
            XFree(name);
        }
        return changes;
    }

    Display* display;
};

class Receiver {
public:
    Receiver(const QString& logPath, const QStringList& options) : logPath_(logPath) {
        process_.start(receiverProgram(), QStringList{logPath} + options);
    }
    ~Receiver() {
        // The receiver ends when its input closes.
        process_.closeWriteChannel();
        if (!process_.waitForFinished(2000)) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    bool waitReady() {
        QDeadlineTimer deadline(5000);
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                return false;
        }
        const QList<QByteArray> words = process_.readLine().trimmed().split(' ');
        if (words.size() != 3 || words[0] != "ready")
            return false;
        top = words[1].toULong();
        box = words[2].toULong();
        return box != 0;
    }

    QStringList log() const {
        QFile file(logPath_);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
        lines.removeLast();
        return lines;
    }

    Window top = 0;
    Window box = 0;

private:
    QString logPath_;
    QProcess process_;
};

class TextCommandChannel : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.display)
            GTEST_SKIP() << "needs an X server";
    }

    Receiver& startReceiver(const QStringList& options = {}) {
        Receiver& receiver =
            receivers.emplace_back(logs.file(QString::number(receivers.size()) + ".log"), options);
        EXPECT_TRUE(receiver.waitReady()) << "receiver did not start";
        return receiver;
    }

    static bool waitForLog(const Receiver& receiver, const QStringList& lines) {
        return testsupport::waitUntil([&] { return receiver.log() == lines; }, 3000);
    }

    XView x;
    TempFolder logs;
    std::list<Receiver> receivers;
};

TEST_F(TextCommandChannel, ReceiverTakesEachCommandInOrder) {
    Receiver& receiver = startReceiver();
    sendCommand(TextCommand::DelayLater);
    ASSERT_TRUE(waitForLog(receiver, {"DELAY+"}));
    sendCommand(TextCommand::DelayEarlier);
    EXPECT_TRUE(waitForLog(receiver, {"DELAY+", "DELAY-"}));
    EXPECT_EQ(x.property(receiver.box, "_NET_WM_NAME"), QByteArray("DELAY-"));
}

TEST_F(TextCommandChannel, ReceiverInsideAWindowManagerFrameIsFound) {
    Receiver& receiver = startReceiver();
    x.frame(receiver.top);
    sendCommand(TextCommand::DelayLater);
    EXPECT_TRUE(waitForLog(receiver, {"DELAY+"}));
}

TEST_F(TextCommandChannel, WithoutAReceiverNoWindowIsWritten) {
    x.bystander();
    x.watchAllProperties();
    sendCommand(TextCommand::DelayLater);
    sendCommand(TextCommand::DelayEarlier);
    EXPECT_EQ(x.propertyChanges(), std::vector<std::string>());
}

TEST_F(TextCommandChannel, NothingHappensWithoutAnXServer) {
    Receiver& receiver = startReceiver();
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    sendCommand(TextCommand::DelayLater);
    qputenv("DISPLAY", display);
    EXPECT_EQ(x.wmName(receiver.box), "TextCmd");
    EXPECT_FALSE(x.property(receiver.box, "_NET_WM_NAME"));
}

TEST_F(TextCommandChannel, ReceiverThatKeepsTheCommandTakesOnlyTheFirst) {
    Receiver& receiver = startReceiver({"--no-restore"});
    sendCommand(TextCommand::DelayLater);
    ASSERT_TRUE(waitForLog(receiver, {"DELAY+"}));
    sendCommand(TextCommand::DelayEarlier);
    // The box still holds the first command, so the second was never written: there is no
    // change the receiver could be told of.
    EXPECT_EQ(x.wmName(receiver.box), "DELAY+");
    EXPECT_EQ(x.property(receiver.box, "_NET_WM_NAME"), QByteArray("DELAY+"));
    EXPECT_EQ(receiver.log(), QStringList{"DELAY+"});
}

TEST_F(TextCommandChannel, OnlyTheFrontmostOfTwoReceiversGetsTheCommand) {
    Receiver& back = startReceiver();
    Receiver& front = startReceiver();
    sendCommand(TextCommand::DelayLater);
    EXPECT_TRUE(waitForLog(front, {"DELAY+"}));
    EXPECT_FALSE(x.property(back.box, "_NET_WM_NAME"));
    EXPECT_EQ(back.log(), QStringList());
}

// Receivers that are running but cannot be reached: the box keeps its text untouched.
struct Unreachable {
    const char* name;
    QStringList options;
    QString boxText;
};

class UnreachableReceiver : public TextCommandChannel,
                            public ::testing::WithParamInterface<Unreachable> {};

TEST_P(UnreachableReceiver, BoxIsLeftAlone) {
    Receiver& receiver = startReceiver(GetParam().options);
    sendCommand(TextCommand::DelayLater);
    EXPECT_EQ(x.wmName(receiver.box), GetParam().boxText);
    EXPECT_FALSE(x.property(receiver.box, "_NET_WM_NAME"));
}

INSTANTIATE_TEST_SUITE_P(
    TextCommandChannel, UnreachableReceiver,
    ::testing::Values(Unreachable{"BoxInsideAContainer", {"--grandchild"}, "TextCmd"},
                      Unreachable{"BoxHoldingAnotherText", {"--initial-text", "busy"}, "busy"},
                      Unreachable{
                          "BoxHoldingTextCmdAndMore", {"--initial-text", "TextCmd "}, "TextCmd "},
                      Unreachable{"OtherTitle", {"--title", "lumioramusicbox2"}, "TextCmd"},
                      Unreachable{"TitlePrefix", {"--title", "lumioramusic"}, "TextCmd"}),
    [](const auto& row) { return std::string(row.param.name); });

// Whatever text is sent arrives as the box's text, in both title properties, as a window
// text holds it: cut at a NUL, line breaks kept.
struct Delivered {
    const char* name;
    QString sent;
    QString arrived;
};

class DeliveredText : public TextCommandChannel, public ::testing::WithParamInterface<Delivered> {};

TEST_P(DeliveredText, ArrivesInBothTitleProperties) {
    Receiver& receiver = startReceiver({"--no-restore"});
    sendCommand(GetParam().sent);
    EXPECT_EQ(x.property(receiver.box, "_NET_WM_NAME"), GetParam().arrived.toUtf8());
    EXPECT_EQ(x.wmName(receiver.box), GetParam().arrived);
}

INSTANTIATE_TEST_SUITE_P(
    TextCommandChannel, DeliveredText,
    ::testing::Values(
        Delivered{"Empty", "", ""}, Delivered{"Huge", QString(100000, 'x'), QString(100000, 'x')},
        Delivered{"Chinese", QStringLiteral("延迟0.5秒"), QStringLiteral("延迟0.5秒")},
        Delivered{"Latin1", QString::fromLatin1("\xe9\xff\x01"),
                  QString::fromLatin1("\xe9\xff\x01")},
        Delivered{"LineBreaks", "DELAY+\r\nDELAY-", "DELAY+\r\nDELAY-"},
        Delivered{"CutAtNul", QStringLiteral("DELAY+") + QChar(0) + "tail", "DELAY+"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
