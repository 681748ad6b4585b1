#include "forms/lyric_menu.h"

#include "core/opened_track.h"

#include <QMenu>
#include <QWidget>

LyricMenu::LyricMenu(QWidget* surface, OpenedTrack& track)
    : QObject(surface), track_(track), menu_(new QMenu(surface)) {
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

    surface->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(surface, &QWidget::customContextMenuRequested, this,
            [this, surface](const QPoint& at) { popup(surface->mapToGlobal(at)); });
}

void LyricMenu::popup(const QPoint& globalPosition) {
    searchOnline_->setChecked(track_.searchOnline());
    const bool hasTrack = !track_.mediaPath().isEmpty();
    searchNow_->setEnabled(hasTrack);
    anotherCandidate_->setEnabled(hasTrack);
    menu_->popup(globalPosition);
}
