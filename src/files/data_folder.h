#pragma once

#include <QString>

// Where the player keeps the files it writes (data.dat, data/system/desktoplrc.pst). A
// build folder or a portable copy keeps them beside the executable, as it always did; an
// installed player cannot write there and keeps them in the user's data folder instead.
// Chosen once at start-up.
namespace DataFolder {

// Whether the program's files may be written into this folder. Decided by the folder's
// permission bits for the user that runs the player, with no exception for root (whose
// writes the bits do not stop, so access(2) would say yes to every folder): a folder made
// read-only with chmod counts as read-only for root too. A folder on a read-only mount,
// and anything under /usr, which belongs to the package manager even when root runs the
// player, is never writable.
bool isWritable(const QString& folder);

// The player's folder under a base folder of the XDG layout: the variable's value when it is
// an absolute path (the XDG rules say to ignore relative ones), else the default below home;
// e.g. ("", "/home/u", ".cache", "vellora/art") gives /home/u/.cache/vellora/art.
QString underXdgBase(const QString& variableValue, const QString& home,
                     const QString& defaultBelowHome, const QString& subfolder);

// $XDG_DATA_HOME/vellora, or ~/.local/share/vellora when that variable is unset or not an
// absolute path.
QString userFolder(const QString& xdgDataHome, const QString& home);

// The program folder when it is writable, else the user's folder.
QString choose(const QString& programFolder, const QString& xdgDataHome, const QString& home);

} // namespace DataFolder

namespace DataFolder {

// The folder of the running executable, known before the application object exists.
QString programFolder();

} // namespace DataFolder
