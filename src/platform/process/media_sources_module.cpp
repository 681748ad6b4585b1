#include "platform/process/media_sources_module.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace MediaSourcesModule {
namespace {

std::mutex folderLock;
QString& programFolder() {
    static QString folder;
    return folder;
}

// A module file that only its owner may change, and whose owner is the superuser or the
// user running the program: any other could put code in it that loading would run.
QString refusalOf(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return path + QStringLiteral(": not there");
    if (!S_ISREG(status.st_mode) || (status.st_mode & (S_IWGRP | S_IWOTH)) != 0 ||
        (status.st_uid != 0 && status.st_uid != ::getuid()))
        return path + QStringLiteral(": not a file only its owner may change");
    return {};
}

// The module's entry, or null once loading it has failed; loaded at most once, from
// whichever thread asks first.
const Entry* entry() {
    static const Entry* loaded = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        QStringList tried;
        const QStringList paths = [] {
            const std::lock_guard hold(folderLock);
            return candidatePaths(programFolder());
        }();
        if (paths.isEmpty())
            tried.append(QStringLiteral("the program's folder is unknown"));
        for (const QString& path : paths) {
            if (const QString refusal = refusalOf(path); !refusal.isEmpty()) {
                tried.append(refusal);
                continue;
            }
            QLibrary library(path);
            using EntryFunction = const Entry* (*)();
            auto function = reinterpret_cast<EntryFunction>(library.resolve(EntrySymbol));
            if (function == nullptr) {
                tried.append(library.errorString());
                continue;
            }
            const Entry* found = function();
            if (found != nullptr && isOwnBuild(*found)) {
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

const char* buildIdentity() {
    return VELLORA_BUILD_IDENTITY;
}

bool isOwnBuild(const Entry& entry) {
    return entry.layout == Entry::CurrentLayout && entry.build != nullptr &&
           std::strcmp(entry.build, buildIdentity()) == 0;
}

QStringList candidatePaths(const QString& programFolder) {
    if (programFolder.isEmpty() || !QDir::isAbsolutePath(programFolder))
        return {};
    const QString file = QStringLiteral(VELLORA_MEDIA_SOURCES_FILE);
    return {QDir(programFolder).filePath(file),
            QDir::cleanPath(
                QDir(programFolder)
                    .filePath(QStringLiteral(VELLORA_MODULE_FOLDER_FROM_PROGRAM "/") + file))};
}

void lookIn(const QString& folder) {
    const std::lock_guard hold(folderLock);
    if (programFolder().isEmpty())
        programFolder() = folder;
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
