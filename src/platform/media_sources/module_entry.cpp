// The media sources module's side of platform/process/media_sources_module.h.
#include "platform/media_sources/lrclib_client.h"
#include "platform/process/media_sources_module.h"

namespace {

std::unique_ptr<LrclibLookup> makeLrclibLookup(const LrclibLookup::Options& options,
                                               LrclibLookup::Answered answered) {
    return std::make_unique<LrclibClient>(options, std::move(answered));
}

} // namespace

extern "C" Q_DECL_EXPORT const MediaSourcesModule::Entry* vellora_media_sources_entry() {
    static const MediaSourcesModule::Entry entry{MediaSourcesModule::Entry::CurrentLayout,
                                                 VELLORA_BUILD_IDENTITY, makeLrclibLookup};
    return &entry;
}
