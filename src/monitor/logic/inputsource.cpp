#include "inputsource.h"

#include <sys/stat.h>

#include <chrono>

#include "capturethread.h"
#include "soundfilereader.h"

namespace zk::monitor {

namespace {
// 100 ms of sound a block: often enough for a lively display, few enough for little overhead.
constexpr double kBlockSeconds = 0.1;

long BlockFrames(double rate) {
    return static_cast<long>(rate * kBlockSeconds);
}
}  // namespace

namespace {

// The window opens recordings on its own thread: a named pipe or a device in the file's place
// could hold it for ever, so only a regular file is opened.
const std::string& RegularFile(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) &&
        !S_ISDIR(status.st_mode)) {
        throw SoundFileError(path, Wording{"Not a regular file", "Это не обычный файл"},
                             SoundFileError::Stage::Open);
    }
    return path;
}

}  // namespace

FileInput::FileInput(const std::string& path)
    : reader_(std::make_unique<SoundFileReader>(RegularFile(path))) {}
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
    : capture_(std::make_unique<CaptureThread>(device, kCaptureRate)) {}
CaptureInput::~CaptureInput() = default;

double CaptureInput::Rate() const {
    return capture_->Rate();
}

bool CaptureInput::Read(std::vector<float>& interleaved) {
    // Never longer than a block's time: Stop and the window's close are answered however the
    // device behaves.
    capture_->Next(interleaved, std::chrono::milliseconds(static_cast<int>(1000 * kBlockSeconds)));
    return true;
}

}  // namespace zk::monitor
