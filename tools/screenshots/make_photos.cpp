// Writes a folder of photo-like landscapes for the README's screenshots:
//   make_photos FOLDER
// Each picture is painted from noise (sky, clouds, ridges fading into haze,
// water that mirrors them, film grain), so the screenshots show pictures that
// read as photographs without shipping anybody's photographs.

#include "gif/cGIF.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::uint32_t Hash(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed ^ (std::uint32_t(x) * 0x27d4eb2dU) ^ (std::uint32_t(y) * 0x165667b1U);
    h ^= h >> 15;
    h *= 0x85ebca6bU;
    h ^= h >> 13;
    h *= 0xc2b2ae35U;
    return h ^ (h >> 16);
}

double Lattice(int x, int y, std::uint32_t seed) {
    return double(Hash(x, y, seed) & 0xFFFFFF) / double(0xFFFFFF);
}

double Smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

double ValueNoise(double x, double y, std::uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const double tx = Smooth(x - fx), ty = Smooth(y - fy);
    const double top = Lattice(ix, iy, seed) * (1 - tx) + Lattice(ix + 1, iy, seed) * tx;
    const double bottom = Lattice(ix, iy + 1, seed) * (1 - tx) + Lattice(ix + 1, iy + 1, seed) * tx;
    return top * (1 - ty) + bottom * ty;
}

/// Fractal noise in 0..1: octaves of value noise, each twice as fine and half as strong.
double Fbm(double x, double y, std::uint32_t seed, int octaves) {
    double sum = 0, weight = 0.5, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * ValueNoise(x, y, seed + std::uint32_t(o) * 1013U);
        total += weight;
        x *= 2.03;
        y *= 2.03;
        weight *= 0.5;
    }
    return sum / total;
}

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(Rgb a, double k) {
    return {a.r * k, a.g * k, a.b * k};
}

struct Scene {
    const char* name;
    Rgb skyTop, skyHorizon, sun;
    double sunX, sunY;     // in picture fractions
    Rgb nearLand, farLand; // the nearest and the farthest ridge
    double horizon;        // where the land meets the sky or the water, as a fraction
    bool water;
    double clouds; // 0 clear .. 1 overcast
    std::uint32_t seed;
};

constexpr std::array<Scene, 8> kScenes{{
    {"alpine-lake.jpg",
     {40, 90, 170},
     {170, 200, 225},
     {255, 245, 220},
     0.75,
     0.18,
     {30, 60, 35},
     {120, 140, 170},
     0.62,
     true,
     0.35,
     11},
    {"autumn-hills.jpg",
     {70, 120, 190},
     {215, 200, 170},
     {255, 230, 180},
     0.2,
     0.25,
     {120, 60, 20},
     {170, 140, 120},
     0.7,
     false,
     0.45,
     23},
    {"desert-dusk.jpg",
     {60, 40, 90},
     {245, 150, 80},
     {255, 210, 140},
     0.5,
     0.55,
     {90, 45, 25},
     {190, 110, 90},
     0.72,
     false,
     0.15,
     37},
    {"misty-morning.jpg",
     {150, 165, 180},
     {225, 225, 220},
     {255, 250, 235},
     0.3,
     0.3,
     {40, 55, 45},
     {175, 185, 190},
     0.66,
     true,
     0.7,
     41},
    {"blue-hour.jpg",
     {15, 25, 70},
     {90, 110, 170},
     {200, 210, 255},
     0.65,
     0.45,
     {10, 15, 30},
     {60, 75, 120},
     0.68,
     true,
     0.25,
     53},
    {"coast-evening.jpg",
     {50, 70, 140},
     {250, 170, 110},
     {255, 220, 160},
     0.4,
     0.5,
     {50, 40, 35},
     {150, 110, 120},
     0.58,
     true,
     0.5,
     67},
    {"green-valley.jpg",
     {60, 120, 210},
     {190, 215, 235},
     {255, 255, 240},
     0.85,
     0.12,
     {45, 100, 30},
     {110, 150, 140},
     0.6,
     false,
     0.3,
     71},
    {"snow-ridge.jpg",
     {35, 80, 160},
     {200, 220, 240},
     {255, 255, 255},
     0.15,
     0.15,
     {215, 220, 230},
     {150, 170, 200},
     0.66,
     false,
     0.2,
     89},
}};

/// The height of ridge `layer` (0 farthest) at column x, as a fraction of the picture.
double Ridge(const Scene& s, int layer, int layers, double x) {
    const double depth = double(layer) / (layers - 1); // 0 far .. 1 near
    const double base = s.horizon - 0.22 + depth * 0.18;
    const double amplitude = 0.24 - depth * 0.14;
    const double n = Fbm(x * (2.0 + depth * 3.0), layer * 7.3, s.seed + layer, 6);
    return base + amplitude * (n - 0.5) * 2;
}

Rgb SkyAt(const Scene& s, double fx, double fy, double aspect) {
    Rgb sky = Mix(s.skyTop, s.skyHorizon, std::pow(fy / s.horizon, 1.6));
    const double dx = (fx - s.sunX) * aspect, dy = fy - s.sunY;
    const double d = std::sqrt(dx * dx + dy * dy);
    sky = Mix(sky, s.sun, std::exp(-d * 9.0) * 0.9 + (d < 0.025 ? 1.0 : 0.0));
    const double cloud = Fbm(fx * 3.0 * aspect, fy * 9.0, s.seed * 3 + 1, 6);
    const double cover = std::clamp((cloud - (1.0 - s.clouds * 0.8)) * 4.0, 0.0, 1.0);
    const Rgb cloudColour = Mix(Scale(s.skyHorizon, 1.08), Scale(s.skyTop, 0.9), fy);
    return Mix(sky, cloudColour, cover * 0.85);
}

