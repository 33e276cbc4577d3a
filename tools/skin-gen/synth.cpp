#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skingen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kRelease = 0.012;  // seconds faded at every note's end against clicks

}  // namespace

Synth::Synth(double seconds, int sampleRate)
    : rate_(sampleRate), mix_(static_cast<std::size_t>(seconds * sampleRate), 0.0) {}

void Synth::add(std::size_t at, double value) {
    if (at < mix_.size()) mix_[at] += value;
}

void Synth::note(double start, double length, double f0, double amp, const Timbre& timbre,
                 double f1, double vibrato) {
    if (f1 <= 0.0) f1 = f0;
    const auto first = static_cast<std::size_t>(start * rate_);
    const auto count = static_cast<std::size_t>(length * rate_);
    std::vector<double> phase(timbre.ratios.size(), 0.0);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate_;
        const double glide = f0 * std::pow(f1 / f0, t / length);
        const double freq = glide * (1.0 + vibrato * std::sin(kTwoPi * 5.5 * t));
        double env = std::exp(-timbre.decay * t);
        if (t < timbre.attack) env *= t / timbre.attack;
        if (length - t < kRelease) env *= (length - t) / kRelease;
        double v = 0.0;
        for (std::size_t p = 0; p < timbre.ratios.size(); ++p) {
            const double f = freq * timbre.ratios[p];
            if (f >= rate_ / 2.0) continue;
            phase[p] += kTwoPi * f / rate_;
            // Upper partials die away faster, as they do on struck and plucked things.
            v += timbre.levels[p] * std::sin(phase[p]) * std::exp(-timbre.decay * 0.6 * p * t);
        }
        add(first + i, amp * env * v);
    }
}

void Synth::knock(double start, double amp, double body, double damping) {
    const auto first = static_cast<std::size_t>(start * rate_);
    const auto count = static_cast<std::size_t>(std::min(0.25, 8.0 / damping) * rate_);
    const double modes[] = {1.0, 2.32, 4.25};
    const double levels[] = {1.0, 0.45, 0.2};
    double low = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate_;
        noiseState_ = noiseState_ * 1664525u + 1013904223u;
        const double white = (static_cast<double>(noiseState_ >> 8) / (1u << 24)) * 2.0 - 1.0;
        low += 0.35 * (white - low);
        double v = low * std::exp(-t * 900.0) * 0.8;
        for (int m = 0; m < 3; ++m)
            v += levels[m] * std::sin(kTwoPi * body * modes[m] * t) *
                 std::exp(-damping * (1 + m) * t);
        add(first + i, amp * v);
    }
}

std::vector<std::int16_t> Synth::finish(double peak) const {
    double top = 1e-9;
    for (const double v : mix_)
        top = std::max(top, std::abs(v));
    std::vector<std::int16_t> out(mix_.size());
    const std::size_t fade = static_cast<std::size_t>(kRelease * rate_);
    for (std::size_t i = 0; i < mix_.size(); ++i) {
        double v = mix_[i] / top * peak;
        const std::size_t left = mix_.size() - i;
        if (left < fade) v *= static_cast<double>(left) / fade;
        out[i] = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
    }
    return out;
}

double semitone(int fromA4) {
    return 440.0 * std::pow(2.0, fromA4 / 12.0);
}

}  // namespace skingen
