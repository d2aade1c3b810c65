// The ball sprites: shaded spheres with faces, 39 x 39 pixels on the magenta key colour.
// Every pixel is the average of 5 x 5 samples, blended in (approximately) linear light.
#include "ball_painter.h"

#include "fixed_point.h"

namespace kelvora::tools {

namespace {

// A colour while painting: each channel Q16, 1.0 is full intensity.
struct Shade {
    Fix r = 0;
    Fix g = 0;
    Fix b = 0;
};

constexpr Shade FromRgb(int32_t r, int32_t g, int32_t b) { return {Ratio(r, 255), Ratio(g, 255), Ratio(b, 255)}; }
constexpr Shade Scale(Shade c, Fix k) { return {Mul(c.r, k), Mul(c.g, k), Mul(c.b, k)}; }
constexpr Shade Add(Shade a, Shade b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
constexpr Shade Mix(Shade a, Shade b, Fix t) { return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)}; }
constexpr Shade TowardWhite(Shade c, Fix t) { return Mix(c, {kOne, kOne, kOne}, t); }

// A shade where a shape covers the point; nothing (false) elsewhere.
struct Covered {
    bool covered = false;
    Shade shade;

    constexpr Covered() = default;
    constexpr Covered(Shade s) : covered(true), shade(s) {}
    explicit operator bool() const { return covered; }
    const Shade& operator*() const { return shade; }
};
constexpr Covered kUncovered{};

// The colours of one ball.
struct Look {
    Shade body;    // the ball's own colour, where the light falls flat on it
    Shade shadow;  // the side turned away from the light
    Shade lit;     // the side facing the light
    Shade ink;     // eye outlines, closed eyes and mouths
    Shade pupil;
};

// Body colours picked so that each pair stays apart in lightness or hue also for eyes with the
// common colour-vision deficiencies (red and green differ in lightness, blue and purple in red).
constexpr Shade kBodyColours[7] = {
    FromRgb(196, 36, 22),    // red
    FromRgb(28, 34, 226),    // blue
    FromRgb(255, 236, 20),   // yellow
    FromRgb(74, 168, 96),    // green
    FromRgb(160, 62, 178),   // purple
    FromRgb(244, 138, 24),   // orange
    FromRgb(118, 214, 255),  // light blue
};

Look OrdinaryLook(int32_t colourCode) {
    const Shade body = kBodyColours[colourCode - 2];
    Look look;
    look.body = body;
    // The shadow side darkens and leans slightly towards blue, as under an open sky.
    look.shadow = Add(Scale(body, Ratio(30, 100)), FromRgb(4, 4, 12));
    look.lit = TowardWhite(body, Ratio(22, 100));
    look.ink = Add(Scale(body, Ratio(18, 100)), FromRgb(14, 10, 18));
    look.pupil = FromRgb(22, 18, 30);
    return look;
}

Look MagicLook() {
    Look look;
    look.body = FromRgb(232, 246, 250);
    look.shadow = FromRgb(118, 176, 196);
    look.lit = FromRgb(255, 255, 255);
    look.ink = FromRgb(36, 64, 80);
    look.pupil = FromRgb(22, 40, 56);
    return look;
}

constexpr Shade kEyeWhite = FromRgb(250, 250, 246);
constexpr Shade kCatchLight = FromRgb(255, 255, 255);
constexpr Shade kTeeth = FromRgb(246, 246, 238);
// Edge pixels are blended towards a dark cell colour, never towards the key colour, so no pink
// fringe shows on either cell background.
constexpr Shade kEdgeBackground = FromRgb(16, 16, 16);

// Light from the upper left, in front; the specular half-vector points between it and the eye.
constexpr Fix kLightX = Ratio(-48, 100), kLightY = Ratio(-62, 100), kLightZ = Ratio(62, 100);
constexpr Fix kHalfX = Ratio(-26, 100), kHalfY = Ratio(-34, 100), kHalfZ = Ratio(90, 100);

constexpr int32_t kSamples = 5;
constexpr Fix kCentre = Ratio(39, 2);            // the sprite's centre, 19.5 pixels
constexpr Fix kBallRadius = Ratio(29, 2);        // ordinary balls: 29 pixels across
constexpr Fix kMagicSphereRadius = Ratio(25, 2);    // the white sphere of the magic ball
constexpr Fix kMagicRingRadius = Ratio(158, 10);
constexpr Fix kMagicGlowRadius = Ratio(39, 2);   // the glow reaches every edge of the square

Fix Square(Fix v) { return Mul(v, v); }

Fix Length(Fix x, Fix y) { return Sqrt(Square(x) + Square(y)); }

bool InEllipse(Fix u, Fix v, Fix a, Fix b) { return Square(Div(u, a)) + Square(Div(v, b)) <= kOne; }

Fix DistanceToSegment(Fix u, Fix v, Fix ax, Fix ay, Fix bx, Fix by) {
    const Fix dx = bx - ax, dy = by - ay;
    const Fix along = Clamp(Div(Mul(u - ax, dx) + Mul(v - ay, dy), Square(dx) + Square(dy)), 0, kOne);
    return Length(u - ax - Mul(along, dx), v - ay - Mul(along, dy));
}

// Distance to the lower part of a circle around (cu, cv): the arc below the two points at
// `rise` (a sine) below the centre's height.
Fix DistanceToLowerArc(Fix u, Fix v, Fix cu, Fix cv, Fix radius, Fix rise) {
    const Fix du = u - cu, dv = v - cv;
    const Fix d = Length(du, dv);
    if (dv >= Mul(rise, d)) return d > radius ? d - radius : radius - d;
    const Fix endU = Mul(radius, Sqrt(kOne - Square(rise)));
    const Fix endV = Mul(radius, rise);
    const Fix left = Length(du + endU, dv - endV);
    const Fix right = Length(du - endU, dv - endV);
    return left < right ? left : right;
}

// Where the pupils look in the awake faces: ahead, left, right, up, down.
struct Gaze {
    Fix u;
    Fix v;
};
constexpr Gaze kGazes[5] = {
    {0, Ratio(2, 100)},
    {Ratio(-8, 100), Ratio(2, 100)},
    {Ratio(8, 100), Ratio(2, 100)},
    {0, Ratio(-9, 100)},
    {0, Ratio(11, 100)},
};

constexpr Fix kEyeSpacing = Ratio(31, 100);  // each eye's distance from the middle
constexpr Fix kEyeHeight = Ratio(-2, 100);
constexpr Fix kEyeSides[2] = {-kEyeSpacing, kEyeSpacing};
constexpr Fix kSigns[2] = {-1, 1};
constexpr Fix kLineHalfWidth = Ratio(52, 1000);

Covered OpenEyesAndSmile(const Look& look, int32_t group, Fix u, Fix v) {
    const Gaze gaze = kGazes[group - 2];
    for (const Fix side : kEyeSides) {
        const Fix eu = u - side, ev = v - kEyeHeight;
        constexpr Fix a = Ratio(18, 100), b = Ratio(24, 100), outline = Ratio(55, 1000);
        if (!InEllipse(eu, ev, a + outline, b + outline)) continue;
        if (!InEllipse(eu, ev, a, b)) return look.ink;
        const Fix pu = eu - gaze.u, pv = ev - gaze.v;
        if (Length(pu + Ratio(45, 1000), pv + Ratio(50, 1000)) <= Ratio(45, 1000)) return kCatchLight;
        if (Length(pu, pv) <= Ratio(115, 1000)) return look.pupil;
        return kEyeWhite;
    }
    if (DistanceToLowerArc(u, v, 0, Ratio(20, 100), Ratio(22, 100), Ratio(45, 100)) <= kLineHalfWidth) return look.ink;
    return kUncovered;
}

Covered ClosedEyes(const Look& look, Fix u, Fix v) {
    for (const Fix side : kEyeSides) {
        if (DistanceToLowerArc(u, v, side, Ratio(-8, 100), Ratio(16, 100), Ratio(22, 100)) <= kLineHalfWidth) {
            return look.ink;
        }
    }
    return kUncovered;
}

// The clenched teeth are laid out in whole pixels around the sprite's centre (the middle of
// pixel 19): teeth of 3 x 1 pixels read crisply at the sprite's own size, where anti-aliased
// fractions of pixels would blur into a grey smear.
Covered ClenchedTeeth(const Look& look, Fix x, Fix y) {
    const Fix ax = x < 0 ? -x : x;
    if (ax > Ratio(13, 2) || y < Ratio(7, 2) || y > Ratio(17, 2)) return kUncovered;
    const bool rimRow = y < Ratio(9, 2) || y > Ratio(15, 2);
    const bool rimColumn = ax > Ratio(11, 2);
    if (rimRow && rimColumn) return kUncovered;  // rounded corners
    if (rimRow || rimColumn) return look.ink;
    if (y > Ratio(11, 2) && y < Ratio(13, 2)) return look.ink;          // where the rows bite
    if (ax > Ratio(3, 2) && ax < Ratio(5, 2)) return look.ink;          // between the teeth
    return kTeeth;
}

Covered SqueezedEyesAndTeeth(const Look& look, Fix u, Fix v, Fix radius) {
    // Eyes pressed shut as "> <", the points towards the nose.
    for (const Fix side : kSigns) {
        const Fix apexU = side * Ratio(18, 100), outerU = side * Ratio(42, 100);
        const Fix apexV = Ratio(-2, 100);
        const Fix arm = Ratio(12, 100);
        if (DistanceToSegment(u, v, apexU, apexV, outerU, apexV - arm) <= kLineHalfWidth ||
            DistanceToSegment(u, v, apexU, apexV, outerU, apexV + arm) <= kLineHalfWidth) {
            return look.ink;
        }
    }
    return ClenchedTeeth(look, Mul(u, radius), Mul(v, radius));
}

// The face at (u, v) on a ball of the given radius in pixels.
Covered FaceAt(const Look& look, int32_t group, Fix u, Fix v, Fix radius) {
    // Every feature lies in this box; most of the ball needs no look at the face.
    if (u < -Ratio(6, 10) || u > Ratio(6, 10) || v < -Ratio(4, 10) || v > Ratio(72, 100)) return kUncovered;
    if (group == 1) return ClosedEyes(look, u, v);
    if (group >= 2 && group <= 6) return OpenEyesAndSmile(look, group, u, v);
    if (group == 7) return SqueezedEyesAndTeeth(look, u, v, radius);
    return kUncovered;
}

Shade Clamped(Shade c) { return {Clamp(c.r, 0, kOne), Clamp(c.g, 0, kOne), Clamp(c.b, 0, kOne)}; }

// A point (u, v) of a sphere of radius 1 seen from the front, with its face; the sphere is
// `radius` pixels on the sprite.
Shade ShadeSphere(const Look& look, int32_t group, Fix u, Fix v, Fix radius) {
    const Fix w = Sqrt(kOne - Square(u) - Square(v));
    const Fix facing = Mul(u, kLightX) + Mul(v, kLightY) + Mul(w, kLightZ);
    // Wrapped light keeps the shadow side soft instead of cutting it off at the terminator.
    const Fix light = Clamp(Div(facing + Ratio(50, 100), Ratio(150, 100)), 0, kOne);
    constexpr Fix kFlat = Ratio(72, 100);
    Shade c = light < kFlat ? Mix(look.shadow, look.body, SmoothStep(0, kFlat, light))
                            : Mix(look.body, look.lit, Div(light - kFlat, kOne - kFlat));
    // Light bounced from below right brightens the lower edge, so the ball reads as round on a
    // dark cell.
    const Fix edge = Power(kOne - w, 2);
    const Fix bounce = Clamp(Mul(u, Ratio(45, 100)) + Mul(v, Ratio(80, 100)), 0, kOne);
    c = Add(c, Scale(look.body, Mul(Mul(edge, bounce), Ratio(55, 100))));
    if (const Covered feature = FaceAt(look, group, u, v, radius)) {
        c = Scale(*feature, Ratio(84, 100) + Mul(light, Ratio(18, 100)));
    }
    const Fix mirror = Mul(u, kHalfX) + Mul(v, kHalfY) + Mul(w, kHalfZ);
    if (mirror > 0) {
        const Fix gloss = Mul(Power(mirror, 10), Ratio(16, 100)) + Mul(Power(mirror, 40), Ratio(26, 100)) + Mul(Power(mirror, 220), Ratio(70, 100));
        c = Mix(c, {kOne, kOne, kOne}, Clamp(gloss, 0, kOne));
    }
    return Clamped(c);
}

Covered SampleOrdinary(const Look& look, int32_t group, Fix x, Fix y) {
    const Fix dx = x - kCentre, dy = y - kCentre;
    if (Square(dx) + Square(dy) > Square(kBallRadius)) return kUncovered;
    return ShadeSphere(look, group, Div(dx, kBallRadius), Div(dy, kBallRadius), kBallRadius);
}

Covered SampleMagic(const Look& look, int32_t group, Fix x, Fix y) {
    const Fix dx = x - kCentre, dy = y - kCentre;
    const Fix d = Length(dx, dy);
    if (d > kMagicGlowRadius) return kUncovered;
    if (d <= kMagicSphereRadius) {
        const Shade sphere = ShadeSphere(look, group, Div(dx, kMagicSphereRadius), Div(dy, kMagicSphereRadius), kMagicSphereRadius);
        // The sphere's rim picks up the cyan of the ring around it.
        const Fix rim = SmoothStep(kMagicSphereRadius - 3 * kOne, kMagicSphereRadius, d);
        return Clamped(Add(sphere, Scale(FromRgb(0, 70, 90), rim)));
    }
    const Fix off = d > kMagicRingRadius ? d - kMagicRingRadius : kMagicRingRadius - d;  // pixels from the ring
    const Fix core = ExpNeg(Mul(Square(off), Ratio(9, 10))) >> (kFineBits - kFixBits);
    Fix halo = ExpNeg(Mul(off, Ratio(75, 100))) >> (kFineBits - kFixBits);
    // The halo dies out before the edge of the square, so the cut to the key colour never shows.
    halo = Mul(halo, kOne - SmoothStep(kMagicGlowRadius - 3 * kOne, kMagicGlowRadius, d));
    // Light spilling from the white sphere fills the gap between it and the ring.
    const Fix spill = ExpNeg(Mul(d - kMagicSphereRadius, Ratio(9, 10))) >> (kFineBits - kFixBits);
    Shade c = FromRgb(14, 20, 24);
    c = Add(c, Scale(FromRgb(20, 200, 235), Mul(halo, Ratio(80, 100))));
    c = Add(c, Scale(FromRgb(90, 190, 210), Mul(spill, Ratio(60, 100))));
    c = Add(c, Scale(FromRgb(170, 255, 255), core));
    return Clamped(c);
}

uint8_t ToByte(Fix linearSquared) {
    // Samples were averaged as squares (gamma 2); the square root returns to display values.
    const Fix v = Sqrt(linearSquared);
    const Fix byte = (v * 255 + kOne / 2) >> kFixBits;
    return static_cast<uint8_t>(Clamp(byte, 0, 255));
}

}  // namespace

