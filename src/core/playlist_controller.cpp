#include "core/playlist_controller.h"

#include "player/folder_listing.h"
#include "player/outside_paths.h"
#include "player/playlist_additions.h"
#include "player/playlist_file.h"
#include "player/playlist_navigation.h"
#include "player/program_files.h"

#include <QCoreApplication>

PlaylistController::PlaylistController(QString programFolder, QObject* parent)
    : QObject(parent), programFolder_(std::move(programFolder)) {
    // Removing the selected entry, or clearing, leaves nothing selected.
    connect(&model_, &QAbstractItemModel::rowsRemoved, this, [this] { select(-1); });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] { select(-1); });
}

QString PlaylistController::filePath() const {
    return programFilePath(programFolder_, QString::fromLatin1(PlaylistFile::FileName));
}

void PlaylistController::load() {
    model_.append(PlaylistFile::load(filePath()));
    if (model_.count() > 0)
        stepTo(0, true);
}

bool PlaylistController::save() const {
    return PlaylistFile::save(filePath(), model_.entries());
}

void PlaylistController::select(int row) {
    if (row < -1 || row >= model_.count())
        row = -1;
    if (row == currentRow_)
        return;
    currentRow_ = row;
    Q_EMIT currentRowChanged(row);
}

bool PlaylistController::canGoPrevious() const {
    return PlaylistNavigation::previous(currentRow_, model_.count()).has_value();
}

bool PlaylistController::canGoNext() const {
    return PlaylistNavigation::next(currentRow_, model_.count()).has_value();
}

void PlaylistController::previousEntry() {
    if (const auto step = PlaylistNavigation::previous(currentRow_, model_.count()))
        stepTo(step->select, step->play);
}

void PlaylistController::nextEntry() {
    if (const auto step = PlaylistNavigation::next(currentRow_, model_.count()))
        stepTo(step->select, step->play);
}

void PlaylistController::stepTo(int row, bool play) {
    select(row);
    if (play)
        Q_EMIT playWanted();
}

int PlaylistController::addToPlaylist(const QStringList& paths) {
    return addToPlaylist(planAddition(model_.count(), paths));
}

int PlaylistController::addToPlaylist(const PlaylistAddition& addition, const QString& before) {
    PlaylistEntries entries;
    for (const QString& path : addition.accepted)
        entries.append(path);
    const int added = int(entries.size());
    model_.append(std::move(entries));
    const QString problem = addition.problem();
    const QString told =
        before.isEmpty() || problem.isEmpty() ? before + problem : before + u'\n' + problem;
    if (!told.isEmpty())
        Q_EMIT message(QCoreApplication::applicationName(), told);
    return added;
}

void PlaylistController::addFile(const QString& path) {
    if (!path.isEmpty())
        addToPlaylist({path});
}

void PlaylistController::addFolder(const QString& folder) {
    QStringList paths;
    for (const QString& name : mp3FileNames(folder))
        paths.append(folder + u'/' + name);
    addToPlaylist(paths);
}

void PlaylistController::removeSelected() {
    model_.remove(currentRow_);
    select(-1);
}

void PlaylistController::clear() {
    model_.clear();
}

QStringList PlaylistController::admitPaths(const QStringList& paths) {
    return admit(paths, false);
}

void PlaylistController::openPaths(const QStringList& paths) {
    admit(paths, true);
}

QStringList PlaylistController::admit(const QStringList& paths, bool tellRefusals) {
    const int firstNew = model_.count();
    OutsidePaths::Expansion found =
        OutsidePaths::expand(paths, PlaylistFile::MaxEntries - firstNew);
    PlaylistAddition addition = planAddition(firstNew, found.files);
    addition.overCapacity += found.overCapacity;
    const QString refused = tellRefusals && !found.refusals.isEmpty()
                                ? OutsidePaths::describe(found.refusals)
                                : QString();
    if (addToPlaylist(addition, refused) > 0)
        stepTo(firstNew, true);
    return std::move(found.refusals);
}
