#include "verify.h"

#include <cmath>
#include <memory>
#include <ostream>

#include "demodulator.h"
#include "generate.h"
#include "messages.h"
#include "soundfilereader.h"

namespace zk::cli {

namespace {

constexpr long kBlockFrames = 1 << 15;
// A sample this close to full scale counts as clipped (the largest 16-bit value is 32767/32768).
constexpr float kClipLevel = 0.9999f;

struct ChannelDecode {
    explicit ChannelDecode(double rate) : demodulator(rate) {}
    receive::Demodulator demodulator;
    std::vector<receive::Packet> packets;
    receive::Diagnosis diagnosis;
    float peak = 0;
    bool clipped = false;

    int ValidCount() const {
        int n = 0;
        for (const receive::Packet& p : packets) {
            n += p.Valid() ? 1 : 0;
        }
        return n;
    }
};

struct FileDecode {
    int channels = 0;
    int rate = 0;
    int channel = 0;  // 0-based, the one reported
    std::unique_ptr<ChannelDecode> decode;
};

// Reads the file in blocks and feeds each channel asked for to a demodulator of its own; the
// channel with the most valid packets (then the most packets, then the first) is reported.
FileDecode DecodeFile(const std::string& path, std::optional<int> channel) {
    SoundFileReader reader(path);
    FileDecode result;
    result.channels = reader.Channels();
    result.rate = reader.Rate();
    if (channel && (*channel < 1 || *channel > reader.Channels())) {
        throw SoundFileError(path, "It has " + std::to_string(reader.Channels()) +
                                       " channel(s); there is no channel " +
                                       std::to_string(*channel));
    }
    const int first = channel ? *channel - 1 : 0;
    const int last = channel ? *channel - 1 : reader.Channels() - 1;
    std::vector<std::unique_ptr<ChannelDecode>> decodes;
    for (int c = first; c <= last; ++c) {
        try {
            decodes.push_back(std::make_unique<ChannelDecode>(reader.Rate()));
        } catch (const std::invalid_argument&) {
            throw SoundFileError(path, "Its rate of " + std::to_string(reader.Rate()) +
                                           " Hz is outside 8000..96000 Hz");
        }
    }
    std::vector<float> block;
    std::vector<float> one;
    const auto stride = static_cast<std::size_t>(reader.Channels());
    for (reader.Read(kBlockFrames, block); !block.empty(); reader.Read(kBlockFrames, block)) {
        for (int c = first; c <= last; ++c) {
            ChannelDecode& d = *decodes[static_cast<std::size_t>(c - first)];
            one.clear();
            for (std::size_t i = static_cast<std::size_t>(c); i < block.size(); i += stride) {
                const float v = block[i];
                one.push_back(v);
                const float magnitude = std::fabs(v);
                d.peak = std::max(d.peak, magnitude);
                d.clipped = d.clipped || magnitude >= kClipLevel;
            }
            for (receive::Packet& p : d.demodulator.Feed(one)) {
                d.packets.push_back(p);
            }
        }
    }
    for (auto& d : decodes) {
        receive::FinishResult rest = d->demodulator.Finish();
        d->packets.insert(d->packets.end(), rest.packets.begin(), rest.packets.end());
        d->diagnosis = std::move(rest.diagnosis);
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < decodes.size(); ++i) {
        const ChannelDecode& a = *decodes[i];
        const ChannelDecode& b = *decodes[best];
        if (a.ValidCount() > b.ValidCount() ||
            (a.ValidCount() == b.ValidCount() && a.packets.size() > b.packets.size())) {
            best = i;
        }
    }
    result.channel = first + static_cast<int>(best);
    result.decode = std::move(decodes[best]);
    return result;
}

std::string Verdict(const ChannelDecode& d) {
    bool crcBad = false;
    bool headerBad = false;
    for (const receive::Packet& p : d.packets) {
        if (p.Valid()) {
            return "valid";
        }
        crcBad = crcBad || p.headerOk;
        headerBad = headerBad || !p.headerOk;
    }
    if (crcBad) {
        return "crc-bad";
    }
    if (headerBad) {
        return "header-bad";
    }
    if (d.diagnosis.Has(receive::Problem::DataCutOff)) {
        return "truncated";
    }
    if (d.diagnosis.Has(receive::Problem::TooNoisy)) {
        return "too-noisy";
    }
    return "no-signal";
}

double PeakDbfs(float peak) {
    return peak > 0 ? std::round(2000.0 * std::log10(peak)) / 100.0 : -200.0;
}

}  // namespace

Array ArrayForSettings(PanelState panel) {
    GenerateTransferArray(panel);
    Array bytes{};
    for (int i = 0; i < kTransferSize; ++i) {
        bytes[static_cast<std::size_t>(i)] = TransferArray[i];
    }
    return bytes;
}

Array ArrayOfRecording(const std::string& path) {
    const FileDecode decoded = DecodeFile(path, std::nullopt);
    for (const receive::Packet& p : decoded.decode->packets) {
        if (p.Valid()) {
            return p.bytes;
        }
    }
    throw SoundFileError(path, "It holds no valid programming signal to compare with");
}

int RunVerify(const VerifyRequest& request, std::ostream& out) {
    int status = 0;
    for (const std::string& path : request.files) {
        FileDecode decoded;
        try {
            decoded = DecodeFile(path, request.channel);
        } catch (const Fault& fault) {
            SayError(fault.what());
            status = 2;
            continue;
        }
        const ChannelDecode& d = *decoded.decode;
        const std::string verdict = Verdict(d);
        bool matches = verdict == "valid";
        std::vector<std::string> differences;
        if (request.expected && matches) {
            for (const receive::Packet& p : d.packets) {
                if (p.Valid()) {
                    differences = SettingDifferences(*request.expected, p.bytes);
                    matches = differences.empty();
                    break;
                }
            }
        }
        if (!matches && status == 0) {
            status = 1;
        }

        if (request.json) {
            nlohmann::json packets = nlohmann::json::array();
            for (const receive::Packet& p : d.packets) {
                packets.push_back(PacketJson(p));
            }
            nlohmann::json findings = nlohmann::json::array();
            for (const receive::Finding& f : d.diagnosis.findings) {
                findings.push_back(f.text);
            }
            nlohmann::json report = {
                {"file", path},
                {"verdict", verdict},
                {"peak_dbfs", PeakDbfs(d.peak)},
                {"clipped", d.clipped},
                {"channel", decoded.channel + 1},
                {"channels", decoded.channels},
                {"rate", decoded.rate},
                {"packets", packets},
                {"findings", findings},
            };
            if (request.expected) {
                report["matches_expectation"] = matches;
                report["differences"] = differences;
            }
            out << report.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
            continue;
        }

        out << EscapeControls(path) << ": " << verdict;
        if (decoded.channels > 1) {
            out << " (channel " << decoded.channel + 1 << " of " << decoded.channels << ")";
        }
        out << '\n';
        for (std::size_t k = 0; k < d.packets.size(); ++k) {
            out << "packet " << k + 1 << " of " << d.packets.size() << '\n'
                << PacketText(d.packets[k], request.expected);
        }
        if (d.packets.empty() || verdict != "valid" || d.clipped) {
            for (const receive::Finding& f : d.diagnosis.findings) {
                out << "  " << f.text << '\n';
            }
        }
    }
    return status;
}

}  // namespace zk::cli
