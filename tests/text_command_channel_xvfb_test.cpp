#include "desktop_lyric/text_command_channel.h"
#include "platform/desktop/system_window_text_channel.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"
#include "support/x11_client.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <list>
#include <optional>
#include <string>
#include <vector>

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
class XView : public testsupport::X11Client {
public:
    // Does what a reparenting window manager does: wraps the window in an untitled frame
    // and marks it as the client with WM_STATE.
    void frame(quint32 client) {
        const quint32 frame = createWindow(QRect(0, 0, 300, 120));
        reparent(client, frame, QPoint(4, 20));
        setWords(client, "WM_STATE", "WM_STATE", {1, 0}); // normal
        map(frame);
    }

    // A program's top-level window with a title and a child, that no command is meant for.
    void bystander() {
        const quint32 top = createWindow(QRect(0, 0, 300, 120));
        setTitle(top, "another program");
        map(createWindow(QRect(4, 4, 100, 20), top));
        map(top);
    }
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
        if (!testsupport::waitUntil([&] { return process_.canReadLine(); }))
            return false;
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

    quint32 top = 0;
    quint32 box = 0;

private:
    QString logPath_;
    QProcess process_;
};

class TextCommandChannel : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.connected())
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
