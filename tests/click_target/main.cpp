// A window for the tests on Wayland compositors to click through the desktop lyric to:
// it fills whatever the compositor gives it with one colour and reports each press.
//
//   click_target TITLE COLOUR
//
// Prints "press X Y" (window coordinates) for every mouse press. Runs on whatever Qt
// platform QT_QPA_PLATFORM names, so it is an X11 window under Xwayland or a Wayland one.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <cstdio>

namespace {

class Target : public QWidget {
protected:
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        std::printf("press %d %d\n", at.x(), at.y());
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: click_target TITLE COLOUR\n", stderr);
        return 2;
    }
    Target target;
    target.setWindowTitle(QString::fromLocal8Bit(argv[1]));
    target.setAutoFillBackground(true);
    target.setPalette(QPalette(QColor(QString::fromLatin1(argv[2]))));
    target.resize(800, 600);
    target.show();
    return QApplication::exec();
}
