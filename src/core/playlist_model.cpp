#include "core/playlist_model.h"

#include "player/playlist_file.h"

int PlaylistModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count() || role != Qt::DisplayRole)
        return {};
    return entries_.path(index.row());
}

QString PlaylistModel::path(int row) const {
    return row >= 0 && row < count() ? entries_.path(row) : QString();
}

void PlaylistModel::append(PlaylistEntries entries) {
    const int room = PlaylistFile::MaxEntries - count();
    const int added = std::min(room, int(entries.size()));
    if (added <= 0)
        return;
    entries.truncate(added);
    beginInsertRows(QModelIndex(), count(), count() + added - 1);
    entries_.append(entries);
    endInsertRows();
}

void PlaylistModel::remove(int row) {
    if (row < 0 || row >= count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    entries_.remove(row);
    endRemoveRows();
}

void PlaylistModel::clear() {
    if (entries_.isEmpty())
        return;
    beginResetModel();
    entries_.clear();
    endResetModel();
}
