#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <mpv/client.h>
#include <vector>

// libmpv at run time. The program does not link against it: the library and the ~190 it
// brings along (FFmpeg and its codecs among them) are loaded on a thread of the engine's own
// once the window is up, and only the part of the client API the engine uses is looked up.

// Playlist entry ids on start/end events and as loadfile's result are what tells our media's
// events from those of the file it replaced.
inline constexpr unsigned long OldestClientApi = MPV_MAKE_VERSION(1, 108);
static_assert(MPV_CLIENT_API_VERSION >= OldestClientApi, "libmpv too old");

// The part of libmpv's client API the engine uses, looked up in the library once it is loaded.
// The types come from the headers; the program itself does not link against libmpv.
struct MpvApi {
    decltype(&::mpv_client_api_version) mpv_client_api_version;
    decltype(&::mpv_error_string) mpv_error_string;
    decltype(&::mpv_create) mpv_create;
    decltype(&::mpv_set_option_string) mpv_set_option_string;
    decltype(&::mpv_initialize) mpv_initialize;
    decltype(&::mpv_observe_property) mpv_observe_property;
    decltype(&::mpv_unobserve_property) mpv_unobserve_property;
    decltype(&::mpv_set_wakeup_callback) mpv_set_wakeup_callback;
    decltype(&::mpv_wait_event) mpv_wait_event;
    decltype(&::mpv_get_property) mpv_get_property;
    decltype(&::mpv_set_property) mpv_set_property;
    decltype(&::mpv_command) mpv_command;
    decltype(&::mpv_command_ret) mpv_command_ret;
    decltype(&::mpv_free_node_contents) mpv_free_node_contents;
    decltype(&::mpv_terminate_destroy) mpv_terminate_destroy;
};

// The library names to try: the soname that goes with the headers' client API version, then
// the same file where libmpv lay at build time.
std::vector<QByteArray> defaultMpvLibraries();

// Loads the first of `libraries` that the loader finds and looks the API up in it; returns
// why it cannot be used, or nothing. The library is never unloaded.
QString loadMpvLibrary(const std::vector<QByteArray>& libraries, MpvApi& api);

// How long closing mpv is waited for before the program goes on without it.
inline constexpr std::chrono::milliseconds MpvTeardownDeadline{500};

// Closes mpv, waiting at most MpvTeardownDeadline (see the definition for why it may take
// longer and what then happens).
void terminateMpvWithin(decltype(&::mpv_terminate_destroy) terminate, mpv_handle* handle);
