#include <gtest/gtest.h>

#include "game/replay_model.h"
#include "rules/fen.h"

namespace xq {
namespace {

// Cannon to the centre, horse out, red horse out.
QiPuHistory Opening() {
    QiPuHistory h{QiPuItem{}};
    AddQiPu(h, 7, 7, 19, 7, 4, 0);
    AddQiPu(h, 0, 1, 2, 2, 2, 0);
    AddQiPu(h, 9, 7, 18, 7, 6, 0);
    return h;
}

TEST(ReplayModel, OpensAtTheLastMoveWithItsLineSelected) {
    std::uint8_t redView = 1;
    ReplayModel m(redView);
    m.open(Opening(), "/x.drak");
    EXPECT_EQ(m.step(), 3);
    EXPECT_EQ(m.list().count(), 3);
    EXPECT_EQ(m.list().selectedRow(), 2);
    EXPECT_EQ(m.board()[7][6], 18);
    EXPECT_EQ(m.showBoard()[7][6], 18);
    EXPECT_EQ(m.sideToMove(), 0) << "black to move after red's move";
    EXPECT_TRUE(m.markers().run);
    EXPECT_EQ(m.markers().toRow, 7);
    EXPECT_EQ(m.markers().toCol, 6);
    m.next();
    EXPECT_EQ(m.step(), 3) << "nothing after the last move";
}

TEST(ReplayModel, StepsBackToTheStartPositionAndNoFurther) {
    std::uint8_t redView = 0;  // seen from black
    ReplayModel m(redView);
    m.open(Opening(), {});
    m.goTo(0);
    EXPECT_EQ(m.step(), 1);
    EXPECT_EQ(m.list().selectedRow(), 0);
    EXPECT_EQ(m.board()[7][4], 19);
    EXPECT_EQ(m.board()[0][1], 2) << "the black horse is back home";
    EXPECT_EQ(m.showBoard()[2][4], 19) << "display turned for black";
    EXPECT_EQ(m.sideToMove(), 0);
    m.prev();
    EXPECT_EQ(m.step(), 0);
    EXPECT_EQ(m.list().selectedRow(), -1);
    EXPECT_EQ(m.board(), Position::Initial().toQiPan());
    EXPECT_FALSE(m.markers().run);
    EXPECT_EQ(m.sideToMove(), 1);
    m.prev();
    EXPECT_EQ(m.step(), 0);
    m.goTo(2);
    EXPECT_EQ(m.step(), 3);
    EXPECT_EQ(m.board()[7][6], 18);
    m.goTo(7);
    EXPECT_EQ(m.step(), 3);
}

TEST(ReplayModel, AUserMoveReplacesTheRestOfTheGame) {
    std::uint8_t redView = 1;
    ReplayModel m(redView);
    m.open(Opening(), {});
    m.goTo(0);      // after move 1, black to move
    m.click(9, 0);  // a red chariot: not the side to move
    EXPECT_FALSE(m.markers().selected);
    m.click(0, 7);  // black horse
    EXPECT_TRUE(m.markers().selected);
    m.click(4, 4);  // not a horse move: nothing
    EXPECT_EQ(m.moves(), 3);
    m.click(2, 6);  // black horse to (2, 6)
    EXPECT_EQ(m.moves(), 2);
    EXPECT_EQ(m.step(), 2);
    EXPECT_EQ(m.list().count(), 2);
    EXPECT_EQ(m.list().lines().back(), "黑1 ：马8进7");
    EXPECT_EQ(m.list().selectedRow(), 1);
    EXPECT_EQ(m.history().back(), (QiPuItem{0x07, 2, 0x26, 0}));
    EXPECT_EQ(m.sideToMove(), 1);
    EXPECT_FALSE(m.markers().selected);
}

TEST(ReplayModel, ARecordWithoutMovesShowsTheOpening) {
    std::uint8_t redView = 1;
    ReplayModel m(redView);
    m.open(QiPuHistory{QiPuItem{}}, {});
    EXPECT_EQ(m.step(), 0);
    EXPECT_EQ(m.list().count(), 0);
    EXPECT_EQ(m.list().selectedRow(), -1);
    EXPECT_FALSE(m.markers().run);
    EXPECT_EQ(m.sideToMove(), 1);
    EXPECT_EQ(m.showBoard()[9][4], 20);
    m.prev();
    m.next();
    EXPECT_EQ(m.step(), 0);
    m.click(7, 7);
    m.click(7, 4);
    EXPECT_EQ(m.moves(), 1) << "a first move can be tried";
}

TEST(ReplayModel, AGameFromAPositionThatBlackOpens) {
    std::uint8_t redView = 1;
    ReplayModel m(redView);
    const char* start = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1";
    m.open(QiPuHistory{QiPuItem{}}, {}, *parseFen(start));
    EXPECT_EQ(m.sideToMove(), 0);
    EXPECT_EQ(m.fen(), start);
    m.click(2, 7);
    m.click(2, 4);  // black's cannon to the centre
    m.click(7, 7);
    m.click(7, 4);
    EXPECT_EQ(m.list().lines(), (QStringList{"黑1 ：炮8平5", "红2 ：炮二平五"}));
    EXPECT_EQ(m.fen(), "rnbakabnr/9/1c2c4/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1");

    // Opened again, the same lines and the same side to move; back at move 1 red is to move.
    ReplayModel again(redView);
    again.open(m.history(), {}, m.start());
    EXPECT_EQ(again.list().lines(), m.list().lines());
    EXPECT_EQ(again.sideToMove(), 0);
    again.prev();
    EXPECT_EQ(again.sideToMove(), 1);
    EXPECT_EQ(again.board()[2][4], 3);
    EXPECT_EQ(again.board()[7][7], 19);
}

TEST(ReplayModel, FlippingTurnsBoardMarkersAndClicksButNotTheTable) {
    for (std::uint8_t table : {1, 0}) {
        SCOPED_TRACE(table);
        std::uint8_t redView = table;
        ReplayModel m(redView);
        m.open(Opening(), {});
        const QiPan before = m.showBoard();
        const ReplayModel::Markers marks = m.markers();
        m.flip();
        EXPECT_EQ(redView, table);
        EXPECT_EQ(m.shownRedView(), 1 - table);
        for (int r = 0; r < 10; ++r) {
            for (int c = 0; c < 9; ++c)
                ASSERT_EQ(m.showBoard()[9 - r][8 - c], before[r][c]) << r << "," << c;
        }
        EXPECT_EQ(m.markers().fromRow, 9 - marks.fromRow);
        EXPECT_EQ(m.markers().toCol, 8 - marks.toCol);

        // Stepping keeps the turned view; a click picks the piece drawn under it.
        m.prev();
        QiPan expected{};
        BuildShowQiPan(m.board(), m.shownRedView(), expected);
        EXPECT_EQ(m.showBoard(), expected);
        m.next();
        std::uint8_t row = 0, col = 0;  // where the black horse at (0, 7) is drawn
        ToShowPos(m.shownRedView(), 0, 7, row, col);
        m.click(row, col);
        std::uint8_t tr = 0, tc = 0;
        ToShowPos(m.shownRedView(), 2, 6, tr, tc);
        m.click(tr, tc);
        EXPECT_EQ(m.history().back(), (QiPuItem{0x07, 2, 0x26, 0}));

        m.flip();
        EXPECT_EQ(m.shownRedView(), table);
    }
}

}  // namespace
}  // namespace xq
