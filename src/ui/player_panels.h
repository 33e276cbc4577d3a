#pragma once

#include <QPoint>

namespace xq {

// The plate behind both player panels and the one behind the two style boxes, as the skins draw
// them, and where they stand in a game pane of height gh. A pane too short for both at their
// usual places (below 516) stacks them, the free room shared above and below as it was there.
inline constexpr int kPanelPlateHeight = 354;
inline constexpr int kStyleBackHeight = 86;
int panelPlateTop(int gh);
int styleBackTop(int gh);

// Where the elements of the two player panels lie in the game pane of height gh. Slot 0 is the
// upper panel (the opponent of the view), slot 1 the lower one.
struct PanelLayout {
    explicit PanelLayout(int gh);

    QPoint origin[2];  // face, 32 x 32
    QPoint name(int slot) const { return origin[slot] + QPoint(0, 35); }
    QPoint net(int slot) const { return origin[slot] + QPoint(37, 0); }
    QPoint flag(int slot) const { return origin[slot] + QPoint(70, 0); }
    QPoint clockA(int slot) const { return origin[slot] + QPoint(13, slot == 0 ? 78 : 71); }
    QPoint clockB(int slot) const { return clockA(slot) + QPoint(0, 45); }
    QPoint scoreText() const { return clockB(0) + QPoint(8, 33); }
};

// The gap between the control panel's buttons for a panel of height h: the room left by the
// caption band and the seven buttons, shared by eight gaps; never negative.
int optButtonGap(int h);
// The top of control panel button i.
int optButtonTop(int h, int index);
// The button under a point of the control panel (strict edges), or -1.
int HitOptButton(int h, int x, int y);

}  // namespace xq
