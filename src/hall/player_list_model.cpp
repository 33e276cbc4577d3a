#include "hall/player_list_model.h"

#include "hall/level_titles.h"

#include <QSet>
#include <algorithm>
#include <functional>

namespace xq::hall {

int PlayerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PlayerListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant PlayerListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rows_.size()) return {};
    const PlayerRow& r = rows_[index.row()];
    if (role == kOwnRole) return r.name == ownName_;
    if (role == Qt::ToolTipRole) return playerDetails(r);
    if (role == Qt::TextAlignmentRole) {
        const bool text =
            index.column() == kName || index.column() == kLevel || index.column() == kTable;
        return QVariant::fromValue((text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case kName:
            return r.name;
        case kLevel:
            return levelTitle(r.score);
        case kScore:
            return r.score;
        case kTable:
            return placeText(r);
        case kUserNumber:
            return r.userNumber;
        case kGames:
            return r.games;
        case kWon:
            return r.won;
        case kLost:
            return r.lost;
        case kDrawn:
            return r.drawn;
        case kEscapes:
            return r.escapes;
        default:
            return {};
    }
}

QVariant PlayerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const QStringList titles{QStringLiteral("用户名"), QStringLiteral("级别"),
                                    QStringLiteral("积分"),   QStringLiteral("位置"),
                                    QStringLiteral("用户ID"), QStringLiteral("总局数"),
                                    QStringLiteral("胜"),     QStringLiteral("负"),
                                    QStringLiteral("和"),     QStringLiteral("逃跑")};
    return titles.value(section);
}

void PlayerListModel::setOwnName(const QString& name) {
    beginResetModel();
    ownName_ = name;
    endResetModel();
}

void PlayerListModel::setRows(const QList<PlayerRow>& rows) {
    beginResetModel();
    rows_.clear();
    index_.clear();
    for (const PlayerRow& r : rows) {
        const auto at = index_.constFind(r.name);
        if (at != index_.constEnd()) {
            rows_[*at] = r;
        } else {
            index_.insert(r.name, rows_.size());
            rows_.append(r);
        }
    }
    endResetModel();
}

void PlayerListModel::upsert(const PlayerRow& row) {
    upsertAll({row});
}

void PlayerListModel::upsertAll(const QList<PlayerRow>& rows) {
    QList<PlayerRow> newcomers;
    QHash<QString, qsizetype> newIndex;
    for (const PlayerRow& row : rows) {
        const qsizetype at = indexOf(row.name);
        if (at >= 0) {
            rows_[at] = row;
            emit dataChanged(index(static_cast<int>(at), 0),
                             index(static_cast<int>(at), kColumns - 1));
            continue;
        }
        // A name twice among the newcomers keeps its last row.
        if (const auto twice = newIndex.constFind(row.name); twice != newIndex.constEnd()) {
            newcomers[*twice] = row;
        } else {
            newIndex.insert(row.name, newcomers.size());
            newcomers.append(row);
        }
    }
    if (newcomers.isEmpty()) return;
    const int end = static_cast<int>(rows_.size());
    beginInsertRows({}, end, end + static_cast<int>(newcomers.size()) - 1);
    for (const PlayerRow& row : std::as_const(newcomers)) {
        index_.insert(row.name, rows_.size());
        rows_.append(row);
    }
    endInsertRows();
}

void PlayerListModel::remove(const QString& name) {
    removeAll({name});
}

void PlayerListModel::removeAll(const QStringList& names) {
    QSet<qsizetype> gone;
    for (const QString& name : names) {
        const qsizetype at = indexOf(name);
        if (at >= 0) gone.insert(at);
    }
    if (gone.isEmpty()) return;
    // A few go one by one, so that a view keeps its place; a crowd at once.
    constexpr qsizetype kOneByOne = 16;
    if (gone.size() <= kOneByOne) {
        QList<qsizetype> order(gone.begin(), gone.end());
        // From the last row back, so that the rows still to go keep their places.
        std::sort(order.begin(), order.end(), std::greater<>());
        for (qsizetype at : std::as_const(order)) {
            beginRemoveRows({}, static_cast<int>(at), static_cast<int>(at));
            rows_.removeAt(at);
            endRemoveRows();
        }
    } else {
        beginResetModel();
        QList<PlayerRow> kept;
        kept.reserve(rows_.size() - gone.size());
        for (qsizetype i = 0; i < rows_.size(); ++i)
            if (!gone.contains(i)) kept.append(rows_[i]);
        rows_ = std::move(kept);
        endResetModel();
    }
    reindex();
}

const PlayerRow* PlayerListModel::find(const QString& name) const {
    const qsizetype at = indexOf(name);
    return at < 0 ? nullptr : &rows_[at];
}

qsizetype PlayerListModel::indexOf(const QString& name) const {
    return index_.value(name, -1);
}

void PlayerListModel::reindex() {
    index_.clear();
    for (qsizetype i = 0; i < rows_.size(); ++i)
        index_.insert(rows_[i].name, i);
}

QString placeText(const PlayerRow& r) {
    if (r.table <= 0) return {};
    return r.place == Place::Watch ? QStringLiteral("%1号桌旁观").arg(r.table)
                                   : QStringLiteral("%1号桌").arg(r.table);
}

QString playerDetails(const PlayerRow& r) {
    QStringList lines{
        r.name,
        QStringLiteral("用户ID：%1").arg(r.userNumber),
        QStringLiteral("级别：%1（积分 %2）").arg(levelTitle(r.score)).arg(r.score),
        QStringLiteral("总局数：%1　胜 %2　负 %3　和 %4")
            .arg(r.games)
            .arg(r.won)
            .arg(r.lost)
            .arg(r.drawn),
        QStringLiteral("逃跑：%1").arg(r.escapes),
    };
    const QString place = placeText(r);
    lines << (place.isEmpty() ? QStringLiteral("未在桌上") : place);
    return lines.join(u'\n');
}

}  // namespace xq::hall
