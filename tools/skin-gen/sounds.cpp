#include "sounds.h"

#include "synth.h"

namespace skingen {

namespace {

// Note names as semitones from A4.
constexpr int kC4 = -9, kE4 = -5, kDs4 = -6, kD4 = -7, kG4 = -2, kC5 = 3, kE5 = 7, kG5 = 10,
              kA5 = 12, kC6 = 15, kE6 = 19, kB5 = 14;

const Timbre kMarimba{{1.0, 4.0, 9.9}, {1.0, 0.35, 0.08}, 0.002, 9.0};
const Timbre kVibes{{1.0, 4.0, 2.0}, {1.0, 0.25, 0.15}, 0.003, 4.5};
const Timbre kBell{{1.0, 2.76, 5.4, 8.9}, {1.0, 0.5, 0.25, 0.12}, 0.001, 5.0};
const Timbre kBrass{{1.0, 2.0, 3.0, 4.0, 5.0}, {1.0, 0.55, 0.35, 0.2, 0.1}, 0.03, 1.5};
const Timbre kBeep{{1.0, 2.0, 3.0}, {1.0, 0.15, 0.08}, 0.004, 2.0};
const Timbre kHollow{{1.0, 3.0, 5.0}, {1.0, 0.3, 0.12}, 0.005, 7.0};
const Timbre kMuted{{1.0, 2.0, 3.0}, {1.0, 0.4, 0.25}, 0.04, 2.5};

std::vector<std::int16_t> go() {
    Synth s(0.18, kSoundRate);
    s.knock(0.0, 1.0, 720.0, 38.0);
    return s.finish();
}

std::vector<std::int16_t> eat() {
    Synth s(0.32, kSoundRate);
    s.knock(0.0, 0.7, 820.0, 40.0);
    s.knock(0.055, 1.0, 560.0, 26.0);
    s.note(0.055, 0.2, 140.0, 0.5, kHollow, 110.0);
    return s.finish(0.65);
}

std::vector<std::int16_t> select() {
    Synth s(0.09, kSoundRate);
    s.knock(0.0, 0.6, 1650.0, 70.0);
    s.note(0.0, 0.09, semitone(kE6), 0.35, kMarimba);
    return s.finish(0.45);
}

std::vector<std::int16_t> jiang() {
    Synth s(0.7, kSoundRate);
    s.note(0.0, 0.7, semitone(kE6), 0.8, kBell);
    s.note(0.16, 0.54, semitone(kB5), 1.0, kBell);
    return s.finish();
}

std::vector<std::int16_t> error() {
    Synth s(0.32, kSoundRate);
    s.note(0.0, 0.13, semitone(kE4), 1.0, kHollow);
    s.note(0.15, 0.17, semitone(kC4), 1.0, kHollow);
    return s.finish(0.5);
}

std::vector<std::int16_t> begin() {
    Synth s(0.8, kSoundRate);
    const int notes[] = {kC5, kE5, kG5, kC6};
    for (int i = 0; i < 4; ++i)
        s.note(0.1 * i, 0.8 - 0.1 * i, semitone(notes[i]), i == 3 ? 1.0 : 0.8, kMarimba);
    return s.finish();
}

std::vector<std::int16_t> warning() {
    Synth s(0.36, kSoundRate);
    s.note(0.0, 0.11, semitone(kC6), 1.0, kBeep);
    s.note(0.2, 0.11, semitone(kC6), 1.0, kBeep);
    return s.finish(0.5);
}

std::vector<std::int16_t> gameWin() {
    Synth s(0.95, kSoundRate);
    const int notes[] = {kG4, kC5, kE5};
    for (int i = 0; i < 3; ++i)
        s.note(0.11 * i, 0.12, semitone(notes[i]), 0.8, kBrass);
    s.note(0.33, 0.62, semitone(kG5), 1.0, kBrass, 0.0, 0.004);
    s.note(0.33, 0.62, semitone(kC5), 0.5, kBrass);
    s.note(0.33, 0.62, semitone(kE5), 0.45, kBrass);
    return s.finish();
}

std::vector<std::int16_t> gameFail() {
    Synth s(0.98, kSoundRate);
    s.note(0.0, 0.22, semitone(kE4), 1.0, kMuted);
    s.note(0.24, 0.22, semitone(kDs4), 1.0, kMuted);
    s.note(0.48, 0.5, semitone(kD4), 1.0, kMuted, semitone(kD4) * 0.94, 0.012);
    return s.finish(0.55);
}

std::vector<std::int16_t> pangGuanIn() {
    Synth s(0.55, kSoundRate);
    s.note(0.0, 0.55, semitone(kE5), 0.9, kVibes);
    s.note(0.14, 0.41, semitone(kA5), 1.0, kVibes);
    return s.finish(0.5);
}

std::vector<std::int16_t> pangGuanOut() {
    Synth s(0.55, kSoundRate);
    s.note(0.0, 0.55, semitone(kA5), 0.9, kVibes);
    s.note(0.14, 0.41, semitone(kE5), 1.0, kVibes);
    return s.finish(0.5);
}

std::vector<std::int16_t> timeOver() {
    Synth s(0.85, kSoundRate);
    for (int i = 0; i < 4; ++i)
        s.note(0.09 * i, 0.06, semitone(kE6), 0.8, kBeep);
    s.note(0.4, 0.45, semitone(kC5), 1.0, kBell);
    s.note(0.4, 0.45, semitone(kC4), 0.5, kBell);
    return s.finish();
}

}  // namespace

std::vector<Sound> makeSounds() {
    return {
        {QStringLiteral("Error.wav"), error()},
        {QStringLiteral("Go.wav"), go()},
        {QStringLiteral("Eat.wav"), eat()},
        {QStringLiteral("Jiang.wav"), jiang()},
        {QStringLiteral("Select.wav"), select()},
        {QStringLiteral("Begin.wav"), begin()},
        {QStringLiteral("Warning.wav"), warning()},
        {QStringLiteral("GameWin.wav"), gameWin()},
        {QStringLiteral("GameFail.wav"), gameFail()},
        {QStringLiteral("PangGuanIn.wav"), pangGuanIn()},
        {QStringLiteral("PangGuanOut.wav"), pangGuanOut()},
        {QStringLiteral("TimeOver.wav"), timeOver()},
    };
}

}  // namespace skingen
