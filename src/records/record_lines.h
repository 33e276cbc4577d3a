#pragma once

#include <QString>
#include <QStringList>

#include "rules/history.h"

namespace xq {

// The move list line of move k (1-based) of a game whose first move is firstSide's. Red's move
// and black's reply share a number; a game that black opens starts with black's move 1 and goes
// on with red's move 2.
QString recordLine(const QiPuHistory& history, long k, int firstSide);
QStringList recordLines(const QiPuHistory& history, int firstSide);

}  // namespace xq
