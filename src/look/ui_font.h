#pragma once

#include <QCursor>
#include <QFont>

namespace xq {

// The pane font: "宋体" at 9 points where it exists, otherwise the installed CJK font.
QFont paneFont();

// The cursor shown over a board point.
QCursor boardCursor();

}  // namespace xq
