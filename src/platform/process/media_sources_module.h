#pragma once

#include "lyric_sources/lrclib_lookup.h"

#include <memory>

// Asking LRCLIB (QtNetwork) is built as a module of its own and loaded the first time it is
// needed. Linked into the program, those libraries and the ones they bring along would be
// loaded and relocated on every start, before the first window.
namespace MediaSourcesModule {

// What the module hands over: a maker of its service. Program and module are built from one
// tree by one compiler, so C++ types cross between them: a module of any other build is
// turned away, by the layout number of this table and by the build's identity (made when the
// build folder is configured, the same for the program and its module).
struct Entry {
    static constexpr int CurrentLayout = 3;
    int layout = CurrentLayout;
    const char* build = nullptr;
    std::unique_ptr<LrclibLookup> (*makeLrclibLookup)(const LrclibLookup::Options& options,
                                                      LrclibLookup::Answered answered) = nullptr;
};
// The one symbol the module exports: a function without arguments returning the entry.
inline constexpr const char* EntrySymbol = "vellora_media_sources_entry";

// This program's build identity, which its module must carry.
const char* buildIdentity();
// Whether an entry comes from this program's own build.
bool isOwnBuild(const Entry& entry);

// LRCLIB's client from the module, which is looked for as platform/process/program_files.h
// says, and loaded from the descriptor that was checked; null without the module.
std::unique_ptr<LrclibLookup> lrclibLookup(const LrclibLookup::Options& options,
                                           LrclibLookup::Answered answered);

} // namespace MediaSourcesModule
