#pragma once

#include <QByteArrayView>
#include <QString>

// Front covers as files a desktop can show by URL (MPRIS mpris:artUrl). Each picture is
// written once, named by a hash of its bytes, so the same cover on every track of an album
// is one file and a file once written never changes under a reader.
namespace CoverArtCache {

// The MIME type of an image from its first bytes: JPEG, PNG, GIF, BMP or WebP; empty for
// anything else.
QString imageMimeType(QByteArrayView bytes);

// $XDG_CACHE_HOME/vellora/art, or ~/.cache/vellora/art when that variable is unset or not an
// absolute path.
QString folder(const QString& xdgCacheHome, const QString& home);

// The folder above for this process's environment.
QString defaultFolder();

// The file:// URL of the picture in the folder, written there (the folder made) unless a
// file of that name is already there. Empty when the bytes are no image of a known type or
// the file cannot be written. Touches the disk: call it off the user-interface thread.
QString store(const QString& folder, QByteArrayView image);

} // namespace CoverArtCache
