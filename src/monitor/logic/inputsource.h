// Where the monitor's sound comes from: a recording read through libsndfile, or a capture device
// read through ALSA (16-bit mono, as `zk77q3 listen` captures it).
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace zk {
class CaptureThread;
class SoundFileReader;
}  // namespace zk

namespace zk::monitor {

// `zk77q3 listen`'s default capture: 48 kHz mono.
inline constexpr unsigned kCaptureRate = 48000;

class InputSource {
  public:
    virtual ~InputSource() = default;
    virtual double Rate() const = 0;
    virtual int Channels() const = 0;
    // True for a device that keeps giving sound until stopped; false for a recording.
    virtual bool Live() const = 0;
    // Fills `interleaved` with the next frames; returns false at the end of the input. A live
    // source may return true with nothing when no sound arrived for a moment. Throws a Fault
    // when the input fails.
    virtual bool Read(std::vector<float>& interleaved) = 0;
};

class FileInput : public InputSource {
  public:
    // Throws SoundFileError when the file cannot be opened or is no recording.
    explicit FileInput(const std::string& path);
    ~FileInput() override;
    double Rate() const override;
    int Channels() const override;
    bool Live() const override { return false; }
    bool Read(std::vector<float>& interleaved) override;

  private:
    std::unique_ptr<SoundFileReader> reader_;
};

class CaptureInput : public InputSource {
  public:
    // Opens the device at kCaptureRate on a thread of its own; a device that cannot be opened
    // throws its CaptureError from Read, and one that blocks holds only that thread.
    explicit CaptureInput(const std::string& device);
    ~CaptureInput() override;
    double Rate() const override;
    int Channels() const override { return 1; }
    bool Live() const override { return true; }
    bool Read(std::vector<float>& interleaved) override;

  private:
    std::unique_ptr<CaptureThread> capture_;
};

}  // namespace zk::monitor
