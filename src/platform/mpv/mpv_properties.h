#pragma once

// Every name the engine hands to libmpv. A misspelt name only shows up as a runtime error
// code, so keeping them together makes them easy to check against mpv's manual in one pass.
namespace mpvname {

// Options set before mpv_initialize.
namespace option {
inline constexpr const char* Config = "config";
inline constexpr const char* Terminal = "terminal";
inline constexpr const char* InputDefaultBindings = "input-default-bindings";
inline constexpr const char* InputVoKeyboard = "input-vo-keyboard";
inline constexpr const char* LoadScripts = "load-scripts";
inline constexpr const char* Ytdl = "ytdl";
inline constexpr const char* Osc = "osc";
inline constexpr const char* ResumePlayback = "resume-playback";
inline constexpr const char* Idle = "idle";
inline constexpr const char* Video = "vid";
inline constexpr const char* AudioDisplay = "audio-display";
inline constexpr const char* SubtitleAuto = "sub-auto";
inline constexpr const char* AudioFileAuto = "audio-file-auto";
inline constexpr const char* CoverArtAuto = "cover-art-auto";
inline constexpr const char* AudioOutput = "ao";
inline constexpr const char* AudioFallbackToNull = "audio-fallback-to-null";
inline constexpr const char* AudioClientName = "audio-client-name";
inline constexpr const char* GaplessAudio = "gapless-audio";
inline constexpr const char* KeepOpen = "keep-open";
inline constexpr const char* VolumeMax = "volume-max";
} // namespace option

// Properties written at run time or observed.
namespace property {
inline constexpr const char* Pause = "pause";
inline constexpr const char* Volume = "volume";
inline constexpr const char* TimePos = "time-pos";
inline constexpr const char* Duration = "duration";
inline constexpr const char* EofReached = "eof-reached";
inline constexpr const char* PausedForCache = "paused-for-cache";
inline constexpr const char* IdleActive = "idle-active";
inline constexpr const char* Speed = "speed";
} // namespace property

namespace command {
inline constexpr const char* LoadFile = "loadfile";
inline constexpr const char* Seek = "seek";
inline constexpr const char* Stop = "stop";
} // namespace command

// Arguments and keys that go with the commands above.
inline constexpr const char* SeekAbsoluteExact = "absolute+exact";
inline constexpr const char* PlaylistEntryId = "playlist_entry_id";

} // namespace mpvname
