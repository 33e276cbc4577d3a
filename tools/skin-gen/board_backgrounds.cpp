// Board backgrounds: the client stretches them over the whole board and draws the grid itself,
// so these are surfaces without lines, one look per board style (the river words come later).
#include <QRgb>
#include <algorithm>
#include <cmath>
#include <future>

#include "noise.h"
#include "skin_art.h"

namespace skingen {

namespace {

constexpr int kWidth = 608;  // the board's own aspect
constexpr int kHeight = 670;

// Plain arithmetic colours: these run for every pixel of four large pictures.
struct Rgb {
    double r, g, b;
};

Rgb mix(const Rgb& a, const Rgb& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(const Rgb& c, double f) {
    return {c.r * f, c.g * f, c.b * f};
}

QRgb toRgb(const Rgb& c) {
    const auto channel = [](double v) { return static_cast<int>(std::clamp(v, 0.0, 255.0) + 0.5); };
    return qRgb(channel(c.r), channel(c.g), channel(c.b));
}

// Darkens towards the rim a little, as a lit table does.
double vignette(double x, double y, double strength) {
    const double dx = (x / kWidth - 0.5) * 2.0, dy = (y / kHeight - 0.5) * 2.0;
    const double d = (dx * dx + dy * dy) / 2.0;
    return 1.0 - strength * d * std::sqrt(d);
}

// 0 plain: an even cream paper with only a whisper of fibre.
Rgb plain(const Noise& n, double x, double y) {
    const double fibre = n.fbm(x * 0.35, y * 0.05, 3) - 0.5;
    const double cloud = n.fbm(x * 0.006, y * 0.006, 3) - 0.5;
    return scale({238, 210, 156}, 1.0 + 0.03 * fibre + 0.04 * cloud);
}

// Wood: streaks running across the board, bent by low-frequency noise, plus fine fibres.
Rgb wood(const Noise& n, double x, double y, const Rgb& light, const Rgb& dark, double contrast,
         double bend) {
    const double warp = bend * n.fbm(x * 0.0025, y * 0.008, 4);
    const double ring = 0.5 + 0.5 * std::sin(2.0 * M_PI * (y * 0.03 + warp));
    const double streak = ring * ring * ring * ring;
    const double fibre = n.fbm(x * 0.012, y * 0.45, 3);
    const double patch = n.fbm(x * 0.004 + 50, y * 0.004, 3);
    const double t = contrast * (0.5 * streak + 0.45 * fibre) + 0.35 * (patch - 0.5);
    return scale(mix(light, dark, t), vignette(x, y, 0.12));
}

// 3 fashionable: rose-gold brushed metal with a soft diagonal sheen.
Rgb fashionable(const Noise& n, double x, double y) {
    const double u = (x / kWidth + y / kHeight) / 2.0;
    const Rgb c = mix({242, 196, 164}, {206, 142, 124}, u);
    const double brush = n.fbm(x * 0.004, y * 0.9, 3) - 0.5;
    const double sheen = std::exp(-std::pow((u - 0.35) * 4.5, 2.0));
    return mix(scale(c, 1.0 + 0.05 * brush), {255, 240, 228}, 0.28 * sheen);
}

template <typename Surface>
QImage render(Surface surface) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x)
            line[x] = toRgb(surface(x, y));
    }
    return image;
}

QImage board(int style) {
    switch (style) {
        case 0:
            return render([n = Noise(11)](double x, double y) { return plain(n, x, y); });
        case 1:
            return render([n = Noise(23)](double x, double y) {
                return wood(n, x, y, {228, 182, 116}, {196, 140, 72}, 0.55, 4.0);
            });
        case 2:
            return render([n = Noise(37)](double x, double y) {
                return wood(n, x, y, {214, 152, 88}, {140, 78, 34}, 0.9, 1.6);
            });
        default:
            return render([n = Noise(41)](double x, double y) { return fashionable(n, x, y); });
    }
}

}  // namespace

Pictures boardBackgrounds() {
    // The largest pictures by far; each is pure arithmetic, so they are drawn side by side.
    std::vector<std::future<QImage>> boards;
    for (int style = 0; style < 4; ++style)
        boards.push_back(std::async(std::launch::async, board, style));
    Pictures out;
    for (int style = 0; style < 4; ++style)
        out.push_back(
            {QStringLiteral("game/Res/QiPanBack_%1.jpg").arg(style), boards[style].get()});
    return out;
}

}  // namespace skingen