Rgb LandAt(const Scene& s, int layer, int layers, double fx, double fy, double top) {
    const double depth = double(layer) / (layers - 1);
    Rgb land = Mix(s.farLand, s.nearLand, depth);
    const double texture = Fbm(fx * (20 + depth * 60), fy * (20 + depth * 60), s.seed + 99, 5);
    land = Scale(land, 0.75 + texture * 0.5);
    const double shade = std::clamp((fy - top) * 6.0, 0.0, 1.0); // darker down the slope
    land = Scale(land, 1.0 - shade * 0.25 * depth);
    return Mix(land, s.skyHorizon, (1.0 - depth) * 0.55); // haze on the far ridges
}

QImage Paint(const Scene& s, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    constexpr int kLayers = 4;
    const double aspect = double(width) / height;
    const int waterTop = s.water ? int(s.horizon * height) : height;
    for (int y = 0; y < waterTop; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double fy = double(y) / height;
        for (int x = 0; x < width; ++x) {
            const double fx = double(x) / width;
            Rgb c = SkyAt(s, fx, fy, aspect);
            for (int layer = 0; layer < kLayers; ++layer) {
                const double top = Ridge(s, layer, kLayers, fx);
                if (fy >= top)
                    c = LandAt(s, layer, kLayers, fx, fy, top);
            }
            row[x] = qRgb(int(std::clamp(c.r, 0.0, 255.0)), int(std::clamp(c.g, 0.0, 255.0)),
                          int(std::clamp(c.b, 0.0, 255.0)));
        }
    }
    // Water mirrors what stands above the shore line, rippled and darker.
    for (int y = waterTop; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int depth = y - waterTop;
        for (int x = 0; x < width; ++x) {
            const double ripple =
                (Fbm(x * 0.004, y * 0.08, s.seed + 5, 3) - 0.5) * (8 + depth * 0.05);
            const int sx = std::clamp(int(x + ripple), 0, width - 1);
            const int sy = std::clamp(waterTop - 1 - depth, 0, waterTop - 1);
            const QRgb m = reinterpret_cast<const QRgb*>(image.constScanLine(sy))[sx];
            const double k = 0.72 - 0.2 * double(depth) / (height - waterTop);
            row[x] = qRgb(int(qRed(m) * k), int(qGreen(m) * k), int(qBlue(m) * k + 12));
        }
    }
    // Film grain, so that flat areas do not look drawn.
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int g = int(Hash(x, y, s.seed) % 9) - 4;
            row[x] =
                qRgb(std::clamp(qRed(row[x]) + g, 0, 255), std::clamp(qGreen(row[x]) + g, 0, 255),
                     std::clamp(qBlue(row[x]) + g, 0, 255));
        }
    }
    return image;
}

/// A short animation for the GIF screenshots: the sun going down over the lake,
/// in a 6x7x6 colour cube with ordered dithering.
bool WriteSunsetGif(const std::string& path) {
    constexpr int kW = 360, kH = 240, kFrames = 16;
    constexpr int kLevels[3] = {6, 7, 6};
    static constexpr int kBayer[4][4] = {
        {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    cGIF gif;
    gif.setScreenWidth(kW);
    gif.setScreenHeight(kH);
    gif.setAnimationLoops(0);
    gif.setGlobalPaletteExists(true);
    gif.setGlobalPaletteEntries(256);
    for (int i = 0; i < 6 * 7 * 6; ++i) {
        std::uint8_t* entry = gif.lpGlobalPalette() + 4 * i;
        entry[2] = std::uint8_t(i / 42 * 255 / 5);    // red
        entry[1] = std::uint8_t(i / 6 % 7 * 255 / 6); // green
        entry[0] = std::uint8_t(i % 6 * 255 / 5);     // blue
        entry[3] = 0;
    }
    Scene scene = kScenes[5];
    for (std::int16_t n = 1; n <= kFrames; ++n) {
        scene.sunY = 0.3 + 0.3 * (n - 1) / (kFrames - 1);
        const QImage frame = Paint(scene, kW, kH);
        gif.FrameInsert(n, kW, kH);
        gif.setFrameDelay(n, 12);
        gif.setFrameDisposalMethod(n, 1);
        const auto dib = gif.FrameDIBXOR(n);
        for (int y = 0; y < kH; ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            for (int x = 0; x < kW; ++x) {
                const double threshold = (kBayer[y % 4][x % 4] + 0.5) / 16.0;
                const int channel[3] = {qRed(src[x]), qGreen(src[x]), qBlue(src[x])};
                int level[3];
                for (int c = 0; c < 3; ++c) {
                    const double v = channel[c] / 255.0 * (kLevels[c] - 1);
                    level[c] = std::min(kLevels[c] - 1, int(v) + (v - int(v) > threshold ? 1 : 0));
                }
                dib->lpBits()[y * dib->BytesPerScanline() + x] =
                    std::uint8_t(level[0] * 42 + level[1] * 6 + level[2]);
            }
        }
    }
    return gif.Save(path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_photos FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        return 1;
    int index = 0;
    for (const Scene& scene : kScenes) {
        // Two sizes, as a folder of real photographs and wallpapers has.
        const bool large = index++ % 2 == 0;
        const QImage photo = Paint(scene, large ? 2400 : 1800, large ? 1600 : 1200);
        if (!photo.save(folder.filePath(QString::fromLatin1(scene.name)), "JPEG", 90)) {
            std::fprintf(stderr, "cannot write %s\n", scene.name);
            return 1;
        }
    }
    return WriteSunsetGif(folder.filePath(QStringLiteral("sunset.gif")).toStdString()) ? 0 : 1;
}
