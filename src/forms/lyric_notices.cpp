#include "forms/lyric_notices.h"

#include "forms/lyric_menu.h"
#include "lyric_sources/opened_track.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QToolTip>

namespace {

// A tooltip-like window that never takes the focus nor a click: a right click where the
// user just opened the menu must open it again, whatever shows there.
class Balloon : public QLabel {
public:
    Balloon()
        : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput) {
        setObjectName(QStringLiteral("LyricNotice"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setTextFormat(Qt::PlainText);
        setPalette(QToolTip::palette());
        setFont(QToolTip::font());
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setMargin(4);
    }
};

} // namespace

LyricNotices::LyricNotices(OpenedTrack& track, Surfaces surfaces, QObject* parent)
    : QObject(parent), surfaces_(std::move(surfaces)), hideTimer_(new QTimer(this)) {
    hideTimer_->setSingleShot(true);
    hideTimer_->setInterval(ShownMs);
    connect(hideTimer_, &QTimer::timeout, this, &LyricNotices::hide);
    // A notice belongs to its track.
    connect(&track, &OpenedTrack::opened, this, &LyricNotices::hide);
    connect(&track, &OpenedTrack::notice, this,
            [this](LyricFinder::Notice, const QString& text) { tell(text); });
}

LyricNotices::~LyricNotices() = default;

void LyricNotices::hide() {
    hideTimer_->stop();
    if (balloon_)
        balloon_->hide();
}

void LyricNotices::follow(LyricMenu* menu, NoticePlacement::Surface surface) {
    connect(menu, &LyricMenu::used, this, [this, surface] { askedFrom_ = surface; });
}

NoticePlacement::Situation LyricNotices::situation() const {
    const QWidget* mainWindow = surfaces_.lyricStrip->window();
    return {mainWindow->isVisible() && !mainWindow->isMinimized(), mainWindow->isActiveWindow(),
            surfaces_.desktopLyric().has_value(), askedFrom_};
}

void LyricNotices::tell(const QString& text) {
    using NoticePlacement::Surface;
    const Surface surface = NoticePlacement::choose(situation());
    QRect anchor;
    if (surface == Surface::LyricStrip) {
        // Only the part of the strip inside the window is seen.
        const QWidget* strip = surfaces_.lyricStrip;
        const QRect seen = strip->rect() & strip->window()->rect().translated(
                                               -strip->mapTo(strip->window(), QPoint()));
        anchor = QRect(strip->mapToGlobal(seen.topLeft()), seen.size());
    } else if (surface == Surface::DesktopLyric) {
        anchor = surfaces_.desktopLyric().value_or(QRect());
    } else {
        return hide();
    }
    // Made for the first notice, so the windows show without it.
    if (!balloon_)
        balloon_ = std::make_unique<Balloon>();
    balloon_->setText(text);
    balloon_->adjustSize();
    const QScreen* screen = QGuiApplication::screenAt(anchor.center());
    balloon_->move(NoticePlacement::position(surface, anchor, balloon_->size(),
                                             screen ? screen->geometry() : QRect()));
    balloon_->show();
    balloon_->raise();
    hideTimer_->start();
}
