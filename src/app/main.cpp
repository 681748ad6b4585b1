#include "forms/form1.h"
#include "forms/lyric_windows.h"
#include "platform/mpv_engine.h"
#include "platform/process_signals.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_screen_geometry.h"
#include "platform/system_desktop_launcher.h"
#include "platform/system_font_installation.h"
#include "platform/system_mouse_track_platform.h"
#include "platform/system_window_text_channel.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <clocale>

int main(int argc, char** argv) {
    // The desktop lyric places itself and stays on top, which needs X11; under Wayland the
    // program runs through XWayland unless a platform was chosen explicitly.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellora"));
    // libmpv refuses to start unless numbers are formatted the C way; QApplication has
    // just set the locale from the environment.
    std::setlocale(LC_NUMERIC, "C");
    // The skin lives in the static library, whose resources are not registered by themselves.
    Q_INIT_RESOURCE(skin);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/skin/icon.ico")));

    // Made first, as the window talks to it; it loads libmpv once the event loop runs.
    MpvEngine engine;
    SystemDesktopLauncher launcher;
    SystemFontInstallation fonts;
    QtDialogs dialogs;
    QtScreenGeometry screen;
    SystemWindowTextChannel textChannel;
    SystemMouseTrackPlatform mouseTrack;
    const QString programFolder = QCoreApplication::applicationDirPath();
    LyricWindows lyricWindows(
        LyricWindowServices{screen, dialogs, textChannel, mouseTrack, programFolder});
    Form1 form(Form1Services{engine, launcher, fonts, dialogs, lyricWindows, programFolder,
                             QDir::currentPath(), [] { QCoreApplication::exit(0); }});
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
    QObject::connect(&processSignals, &ProcessSignals::terminationRequested, &form,
                     &QWidget::close);
    form.show();
    return QApplication::exec();
}
