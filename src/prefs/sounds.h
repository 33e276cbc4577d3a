#pragma once

#include <QString>
#include <cstdint>

namespace xq {

// Sound numbers used by the table.
enum Sound : std::uint8_t {
    kSoundError = 1,
    kSoundGo = 2,
    kSoundEat = 3,
    kSoundJiang = 4,
    kSoundSelect = 5,
    kSoundBegin = 6,
    kSoundWarning = 7,
    kSoundGameWin = 8,
    kSoundGameFail = 9,
    kSoundPangGuanIn = 10,
    kSoundPangGuanOut = 11,
    kSoundTimeOver = 12,
};

// The wave file of a sound number, e.g. "Go.wav"; empty for any other number.
QString soundFileName(std::uint8_t sound);

}  // namespace xq
