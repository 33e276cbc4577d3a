#pragma once

#include <QLineEdit>

namespace xq {

// The outer width a line edit needs so that a text this many pixels wide shows in it whole,
// without scrolling: the text, the cursor after it, the room the line edit keeps beside its text,
// its text margins and its frame as the style draws it.
int lineEditWidthFor(const QLineEdit* edit, int textWidth);

}  // namespace xq
