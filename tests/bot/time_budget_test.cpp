#include <gtest/gtest.h>

#include "engine/time_budget.h"

namespace xq::engine::test {
namespace {

TEST(TimeBudgetTest, ChargesTheBankLikeTheTable) {
    struct Case {
        std::int64_t ms;
        int allowance;
        int charged;
    };
    const Case cases[] = {
        {25'000, 30, 0}, {29'999, 30, 0}, {30'000, 30, 1}, {40'500, 30, 11}, {999, 0, 0},
        {1'000, 0, 1},   {5'400, 0, 5},   {999, 1, 0},     {1'000, 1, 1},    {-5, 30, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chargedSeconds(c.ms, c.allowance), c.charged) << c.ms << " ms, " << c.allowance;
}

// Whatever the clock, a move sent by latestMs charges no more than the bank has left, and the
// search stops by then too.
TEST(TimeBudgetTest, NeverPlansAMoveThatLosesOnTime) {
    const ClockState clocks[] = {
        {0, 1800, 30},                  // the table's defaults
        {0, 0, 1},                      // no bank, one free second
        {0, 0, 2},        {0, 60, 0},   // all from the bank
        {59, 60, 0},      {60, 60, 0},  // the bank used up
        {600, 600, 30},   {0, 0, 60},
        {100, 108000, 0}, {70, 60, 5},  // already over: the free time is all there is
    };
    for (const ClockState& c : clocks) {
        SCOPED_TRACE(testing::Message() << c.bankUsedSeconds << "/" << c.bankLimitSeconds << " +"
                                        << c.stepAllowanceSeconds);
        for (int cap : {100, 2800, 1'000'000}) {
            const MoveBudget b = planMove(c, cap);
            EXPECT_LE(b.softMs, b.hardMs);
            EXPECT_LE(b.hardMs, b.latestMs);
            EXPECT_LE(b.softMs, cap);
            EXPECT_LT(b.latestMs, msBeforeLoss(c));
            EXPECT_GE(msBeforeLoss(c) - b.latestMs, 250) << "a margin for the event loop";
            const int left = std::max(0, c.bankLimitSeconds - c.bankUsedSeconds);
            EXPECT_LE(chargedSeconds(b.latestMs, c.stepAllowanceSeconds), left);
            EXPECT_GT(b.softMs, 0) << "there is always a little time to look";
        }
    }
}

TEST(TimeBudgetTest, SpendsFreeTimeFirstAndTheBankSparingly) {
    // Plenty of free time: the level's cap decides.
    EXPECT_EQ(planMove({0, 1800, 30}, 2800).softMs, 2800);
    // No free time: a share of the bank, not all of it.
    const MoveBudget fromBank = planMove({0, 60, 0}, 1'000'000);
    EXPECT_GT(fromBank.softMs, 1000);
    EXPECT_LT(fromBank.softMs, 10'000);
    // An empty bank with one free second: under a second, so nothing is charged.
    EXPECT_LT(planMove({60, 60, 0}, 2800).latestMs, 1000);
}

}  // namespace
}  // namespace xq::engine::test
