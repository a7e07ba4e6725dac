// Recordings read through libsndfile: every format it knows (WAV in all its variants, FLAC, Ogg,
// AIFF, ...), any rate and channel count, handed out in blocks of float samples at full scale +-1,
// so that a recording of hours never has to fit in memory.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "errors.h"

namespace zk {

// A recording that cannot be read: "Cannot read "<path>". <libsndfile's text>"; or one that
// cannot even be opened (not there, not allowed): "Cannot open "<path>". <the system's text>".
class SoundFileError : public Fault {
  public:
    enum class Stage { Open, Read };

    // `reason` in English, or a library's or the system's text, the same in both wordings.
    SoundFileError(const std::string& path, const std::string& reason, Stage stage = Stage::Read);
    SoundFileError(const std::string& path, const Wording& reason, Stage stage = Stage::Read);

    const std::string& Path() const { return path_; }
    const std::string& Reason() const { return reason_; }  // in English, without its full stop
    Stage FailedStage() const { return stage_; }

  private:
    std::string path_;
    std::string reason_;
    Stage stage_;
};

class SoundFileReader {
  public:
    // Opens `path` ("-": standard input); throws SoundFileError with the system's reason when
    // it cannot be opened, with libsndfile's when it is no sound file it can read.
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
