// Sensitivity of the receiving side: for each impairment, the Eb/N0 at which 99 of 100 random
// packets still come through exactly (searched downwards in 0.1 dB steps, the same 100 arrays
// and noise seeds at every step); the error of the decoder's own Eb/N0 estimate; packets
// reported on sound that holds none; the cost of decoding ten minutes at 48 kHz; and paths that
// are not white noise (a shifted carrier, a codec, echoes, fading, two transmissions at once).
//   cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_BENCH=ON
//   cmake --build build-bench --target zk_receive_bench
//   build-bench/bench/zk_receive_bench [TRIALS [table [ROWS]|channels
//   [ROWS]|estimate|false|speed|all|probe EBN0]]
// With ZK_BENCH_RAW=FILE the speed run also writes its recording (raw 32-bit float, 48 kHz),
// for timing zk_receive_file against sox on the same sound.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "channel.h"
#include "demodulator.h"

namespace {

using zk::channel::Bytes;
using zk::channel::Channel;
using zk::receive::Demodulator;
using zk::receive::Packet;

std::vector<Packet> DecodeAll(const std::vector<float>& recording, double rate) {
    Demodulator rx(rate);
    std::vector<Packet> packets;
    constexpr std::size_t kBlock = 4096;
    for (std::size_t i = 0; i < recording.size(); i += kBlock) {
        const std::size_t n = std::min(kBlock, recording.size() - i);
        for (Packet& p : rx.Feed({recording.data() + i, n})) {
            packets.push_back(p);
        }
    }
    for (Packet& p : rx.Finish().packets) {
        packets.push_back(p);
    }
    return packets;
}

struct Trial {
    bool exact = false;
    double estimate = 0;
    bool reported = false;     // a packet came out (exact or not)
    double worstMargin = -99;  // the highest margin shown on a packet that was not exact
};

Trial RunOne(const Channel& channel, double leadIn, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    const Bytes bytes = zk::channel::RandomArray(random);
    const auto sent = zk::channel::Transmit(bytes, leadIn);
    const auto heard = zk::channel::Pass(sent, channel, seed * 7919 + 1);
    const auto packets = DecodeAll(heard, channel.rate);
    Trial t;
    for (const Packet& p : packets) {
        t.reported = true;
        if (p.HeaderAndCheckWordRight() && p.bytes == bytes) {
            t.exact = true;
            t.estimate = p.ebN0Db;
        } else {
            t.worstMargin = std::max(t.worstMargin, p.marginDb);
        }
    }
    return t;
}

int Successes(const Channel& channel, double leadIn, int trials) {
    int ok = 0;
    for (int i = 0; i < trials; ++i) {
        ok += RunOne(channel, leadIn, 1000 + static_cast<std::uint64_t>(i)).exact;
    }
    return ok;
}

// The lowest Eb/N0 (0.1 dB steps, from high to low) at which 99 % of packets still pass.
double Threshold(Channel channel, double leadIn, int trials, double from) {
    double last = NAN;
    for (double e = from; e > 5.0; e -= 0.1) {
        channel.ebN0Db = e;
        const int ok = Successes(channel, leadIn, trials);
        if (ok * 100 < 99 * trials) {
            break;
        }
        last = e;
    }
    return last;
}

void Table(int trials, const std::string& only) {
    struct Row {
        const char* name;
        std::function<void(Channel&)> set;
        double leadIn = 1.0;
        double from = 10.5;
    };
    auto all = [](Channel& c) { c = zk::channel::Everything(c.ebN0Db); };
    const std::vector<Row> rows = {
        {"white noise, 16000 Hz", [](Channel&) {}},
        {"rate 8000 Hz", [](Channel& c) { c.rate = 8000; }},
        {"rate 44100 Hz", [](Channel& c) { c.rate = 44100; }},
        {"rate 96000 Hz", [](Channel& c) { c.rate = 96000; }},
        {"voice band, tilt +6 dB/oct",
         [](Channel& c) {
             c.voiceBand = true;
             c.tiltDbPerOctave = 6;
         }},
        {"voice band, tilt -6 dB/oct",
         [](Channel& c) {
             c.voiceBand = true;
             c.tiltDbPerOctave = -6;
         }},
        {"clock +0.5 %", [](Channel& c) { c.clockOffset = 0.005; }},
        {"clock -0.5 %", [](Channel& c) { c.clockOffset = -0.005; }},
        {"hum 0 dB, DC 0.05",
         [](Channel& c) {
             c.humRelative = 1;
             c.dc = 0.05;
         }},
        {"level -40 dB", [](Channel& c) { c.levelDb = -40; }},
        {"polarity inverted", [](Channel& c) { c.inverted = true; }},
        {"lead-in 0.1 s", [](Channel&) {}, 0.1},
        {"all at once (44.1 kHz, -0.5 %, tilt -6, hum, DC, -30 dB, inverted, 0.1 s)", all, 0.1},
        {"all at once, tilt +6, +0.5 %, 96 kHz",
         [all](Channel& c) {
             all(c);
             c.tiltDbPerOctave = 6;
             c.clockOffset = 0.005;
             c.rate = 96000;
         },
         0.1},
        {"hard clipping (+6 dB over full scale)", [](Channel& c) { c.levelDb = 6; }, 1.0, 12.0},
        {"all at once, hum -10 dB, hard clipping (+6 dB over full scale)",
         [all](Channel& c) {
             all(c);
             c.levelDb = 6;
             c.humRelative = 0.3;  // hum at the data level would take most of the headroom
         },
         0.1, 12.0},
    };
    std::printf("%-78s  Eb/N0 for 99/%d\n", "impairment", trials);
    for (const Row& row : rows) {
        if (std::string(row.name).find(only) == std::string::npos) {
            continue;
        }
        Channel c;
        row.set(c);
        std::printf("%-78s  %.1f dB\n", row.name, Threshold(c, row.leadIn, trials, row.from));
        std::fflush(stdout);
    }
}

void Estimate(int trials) {
    std::printf("\nEb/N0 estimate (white noise; mean and worst error over %d packets)\n", trials);
    for (double truth = 8; truth <= 20.01; truth += 2) {
        for (int impaired = 0; impaired < 2; ++impaired) {
            Channel c;
            if (impaired) {
                c.rate = 44100;
                c.voiceBand = true;
                c.tiltDbPerOctave = -6;
                c.humRelative = 1.0;
                c.dc = 0.05;
                c.clockOffset = 0.005;
            }
            c.ebN0Db = truth;
            double sum = 0, worst = 0;
            int n = 0;
            for (int i = 0; i < trials; ++i) {
                const Trial t = RunOne(c, 1.0, 5000 + static_cast<std::uint64_t>(i));
                if (t.exact) {
                    sum += t.estimate - truth;
                    worst = std::max(worst, std::abs(t.estimate - truth));
                    ++n;
                }
            }
            std::printf(
                "  truth %4.1f dB %-12s mean error %+5.2f dB, worst %4.2f dB (%d packets)\n", truth,
                impaired ? "impaired" : "white", n ? sum / n : NAN, worst, n);
        }
    }
}

void Speed() {
    // Ten minutes at 48 kHz: noise with a packet every 30 s.
    Channel c;
    c.rate = 48000;
    c.ebN0Db = 15;
    c.silenceBefore = 10;
    c.silenceAfter = 17;
    c.levelDb = -20;
    std::mt19937_64 random(1);
    std::vector<float> recording;
    for (int k = 0; k < 20; ++k) {
        const auto piece =
            zk::channel::Pass(zk::channel::Transmit(zk::channel::RandomArray(random)), c,
                              static_cast<std::uint64_t>(k));
        recording.insert(recording.end(), piece.begin(), piece.end());
    }
    const auto t0 = std::chrono::steady_clock::now();
    const auto packets = DecodeAll(recording, 48000);
    const auto t1 = std::chrono::steady_clock::now();
    std::printf("\n%.1f min at 48 kHz: %.3f s to decode, %zu packets\n",
                recording.size() / 48000.0 / 60, std::chrono::duration<double>(t1 - t0).count(),
                packets.size());
    if (const char* path = std::getenv("ZK_BENCH_RAW")) {
        if (FILE* f = std::fopen(path, "wb")) {
            std::fwrite(recording.data(), sizeof(float), recording.size(), f);
            std::fclose(f);
            std::printf("raw float recording written to %s\n", path);
        }
    }
}

}  // namespace

