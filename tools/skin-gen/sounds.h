#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace skingen {

struct Sound {
    QString file;  // name under Sound/
    std::vector<std::int16_t> samples;
};

constexpr int kSoundRate = 22050;

// The twelve game sounds, each short and recognisable on its own.
std::vector<Sound> makeSounds();

}  // namespace skingen
