#include "audiocapture.h"

#include <alsa/asoundlib.h>

#include <bit>

namespace zk {

namespace {

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
    : Fault("Cannot capture from ALSA device \"" + device + "\". " + TrimTrailingStops(reason)) {}

AlsaCapture::AlsaCapture(const std::string& device, unsigned rate)
    : pcm_(std::make_unique<Pcm>()), device_(device), rate_(rate) {
    snd_lib_error_set_handler(&DropAlsaMessage);
    int err = snd_pcm_open(&pcm_->pcm, device.c_str(), SND_PCM_STREAM_CAPTURE, 0);
    if (err < 0) {
        pcm_->pcm = nullptr;
        throw CaptureError(device, snd_strerror(err));
    }
    err = snd_pcm_set_params(pcm_->pcm, kSampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED, 1, rate, 1,
                             kLatencyMicroseconds);
    if (err < 0) {
        throw CaptureError(device, snd_strerror(err));
    }
}

AlsaCapture::~AlsaCapture() = default;

void AlsaCapture::Read(long frames, std::vector<float>& samples) {
    raw_.resize(static_cast<std::size_t>(frames));
    for (;;) {
        const snd_pcm_sframes_t got =
            snd_pcm_readi(pcm_->pcm, raw_.data(), static_cast<snd_pcm_uframes_t>(frames));
        if (got >= 0) {
            samples.resize(static_cast<std::size_t>(got));
            for (std::size_t i = 0; i < samples.size(); ++i) {
                samples[i] = static_cast<float>(raw_[i]) / 32768.0f;
            }
            return;
        }
        // An overrun (the reader fell behind) or a signal: prepare again and go on.
        const int err = snd_pcm_recover(pcm_->pcm, static_cast<int>(got), 1);
        if (err < 0) {
            throw CaptureError(device_, snd_strerror(err));
        }
    }
}

}  // namespace zk
