#pragma once

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

#include "hall/hall_model.h"
#include "hallui/hall_chat.h"
#include "hallui/player_list_view.h"
#include "hallui/table_grid.h"

namespace xq::hall {

// The room page: the tables on the left; the players in the hall and the hall chat on the
// right; above, who the user is, how the connection is protected and the way out; below, a line
// for the last answer.
class RoomView : public QWidget {
    Q_OBJECT

public:
    RoomView(HallModel& model, const QString& hallDir, QWidget* parent = nullptr);

    void showStatus(const QString& text);
    void showWarning(const QString& text);
    // How the connection is protected, beside the user's name; the tip says it in full.
    void showSecurity(const QString& text, const QString& tip);

    TableGrid& grid() { return *grid_; }
    QScrollArea& gridArea() { return *gridArea_; }
    PlayerListView& players() { return *players_; }
    HallChat& chat() { return *chat_; }
    QPushButton& logoutButton() { return *logout_; }
    const QLabel& status() const { return *status_; }
    const QLabel& welcome() const { return *welcome_; }
    const QLabel& security() const { return *security_; }

private:
    void showOwnRow();
    void showPlayerCount();
    void setStatus(const QString& text, const QColor& colour);

    HallModel& model_;
    QLabel* welcome_;
    QLabel* security_;
    QPushButton* logout_;
    TableGrid* grid_;
    QScrollArea* gridArea_;
    QLabel* playersTitle_;
    PlayerListView* players_;
    HallChat* chat_;
    QLabel* status_;
};

}  // namespace xq::hall
