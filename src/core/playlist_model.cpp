#include "core/playlist_model.h"

int PlaylistModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count() || role != Qt::DisplayRole)
        return {};
    return entries_.at(index.row()).path;
}

QString PlaylistModel::path(int row) const {
    return row >= 0 && row < count() ? entries_.at(row).path : QString();
}

void PlaylistModel::append(const QList<PlaylistFile::Entry>& entries) {
    const int room = PlaylistFile::MaxEntries - count();
    const int added = std::min(room, int(entries.size()));
    if (added <= 0)
        return;
    beginInsertRows(QModelIndex(), count(), count() + added - 1);
    entries_.append(entries.mid(0, added));
    endInsertRows();
}

void PlaylistModel::remove(int row) {
    if (row < 0 || row >= count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    entries_.removeAt(row);
    endRemoveRows();
}

void PlaylistModel::clear() {
    if (entries_.isEmpty())
        return;
    beginResetModel();
    entries_.clear();
    endResetModel();
}