// Packets reported (any, and valid ones) on sound that holds none: speech-like sound with
// whistles near 1000 Hz, and noise with strong hum and DC.
void FalseAlarms(int minutes) {
    std::printf("\nno packet sent, %d min of each:\n", minutes);
    for (int kind = 0; kind < 2; ++kind) {
        int reported = 0;
        int valid = 0;
        for (int m = 0; m < minutes; ++m) {
            std::vector<float> sound;
            if (kind == 0) {
                sound = zk::channel::SpeechLike(16000, 60, 500 + static_cast<std::uint64_t>(m));
            } else {
                Channel c;
                c.ebN0Db = 5;
                c.humRelative = 3;
                c.dc = 0.1;
                c.silenceBefore = 60;
                c.silenceAfter = 0;
                sound = zk::channel::Pass({}, c, 700 + static_cast<std::uint64_t>(m));
            }
            for (const Packet& p : DecodeAll(sound, 16000)) {
                ++reported;
                valid += p.HeaderAndCheckWordRight();
            }
        }
        std::printf("  %-28s %d packets reported, %d valid\n",
                    kind == 0 ? "speech-like with whistles" : "noise, hum x3, DC", reported, valid);
    }
}

// Successes at one Eb/N0 in white noise and with every impairment (for tuning by hand).
void Probe(int trials, double ebN0) {
    for (int impaired = 0; impaired < 2; ++impaired) {
        Channel c;
        double leadIn = 1.0;
        if (impaired) {
            c = zk::channel::Everything(c.ebN0Db);
            leadIn = 0.1;
        }
        c.ebN0Db = ebN0;
        int ok = 0;
        double sum = 0;
        for (int i = 0; i < trials; ++i) {
            const Trial t = RunOne(c, leadIn, 1000 + static_cast<std::uint64_t>(i));
            ok += t.exact;
            sum += t.exact ? t.estimate : 0;
        }
        std::printf("%s at %.1f dB: %d/%d exact, mean estimate %.2f dB\n",
                    impaired ? "all impairments" : "white noise", ebN0, ok, trials,
                    ok ? sum / ok : NAN);
    }
}

