#include "game/move_list.h"

namespace xq {

int QiPuLineList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant QiPuLineList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count() || role != Qt::DisplayRole) return {};
    return lines_[index.row()];
}

void QiPuLineList::clear() {
    if (!lines_.isEmpty()) {
        beginResetModel();
        lines_.clear();
        endResetModel();
    }
    select(-1);
}

void QiPuLineList::addLine(const QString& line) {
    beginInsertRows({}, count(), count());
    lines_.append(line);
    endInsertRows();
}

void QiPuLineList::setLine(int row, const QString& line) {
    if (row < 0 || row >= count()) return;
    lines_[row] = line;
    emit dataChanged(index(row), index(row), {Qt::DisplayRole});
}

void QiPuLineList::removeLast() {
    if (lines_.isEmpty()) return;
    beginRemoveRows({}, count() - 1, count() - 1);
    lines_.removeLast();
    endRemoveRows();
    if (selected_ >= count()) select(-1);
}

void QiPuLineList::select(int row) {
    const int next = (row >= 0 && row < count()) ? row : -1;
    if (next == selected_) return;
    selected_ = next;
    emit selectionChanged(selected_);
}

}  // namespace xq
