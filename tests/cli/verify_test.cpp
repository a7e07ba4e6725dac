// What verify and listen tell the operator about recordings made to order: arrays with a wrong
// header, a wrong check word, impossible settings or odd bytes outside the settings, at a known
// level, in several channels. Each recording is the programmer's own signal with the bits to
// change turned over (a bit is 64 samples starting at a zero crossing, so phase 180 degrees is
// the same samples negated).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "_8_CRC.h"
#include "toolrun.h"
#include "verifyrecordings.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::ReadFile;
using testing::RunTool;
using testing::ToolRun;
using testing::WorkFolder;
using testing::WriteFile;
using zk::Array;
namespace fs = std::filesystem;

constexpr int kLeadIn = 16000;
constexpr int kBitSamples = 64;

using Samples = std::vector<std::int16_t>;

// The signal that `zk77q3 generate --user-open 1590` writes, and the array it carries.
struct Sent {
    Samples samples;
    Array bytes{};
};

const Sent& BaseSignal() {
    static const Sent sent = [] {
        WorkFolder folder;
        const ToolRun run = RunTool("generate --user-open 1590");
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string wav = ReadFile("_qq.wav");
        Sent s;
        for (std::size_t i = 44; i + 1 < wav.size(); i += 2) {
            s.samples.push_back(static_cast<std::int16_t>(
                static_cast<std::uint8_t>(wav[i]) | (static_cast<std::uint8_t>(wav[i + 1]) << 8)));
        }
        GivenSettings given{{"user-open", {"1590", "--user-open"}}};
        s.bytes = ArrayForSettings(ResolveSettings(given));
        return s;
    }();
    return sent;
}

// The array with its check word made right again.
Array WithCheckWord(Array bytes) {
    const std::uint16_t crc = CheckWordOf(bytes);
    bytes[61] = static_cast<std::uint8_t>(crc >> 8);
    bytes[62] = static_cast<std::uint8_t>(crc & 0xFF);
    return bytes;
}

// The signal for `bytes`, at `gain`, with bit `weakBit` (if any) at `weakGain` of its amplitude.
Samples SignalOf(const Array& bytes, double gain = 1.0, int weakBit = -1, double weakGain = 1.0) {
    const Sent& base = BaseSignal();
    Samples out = base.samples;
    for (int bit = 0; bit < 512; ++bit) {
        const int mask = 0x80 >> (bit % 8);
        const bool flip = ((base.bytes[static_cast<std::size_t>(bit / 8)] ^
                            bytes[static_cast<std::size_t>(bit / 8)]) &
                           mask) != 0;
        const double g = (flip ? -1.0 : 1.0) * (bit == weakBit ? weakGain : 1.0);
        for (int i = 0; i < kBitSamples; ++i) {
            std::int16_t& v = out[static_cast<std::size_t>(kLeadIn + bit * kBitSamples + i)];
            v = static_cast<std::int16_t>(std::lround(v * g));
        }
    }
    for (std::int16_t& v : out) {
        v = static_cast<std::int16_t>(std::lround(v * gain));
    }
    return out;
}

Samples Silence(double seconds) {
    return Samples(static_cast<std::size_t>(seconds * 16000), 0);
}

