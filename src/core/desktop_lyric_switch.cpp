#include "core/desktop_lyric_switch.h"

#include "core/desktop_lyric.h"
#include "core/playback_status.h"
#include "desktop_lyric/lyric_settings.h"
#include "player/lyric_font.h"
#include "player/media_engine.h"

#include <QCoreApplication>

namespace {

inline constexpr auto Greeting = u"Quarnet桌面歌词";
inline constexpr auto TiredOfClicking = u"点累了吧？ 先歇一会儿吧！";
inline constexpr float DesktopLyricSize = 50;
inline constexpr qint16 DesktopLyricScheme = 3;
inline constexpr int ClicksBeforeTheJoke = 20;

} // namespace

DesktopLyricSwitch::DesktopLyricSwitch(DesktopLyric& lyric, PlaybackStatus& status,
                                       MediaEngine& engine, QObject* parent)
    : QObject(parent), lyric_(lyric), status_(status), engine_(engine),
      lyricFontFace_(QString::fromUtf16(LyricFont::Calligraphic)) {}

void DesktopLyricSwitch::prepareFont(FontInstallation& fonts, DesktopLauncher& launcher,
                                     const QString& currentDirectory) {
    const QString face = LyricFont::prepare(fonts, launcher, currentDirectory);
    if (face == lyricFontFace_)
        return;
    lyricFontFace_ = face;
    Q_EMIT lyricFontFaceChanged(face);
}

void DesktopLyricSwitch::openDesktopLyric(const QString& fontName) {
    lyric_.settings().setFont(fontName, DesktopLyricSize);
    lyric_.SetColor(DesktopLyricScheme);
    lyric_.showLyricWindow();
    lyric_.DrawText(QString::fromUtf16(Greeting));
    // While a line is current the next tick draws it over the greeting.
    status_.requestTick();
}

void DesktopLyricSwitch::switchDesktopLyric() {
    openDesktopLyric(lyricFontFace_);
    // Every click opens the lyric first, so a click that hides it still rewrites the
    // settings and redraws the greeting.
    if (shown_)
        lyric_.hideLyricWindow();
    else
        lyric_.showLyricWindow();
    setShown(!shown_);
}

void DesktopLyricSwitch::setShown(bool shown) {
    if (shown == shown_)
        return;
    shown_ = shown;
    Q_EMIT shownChanged(shown);
}

void DesktopLyricSwitch::backgroundClicked() {
    if (clickCount_ == ClicksBeforeTheJoke) {
        Q_EMIT message(QCoreApplication::applicationName(), QString::fromUtf16(TiredOfClicking));
        setClickCount(0);
    } else {
        setClickCount(clickCount_ + 1);
    }
    engine_.play();
}

void DesktopLyricSwitch::setClickCount(int count) {
    if (count == clickCount_)
        return;
    clickCount_ = count;
    Q_EMIT clickCountChanged(count);
}
