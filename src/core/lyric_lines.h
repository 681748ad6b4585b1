#pragma once

#include "lyrics/lyric_line_index.h"

#include <QAbstractListModel>

// The lyric line store of the track last opened: its raw lines in file order, indexed once
// when they are loaded, and the row of the line the playback tick last found current.
class LyricLines : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int currentRow READ currentRow NOTIFY currentRowChanged)
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const LyricLineIndex& lineIndex() const { return index_; }
    const QStringList& lines() const { return index_.lines(); }

    // Replaces the store; no line is current until a tick finds one.
    void replace(QStringList lines);

    int currentRow() const { return currentRow_; }
    void setCurrentRow(int row);

Q_SIGNALS:
    void currentRowChanged(int row);

private:
    LyricLineIndex index_;
    int currentRow_ = -1;
};
