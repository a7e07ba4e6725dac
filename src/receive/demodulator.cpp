#include "demodulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <numbers>
#include <stdexcept>
#include <string>

#include "bandpass.h"
#include "levelhistory.h"
#include "leveltext.h"
#include "packetdecoder.h"
#include "resampler.h"
#include "tonedetector.h"
#include "workrate.h"

namespace zk::receive {

namespace {

// Working samples kept: the longest lead-in followed, a whole packet at the slowest clock, and
// the block that is being taken in.
constexpr std::int64_t kHistory = 32768;
// Samples beyond this (60 dB over full scale) are cut to it.
constexpr float kLargestSample = 1000.0f;
constexpr std::int64_t kIntake = 1024;
// Before the tone's start and after the last possible bit.
constexpr std::int64_t kMargin = 400;
// Working samples from a tone's end until its packet is surely complete.
const std::int64_t kPacketReach =
    static_cast<std::int64_t>(kPacketBits * kNominalBitSamples * (1 + kMaxClockOffset)) + kMargin;

double Dbfs(float peak) {
    return peak > 0 ? 20 * std::log10(static_cast<double>(peak)) : kSilenceDbfs;
}

std::string OneDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// What the stream showed, for the diagnosis at its end.
struct Evidence {
    int tones = 0;
    int wholePackets = 0;
    int badPackets = 0;
    double bestBadEbN0 = -100;
    double bestBadLeadInEbN0 = -100;  // the lead-in of that packet, before the data began
    // The longest dropout inside a bad packet, in seconds of the recording (no length: none).
    double dropoutAt = 0;
    double dropoutLength = 0;
    int overlaps = 0;         // packets that began inside another packet
    double offCarrierHz = 0;  // the carrier of the longest tone too far off 1000 Hz
    double offCarrierToneSamples = 0;
    bool cutOff = false;
    int cutOffBits = 0;
    // Of tones as long as a lead-in with no packet readable after them, the cleanest lead-in's
    // Eb/N0 (-100: there was none). Shorter tones may be runs of equal bits inside data whose
    // lead-in the recording missed, and say nothing about the noise.
    double bestLongUnreadEbN0 = -100;
    double bestLongUnreadShare = 0;  // that tone's share of the band's power (the detector's)
};

// A bad packet whose lead-in was this much cleaner than the decisions: the data was spoiled by
// something other than noise (a codec, an echo, a second transmission).
constexpr double kDistortionOverNoiseDb = 6.0;
// A lead-in that begins this far inside the packet before it is another transmission; less
// could be the tail of that packet's own data running into the next lead-in.
constexpr std::int64_t kOverlapSamples = kWorkRate / 10;
// The longest run of equal bits an array from generate can hold is bytes 39..60 at zero, 0.7 s;
// a steady tone longer than this inside a packet is no part of it.
constexpr std::int64_t kLongerThanAnyRunSamples = kWorkRate * 8 / 10;
// A tone holding this share of the band's power in its line over 40 ms stands some 6 dB over
// the noise in the band (some 20 dB in Eb/N0): when its lead-in fit still reads as noisy, what
// spoiled the fit is a pitch that wandered over the second (wow, a drifting oscillator).
constexpr double kCleanToneShare = 0.8;
// A tone this long is a lead-in (or meant as one), not a steady stretch of data.
constexpr double kLeadInLikeSamples = 0.25 * kWorkRate;

}  // namespace

struct Demodulator::State {
    explicit State(double rate)
        : sampleRate(rate),
          resampler(rate, kWorkRate),
          bandPass(kWorkRate),
          levels(rate),
          history(kHistory) {}

