// A model of the path from the programmer's loudspeaker to a recording, for tests and the
// sensitivity benchmark: the sender's clock off, the radios' voice band and tilt, noise at a
// chosen Eb/N0, mains hum, a DC offset, any level up to clipping, an inverted wire, a lead-in
// cut short, silence around, and the recorder's own rate.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <random>
#include <span>
#include <vector>

namespace zk::channel {

using Bytes = std::array<std::uint8_t, 64>;

// The fixed header, random settings bytes and a correct check word.
Bytes RandomArray(std::mt19937_64& random);

// The programmer's own signal for `bytes` (its synthesis, 16000 samples/s, full scale 1.0),
// with only the last `leadInSeconds` of the one-second lead-in.
std::vector<float> Transmit(const Bytes& bytes, double leadInSeconds = 1.0);

// Two programmers on one channel: `first` at `firstGain` (of the second's level), and `second`
// keyed `secondAfterSeconds` later, mixed as a receiver hears them (16000 samples/s).
std::vector<float> TwoSenders(const Bytes& first, const Bytes& second, double secondAfterSeconds,
                              double firstGain);

struct Channel {
    int rate = 16000;            // the recorder's rate
    double clockOffset = 0;      // the sender's clock against the recorder's: +0.005 is fast
    bool voiceBand = false;      // 300..3000 Hz band-pass, as radios have
    double tiltDbPerOctave = 0;  // +6 (pre-emphasis left in) or -6 (de-emphasis twice)
    double ebN0Db = std::numeric_limits<double>::infinity();  // white noise, all the band
    double humRelative = 0;  // 50 Hz hum (with its third harmonic) over the data amplitude
    double dc = 0;           // offset, full scale 1.0
    // Gain on the sender's samples; > 0 drives into clipping. At -26 dB even 96 kHz noise at
    // 8 dB Eb/N0 stays far below full scale, so noise alone never clips.
    double levelDb = -26;
    bool inverted = false;
    double silenceBefore = 0.5;  // seconds of noise only before and after the signal
    double silenceAfter = 0.5;
    // An audio path that moves every frequency by the same amount (a single-sideband radio
    // tuned off), apart from the sender's clock: the carrier moves, the bit clock does not.
    double shiftHz = 0;
    // A second path of the same sound, this much later and this strong against the first.
    double echoSeconds = 0;
    double echoRelative = 0;
    // Wow, as a tape or a turntable has: the speed swings by +-wowDepth (0.002: 0.2 %), wowHz
    // times a second, moving the carrier and the bit clock together.
    double wowDepth = 0;
    double wowHz = 0;
    // Slow fading: the gain swings between 1 and fadingFloor, fadingHz times a second.
    double fadingHz = 0;
    double fadingFloor = 1;
    // Through the GSM 06.10 full-rate speech codec (libsndfile's), at 8000 Hz, as over a
    // phone line or a radio gateway.
    bool gsm = false;
    // Through the AMR narrow-band codec (opencore's) in this mode, 0 (4.75 kbit/s) .. 7
    // (12.2 kbit/s), at 8000 Hz, as over a mobile phone; -1 for none.
    int amrMode = -1;
};

// Everything at once but clipping: another rate, the voice band with a tilt, hum, DC, a low
// level, the sender's clock off, the wire inverted (a lead-in cut short is the caller's).
inline Channel Everything(double ebN0Db) {
    Channel c;
    c.rate = 44100;
    c.voiceBand = true;
    c.tiltDbPerOctave = -6;
    c.humRelative = 1.0;
    c.dc = 0.05;
    c.levelDb = -30;
    c.clockOffset = -0.005;
    c.inverted = true;
    c.ebN0Db = ebN0Db;
    return c;
}

// The data's carrier amplitude at the recorder (the filters are normalised at 1000 Hz).
double DataAmplitude(const Channel& channel);

// `sent` (16000 samples/s) as the recorder gets it; always hard-limited at +-1 like a recorder.
std::vector<float> Pass(std::span<const float> sent, const Channel& channel, std::uint64_t seed);

// Speech-like sound at `rate`: a voice with gliding pitch whose harmonics sweep through
// 1000 Hz, syllables, pauses, and short whistles near 1000 Hz; peak about 0.5.
std::vector<float> SpeechLike(int rate, double seconds, std::uint64_t seed);

}  // namespace zk::channel
