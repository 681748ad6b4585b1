#pragma once

#include "player/playlist_entries.h"

#include <QAbstractListModel>

// The playlist: media paths in the order they were added, each shown as it is. An entry read
// from data.dat keeps the bytes it was stored as (see PlaylistEntries). Holds at most
// PlaylistFile::MaxEntries entries; every row has the same height, so a view of 32,767 of
// them lays out nothing per row.
class PlaylistModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    int count() const { return int(entries_.size()); }
    const PlaylistEntries& entries() const { return entries_; }
    // The path of the entry at row, empty for a row that is not there.
    QString path(int row) const;

    // Appends what fits; the caller has already checked the entries.
    void append(PlaylistEntries entries);
    void remove(int row);
    void clear();

private:
    PlaylistEntries entries_;
};
