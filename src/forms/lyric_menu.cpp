#include "forms/lyric_menu.h"

#include "core/opened_track.h"

#include <QMenu>
#include <QWidget>

LyricMenu::LyricMenu(QWidget* surface, OpenedTrack& track)
    : QObject(surface), surface_(surface), track_(track) {
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
    return menu_;
}

void LyricMenu::popup(const QPoint& globalPosition) {
    QMenu* entries = menu();
    searchOnline_->setChecked(track_.searchOnline());
    const bool hasTrack = !track_.mediaPath().isEmpty();
    searchNow_->setEnabled(hasTrack);
    anotherCandidate_->setEnabled(hasTrack);
    entries->popup(globalPosition);
}
