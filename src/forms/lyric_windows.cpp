#include "forms/lyric_windows.h"

#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "window_services/screen_placement.h"
#include "window_services/window_presenter.h"

LyricWindows::LyricWindows(LyricWindowServices services)
    : services_(std::move(services)), preferences_(services_.settingsFile) {
    // Locked, the lyric takes no pointer, and its toolbar goes as if the pointer had left it.
    QObject::connect(&preferences_, &LyricWindowPreferences::lockedChanged, &preferences_,
                     [this](bool locked) {
                         if (locked && frmSet_ && frmSet_->isVisible())
                             frmSet_->pointerLeft();
                     });
}

LyricWindows::~LyricWindows() = default;

WindowPresenter& LyricWindows::presenter() {
    if (!presenter_)
        presenter_ = &services_.presenter();
    return *presenter_;
}

const ScreenGeometry& LyricWindows::screens() {
    const ScreenGeometry* own = presenter().screens();
    return own ? *own : services_.screen;
}

FrmShow& LyricWindows::frmShow() {
    if (!frmShow_) {
        frmShow_ = std::make_unique<FrmShow>(
            services_.settings, FrmShowServices{screens(), services_.dialogs, presenter(),
                                                services_.startGraphics, &preferences_});
        // The toolbar is dragged along with the lyric window.
        QObject::connect(frmShow_.get(), &FrmShow::dragStarted, frmShow_.get(),
                         [this] { frmSet(); });
        // A toolbar not made yet places itself against the lyric window where it then is.
        QObject::connect(frmShow_.get(), &FrmShow::movedBy, frmShow_.get(), [this](QPoint delta) {
            if (frmSet_)
                frmSet_->move(frmSet_->pos() + delta);
        });
        // Wherever the lyric comes to rest, its toolbar can be reached on the same screen.
        QObject::connect(frmShow_.get(), &FrmShow::restsOn, frmShow_.get(),
                         [this](const DesktopScreen& screen) {
                             if (frmSet_)
                                 frmSet_->move(ScreenPlacement::insideScreen(frmSet_->geometry(),
                                                                             screen.geometry));
                         });
        for (const auto& then : whenLyricWindowMade_)
            then(*frmShow_);
    }
    return *frmShow_;
}

void LyricWindows::whenLyricWindowMade(std::function<void(FrmShow&)> then) {
    if (frmShow_)
        then(*frmShow_);
    else
        whenLyricWindowMade_.push_back(std::move(then));
}

FrmSet& LyricWindows::frmSet() {
    if (!frmSet_) {
        FrmShow& lyricWindow = frmShow();
        frmSet_ = std::make_unique<FrmSet>(services_.settings, lyricWindow,
                                           FrmSetServices{services_.dialogs, services_.textChannel,
                                                          services_.mouseTrack, &presenter()});
        lyricWindow.forgetMoves();
    }
    return *frmSet_;
}

QString LyricWindows::shownText() const {
    return frmShow_ ? frmShow_->text() : QString();
}

void LyricWindows::DrawText(const QString& text) {
    frmShow().DrawText(text);
}

void LyricWindows::SetColor(qint16 n) {
    frmSet().SetColor(n);
}

void LyricWindows::showLyricWindow() {
    frmShow().show();
}

void LyricWindows::hideLyricWindow() {
    frmShow().hide();
}
