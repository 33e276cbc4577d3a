#pragma once

#include <QList>
#include <QObject>
#include <optional>

#include "hall/player_list_model.h"
#include "net/hall_messages.h"

namespace xq::hall {

// The room as the server has told it: the user's own row, everybody in the hall and every table.
// Lists replace what was there; a change to a table the room does not have, or the leaving of a
// name nobody has, changes nothing.
class HallModel : public QObject {
    Q_OBJECT

public:
    explicit HallModel(QObject* parent = nullptr);

    // Takes in one message from the server; false for the messages that are not about the room
    // (chat lines, reservations, notices).
    bool apply(const in::ServerMessage& message);
    // Forgets everything, as after leaving the hall.
    void clear();

    PlayerListModel& players() { return players_; }
    const PlayerListModel& players() const { return players_; }
    const std::optional<PlayerRow>& ownRow() const { return own_; }
    // The tables by number, lowest first.
    const QList<TableRow>& tables() const { return tables_; }
    const TableRow* table(int number) const;

signals:
    void tablesReset();
    void tableChanged(int number);
    void ownRowChanged();

private:
    void setTables(const QList<TableRow>& rows);
    void changeTable(const TableRow& row);
    void setOwnRow(const PlayerRow& row);

    PlayerListModel players_;
    std::optional<PlayerRow> own_;
    QList<TableRow> tables_;
};

}  // namespace xq::hall
