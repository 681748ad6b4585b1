#pragma once

#include <QString>
#include <QStringList>

// How the desktop knows the player: the names of its desktop entry, its icon and its bus
// object. The installed data files under dist/ carry the same names.
namespace DesktopIdentity {

inline constexpr auto ApplicationId = u"io.github.vellora.Vellora";
inline constexpr auto Identity = u"Vellora";

inline constexpr auto BusName = u"org.mpris.MediaPlayer2.vellora";
inline constexpr auto ObjectPath = u"/org/mpris/MediaPlayer2";
inline constexpr auto RootInterface = u"org.mpris.MediaPlayer2";
inline constexpr auto PlayerInterface = u"org.mpris.MediaPlayer2.Player";
// The player's own interface on the same object, for a second start's files.
inline constexpr auto FilesInterface = u"io.github.vellora.Vellora.Files";

// The audio types the desktop entry offers the player for, all of which libmpv plays.
QStringList audioMimeTypes();

} // namespace DesktopIdentity
