#include "capturethread.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "audiocapture.h"

namespace zk {

namespace {

// The longest the destructor waits for the thread to leave its device.
constexpr std::chrono::milliseconds kLeaveWait{300};

}  // namespace

// What the thread and its owner share; the thread keeps it alive when the owner has gone.
struct CaptureThread::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<float> arrived;
    std::exception_ptr failure;
    bool capturing = false;
    bool stop = false;
    bool ended = false;
};

CaptureThread::CaptureThread(std::string device, unsigned rate, std::string openAdvice)
    : shared_(std::make_shared<Shared>()), rate_(rate) {
    std::thread([shared = shared_, device = std::move(device), rate,
                 openAdvice = std::move(openAdvice)] {
        try {
            AlsaCapture capture(device, rate, openAdvice);
            const long blockFrames = static_cast<long>(rate / 10);  // 100 ms
            std::vector<float> block;
            {
                const std::lock_guard<std::mutex> lock(shared->mutex);
                shared->capturing = true;
            }
            shared->changed.notify_all();
            for (;;) {
                {
                    const std::lock_guard<std::mutex> lock(shared->mutex);
                    if (shared->stop) {
                        break;
                    }
                }
                capture.Read(blockFrames, block);
                if (!block.empty()) {
                    const std::lock_guard<std::mutex> lock(shared->mutex);
                    shared->arrived.insert(shared->arrived.end(), block.begin(), block.end());
                }
                shared->changed.notify_all();
            }
        } catch (...) {
            const std::lock_guard<std::mutex> lock(shared->mutex);
            shared->failure = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> lock(shared->mutex);
            shared->ended = true;
        }
        shared->changed.notify_all();
    }).detach();
}

CaptureThread::~CaptureThread() {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->stop = true;
    shared_->changed.wait_for(lock, kLeaveWait, [this] { return shared_->ended; });
}

bool CaptureThread::Next(std::vector<float>& samples, std::chrono::milliseconds wait) {
    samples.clear();
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->changed.wait_for(lock, wait, [this] {
        return !shared_->arrived.empty() || shared_->failure || shared_->ended;
    });
    if (shared_->failure && shared_->arrived.empty()) {
        std::rethrow_exception(shared_->failure);
    }
    samples.swap(shared_->arrived);
    return shared_->capturing;
}

}  // namespace zk