// Channels that are not white noise: how many packets come through, and whether the margin
// the decoder shows predicts it (a failed packet must not show a comfortable margin).
void RealChannels(int trials, const std::string& only) {
    struct Row {
        std::string name;
        std::function<void(Channel&)> set;
    };
    std::vector<Row> rows = {
        {"GSM 06.10, no noise",
         [](Channel& c) {
             c.gsm = true;
             c.levelDb = -6;
             c.silenceBefore = 0;
         }},
        {"GSM 06.10, 16 dB",
         [](Channel& c) {
             c.gsm = true;
             c.levelDb = -6;
             c.ebN0Db = 16;
         }},
        {"AMR 12.2 kbit/s, no noise",
         [](Channel& c) {
             c.amrMode = 7;
             c.levelDb = -6;
         }},
        {"AMR 7.4 kbit/s, no noise",
         [](Channel& c) {
             c.amrMode = 4;
             c.levelDb = -6;
         }},
        {"AMR 4.75 kbit/s, no noise",
         [](Channel& c) {
             c.amrMode = 0;
             c.levelDb = -6;
         }},
        {"echo 4 ms (one bit) at -3 dB",
         [](Channel& c) {
             c.echoSeconds = 0.004;
             c.echoRelative = 0.7;
         }},
        {"echo 4 ms (one bit) at -1 dB",
         [](Channel& c) {
             c.echoSeconds = 0.004;
             c.echoRelative = 0.9;
         }},
        {"echo 2 ms at -1 dB",
         [](Channel& c) {
             c.echoSeconds = 0.002;
             c.echoRelative = 0.9;
         }},
        {"slow fading 0.5 Hz to -12 dB, 20 dB",
         [](Channel& c) {
             c.fadingHz = 0.5;
             c.fadingFloor = 0.25;
             c.ebN0Db = 20;
         }},
        {"slow fading 1 Hz to -20 dB, 20 dB",
         [](Channel& c) {
             c.fadingHz = 1;
             c.fadingFloor = 0.1;
             c.ebN0Db = 20;
         }},
    };
    for (const double shift : {-20.0, -10.0, -3.0, 3.0, 10.0, 20.0}) {
        for (const double clock : {-0.005, 0.0, 0.005}) {
            char name[96];
            std::snprintf(name, sizeof name, "shift %+.0f Hz, clock %+.1f %%, no noise", shift,
                          clock * 100);
            rows.push_back({name, [shift, clock](Channel& c) {
                                c.shiftHz = shift;
                                c.clockOffset = clock;
                                c.rate = 44100;
                            }});
        }
    }
    std::printf("\n%-48s  exact  failed with margin >= 3 dB  highest margin of a failure\n",
                "channel");
    for (const Row& row : rows) {
        if (row.name.find(only) == std::string::npos) {
            continue;
        }
        Channel c;
        row.set(c);
        int exact = 0;
        int falseHope = 0;
        double worst = -99;
        for (int i = 0; i < trials; ++i) {
            const Trial t = RunOne(c, 1.0, 3000 + static_cast<std::uint64_t>(i));
            exact += t.exact;
            falseHope += t.worstMargin >= 3.0;
            worst = std::max(worst, t.worstMargin);
        }
        std::printf("%-48s  %3d/%d  %3d  %6.1f dB\n", row.name.c_str(), exact, trials, falseHope,
                    worst);
        std::fflush(stdout);
    }
}

