#include "forms/frm_show.h"

#include "desktop_lyric/lyric_settings.h"
#include "forms/design_units.h"
#include "forms/window_shape.h"
#include "player/dialogs.h"
#include "window_services/screen_geometry.h"
#include "window_services/taskbar_height.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int DesignWidthTwips = 17775;
constexpr int DesignHeightTwips = 1665;

} // namespace

FrmShow::FrmShow(LyricSettings& settings, FrmShowServices services, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      settings_(settings), services_(std::move(services)) {
    setObjectName(QStringLiteral("FrmShow"));
    setWindowTitle(QStringLiteral("Form1"));
    // Per-pixel alpha needs a window created with an alpha channel, so before any native
    // window exists.
    setAttribute(Qt::WA_TranslucentBackground);
    resize(twipsToPixels(DesignWidthTwips), twipsToPixels(DesignHeightTwips));
    // Shown before its first picture, an unmasked window would be a black strip wherever
    // no compositing manager blends it with what lies behind.
    setMask(WindowShape::nothingVisible());
    load();
}

FrmShow::~FrmShow() = default;

bool FrmShow::load() {
    if (loaded_)
        return true;
    // While the failure message is up its event loop keeps the playback tick running, which
    // would otherwise stack one message on another.
    if (reportingFailure_)
        return false;
    placeAboveTaskbar();
    if (services_.startGraphics && !services_.startGraphics()) {
        reportingFailure_ = true;
        // No owner: this window is not on screen to own a message.
        services_.dialogs.showError(nullptr, QStringLiteral("a gdi+ Init Error"),
                                    QStringLiteral("Faild to Load GDI+! Please ReInstall your "
                                                   "Application"));
        reportingFailure_ = false;
        unload();
        return false;
    }
    loaded_ = true;
    return true;
}

void FrmShow::unload() {
    loaded_ = false;
    picture_ = LyricPicture();
    setMask(WindowShape::nothingVisible());
    QWidget::setVisible(false);
}

void FrmShow::placeAboveTaskbar() {
    const QRect screen = services_.screen.screen();
    // The design's arithmetic is in twips: the window's bottom edge rests on the top of
    // the strip below the work area.
    const int heightTwips = height() * TwipsPerPixel;
    const int topTwips =
        screen.height() * TwipsPerPixel - heightTwips - GetTaskbarHeight(services_.screen);
    setGeometry(screen.x(), screen.y() + qRound(topTwips / double(TwipsPerPixel)), screen.width(),
                height());
    // Placing the window is no drag: nothing moves along with it.
    lastPosition_ = pos();
}

void FrmShow::RefreshText() {
    DrawText(settings_.currentText);
}

void FrmShow::DrawText(const QString& text) {
    if (text.isEmpty())
        return;
    settings_.currentText = text;
    if (!load())
        return;
    // Lines of the same second arrive one after another within one tick, and only the
    // last of them can ever be seen: the picture is made once the caller is done, from the
    // text and style as they then stand.
    if (!presentPending_) {
        presentPending_ = true;
        QMetaObject::invokeMethod(this, &FrmShow::present, Qt::QueuedConnection);
    }
}

const QImage& FrmShow::picture() {
    present();
    return picture_.image();
}

void FrmShow::present() {
    if (!presentPending_)
        return;
    presentPending_ = false;
    if (!loaded_)
        return;
    const LyricStyle style{settings_.fontName, settings_.fontSize, settings_.firstColour,
                           settings_.secondColour};
    // The layout spans the whole screen, whatever the window's own width.
    if (picture_.draw(settings_.currentText, style, size(), services_.screen.screen().width()))
        showPicture();
}

void FrmShow::showPicture() {
    // Cut down to the pixels that carry any colour.
    setMask(WindowShape::visiblePixels(picture_.image(),
                                       [](QRgb pixel) { return qAlpha(pixel) != 0; }));
    update();
}

void FrmShow::setVisible(bool visible) {
    if (visible && !load())
        return;
    QWidget::setVisible(visible);
}

void FrmShow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (picture_.isEmpty())
        painter.fillRect(rect(), Qt::transparent);
    else
        painter.drawImage(0, 0, picture_.image());
}

void FrmShow::mousePressEvent(QMouseEvent* event) {
    Q_EMIT dragStarted();
    drag_.begin(*this, *event);
}

void FrmShow::mouseMoveEvent(QMouseEvent* event) {
    drag_.track(*this, *event);
}

void FrmShow::mouseReleaseEvent(QMouseEvent* event) {
    drag_.track(*this, *event);
}

void FrmShow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    const QPoint delta = pos() - lastPosition_;
    lastPosition_ = pos();
    if (loaded_ && !delta.isNull())
        Q_EMIT movedBy(delta);
}
