#pragma once

#include "lyric_sources/lrclib_lookup.h"
#include "lyric_sources/media_tags.h"

#include <QString>
#include <QStringList>
#include <memory>

// Reading tags (TagLib) and asking LRCLIB (QtNetwork) are built as a module of their own and
// loaded the first time either is needed. Linked into the program, those libraries and the
// ones they bring along would be loaded and relocated on every start, before the first window.
namespace MediaSourcesModule {

// What the module hands over: makers of its two services. Program and module are built
// from one tree by one compiler, so C++ types cross between them; the layout number turns
// away a module of another build whose table differs.
struct Entry {
    static constexpr int CurrentLayout = 1;
    int layout = CurrentLayout;
    std::unique_ptr<MediaTagReader> (*makeTagReader)() = nullptr;
    std::unique_ptr<LrclibLookup> (*makeLrclibLookup)(const LrclibLookup::Options& options,
                                                      LrclibLookup::Answered answered) = nullptr;
};
// The one symbol the module exports: a function without arguments returning the entry.
inline constexpr const char* EntrySymbol = "vellora_media_sources_entry";

// Where the module is looked for, in order: beside the program (as in the build tree), then
// in the program's library folder of the installation.
QStringList candidatePaths(const QString& programFolder);

// A reader that loads the module on its first read, which the tag loader asks for on its
// worker thread. Without the module, every file reads as one without tags.
const MediaTagReader& tagReader();
// LRCLIB's client from the module; null without the module.
std::unique_ptr<LrclibLookup> lrclibLookup(const LrclibLookup::Options& options,
                                           LrclibLookup::Answered answered);

} // namespace MediaSourcesModule
