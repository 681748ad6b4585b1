#include "platform/media_sources_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <mutex>

namespace MediaSourcesModule {
namespace {

// The module's entry, or null once loading it has failed; loaded at most once, from
// whichever thread asks first.
const Entry* entry() {
    static const Entry* loaded = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        QStringList tried;
        for (const QString& path : candidatePaths(QCoreApplication::applicationDirPath())) {
            QLibrary library(path);
            using EntryFunction = const Entry* (*)();
            auto function = reinterpret_cast<EntryFunction>(library.resolve(EntrySymbol));
            if (function == nullptr) {
                tried.append(library.errorString());
                continue;
            }
            const Entry* found = function();
            if (found != nullptr && found->layout == Entry::CurrentLayout) {
                // Stays loaded for the rest of the run: the services it makes live on.
                loaded = found;
                return;
            }
            tried.append(path + QStringLiteral(": built for another version of the program"));
            library.unload();
        }
        qWarning("no tags are read and LRCLIB is not asked: %s",
                 qUtf8Printable(tried.join(QStringLiteral("; "))));
    });
    return loaded;
}

class LoadingTagReader : public MediaTagReader {
public:
    MediaTags read(const QString& path) const override {
        std::call_once(made_, [this] {
            if (const Entry* module = entry())
                reader_ = module->makeTagReader();
        });
        return reader_ ? reader_->read(path) : MediaTags{};
    }

private:
    mutable std::once_flag made_;
    mutable std::unique_ptr<MediaTagReader> reader_;
};

} // namespace

QStringList candidatePaths(const QString& programFolder) {
    const QString file = QStringLiteral(VELLORA_MEDIA_SOURCES_FILE);
    return {QDir(programFolder).filePath(file),
            QDir::cleanPath(
                QDir(programFolder)
                    .filePath(QStringLiteral(VELLORA_MODULE_FOLDER_FROM_PROGRAM "/") + file))};
}

const MediaTagReader& tagReader() {
    static const LoadingTagReader reader;
    return reader;
}

std::unique_ptr<LrclibLookup> lrclibLookup(const LrclibLookup::Options& options,
                                           LrclibLookup::Answered answered) {
    const Entry* module = entry();
    return module ? module->makeLrclibLookup(options, std::move(answered)) : nullptr;
}

} // namespace MediaSourcesModule
