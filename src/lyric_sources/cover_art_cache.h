#pragma once

#include "lyric_sources/cover_image_type.h"

#include <QByteArrayView>
#include <QString>

// Front covers as files a desktop can show by URL (MPRIS mpris:artUrl). Each picture is
// written once, named by a hash of its bytes, so the same cover on every track of an album
// is one file and a file once written never changes under a reader.
namespace CoverArtCache {

// $XDG_CACHE_HOME/vellora/art, or ~/.cache/vellora/art when that variable is unset or not an
// absolute path.
QString folder(const QString& xdgCacheHome, const QString& home);

// The folder above for this process's environment.
QString defaultFolder();

// Pictures larger than this in either direction, or in all, are refused: a desktop would
// unpack them whole to show a thumbnail.
inline constexpr int MaxSide = 10'000;
inline constexpr qint64 MaxPixels = 40'000'000;
// The folder keeps at most this many pictures and bytes; the ones least recently stored or
// found go first.
inline constexpr int MaxFiles = 300;
inline constexpr qint64 MaxBytes = 100 * 1024 * 1024;

// The file:// URL of the picture in the folder, written there (the folder made) unless a
// file of that name is already there. Empty when the bytes are no image of a known type,
// of a size told by its header within the bounds above, or the file cannot be written.
// Touches the disk: call it off the user-interface thread.
QString store(const QString& folder, QByteArrayView image);

} // namespace CoverArtCache
