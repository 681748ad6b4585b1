#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// Every setting the program keeps, the file it lives in, its default, and who reads and
// writes it. Both files are in the data folder's data/system/ and are made on the first
// write; a setting that cannot be written still holds for the run.
//
// desktoplrc.pst: the desktop lyric's look, three lines ending in CR LF, rewritten whole
// once a change is done and never read back (lyric_look_file.h has its bytes). Written by
// LyricSettings; the look starts from the defaults at every start.
//
//     line  holds                 default
//     1     font name             empty until a font is chosen
//     2     font size, pixels     0 until a font is chosen
//     3     colour scheme 1 to 5  1 (none chosen yet is written as 1)
//
// vellora.conf: key=value lines the user may edit too; a write keeps every other line byte
// for byte (key_value_file.h). Read at start, written on every change.
//
//     key                    value             default                 kept by
//     desktop_lyric_screen   an output's name  none: the primary one   LyricWindowPreferences
//     lock_desktop_lyric     yes or no         no                      LyricWindowPreferences
//     search_lyrics_online   yes or no         no                      LyricFinder
namespace ProgramSettings {

// The files' paths, made here and nowhere else.
struct Files {
    QString lyricLook; // desktoplrc.pst
    QString program;   // vellora.conf
};
Files in(const QString& dataFolder);

// A line of vellora.conf that is on only where it says yes (in any case); any other value,
// or no line, is off.
struct Switch {
    QByteArrayView key;
};
// A line of vellora.conf that holds one line of text; without the line, none.
struct Text {
    QByteArrayView key;
};

inline constexpr Text DesktopLyricScreen{"desktop_lyric_screen"};
inline constexpr Switch LockDesktopLyric{"lock_desktop_lyric"};
inline constexpr Switch SearchLyricsOnline{"search_lyrics_online"};

// An empty file reads every setting as its default and writes nothing. A write returns false
// when the file could not be written, or is too large to be the program's (it is then left
// alone); the file is whole either way.
bool read(const QString& file, Switch setting);
bool write(const QString& file, Switch setting, bool on);
std::optional<QString> read(const QString& file, Text setting);
// A text with a line break is refused.
bool write(const QString& file, Text setting, const QString& value);

} // namespace ProgramSettings