Image PaintBall(int32_t colourCode, int32_t group) {
    Image image(kSpriteSide, kSpriteSide, kKeyColour);
    const bool magic = colourCode == 1;
    const Look look = magic ? MagicLook() : OrdinaryLook(colourCode);
    for (int32_t py = 0; py < kSpriteSide; ++py) {
        for (int32_t px = 0; px < kSpriteSide; ++px) {
            Fix sumR = 0, sumG = 0, sumB = 0;
            int32_t covered = 0;
            for (int32_t sy = 0; sy < kSamples; ++sy) {
                for (int32_t sx = 0; sx < kSamples; ++sx) {
                    const Fix x = px * kOne + (2 * sx + 1) * kOne / (2 * kSamples);
                    const Fix y = py * kOne + (2 * sy + 1) * kOne / (2 * kSamples);
                    const Covered sample = magic ? SampleMagic(look, group, x, y) : SampleOrdinary(look, group, x, y);
                    if (sample) ++covered;
                    const Shade c = sample ? *sample : kEdgeBackground;
                    sumR += Square(c.r);
                    sumG += Square(c.g);
                    sumB += Square(c.b);
                }
            }
            if (covered == 0) continue;
            constexpr int32_t count = kSamples * kSamples;
            Colour pixel{ToByte(sumR / count), ToByte(sumG / count), ToByte(sumB / count)};
            if (pixel == kKeyColour) pixel.g = 1;  // the key colour belongs to the outside alone
            image.At(px, py) = pixel;
        }
    }
    return image;
}

}  // namespace kelvora::tools
