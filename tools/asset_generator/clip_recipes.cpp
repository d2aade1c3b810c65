// The game's 23 sound clips. Levels are normalised per clip to moderate peaks, because clips
// overlap when mixed (a burst under the score chime, a pick-up over a whoosh).
#include "clip_recipes.h"

#include "synth.h"

namespace kelvora::tools {

namespace {

constexpr int32_t kRate = 22050;
constexpr Fix kPeak = Ratio(45, 100);
// Bursts are mostly noise: a higher peak gives them the same weight as the tonal clips.
constexpr Fix kBurstPeak = Ratio(55, 100);

// Semitones above A4 of the notes the tunes use.
enum Note : int32_t {
    F2 = -28, G2 = -26, C3 = -21, B3 = -10, C4 = -9, D4 = -7, E4 = -5, F4 = -4, G4 = -2, A4 = 0,
    B4 = 2, C5 = 3, D5 = 5, E5 = 7, F5 = 8, G5 = 10, A5 = 12, B5 = 14, C6 = 15, D6 = 17, E6 = 19, G6 = 22,
};

Fix Lerped(Fix from, Fix to, Fix p) { return from + Mul(to - from, Clamp(p, 0, kOne)); }

// --- click -------------------------------------------------------------------------------------

Clip Click() {
    Track track = MakeTrack(kRate, 132, false);
    Oscillator tick, body;
    Noise noise{0x2545F491u};
    OnePole smooth;
    for (size_t i = 0; i < track.samples.size(); ++i) {
        const Fix t = track.TimeOf(i);
        const Fix pitch = Hz(1500) + Mul(Hz(900), ToFix(Decay(t, Seconds(8))));
        Fine s = FineMul(tick.Next(pitch, kRate), Strike(t, Ratio(1, 1000), Seconds(11)));
        s += FineMul(body.Next(Hz(820), kRate), Strike(t, Seconds(2), Seconds(22))) * 4 / 10;
        const Fine n = noise.NextSigned();
        s += FineMul(n - smooth.Lowpass(n, Hz(3000), kRate), Strike(t, Ratio(1, 2000), Seconds(3))) * 3 / 10;
        track.samples[i] = s;
    }
    return Finish(track, nullptr, 16, kPeak, Seconds(2), Seconds(25));
}

// --- spawn: a rising shimmer ---------------------------------------------------------------------

Clip Spawn() {
    Track track = MakeTrack(kRate, 481, false);
    constexpr Fix kRatios[3] = {kOne, Ratio(3, 2), 2 * kOne};
    constexpr Fix kGains[3] = {kOne, Ratio(6, 10), Ratio(45, 100)};
    Oscillator voices[3][2];
    Oscillator tremolo;
    // Sparkles: short pings on upper harmonics of the rising chord.
    constexpr int kPings = 12;
    Oscillator pings[kPings];
    Noise choose{0x68E31DA4u};
    uint32_t pingHarmonic[kPings];
    for (uint32_t& h : pingHarmonic) h = 3 + choose.Next() % 4;
    for (size_t i = 0; i < track.samples.size(); ++i) {
        const Fix t = track.TimeOf(i);
        const Fix base = OctavesUp(Hz(500), Clamp(Div(t, Seconds(400)), 0, kOne));
        Fine chord = 0;
        for (int v = 0; v < 3; ++v) {
            const Fix f = Mul(base, kRatios[v]);
            // Two slightly detuned copies beat against each other: the shimmer.
            const Fine pair = voices[v][0].Next(Mul(f, Ratio(1003, 1000)), kRate) + voices[v][1].Next(Mul(f, Ratio(997, 1000)), kRate);
            chord += FineMul(pair / 2, ToFine(kGains[v]));
        }
        chord = FineMul(chord, kFineOne * 3 / 4 + tremolo.Next(Hz(17), kRate) / 4);
        Fine sparkle = 0;
        for (int k = 0; k < kPings; ++k) {
            const Fix since = t - Seconds(40 + 30 * k);
            if (since < 0 || since > Seconds(150)) continue;
            sparkle += FineMul(pings[k].Next(Mul(base, Fix{pingHarmonic[k]} * kOne), kRate), Strike(since, Seconds(2), Seconds(30)));
        }
        Fine envelope = Swell(t, Seconds(70));
        if (t > Seconds(300)) envelope = FineMul(envelope, Decay(t - Seconds(300), Seconds(60)));
        track.samples[i] = FineMul(chord + sparkle / 5, envelope);
    }
    return Finish(track, nullptr, 16, Ratio(40, 100), Seconds(3), Seconds(30));
}

// --- bursts: a line of balls goes pop --------------------------------------------------------------

struct BurstShape {
    Fix thumpFrom, thumpTo, thumpTau, thumpGain;
    Fix cutFrom, cutTo, cutTau;
    Fix noiseTau, noiseGain;
};

// A thump with falling pitch under a noise burst whose brightness falls away.
void AddBurst(Track& track, Fix start, const BurstShape& shape, uint32_t seed) {
    Oscillator thump;
    Noise noise{seed};
    OnePole tone, tone2;
    for (size_t i = track.IndexOf(start); i < track.samples.size(); ++i) {
        const Fix t = track.TimeOf(i) - start;
        const Fix pitch = shape.thumpTo + Mul(shape.thumpFrom - shape.thumpTo, ToFix(Decay(t, shape.thumpTau)));
        Fine s = FineMul(FineMul(thump.Next(pitch, track.sampleRate), Strike(t, Seconds(2), shape.thumpTau * 2)), ToFine(shape.thumpGain));
        const Fix cutoff = shape.cutTo + Mul(shape.cutFrom - shape.cutTo, ToFix(Decay(t, shape.cutTau)));
        const Fine n = tone2.Lowpass(tone.Lowpass(noise.NextSigned(), cutoff, track.sampleRate), cutoff, track.sampleRate);
        s += FineMul(FineMul(n, Strike(t, Seconds(2), shape.noiseTau)), ToFine(shape.noiseGain) * 2);
        track.samples[i] += s;
    }
}

Clip BigPop() {
    Track track = MakeTrack(kRate, 560, false);
    AddBurst(track, 0, {Hz(140), Hz(45), Seconds(70), Ratio(9, 10), Hz(7000), Hz(300), Seconds(100), Seconds(140), Ratio(8, 10)}, 0x1F123BB5u);
    return Finish(track, nullptr, 16, kBurstPeak, Seconds(2), Seconds(60));
}

// The only stereo clip: the burst is spread wide, with glittering shards left and right.
Clip Shatter() {
    constexpr int32_t rate = 44100;
    Track left = MakeTrack(rate, 576, false);
    Track right = MakeTrack(rate, 576, false);
    const BurstShape shape{Hz(180), Hz(60), Seconds(50), Ratio(7, 10), Hz(9000), Hz(600), Seconds(80), Seconds(110), Ratio(7, 10)};
    AddBurst(left, 0, shape, 0x5DEECE66u);
    AddBurst(right, 0, shape, 0x3C6EF372u);
    Noise scatter{0x0BADC0DEu};
    constexpr int kShards = 16;
    for (int k = 0; k < kShards; ++k) {
        const Fix start = Seconds(static_cast<int32_t>(scatter.Next() % 260));
        const Fix hertz = Hz(static_cast<int32_t>(2400 + scatter.Next() % 4200));
        const Fix pan = Ratio(static_cast<int32_t>(scatter.Next() % 100), 100);
        const Instrument shard{{{kOne, kOne, 0}, {Ratio(27, 10), Ratio(3, 10), Seconds(20)}}, Seconds(1), Seconds(45), Seconds(10), 0, 0, 0, Hz(20000)};
        AddNote(left, {start, 0, hertz, Mul(Ratio(22, 100), kOne - pan), 0, 0}, shard);
        AddNote(right, {start, 0, hertz, Mul(Ratio(22, 100), pan), 0, 0}, shard);
    }
    return Finish(left, &right, 16, kBurstPeak, Seconds(2), Seconds(60));
}

// Five quick bubble pops, one for each ball of the line.
Clip PopChain() {
    Track track = MakeTrack(kRate, 629, false);
    const Instrument bubble{{{kOne, kOne, 0}, {2 * kOne, Ratio(2, 10), Seconds(10)}}, Seconds(1), Seconds(32), Seconds(10), 0, 0, 0, Hz(10000)};
    constexpr int32_t kPitches[5] = {820, 980, 760, 1100, 900};
    for (int k = 0; k < 5; ++k) {
        const Fix start = Seconds(48 * k);
        AddNote(track, {start, 0, Hz(kPitches[k]), Ratio(10 - k, 10), -Ratio(16, 10), Seconds(45)}, bubble);
        AddBurst(track, start, {Hz(300), Hz(120), Seconds(20), Ratio(2, 10), Hz(6000), Hz(800), Seconds(15), Seconds(18), Ratio(25, 100)},
                 0x9E3779B9u + static_cast<uint32_t>(k));
    }
    // A soft fizz carries on after the pops.
    AddBurst(track, Seconds(200), {Hz(90), Hz(60), Seconds(60), 0, Hz(5000), Hz(1500), Seconds(150), Seconds(110), Ratio(15, 100)}, 0x7F4A7C15u);
    return Finish(track, nullptr, 16, kBurstPeak, Seconds(2), Seconds(60));
}

Clip Boom() {
    Track track = MakeTrack(kRate, 684, false);
    AddBurst(track, 0, {Hz(95), Hz(32), Seconds(120), kOne, Hz(2600), Hz(120), Seconds(160), Seconds(190), Ratio(9, 10)}, 0x41C64E6Du);
    return Finish(track, nullptr, 16, kBurstPeak, Seconds(3), Seconds(70));
}

// A puff of smoke: band-passed noise whose centre sinks, over a light thump.
Clip Poof() {
    Track track = MakeTrack(kRate, 595, false);
    AddBurst(track, 0, {Hz(200), Hz(80), Seconds(40), Ratio(4, 10), Hz(1200), Hz(300), Seconds(50), Seconds(50), Ratio(5, 100)}, 0x6C078965u);
    Noise noise{0x12345679u};
    StateVariable band, band2;
    for (size_t i = 0; i < track.samples.size(); ++i) {
        const Fix t = track.TimeOf(i);
        const Fix centre = Hz(500) + Mul(Hz(3000), ToFix(Decay(t, Seconds(120))));
        const Fine n = band2.Bandpass(band.Bandpass(noise.NextSigned(), centre, Ratio(7, 10), kRate), centre, Ratio(7, 10), kRate);
        track.samples[i] += FineMul(FineMul(n, Strike(t, Seconds(12), Seconds(130))), kFineOne / 4);
    }
    return Finish(track, nullptr, 16, kBurstPeak, Seconds(2), Seconds(60));
}

// A zap: a falling sweep through a noise burst.
Clip Zap() {
    Track track = MakeTrack(kRate, 592, false);
    const Instrument sweep{{{kOne, kOne, 0}, {2 * kOne, Ratio(25, 100), 0}, {3 * kOne, Ratio(1, 10), 0}}, Seconds(2), Seconds(120), Seconds(20), 0, 0, 0, Hz(10000)};
    AddNote(track, {0, 0, Hz(1700), Ratio(7, 10), -Ratio(33, 10), Seconds(260)}, sweep);
    AddBurst(track, 0, {Hz(120), Hz(50), Seconds(50), Ratio(5, 10), Hz(5000), Hz(400), Seconds(90), Seconds(120), Ratio(6, 10)}, 0x2F6B7A21u);
    return Finish(track, nullptr, 16, kBurstPeak, Seconds(2), Seconds(60));
}

// --- score: a bright two-note chime, stored at 8 bits ----------------------------------------------

Clip Score() {
    Track track = MakeTrack(kRate, 226, true);
    const Instrument bell{{{kOne, kOne, 0}, {2 * kOne, Ratio(32, 100), 0}, {3 * kOne, Ratio(12, 100), Seconds(40)}, {Ratio(416, 100), Ratio(10, 100), Seconds(20)}},
                          Seconds(2), Seconds(55), Seconds(10), 0, 0, 0, Hz(10000)};
    AddNote(track, {0, 0, NoteHz(C6), Ratio(8, 10), 0, 0}, bell);
    AddNote(track, {Seconds(62), 0, NoteHz(G6), kOne, 0, 0}, bell);
    return Finish(track, nullptr, 8, Ratio(50, 100), Seconds(2), Seconds(20));
}

// --- pick-up sounds ----------------------------------------------------------------------------------

const Instrument kMarimba{{{kOne, kOne, 0}, {2 * kOne, Ratio(2, 10), Seconds(60)}, {4 * kOne, Ratio(15, 100), Seconds(25)}},
                          Seconds(2), Seconds(90), Seconds(20), 0, 0, 0, Hz(10000)};

// A quick rising major arpeggio.
Clip Arpeggio() {
    Track track = MakeTrack(kRate, 713, false);
    constexpr int32_t kNotes[4] = {C5, E5, G5, C6};
    for (int k = 0; k < 4; ++k) {
        Instrument instrument = kMarimba;
        if (k == 3) instrument.tau = Seconds(190);
        AddNote(track, {Seconds(60 * k), 0, NoteHz(kNotes[k]), Ratio(7 + k, 10), 0, 0}, instrument);
    }
    return Finish(track, nullptr, 16, Ratio(40, 100), Seconds(2), Seconds(60));
}

// A springy boing that shoots up and wobbles.
Clip Boing() {
    Track track = MakeTrack(kRate, 553, false);
    Oscillator tone, overtone, wobble;
    for (size_t i = 0; i < track.samples.size(); ++i) {
        const Fix t = track.TimeOf(i);
        Fix octaves = Mul(Ratio(14, 10), kOne - ToFix(Decay(t, Seconds(40))));
        octaves += Mul(ToFix(FineMul(wobble.Next(Hz(13), kRate), Decay(t, Seconds(130)))), Ratio(12, 100));
        const Fix f = OctavesUp(Hz(330), octaves);
        const Fine s = tone.Next(f, kRate) + overtone.Next(2 * f, kRate) / 4;
        track.samples[i] = FineMul(s, Strike(t, Seconds(4), Seconds(150)));
    }
    return Finish(track, nullptr, 16, Ratio(40, 100), Seconds(2), Seconds(60));
}

// Water-drop bloops, each higher than the last.
Clip Bloops() {
    Track track = MakeTrack(kRate, 542, false);
    const Instrument drop{{{kOne, kOne, 0}, {2 * kOne, Ratio(12, 100), Seconds(20)}}, Seconds(2), Seconds(70), Seconds(10), 0, 0, 0, Hz(10000)};
    AddNote(track, {0, 0, Hz(380), kOne, Ratio(17, 10), Seconds(70)}, drop);
    AddNote(track, {Seconds(120), 0, Hz(500), Ratio(85, 100), Ratio(17, 10), Seconds(70)}, drop);
    AddNote(track, {Seconds(230), 0, Hz(640), Ratio(5, 10), Ratio(17, 10), Seconds(60)}, drop);
    return Finish(track, nullptr, 16, Ratio(40, 100), Seconds(2), Seconds(60));
}

// A vibraphone "ding-dong" going up.
Clip DingDong() {
    Track track = MakeTrack(kRate, 545, false);
    Instrument vibes{{{kOne, kOne, 0}, {4 * kOne, Ratio(3, 10), Seconds(40)}}, Seconds(2), Seconds(170), Seconds(20), Ratio(4, 1000), Hz(6), 0, Hz(10000)};
    AddNote(track, {0, 0, NoteHz(G5), Ratio(8, 10), 0, 0}, vibes);
    AddNote(track, {Seconds(110), 0, NoteHz(D6), kOne, 0, 0}, vibes);
    return Finish(track, nullptr, 16, Ratio(40, 100), Seconds(2), Seconds(60));
}

// A bird-like trill.
Clip Trill() {
    Track track = MakeTrack(kRate, 376, false);
    const Instrument chirp{{{kOne, kOne, 0}, {3 * kOne, Ratio(15, 100), Seconds(15)}}, Seconds(3), Seconds(35), Seconds(10), 0, 0, 0, Hz(10000)};
    for (int k = 0; k < 7; ++k) {
        const int32_t note = k % 2 == 0 ? E6 : G6;
        AddNote(track, {Seconds(32 * k), 0, NoteHz(note), Ratio(10 - k, 10), Ratio(1, 10), Seconds(20)}, chirp);
    }
    return Finish(track, nullptr, 16, Ratio(40, 100), Seconds(2), Seconds(50));
}

// A slide whistle going up, then warbling.
Clip SlideWhistle() {
    Track track = MakeTrack(kRate, 650, false);
    Oscillator tone, warble;
    Noise breath{0x51ED270Bu};
    StateVariable band;
    for (size_t i = 0; i < track.samples.size(); ++i) {
        const Fix t = track.TimeOf(i);
        const Fix rise = SmoothStep(0, Seconds(220), t);
        Fix octaves = Mul(Ratio(13, 10), rise);
        octaves += Mul(ToFix(FineMul(warble.Next(Hz(7), kRate), Swell(t - Seconds(200), Seconds(100)))), Ratio(35, 1000));
        const Fix f = OctavesUp(Hz(600), octaves);
        Fine s = tone.Next(f, kRate);
        s += band.Bandpass(breath.NextSigned(), f, Ratio(2, 10), kRate) / 80;
        Fine envelope = Swell(t, Seconds(20));
        if (t > Seconds(300)) envelope = FineMul(envelope, Decay(t - Seconds(300), Seconds(110)));
        track.samples[i] = FineMul(s, envelope);
    }
    return Finish(track, nullptr, 16, Ratio(28, 100), Seconds(3), Seconds(60));
}

// --- blocked: a dull two-pulse buzz, stored at 8 bits ------------------------------------------------

Clip Blocked() {
    Track track = MakeTrack(kRate, 251, true);
    // A soft sawtooth: harmonics falling off faster than 1/n, none above 1.5 kHz, so it buzzes dully.
    Instrument buzz;
    for (int n = 1; n <= 10; ++n) buzz.partials[n - 1] = {Fix{n} * kOne, kOne / (n * n + n) * 2, 0};
    buzz.rise = Seconds(6);
    buzz.release = Seconds(18);
    AddNote(track, {0, Seconds(90), Hz(150), kOne, 0, 0}, buzz);
    AddNote(track, {Seconds(125), Seconds(100), Hz(122), kOne, 0, 0}, buzz);
    Oscillator rattle;
    for (size_t i = 0; i < track.samples.size(); ++i) {
        track.samples[i] = FineMul(track.samples[i], kFineOne * 3 / 4 + rattle.Next(Hz(35), kRate) / 4);
    }
    return Finish(track, nullptr, 8, Ratio(40, 100), Seconds(2), Seconds(15));
}

// --- long moves: whooshes ------------------------------------------------------------------------------

struct WhooshShape {
    int32_t milliseconds;
    Fix lowHz, highHz, endHz;  // the band's centre rises from low to high, then settles to end
    Fix peakAt;                // fraction of the clip where the whoosh is loudest
    Fix damping;
    Fix flutterHz;             // 0: none
    uint32_t seed;
};

Track Whoosh(const WhooshShape& shape) {
    Track track = MakeTrack(kRate, shape.milliseconds, false);
    Noise noise{shape.seed};
    StateVariable band, band2;
    Oscillator flutter;
    const Fix length = Seconds(shape.milliseconds);
    const Fix peak = Mul(length, shape.peakAt);
    for (size_t i = 0; i < track.samples.size(); ++i) {
        const Fix t = track.TimeOf(i);
        const Fix centre = t < peak ? Lerped(shape.lowHz, shape.highHz, SmoothStep(0, peak, t))
                                    : Lerped(shape.highHz, shape.endHz, SmoothStep(peak, length, t));
        // Two band-pass stages: steep enough skirts that the sweep of the band is heard as the whoosh.
        Fine s = band2.Bandpass(band.Bandpass(noise.NextSigned(), centre, shape.damping, kRate), centre, shape.damping, kRate);
        const Fine envelope = t < peak ? Swell(t, peak) : kFineOne - Swell(t - peak, length - peak);
        s = FineMul(s, FineMul(envelope, envelope));
        if (shape.flutterHz > 0) s = FineMul(s, kFineOne * 7 / 10 + flutter.Next(shape.flutterHz, kRate) * 3 / 10);
        track.samples[i] = s;
    }
    return track;
}

Clip FinishWhoosh(const Track& track) { return Finish(track, nullptr, 16, Ratio(45, 100), Seconds(5), Seconds(30)); }

Clip WhooshSwing() { return FinishWhoosh(Whoosh({658, Hz(350), Hz(2400), Hz(700), Ratio(45, 100), Ratio(8, 10), 0, 0x6A09E667u})); }
Clip WhooshSwish() { return FinishWhoosh(Whoosh({391, Hz(1200), Hz(3800), Hz(2500), Ratio(35, 100), Ratio(11, 10), 0, 0xBB67AE85u})); }
Clip WhooshLow() { return FinishWhoosh(Whoosh({511, Hz(220), Hz(1100), Hz(500), Ratio(5, 10), Ratio(45, 100), 0, 0x3C6EF372u})); }

// A whoosh with a passing tone that drops in pitch as it goes by.
Clip WhooshPassing() {
    Track track = Whoosh({677, Hz(500), Hz(2000), Hz(600), Ratio(45, 100), Ratio(9, 10), 0, 0xA54FF53Au});
    Fine loudest = 1;
    for (const Fine s : track.samples) loudest = s > loudest ? s : (-s > loudest ? -s : loudest);
    const Instrument hum{{{kOne, kOne, 0}, {2 * kOne, Ratio(2, 10), 0}}, Seconds(150), 0, Seconds(250), 0, 0, 0, Hz(10000)};
    Track tone = MakeTrack(kRate, 677, false);
    AddNote(tone, {Seconds(60), Seconds(330), Hz(880), kOne, -Ratio(75, 100), Seconds(400)}, hum);
    for (size_t i = 0; i < track.samples.size(); ++i) track.samples[i] += FineMul(tone.samples[i], loudest / 6);
    return FinishWhoosh(track);
}

// Two swings in a row.
Clip WhooshDouble() {
    Track first = Whoosh({300, Hz(600), Hz(2600), Hz(900), Ratio(5, 10), Ratio(8, 10), 0, 0x510E527Fu});
    Track second = Whoosh({330, Hz(700), Hz(3000), Hz(1000), Ratio(5, 10), Ratio(8, 10), 0, 0x9B05688Cu});
    Track track = MakeTrack(kRate, 612, false);
    const size_t offset = track.IndexOf(Seconds(270));
    for (size_t i = 0; i < first.samples.size() && i < track.samples.size(); ++i) track.samples[i] += first.samples[i];
    for (size_t i = 0; i < second.samples.size() && i + offset < track.samples.size(); ++i) track.samples[i + offset] += second.samples[i];
    return FinishWhoosh(track);
}

// A long airy sweep that flutters like wings.
Clip WhooshWings() { return FinishWhoosh(Whoosh({879, Hz(300), Hz(3600), Hz(2600), Ratio(6, 10), Ratio(7, 10), Hz(11), 0x1F83D9ABu})); }

// --- fanfare: a short brass tune, 11,025 Hz at 8 bits -----------------------------------------------

Clip Fanfare() {
    constexpr int32_t rate = 11025;
    Track track = MakeTrack(rate, 5810, true);
    const Instrument brass{{{kOne, kOne, 0}, {2 * kOne, Ratio(70, 100), 0}, {3 * kOne, Ratio(50, 100), 0}, {4 * kOne, Ratio(35, 100), 0},
                            {5 * kOne, Ratio(25, 100), 0}, {6 * kOne, Ratio(18, 100), 0}, {7 * kOne, Ratio(12, 100), 0}, {8 * kOne, Ratio(8, 100), 0}},
                           Seconds(18), Seconds(1400), Seconds(35), Ratio(8, 1000), Ratio(55, 10), Seconds(180), Hz(4800)};
    Instrument pad{{{kOne, kOne, 0}, {2 * kOne, Ratio(3, 10), 0}, {3 * kOne, Ratio(1, 10), 0}}, Seconds(60), 0, Seconds(90), 0, 0, 0, Hz(4800)};
    Instrument timpani{{{kOne, kOne, 0}, {Ratio(15, 10), Ratio(4, 10), Seconds(80)}}, Seconds(3), Seconds(250), Seconds(50), 0, 0, 0, Hz(4800)};

    struct Step {
        int32_t note;
        int32_t units;  // of 150 ms
    };
    constexpr Step kTune[] = {
        {G4, 1}, {C5, 1}, {E5, 1}, {G5, 3}, {E5, 1}, {G5, 5},           // up the C major chord
        {A4, 1}, {C5, 1}, {F5, 1}, {A5, 3}, {G5, 1}, {F5, 1}, {E5, 1}, {D5, 3},  // over F, down to G
        {G5, 1}, {G5, 1}, {G5, 1}, {C6, 11},                              // the call, and home
    };
    const Fix unit = Seconds(150);
    Fix at = 0;
    for (const Step& step : kTune) {
        const Fix length = Fix{step.units} * unit;
        // Short notes are detached; the last note rings to the end.
        const Fix held = step.units == 11 ? length : length - Seconds(40);
        AddNote(track, {at, held, NoteHz(step.note), kOne, 0, 0}, brass);
        at += length;
    }
    struct Chord {
        int32_t from, units;
        int32_t bass;
        int32_t notes[3];
    };
    constexpr Chord kChords[] = {
        {0, 12, C3, {C4, E4, G4}},
        {12, 6, F2, {C4, F4, A4}},
        {18, 6, G2, {B3, D4, G4}},
        {24, 3, G2, {B3, D4, G4}},
        {27, 11, C3, {C4, E4, G4}},
    };
    for (const Chord& chord : kChords) {
        const Fix start = Fix{chord.from} * unit;
        const Fix length = Fix{chord.units} * unit - Seconds(20);
        for (const int32_t note : chord.notes) AddNote(track, {start, length, NoteHz(note), Ratio(22, 100), 0, 0}, pad);
        AddNote(track, {start, length, NoteHz(chord.bass), Ratio(35, 100), 0, 0}, pad);
    }
    AddNote(track, {0, 0, NoteHz(C3), Ratio(5, 10), 0, 0}, timpani);
    AddNote(track, {27 * unit, 0, NoteHz(C3), Ratio(6, 10), 0, 0}, timpani);
    return Finish(track, nullptr, 8, Ratio(55, 100), Seconds(3), Seconds(300));
}

}  // namespace

GameClips ComposeClips() {
    GameClips clips;
    clips.click = Click();
    clips.spawn = Spawn();
    clips.bursts[0] = BigPop();
    clips.bursts[1] = Shatter();
    clips.bursts[2] = PopChain();
    clips.bursts[3] = Boom();
    clips.bursts[4] = Poof();
    clips.bursts[5] = Zap();
    clips.score = Score();
    clips.selects[0] = Arpeggio();
    clips.selects[1] = Boing();
    clips.selects[2] = Bloops();
    clips.selects[3] = DingDong();
    clips.selects[4] = Trill();
    clips.selects[5] = SlideWhistle();
    clips.blocked = Blocked();
    clips.longMoves[0] = WhooshSwing();
    clips.longMoves[1] = WhooshSwish();
    clips.longMoves[2] = WhooshLow();
    clips.longMoves[3] = WhooshPassing();
    clips.longMoves[4] = WhooshDouble();
    clips.longMoves[5] = WhooshWings();
    clips.fanfare = Fanfare();
    return clips;
}

}  // namespace kelvora::tools
