// Recordings read through libsndfile: every format it knows (WAV in all its variants, FLAC, Ogg,
// AIFF, ...), any rate and channel count, handed out in blocks of float samples at full scale +-1,
// so that a recording of hours never has to fit in memory.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "errors.h"

namespace zk {

// A recording that cannot be opened or read: "Cannot read "<path>". <libsndfile's text>".
class SoundFileError : public Fault {
  public:
    SoundFileError(const std::string& path, const std::string& reason);
};

class SoundFileReader {
  public:
    // Opens `path`; throws SoundFileError with libsndfile's reason when it is no sound file it
    // can read.
    explicit SoundFileReader(const std::string& path);
    ~SoundFileReader();
    SoundFileReader(const SoundFileReader&) = delete;
    SoundFileReader& operator=(const SoundFileReader&) = delete;

    int Channels() const { return channels_; }
    int Rate() const { return rate_; }
    long long Frames() const { return frames_; }  // as the header says; may be unknown (< 0)
    std::string FormatName() const;

    // Reads up to `frames` frames into `interleaved` (resized to what was read, channels
    // interleaved); an empty result is the end. Throws SoundFileError on a read error.
    void Read(long frames, std::vector<float>& interleaved);

  private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
    std::string path_;
    int channels_ = 0;
    int rate_ = 0;
    long long frames_ = 0;
    int format_ = 0;
};

}  // namespace zk
