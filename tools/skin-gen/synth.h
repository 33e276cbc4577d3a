#pragma once

#include <cstdint>
#include <vector>

namespace skingen {

// How a note sounds: relative partial strengths (index 0 is the fundamental) at given frequency
// ratios, a linear attack and an exponential decay.
struct Timbre {
    std::vector<double> ratios{1.0};
    std::vector<double> levels{1.0};
    double attack = 0.004;  // seconds
    double decay = 6.0;     // 1/seconds
};

// Mixes notes and knocks into a mono buffer, then scales it to a comfortable peak.
class Synth {
public:
    explicit Synth(double seconds, int sampleRate = 22050);

    int sampleRate() const { return rate_; }
    // A note gliding from f0 to f1 over its length (f1 = f0 for a steady pitch).
    void note(double start, double length, double f0, double amp, const Timbre& timbre,
              double f1 = 0.0, double vibrato = 0.0);
    // A struck piece of wood: a short noise burst plus quickly damped body modes.
    void knock(double start, double amp, double body, double damping);

    std::vector<std::int16_t> finish(double peak = 0.6) const;

private:
    void add(std::size_t at, double value);
    int rate_;
    std::vector<double> mix_;
    std::uint32_t noiseState_ = 0x2545F491u;
};

// Frequency of a note name's semitone distance from A4 (440 Hz).
double semitone(int fromA4);

}  // namespace skingen
