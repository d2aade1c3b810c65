// Sound synthesis for the generator in integer arithmetic: tracks of Q30 samples (1.0 is full
// scale), sine oscillators, envelopes, filters, and the finishing into a PCM clip.
#pragma once

#include <cstddef>
#include <cstdint>

#include "buffer.h"

#include "file_images.h"
#include "fixed_point.h"

namespace kelvora::tools {

struct Track {
    int32_t sampleRate = 22050;
    Buffer<Fine> samples;

    // Seconds (Q16) at sample i, and the sample at a time.
    Fix TimeOf(size_t i) const { return static_cast<Fix>(i) * kOne / sampleRate; }
    size_t IndexOf(Fix seconds) const { return static_cast<size_t>((seconds * sampleRate) >> kFixBits); }
};

// A silent track of the length closest to the given duration; 8-bit clips round to an even
// number of samples so their data chunk needs no RIFF pad byte.
Track MakeTrack(int32_t sampleRate, int32_t milliseconds, bool evenLength);

constexpr Fix Hz(int32_t hertz) { return Fix{hertz} * kOne; }
constexpr Fix Seconds(int32_t milliseconds) { return Ratio(milliseconds, 1000); }
constexpr Fine ToFine(Fix v) { return v * (Fine{1} << (kFineBits - kFixBits)); }
constexpr Fix ToFix(Fine v) { return v >> (kFineBits - kFixBits); }

// hertz shifted by a number of octaves (negative: down).
Fix OctavesUp(Fix hertz, Fix octaves);
// The frequency of a note given as semitones above A4 (440 Hz); negative below.
Fix NoteHz(int32_t semitonesFromA4);

struct Oscillator {
    uint32_t phase = 0;
    // The next sample of a sine at the given frequency, Q30.
    Fine Next(Fix hertz, int32_t sampleRate);
};

// 0 at t = 0 rising smoothly (sine squared) to 1 at t = rise, 1 after.
Fine Swell(Fix t, Fix rise);
// e^(-t / tau), Q30.
Fine Decay(Fix t, Fix tau);
// A struck sound: a short swell, then exponential decay. 0 before t = 0.
Fine Strike(Fix t, Fix rise, Fix tau);

struct OnePole {
    Fine state = 0;
    Fine Lowpass(Fine x, Fix cutoffHz, int32_t sampleRate);
};

// A Chamberlin state-variable filter run twice per sample, which keeps it stable up to a
// quarter of the sample rate.
struct StateVariable {
    Fine low = 0;
    Fine band = 0;
    // damping 2 is very wide, 0.2 a narrow whistle; the peak gain is 1/damping.
    Fine Bandpass(Fine x, Fix centreHz, Fix damping, int32_t sampleRate);
};

// A partial of a tone: frequency ratio to the note, level, and its own decay (0: none).
struct Partial {
    Fix ratio = kOne;
    Fix gain = 0;  // partials left unset are silent
    Fix tau = 0;
};

constexpr int kMaxPartials = 10;

// How a note sounds: its partials and envelope. A note with decay tau 0 holds until its end.
struct Instrument {
    Partial partials[kMaxPartials];
    Fix rise = Seconds(5);
    Fix tau = 0;
    Fix release = Seconds(20);
    Fix vibratoOctaves = 0;
    Fix vibratoHz = 0;
    Fix vibratoDelay = 0;
    Fix ceilingHz = Hz(9000);  // partials above are left out, safely below half the sample rate
};

// Adds a note starting at start; it holds for duration (0: rings until it dies away) and then
// releases. Frequency glides by `bend` octaves over bendTime when bendTime is not 0.
struct NoteShape {
    Fix start = 0;
    Fix duration = 0;
    Fix hertz = Hz(440);
    Fix gain = kOne;
    Fix bend = 0;
    Fix bendTime = 0;
};
void AddNote(Track& track, const NoteShape& note, const Instrument& instrument);

// Scales the tracks together so their loudest sample reaches peak (a fraction of full scale),
// fades the first fadeIn and the last fadeOut seconds in and out (the first and last samples
// are exactly silent) and stores them at the given depth. right is null for a mono clip.
Clip Finish(const Track& left, const Track* right, int32_t bitsPerSample, Fix peak, Fix fadeIn, Fix fadeOut);

}  // namespace kelvora::tools
