#include "soundfilereader.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zk {

struct SoundFileReader::Handle {
    int descriptor = -1;
    SNDFILE* file = nullptr;
    ~Handle() {
        if (file != nullptr) {
            sf_close(file);
        }
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
};

SoundFileError::SoundFileError(const std::string& path, const std::string& reason, Stage stage)
    : SoundFileError(path, Verbatim(reason), stage) {}

SoundFileError::SoundFileError(const std::string& path, const Wording& reason, Stage stage)
    : Fault((stage == Stage::Open ? Wording{"Cannot open", "Не удаётся открыть"}
                                  : Wording{"Cannot read", "Не удаётся прочитать"}) +
            Verbatim(" \"" + path + "\". ") + TrimTrailingStops(reason)),
      path_(path),
      reason_(TrimTrailingStops(reason.english)),
      stage_(stage) {}

SoundFileReader::SoundFileReader(const std::string& path)
    : handle_(std::make_unique<Handle>()), path_(path) {
    SF_INFO info{};
    if (path == "-") {
        handle_->file = sf_open(path.c_str(), SFM_READ, &info);  // libsndfile's standard input
    } else {
        // Opened here rather than by libsndfile, so that a file that is not there or may not be
        // read is reported in the system's words ("No such file or directory"), not as
        // libsndfile's "System error : ...".
        handle_->descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (handle_->descriptor < 0) {
            throw SoundFileError(path, SystemErrorText(errno), SoundFileError::Stage::Open);
        }
        // A folder opens for reading; libsndfile would call it a format it does not know.
        struct stat status {};
        if (::fstat(handle_->descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
            throw SoundFileError(path, SystemErrorText(EISDIR), SoundFileError::Stage::Open);
        }
        handle_->file = sf_open_fd(handle_->descriptor, SFM_READ, &info, SF_FALSE);
    }
    if (handle_->file == nullptr) {
        const std::string reason = sf_strerror(nullptr);
        // libsndfile's words for a header without a sample rate or channel count.
        throw SoundFileError(path, reason.find("SF_INFO struct incomplete") != std::string::npos
                                       ? Wording{"its header gives no sample rate or channel count",
                                                 "в его заголовке нет частоты дискретизации или "
                                                 "числа каналов"}
                                       : Verbatim(reason));
    }
    if (info.channels < 1 || info.samplerate < 1) {
        throw SoundFileError(path, sf_error_number(SF_ERR_UNRECOGNISED_FORMAT));
    }
    channels_ = info.channels;
    rate_ = info.samplerate;
    frames_ = info.frames;
    format_ = info.format;
    // Integer samples are scaled to +-1; float files are taken as they are (a float file above
    // full scale stays above it, so clipping in the chain is not hidden).
    sf_command(handle_->file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
}

SoundFileReader::~SoundFileReader() = default;

std::string SoundFileReader::FormatName() const {
    SF_FORMAT_INFO major{};
    major.format = format_ & SF_FORMAT_TYPEMASK;
    SF_FORMAT_INFO minor{};
    minor.format = format_ & SF_FORMAT_SUBMASK;
    std::string name;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof major) == 0 && major.name) {
        name = major.name;
    }
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &minor, sizeof minor) == 0 && minor.name) {
        name += name.empty() ? "" : ", ";
        name += minor.name;
    }
    return name;
}

void SoundFileReader::Read(long frames, std::vector<float>& interleaved) {
    interleaved.resize(static_cast<std::size_t>(frames) * static_cast<std::size_t>(channels_));
    const sf_count_t got = sf_readf_float(handle_->file, interleaved.data(), frames);
    if (got < 0 || sf_error(handle_->file) != SF_ERR_NO_ERROR) {
        throw SoundFileError(path_, sf_strerror(handle_->file));
    }
    interleaved.resize(static_cast<std::size_t>(got) * static_cast<std::size_t>(channels_));
}

}  // namespace zk
