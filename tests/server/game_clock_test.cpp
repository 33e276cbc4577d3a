#include <gtest/gtest.h>

#include "net/table_events.h"
#include "server/game_clock.h"

namespace xq::server {
namespace {

using tablemsg::tallyBytes;
using tablemsg::Triple;

TEST(GameClockTest, TheBankRunsOnlyFromTheSecondTheStepAllowanceIsReached) {
    struct Case {
        int allowance;
        qint64 thinkMs;
        int bank;
    };
    const Case cases[] = {
        {30, 25'000, 0},  {30, 29'999, 0}, {30, 30'000, 1}, {30, 40'000, 11},
        {30, 40'999, 11}, {0, 1'000, 1},   {0, 999, 0},     {1, 5'000, 5},
    };
    for (const Case& c : cases) {
        GameClock clock;
        clock.start(1'000, 0, c.allowance);
        EXPECT_EQ(clock.bankSeconds(0, 1'000 + c.thinkMs), c.bank)
            << c.allowance << " s allowance, " << c.thinkMs << " ms";
        EXPECT_EQ(clock.bankSeconds(1, 1'000 + c.thinkMs), 0);
    }
}

TEST(GameClockTest, ABankIsKeptAcrossTurnsAndOnlyTheMoverRuns) {
    GameClock clock;
    clock.start(0, 1, 10);
    clock.passTurn(15'000);  // seat 1 used 15 s: 6 on the bank
    EXPECT_EQ(clock.mover(), 0);
    EXPECT_EQ(clock.bankSeconds(1, 100'000), 6);
    clock.passTurn(20'000);  // seat 0 used 5 s: nothing on the bank
    clock.passTurn(32'000);  // seat 1 again, 12 s: 3 more
    EXPECT_EQ(clock.bankSeconds(1, 32'000), 9);
    EXPECT_EQ(clock.bankSeconds(0, 50'000), 9);  // seat 0 to move for 18 s
    EXPECT_EQ(clock.bankSeconds(7, 50'000), 0);
}

TEST(GameClockTest, TriplesAndTallyBytesAsTheClientsReadThem) {
    EXPECT_EQ(GameClock::triple(3661), (Triple{1, 1, 1}));
    EXPECT_EQ(GameClock::triple(100 * 3600 + 59), (Triple{0, 0, 59}));
    EXPECT_EQ(GameClock::triple(-5), (Triple{0, 0, 0}));
    EXPECT_EQ(tallyBytes(258), (std::array<std::uint8_t, 2>{1, 3}));
    EXPECT_EQ(tallyBytes(254), (std::array<std::uint8_t, 2>{0, 254}));
    EXPECT_EQ(tallyBytes(1'000'000), (std::array<std::uint8_t, 2>{255, 254}));
}

}  // namespace
}  // namespace xq::server
