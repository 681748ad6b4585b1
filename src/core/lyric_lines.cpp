#include "core/lyric_lines.h"

int LyricLines::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(index_.size());
}

QVariant LyricLines::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    return index_.lines().at(index.row());
}

void LyricLines::replace(QStringList lines) {
    beginResetModel();
    index_ = LyricLineIndex(std::move(lines));
    endResetModel();
    setCurrentRow(-1);
}

void LyricLines::setCurrentRow(int row) {
    if (row == currentRow_)
        return;
    currentRow_ = row;
    Q_EMIT currentRowChanged(row);
}
