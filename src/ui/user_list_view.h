#pragma once

#include <QTableView>

#include "game/user_list_model.h"

namespace xq {

// The list of everybody at the table. A right click on a person asks for the person's menu, a
// left click makes the person the chat's addressee.
class UserListView : public QTableView {
    Q_OBJECT

public:
    explicit UserListView(UserListModel& model, QWidget* parent = nullptr);

    // Set-up as the window gives it at load; the style value is accepted and has no effect.
    void setColours(const QColor& back, const QColor& fore);
    void setStyleValue(int) {}
    void setTitle(const QString& title);
    const QString& title() const { return title_; }
    void applyColumnWidths();

signals:
    // menu: true for the menu click. name and row: the person's name and user row.
    void personClicked(bool menu, const QString& name, const QString& row);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    UserListModel& model_;
    QString title_;
};

}  // namespace xq
