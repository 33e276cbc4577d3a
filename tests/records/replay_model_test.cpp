#include <gtest/gtest.h>

#include "records/replay_model.h"

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

TEST(ReplayModel, StepsBackNoFurtherThanTheFirstMove) {
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
    EXPECT_EQ(m.step(), 1);
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

}  // namespace
}  // namespace xq
