#include "prefs/sounds.h"

#include <array>

namespace xq {

QString soundFileName(std::uint8_t sound) {
    static const std::array<const char*, 13> kFiles = {
        nullptr,          "Error.wav",       "Go.wav",      "Eat.wav",     "Jiang.wav",
        "Select.wav",     "Begin.wav",       "Warning.wav", "GameWin.wav", "GameFail.wav",
        "PangGuanIn.wav", "PangGuanOut.wav", "TimeOver.wav"};
    if (sound == 0 || sound >= kFiles.size()) return {};
    return QString::fromLatin1(kFiles[sound]);
}

}  // namespace xq
