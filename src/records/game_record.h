#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include "rules/history.h"
#include "rules/position.h"

namespace xq {

using RecordTags = QList<QPair<QString, QString>>;

// A game as a record file holds it: the position it starts from, its moves, and what the record
// tells about it besides (PGN tags such as Red, Black, Date, in the order read).
struct GameRecord {
    Position start = Position::Initial();
    QiPuHistory moves{QiPuItem{}};
    RecordTags tags;
    QString result;  // "1-0", "0-1", "1/2-1/2" or "*"; empty when the record says nothing

    // The value of a tag, empty when the record has none.
    QString tag(const QString& name) const;
    // A .drak file has no place for another start.
    bool startsFromOpening() const;
};

bool isOpeningPosition(const Position& pos);

}  // namespace xq
