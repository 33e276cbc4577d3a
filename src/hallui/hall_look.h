#pragma once

#include <QColor>

namespace xq::hall {

// The table window's colours, so that the hall looks like the same program.
inline const QColor kWindowBack{250, 250, 250};
inline const QColor kRoomBack{8, 73, 165};    // the game pane behind the board
inline const QColor kTableBack{222, 150, 0};  // the player panels
inline const QColor kTableEdge{132, 81, 24};  // the board's dark lines
inline const QColor kListBack{0, 138, 140};   // the user list
inline const QColor kListText{255, 255, 255};
inline const QColor kCaptionText{253, 219, 200};
inline const QColor kPlayingMark{180, 0, 0};
inline const QColor kWarningText{200, 0, 0};

}  // namespace xq::hall
