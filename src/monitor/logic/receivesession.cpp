#include "receivesession.h"

#include <algorithm>
#include <exception>

#include "demodulator.h"
#include "errors.h"
#include "leveltext.h"

namespace zk::monitor {

struct ReceiveSession::Worker {
    std::unique_ptr<InputSource> input;
    std::vector<std::unique_ptr<receive::Demodulator>> demodulators;
    SpectrumAnalyzer spectrum;
    ReceiveStateTracker tracker;
    std::int64_t frames = 0;

    Worker(std::unique_ptr<InputSource> source, double rate)
        : input(std::move(source)), spectrum(rate) {}
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
    for (int c = 0; c < worker_->input->Channels(); ++c) {
        worker_->demodulators.push_back(std::make_unique<receive::Demodulator>(rate_));
    }
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
    std::vector<float> channel;
    std::vector<float> mix;
    std::vector<SpectrumRow> rows;
    std::string fault;
    std::vector<HeardPacket> heard;
    bool validHeard = false;
    const auto anyValid = [](const std::vector<HeardPacket>& packets) {
        return std::any_of(packets.begin(), packets.end(),
                           [](const HeardPacket& h) { return h.packet.HeaderAndCheckWordRight(); });
    };
    try {
        while (!stop.stop_requested()) {
            if (!w.input->Read(block)) {
                break;
            }
            const std::size_t frames = block.size() / channels;
            heard.clear();
            const auto now = std::chrono::system_clock::now();
            for (std::size_t c = 0; c < channels; ++c) {
                channel.resize(frames);
                for (std::size_t i = 0; i < frames; ++i) {
                    channel[i] = block[i * channels + c];
                }
                for (const receive::Packet& p : w.demodulators[c]->Feed(channel)) {
                    heard.push_back({p, static_cast<int>(c), now});
                }
            }
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
            double peak = receive::kSilenceDbfs;
            bool clipping = false;
            bool tone = false;
            int dataBit = 0;
            for (auto& d : w.demodulators) {
                const receive::LevelStatus level = d->TakeLevel();
                peak = std::max(peak, level.peakDbfs);
                clipping = clipping || level.clipping;
                tone = tone || level.toneHeard;
                dataBit = std::max(dataBit, level.dataBit);
            }
            validHeard = validHeard || anyValid(heard);
            w.frames += static_cast<std::int64_t>(frames);
            const double seconds = static_cast<double>(w.frames) / rate_;
            w.tracker.Advance(seconds, tone, dataBit, !heard.empty());

            std::lock_guard lock(mutex_);
            ring_.Add(mix);
            pending_.packets.insert(pending_.packets.end(), heard.begin(), heard.end());
            pending_.rows.insert(pending_.rows.end(), rows.begin(), rows.end());
            if (pending_.rows.size() > kMaxPendingRows) {
                pending_.rows.erase(
                    pending_.rows.begin(),
                    pending_.rows.end() - static_cast<std::ptrdiff_t>(kMaxPendingRows));
            }
            pending_.peakDbfs = std::max(pending_.peakDbfs, peak);
            pending_.clipping = pending_.clipping || clipping;
            pending_.state = w.tracker.State();
            pending_.streamSeconds = seconds;
        }
    } catch (const std::exception& e) {
        fault = e.what();
    }

    // The end of the input: what the demodulators still hold, and why nothing came if so.
    heard.clear();
    std::vector<receive::Finding> findings;
    try {
        const auto now = std::chrono::system_clock::now();
        for (std::size_t c = 0; c < channels; ++c) {
            receive::FinishResult rest = w.demodulators[c]->Finish();
            for (const receive::Packet& p : rest.packets) {
                heard.push_back({p, static_cast<int>(c), now});
            }
            if (findings.empty()) {
                findings = rest.diagnosis.findings;
            }
        }
    } catch (const std::exception& e) {
        fault = fault.empty() ? e.what() : fault;
    }
    const double seconds = static_cast<double>(w.frames) / rate_;
    if (!heard.empty()) {
        w.tracker.Advance(seconds, false, 0, true);
    }
    if (!live_) {
        w.tracker.End();
    }
    validHeard = validHeard || anyValid(heard);
    std::lock_guard lock(mutex_);
    pending_.packets.insert(pending_.packets.end(), heard.begin(), heard.end());
    pending_.state = w.tracker.State();
    pending_.ended = true;
    pending_.fault = fault;
    // A live run stopped by the operator is no failed recording: no diagnosis then.
    if (!validHeard && !(live_ && stop.stop_requested())) {
        pending_.findings = findings;
    }
    ended_ = true;
    endedSignal_.notify_all();
}

}  // namespace zk::monitor
