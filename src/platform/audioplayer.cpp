#include "audioplayer.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "alsalibrary.h"

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

const alsa::PlaybackFunctions& LoadedAlsa(const std::string& fileName) {
    try {
        return alsa::Playback();
    } catch (const alsa::LoadError& error) {
        throw PlaybackError(fileName,
                            std::string("ALSA library cannot be loaded: ") + error.what());
    }
}

std::string DeviceText(const std::string& device) {
    return "ALSA device \"" + device + "\"";
}

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

// The same with the decimal comma a Russian text writes.
std::string RussianSecondsText(double seconds) {
    std::string text = SecondsText(seconds);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

// What broke the sound, in the window's words.
std::string RussianCause(const std::string& cause) {
    return cause == "underrun" ? "опустошение буфера" : "устройство приостановлено";
}

}  // namespace

SoundInterruptedError::SoundInterruptedError(const std::string& fullPath, const std::string& device,
                                             double secondsIntoSound, std::string cause)
    : PlaybackError(fullPath, DeviceText(device) + ": the sound was interrupted " +
                                  SecondsText(secondsIntoSound) + " s in (" + cause + ")"),
      seconds_(secondsIntoSound),
      cause_(std::move(cause)) {
    // The window speaks to the operator, as the command line does after it: what broke, where,
    // and what to do.
    SetRussian("Звук прервался через " + RussianSecondsText(secondsIntoSound) +
               " с от начала сигнала (" + RussianCause(cause_) + ", устройство ALSA \"" + device +
               "\"): репитер принял искажённое сообщение; выдайте сигнал ещё раз");
}

PlaybackStoppedError::PlaybackStoppedError(const std::string& fullPath, const std::string& device,
                                           double secondsPlayed)
    : PlaybackError(fullPath, DeviceText(device) + " stopped before the end of the sound"),
      seconds_(secondsPlayed) {}

// The open device and the sound it is prepared for.
struct PreparedSound::Device {
    const alsa::PlaybackFunctions& snd;
    Sound sound;
    std::string name;
    const AlsaPlayer::Progress& progress;
    AlsaConfigRelease release;  // declared before the device: runs after it is closed
    Pcm pcm;

    [[noreturn]] void Fail(const std::string& what, int err) const {
        throw PlaybackError(sound.fileName,
                            DeviceText(name) + " " + what + ": " + snd.strerror(err));
    }

    double Seconds(snd_pcm_uframes_t frames) const {
        return static_cast<double>(frames) / sound.rate;
    }

    // How much of the sound has left the device when `written` frames were handed to it.
    double SecondsPlayed(snd_pcm_uframes_t written) const {
        snd_pcm_sframes_t held = 0;
        if (snd.pcm_delay(pcm.get(), &held) < 0 || held < 0) {
            held = 0;
        }
        return Seconds(written - std::min(written, static_cast<snd_pcm_uframes_t>(held)));
    }

    void Tell(snd_pcm_uframes_t written, snd_pcm_uframes_t total) const {
        if (progress) {
            progress(Seconds(written), Seconds(total));
        }
    }
};

PreparedSound::PreparedSound(std::unique_ptr<Device> device) : device_(std::move(device)) {}
PreparedSound::PreparedSound(PreparedSound&&) noexcept = default;
PreparedSound::~PreparedSound() = default;

void PreparedSound::Play(std::stop_token stop) {
    const Device& d = *device_;
    const std::int16_t* next = d.sound.samples.data();
    const auto framesTotal =
        static_cast<snd_pcm_uframes_t>(d.sound.samples.size() / d.sound.channels);
    snd_pcm_uframes_t framesWritten = 0;
    // Written in short stretches, so that a stop request is seen while the sound still plays and
    // progress can be told: a blocking write returns once all it was given is in the buffer.
    const auto framesPerStretch = std::max<snd_pcm_uframes_t>(
        1, snd_pcm_uframes_t{d.sound.rate} * AlsaPlayer::kStopCheckMilliseconds / 1000);
    while (framesWritten < framesTotal) {
        if (stop.stop_requested()) {
            // Closing the device (on the way out) drops what it still holds.
            throw PlaybackStoppedError(d.sound.fileName, d.name, d.SecondsPlayed(framesWritten));
        }
        const snd_pcm_sframes_t written = d.snd.pcm_writei(
            d.pcm.get(), next, std::min(framesTotal - framesWritten, framesPerStretch));
        if (written == -EINTR || written == -EAGAIN) {
            continue;
        }
        if (written == -EPIPE || written == -ESTRPIPE) {
            // The device played everything it was given and then had nothing: the gap falls
            // where the frames handed over so far end.
            throw SoundInterruptedError(d.sound.fileName, d.name, d.Seconds(framesWritten),
                                        written == -EPIPE ? "underrun" : "suspended");
        }
        if (written < 0) {
            d.Fail("failed while playing", static_cast<int>(written));
        }
        next += static_cast<std::size_t>(written) * d.sound.channels;
        framesWritten += static_cast<snd_pcm_uframes_t>(written);
        d.Tell(framesWritten, framesTotal);
    }

    // Drain, not drop: the last frames (the check word among them) must reach the air.
    const int err = d.snd.pcm_drain(d.pcm.get());
    if (err == -EPIPE || err == -ESTRPIPE) {
        // Ran dry after the last write: the gap lies within the device's buffer of the end.
        throw SoundInterruptedError(
            d.sound.fileName, d.name,
            std::max(0.0, d.Seconds(framesTotal) - kLatencyMicroseconds / 1e6),
            err == -EPIPE ? "underrun" : "suspended");
    }
    if (err < 0) {
        d.Fail("failed while playing", err);
    }
    d.Tell(framesTotal, framesTotal);
}

PreparedSound AlsaPlayer::Prepare(const Sound& sound) {
    const alsa::PlaybackFunctions& snd = LoadedAlsa(sound.fileName);
    snd.lib_error_set_handler(&DropAlsaMessage);
    auto device = std::unique_ptr<PreparedSound::Device>(
        new PreparedSound::Device{snd, sound, device_, progress_, {}, nullptr});
    if (sound.channels < 1 || sound.rate < 1) {
        device->Fail("cannot play it", -EINVAL);
    }
    snd_pcm_t* opened = nullptr;
    int err = snd.pcm_open(&opened, device_.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
    if (err < 0) {
        throw PlaybackError(sound.fileName, DeviceText(device_) +
                                                " cannot be opened: " + snd.strerror(err) +
                                                (openAdvice_.empty() ? "" : "; " + openAdvice_));
    }
    device->pcm.reset(opened);

    // Soft resampling on: a card without the sound's rate plays it converted. Setting the
    // parameters leaves the device prepared: the first write starts it.
    err = snd.pcm_set_params(opened, kSampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED, sound.channels,
                             sound.rate, 1, kLatencyMicroseconds);
    if (err < 0) {
        device->Fail("refuses " + std::to_string(sound.channels) + "-channel 16-bit sound at " +
                         std::to_string(sound.rate) + " Hz",
                     err);
    }
    return PreparedSound(std::move(device));
}

void AlsaPlayer::Play(const Sound& sound) {
    Play(sound, std::stop_token());
}

void AlsaPlayer::Play(const Sound& sound, std::stop_token stop) {
    Prepare(sound).Play(stop);
}

}  // namespace zk
