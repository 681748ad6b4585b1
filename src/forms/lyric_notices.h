#pragma once

#include "window_services/notice_placement.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class LyricMenu;
class OpenedTrack;
class QLabel;
class QTimer;
class QWidget;

// The lyrics search's notices (searching, found, not found, offline, ...), each shown for a
// moment in a balloon of its own beside the surface the user is looking at (see
// NoticePlacement). The balloon is a window of its own: the captions and the desktop lyric's
// picture never carry a notice, so what the tick shows while a track plays stays as it is.
class LyricNotices : public QObject {
    Q_OBJECT
public:
    static constexpr int ShownMs = 3000;

    struct Surfaces {
        QWidget* lyricStrip; // on the main window
        // The desktop lyric's frame on the screen while it is shown.
        std::function<std::optional<QRect>()> desktopLyric;
    };

    LyricNotices(OpenedTrack& track, Surfaces surfaces, QObject* parent = nullptr);
    ~LyricNotices() override;

    // Notices after the user chose an entry of this menu show at its surface while it is
    // shown.
    void follow(LyricMenu* menu, NoticePlacement::Surface surface);

    // Shows the text where the user is looking, replacing a notice still shown.
    void tell(const QString& text);
    void hide();

    // The balloon, once a notice was shown; none before.
    const QLabel* balloon() const { return balloon_.get(); }

private:
    NoticePlacement::Situation situation() const;

    Surfaces surfaces_;
    NoticePlacement::Surface askedFrom_ = NoticePlacement::Surface::None;
    std::unique_ptr<QLabel> balloon_;
    QTimer* hideTimer_;
};
