#include "channelreceivers.h"

#include <algorithm>

#include "leveltext.h"
#include "packetverdict.h"

namespace zk {

int ChannelResult::SoundCount() const {
    return static_cast<int>(std::count_if(packets.begin(), packets.end(), [](const auto& p) {
        return VerdictOf(p) == PacketVerdict::Valid;
    }));
}

int ChannelResult::WholeCount() const {
    return static_cast<int>(std::count_if(
        packets.begin(), packets.end(), [](const auto& p) { return p.HeaderAndCheckWordRight(); }));
}

bool CarriesMore(const ChannelResult& a, const ChannelResult& b) {
    if (a.SoundCount() != b.SoundCount()) {
        return a.SoundCount() > b.SoundCount();
    }
    if (a.WholeCount() != b.WholeCount()) {
        return a.WholeCount() > b.WholeCount();
    }
    return a.packets.size() > b.packets.size();
}

std::size_t BestChannel(const std::vector<ChannelResult>& results) {
    std::size_t best = 0;
    for (std::size_t k = 1; k < results.size(); ++k) {
        if (CarriesMore(results[k], results[best])) {
            best = k;
        }
    }
    return best;
}

ChannelReceivers::ChannelReceivers(double rate, int channels, int first, int count)
    : channels_(channels) {
    for (int k = 0; k < count; ++k) {
        receivers_.push_back(std::make_unique<receive::Demodulator>(rate));
        results_.emplace_back().channel = first + k;
    }
}

ChannelReceivers::~ChannelReceivers() = default;

std::vector<ChannelPacket> ChannelReceivers::Feed(std::span<const float> block) {
    std::vector<ChannelPacket> heard;
    const auto stride = static_cast<std::size_t>(channels_);
    const std::size_t frames = block.size() / stride;
    for (std::size_t k = 0; k < receivers_.size(); ++k) {
        ChannelResult& result = results_[k];
        // A mono input is its own channel; only interleaved ones are taken apart.
        std::span<const float> samples = block;
        if (stride > 1) {
            const auto offset = static_cast<std::size_t>(result.channel);
            one_.resize(frames);
            for (std::size_t i = 0; i < frames; ++i) {
                one_[i] = block[i * stride + offset];
            }
            samples = one_;
        }
        for (receive::Packet& p : receivers_[k]->Feed(samples)) {
            heard.push_back({p, result.channel});
            result.packets.push_back(std::move(p));
        }
    }
    return heard;
}

receive::LevelStatus ChannelReceivers::TakeLevel() {
    receive::LevelStatus all;
    all.peakDbfs = receive::kSilenceDbfs;
    for (auto& receiver : receivers_) {
        const receive::LevelStatus level = receiver->TakeLevel();
        all.peakDbfs = std::max(all.peakDbfs, level.peakDbfs);
        all.clipping = all.clipping || level.clipping;
        all.toneHeard = all.toneHeard || level.toneHeard;
        all.dataBit = std::max(all.dataBit, level.dataBit);
    }
    all.tooQuiet = all.peakDbfs < receive::kTooQuietDbfs;
    return all;
}

std::vector<ChannelPacket> ChannelReceivers::Finish() {
    std::vector<ChannelPacket> heard;
    for (std::size_t k = 0; k < receivers_.size(); ++k) {
        ChannelResult& result = results_[k];
        result.level = receivers_[k]->TotalLevel();
        receive::FinishResult rest = receivers_[k]->Finish();
        for (receive::Packet& p : rest.packets) {
            heard.push_back({p, result.channel});
            result.packets.push_back(std::move(p));
        }
        result.diagnosis = std::move(rest.diagnosis);
    }
    return heard;
}

}  // namespace zk