Samples Joined(const std::vector<Samples>& parts) {
    Samples all;
    for (const Samples& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

std::string Little(std::uint32_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) {
        text += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return text;
}

// A 16-bit PCM WAV file at 16000 Hz, one channel per entry, padded with silence to the longest.
std::string Wav(std::vector<Samples> channels) {
    std::size_t frames = 0;
    for (const Samples& c : channels) {
        frames = std::max(frames, c.size());
    }
    const auto count = static_cast<std::uint32_t>(channels.size());
    std::string data;
    for (std::size_t f = 0; f < frames; ++f) {
        for (Samples& c : channels) {
            data += Little(static_cast<std::uint16_t>(f < c.size() ? c[f] : 0), 2);
        }
    }
    return "RIFF" + Little(36 + static_cast<std::uint32_t>(data.size()), 4) + "WAVEfmt " +
           Little(16, 4) + Little(1, 2) + Little(count, 2) + Little(16000, 4) +
           Little(16000 * 2 * count, 4) + Little(2 * count, 2) + Little(16, 2) + "data" +
           Little(static_cast<std::uint32_t>(data.size()), 4) + data;
}

Array Changed(std::initializer_list<std::pair<int, std::uint8_t>> bytes, bool fixCheckWord) {
    Array a = BaseSignal().bytes;
    for (const auto& [at, value] : bytes) {
        a[static_cast<std::size_t>(at)] = value;
    }
    return fixCheckWord ? WithCheckWord(a) : a;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::vector<nlohmann::json> JsonLines(const std::string& out) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(nlohmann::json::parse(line));
    }
    return lines;
}

// Every verdict a packet can earn, in the text and in the JSON, with what each must show.
TEST(Verify, EachKindOfPacketGetsItsVerdictAndItsFindings) {
    struct Case {
        const char* name;
        Array bytes;
        const char* verdict;
        int status;
        const char* text;     // a line the text report must hold
        const char* problem;  // the first of settings_problems (JSON), also as "problem: "
        std::size_t problems;
        const char* note;  // in the packet's notes
    };
    const Case cases[] = {
        {"sound", BaseSignal().bytes, "valid", 0, "check word ok", nullptr, 0, nullptr},
        {"header", Changed({{1, 0x05}}, true), "header-bad", 1,
         "header wrong: 7F 05 01 01, not 7F 04 01 01", nullptr, 0, nullptr},
        {"check word", Changed({{40, 0x00}}, false), "crc-bad", 1, "check word wrong: received ",
         nullptr, 0, nullptr},
        {"settings", Changed({{41, 21}, {35, 10}}, true), "settings-bad", 1,
         "settings impossible: the check word is right", "beep length 10 is outside 0..9", 2,
         nullptr},
        {"byte 60", Changed({{60, 0x01}}, true), "settings-bad", 1, "settings impossible",
         "bytes that are never written (26, 27, 48..60) are not all zero", 1, nullptr},
        {"byte 63", Changed({{63, 0x5A}}, false), "valid", 0, "check word ok", nullptr, 0,
         "byte 63, which the check word does not cover, holds 90, not 0"},
    };
    WorkFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile("r.wav", Wav({SignalOf(c.bytes)}));
        ToolRun run = RunTool("verify --json r.wav");
        EXPECT_EQ(run.status, c.status) << run.err;
        const nlohmann::json report = nlohmann::json::parse(run.out);
        EXPECT_EQ(report["verdict"], c.verdict);
        ASSERT_EQ(report["packets"].size(), 1u);
        const nlohmann::json& packet = report["packets"][0];
        EXPECT_EQ(packet["verdict"], c.verdict);
        EXPECT_EQ(packet["array"], cli::ArrayHex(c.bytes));
        const nlohmann::json& problems = packet["settings_problems"];
        EXPECT_EQ(problems.size(), c.problems) << problems;
        if (c.problem) {
            EXPECT_EQ(problems[0], c.problem);
        }
        EXPECT_EQ(packet["notes"],
                  c.note ? nlohmann::json::array({c.note}) : nlohmann::json::array());

        run = RunTool("verify r.wav");
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out.substr(0, run.out.find('\n')), std::string("r.wav: ") + c.verdict);
        EXPECT_TRUE(Has(run.out, c.text)) << run.out;
        EXPECT_EQ(Has(run.out, "header wrong"), std::string(c.verdict) == "header-bad");
        EXPECT_EQ(Has(run.out, "  problem: "), c.problem != nullptr);
        if (c.problem) {
            EXPECT_TRUE(Has(run.out, std::string("  problem: ") + c.problem));
        }
        if (c.note) {
            EXPECT_TRUE(Has(run.out, std::string("  note: ") + c.note));
        }
    }
}