// A second programmer 10 dB stronger starting 1.5 s into a weaker one's packet (white noise at
// 20 dB for the weaker): how often the stronger packet still comes through exactly.
void Collisions(int trials) {
    int strongExact = 0;
    int weakExact = 0;
    for (int i = 0; i < trials; ++i) {
        std::mt19937_64 random(4000 + static_cast<std::uint64_t>(i));
        const Bytes weak = zk::channel::RandomArray(random);
        const Bytes strong = zk::channel::RandomArray(random);
        const auto sent = zk::channel::TwoSenders(weak, strong, 1.5, 0.3162);
        Channel c;
        c.ebN0Db = 20;
        for (const Packet& p : DecodeAll(zk::channel::Pass(sent, c, 77 + i), c.rate)) {
            strongExact += p.HeaderAndCheckWordRight() && p.bytes == strong;
            weakExact += p.HeaderAndCheckWordRight() && p.bytes == weak;
        }
    }
    std::printf(
        "\nstronger transmission 1.5 s into a weaker one: stronger exact %d/%d, weaker %d\n",
        strongExact, trials, weakExact);
}

int main(int argc, char** argv) {
    const int trials = argc > 1 ? std::atoi(argv[1]) : 100;
    const std::string what = argc > 2 ? argv[2] : "all";
    if (what == "probe") {
        Probe(trials, argc > 3 ? std::atof(argv[3]) : 10.0);
        return 0;
    }
    if (what == "channels" || what == "all") {
        RealChannels(trials, argc > 3 ? argv[3] : "");
        Collisions(trials);
    }
    if (what == "table" || what == "all") {
        Table(trials, argc > 3 ? argv[3] : "");
    }
    if (what == "estimate" || what == "all") {
        Estimate(trials);
    }
    if (what == "false" || what == "all") {
        FalseAlarms(std::max(1, trials / 10));
    }
    if (what == "speed" || what == "all") {
        Speed();
    }
    return 0;
}
