#include "records/game_record.h"

namespace xq {

QString GameRecord::tag(const QString& name) const {
    for (const auto& [key, value] : tags) {
        if (key == name) return value;
    }
    return {};
}

bool GameRecord::startsFromOpening() const {
    return isOpeningPosition(start);
}

bool isOpeningPosition(const Position& pos) {
    const Position opening = Position::Initial();
    return pos.sideToMove() == opening.sideToMove() && pos.toQiPan() == opening.toQiPan();
}

}  // namespace xq
