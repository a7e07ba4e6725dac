#include "resampler.h"

#include <soxr.h>

#include <cmath>
#include <stdexcept>
#include <string>

namespace zk::receive {

namespace {

// Input taken per soxr call, so that the output buffer stays small whatever the block size.
constexpr std::size_t kInputChunk = 4096;

}  // namespace

Resampler::Resampler(double inputRate, double outputRate) : ratio_(outputRate / inputRate) {
    if (inputRate == outputRate) {
        return;
    }
    // Linear phase, 20-bit: soxr keeps the output aligned with the input in time, so times of
    // packets need no correction for this stage.
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    soxr_error_t error = nullptr;
    soxr_ = soxr_create(inputRate, outputRate, 1, &error, &io, &quality, nullptr);
    if (error != nullptr || soxr_ == nullptr) {
        throw std::runtime_error(std::string("resampler: ") + (error ? error : "no memory"));
    }
    chunk_.resize(static_cast<std::size_t>(std::ceil(kInputChunk * ratio_)) + 64);
}

Resampler::~Resampler() {
    if (soxr_ != nullptr) {
        soxr_delete(static_cast<soxr_t>(soxr_));
    }
}

void Resampler::Process(std::span<const float> in, std::vector<float>& out) {
    if (soxr_ == nullptr) {
        out.insert(out.end(), in.begin(), in.end());
        return;
    }
    auto* soxr = static_cast<soxr_t>(soxr_);
    while (!in.empty()) {
        const std::size_t take = std::min(in.size(), kInputChunk);
        std::size_t used = 0;
        std::size_t made = 0;
        soxr_error_t error =
            soxr_process(soxr, in.data(), take, &used, chunk_.data(), chunk_.size(), &made);
        if (error != nullptr) {
            throw std::runtime_error(std::string("resampler: ") + error);
        }
        out.insert(out.end(), chunk_.begin(), chunk_.begin() + static_cast<long>(made));
        in = in.subspan(used);
        if (used == 0 && made == 0) {
            break;  // cannot happen with room for the whole chunk; never spin
        }
    }
}

void Resampler::Flush(std::vector<float>& out) {
    if (soxr_ == nullptr) {
        return;
    }
    auto* soxr = static_cast<soxr_t>(soxr_);
    for (;;) {
        std::size_t made = 0;
        soxr_error_t error =
            soxr_process(soxr, nullptr, 0, nullptr, chunk_.data(), chunk_.size(), &made);
        if (error != nullptr) {
            throw std::runtime_error(std::string("resampler: ") + error);
        }
        if (made == 0) {
            break;
        }
        out.insert(out.end(), chunk_.begin(), chunk_.begin() + static_cast<long>(made));
    }
}

}  // namespace zk::receive