// A file's verdict: the best of its packets' verdicts, or, with no packet, the first outcome
// whose finding the diagnosis holds; and its one word, which the text and the JSON report say.
TEST(Verify, AFilesVerdictIsItsBestPacketsOrWhyNoneCame) {
    const Array sound = ArrayForSettings(ResolveSettings(GivenSettings{}));
    Array impossible = sound;
    impossible[35] = 10;  // beep length 10: outside 0..9
    const auto packet = [](const Array& bytes, bool header, bool checkWord) {
        receive::Packet p;
        p.bytes = bytes;
        p.headerOk = header;
        p.crcOk = checkWord;
        return p;
    };
    const receive::Packet valid = packet(sound, true, true);
    const receive::Packet settingsBad = packet(impossible, true, true);
    const receive::Packet crcBad = packet(sound, true, false);
    const receive::Packet headerBad = packet(sound, false, true);
    using P = receive::Problem;
    const struct {
        std::vector<receive::Packet> packets;
        std::vector<P> findings;
        const char* word;
    } cases[] = {
        {{headerBad, crcBad, valid, settingsBad}, {P::Clipping}, "valid"},
        {{crcBad, settingsBad, headerBad}, {}, "settings-bad"},
        {{headerBad, crcBad}, {P::BadPackets}, "crc-bad"},
        {{headerBad}, {P::BadPackets, P::TooNoisy, P::DataCutOff}, "header-bad"},
        {{}, {P::TooNoisy, P::DataCutOff}, "truncated"},
        {{}, {P::NoLeadIn, P::TooNoisy, P::TooQuiet}, "too-noisy"},
        {{}, {P::NoTone, P::Silent}, "no-signal"},
        {{}, {}, "no-signal"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        receive::Diagnosis diagnosis;
        for (const P problem : c.findings) {
            diagnosis.findings.push_back({.problem = problem});
        }
        EXPECT_STREQ(cli::FileVerdictName(cli::FileVerdictOf(c.packets, diagnosis)), c.word);
    }
}

// The sender's own file read back the right way round and turned over: the polarity is known
// on so plain a path, and said in both reports; no shift of the carrier is claimed.
TEST(Verify, PolarityOfAPlainPathInBothReports) {
    WorkFolder folder;
    for (const double gain : {0.5, -0.5}) {
        WriteFile("r.wav", Wav({SignalOf(BaseSignal().bytes, gain)}));
        ToolRun run = RunTool("verify --json r.wav");
        ASSERT_EQ(run.status, 0) << run.err;
        const nlohmann::json packet = nlohmann::json::parse(run.out)["packets"][0];
        EXPECT_EQ(packet["polarity_inverted"], gain < 0) << packet;
        EXPECT_NEAR(packet["carrier_shift_hz"].get<double>(), 0.0, 0.1);
        run = RunTool("verify r.wav");
        EXPECT_EQ(Has(run.out, "; polarity inverted"), gain < 0) << run.out;
        EXPECT_FALSE(Has(run.out, "polarity unknown")) << run.out;
        EXPECT_FALSE(Has(run.out, "shifted")) << run.out;
    }
}

// The level and the weakest bit as measured, in both reports: half level is -6.5 dBFS at the
// lead-in's peak, and bit 100 sent at 40 % of the others is the weakest.
TEST(Verify, LevelAndWeakestBitAreReportedAsMeasured) {
    WorkFolder folder;
    WriteFile("r.wav", Wav({SignalOf(BaseSignal().bytes, 0.5, 100, 0.4)}));
    const double peak = 20 * std::log10(0.5 * 31000 / 32768);
    ToolRun run = RunTool("verify --json r.wav");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json report = nlohmann::json::parse(run.out);
    EXPECT_NEAR(report["peak_dbfs"].get<double>(), peak, 0.1);
    EXPECT_FALSE(report["clipped"].get<bool>());
    const nlohmann::json& packet = report["packets"][0];
    EXPECT_NEAR(packet["peak_dbfs"].get<double>(), peak, 0.5);
    EXPECT_EQ(packet["weakest_bit"], 100);
    const double confidence = packet["weakest_bit_confidence"].get<double>();
    EXPECT_NEAR(confidence, 0.4, 0.1);

    run = RunTool("verify r.wav");
    char text[64];
    std::snprintf(text, sizeof text, "weakest bit 100 at %.2f;", confidence);
    EXPECT_TRUE(Has(run.out, text)) << run.out;
    std::snprintf(text, sizeof text, "peak %.1f dBFS", packet["peak_dbfs"].get<double>());
    EXPECT_TRUE(Has(run.out, text)) << run.out;
}

// Of several files the worst status counts, whatever their order, and every readable file is
// reported, one JSON line each.
TEST(Verify, TheWorstFileSetsTheExitStatus) {
    WorkFolder folder;
    WriteFile("good.wav", Wav({SignalOf(BaseSignal().bytes)}));
    WriteFile("bad.wav", Wav({SignalOf(Changed({{40, 0}}, false))}));
    WriteFile("text.wav", "not a sound\n");
    const struct {
        const char* files;
        int status;
        std::size_t reports;
    } cases[] = {
        {"good.wav good.wav", 0, 2}, {"good.wav bad.wav", 1, 2},
        {"bad.wav good.wav", 1, 2},  {"text.wav bad.wav", 2, 1},
        {"bad.wav text.wav", 2, 1},  {"text.wav good.wav", 2, 1},
        {"good.wav text.wav", 2, 1}, {"missing.wav good.wav bad.wav", 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files);
        const ToolRun run = RunTool(std::string("verify --json ") + c.files);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(JsonLines(run.out).size(), c.reports);
    }
}

// A file's report comes out as soon as the file is decoded: while verify waits for the next
// file (a pipe nobody writes yet), the first report is already on its standard output.
TEST(Verify, EachReportIsOutBeforeTheNextFileIsRead) {
    WorkFolder folder;
    WriteFile("good.wav", Wav({SignalOf(BaseSignal().bytes)}));
    ASSERT_EQ(::mkfifo("later.wav", 0600), 0);
    const std::string command = "XDG_STATE_HOME='" + testing::StateFolder().string() + "' '" +
                                ZK77Q3_PATH + "' verify --json good.wav later.wav 2>/dev/null";
    std::FILE* out = ::popen(command.c_str(), "r");
    ASSERT_NE(out, nullptr);
    pollfd ready{::fileno(out), POLLIN, 0};
    const int polled = ::poll(&ready, 1, 30000);  // a deadline for a hang, never reached
    // Now a writer that closes at once: verify, opening the pipe, reads an empty file.
    std::thread writer([] { ::close(::open("later.wav", O_WRONLY)); });
    std::string first;
    char buffer[4096];
    while (polled > 0 && std::fgets(buffer, sizeof buffer, out) != nullptr) {
        first += buffer;
        if (first.back() == '\n') {
            break;
        }
    }
    const int status = ::pclose(out);
    ::close(::open("later.wav", O_RDONLY | O_NONBLOCK));  // frees the writer if verify never came
    writer.join();
    ASSERT_EQ(polled, 1);
    EXPECT_EQ(nlohmann::json::parse(first)["file"], "good.wav");
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

// The channel that carries the most sound packets is reported, in any position, also beyond
// the channels decoded in the first pass over the file.
TEST(Verify, TheChannelWithTheMostValidPacketsIsReported) {
    WorkFolder folder;
    const Samples one = SignalOf(BaseSignal().bytes);
    const Samples two = Joined({one, Silence(0.5), one});
    const Samples broken = Joined({SignalOf(Changed({{40, 0}}, false)), Silence(0.5),
                                   SignalOf(Changed({{31, 0x44}}, false))});
    const struct {
        const char* name;
        std::vector<Samples> channels;
        int channel;
        std::size_t packets;
    } cases[] = {
        {"second has two", {one, two}, 2, 2},
        {"first has two", {two, one}, 1, 2},
        {"valid beats broken", {broken, one}, 2, 1},
        {"tenth of ten",
         {Silence(1), Silence(1), Silence(1), Silence(1), Silence(1), Silence(1), Silence(1),
          Silence(1), Silence(1), one},
         10,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile("r.wav", Wav(c.channels));
        const ToolRun run = RunTool("verify --json r.wav");
        EXPECT_EQ(run.status, 0) << run.err;
        const nlohmann::json report = nlohmann::json::parse(run.out);
        EXPECT_EQ(report["channel"], c.channel);
        EXPECT_EQ(report["channels"], c.channels.size());
        EXPECT_EQ(report["packets"].size(), c.packets);
    }
}

// What is expected, and how: options alone expect only themselves; a profile, a recording and
// the log's last entry expect every byte. "as expected" only when that is so.
TEST(Verify, AnExpectationIsMetOnlyWhenWhatWasMeantWasSent) {
    WorkFolder folder;
    WriteFile("sent.wav", Wav({SignalOf(BaseSignal().bytes)}));
    WriteFile("odd63.wav", Wav({SignalOf(Changed({{63, 0x5A}}, false))}));
    WriteFile("markers.wav", Wav({SignalOf(Changed({{46, 0xEE}, {47, 0xFF}}, true))}));
    WriteFile("byte60.wav", Wav({SignalOf(Changed({{60, 0x01}}, true))}));
    WriteFile("crcbad.wav", Wav({SignalOf(Changed({{40, 0}}, false))}));
    WriteFile("meant.toml", "user-open = \"1590\"\n");
    WriteFile("other.toml", "user-open = \"1590\"\nbeep-level = 3\n");
    fs::create_directory("folder.toml");
    const std::string log = (testing::StateFolder() / "zk77q3").string();
    fs::create_directories(log);
    const std::string entry = "{\"time\":\"2026-12-07T10:00:00Z\",\"array\":\"" +
                              cli::ArrayHex(BaseSignal().bytes) + "\"}\n";
    const std::string noLog = "XDG_STATE_HOME='" + (folder.path() / "nothing").string() + "'";

    const struct {
        const char* args;
        std::string environment;
        int status;
        std::vector<std::string> lines;  // in the text report (or on standard error for 2)
        std::vector<std::string> absent;
    } cases[] = {
        {"--user-open 1590 sent.wav",
         "",
         0,
         {"checked: user-open\n", "as expected\n"},
         {"differs"}},
        {"--user-open 1591 --beep-level 0 sent.wav",
         "",
         1,
         {"checked: user-open, beep-level\n",
          "differs: user open code: expected 1591, decoded 1590\n"},
         {"as expected", "differs: beep"}},
        {"--beep-level 0 crcbad.wav", "", 1, {"not as expected: crc-bad\n"}, {"as expected\n"}},
        {"--expect-wav sent.wav sent.wav",
         "",
         0,
         {"checked: the whole array (64 bytes)\n", "as expected\n"},
         {"differs"}},
        {"--expect-wav sent.wav odd63.wav",
         "",
         1,
         {"differs: byte 63 (outside the check word): expected 00, decoded 5A\n"},
         {"as expected"}},
        {"--expect-wav sent.wav markers.wav",
         "",
         1,
         {"differs: byte 46 (marker): expected 00, decoded EE\n",
          "differs: byte 47 (marker): expected 00, decoded FF\n", "differs: byte 61 (check word)"},
         {"as expected"}},
        {"--expect-wav sent.wav byte60.wav",
         "",
         1,
         {"differs: byte 60 (never written): expected 00, decoded 01\n"},
         {"as expected"}},
        {"--config meant.toml sent.wav", "", 0, {"as expected\n"}, {}},
        {"--config other.toml sent.wav",
         "",
         1,
         {"differs: beep level: expected 3, decoded 0\n"},
         {"as expected"}},
        {"--config meant.toml --beep-level 3 sent.wav",
         "",
         1,
         {"differs: beep level: expected 3, decoded 0\n"},
         {}},
        {"--expect-last odd63.wav", "", 1, {"differs: byte 63"}, {"as expected"}},
        {"--expect-last sent.wav", "", 0, {"as expected\n"}, {}},
        {"--expect-last sent.wav", noLog, 2, {"--expect-last: the programming log"}, {}},
        {"--expect-wav sent.wav --user-open 9999 sent.wav",
         "",
         2,
         {"zk77q3: --expect-wav and --user-open cannot be given together"},
         {}},
        {"--config meant.toml --expect-last sent.wav",
         "",
         2,
         {"zk77q3: --expect-last and --config cannot be given together"},
         {}},
        {"--config folder.toml sent.wav", "", 2, {"folder.toml\". Is a directory"}, {}},
    };
    WriteFile(fs::path(log) / "sent.jsonl", "{\"time\":\"earlier\",\"array\":\"00\"}\n" + entry);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = RunTool(std::string("verify ") + c.args, c.environment);
        EXPECT_EQ(run.status, c.status) << run.err;
        const std::string& shown = c.status == 2 ? run.err : run.out;
        for (const std::string& line : c.lines) {
            EXPECT_TRUE(Has(shown, line)) << line << "\n" << shown;
        }
        for (const std::string& line : c.absent) {
            EXPECT_FALSE(Has(shown, line)) << line << "\n" << shown;
        }
        if (c.status == 2) {
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        }
    }

    // A last entry whose array is not the 64 bytes exactly is no expectation: neither one byte
    // too many nor one too few, nor a digit that is not hex.
    const std::string whole = cli::ArrayHex(BaseSignal().bytes);
    for (const std::string& array : {whole + "00", whole.substr(2), whole.substr(2) + "0G"}) {
        SCOPED_TRACE(array);
        WriteFile(fs::path(log) / "sent.jsonl",
                  "{\"time\":\"2026-12-07T10:00:00Z\",\"array\":\"" + array + "\"}\n");
        const ToolRun refused = RunTool("verify --expect-last sent.wav");
        EXPECT_EQ(refused.status, 2) << refused.err;
        EXPECT_TRUE(Has(refused.err, "log entry 1: its array is not 128 hex digits"))
            << refused.err;
    }
    WriteFile(fs::path(log) / "sent.jsonl", entry);

    // The JSON says the same: what was checked, whether it matched, and each difference.
    ToolRun run = RunTool("verify --json --user-open 1591 sent.wav");
    nlohmann::json report = nlohmann::json::parse(run.out);
    EXPECT_EQ(report["expectation"]["checked"], nlohmann::json::array({"user-open"}));
    EXPECT_EQ(report["expectation"]["whole_array"], false);
    EXPECT_EQ(report["matches_expectation"], false);
    EXPECT_EQ(report["differences"],
              nlohmann::json::array({"user open code: expected 1591, decoded 1590"}));
    EXPECT_EQ(report["packets"][0]["differences"], report["differences"]);
    run = RunTool("verify --json --expect-wav sent.wav odd63.wav");
    report = nlohmann::json::parse(run.out);
    EXPECT_EQ(report["expectation"]["whole_array"], true);
    EXPECT_EQ(report["expectation"]["checked"].size(), 18u);
    EXPECT_EQ(report["matches_expectation"], false);
    EXPECT_EQ(report["packets"][0]["matches_expectation"], false);
}

// Decoded settings print as every other command prints settings: the same keys in the same
// order, numbers as numbers.
TEST(Verify, SettingsHaveOneSchemaInEveryJsonOutput) {
    WorkFolder folder;
    const std::string settings = "--user-open 1590 --threshold 7 --max-record 12 --period 1:2:3";
    ToolRun run = RunTool("check --json " + settings);
    const nlohmann::json checked = nlohmann::json::parse(run.out)["settings"];
    EXPECT_EQ(checked["threshold"], 7);
    ASSERT_EQ(RunTool("generate " + settings).status, 0);
    run = RunTool("verify --json _qq.wav");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json decoded = nlohmann::json::parse(run.out)["packets"][0]["settings"];
    EXPECT_EQ(decoded, checked);
}

// listen's exit status and count, fed a recording through ALSA's file plugin.
TEST(Listen, ExitsZeroOnlyForASoundPacketAndStopsAtTheCount) {
    WorkFolder folder;
    const Samples good = SignalOf(BaseSignal().bytes);
    const Samples crcBad = SignalOf(Changed({{40, 0}}, false));
    const Samples settingsBad = SignalOf(Changed({{41, 21}}, true));
    const struct {
        const char* name;
        Samples input;
        const char* args;
        int status;
        std::size_t packets;
        const char* summary;
    } cases[] = {
        {"valid", good, "", 0, 1, "1 packet(s) heard, 1 valid\n"},
        {"broken only", Joined({crcBad, Silence(0.3), crcBad}), "", 1, 2,
         "2 packet(s) heard, 0 valid\n"},
        {"impossible settings", settingsBad, "", 1, 1, "1 packet(s) heard, 0 valid\n"},
        {"differs", good, "--user-open 9999", 1, 1, "1 packet(s) heard, 1 valid, 0 as expected\n"},
        {"as expected", good, "--user-open 1590", 0, 1,
         "1 packet(s) heard, 1 valid, 1 as expected\n"},
        {"count", Joined({good, Silence(0.3), good, Silence(0.3), good}), "--count 2", 0, 2,
         "2 packet(s) heard, 2 valid\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string raw;
        for (const std::int16_t v : Joined({c.input, Silence(1)})) {
            raw += Little(static_cast<std::uint16_t>(v), 2);
        }
        WriteFile("in.raw", raw);
        WriteFile("asound.conf",
                  "pcm.!default { type file slave { pcm { type null } } file \"/dev/null\" "
                  "infile \"" +
                      (folder.path() / "in.raw").string() + "\" format \"raw\" }\n");
        const ToolRun run =
            RunTool(std::string("listen --json --rate 16000 --timeout 12 ") + c.args,
                    "ALSA_CONFIG_PATH='" + (folder.path() / "asound.conf").string() + "'");
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(JsonLines(run.out).size(), c.packets) << run.out;
        EXPECT_TRUE(Has(run.err, c.summary)) << run.err;
    }
}

}  // namespace
}  // namespace zk
