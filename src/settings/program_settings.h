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
//     tray_icon              yes or no         yes                     TrayIcon
//     shortcut_desktop_lyric       a key: Ctrl+Alt+W     GlobalShortcuts
//     shortcut_lock_desktop_lyric  a key: Ctrl+Alt+K     (the triggers each global shortcut
//     shortcut_play_pause          a key: Ctrl+Alt+P      prefers; written with the default
//     shortcut_next                a key: Ctrl+Alt+N      where missing, an empty line turns
//     shortcut_previous            a key: Ctrl+Alt+B      the shortcut off)
namespace ProgramSettings {

// The files' paths, made here and nowhere else.
struct Files {
    QString lyricLook; // desktoplrc.pst
    QString program;   // vellora.conf
};
Files in(const QString& dataFolder);

// A line of vellora.conf that is on where it says yes and off where it says no (in any case);
// any other value, or no line, is its default.
struct Switch {
    QByteArrayView key;
    bool onByDefault = false;
};
// A line of vellora.conf that holds one line of text; without the line, none.
struct Text {
    QByteArrayView key;
};

inline constexpr Text DesktopLyricScreen{"desktop_lyric_screen"};
inline constexpr Switch LockDesktopLyric{"lock_desktop_lyric"};
inline constexpr Switch SearchLyricsOnline{"search_lyrics_online"};
inline constexpr Switch TrayIcon{"tray_icon", true};
inline constexpr Text DesktopLyricShortcut{"shortcut_desktop_lyric"};
inline constexpr Text LockDesktopLyricShortcut{"shortcut_lock_desktop_lyric"};
inline constexpr Text PlayPauseShortcut{"shortcut_play_pause"};
inline constexpr Text NextShortcut{"shortcut_next"};
inline constexpr Text PreviousShortcut{"shortcut_previous"};

// An empty file reads every setting as its default and writes nothing. A write returns false
// when the file could not be written, or is too large to be the program's (it is then left
// alone); the file is whole either way.
bool read(const QString& file, Switch setting);
bool write(const QString& file, Switch setting, bool on);
std::optional<QString> read(const QString& file, Text setting);
// A text with a line break is refused.
bool write(const QString& file, Text setting, const QString& value);

} // namespace ProgramSettings
