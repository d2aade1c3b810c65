// The seven ball colours stay apart for players with normal colour vision and for players with
// protanopia, deuteranopia or tritanopia, simulated with the Machado, Oliveira and Fernandes
// (2009) matrices at severity 1.0 on linear RGB, compared as CIE76 differences in CIELAB.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "assets/ball_sprites.h"

namespace kelvora {
namespace {

// Every pair of ball colours differs by at least this much, under every simulated vision. A
// difference of about 2 is just noticeable side by side; balls on a board need far more.
constexpr double kMinimumDifference = 20.0;

using Vector = std::array<double, 3>;
using Matrix = std::array<Vector, 3>;

constexpr Matrix kNormal{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
constexpr Matrix kProtanopia{{{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix kDeuteranopia{{{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix kTritanopia{{{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}};

double Linear(double srgb) {
    const double c = srgb / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Vector Times(const Matrix& m, const Vector& v) {
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2], m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

// Linear sRGB (D65) to CIELAB.
Vector Lab(Vector rgb) {
    for (double& c : rgb) c = std::clamp(c, 0.0, 1.0);
    constexpr Matrix kToXyz{{{0.4124564, 0.3575761, 0.1804375}, {0.2126729, 0.7151522, 0.0721750}, {0.0193339, 0.1191920, 0.9503041}}};
    const Vector xyz = Times(kToXyz, rgb);
    const auto f = [](double t) { return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0; };
    const double fx = f(xyz[0] / 0.95047), fy = f(xyz[1]), fz = f(xyz[2] / 1.08883);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

// The colour a player sees on the ball: the mean, in linear light, of the plain sprite's pixels
// that lie well inside the ball, shadow side and highlight included.
Vector BodyColour(std::span<const uint8_t> sprite) {
    Vector sum{};
    int32_t count = 0;
    for (int32_t y = 0; y < 39; ++y) {
        for (int32_t x = 0; x < 39; ++x) {
            if (std::hypot(x + 0.5 - 19.5, y + 0.5 - 19.5) > 13.0) continue;
            const size_t at = 54 + static_cast<size_t>(38 - y) * 120 + static_cast<size_t>(x) * 3;
            sum[0] += Linear(sprite[at + 2]);
            sum[1] += Linear(sprite[at + 1]);
            sum[2] += Linear(sprite[at]);
            ++count;
        }
    }
    for (double& c : sum) c /= count;
    return sum;
}

TEST(BallColours, StayApartForCommonColourVisionDeficiencies) {
    const char* const names[7] = {"red", "blue", "yellow", "green", "purple", "orange", "light blue"};
    std::array<Vector, 7> bodies;
    for (int32_t code = 2; code <= 8; ++code) bodies[static_cast<size_t>(code - 2)] = BodyColour(kBallSprites[static_cast<size_t>(code - 1)]);
    const std::pair<const char*, Matrix> visions[] = {
        {"normal", kNormal}, {"protanopia", kProtanopia}, {"deuteranopia", kDeuteranopia}, {"tritanopia", kTritanopia}};
    for (const auto& [vision, matrix] : visions) {
        double closest = 1e9;
        for (size_t i = 0; i < bodies.size(); ++i) {
            for (size_t j = i + 1; j < bodies.size(); ++j) {
                const Vector a = Lab(Times(matrix, bodies[i]));
                const Vector b = Lab(Times(matrix, bodies[j]));
                const double difference = std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
                closest = std::min(closest, difference);
                EXPECT_GE(difference, kMinimumDifference) << vision << ": " << names[i] << " and " << names[j];
            }
        }
        RecordProperty(vision, std::to_string(closest));
        std::printf("closest pair under %s vision: %.1f\n", vision, closest);
    }
}

}  // namespace
}  // namespace kelvora
