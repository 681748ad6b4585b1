#include "support/kde_portal_session.h"

#include "support/desktop_session.h"
#include "support/event_wait.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace testsupport {

namespace {

// Where distributions install the portal's programs: libexec, or its multiarch folder.
QString installed(const QString& name) {
    QStringList places{"/usr/libexec/" + name, "/usr/lib/" + name};
    for (const QString& arch : QDir("/usr/lib").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        places << "/usr/lib/" + arch + "/libexec/" + name;
    for (const QString& place : places)
        if (QFileInfo(place).isExecutable())
            return place;
    return {};
}

} // namespace

KdePortalSession::KdePortalSession(const QString& home) : home_(home) {
    const QString kwin = QStandardPaths::findExecutable("kwin_wayland");
    const QString backend = installed("xdg-desktop-portal-kde");
    const QString portal = installed("xdg-desktop-portal");
    for (const auto& [program, name] :
         {std::pair(kwin, "kwin_wayland"), std::pair(backend, "xdg-desktop-portal-kde"),
          std::pair(portal, "xdg-desktop-portal")})
        if (program.isEmpty()) {
            problem_ = QString("%1 is not installed").arg(name);
            lacksPrograms_ = true;
            return;
        }
    const QString runtime = runtime_.path();
    QProcessEnvironment session;
    session.insert("HOME", home);
    session.insert("PATH", qEnvironmentVariable("PATH"));
    session.insert("XDG_RUNTIME_DIR", runtime);
    session.insert("DBUS_SESSION_BUS_ADDRESS", busAddress());
    session.insert("XDG_CURRENT_DESKTOP", "KDE");
    if (!bus_.problem().isEmpty()) {
        problem_ = bus_.problem();
        return;
    }

    // The packaged binary carries a file capability that a container may refuse to run; a
    // copy has none. Once Xwayland runs, KWin starts the report, which says its display.
    QFile::copy(kwin, runtime + "/kwin_wayland");
    runtime_.write("report", "#!/bin/sh\necho \"$DISPLAY\" >\"$XDG_RUNTIME_DIR/display.tmp\"\n"
                             "mv \"$XDG_RUNTIME_DIR/display.tmp\" \"$XDG_RUNTIME_DIR/display\"\n");
    QFile(runtime + "/report").setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    QProcessEnvironment forKWin = session;
    forKWin.insert("KWIN_WAYLAND_NO_PERMISSION_CHECKS", "1");
    QProcess* compositor =
        start(runtime + "/kwin_wayland",
              {"--virtual", "--xwayland", "--width", QString::number(ScreenWidth), "--height",
               QString::number(ScreenHeight), "--socket", "wayland-kwin", "--no-lockscreen",
               "--no-kactivities", runtime + "/report"},
              forKWin, "kwin");
    if (!waitForName("org.kde.kglobalaccel", compositor) ||
        !waitUntil([&] { return QFile::exists(runtime + "/display"); }, 60000)) {
        problem_ = "KWin did not start with its shortcuts and Xwayland: " + logOf("kwin");
        return;
    }
    x11Display_ = QString::fromUtf8(runtime_.read("display")).trimmed();

    QProcessEnvironment forPortal = session;
    forPortal.insert("WAYLAND_DISPLAY", "wayland-kwin");
    forPortal.insert("QT_QPA_PLATFORM", "wayland");
    if (!waitForName("org.freedesktop.impl.portal.desktop.kde",
                     start(backend, {}, forPortal, "backend"))) {
        problem_ = "KDE's portal backend did not start: " + logOf("backend");
        return;
    }
    if (!waitForName("org.freedesktop.portal.Desktop", start(portal, {}, forPortal, "portal")))
        problem_ = "the desktop portal did not start: " + logOf("portal");
}

KdePortalSession::~KdePortalSession() {
    for (auto process = processes_.rbegin(); process != processes_.rend(); ++process) {
        (*process)->terminate();
        if (!(*process)->waitForFinished(10000))
            end(process->get());
    }
}

QProcessEnvironment KdePortalSession::environment() const {
    QProcessEnvironment session =
        compositorSession(runtime_.path() + "/wayland-kwin", x11Display_, runtime_.path(), home_);
    session.insert("DBUS_SESSION_BUS_ADDRESS", busAddress());
    session.insert("XDG_CURRENT_DESKTOP", "KDE");
    return session;
}

QProcess* KdePortalSession::start(const QString& program, const QStringList& arguments,
                                  const QProcessEnvironment& environment, const QString& log) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(runtime_.path());
    process->setStandardOutputFile(runtime_.file(log + ".log"));
    process->setStandardErrorFile(runtime_.file(log + ".log"), QIODevice::Append);
    process->start(program, arguments);
    process->waitForStarted();
    processes_.push_back(std::move(process));
    return processes_.back().get();
}

bool KdePortalSession::waitForName(const QString& name, QProcess* owner) {
    QDBusConnection bus = bus_.connect("kde-portal-session");
    return waitUntil(
               [&] {
                   return bus.interface()->isServiceRegistered(name) ||
                          owner->state() == QProcess::NotRunning;
               },
               60000) &&
           owner->state() != QProcess::NotRunning;
}

QString KdePortalSession::logOf(const QString& log) const {
    return QString::fromLocal8Bit(runtime_.read(log + ".log").right(4000));
}

} // namespace testsupport
