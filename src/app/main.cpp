#include "core/player_core.h"
#include "desktop_integration/command_line.h"
#include "desktop_integration/desktop_identity.h"
#include "desktop_integration/file_drops.h"
#include "desktop_integration/global_shortcuts.h"
#include "desktop_integration/mpris_service.h"
#include "desktop_integration/single_instance.h"
#include "desktop_integration/tray_icon.h"
#include "desktop_lyric/lyric_settings.h"
#include "files/data_folder.h"
#include "forms/form1.h"
#include "forms/lyric_windows.h"
#include "lyric_sources/cover_art_cache.h"
#include "lyric_sources/saved_lyrics.h"
#include "platform/desktop/qt_dialogs.h"
#include "platform/desktop/system_desktop_launcher.h"
#include "platform/desktop/system_font_installation.h"
#include "platform/desktop/system_mouse_track_platform.h"
#include "platform/desktop/system_screen_geometry.h"
#include "platform/desktop/system_window_text_channel.h"
#include "platform/desktop/window_opacity.h"
#include "platform/mpv/mpv_engine.h"
#include "platform/presenters/system_window_presenter.h"
#include "platform/process/font_warm_up.h"
#include "platform/process/media_reader_process.h"
#include "platform/process/media_sources_module.h"
#include "platform/process/process_signals.h"
#include "platform/process/program_files.h"
#include "platform/process/start_platform.h"
#include "platform/shortcuts/system_global_shortcuts.h"
#include "settings/program_settings.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
    // --help and --version answer before any window or bus is touched, so they work
    // without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine = CommandLine::parse(arguments, QDir::currentPath());
    const QString programFolder = DataFolder::programFolder();
    ProgramFiles::lookIn(programFolder);
    const QString dataFolder =
        DataFolder::choose(programFolder, qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
    if (const std::optional<int> exitCode = answerWithoutStarting(commandLine, dataFolder))
        return *exitCode;

    // Fonts are read ahead while the window system starts.
    const FontWarmUp fontWarmUp;

    // X11 (Xwayland too) while an X display answers, else Wayland; never an abort for want
    // of a display.
    const StartPlatform start = chooseStartPlatform(
        {qgetenv("QT_QPA_PLATFORM"), x11DisplayAnswers(), waylandDisplayAnswers()});
    if (start.qpaPlatform.isEmpty()) {
        std::fprintf(stderr, "%s\n", start.refusal.toLocal8Bit().constData());
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", start.qpaPlatform);
    if (!start.notice.isEmpty())
        std::fprintf(stderr, "%s\n", start.notice.toLocal8Bit().constData());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellora"));
    QApplication::setDesktopFileName(QString::fromUtf16(DesktopIdentity::ApplicationId));

    // A player that already runs for this user takes the files; this start then ends.
    QDBusConnection bus = QDBusConnection::sessionBus();
    QString refusal;
    switch (SingleInstance::handOver(bus, commandLine.paths, &refusal)) {
    case SingleInstance::HandOver::HandedOver:
        return 0;
    case SingleInstance::HandOver::Refused:
        std::fprintf(stderr, "vellora: %s\n", qUtf8Printable(refusal));
        return 1;
    case SingleInstance::HandOver::NoAnswer:
        std::fputs("vellora: 正在运行的播放器没有应答 the running player did not answer\n", stderr);
        return 1;
    case SingleInstance::HandOver::NoRunningPlayer:
        break;
    }

    // libmpv refuses to start unless numbers are formatted the C way; QApplication has
    // just set the locale from the environment.
    std::setlocale(LC_NUMERIC, "C");
    // The skin lives in the static library, whose resources are not registered by themselves.
    Q_INIT_RESOURCE(skin);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/skin/icon.ico")));
    QDir().mkpath(dataFolder);

    // Made first, as the window talks to it; it loads libmpv once the event loop runs.
    MpvEngine engine;
    SystemDesktopLauncher launcher;
    SystemFontInstallation fonts;
    QtDialogs dialogs;
    const std::unique_ptr<ScreenGeometry> screen = systemScreenGeometry();
    SystemWindowTextChannel textChannel;
    SystemMouseTrackPlatform mouseTrack;
    const ProgramSettings::Files settingsFiles = ProgramSettings::in(dataFolder);
    // One look for the main window and the desktop lyric.
    LyricSettings lyricSettings(settingsFiles.lyricLook);
    LyricWindows lyricWindows(LyricWindowServices{lyricSettings, *screen, dialogs, textChannel,
                                                  mouseTrack, settingsFiles.program,
                                                  systemWindowPresenterOnFirstUse()});
    // Only names and paths here: tags are first read, and the network first touched, once
    // the window is on screen (below); the media reader starts, or the module loads, then.
    const MediaReaderProcess mediaReader;
    LyricSourceServices lyricSources{
        .tagReader = &mediaReader,
        .artFolder = CoverArtCache::defaultFolder(),
        .userLyricsFolder = SavedLyrics::defaultUserFolder(),
        .settingsFile = settingsFiles.program,
        .lrclib = {.baseUrl = LrclibLookup::baseUrlFromEnvironment()},
        .lrclibLookups = MediaSourcesModule::lrclibLookup,
    };
    PlayerCore core(PlayerCoreServices{engine, launcher, fonts, lyricWindows, dataFolder,
                                       QDir::currentPath(), [] { QCoreApplication::exit(0); },
                                       std::move(lyricSources)});
    core.openedTrack().holdBack();
    core.load();
    Form1 form(Form1Services{core, dialogs, launcher, lyricWindows, windowOpacityAvailable()});
    // Queued, so the first picture reaches the screen before the tags are asked for.
    QObject::connect(&form, &Form1::shownOnScreen, &core.openedTrack(), &OpenedTrack::letGo,
                     Qt::QueuedConnection);
    FileDrops drops(form, [&core](const QStringList& paths) { core.playlist().openPaths(paths); });
    if (!commandLine.paths.isEmpty())
        core.playlist().openPaths(commandLine.paths);
    // Without libmpv the program still keeps playlists and shows lyrics, so this is said once
    // and the window stays.
    QObject::connect(&engine, &MpvEngine::unavailable, &form, [&](const QString& reason) {
        dialogs.showError(
            &form, QStringLiteral("Vellora"),
            QString::fromUtf16(u"无法加载播放引擎（libmpv），程序可以使用但不能播放声音。") +
                u'\n' + reason);
    });
    // A polite request to end (kill, logout, Ctrl+C) is answered like closing the window:
    // the playlist is saved, then the program fades out and ends.
    ProcessSignals processSignals;
    QObject::connect(&processSignals, &ProcessSignals::terminationRequested, &core.exit(),
                     &ExitSequence::requestClose);
    form.show();
    const auto raiseWindow = [&form] {
        form.showNormal();
        form.raise();
        form.activateWindow();
    };
    // Media keys and applets find the player once its window is up; without a session bus
    // it runs as it always did.
    MprisService mpris(core, engine, raiseWindow);
    QTimer::singleShot(0, &mpris, [&mpris, &bus] { mpris.registerOn(bus); });
    // The global shortcuts and the tray icon are asked of the desktop once the window is on
    // screen, so that start-up never waits on them.
    std::unique_ptr<GlobalShortcuts> shortcuts;
    std::unique_ptr<TrayIcon> tray;
    QObject::connect(
        &form, &Form1::shownOnScreen, &form,
        [&] {
            LyricWindowPreferences& lyricPreferences = lyricWindows.preferences();
            shortcuts = std::make_unique<GlobalShortcuts>(
                core, lyricPreferences, settingsFiles.program, systemGlobalShortcutWays(bus),
                [](const QString& text) {
                    std::fprintf(stderr, "vellora: %s\n", qUtf8Printable(text));
                });
            shortcuts->start();
            if (ProgramSettings::read(settingsFiles.program, ProgramSettings::TrayIcon)) {
                tray =
                    std::make_unique<TrayIcon>(core, engine, lyricPreferences, form, raiseWindow);
                tray->show();
            }
        },
        Qt::QueuedConnection);
    return QApplication::exec();
}
