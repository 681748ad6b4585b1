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
// from one tree by one compiler, so C++ types cross between them: a module of any other
// build is turned away, by the layout number of this table and by the build's identity
// (made when the build folder is configured, the same for the program and its module).
struct Entry {
    static constexpr int CurrentLayout = 2;
    int layout = CurrentLayout;
    const char* build = nullptr;
    std::unique_ptr<MediaTagReader> (*makeTagReader)() = nullptr;
    std::unique_ptr<LrclibLookup> (*makeLrclibLookup)(const LrclibLookup::Options& options,
                                                      LrclibLookup::Answered answered) = nullptr;
};
// The one symbol the module exports: a function without arguments returning the entry.
inline constexpr const char* EntrySymbol = "vellora_media_sources_entry";

// This program's build identity, which its module must carry.
const char* buildIdentity();
// Whether an entry comes from this program's own build.
bool isOwnBuild(const Entry& entry);

// Where the module is looked for, in order: beside the program (as in the build tree), then
// in the program's library folder of the installation. Nothing for a folder that is not
// absolute: once the program file has been replaced (a package upgrade while it runs), its
// folder reads as empty, and the working directory, which anyone may have chosen, is no
// place to load code from.
QStringList candidatePaths(const QString& programFolder);

// The program's folder, taken once at start, while the program file is surely there; the
// module is looked for only there.
void lookIn(const QString& programFolder);

// A reader that loads the module on its first read, which the tag loader asks for on its
// worker thread. Without the module, every file reads as one without tags.
const MediaTagReader& tagReader();
// LRCLIB's client from the module; null without the module.
std::unique_ptr<LrclibLookup> lrclibLookup(const LrclibLookup::Options& options,
                                           LrclibLookup::Answered answered);

} // namespace MediaSourcesModule
