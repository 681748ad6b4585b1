#pragma once

#include "support/private_bus.h"
#include "support/temp_folder.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <memory>
#include <vector>

namespace testsupport {

// A KDE Wayland session of the test's own, as far as global shortcuts go: KWin (virtual
// backend, one 1920×1080 output, Xwayland) with its shortcut service, on a bare session bus
// of its own, and the desktop portal with KDE's backend started
// on it by hand, as the session's start-up would, with XDG_CURRENT_DESKTOP=KDE (a portal the
// bus started would not have it). KWin reads the user's bindings from home's
// .config/kglobalshortcutsrc as it starts; its fake input, for tests/wayland_pointer, is open
// to every client. Everything ends with the object.
class KdePortalSession {
public:
    static constexpr int ScreenWidth = 1920;
    static constexpr int ScreenHeight = 1080;

    explicit KdePortalSession(const QString& home);
    ~KdePortalSession();
    KdePortalSession(const KdePortalSession&) = delete;
    KdePortalSession& operator=(const KdePortalSession&) = delete;

    // Why there is no session: a program this system lacks, or one that did not start.
    QString problem() const { return problem_; }
    bool lacksPrograms() const { return lacksPrograms_; }
    QString busAddress() const { return bus_.address(); }
    // For programs in the session: its Wayland and X11 displays, runtime folder, home and bus.
    QProcessEnvironment environment() const;

private:
    QProcess* start(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment, const QString& log);
    // Waits for a name on the bus, or for the program that should take it to end.
    bool waitForName(const QString& name, QProcess* owner);
    QString logOf(const QString& log) const;

    TempFolder runtime_;
    PrivateBus bus_;
    QString home_;
    QString x11Display_;
    QString problem_;
    bool lacksPrograms_ = false;
    // In the order they started; ended the other way round.
    std::vector<std::unique_ptr<QProcess>> processes_;
};

} // namespace testsupport
