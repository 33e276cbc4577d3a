#include "hallui/room_view.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>

#include "hall/level_titles.h"
#include "hallui/hall_look.h"

namespace xq::hall {
namespace {

QLabel* Caption(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

}  // namespace

RoomView::RoomView(HallModel& model, const QString& hallDir, QWidget* parent)
    : QWidget(parent),
      model_(model),
      welcome_(new QLabel),
      security_(new QLabel),
      logout_(new QPushButton(QStringLiteral("退出大厅"))),
      grid_(new TableGrid(model, hallDir)),
      gridArea_(new QScrollArea),
      playersTitle_(Caption(QStringLiteral("大厅玩家"))),
      players_(new PlayerListView(model.players())),
      chat_(new HallChat),
      status_(new QLabel) {
    // The welcome line carries the user's own name, the status line the server's words.
    welcome_->setTextFormat(Qt::PlainText);
    security_->setTextFormat(Qt::PlainText);
    status_->setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    QPalette back = palette();
    back.setColor(QPalette::Window, kWindowBack);
    setPalette(back);

    gridArea_->setWidget(grid_);
    gridArea_->setWidgetResizable(true);
    gridArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    gridArea_->setFrameShape(QFrame::NoFrame);
    QPalette room = gridArea_->palette();
    room.setColor(QPalette::Window, kRoomBack);
    gridArea_->setPalette(room);

    auto* side = new QSplitter(Qt::Vertical);
    auto* playersPane = new QWidget;
    auto* playersLayout = new QVBoxLayout(playersPane);
    playersLayout->setContentsMargins(0, 0, 0, 0);
    playersLayout->addWidget(playersTitle_);
    playersLayout->addWidget(players_, 1);
    auto* chatPane = new QWidget;
    auto* chatLayout = new QVBoxLayout(chatPane);
    chatLayout->setContentsMargins(0, 0, 0, 0);
    chatLayout->addWidget(Caption(QStringLiteral("大厅聊天")));
    chatLayout->addWidget(chat_, 1);
    side->addWidget(playersPane);
    side->addWidget(chatPane);
    side->setStretchFactor(0, 1);
    side->setStretchFactor(1, 1);

    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(gridArea_);
    split->addWidget(side);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    // Room for the names, titles, scores and places of the players.
    split->setSizes({620, 370});
    split->setChildrenCollapsible(false);

    auto* top = new QHBoxLayout;
    top->addWidget(welcome_, 1);
    top->addWidget(security_);
    top->addSpacing(12);
    top->addWidget(logout_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addWidget(status_);

    connect(&model_, &HallModel::ownRowChanged, this, &RoomView::showOwnRow);
    const PlayerListModel* players = &model_.players();
    connect(players, &QAbstractItemModel::modelReset, this, &RoomView::showPlayerCount);
    connect(players, &QAbstractItemModel::rowsInserted, this, &RoomView::showPlayerCount);
    connect(players, &QAbstractItemModel::rowsRemoved, this, &RoomView::showPlayerCount);
    showOwnRow();
}

void RoomView::showStatus(const QString& text) {
    setStatus(text, palette().color(QPalette::WindowText));
}

void RoomView::showWarning(const QString& text) {
    setStatus(text, kWarningText);
}

void RoomView::showSecurity(const QString& text, const QString& tip) {
    security_->setText(text);
    security_->setToolTip(tip);
}

void RoomView::setStatus(const QString& text, const QColor& colour) {
    QPalette look = status_->palette();
    look.setColor(QPalette::WindowText, colour);
    status_->setPalette(look);
    status_->setText(text);
}

void RoomView::showOwnRow() {
    const auto& own = model_.ownRow();
    if (!own) {
        welcome_->clear();
        return;
    }
    QString text =
        QStringLiteral("%1　%2　积分 %3").arg(own->name, levelTitle(own->score)).arg(own->score);
    const QString place = placeText(*own);
    if (!place.isEmpty()) text += QStringLiteral("　（%1）").arg(place);
    welcome_->setText(text);
}

void RoomView::showPlayerCount() {
    playersTitle_->setText(QStringLiteral("大厅玩家（%1 人）").arg(model_.players().rowCount()));
}

}  // namespace xq::hall