    double sampleRate;
    Resampler resampler;
    BandPass bandPass;
    LevelHistory levels;
    ToneDetector detector;
    std::vector<float> history;
    std::int64_t worked = 0;  // working samples taken in so far
    std::int64_t fed = 0;     // input samples
    std::deque<ToneSpan> pending;
    std::int64_t quietUntil = 0;   // tones ending before this lie inside a whole packet
    std::int64_t heardUntil = 0;   // the end of the last packet decoded, whole or not
    std::int64_t failedUntil = 0;  // the end of the last packet that was not whole
    bool finished = false;
    // Where the data of the packet coming in now began (the end of its lead-in tone), for a live
    // display; -1 before the first lead-in.
    std::int64_t dataFrom = -1;
    // Where the recording's own samples end, once Finish has padded silence after them.
    std::int64_t soundEnd = -1;

    float livePeak = 0;
    bool liveClip = false;

    Evidence evidence;
    std::vector<float> scratch;
    std::vector<float> clean;
    std::vector<float> segment;
    std::vector<ToneSpan> spans;

    void TakeIn(std::span<float> work, std::vector<Packet>& packets);
    void FollowData(const std::vector<ToneSpan>& ended);
    int DataBit() const;
    void DecodeReady(bool streamEnded, std::vector<Packet>& packets);
    void Report(std::int64_t first, const ToneSpan& tone, const DecodeOutcome& outcome,
                std::vector<Packet>& packets);
    Diagnosis Diagnose() const;
};

Demodulator::Demodulator(double sampleRate) {
    if (!(sampleRate >= kMinInputRate && sampleRate <= kMaxInputRate)) {
        throw std::invalid_argument("sample rate " + OneDecimal(sampleRate) +
                                    " Hz is outside 8000..96000 Hz");
    }
    state_ = std::make_unique<State>(sampleRate);
}

Demodulator::~Demodulator() = default;

LevelSpan Demodulator::TotalLevel() const {
    return state_->levels.Total();
}

std::vector<Packet> Demodulator::Feed(std::span<const float> samples) {
    State& s = *state_;
    if (s.finished) {
        throw std::logic_error("Demodulator::Feed after Finish");
    }
    std::vector<Packet> packets;
    const LevelSpan level = s.levels.Add(samples);
    s.livePeak = std::max(s.livePeak, level.peak);
    s.liveClip = s.liveClip || level.clipped > 0;
    // A NaN or infinity would stay in the filters' memory and silence everything after it;
    // a finite but absurd value (a corrupt float file) would overflow the sums the same way.
    if (level.nonFinite > 0 || level.peak > kLargestSample) {
        s.clean.assign(samples.begin(), samples.end());
        for (float& x : s.clean) {
            x = std::isfinite(x) ? std::clamp(x, -kLargestSample, kLargestSample) : 0.0f;
        }
        samples = s.clean;
    }
    s.fed += static_cast<std::int64_t>(samples.size());
    s.scratch.clear();
    s.resampler.Process(samples, s.scratch);
    s.TakeIn(s.scratch, packets);
    return packets;
}

FinishResult Demodulator::Finish() {
    State& s = *state_;
    FinishResult result;
    if (s.finished) {
        return result;
    }
    s.finished = true;
    s.scratch.clear();
    s.resampler.Flush(s.scratch);
    s.soundEnd = s.worked + static_cast<std::int64_t>(s.scratch.size());
    // The filters hold the last milliseconds back; silence pushes them through, so that a
    // recording that stops right after the last bit (a file written by generate) still decodes.
    s.scratch.insert(s.scratch.end(), kWorkRate / 20, 0.0f);
    s.TakeIn(s.scratch, result.packets);
    s.spans.clear();
    s.detector.Finish(s.worked, s.spans);
    s.pending.insert(s.pending.end(), s.spans.begin(), s.spans.end());
    s.evidence.tones += static_cast<int>(s.spans.size());
    s.DecodeReady(true, result.packets);
    result.diagnosis = s.Diagnose();
    return result;
}

LevelStatus Demodulator::TakeLevel() {
    State& s = *state_;
    LevelStatus status;
    status.peakDbfs = Dbfs(s.livePeak);
    status.clipping = s.liveClip;
    status.tooQuiet = status.peakDbfs < kTooQuietDbfs;
    status.dataBit = s.DataBit();
    // A steady run of equal bits inside the data sounds like a tone; it is no lead-in.
    status.toneHeard = s.detector.ToneOn() && status.dataBit == 0;
    s.livePeak = 0;
    s.liveClip = false;
    return status;
}

void Demodulator::State::TakeIn(std::span<float> work, std::vector<Packet>& packets) {
    // In small pieces, so that a packet is decoded before the history wraps over its lead-in
    // however large the caller's block.
    while (!work.empty()) {
        const auto take = std::min<std::size_t>(work.size(), kIntake);
        const std::span<float> piece = work.first(take);
        bandPass.Process(piece);
        for (std::size_t i = 0; i < take; ++i) {
            history[static_cast<std::size_t>((worked + static_cast<std::int64_t>(i)) % kHistory)] =
                piece[i];
        }
        spans.clear();
        detector.Process(piece.data(), take, worked, spans);
        worked += static_cast<std::int64_t>(take);
        FollowData(spans);
        pending.insert(pending.end(), spans.begin(), spans.end());
        evidence.tones += static_cast<int>(spans.size());
        DecodeReady(false, packets);
        work = work.subspan(take);
    }
}

void Demodulator::State::FollowData(const std::vector<ToneSpan>& ended) {
    for (const ToneSpan& tone : ended) {
        // Inside the data every run of equal bits sounds like a tone, the zero bytes at the end
        // of an array for most of a second: none of them starts the count again. (A second
        // sender keyed up over the first goes uncounted; its packet shows when it comes.)
        const bool insideData = dataFrom >= 0 && tone.end - dataFrom < kPacketReach;
        if (!insideData) {
            dataFrom = tone.end;
        }
    }
}

int Demodulator::State::DataBit() const {
    if (dataFrom < 0) {
        return 0;
    }
    // Counted to the input taken in, not to the working samples: the resampler hands those on
    // in batches of about a tenth of a second, and the count would jump by 26 bits.
    const double now = static_cast<double>(fed) * kWorkRate / sampleRate;
    const double intoData = now - static_cast<double>(dataFrom);
    if (intoData < 0 || intoData >= static_cast<double>(kPacketReach)) {
        return 0;
    }
    return std::min(static_cast<int>(intoData / kNominalBitSamples) + 1, kPacketBits);
}

void Demodulator::State::DecodeReady(bool streamEnded, std::vector<Packet>& packets) {
    while (!pending.empty()) {
        ToneSpan tone = pending.front();
        const std::int64_t reach = tone.end + kPacketReach;
        if (!streamEnded && worked < reach) {
            return;
        }
        pending.pop_front();
        if (tone.end <= quietUntil) {
            --evidence.tones;  // a steady stretch inside a packet's data, not a lead-in
            continue;
        }
        // A tone too long to be a run of equal bits, begun inside a broken packet: a second
        // sender keyed up over the first.
        if (tone.start < failedUntil && tone.end - tone.start >= kLongerThanAnyRunSamples) {
            ++evidence.overlaps;
        }
        // A lead-in right after a packet: the steady end of that packet's data (bytes 48..63
        // are mostly zero) ran into it, and must not enter its carrier fit.
        tone.start = std::max(tone.start, quietUntil);
        const std::int64_t first =
            std::max({tone.start - kMargin, worked - kHistory + kIntake, std::int64_t{0}});
        const std::int64_t last = std::min(reach, worked);
        if (last <= first) {
            continue;
        }
        segment.resize(static_cast<std::size_t>(last - first));
        for (std::int64_t i = first; i < last; ++i) {
            segment[static_cast<std::size_t>(i - first)] =
                history[static_cast<std::size_t>(i % kHistory)];
        }
        DecodeRequest request;
        request.samples = segment;
        request.firstIndex = first;
        request.tone = tone;
        request.carrierPhaseShift = bandPass.PhaseAtCarrier() + 2 * std::numbers::pi * kCarrierHz *
                                                                    bandPass.ReversalDelay() /
                                                                    kWorkRate;
        Report(first, tone, DecodePacket(request), packets);
    }
}

void Demodulator::State::Report(std::int64_t first, const ToneSpan& tone,
                                const DecodeOutcome& outcome, std::vector<Packet>& packets) {
    switch (outcome.kind) {
        case DecodeKind::Packet: {
            Packet packet = outcome.packet;
            const double delay = bandPass.ReversalDelay() + kSampleCentre;
            const double start = static_cast<double>(first) + outcome.dataStart - delay;
            const double end = static_cast<double>(first) + outcome.dataEnd - delay;
            packet.startSeconds = start / kWorkRate;
            packet.endSeconds = end / kWorkRate;
            packet.leadInSeconds = outcome.leadInSamples / kWorkRate;
            const double toInput = sampleRate / kWorkRate;
            const LevelSpan level =
                levels.Over(static_cast<std::int64_t>((start - outcome.leadInSamples) * toInput),
                            static_cast<std::int64_t>(std::ceil(end * toInput)));
            packet.peakDbfs = Dbfs(level.peak);
            packet.clipped = level.clipped > 0;
            // Only a whole packet rules out lead-ins inside it: a broken one may have been
            // broken by a stronger transmission that began over it, and that one must still
            // be decoded (an FM receiver takes the stronger signal).
            const std::int64_t packetEnd = first + static_cast<std::int64_t>(outcome.dataEnd);
            const std::int64_t packetStart =
                first + static_cast<std::int64_t>(outcome.dataStart - outcome.leadInSamples);
            evidence.overlaps += packetStart + kOverlapSamples < heardUntil ? 1 : 0;
            heardUntil = std::max(heardUntil, packetEnd);
            if (!packet.HeaderAndCheckWordRight()) {
                failedUntil = std::max(failedUntil, packetEnd);
            }
            if (packet.HeaderAndCheckWordRight()) {
                quietUntil = packetEnd;
                ++evidence.wholePackets;
            } else {
                ++evidence.badPackets;
                if (packet.ebN0Db > evidence.bestBadEbN0) {
                    evidence.bestBadEbN0 = packet.ebN0Db;
                    evidence.bestBadLeadInEbN0 = outcome.leadInEbN0Db;
                }
                if (outcome.dropoutLength / kWorkRate > evidence.dropoutLength) {
                    evidence.dropoutAt =
                        (static_cast<double>(first) + outcome.dropoutStart - delay) / kWorkRate;
                    evidence.dropoutLength = outcome.dropoutLength / kWorkRate;
                }
            }
            packets.push_back(packet);
            return;
        }
        case DecodeKind::LeadInTooShort:
            return;
        case DecodeKind::NotOnCarrier:
            // The longest such tone speaks for the carrier; short ones may be data.
            if (outcome.leadInSamples > evidence.offCarrierToneSamples) {
                evidence.offCarrierToneSamples = outcome.leadInSamples;
                evidence.offCarrierHz = outcome.carrierOffsetHz;
            }
            return;
        case DecodeKind::NoSync:
            // Only a tone as long as a lead-in speaks for the noise.
            if (static_cast<double>(tone.end - tone.start) >= kLeadInLikeSamples &&
                outcome.leadInEbN0Db > evidence.bestLongUnreadEbN0) {
                evidence.bestLongUnreadEbN0 = outcome.leadInEbN0Db;
                evidence.bestLongUnreadShare = tone.meanRatio;
            }
            return;
        case DecodeKind::CutOff: {
            // Counted to the recording's last sample, not into the silence Finish adds.
            int bits = outcome.bitsHeard;
            if (soundEnd >= 0 && bits > 0) {
                const double heard = static_cast<double>(soundEnd - first) - outcome.dataStart;
                bits =
                    std::clamp(static_cast<int>(std::lround(heard / kNominalBitSamples)), 0, bits);
            }
            evidence.cutOff = true;
            evidence.cutOffBits = std::max(evidence.cutOffBits, bits);
            return;
        }
    }
}

Diagnosis Demodulator::State::Diagnose() const {
    Diagnosis diagnosis;
    std::vector<Finding>& findings = diagnosis.findings;
    const Evidence& e = evidence;
    const LevelSpan total = levels.Total();
    if (e.wholePackets == 0) {
        if (e.badPackets > 0) {
            findings.push_back({.problem = Problem::BadPackets, .count = e.badPackets});
            // A dropout first: the run of equal bits that resumes after it looks like a lead-in
            // begun inside the packet, while a second sender over the first leaves no silence.
            if (e.dropoutLength > 0) {
                findings.push_back({.problem = Problem::Dropout,
                                    .count = std::lround(e.dropoutLength * 1000),
                                    .atSeconds = e.dropoutAt});
            } else if (e.overlaps > 0) {
                findings.push_back({.problem = Problem::Overlap});
            } else if (e.bestBadLeadInEbN0 >= e.bestBadEbN0 + kDistortionOverNoiseDb) {
                findings.push_back({.problem = Problem::Distorted,
                                    .ebN0Db = e.bestBadEbN0,
                                    .leadInEbN0Db = e.bestBadLeadInEbN0});
            } else if (e.bestBadEbN0 < kRequiredEbN0Db + 1) {
                findings.push_back({.problem = Problem::TooNoisy, .ebN0Db = e.bestBadEbN0});
            }
        } else if (e.cutOff) {
            findings.push_back({.problem = Problem::DataCutOff, .count = e.cutOffBits});
        } else if (e.tones == 0) {
            findings.push_back({.problem = Problem::NoTone});
        } else if (e.offCarrierToneSamples >= kLeadInLikeSamples) {
            findings.push_back({.problem = Problem::OffCarrier, .carrierOffsetHz = e.offCarrierHz});
        } else if (e.bestLongUnreadEbN0 > -100 && e.bestLongUnreadEbN0 < kRequiredEbN0Db &&
                   e.bestLongUnreadShare >= kCleanToneShare) {
            findings.push_back({.problem = Problem::PitchWandered});
        } else if (e.bestLongUnreadEbN0 > -100 && e.bestLongUnreadEbN0 < kRequiredEbN0Db) {
            findings.push_back({.problem = Problem::TooNoisy, .ebN0Db = e.bestLongUnreadEbN0});
        } else if (e.bestLongUnreadEbN0 == -100) {
            // Only short tones: the lead-in drowned in noise, off 1000 Hz, or before the
            // recording began.
            findings.push_back({.problem = Problem::NoLeadIn});
        } else {
            findings.push_back({.problem = Problem::ToneNoData});
        }
        const double peakDbfs = Dbfs(total.peak);
        if (total.nonFinite > 0) {
            // Taken as silence so that the rest decodes; said as what they are.
            findings.push_back({.problem = Problem::NotNumbers, .count = total.nonFinite});
        }
        if (IsSilence(peakDbfs) && total.nonFinite == 0) {
            findings.push_back({.problem = Problem::Silent});
        } else if (!IsSilence(peakDbfs) && peakDbfs < kTooQuietDbfs) {
            findings.push_back({.problem = Problem::TooQuiet, .peakDbfs = peakDbfs});
        }
    }
    if (total.clipped > 0) {
        findings.push_back({.problem = Problem::Clipping, .count = total.clipped});
    }
    return diagnosis;
}

bool Diagnosis::Has(Problem problem) const {
    return std::any_of(findings.begin(), findings.end(),
                       [problem](const Finding& f) { return f.problem == problem; });
}

}  // namespace zk::receive
