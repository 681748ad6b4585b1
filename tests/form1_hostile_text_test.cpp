#include "support/form1_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Reports whether anything opened a file since the watch began.
class OpenWatch {
public:
    explicit OpenWatch(const QString& path)
        : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          watch_(::inotify_add_watch(fd_, QFile::encodeName(path).constData(), IN_OPEN)) {}
    ~OpenWatch() { ::close(fd_); }
    bool isWatching() const { return fd_ >= 0 && watch_ >= 0; }
    bool sawOpen() const {
        char events[4096];
        return ::read(fd_, events, sizeof events) > 0;
    }

private:
    int fd_;
    int watch_;
};

class Form1HostileText : public ::testing::Test, public Form1Fixture {};

// Lyric lines and playlist entries are data, never markup: a label left to guess would
// draw "<b>" bold and load whatever an "<img>" names, a pipe there freezing the window.
TEST_F(Form1HostileText, MarkupInLyricsAndPathsIsShownAsItStandsAndOpensNothing) {
    const QString bait = programFolder.write(QStringLiteral("bait.png"), "not looked at");
    const QString image = QStringLiteral("<img src=\"%1\">").arg(bait);
    const QString media = workingDir.file(QStringLiteral("song.mp3"));
    workingDir.write(QStringLiteral("song.lrc"),
                     ("[00:01.00]" + image + "<b>x</b>\r\n[" + image + "]next\r\n").toUtf8());
    writePlaylist(("1\r\n" + image + ".mp3\r\n").toUtf8());
    OpenWatch watch(bait);
    ASSERT_TRUE(watch.isWatching());

    Form1& form = start();
    form.show();
    form.Text1->setText(media);
    form.Command1->click();
    engine.state = PlayState::Playing;
    engine.position = QStringLiteral("00:01");
    engine.duration = QStringLiteral("00:02");
    form.timer1Tick();
    for (QWidget* shown : {static_cast<QWidget*>(&form), static_cast<QWidget*>(form.Label4),
                           static_cast<QWidget*>(form.Label6)})
        shown->grab();

    EXPECT_EQ(form.Label2->text(), image + QStringLiteral("<b>x</b>"));
    EXPECT_EQ(form.Label4->text(), image);
    EXPECT_EQ(form.List2->item(0)->text(), image + QStringLiteral(".mp3"));
    EXPECT_FALSE(watch.sawOpen());
}

} // namespace
