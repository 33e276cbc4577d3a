#include "ui/player_panels.h"

#include <algorithm>

namespace xq {

namespace {

constexpr int kStyleFromBottom = 132;
// At the height where both plates just fit, 30 pixels stand above them and 46 below.
constexpr int kRoomAbove = 30, kRoomAt = 76;

bool bothFit(int gh) {
    return (gh - 516) / 2 + 30 + kPanelPlateHeight <= gh - kStyleFromBottom;
}

}  // namespace

int panelPlateTop(int gh) {
    if (bothFit(gh)) return (gh - 516) / 2 + 30;
    const int room = gh - kPanelPlateHeight - kStyleBackHeight;
    return room > 0 ? room * kRoomAbove / kRoomAt : 0;
}

int styleBackTop(int gh) {
    if (bothFit(gh)) return gh - kStyleFromBottom;
    // Too short even for the two stacked: the style boxes stay in view.
    return std::max(0, std::min(panelPlateTop(gh) + kPanelPlateHeight, gh - kStyleBackHeight));
}

PanelLayout::PanelLayout(int gh) {
    origin[0] = QPoint(25, panelPlateTop(gh) + 15);
    origin[1] = QPoint(25, origin[0].y() + 190);
}

int optButtonGap(int h) {
    const int gap = (h - 20 - 140) / 8;
    return gap < 0 ? 0 : gap;
}

int optButtonTop(int h, int index) {
    return (index + 1) * (optButtonGap(h) + 20);
}

int HitOptButton(int h, int x, int y) {
    for (int i = 0; i < 7; ++i) {
        const int top = optButtonTop(h, i);
        if (x > 15 && x < 15 + 59 && y > top && y < top + 20) return i;
    }
    return -1;
}

}  // namespace xq
