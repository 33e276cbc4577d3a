#include <gtest/gtest.h>

#include "engine/self_play.h"

namespace xq::engine::test {
namespace {

// Short games between engines of different levels: every move must be legal and in time.
TEST(SelfPlayTest, EnginesPlayOnlyLegalMoves) {
    struct Case {
        int red;
        int black;
    };
    for (const Case c : {Case{1, 2}, Case{3, 1}, Case{2, 4}}) {
        SCOPED_TRACE(testing::Message() << "level " << c.red << " against " << c.black);
        SelfPlayer red{profileForLevel(c.red), 1};
        SelfPlayer black{profileForLevel(c.black), 1};
        // Small budgets keep this quick even in a sanitizer build.
        red.profile.capMs = black.profile.capMs = 40;
        red.profile.maxDepth = std::min(red.profile.maxDepth, 3);
        black.profile.maxDepth = std::min(black.profile.maxDepth, 3);
        SelfPlayOptions options;
        options.maxPlies = 60;
        options.seed = static_cast<std::uint32_t>(c.red * 10 + c.black);
        const SelfPlayGame game = playSelfGame(red, black, options);
        EXPECT_EQ(game.illegalMoves, 0);
        EXPECT_EQ(game.timeOverruns, 0);
        EXPECT_EQ(static_cast<int>(game.moves.size()), game.plies);
        EXPECT_GT(game.plies, 0);
    }
}

}  // namespace
}  // namespace xq::engine::test
