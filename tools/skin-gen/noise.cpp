#include "noise.h"

#include <cmath>

namespace skingen {

namespace {

std::uint32_t mix(std::uint32_t h) {
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

double smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

}  // namespace

double Noise::scatter(int x, int y) const {
    const std::uint32_t h = mix(static_cast<std::uint32_t>(x) * 0x9E3779B1U ^
                                mix(static_cast<std::uint32_t>(y) + seed_));
    return (h >> 8) / static_cast<double>(1U << 24);
}

double Noise::at(double x, double y) const {
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const double tx = smooth(x - fx), ty = smooth(y - fy);
    const double a = scatter(ix, iy), b = scatter(ix + 1, iy);
    const double c = scatter(ix, iy + 1), d = scatter(ix + 1, iy + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double Noise::fbm(double x, double y, int octaves) const {
    double sum = 0.0, weight = 0.5, total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * at(x, y);
        total += weight;
        x = x * 2.0 + 17.31;
        y = y * 2.0 + 7.77;
        weight *= 0.5;
    }
    return sum / total;
}

}  // namespace skingen
