#include "ui/window_layout.h"

#include <algorithm>

namespace xq {

namespace {

// v of whole, in a whole of `to`: rounded to the nearest pixel.
int Scaled(int v, int to, int whole) {
    const long long n = static_cast<long long>(v) * to;
    return static_cast<int>((n + (n >= 0 ? whole / 2 : -(whole / 2))) / whole);
}

}  // namespace

SplitState startSplits(QSize screen) {
    SplitState s;
    // Three quarters of a wide screen; on a narrow one the right pane keeps room to work in.
    s.vSplitLeft = std::max(
        kVSplitMin,
        std::min(screen.width() * 3 / 4, screen.width() - kStartRightPane - kSplitterWidth - 8));
    s.vSplitWidth = screen.width();
    s.vSplitSaved = s.vSplitLeft;
    s.vSplitSavedWidth = s.vSplitWidth;
    s.optSplitTop = 270;
    s.chatSplitTop = 270 + (screen.height() - 270) / 3;
    s.barsHeight = screen.height() - 32;
    return s;
}

int shownSplitLeft(int clientWidth, const SplitState& s) {
    // At the right edge the splitter stands where a collapse puts it: still whole, and with it
    // the caption bar, which is drawn only while the splitter is inside the window.
    const int rightmost = clientWidth - kSplitterWidth - 2;
    if (s.collapsed && s.vSplitLeft == s.vSplitWidth - kSplitterWidth - 2)
        return std::max(kVSplitMin, rightmost);
    // The board and the right pane keep the shares the user gave them, each within its limit.
    const int scaled =
        s.vSplitWidth > 0 ? Scaled(s.vSplitLeft, clientWidth, s.vSplitWidth) : s.vSplitLeft;
    return std::max(kVSplitMin, std::min(scaled, clientWidth - kVSplitFromRight));
}

BarTops shownBars(int clientHeight, const SplitState& s) {
    // The control panel's buttons do not grow with the window: its bar stays while it can.
    const int opt =
        std::max(kBarDistance, std::min(s.optSplitTop, clientHeight - 2 * kBarDistance));
    int chat = s.chatSplitTop;
    const int below = s.barsHeight - s.optSplitTop;
    if (s.barsHeight > 0 && below > 0)
        chat = opt + Scaled(s.chatSplitTop - s.optSplitTop, clientHeight - opt, below);
    chat = std::min(std::max(chat, opt + kBarDistance), clientHeight - kBarDistance);
    return {opt, chat};
}

MainLayout layOutMainWindow(QSize client, const SplitState& s) {
    const int sw = client.width(), sh = client.height();
    const int h = sh - 32;  // 27 caption, 4 border, 1
    MainLayout l;
    const int left = shownSplitLeft(sw, s);
    l.splitter = QRect(left, kCaptionHeight, kSplitterWidth, std::max(h, 0));
    l.gamePane = QRect(5, kCaptionHeight, left - 6, std::max(h, 0));
    const int r = sw - left - kSplitterWidth - 2 - 6;
    if (kSplitterWidth > r) return l;
    l.rightPane = true;
    const int x = left + kSplitterWidth + 2;
    const BarTops bars = shownBars(sh, s);
    l.userButtons = QRect(x, kCaptionHeight, r, 33);
    if (bars.opt - 60 > 0) l.controlPanel = QRect(x, 60, r, bars.opt - 60);
    l.optBar = QRect(x, bars.opt, r, kBarHeight);
    l.userList = QRect(x, bars.opt + kBarHeight, r, std::max(0, bars.chat - bars.opt - kBarHeight));
    l.chatBar = QRect(x, bars.chat, r, kBarHeight);
    const int c = sh - 4 - bars.chat - kBarHeight - 2;
    if (c > 0) l.chat = QRect(x, bars.chat + kBarHeight, r, c);
    return l;
}

Band middleZone(int splitterHeight) {
    return {(splitterHeight - kMiddleZone) / 2, (splitterHeight + kMiddleZone) / 2};
}

bool pressCollapses(int y, int splitterHeight) {
    const Band band = middleZone(splitterHeight);
    return band.first < y && y < band.last;
}

void toggleCollapse(SplitState& s, int clientWidth) {
    if (s.collapsed) {
        s.vSplitLeft = s.vSplitSaved;
        s.vSplitWidth = s.vSplitSavedWidth;
        s.collapsed = false;
    } else {
        s.vSplitSaved = s.vSplitLeft;
        s.vSplitSavedWidth = s.vSplitWidth;
        s.vSplitLeft = clientWidth - kSplitterWidth - 2;
        s.vSplitWidth = clientWidth;
        s.collapsed = true;
    }
}

bool ghostMayMove(int x, int clientWidth) {
    return x >= kVSplitMin && x <= clientWidth - kVSplitFromRight;
}

int dropVSplit(int x, int clientWidth) {
    return std::max(std::min(x, clientWidth - kVSplitFromRight), kVSplitMin);
}

void placeVSplit(SplitState& s, int x, int clientWidth) {
    s.vSplitLeft = dropVSplit(x, clientWidth);
    s.vSplitWidth = clientWidth;
}

int dropOptSplit(int y, int chatTop) {
    return std::min(std::max(y, kBarDistance), chatTop - kBarDistance);
}

int dropChatSplit(int y, int optTop, int clientHeight) {
    return std::min(std::max(y, optTop + kBarDistance), clientHeight - kBarDistance);
}

// The bars are taken as they stand now, so that the one not dropped stays where it is seen.
void placeOptBar(SplitState& s, int y, int clientHeight) {
    const BarTops now = shownBars(clientHeight, s);
    s.optSplitTop = dropOptSplit(y, now.chat);
    s.chatSplitTop = now.chat;
    s.barsHeight = clientHeight;
}

void placeChatBar(SplitState& s, int y, int clientHeight) {
    const BarTops now = shownBars(clientHeight, s);
    s.optSplitTop = now.opt;
    s.chatSplitTop = dropChatSplit(y, now.opt, clientHeight);
    s.barsHeight = clientHeight;
}

QRect BoardRect(QSize gamePane) {
    const int aw = gamePane.width() - 150 - 20, ah = gamePane.height() - 20 - 20;
    int bw = aw, bh = aw * 670 / 608;
    if (ah < bh) {
        bw = ah * 608 / 670;
        bh = ah;
    }
    return QRect((aw - bw) / 2 + 150, (ah - bh) / 2 + 20, std::max(0, bw), std::max(0, bh));
}

}  // namespace xq
