// Sound synthesis for the generator in integer arithmetic.
#include "synth.h"

namespace kelvora::tools {

namespace {

constexpr Fix kLn2Q16 = Ratio(6931472, 10000000);
constexpr Fix kTwoPi = Ratio(62831853, 10000000);

Fine Absolute(Fine v) { return v < 0 ? -v : v; }

}  // namespace

Track MakeTrack(int32_t sampleRate, int32_t milliseconds, bool evenLength) {
    const int64_t exact1000 = static_cast<int64_t>(sampleRate) * milliseconds;  // samples times 1000
    int64_t count = (exact1000 + 500) / 1000;
    if (evenLength && count % 2 != 0) {
        // Of the two even neighbours take the nearer; both are within one sample.
        count = (count * 1000 > exact1000) ? count - 1 : count + 1;
    }
    Track track;
    track.sampleRate = sampleRate;
    track.samples = Buffer<Fine>(static_cast<size_t>(count));
    return track;
}

Fix OctavesUp(Fix hertz, Fix octaves) {
    if (octaves >= 0) return static_cast<Fix>((hertz << kFineBits) / ExpNeg(Mul(octaves, kLn2Q16)));
    return static_cast<Fix>((hertz * ExpNeg(Mul(-octaves, kLn2Q16))) >> kFineBits);
}

Fix NoteHz(int32_t semitonesFromA4) { return OctavesUp(Hz(440), Fix{semitonesFromA4} * kOne / 12); }

Fine Oscillator::Next(Fix hertz, int32_t sampleRate) {
    const Fine s = Sine(phase);
    phase += PhaseStep(hertz, sampleRate);
    return s;
}

Fine Swell(Fix t, Fix rise) {
    if (t <= 0) return 0;
    if (t >= rise) return kFineOne;
    const Fine s = Sine(static_cast<uint32_t>((static_cast<uint64_t>(t) << 30) / static_cast<uint64_t>(rise)));
    return FineMul(s, s);
}

Fine Decay(Fix t, Fix tau) { return t <= 0 ? kFineOne : ExpNeg(Div(t, tau)); }

Fine Strike(Fix t, Fix rise, Fix tau) {
    if (t <= 0) return 0;
    if (t < rise) return Swell(t, rise);
    return Decay(t - rise, tau);
}

Fine OnePole::Lowpass(Fine x, Fix cutoffHz, int32_t sampleRate) {
    const Fine coefficient = kFineOne - ExpNeg(Mul(kTwoPi, cutoffHz) / sampleRate);
    state += FineMul(x - state, coefficient);
    return state;
}

Fine StateVariable::Bandpass(Fine x, Fix centreHz, Fix damping, int32_t sampleRate) {
    const Fine f = 2 * Sine(PhaseStep(centreHz, 4 * sampleRate));
    const Fine q = ToFine(damping);
    for (int pass = 0; pass < 2; ++pass) {
        low += FineMul(f, band);
        const Fine high = x - low - FineMul(q, band);
        band += FineMul(f, high);
    }
    return band;
}

void AddNote(Track& track, const NoteShape& note, const Instrument& instrument) {
    const size_t first = track.IndexOf(note.start);
    const Fix heldUntil = note.duration > 0 ? note.duration : Fix{1} << 40;
    const Fix end = note.duration > 0 ? note.duration + instrument.release : (instrument.tau > 0 ? 12 * instrument.tau : 0);
    const size_t last = first + track.IndexOf(end);
    uint32_t phases[kMaxPartials] = {};
    Oscillator vibrato;
    for (size_t i = first; i < last && i < track.samples.size(); ++i) {
        const Fix t = track.TimeOf(i - first);
        Fix octaves = 0;
        if (note.bendTime > 0) {
            // An eased glide: fast at first, settling on the target.
            const Fix p = Clamp(Div(t, note.bendTime), 0, kOne);
            octaves = Mul(note.bend, kOne - Mul(kOne - p, kOne - p));
        }
        if (instrument.vibratoOctaves > 0) {
            const Fine wobble = vibrato.Next(instrument.vibratoHz, track.sampleRate);
            octaves += Mul(ToFix(FineMul(wobble, Swell(t - instrument.vibratoDelay, Seconds(120)))), instrument.vibratoOctaves);
        }
        const Fix hertz = octaves == 0 ? note.hertz : OctavesUp(note.hertz, octaves);
        Fine envelope = Swell(t, instrument.rise);
        if (instrument.tau > 0 && t > instrument.rise) envelope = FineMul(envelope, Decay(t - instrument.rise, instrument.tau));
        if (t > heldUntil) envelope = FineMul(envelope, kFineOne - Swell(t - heldUntil, instrument.release));
        Fine sum = 0;
        for (int k = 0; k < kMaxPartials; ++k) {
            const Partial& partial = instrument.partials[k];
            const Fix partialHz = Mul(hertz, partial.ratio);
            if (partial.gain == 0 || partialHz >= instrument.ceilingHz) continue;
            Fine level = ToFine(partial.gain);
            if (partial.tau > 0) level = FineMul(level, Decay(t, partial.tau));
            sum += FineMul(Sine(phases[k]), level);
            phases[k] += PhaseStep(partialHz, track.sampleRate);
        }
        track.samples[i] += FineMul(FineMul(sum, envelope), ToFine(note.gain));
    }
}

Clip Finish(const Track& left, const Track* right, int32_t bitsPerSample, Fix peak, Fix fadeIn, Fix fadeOut) {
    const Track* const tracks[2] = {&left, right};
    Fine loudest = 1;
    for (const Track* track : tracks) {
        if (track == nullptr) continue;
        for (const Fine s : track->samples) loudest = Absolute(s) > loudest ? Absolute(s) : loudest;
    }
    const Fine gain = (ToFine(peak) << kFineBits) / loudest;
    const size_t count = left.samples.size();
    const size_t fadeInCount = left.IndexOf(fadeIn);
    const size_t fadeOutCount = left.IndexOf(fadeOut);

    Clip clip;
    clip.sampleRate = left.sampleRate;
    clip.channels = right != nullptr ? 2 : 1;
    clip.bitsPerSample = bitsPerSample;
    clip.samples = Buffer<int16_t>(count * static_cast<size_t>(clip.channels));
    size_t written = 0;
    for (size_t i = 0; i < count; ++i) {
        Fine edge = kFineOne;
        if (i < fadeInCount) edge = Swell(static_cast<Fix>(i), static_cast<Fix>(fadeInCount));
        const size_t fromEnd = count - 1 - i;
        if (fromEnd < fadeOutCount) {
            const Fine out = Swell(static_cast<Fix>(fromEnd), static_cast<Fix>(fadeOutCount));
            edge = out < edge ? out : edge;
        }
        for (const Track* track : tracks) {
            if (track == nullptr) continue;
            const Fine v = FineMul(FineMul(track->samples[i], gain), edge);
            // Round to the nearest step of the stored depth.
            const int64_t steps = bitsPerSample == 8 ? 127 : 32767;
            const int64_t scaled = v * steps;
            int64_t q = (scaled + (scaled >= 0 ? kFineOne / 2 : -kFineOne / 2)) / kFineOne;
            q = q > steps ? steps : (q < -steps ? -steps : q);
            clip.samples[written++] = static_cast<int16_t>(bitsPerSample == 8 ? q * 256 : q);
        }
    }
    return clip;
}

}  // namespace kelvora::tools
