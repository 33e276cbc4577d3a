#pragma once

#include "board/board_view.h"
#include "game/game_state.h"
#include "prefs/user_settings.h"
#include "startup/session.h"

namespace xq {

// The table's board as the board view draws it: the display board in the table's orientation,
// in the styles of the settings, with the skins of the program folder.
inline BoardScene tableScene(const Session& session, const GameState& game,
                             const UserSettings& settings) {
    return {&game.bteShowQiPan, &game.bteRedView, &settings.bteQiPanStyle, &settings.bteQiZiStyle,
            &session.strAppPath};
}

}  // namespace xq
