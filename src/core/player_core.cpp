#include "core/player_core.h"

#include "core/desktop_lyric.h"
#include "desktop_lyric/lyric_settings.h"
#include "lyrics/end_of_media.h"
#include "player/desktop_launcher.h"
#include "player/exit_fade.h"
#include "player/folder_listing.h"
#include "player/lyric_font.h"
#include "player/media_engine.h"
#include "player/outside_paths.h"
#include "player/playlist_additions.h"
#include "player/playlist_file.h"
#include "player/playlist_navigation.h"
#include "player/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

namespace {

// Enabling a timer that already runs changes nothing, as with the designed timers;
// QTimer::start() would restart its interval instead.
void enable(QTimer* timer) {
    if (!timer->isActive())
        timer->start();
}

QTimer* makeTimer(QObject* parent, const char* name, int intervalMs) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(intervalMs);
    return timer;
}

inline constexpr auto DesignedPath = u"E:\\Music\\top\\Zelvorin-玫瑰花的葬礼.mp3";
inline constexpr auto Greeting = u"Quarnet桌面歌词";
inline constexpr auto TiredOfClicking = u"点累了吧？ 先歇一会儿吧！";
inline constexpr float DesktopLyricSize = 50;
inline constexpr qint16 DesktopLyricScheme = 3;
inline constexpr int ClicksBeforeTheJoke = 20;

QString applicationTitle() {
    return QCoreApplication::applicationName();
}

} // namespace

PlayerCore::PlayerCore(PlayerCoreServices services, QObject* parent)
    : QObject(parent), Timer3(makeTimer(this, "Timer3", 10)),
      // The exit fade ticks on the coarse period the design's platform gave every timer,
      // whatever interval was asked for; at a finer one the fade would end before the
      // window could show a step of it.
      Timer4(makeTimer(this, "Timer4", ExitFade::TimerPeriodMs)), services_(std::move(services)),
      openedTrack_(services_.lyricSources),
      status_(services_.engine, lyricLines_, [this](const QString& text) { drawLyric(text); }),
      currentPath_(QString::fromUtf16(DesignedPath)),
      lyricFontFace_(QString::fromUtf16(LyricFont::Calligraphic)),
      fadeLevel_(ExitFade::StartLevel) {
    connect(Timer3, &QTimer::timeout, this, &PlayerCore::timer3Tick);
    connect(Timer4, &QTimer::timeout, this, &PlayerCore::timer4Tick);
    connect(&services_.engine, &MediaEngine::endOfStream, this, &PlayerCore::mediaEnded);
    connect(&openedTrack_, &OpenedTrack::linesFound, this, &PlayerCore::showLyricLines);
    // Removing the selected entry, or clearing, leaves nothing selected.
    connect(&playlist_, &QAbstractItemModel::rowsRemoved, this, [this] { select(-1); });
    connect(&playlist_, &QAbstractItemModel::modelReset, this, [this] { select(-1); });
}

PlayerCore::~PlayerCore() = default;

QString PlayerCore::playlistPath() const {
    return programFilePath(services_.programFolder, QString::fromLatin1(PlaylistFile::FileName));
}

void PlayerCore::load() {
    services_.engine.setVolume(100);
    services_.launcher.unregisterComponent(QStringLiteral("SSubTmr6.dll"));
    services_.launcher.unregisterComponent(QStringLiteral("Diag.dll"));
    const QString face =
        LyricFont::prepare(services_.fonts, services_.launcher, services_.currentDirectory);
    if (face != lyricFontFace_) {
        lyricFontFace_ = face;
        Q_EMIT lyricFontFaceChanged(face);
    }
    playlist_.append(PlaylistFile::load(playlistPath()));
    if (playlist_.count() > 0)
        stepTo(0, true);
    // The first tick shows the engine's state from the start.
    status_.requestTick();
}

