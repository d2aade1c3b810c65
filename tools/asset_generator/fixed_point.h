// Integer fixed-point arithmetic for the asset generator. Every number that ends up in an asset's
// bytes goes through these, so the assets come out bit-identical on every machine and compiler.
#pragma once

#include <cstdint>

namespace kelvora::tools {

// Q16: 65536 is 1.0.
using Fix = int64_t;
constexpr int kFixBits = 16;
constexpr Fix kOne = Fix{1} << kFixBits;

// Q30 for the few places that need more precision than Q16 (oscillators, filters).
using Fine = int64_t;
constexpr int kFineBits = 30;
constexpr Fine kFineOne = Fine{1} << kFineBits;

constexpr Fine FineMul(Fine a, Fine b) { return (a * b) >> kFineBits; }

// Rounds a literal-like ratio num/den to Q16 at compile time.
constexpr Fix Ratio(int64_t num, int64_t den) {
    const int64_t scaled = num * kOne;
    return (scaled + (scaled >= 0 ? den / 2 : -den / 2)) / den;
}
constexpr Fix Mul(Fix a, Fix b) { return (a * b) >> kFixBits; }
constexpr Fix Div(Fix a, Fix b) { return (a << kFixBits) / b; }
constexpr Fix Clamp(Fix v, Fix lo, Fix hi) { return v < lo ? lo : (v > hi ? hi : v); }
constexpr Fix Lerp(Fix a, Fix b, Fix t) { return a + Mul(b - a, t); }
// 0 below edge0, 1 above edge1, a smooth S-curve between.
Fix SmoothStep(Fix edge0, Fix edge1, Fix v);

// Floor of the square root of a non-negative integer.
uint64_t IntegerSqrt(uint64_t v);
// Square root in Q16; 0 for negative input.
Fix Sqrt(Fix v);
// Integer power by repeated squaring, Q16 in and out.
Fix Power(Fix base, unsigned exponent);

// Sine of a phase given as a 32-bit fraction of a turn (2^32 is one full turn), in Q30.
Fine Sine(uint32_t phase);
// e^-x for x >= 0 in Q16, result in Q30. Large arguments give 0.
Fine ExpNeg(Fix x);

// A 32-bit phase increment for a frequency in Q16 hertz at a sample rate.
uint32_t PhaseStep(Fix hertz, int32_t sampleRate);

// A small deterministic noise source (xorshift32).
struct Noise {
    uint32_t state = 0x9E3779B9u;
    uint32_t Next();
    // Uniform in [-1, 1), Q30.
    Fine NextSigned();
};

}  // namespace kelvora::tools
