#include "audioplayer.h"

#include <alsa/asoundlib.h>
#include <sndfile.h>

#include <bit>
#include <cstddef>
#include <memory>
#include <vector>

#include "errors.h"

namespace zk {
namespace {

// Frames read from the file and handed to the device per call.
constexpr sf_count_t kChunkFrames = 4096;
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

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};
using Pcm = std::unique_ptr<snd_pcm_t, PcmCloser>;

// Releases alsa-lib's cached global configuration when a play ends, after the device is closed,
// so that nothing of it stays allocated between plays.
struct AlsaConfigRelease {
    AlsaConfigRelease() = default;
    AlsaConfigRelease(const AlsaConfigRelease&) = delete;
    AlsaConfigRelease& operator=(const AlsaConfigRelease&) = delete;
    ~AlsaConfigRelease() { snd_config_update_free_global(); }
};

struct Sound {
    unsigned channels = 0;
    unsigned rate = 0;
    std::vector<short> samples;  // interleaved frames
};

// Reads the whole file before the device is opened, so that a file that cannot be read never
// puts a partial signal on the air.
Sound ReadSound(const std::string& fullPath) {
    SF_INFO info{};
    SoundFile file(sf_open(fullPath.c_str(), SFM_READ, &info));
    if (!file) {
        throw PlaybackError(fullPath, sf_strerror(nullptr));
    }
    if (info.channels < 1 || info.samplerate < 1) {
        throw PlaybackError(fullPath, sf_error_number(SF_ERR_UNRECOGNISED_FORMAT));
    }

    Sound sound;
    sound.channels = static_cast<unsigned>(info.channels);
    sound.rate = static_cast<unsigned>(info.samplerate);
    const std::size_t chunkSamples = static_cast<std::size_t>(kChunkFrames) * sound.channels;
    for (;;) {
        const std::size_t used = sound.samples.size();
        sound.samples.resize(used + chunkSamples);
        const sf_count_t frames =
            sf_readf_short(file.get(), sound.samples.data() + used, kChunkFrames);
        const std::size_t got = frames > 0 ? static_cast<std::size_t>(frames) * sound.channels : 0;
        sound.samples.resize(used + got);
        if (frames < kChunkFrames) {
            break;
        }
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        throw PlaybackError(fullPath, sf_strerror(file.get()));
    }
    return sound;
}

void PlaySound(const std::string& fullPath, const Sound& sound) {
    AlsaConfigRelease release;  // declared first: runs after the device is closed

    snd_pcm_t* opened = nullptr;
    int err = snd_pcm_open(&opened, "default", SND_PCM_STREAM_PLAYBACK, 0);
    if (err < 0) {
        throw PlaybackError(fullPath, snd_strerror(err));
    }
    const Pcm pcm(opened);

    err = snd_pcm_set_params(pcm.get(), kSampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED,
                             sound.channels, sound.rate, 1, kLatencyMicroseconds);
    if (err < 0) {
        throw PlaybackError(fullPath, snd_strerror(err));
    }

    const short* next = sound.samples.data();
    auto framesLeft = static_cast<snd_pcm_uframes_t>(sound.samples.size() / sound.channels);
    while (framesLeft > 0) {
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm.get(), next, framesLeft);
        if (written < 0) {
            // An underrun, a suspend or a signal: prepare the device again and go on.
            err = snd_pcm_recover(pcm.get(), static_cast<int>(written), 1);
            if (err < 0) {
                throw PlaybackError(fullPath, snd_strerror(err));
            }
            continue;
        }
        next += static_cast<std::size_t>(written) * sound.channels;
        framesLeft -= static_cast<snd_pcm_uframes_t>(written);
    }

    err = snd_pcm_drain(pcm.get());
    if (err < 0) {
        throw PlaybackError(fullPath, snd_strerror(err));
    }
}

}  // namespace

void AlsaPlayer::Play(const std::string& fileName) {
    const std::string fullPath = FullPath(fileName);
    snd_lib_error_set_handler(&DropAlsaMessage);
    const Sound sound = ReadSound(fullPath);
    PlaySound(fullPath, sound);
}

}  // namespace zk
