#include "inputsource.h"

#include "audiocapture.h"
#include "soundfilereader.h"

namespace zk::monitor {

namespace {
// 100 ms of sound a block: often enough for a lively display, few enough for little overhead.
constexpr double kBlockSeconds = 0.1;

long BlockFrames(double rate) {
    return static_cast<long>(rate * kBlockSeconds);
}
}  // namespace

FileInput::FileInput(const std::string& path) : reader_(std::make_unique<SoundFileReader>(path)) {}
FileInput::~FileInput() = default;

double FileInput::Rate() const {
    return reader_->Rate();
}

int FileInput::Channels() const {
    return reader_->Channels();
}

bool FileInput::Read(std::vector<float>& interleaved) {
    reader_->Read(BlockFrames(Rate()), interleaved);
    return !interleaved.empty();
}

CaptureInput::CaptureInput(const std::string& device)
    : capture_(std::make_unique<AlsaCapture>(device, kCaptureRate)) {}
CaptureInput::~CaptureInput() = default;

double CaptureInput::Rate() const {
    return capture_->Rate();
}

bool CaptureInput::Read(std::vector<float>& interleaved) {
    capture_->Read(BlockFrames(Rate()), interleaved);
    return true;
}

}  // namespace zk::monitor
