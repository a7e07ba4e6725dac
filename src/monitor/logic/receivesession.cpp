#include "receivesession.h"

#include <algorithm>
#include <exception>

#include "channelreceivers.h"
#include "errors.h"
#include "leveltext.h"

namespace zk::monitor {

struct ReceiveSession::Worker {
    std::unique_ptr<InputSource> input;
    ChannelReceivers receivers;
    SpectrumAnalyzer spectrum;
    ReceiveStateTracker tracker;
    std::int64_t frames = 0;

    Worker(std::unique_ptr<InputSource> source, double rate)
        : input(std::move(source)),
          receivers(rate, input->Channels(), 0, input->Channels()),
          spectrum(rate) {}
};

namespace {

double CheckedRate(const InputSource& input) {
    const double rate = input.Rate();
    if (rate < receive::kMinInputRate || rate > receive::kMaxInputRate) {
        throw Fault("The sound's rate of " + std::to_string(static_cast<long long>(rate)) +
                    " Hz is outside the " +
                    std::to_string(static_cast<int>(receive::kMinInputRate)) + ".." +
                    std::to_string(static_cast<int>(receive::kMaxInputRate)) +
                    " Hz the receiver takes");
    }
    return rate;
}

void CheckChannels(const InputSource& input) {
    if (input.Channels() < 1 || input.Channels() > kMaxChannels) {
        throw Fault("The sound has " + std::to_string(input.Channels()) +
                    " channels; the monitor decodes 1 to " + std::to_string(kMaxChannels));
    }
}

}  // namespace

ReceiveSession::ReceiveSession(std::unique_ptr<InputSource> input)
    : rate_(CheckedRate(*input)),
      live_(input->Live()),
      ring_(static_cast<std::size_t>(rate_ * kKeptSeconds)) {
    CheckChannels(*input);
    worker_ = std::make_unique<Worker>(std::move(input), rate_);
    thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
}

ReceiveSession::~ReceiveSession() {
    Stop();
}

void ReceiveSession::Stop() {
    thread_.request_stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool ReceiveSession::WaitForEnd(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return endedSignal_.wait_for(lock, timeout, [this] { return ended_; });
}

SessionUpdate ReceiveSession::Take() {
    std::lock_guard lock(mutex_);
    SessionUpdate update = std::move(pending_);
    pending_ = SessionUpdate{};
    // What lasts beyond one look: the state and the end.
    pending_.state = update.state;
    pending_.streamSeconds = update.streamSeconds;
    pending_.ended = update.ended;
    return update;
}

std::vector<std::int16_t> ReceiveSession::LastMinute() const {
    std::lock_guard lock(mutex_);
    return ring_.Contents();
}

void ReceiveSession::Run(std::stop_token stop) {
    Worker& w = *worker_;
    const auto channels = static_cast<std::size_t>(w.input->Channels());
    std::vector<float> block;
    std::vector<float> mix;
    std::vector<SpectrumRow> rows;
    Wording fault;
    std::vector<HeardPacket> heard;
    const auto hear = [&heard](const std::vector<ChannelPacket>& packets, auto at) {
        for (const ChannelPacket& p : packets) {
            heard.push_back({p.packet, p.channel, at});
        }
    };
    try {
        while (!stop.stop_requested()) {
            if (!w.input->Read(block)) {
                break;
            }
            const std::size_t frames = block.size() / channels;
            heard.clear();
            const auto now = std::chrono::system_clock::now();
            hear(w.receivers.Feed(block), now);
            // The channels mixed for the waterfall and the kept minute.
            mix.resize(frames);
            for (std::size_t i = 0; i < frames; ++i) {
                float sum = 0;
                for (std::size_t c = 0; c < channels; ++c) {
                    sum += block[i * channels + c];
                }
                mix[i] = sum / static_cast<float>(channels);
            }
            rows.clear();
            w.spectrum.Feed(mix, rows);
            const receive::LevelStatus level = w.receivers.TakeLevel();
            w.frames += static_cast<std::int64_t>(frames);
            const double seconds = static_cast<double>(w.frames) / rate_;
            w.tracker.Advance(seconds, level.toneHeard, level.dataBit, !heard.empty());

            std::lock_guard lock(mutex_);
            ring_.Add(mix);
            pending_.packets.insert(pending_.packets.end(), heard.begin(), heard.end());
            pending_.rows.insert(pending_.rows.end(), rows.begin(), rows.end());
            if (pending_.rows.size() > kMaxPendingRows) {
                pending_.rows.erase(
                    pending_.rows.begin(),
                    pending_.rows.end() - static_cast<std::ptrdiff_t>(kMaxPendingRows));
            }
            pending_.peakDbfs = std::max(pending_.peakDbfs, level.peakDbfs);
            pending_.clipping = pending_.clipping || level.clipping;
            pending_.state = w.tracker.State();
            pending_.streamSeconds = seconds;
        }
    } catch (const std::exception& e) {
        fault = WordingOf(e);
    }

    // The end of the input: what the receivers still hold, and why nothing came if so.
    heard.clear();
    try {
        hear(w.receivers.Finish(), std::chrono::system_clock::now());
    } catch (const std::exception& e) {
        if (fault.english.empty()) {
            fault = WordingOf(e);
        }
    }
    const double seconds = static_cast<double>(w.frames) / rate_;
    if (!heard.empty()) {
        w.tracker.Advance(seconds, false, 0, true);
    }
    if (!live_) {
        w.tracker.End();
    }
    const std::vector<ChannelResult>& results = w.receivers.Results();
    const bool wholeHeard = std::any_of(results.begin(), results.end(),
                                        [](const ChannelResult& r) { return r.WholeCount() > 0; });
    std::lock_guard lock(mutex_);
    pending_.packets.insert(pending_.packets.end(), heard.begin(), heard.end());
    pending_.state = w.tracker.State();
    pending_.ended = true;
    pending_.fault = fault;
    // Why nothing whole came, in the words of the channel that carries the signal, the one
    // verify would report. A live run stopped by the operator is no failed recording: no
    // diagnosis then.
    if (!wholeHeard && !results.empty() && !(live_ && stop.stop_requested())) {
        pending_.findings = results[BestChannel(results)].diagnosis.findings;
    }
    ended_ = true;
    endedSignal_.notify_all();
}

}  // namespace zk::monitor
