#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <array>

#include "net/hall_messages.h"

namespace xq::hall {

// One table of the room as the grid draws it: a card with the table's number and state, the
// board between the two seats, each seat with its player's face, name and level title, and the
// number of spectators. Places are relative to the card's top left corner.
namespace table_cell {

inline constexpr QSize kSize{232, 150};
inline constexpr int kNoSeat = -1;

QRect seatRect(int seat);
QRect boardRect();
// The seat under a point of the card, or kNoSeat (the table itself, or outside it).
int seatAt(QPoint inCard);

// A small board: the board's surface picture with its lines drawn over it; a plain surface when
// the picture is missing.
QPixmap boardThumbnail(const QImage* surface, qreal devicePixelRatio);

struct Look {
    TableRow row;
    std::array<const QImage*, 2> faces{};  // null: no picture for that seat
    QPixmap board;
    int hoverSeat = kNoSeat;  // the part under the pointer: a seat, the table, or none
    bool hover = false;
};

void paint(QPainter& p, QPoint origin, const Look& look, const QFont& font);

}  // namespace table_cell

}  // namespace xq::hall
