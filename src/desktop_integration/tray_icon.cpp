#include "desktop_integration/tray_icon.h"

#include "core/player_core.h"
#include "desktop_lyric/lyric_window_preferences.h"
#include "forms/lyric_menu.h"
#include "player/media_engine.h"

#include <QApplication>
#include <QWidget>

TrayIcon::TrayIcon(PlayerCore& core, const MediaEngine& engine,
                   LyricWindowPreferences& lyricPreferences, QWidget& mainWindow,
                   std::function<void()> raiseWindow, QObject* parent)
    : QObject(parent), core_(core), engine_(engine), mainWindow_(mainWindow),
      raiseWindow_(std::move(raiseWindow)), icon_(QApplication::windowIcon()) {
    playPause_ = menu_.addAction(QString::fromUtf16(PlayText), &core_, &PlayerCore::playOrPause);
    menu_.addAction(QString::fromUtf16(PreviousText), &core_.playlist(),
                    &PlaylistController::previousEntry);
    menu_.addAction(QString::fromUtf16(NextText), &core_.playlist(),
                    &PlaylistController::nextEntry);
    menu_.addSeparator();

    DesktopLyricSwitch& lyricSwitch = core_.lyricSwitch();
    desktopLyric_ = menu_.addAction(QString::fromUtf16(DesktopLyricText));
    desktopLyric_->setCheckable(true);
    desktopLyric_->setChecked(lyricSwitch.shown());
    // The switch may refuse (the lyric's face cannot be had); the mark follows the switch.
    connect(desktopLyric_, &QAction::triggered, this, [this, &lyricSwitch] {
        lyricSwitch.switchDesktopLyric();
        desktopLyric_->setChecked(lyricSwitch.shown());
    });
    connect(&lyricSwitch, &DesktopLyricSwitch::shownChanged, desktopLyric_, &QAction::setChecked);

    // Named as the lyrics menu names its own lock.
    lock_ = menu_.addAction(QString::fromUtf16(LyricMenu::LockText));
    lock_->setCheckable(true);
    lock_->setChecked(lyricPreferences.locked());
    connect(lock_, &QAction::triggered, &lyricPreferences, &LyricWindowPreferences::setLocked);
    connect(&lyricPreferences, &LyricWindowPreferences::lockedChanged, lock_, &QAction::setChecked);
    menu_.addSeparator();
    menu_.addAction(QString::fromUtf16(QuitText), &core_.exit(), &ExitSequence::requestClose);
    icon_.setContextMenu(&menu_);

    connect(&engine_, &MediaEngine::playStateChanged, this, &TrayIcon::updatePlayState);
    connect(&core_, &PlayerCore::currentPathChanged, this, &TrayIcon::updateToolTip);
    connect(&core_.openedTrack(), &OpenedTrack::tagsChanged, this, &TrayIcon::updateToolTip);
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger)
                    activate();
            });
    updateToolTip();
    updatePlayState();
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::activate() {
    if (mainWindow_.isActiveWindow() && !mainWindow_.isMinimized())
        mainWindow_.showMinimized();
    else
        raiseWindow_();
}

void TrayIcon::updateToolTip() {
    const OpenedTrack& track = core_.openedTrack();
    QString text = track.title();
    if (!track.tags().artist.isEmpty())
        text += QStringLiteral(" - ") + track.tags().artist;
    icon_.setToolTip(text.isEmpty() ? QApplication::applicationName() : text);
}

void TrayIcon::updatePlayState() {
    const bool playing = engine_.playState() == PlayState::Playing;
    playPause_->setText(QString::fromUtf16(playing ? PauseText : PlayText));
}
