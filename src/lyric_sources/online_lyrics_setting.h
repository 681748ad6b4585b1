#pragma once

#include <QString>

// Whether the program may search the network for lyrics by itself, off until the user says
// so. Kept as one line of the program's own settings file in its data folder, so it can be
// set without the menu:
//
//     search_lyrics_online=yes
//
// Any other value, or no such line, means off. Other lines of the file are kept as they are
// when the setting is written.
namespace OnlineLyricsSetting {

// <data folder>/data/system/vellora.conf
QString fileIn(const QString& dataFolder);

bool read(const QString& settingsFile);

// False when the file could not be written (or is too large to be a settings file of the
// program's, which is then left alone); it is whole either way.
bool write(const QString& settingsFile, bool on);

} // namespace OnlineLyricsSetting
