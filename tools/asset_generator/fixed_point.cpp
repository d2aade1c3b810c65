// Integer fixed-point arithmetic for the asset generator.
#include "fixed_point.h"

namespace kelvora::tools {

Fix SmoothStep(Fix edge0, Fix edge1, Fix v) {
    if (v <= edge0) return 0;
    if (v >= edge1) return kOne;
    const Fix t = Div(v - edge0, edge1 - edge0);
    return Mul(Mul(t, t), 3 * kOne - 2 * t);
}

uint64_t IntegerSqrt(uint64_t v) {
    // A floating-point estimate, then corrected in integers: the result is the exact floor of
    // the root whatever the estimate's last bits were.
    uint64_t r = static_cast<uint64_t>(__builtin_sqrt(static_cast<double>(v)));
    while (r > 0 && (r > UINT32_MAX || r * r > v)) --r;
    while (r < UINT32_MAX && (r + 1) * (r + 1) <= v) ++r;
    return r;
}

Fix Sqrt(Fix v) {
    if (v <= 0) return 0;
    return static_cast<Fix>(IntegerSqrt(static_cast<uint64_t>(v) << kFixBits));
}

Fix Power(Fix base, unsigned exponent) {
    Fix result = kOne;
    while (exponent != 0) {
        if (exponent & 1u) result = Mul(result, base);
        base = Mul(base, base);
        exponent >>= 1;
    }
    return result;
}

namespace {

constexpr Fine kHalfPi = 1686629713;  // pi/2 in Q30
constexpr Fine kLn2 = 744261118;      // ln 2 in Q30
constexpr Fine kLog2E = 1549082005;   // log2(e) in Q30

// sin(theta) for theta in [0, pi/2], Q30, by its Taylor series to the 11th power; the first
// neglected term is below 4e-8 there.
Fine QuarterSine(Fine theta) {
    const Fine t2 = FineMul(theta, theta);
    Fine s = kFineOne - t2 / 110;
    s = kFineOne - FineMul(t2, s) / 72;
    s = kFineOne - FineMul(t2, s) / 42;
    s = kFineOne - FineMul(t2, s) / 20;
    s = kFineOne - FineMul(t2, s) / 6;
    return FineMul(theta, s);
}

}  // namespace

Fine Sine(uint32_t phase) {
    const uint32_t quadrant = phase >> 30;
    uint32_t within = phase & 0x3FFFFFFFu;  // Q30 fraction of a quarter turn
    if (quadrant & 1u) within = 0x40000000u - within;
    const Fine theta = FineMul(static_cast<Fine>(within), kHalfPi);
    const Fine s = QuarterSine(theta);
    return quadrant >= 2 ? -s : s;
}

Fine ExpNeg(Fix x) {
    if (x <= 0) return kFineOne;
    if (x >= 64 * kOne) return 0;
    // e^-x = 2^-(x log2 e): whole powers of two by shifting, the rest by a series for e^-u with
    // u in [0, ln 2).
    const Fine y = (x * kLog2E) >> kFixBits;  // Q30
    const int64_t whole = y >> kFineBits;
    if (whole >= 31) return 0;
    const Fine u = FineMul(y & (kFineOne - 1), kLn2);
    // 1/n in Q30 for the series; the 11th term is below 1e-9 for u < ln 2.
    static constexpr Fine kInverse[11] = {0, kFineOne, kFineOne / 2, kFineOne / 3, kFineOne / 4, kFineOne / 5,
                                          kFineOne / 6, kFineOne / 7, kFineOne / 8, kFineOne / 9, kFineOne / 10};
    Fine term = kFineOne;
    Fine sum = kFineOne;
    for (int n = 1; n <= 10; ++n) {
        term = -FineMul(FineMul(term, u), kInverse[n]);
        sum += term;
    }
    return sum >> whole;
}

uint32_t PhaseStep(Fix hertz, int32_t sampleRate) {
    // hertz / rate of a turn, as a 32-bit fraction.
    return static_cast<uint32_t>((static_cast<uint64_t>(hertz) << 16) / static_cast<uint64_t>(sampleRate));
}

uint32_t Noise::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

Fine Noise::NextSigned() { return static_cast<Fine>(Next() >> 1) - (Fine{1} << 30); }

}  // namespace kelvora::tools
