#include "ui/player_panels.h"

namespace xq {

PanelLayout::PanelLayout(int gh) {
    origin[0] = QPoint(25, (gh - 162 - 354) / 2 + 45);
    origin[1] = QPoint(25, origin[0].y() + 190);
}

int OptButtonGap(int h) {
    const int gap = (h - 20 - 140) / 8;
    return gap < 0 ? 0 : gap;
}

int OptButtonTop(int h, int index) {
    return (index + 1) * (OptButtonGap(h) + 20);
}

int HitOptButton(int h, int x, int y) {
    for (int i = 0; i < 7; ++i) {
        const int top = OptButtonTop(h, i);
        if (x > 15 && x < 15 + 59 && y > top && y < top + 20) return i;
    }
    return -1;
}

}  // namespace xq
