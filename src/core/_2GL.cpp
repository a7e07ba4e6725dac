#include "_2GL.h"

#include "arraylayout.h"
#include "errors.h"

namespace zk {

TransferArrayType TransferArray;
SampleBufferType SampleBuffer;

namespace {

void CheckIndex(long index, long size) {
    if (index < 0 || index >= size) {
        ThrowRangeCheck();
    }
}

}  // namespace

TransferArrayType::TransferArrayType() {
    Reset();
}

void TransferArrayType::Reset() {
    bytes_.fill(0);
    bytes_[layout::kMarker46] = kMarker46Start;
    bytes_[layout::kMarker47] = kMarker47Start;
}

std::uint8_t& TransferArrayType::operator[](long index) {
    CheckIndex(index, kTransferSize);
    return bytes_[static_cast<std::size_t>(index)];
}

std::uint8_t TransferArrayType::operator[](long index) const {
    CheckIndex(index, kTransferSize);
    return bytes_[static_cast<std::size_t>(index)];
}

std::int16_t SampleBufferType::operator[](long index) const {
    CheckIndex(index, kSampleBufferSize);
    return samples_[static_cast<std::size_t>(index)];
}

void ThrowRangeCheck() {
    throw RangeCheckError();
}

const std::int16_t* SampleBufferType::From(long first, long count) const {
    CheckIndex(first, kSampleBufferSize);
    if (count < 0 || count > kSampleBufferSize - first) {
        ThrowRangeCheck();
    }
    return samples_.data() + first;
}

void SampleBufferType::Reset() {
    samples_.fill(0);
}

void ResetGlobalsToStartValues() {
    TransferArray.Reset();
    SampleBuffer.Reset();
}

}  // namespace zk
