#include "game/user_list_model.h"

#include "game/user_row.h"
#include "net/leading_number.h"

namespace xq {

UserListModel::UserListModel(QObject* parent) : QAbstractTableModel(parent) {}

int UserListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int UserListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : visibleColumns_;
}

QVariant UserListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole) return {};
    const QStringList& fields = rows_[static_cast<std::size_t>(index.row())];
    if (index.column() == row::kLevel && !levels_.LevelInfos.empty()) {
        return GetLevelName(levels_, leadingLong(fields.value(row::kLevel)));
    }
    return fields.value(index.column());
}

QVariant UserListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return headings_.value(section);
}

void UserListModel::setHeadings(const QString& headings, int visibleColumns) {
    beginResetModel();
    headings_ = splitFields(headings);
    visibleColumns_ = qBound(0, visibleColumns, kUserRowFields);
    endResetModel();
}

void UserListModel::setColumnWidths(const QString& widths) {
    widths_.clear();
    for (const QString& w : splitFields(widths))
        widths_.append(leadingLong(w));
}

void UserListModel::setLevelTable(const QString& levelInfo) {
    ParseLevelInfo(levels_, levelInfo);
    if (!rows_.empty()) emit dataChanged(index(0, row::kLevel), index(rowCount() - 1, row::kLevel));
}

void UserListModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

QString UserListModel::loadAll(const QString& text) {
    beginResetModel();
    rows_.clear();
    for (const QString& line : text.split(u'\n')) {
        QString row = line;
        if (row.endsWith(u'\r')) row.chop(1);
        if (row.isEmpty()) continue;
        const QStringList fields = splitFields(row);
        const int at = indexOf(fields[0]);
        if (at >= 0) {
            rows_[static_cast<std::size_t>(at)] = fields;
        } else {
            rows_.push_back(fields);
        }
    }
    endResetModel();
    QStringList names;
    for (const QStringList& fields : rows_)
        names.append(fields[0]);
    return names.join(u'`');
}

void UserListModel::addRow(const QString& rowText) {
    if (rowText.isEmpty()) return;
    const QStringList fields = splitFields(rowText);
    if (indexOf(fields[0]) >= 0) return;
    beginInsertRows({}, rowCount(), rowCount());
    rows_.push_back(fields);
    endInsertRows();
}

void UserListModel::removeRow(const QString& name) {
    const int at = indexOf(name);
    if (at < 0) return;
    beginRemoveRows({}, at, at);
    rows_.erase(rows_.begin() + at);
    endRemoveRows();
}

QString UserListModel::findRow(const QString& name) const {
    const int at = indexOf(name);
    return at < 0 ? QString() : rowText(at);
}

void UserListModel::updateRow(const QString& rowText) {
    if (rowText.isEmpty()) return;
    const QStringList fields = splitFields(rowText);
    const int at = indexOf(fields[0]);
    if (at < 0) {
        addRow(rowText);
        return;
    }
    rows_[static_cast<std::size_t>(at)] = fields;
    emit dataChanged(index(at, 0), index(at, columnCount() - 1));
}

QString UserListModel::rowText(int row) const {
    if (row < 0 || row >= rowCount()) return {};
    return rows_[static_cast<std::size_t>(row)].join(u'`');
}

QString UserListModel::nameAt(int row) const {
    if (row < 0 || row >= rowCount()) return {};
    return rows_[static_cast<std::size_t>(row)].value(0);
}

int UserListModel::indexOf(const QString& name) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].value(0) == name) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace xq
