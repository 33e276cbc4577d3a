#include "game/game_state.h"

#include "rules/notation.h"

namespace xq {
namespace {

void clearShowBoard(GameState& g) {
    for (auto& rank : g.bteShowQiPan)
        rank.fill(kNoPiece);
}

void disableButtonsExcept(GameState& g, std::initializer_list<int> enabled) {
    g.bteOptButState.fill(kButtonDisabled);
    for (int b : enabled)
        g.bteOptButState[static_cast<std::size_t>(b)] = kButtonNormal;
}

}  // namespace

void ClearQiPu(GameState& g) {
    resetQiPu(g.QiPuData);
    g.lstQiPu.clear();
}

void ResetGame(GameState& g, Session& s) {
    s.strWatchUserName.clear();
    for (SeatUserItem& seat : s.SeatUsers) {
        seat.strUserName.clear();
        seat.lngFaceNo = -1;
        seat.intOffline = false;
        seat.intHandUp = false;
        seat.bteTotalUsed = {};
        seat.bteStepUsed = {};
    }
    g.bteTotalTime = {};
    g.bteStepTime = {};
    g.lngWinCount = {0, 0};
    g.blnNoGame = true;
    InitQiPan(g.bteQiPan);
    ClearQiPu(g);
    resetQiPu(g.finishedGame);
    g.bteGameState = kStateNoGame;
    disableButtonsExcept(g, {kBtnReplay, kBtnLoad});
    clearShowBoard(g);
}

void NewGame(GameState& g, Session& s) {
    for (SeatUserItem& seat : s.SeatUsers) {
        seat.intHandUp = false;
        seat.bteTotalUsed = {};
        seat.bteStepUsed = {};
    }
    g.blnNoGame = true;
    InitQiPan(g.bteQiPan);
    ClearQiPu(g);
    disableButtonsExcept(g, {kBtnReplay});
    clearShowBoard(g);
}

QString qiPuLine(const QiPuHistory& history, long k) {
    const auto m = GetQiPu(history, k);
    if (!m) return {};
    return QString::fromStdString(GetQiPuText(m->fromRank, m->fromFile, m->piece, m->toRank,
                                              m->toFile, m->eaten, moveNumberOfPly(k)));
}

void RebuildQiPan(GameState& g) {
    replayQiPu(g.QiPuData, g.bteQiPan);
    g.lstQiPu.clear();
    for (long k = 1; k <= qiPuUpperBound(g.QiPuData); ++k)
        g.lstQiPu.addLine(qiPuLine(g.QiPuData, k));
    if (g.lstQiPu.count() > 1) g.lstQiPu.select(g.lstQiPu.count() - 1);
}

}  // namespace xq
