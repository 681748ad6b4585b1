#include "platform/process/media_sources_module.h"

#include "platform/process/program_files.h"

#include <QString>
#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <unistd.h>

namespace MediaSourcesModule {
namespace {

// The module's entry, or null once loading it has failed; loaded at most once, from
// whichever thread asks first.
const Entry* entry() {
    static const Entry* loaded = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        const ProgramFiles::Opened module =
            ProgramFiles::find(QStringLiteral(VELLORA_MEDIA_SOURCES_FILE));
        QString refusal = module.refusal;
        if (module.fd >= 0) {
            // What loads is what was checked, by its descriptor; no other name is tried.
            void* library = ::dlopen(ProgramFiles::descriptorPath(module.fd).constData(),
                                     RTLD_NOW | RTLD_LOCAL);
            ::close(module.fd);
            using EntryFunction = const Entry* (*)();
            const auto function =
                library ? reinterpret_cast<EntryFunction>(::dlsym(library, EntrySymbol)) : nullptr;
            const Entry* found = function ? function() : nullptr;
            if (found != nullptr && isOwnBuild(*found)) {
                // Stays loaded for the rest of the run: the services it makes live on.
                loaded = found;
                return;
            }
            refusal =
                library && function
                    ? QStringLiteral("the module was built for another version of the program")
                    : QString::fromLocal8Bit(::dlerror());
            if (library)
                ::dlclose(library);
        }
        qWarning("LRCLIB is not asked: %s", qUtf8Printable(refusal));
    });
    return loaded;
}

} // namespace

const char* buildIdentity() {
    return VELLORA_BUILD_IDENTITY;
}

bool isOwnBuild(const Entry& entry) {
    return entry.layout == Entry::CurrentLayout && entry.build != nullptr &&
           std::strcmp(entry.build, buildIdentity()) == 0;
}

std::unique_ptr<LrclibLookup> lrclibLookup(const LrclibLookup::Options& options,
                                           LrclibLookup::Answered answered) {
    const Entry* module = entry();
    return module ? module->makeLrclibLookup(options, std::move(answered)) : nullptr;
}

} // namespace MediaSourcesModule
