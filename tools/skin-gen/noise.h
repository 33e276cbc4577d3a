#pragma once

#include <cstdint>

namespace skingen {

// Smooth deterministic value noise in [0, 1]: the same seed always gives the same picture, so
// rebuilding never changes the art.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : seed_(seed) {}
    double at(double x, double y) const;
    // Several octaves summed, each half as strong and twice as fine as the one before.
    double fbm(double x, double y, int octaves) const;
    // A hash value in [0, 1) for an integer point; for scattering details.
    double scatter(int x, int y) const;

private:
    std::uint32_t seed_;
};

}  // namespace skingen
