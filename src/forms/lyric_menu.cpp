#include "forms/lyric_menu.h"

#include "desktop_lyric/lyric_window_preferences.h"
#include "lyric_sources/opened_track.h"
#include "window_services/screen_placement.h"

#include <QMenu>
#include <QWidget>

LyricMenu::LyricMenu(QWidget* surface, OpenedTrack& track, DesktopLyricChoices desktopLyric,
                     std::function<void()> searchWindow)
    : QObject(surface), surface_(surface), track_(track), desktopLyric_(desktopLyric),
      searchWindow_(std::move(searchWindow)) {
    surface->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(surface, &QWidget::customContextMenuRequested, this,
            [this, surface](const QPoint& at) { popup(surface->mapToGlobal(at)); });
}

// Made on first use, so a window that takes the menu costs nothing more to show.
QMenu* LyricMenu::menu() {
    if (menu_)
        return menu_;
    menu_ = new QMenu(surface_);
    menu_->setObjectName(QStringLiteral("LyricMenu"));
    searchOnline_ = menu_->addAction(QString::fromUtf16(SearchOnlineText));
    searchOnline_->setCheckable(true);
    menu_->addSeparator();
    searchNow_ = menu_->addAction(QString::fromUtf16(SearchNowText));
    anotherCandidate_ = menu_->addAction(QString::fromUtf16(AnotherCandidateText));

    // triggered, not toggled: showing the setting as it is must not write it back.
    connect(searchOnline_, &QAction::triggered, this, [this](bool on) {
        Q_EMIT used();
        track_.setSearchOnline(on);
    });
    connect(searchNow_, &QAction::triggered, this, [this] {
        Q_EMIT used();
        track_.searchNow();
    });
    connect(anotherCandidate_, &QAction::triggered, this, [this] {
        Q_EMIT used();
        track_.anotherCandidate();
    });
    if (searchWindow_) {
        searchWindowEntry_ = menu_->addAction(QString::fromUtf16(SearchWindowText));
        connect(searchWindowEntry_, &QAction::triggered, this, [this] {
            Q_EMIT used();
            searchWindow_();
        });
    }
    if (LyricWindowPreferences* preferences = desktopLyric_.preferences) {
        menu_->addSeparator();
        lock_ = menu_->addAction(QString::fromUtf16(LockText));
        lock_->setCheckable(true);
        connect(lock_, &QAction::triggered, this, [this, preferences](bool on) {
            Q_EMIT used();
            preferences->setLocked(on);
        });
        screenMenu_ = menu_->addMenu(QString::fromUtf16(ScreenText));
    }
    return menu_;
}

void LyricMenu::popup(const QPoint& globalPosition) {
    QMenu* entries = menu();
    searchOnline_->setChecked(track_.searchOnline());
    const bool hasTrack = !track_.mediaPath().isEmpty();
    searchNow_->setEnabled(hasTrack);
    anotherCandidate_->setEnabled(hasTrack);
    if (searchWindowEntry_)
        searchWindowEntry_->setEnabled(hasTrack);
    if (desktopLyric_.preferences) {
        lock_->setChecked(desktopLyric_.preferences->locked());
        listScreens();
    }
    entries->popup(globalPosition);
}

// The screens as they are now, by name and model, the lyric's own checked; a single screen
// leaves nothing to choose.
void LyricMenu::listScreens() {
    screenMenu_->clear();
    const QList<DesktopScreen> screens =
        desktopLyric_.screens ? desktopLyric_.screens() : QList<DesktopScreen>();
    screenMenu_->menuAction()->setVisible(screens.size() > 1);
    if (screens.size() < 2)
        return;
    const auto lyricScreen =
        ScreenPlacement::screenFor(screens, desktopLyric_.preferences->screenName());
    for (const DesktopScreen& screen : screens) {
        QString text =
            screen.name.isEmpty() ? QString::number(screens.indexOf(screen) + 1) : screen.name;
        if (!screen.model.isEmpty())
            text += QStringLiteral(" (%1)").arg(screen.model);
        QAction* choice = screenMenu_->addAction(text);
        choice->setCheckable(true);
        choice->setChecked(lyricScreen && lyricScreen->name == screen.name);
        connect(choice, &QAction::triggered, this, [this, name = screen.name] {
            Q_EMIT used();
            desktopLyric_.preferences->chooseScreen(name);
        });
    }
}
