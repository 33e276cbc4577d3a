#pragma once

#include <QColor>

namespace xq {

// Behind everything the table window draws no picture for: the window itself, the strips beside
// the game pane and the splitter bars.
inline const QColor kWindowBack{250, 250, 250};

}  // namespace xq
