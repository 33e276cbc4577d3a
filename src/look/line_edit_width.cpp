#include "look/line_edit_width.h"

#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace xq {

int lineEditWidthFor(const QLineEdit* edit, int textWidth) {
    // Qt's line edit keeps 2 pixels on each side of its text (a constant of the widget, not a
    // style metric) and scrolls once text, cursor and the font's overhanging bearings no longer
    // fit between them.
    constexpr int kSideRoom = 2;
    constexpr int kCursor = 1;
    const QFontMetrics metrics(edit->font());
    const int leftBearing = std::max(0, -metrics.minLeftBearing());
    const int rightBearing = std::max(0, -metrics.minRightBearing());
    const QMargins text = edit->textMargins();
    const QMargins contents = edit->contentsMargins();
    const int inner = textWidth + kCursor + 2 * leftBearing + rightBearing + 2 * kSideRoom +
                      text.left() + text.right() + contents.left() + contents.right();

    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    return edit->style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, metrics.height()), edit)
        .width();
}

}  // namespace xq
