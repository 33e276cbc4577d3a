#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

namespace xq {

// What one chat line may carry. A line is shown as one line of the pane: a character that
// breaks it would let the rest look like a line of its own, said by anybody.

// C0 and C1 controls (line feed and carriage return among them), DEL, and the Unicode line and
// paragraph separators.
bool breaksLine(QChar c);
bool hasLineBreaks(QStringView text);
// The text with each such character replaced by a blank.
QString blankLineBreaks(QString text);

// "hh:mm:ss": two digits each, a time of day.
bool isChatTime(QStringView text);

}  // namespace xq
