// A window for the tests on Wayland compositors to click through the desktop lyric to:
// maximized, so that it lies under the lyric wherever the compositor puts it, it fills what
// it gets with one colour and reports each press.
//
//   click_target TITLE COLOUR
//
// Prints "press X Y" (window coordinates) for every mouse press, "motion X Y" for every move
// of the pointer over it, "entered" whenever the pointer comes over it, and "active" whenever
// the window manager makes it the active window. Runs on whatever Qt
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
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        std::printf("motion %d %d\n", at.x(), at.y());
        std::fflush(stdout);
    }
    void enterEvent(QEnterEvent*) override {
        std::puts("entered");
        std::fflush(stdout);
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
            std::puts("active");
            std::fflush(stdout);
        }
        QWidget::changeEvent(event);
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
    target.setMouseTracking(true);
    target.resize(800, 600);
    target.showMaximized();
    return QApplication::exec();
}
