#pragma once

#include <QString>
#include <QStringList>

// Paths that reach the playlist from outside the window (the command line, a second start, a
// file manager's drop, the desktop's media controls) name what another program or the user
// typed, not what a file dialog offered. Besides what the add buttons refuse, such a path must
// name an existing regular file or folder, and nothing of the kernel's own file systems.
namespace OutsidePaths {

// Why the path may not join the playlist, for a message to the user; empty when it may.
QString refusal(const QString& path);

// One message for all refusals ("path: why" lines), for a message box or a D-Bus error.
QString describe(const QStringList& refusals);

} // namespace OutsidePaths