void PlayerCore::select(int row) {
    if (row < -1 || row >= playlist_.count())
        row = -1;
    if (row == currentRow_)
        return;
    currentRow_ = row;
    Q_EMIT currentRowChanged(row);
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

bool PlayerCore::canGoPrevious() const {
    return PlaylistNavigation::previous(currentRow_, playlist_.count()).has_value();
}

bool PlayerCore::canGoNext() const {
    return PlaylistNavigation::next(currentRow_, playlist_.count()).has_value();
}

void PlayerCore::previousEntry() {
    if (const auto step = PlaylistNavigation::previous(currentRow_, playlist_.count()))
        stepTo(step->select, step->play);
}

void PlayerCore::nextEntry() {
    if (const auto step = PlaylistNavigation::next(currentRow_, playlist_.count()))
        stepTo(step->select, step->play);
}

void PlayerCore::stepTo(int row, bool play) {
    select(row);
    if (play)
        enable(Timer3);
}

void PlayerCore::replay() {
    openMedia(currentPath_);
}

void PlayerCore::playSelectedEntry() {
    setCurrentPath(playlist_.path(currentRow_));
    openMedia(currentPath_);
}

void PlayerCore::timer3Tick() {
    playSelectedEntry();
    Timer3->stop();
}

void PlayerCore::openMedia(const QString& path) {
    services_.engine.setURL(path);
    loadLyricLines(path);
    Q_EMIT mediaOpened();
}

void PlayerCore::loadLyricLines(const QString& mediaPath) {
    showLyricLines(openedTrack_.open(mediaPath));
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
    const auto advance =
        EndOfMedia::decide(playMode_, services_.engine.playState(), currentRow_, playlist_.count());
    if (!advance)
        return;
    if (advance->replay)
        services_.engine.play();
    if (advance->select >= 0)
        select(advance->select);
    if (advance->showSlogan) {
        drawLyric(QString::fromUtf16(EndOfMedia::Slogan));
        // The current line, if any, goes back over the slogan as it would on the next tick.
        status_.requestTick();
    }
    enable(Timer3);
}

void PlayerCore::drawLyric(const QString& text) {
    services_.desktopLyric.DrawText(text);
}

int PlayerCore::addToPlaylist(const QStringList& paths) {
    return addToPlaylist(planAddition(playlist_.count(), paths));
}

int PlayerCore::addToPlaylist(const PlaylistAddition& addition, const QString& before) {
    PlaylistEntries entries;
    for (const QString& path : addition.accepted)
        entries.append(path);
    const int added = int(entries.size());
    playlist_.append(std::move(entries));
    const QString problem = addition.problem();
    const QString told =
        before.isEmpty() || problem.isEmpty() ? before + problem : before + u'\n' + problem;
    if (!told.isEmpty())
        Q_EMIT message(applicationTitle(), told);
    return added;
}

void PlayerCore::addFile(const QString& path) {
    if (!path.isEmpty())
        addToPlaylist({path});
}

void PlayerCore::addFolder(const QString& folder) {
    QStringList paths;
    for (const QString& name : mp3FileNames(folder))
        paths.append(folder + u'/' + name);
    addToPlaylist(paths);
}

void PlayerCore::removeSelected() {
    playlist_.remove(currentRow_);
    select(-1);
}

void PlayerCore::clearPlaylist() {
    playlist_.clear();
}

QStringList PlayerCore::admitPaths(const QStringList& paths) {
    return admit(paths, false);
}

void PlayerCore::openPaths(const QStringList& paths) {
    admit(paths, true);
}

QStringList PlayerCore::admit(const QStringList& paths, bool tellRefusals) {
    const int firstNew = playlist_.count();
    OutsidePaths::Expansion found =
        OutsidePaths::expand(paths, PlaylistFile::MaxEntries - firstNew);
    PlaylistAddition addition = planAddition(firstNew, found.files);
    addition.overCapacity += found.overCapacity;
    const QString refused = tellRefusals && !found.refusals.isEmpty()
                                ? OutsidePaths::describe(found.refusals)
                                : QString();
    if (addToPlaylist(addition, refused) > 0)
        stepTo(firstNew, true);
    return std::move(found.refusals);
}

void PlayerCore::openDesktopLyric(const QString& fontName) {
    DesktopLyric& lyric = services_.desktopLyric;
    lyric.settings().setFont(fontName, DesktopLyricSize);
    lyric.SetColor(DesktopLyricScheme);
    lyric.showLyricWindow();
    lyric.DrawText(QString::fromUtf16(Greeting));
    // While a line is current the next tick draws it over the greeting.
    status_.requestTick();
}

void PlayerCore::switchDesktopLyric() {
    openDesktopLyric(lyricFontFace_);
    // Every click opens the lyric first, so a click that hides it still rewrites the
    // settings and redraws the greeting.
    if (desktopLyricShown_)
        services_.desktopLyric.hideLyricWindow();
    else
        services_.desktopLyric.showLyricWindow();
    setDesktopLyricShown(!desktopLyricShown_);
}

void PlayerCore::setDesktopLyricShown(bool shown) {
    if (shown == desktopLyricShown_)
        return;
    desktopLyricShown_ = shown;
    Q_EMIT desktopLyricShownChanged(shown);
}

void PlayerCore::backgroundClicked() {
    if (clickCount_ == ClicksBeforeTheJoke) {
        Q_EMIT message(applicationTitle(), QString::fromUtf16(TiredOfClicking));
        setClickCount(0);
    } else {
        setClickCount(clickCount_ + 1);
    }
    services_.engine.play();
}

void PlayerCore::setClickCount(int count) {
    if (count == clickCount_)
        return;
    clickCount_ = count;
    Q_EMIT clickCountChanged(count);
}

void PlayerCore::requestClose() {
    // A failed write keeps the previous file; the fade and the end come all the same.
    if (!PlaylistFile::save(playlistPath(), playlist_.entries()) && !toldSaveFailure_) {
        toldSaveFailure_ = true;
        Q_EMIT message(applicationTitle(),
                       QStringLiteral("播放列表未能保存到 %1，本次对播放列表的更改不会保留。")
                           .arg(QDir::toNativeSeparators(playlistPath())));
    }
    enable(Timer4);
    Q_EMIT closing();
}

void PlayerCore::timer4Tick() {
    MediaEngine& engine = services_.engine;
    if (ExitFade::isDone(engine.volume(), fadeLevel_)) {
        for (QTimer* timer : {status_.Timer1, Timer3, Timer4})
            timer->stop();
        Q_EMIT finishing();
        engine.shutdown();
        services_.endProcess();
        return;
    }
    engine.setVolume(ExitFade::nextVolume(engine.volume()));
    setFadeLevel(ExitFade::nextLevel(fadeLevel_));
}

void PlayerCore::setFadeLevel(int level) {
    if (level == fadeLevel_)
        return;
    fadeLevel_ = level;
    Q_EMIT fadeLevelChanged(level);
}
