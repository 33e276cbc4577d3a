#include "game/game_state.h"

#include "rules/notation.h"

namespace xq {
namespace {

void ClearShowBoard(GameState& g) {
    for (auto& rank : g.bteShowQiPan)
        rank.fill(kNoPiece);
}

void DisableButtonsExcept(GameState& g, std::initializer_list<int> enabled) {
    g.bteOptButState.fill(kButtonDisabled);
    for (int b : enabled)
        g.bteOptButState[static_cast<std::size_t>(b)] = kButtonNormal;
}

}  // namespace

void ClearQiPu(GameState& g) {
    ResetQiPu(g.QiPuData);
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
    ResetQiPu(g.finishedGame);
    g.bteGameState = kStateNoGame;
    DisableButtonsExcept(g, {kBtnReplay, kBtnLoad});
    ClearShowBoard(g);
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
    DisableButtonsExcept(g, {kBtnReplay});
    ClearShowBoard(g);
}

QString QiPuLine(const QiPuHistory& history, long k) {
    const auto m = GetQiPu(history, k);
    if (!m) return {};
    return QString::fromStdString(GetQiPuText(m->fromRank, m->fromFile, m->piece, m->toRank,
                                              m->toFile, m->eaten, MoveNumberOfPly(k)));
}

void RebuildQiPan(GameState& g) {
    ReplayQiPu(g.QiPuData, g.bteQiPan);
    g.lstQiPu.clear();
    for (long k = 1; k <= QiPuUpperBound(g.QiPuData); ++k)
        g.lstQiPu.addLine(QiPuLine(g.QiPuData, k));
    if (g.lstQiPu.count() > 1) g.lstQiPu.select(g.lstQiPu.count() - 1);
}

}  // namespace xq
