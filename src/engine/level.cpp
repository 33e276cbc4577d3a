#include "engine/level.h"

#include <algorithm>
#include <array>

namespace xq::engine {

LevelProfile profileForLevel(int level) {
    static constexpr std::array<LevelProfile, 5> kProfiles = {{
        {1, 1, 300, 220, 20},
        {2, 2, 500, 90, 6},
        {3, 5, 900, 0, 0},
        {4, 64, 1500, 0, 0},
        {5, 64, 2800, 0, 0},
    }};
    return kProfiles[static_cast<std::size_t>(std::clamp(level, kMinLevel, kMaxLevel) - 1)];
}

}  // namespace xq::engine
