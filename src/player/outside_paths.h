#pragma once

#include "player/folder_listing.h"

#include <QString>
#include <QStringList>

// Paths that reach the playlist from outside the window (the command line, a second start, a
// file manager's drop, the desktop's media controls) name what another program or the user
// typed, not what a file dialog offered. Besides what the add buttons refuse, such a path must
// name an existing regular file or folder, and nothing of the kernel's own file systems.
class QUrl;

namespace OutsidePaths {

inline constexpr auto NotLocalFile = u"不是本地文件";

// Whether a command line argument is a URI ("scheme://…", "file:…") rather than a path.
bool looksLikeUri(const QString& text);

// The file a file:// URI names on this machine: its host empty or "localhost", its path
// absolute; empty for anything else.
QString localFile(const QUrl& url);

// Why the path may not join the playlist, for a message to the user; empty when it may. A
// URI that is no local file is refused as such.
QString refusal(const QString& path);

// One message for all refusals ("path: why" lines), for a message box or a D-Bus error;
// past MaxToldRefusals lines, only how many more there were.
inline constexpr qsizetype MaxToldRefusals = 20;
QString describe(const QStringList& refusals);

// One call from outside is looked at up to this many paths; the rest can never fit.
inline constexpr qsizetype MaxPathsPerCall = 32767;

// One call reads at most this many folder entries in all: a call is answered at once, however
// many folders it names and however full they are.
inline constexpr qsizetype MaxFolderEntriesPerCall = 65536;

// What one call brings: its files, and its folders' MP3 files, in order, as long as there
// is room for them. Once `room` files are found, the rest is counted over capacity without
// being looked at. Each folder is listed once however often the call names it, and the
// folders together only as far as MaxFolderEntriesPerCall allows; list is how.
struct Expansion {
    QStringList files;
    QStringList refusals; // "path: why"
    int overCapacity = 0;
};
using FolderLister = Mp3Listing (*)(const QString& folder, qsizetype mostEntries);
Expansion expand(const QStringList& paths, int room, FolderLister list = listMp3Files);

} // namespace OutsidePaths
