#pragma once

#include "board/board_view.h"
#include "ui/table_scene.h"

namespace xq::test {

// A board view that draws a table's state, as the table window's board does.
class TableBoardView : public BoardView {
public:
    TableBoardView(const Session& session, const GameState& game, const UserSettings& settings) {
        setScene(tableScene(session, game, settings));
    }
};

}  // namespace xq::test
