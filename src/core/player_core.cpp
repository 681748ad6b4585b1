#include "core/player_core.h"

#include "core/designed_timer.h"
#include "core/desktop_lyric.h"
#include "lyrics/end_of_media.h"
#include "player/desktop_launcher.h"
#include "player/media_engine.h"

#include <QTimer>

namespace {

inline constexpr auto DesignedPath = u"E:\\Music\\top\\Zelvorin-玫瑰花的葬礼.mp3";

} // namespace

PlayerCore::PlayerCore(PlayerCoreServices services, QObject* parent)
    : QObject(parent), services_(std::move(services)), playlist_(services_.programFolder, this),
      lyricLines_(this), openedTrack_(services_.lyricSources, this),
      status_(
          services_.engine, lyricLines_, [this](const QString& text) { drawLyric(text); }, this),
      lyricSwitch_(services_.desktopLyric, status_, services_.engine, this),
      exit_(services_.engine, playlist_, services_.endProcess, this),
      Timer3(DesignedTimer::make(this, "Timer3", 10)),
      currentPath_(QString::fromUtf16(DesignedPath)) {
    connect(Timer3, &QTimer::timeout, this, &PlayerCore::timer3Tick);
    connect(&services_.engine, &MediaEngine::endOfStream, this, &PlayerCore::mediaEnded);
    connect(&openedTrack_, &OpenedTrack::linesFound, this, &PlayerCore::showLyricLines);
    connect(&playlist_, &PlaylistController::playWanted, this,
            [this] { DesignedTimer::enable(Timer3); });
    // Connected before any window can be: no timer of the player ticks once the fade is done.
    connect(&exit_, &ExitSequence::finishing, this, [this] {
        status_.Timer1->stop();
        Timer3->stop();
    });
    connect(&playlist_, &PlaylistController::message, this, &PlayerCore::message);
    connect(&lyricSwitch_, &DesktopLyricSwitch::message, this, &PlayerCore::message);
    connect(&exit_, &ExitSequence::message, this, &PlayerCore::message);
}

PlayerCore::~PlayerCore() = default;

void PlayerCore::load() {
    services_.engine.setVolume(100);
    services_.launcher.unregisterComponent(QStringLiteral("SSubTmr6.dll"));
    services_.launcher.unregisterComponent(QStringLiteral("Diag.dll"));
    lyricSwitch_.prepareFont(services_.fonts, services_.launcher, services_.currentDirectory);
    playlist_.load();
    // The first tick shows the engine's state from the start.
    status_.requestTick();
}

void PlayerCore::setPlayMode(PlayMode mode) {
    if (mode == playMode_)
        return;
    playMode_ = mode;
    Q_EMIT playModeChanged(mode);
}

std::optional<QString> PlayerCore::positionText() const {
    const MediaEngine& engine = services_.engine;
    return engine.hasMedia() ? std::optional(PlaybackTick::timeText(engine.position()))
                             : std::nullopt;
}

std::optional<QString> PlayerCore::durationText() const {
    const MediaEngine& engine = services_.engine;
    return engine.hasMedia() ? std::optional(PlaybackTick::timeText(engine.duration()))
                             : std::nullopt;
}

void PlayerCore::play() {
    services_.engine.play();
}

void PlayerCore::pause() {
    services_.engine.pause();
}

void PlayerCore::stop() {
    services_.engine.stop();
}

void PlayerCore::playOrPause() {
    if (services_.engine.playState() == PlayState::Playing)
        pause();
    else
        play();
}

void PlayerCore::seekTo(qint64 milliseconds) {
    MediaEngine& engine = services_.engine;
    if (engine.canSeek())
        engine.seek(std::clamp<qint64>(milliseconds, 0, engine.duration()));
}

void PlayerCore::seekBy(qint64 deltaMilliseconds) {
    seekTo(services_.engine.position() + deltaMilliseconds);
}

void PlayerCore::setVolume(int volume) {
    services_.engine.setVolume(volume);
}

void PlayerCore::replay() {
    openMedia(currentPath_);
}

void PlayerCore::playSelectedEntry() {
    setCurrentPath(playlist_.selectedPath());
    openMedia(currentPath_);
}

void PlayerCore::timer3Tick() {
    playSelectedEntry();
    Timer3->stop();
}

void PlayerCore::openMedia(const QString& path) {
    services_.engine.setURL(path);
    showLyricLines(openedTrack_.open(path));
    Q_EMIT mediaOpened();
}

// The tick shows the lines as it shows those of a lyric file.
void PlayerCore::showLyricLines(const QStringList& lines) {
    lyricLines_.replace(lines);
    status_.requestTick();
}

void PlayerCore::setCurrentPath(const QString& path) {
    if (path == currentPath_)
        return;
    currentPath_ = path;
    Q_EMIT currentPathChanged(path);
}

void PlayerCore::mediaEnded() {
    const auto advance = EndOfMedia::decide(playMode_, services_.engine.playState(),
                                            playlist_.currentRow(), playlist_.model().count());
    if (!advance)
        return;
    if (advance->replay)
        services_.engine.play();
    if (advance->select >= 0)
        playlist_.select(advance->select);
    if (advance->showSlogan) {
        drawLyric(QString::fromUtf16(EndOfMedia::Slogan));
        // The current line, if any, goes back over the slogan as it would on the next tick.
        status_.requestTick();
    }
    DesignedTimer::enable(Timer3);
}

void PlayerCore::drawLyric(const QString& text) {
    services_.desktopLyric.DrawText(text);
}
