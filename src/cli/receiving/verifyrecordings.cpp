#include "verifyrecordings.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "channelreceivers.h"
#include "findingwords.h"
#include "generate.h"
#include "leveltext.h"
#include "messages.h"
#include "soundfilereader.h"

namespace zk::cli {

namespace {

// Samples read at once, all channels together: a file's header may claim any channel count,
// and the block must not grow with it.
constexpr long kBlockSamples = 1 << 15;
constexpr long kMinBlockFrames = 256;
// Channels decoded in one pass over the file; each has a demodulator of its own, which holds a
// few seconds of input. More channels are decoded in further passes, reading the file again.
constexpr int kChannelsAtOnce = 8;

// The outcomes of a file without a packet, best first: each with its word in the reports and
// the finding that earns it (none for the last, which is left when nothing else applies).
struct NoPacketOutcome {
    NoPacket outcome;
    const char* word;
    std::optional<receive::Problem> finding;
};
constexpr NoPacketOutcome kNoPacketOutcomes[] = {
    {NoPacket::Truncated, "truncated", receive::Problem::DataCutOff},
    {NoPacket::TooNoisy, "too-noisy", receive::Problem::TooNoisy},
    {NoPacket::NoSignal, "no-signal", std::nullopt},
};

struct FileDecode {
    int channels = 0;
    int rate = 0;
    ChannelResult best;
};

// Channels first..last of the file, in one pass from its start.
std::vector<ChannelResult> DecodeChannels(SoundFileReader& reader, const std::string& path,
                                          int first, int last) {
    std::unique_ptr<ChannelReceivers> receivers;
    try {
        receivers = std::make_unique<ChannelReceivers>(reader.Rate(), reader.Channels(), first,
                                                       last - first + 1);
    } catch (const std::invalid_argument&) {
        throw SoundFileError(
            path, "Its rate of " + std::to_string(reader.Rate()) + " Hz is outside 8000..96000 Hz");
    }
    const long frames = std::max(kMinBlockFrames, kBlockSamples / reader.Channels());
    std::vector<float> block;
    for (reader.Read(frames, block); !block.empty(); reader.Read(frames, block)) {
        receivers->Feed(block);
    }
    receivers->Finish();
    return receivers->Results();
}

bool RegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Reads the file and decodes each channel asked for, kChannelsAtOnce at a time, reading the
// file again for each further group; the channel that carries the signal is reported.
FileDecode DecodeFile(const std::string& path, std::optional<int> channel) {
    auto reader = std::make_unique<SoundFileReader>(path);
    FileDecode result;
    result.channels = reader->Channels();
    result.rate = reader->Rate();
    if (channel && (*channel < 1 || *channel > result.channels)) {
        throw SoundFileError(path, "It has " + std::to_string(result.channels) +
                                       " channel(s); there is no channel " +
                                       std::to_string(*channel));
    }
    const int first = channel ? *channel - 1 : 0;
    const int last = channel ? *channel - 1 : result.channels - 1;
    if (last - first + 1 > kChannelsAtOnce && !RegularFile(path)) {
        throw SoundFileError(path, "It has " + std::to_string(result.channels) +
                                       " channels, more than " + std::to_string(kChannelsAtOnce) +
                                       " are decoded at once, and it cannot be read twice; "
                                       "choose one with --channel");
    }
    bool any = false;
    for (int from = first; from <= last; from += kChannelsAtOnce) {
        if (from != first) {
            reader = std::make_unique<SoundFileReader>(path);
            if (reader->Channels() != result.channels || reader->Rate() != result.rate) {
                throw SoundFileError(path, "It changed while it was read");
            }
        }
        for (ChannelResult& r :
             DecodeChannels(*reader, path, from, std::min(last, from + kChannelsAtOnce - 1))) {
            if (!any || CarriesMore(r, result.best)) {
                result.best = std::move(r);
                any = true;
            }
        }
    }
    return result;
}

// JSON keeps a number for silence too: scripts compare it.
double PeakDbfs(float peak) {
    return peak > 0 ? std::round(2000.0 * std::log10(peak)) / 100.0 : receive::kSilenceDbfs;
}

std::string FileReport(const std::string& path, const FileDecode& decoded,
                       const VerifyRequest& request, const FileVerdict& verdict, bool matches,
                       const std::vector<std::string>& differences) {
    const ChannelResult& d = decoded.best;
    if (request.json) {
        nlohmann::ordered_json packets = nlohmann::ordered_json::array();
        for (const receive::Packet& p : d.packets) {
            packets.push_back(PacketJson(p, request.expected));
        }
        nlohmann::ordered_json findings = nlohmann::ordered_json::array();
        for (const receive::Finding& f : d.diagnosis.findings) {
            findings.push_back(FindingWords(f));
        }
        nlohmann::ordered_json report = {
            {"file", path},
            {"verdict", FileVerdictName(verdict)},
            {"peak_dbfs", PeakDbfs(d.level.peak)},
            {"clipped", d.level.clipped > 0},
            {"channel", d.channel + 1},
            {"channels", decoded.channels},
            {"rate", decoded.rate},
        };
        if (request.expected) {
            report["expectation"] = ExpectationJson(*request.expected);
            report["matches_expectation"] = matches;
            report["differences"] = differences;
        }
        report["packets"] = packets;
        report["findings"] = findings;
        return report.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + '\n';
    }
    std::string out = EscapeControls(path) + ": " + FileVerdictName(verdict);
    if (decoded.channels > 1) {
        out += " (channel " + std::to_string(d.channel + 1) + " of " +
               std::to_string(decoded.channels) + ")";
    }
    out += '\n';
    for (std::size_t k = 0; k < d.packets.size(); ++k) {
        out += "packet " + std::to_string(k + 1) + " of " + std::to_string(d.packets.size()) +
               '\n' + PacketText(d.packets[k], request.expected);
    }
    if (d.packets.empty() || verdict != FileVerdict{PacketVerdict::Valid} || d.level.clipped > 0) {
        for (const receive::Finding& f : d.diagnosis.findings) {
            out += "  " + FindingWords(f) + '\n';
        }
    }
    return out;
}

// libsndfile's and the system's reasons are sentences ("Format not recognised"); after a colon
// they read as clauses. A word in capitals ("ALSA", "FLAC") keeps them.
std::string AsClause(std::string text) {
    if (text.size() >= 2 && text[0] >= 'A' && text[0] <= 'Z' &&
        !(text[1] >= 'A' && text[1] <= 'Z')) {
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    }
    return text;
}

}  // namespace

std::string RecordingFaultText(const SoundFileError& error) {
    return std::string(error.FailedStage() == SoundFileError::Stage::Open ? "cannot open"
                                                                          : "cannot read") +
           " recording " + Quoted(error.Path()) + ": " + AsClause(error.Reason());
}

const char* FileVerdictName(const FileVerdict& verdict) {
    if (const auto* packet = std::get_if<PacketVerdict>(&verdict)) {
        return PacketVerdictName(*packet);
    }
    for (const NoPacketOutcome& o : kNoPacketOutcomes) {
        if (o.outcome == std::get<NoPacket>(verdict)) {
            return o.word;
        }
    }
    return "?";
}

FileVerdict FileVerdictOf(const std::vector<receive::Packet>& packets,
                          const receive::Diagnosis& diagnosis) {
    if (!packets.empty()) {
        // PacketVerdict runs best first.
        PacketVerdict best = VerdictOf(packets.front());
        for (const receive::Packet& p : packets) {
            best = std::min(best, VerdictOf(p));
        }
        return best;
    }
    for (const NoPacketOutcome& o : kNoPacketOutcomes) {
        if (!o.finding || diagnosis.Has(*o.finding)) {
            return o.outcome;
        }
    }
    return NoPacket::NoSignal;
}

Array ArrayOfRecording(const std::string& path) {
    const FileDecode decoded = DecodeFile(path, std::nullopt);
    for (const receive::Packet& p : decoded.best.packets) {
        if (p.HeaderAndCheckWordRight()) {
            return p.bytes;
        }
    }
    throw SoundFileError(path, "It holds no valid programming signal to compare with");
}

int RunVerify(const VerifyRequest& request, const std::function<void(const std::string&)>& emit) {
    int status = kVerifyAsExpected;
    for (const std::string& path : request.files) {
        FileDecode decoded;
        try {
            decoded = DecodeFile(path, request.channel);
        } catch (const SoundFileError& error) {
            SayError(RecordingFaultText(error));
            status = std::max(status, kVerifyBadInput);
            continue;
        } catch (const Fault& fault) {
            SayError(fault.what());
            status = std::max(status, kVerifyBadInput);
            continue;
        }
        const FileVerdict verdict = FileVerdictOf(decoded.best.packets, decoded.best.diagnosis);
        // Every sound packet must be as expected: the repeater takes each one it hears.
        bool matches = verdict == FileVerdict{PacketVerdict::Valid};
        std::vector<std::string> differences;
        if (request.expected && matches) {
            for (const receive::Packet& p : decoded.best.packets) {
                if (VerdictOf(p) == PacketVerdict::Valid) {
                    differences = DifferenceTexts(*request.expected, p.bytes);
                    if (!differences.empty()) {
                        matches = false;
                        break;
                    }
                }
            }
        }
        if (!matches) {
            status = std::max(status, kVerifyNotAsExpected);
        }
        emit(FileReport(path, decoded, request, verdict, matches, differences));
    }
    return status;
}

}  // namespace zk::cli
