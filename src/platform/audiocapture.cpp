#include "audiocapture.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>

namespace zk {

namespace {

using Clock = std::chrono::steady_clock;

constexpr snd_pcm_format_t kSampleFormat =
    std::endian::native == std::endian::little ? SND_PCM_FORMAT_S16_LE : SND_PCM_FORMAT_S16_BE;
constexpr unsigned kLatencyMicroseconds = 200000;

void DropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

struct AlsaCapture::Pcm {
    snd_pcm_t* pcm = nullptr;
    ~Pcm() {
        if (pcm != nullptr) {
            snd_pcm_close(pcm);
        }
        snd_config_update_free_global();
    }
};

CaptureError::CaptureError(const std::string& device, const std::string& reason)
    : CaptureError(device, Verbatim(reason)) {}

CaptureError::CaptureError(const std::string& device, const Wording& reason)
    : Fault(Wording{"Cannot capture from ALSA device ",
                    "Не удаётся записывать звук с устройства ALSA "} +
            Verbatim("\"" + device + "\". ") + TrimTrailingStops(reason)) {}

AlsaCapture::AlsaCapture(const std::string& device, unsigned rate, const std::string& openAdvice)
    : pcm_(std::make_unique<Pcm>()), device_(device), rate_(rate) {
    snd_lib_error_set_handler(&DropAlsaMessage);
    // Non-blocking: Read does its own bounded waiting, so that a device that stops delivering
    // cannot hold the caller inside alsa-lib, which waits again after every signal.
    int err = snd_pcm_open(&pcm_->pcm, device.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    if (err < 0) {
        pcm_->pcm = nullptr;
        throw CaptureError(
            device, std::string(snd_strerror(err)) + (openAdvice.empty() ? "" : "; " + openAdvice));
    }
    // Samples at another rate than the demodulator is told would put the carrier and the bit
    // clock off by the same factor. snd_pcm_set_params gives exactly the rate asked for
    // (converted by the plug layer where the card has another) or fails, so a refusal here is
    // the only way a wrong rate shows, and it must stop the capture.
    err = snd_pcm_set_params(pcm_->pcm, kSampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED, 1, rate, 1,
                             kLatencyMicroseconds);
    if (err < 0) {
        const std::string hertz = std::to_string(rate);
        throw CaptureError(
            device, Wording{"It refuses 16-bit mono sound at " + hertz + " Hz: ",
                            "Устройство не даёт 16-битный монозвук с частотой " + hertz + " Гц: "} +
                        Verbatim(snd_strerror(err)));
    }
}

AlsaCapture::~AlsaCapture() = default;

void AlsaCapture::Read(long frames, std::vector<float>& samples) {
    samples.clear();
    raw_.resize(static_cast<std::size_t>(std::max(frames, 0L)));
    if (raw_.empty()) {
        return;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kWaitMilliseconds);
    for (;;) {
        // A prepared device is started by this first read.
        snd_pcm_sframes_t got =
            snd_pcm_readi(pcm_->pcm, raw_.data(), static_cast<snd_pcm_uframes_t>(raw_.size()));
        if (got > 0) {
            restartsWithoutSound_ = 0;
            samples.resize(static_cast<std::size_t>(got));
            for (std::size_t i = 0; i < samples.size(); ++i) {
                samples[i] = static_cast<float>(raw_[i]) / 32768.0f;
            }
            return;
        }
        if (got == 0 || got == -EAGAIN) {
            // Nothing there yet: wait for the device, no longer than what is left of the time.
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return;
            }
            const int ready = snd_pcm_wait(pcm_->pcm, static_cast<int>(left.count()));
            if (ready == 0) {
                return;  // quiet for the whole time
            }
            if (ready > 0) {
                continue;
            }
            got = ready;  // the wait saw an overrun, a suspend or a failure
        }
        if (got == -EINTR) {
            return;  // a signal: the caller may have been asked to stop
        }
        // An overrun (the reader fell behind) or a suspend: prepare the device again and go on.
        // Anything else, or a recovery that fails, is a device that cannot go on.
        const int err = snd_pcm_recover(pcm_->pcm, static_cast<int>(got), 1);
        if (err < 0) {
            throw CaptureError(device_, snd_strerror(err));
        }
        if (++restartsWithoutSound_ >= kRestartsWithoutSound) {
            const std::string restarts = std::to_string(kRestartsWithoutSound - 1);
            throw CaptureError(
                device_, Verbatim(snd_strerror(static_cast<int>(got))) +
                             Wording{", again after " + restarts + " restarts without sound",
                                     ", снова после " + restarts + " перезапусков без звука"});
        }
    }
}

}  // namespace zk
