#include "forms/frm_set.h"

#include "desktop_lyric/lyric_font_choice.h"
#include "desktop_lyric/lyric_settings.h"
#include "desktop_lyric/text_command_channel.h"
#include "desktop_lyric/toolbar_face.h"
#include "forms/frm_show.h"
#include "forms/image_control.h"
#include "forms/picture_box.h"
#include "player/dialogs.h"
#include "window_services/c_mouse_track.h"
#include "window_services/screen_placement.h"
#include "window_services/window_presenter.h"
#include "window_services/window_shape.h"

#include <QMouseEvent>

FrmSet::FrmSet(LyricSettings& settings, FrmShow& lyricWindow, FrmSetServices services,
               QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), settings_(settings),
      lyricWindow_(lyricWindow), services_(std::move(services)), ownFont_(font()) {
    createControls();
    if (services_.presenter)
        services_.presenter->attach(*this);
    connectEvents();
    load();
}

bool FrmSet::presented() const {
    return services_.presenter && services_.presenter->drawsWindows();
}

FrmSet::~FrmSet() = default;

void FrmSet::connectEvents() {
    // The bare surface: moves arm the leave tracking, presses drag the bar. Moves over an
    // image reach the image instead, so a pointer that only ever crossed images leaves the
    // bar without hiding it.
    Pic->setMouseTracking(true);
    Pic->installEventFilter(this);

    for (const Button& button : std::as_const(buttons_)) {
        // The two buttons that are never shown take no part.
        if (button.control == CmdLrc || button.control == CmdLock)
            continue;
        ImageControl* control = button.control;
        const ButtonPictures pictures = button.pictures;
        connect(control, &ImageControl::mouseMoved, this,
                [this, control, pictures] { showPicture(control, pictures.pointer); });
        connect(control, &ImageControl::mousePressed, this,
                [this, control, pictures] { showPicture(control, pictures.pressed); });
    }

    const std::pair<ImageControl*, qint16> schemes[] = {
        {CmdBlue, 1}, {CmdGreen, 2}, {CmdRed, 3}, {CmdWhite, 4}, {CmdYellow, 5}};
    for (const auto& [control, scheme] : schemes)
        connect(control, &ImageControl::clicked, this, [this, n = scheme] { SetColor(n); });
    connect(Delay1, &ImageControl::clicked, this,
            [this] { SendCmd(QString(TextCommand::DelayLater)); });
    connect(Delay2, &ImageControl::clicked, this,
            [this] { SendCmd(QString(TextCommand::DelayEarlier)); });
    connect(CmdEnd, &ImageControl::clicked, this, &QWidget::hide);
    connect(CmdSet, &ImageControl::clicked, this, &FrmSet::chooseFont);
}

void FrmSet::load() {
    move(ScreenPlacement::toolbarAbove(lyricWindow_.placedScreen().geometry, lyricWindow_.y(),
                                       size()));

    ownFont_ = LyricFontChoice::withLyricFont(ownFont_, settings_.fontName(), settings_.fontSize());

    updateColourKey();

    m_cPTM = new cMouseTrack(services_.mouseTrack, this);
    m_cPTM->setObjectName(QStringLiteral("m_cPTM"));
    m_cPTM->AttachMouseTracking(Pic, cMouseTrack::TrackMethodDetect);
    connect(m_cPTM, &cMouseTrack::MouseLeave, this, &FrmSet::pointerLeft);

    // The window is not created yet, so the flag costs no new native window.
    setWindowFlag(Qt::WindowStaysOnTopHint);
}

void FrmSet::pointerLeft() {
    hide();
    refreshSkin();
}

bool FrmSet::SaveSet() {
    return settings_.save();
}

void FrmSet::SendCmd(const QString& cmd) {
    sendTextCommand(services_.textChannel, cmd);
}

void FrmSet::refreshSkin() {
    for (const Button& button : std::as_const(buttons_))
        showPicture(button.control, button.pictures.normal);
}

void FrmSet::SetColor(qint16 n) {
    settings_.chooseColourScheme(n);
    // A settings file that cannot be written is no reason to keep the lyric in its old
    // colours; the choice is already in effect.
    SaveSet();
    lyricWindow_.RefreshText();
}

void FrmSet::showPicture(ImageControl* control, const QPixmap& picture) {
    if (control->setPicture(picture))
        updateColourKey();
}

// The mask is worked out from the face as it is composed, but handed to the window system
// only when it changes: reshaping a window is costly for the X server.
void FrmSet::updateColourKey() {
    ToolbarFace::Bar bar{
        Pic->geometry(), Pic->palette().color(Pic->backgroundRole()), Pic->picture(), {}};
    // Children are listed from back to front.
    for (QObject* child : Pic->children())
        if (const auto* control = qobject_cast<const ImageControl*>(child);
            control && !control->isHidden())
            bar.buttons.append({control->pos(), control->size(), control->picture()});
    const QImage face = ToolbarFace::compose(size(), bar);
    const QRegion visible = WindowShape::outsideColourKey(face, ToolbarFace::ColourKey);
    if (presented()) {
        services_.presenter->present(
            *this, WindowShape::colourKeyTransparent(face, ToolbarFace::ColourKey), rect());
        services_.presenter->takeInputOnly(*this, visible);
        return;
    }
    if (visible != mask())
        setMask(visible);
}

bool FrmSet::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Pic)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        surfaceMouseMoved();
        drag_.track(*this, *static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // a second press drags like the first
        drag_.begin(*this, *static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseButtonRelease:
        drag_.track(*this, *static_cast<QMouseEvent*>(event));
        break;
    default:
        break;
    }
    return false;
}

void FrmSet::surfaceMouseMoved() {
    refreshSkin();
    // Arming cannot fail on this platform's tracking; were it to, the pointer's next move
    // over the surface tries again.
    if (!m_cPTM->Tracking())
        m_cPTM->StartMouseTracking();
}

void FrmSet::chooseFont() {
    const std::optional<QFont> answer = services_.dialogs.chooseFont(this, ownFont_);
    const std::optional<QFont> chosen =
        answer ? LyricFontChoice::chosen(ownFont_, *answer) : std::nullopt;
    if (!chosen)
        return;
    ownFont_ = *chosen;
    settings_.setFont(ownFont_.family(), static_cast<float>(ownFont_.pointSizeF()));
    lyricWindow_.RefreshText();
    SaveSet();
}
