#include "audioplayer.h"

#include <algorithm>
#include <bit>
#include <memory>

#include "alsalibrary.h"
#include "errors.h"

namespace zk {
namespace {

// Latency asked of the device, in microseconds.
constexpr unsigned kLatencyMicroseconds = 200000;

// Samples are kept in the machine's own byte order; the device is opened with the matching format.
constexpr snd_pcm_format_t kSampleFormat =
    std::endian::native == std::endian::little ? SND_PCM_FORMAT_S16_LE : SND_PCM_FORMAT_S16_BE;

// alsa-lib writes its own diagnostic lines to the standard error stream. Every failure that
// matters also comes back as an error code, which becomes the exception's text, so the lines
// themselves are dropped.
void DropAlsaMessage(const char* /*file*/, int /*line*/, const char* /*function*/, int /*err*/,
                     const char* /*fmt*/, ...) {}

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { alsa::Playback().pcm_close(pcm); }
};
using Pcm = std::unique_ptr<snd_pcm_t, PcmCloser>;

// Releases alsa-lib's cached global configuration when a play ends, after the device is closed,
// so that nothing of it stays allocated between plays.
struct AlsaConfigRelease {
    AlsaConfigRelease() = default;
    AlsaConfigRelease(const AlsaConfigRelease&) = delete;
    AlsaConfigRelease& operator=(const AlsaConfigRelease&) = delete;
    ~AlsaConfigRelease() { alsa::Playback().config_update_free_global(); }
};

}  // namespace

void AlsaPlayer::Play(const Sound& sound) {
    Play(sound, std::stop_token());
}

void AlsaPlayer::Play(const Sound& sound, std::stop_token stop) {
    const alsa::PlaybackFunctions* loaded = nullptr;
    try {
        loaded = &alsa::Playback();
    } catch (const alsa::LoadError& error) {
        throw PlaybackError(sound.fileName,
                            std::string("ALSA library cannot be loaded: ") + error.what());
    }
    const alsa::PlaybackFunctions& snd = *loaded;
    snd.lib_error_set_handler(&DropAlsaMessage);
    const auto fail = [&](const std::string& what, int err, const std::string& advice = "") {
        throw PlaybackError(sound.fileName, "ALSA device \"" + device_ + "\" " + what + ": " +
                                                snd.strerror(err) +
                                                (advice.empty() ? "" : "; " + advice));
    };
    if (sound.channels < 1 || sound.rate < 1) {
        fail("cannot play it", -EINVAL);
    }

    AlsaConfigRelease release;  // declared first: runs after the device is closed
    snd_pcm_t* opened = nullptr;
    int err = snd.pcm_open(&opened, device_.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
    if (err < 0) {
        fail("cannot be opened", err, openAdvice_);
    }
    const Pcm pcm(opened);

    // Soft resampling on: a card without the sound's rate plays it converted.
    err = snd.pcm_set_params(pcm.get(), kSampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED,
                             sound.channels, sound.rate, 1, kLatencyMicroseconds);
    if (err < 0) {
        fail("refuses " + std::to_string(sound.channels) + "-channel 16-bit sound at " +
                 std::to_string(sound.rate) + " Hz",
             err);
    }

    const std::int16_t* next = sound.samples.data();
    const auto framesTotal = static_cast<snd_pcm_uframes_t>(sound.samples.size() / sound.channels);
    auto framesLeft = framesTotal;
    // Written in short stretches, so that a stop request is seen while the sound still plays and
    // progress can be told: a blocking write returns once all it was given is in the buffer.
    const auto framesPerStretch = std::max<snd_pcm_uframes_t>(
        1, snd_pcm_uframes_t{sound.rate} * kStopCheckMilliseconds / 1000);
    const auto seconds = [&](snd_pcm_uframes_t frames) {
        return static_cast<double>(frames) / sound.rate;
    };
    while (framesLeft > 0) {
        if (stop.stop_requested()) {
            // Closing the device (on the way out) drops what it still holds.
            throw PlaybackError(sound.fileName, "ALSA device \"" + device_ +
                                                    "\" stopped before the end of the sound");
        }
        const snd_pcm_sframes_t written =
            snd.pcm_writei(pcm.get(), next, std::min(framesLeft, framesPerStretch));
        if (written < 0) {
            // An underrun, a suspend or a signal: prepare the device again and go on.
            err = snd.pcm_recover(pcm.get(), static_cast<int>(written), 1);
            if (err < 0) {
                fail("failed while playing", err);
            }
            continue;
        }
        next += static_cast<std::size_t>(written) * sound.channels;
        framesLeft -= static_cast<snd_pcm_uframes_t>(written);
        if (progress_) {
            progress_(seconds(framesTotal - framesLeft), seconds(framesTotal));
        }
    }

    // Drain, not drop: the last frames (the check word among them) must reach the air.
    err = snd.pcm_drain(pcm.get());
    if (err < 0) {
        fail("failed while playing", err);
    }
    if (progress_) {
        progress_(seconds(framesTotal), seconds(framesTotal));
    }
}

}  // namespace zk
