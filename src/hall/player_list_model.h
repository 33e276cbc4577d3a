#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>

#include "net/hall_messages.h"

namespace xq::hall {

// Everybody in the hall, one row each, in the order they came. The numeric columns carry
// numbers, so that a sorting view sorts them as numbers.
class PlayerListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        kName,
        kLevel,
        kScore,
        kTable,
        kUserNumber,
        kGames,
        kWon,
        kLost,
        kDrawn,
        kEscapes
    };
    static constexpr int kColumns = kEscapes + 1;
    // True for the user's own row.
    static constexpr int kOwnRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setOwnName(const QString& name);
    // Replaces everybody; a name given twice keeps its last row.
    void setRows(const QList<PlayerRow>& rows);
    // Changes a known player's row or adds a newcomer.
    void upsert(const PlayerRow& row);
    // Takes a player out; an unknown name changes nothing.
    void remove(const QString& name);
    // The same for a batch: a crowd costs one look-up each, not a search of the list each.
    void upsertAll(const QList<PlayerRow>& rows);
    void removeAll(const QStringList& names);

    const QList<PlayerRow>& rows() const { return rows_; }
    const PlayerRow* find(const QString& name) const;

private:
    qsizetype indexOf(const QString& name) const;
    void reindex();

    QList<PlayerRow> rows_;
    QHash<QString, qsizetype> index_;  // name to row
    QString ownName_;
};

// Where a player is, in words: "3号桌" for a seat, "3号桌旁观" for a watcher, empty at none.
QString placeText(const PlayerRow& row);

// The player's details for a tooltip, one per line.
QString playerDetails(const PlayerRow& row);

}  // namespace xq::hall
