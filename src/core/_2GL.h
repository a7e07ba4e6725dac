// The process-wide message and sample store. Both live for the whole run and are never cleared:
// a generate run that stops early leaves the later bytes exactly as the run before left them.
#pragma once

#include <array>
#include <cstdint>

namespace zk {

constexpr int kTransferSize = 64;
constexpr int kSampleBufferSize = 90001;

// Marker bytes 46 and 47 hold these from start-up until the first check-word computation.
constexpr std::uint8_t kMarker46Start = 0xEE;
constexpr std::uint8_t kMarker47Start = 0xFF;

// 64 bytes sent to the repeater; every index is range-checked ("Range check error").
class TransferArrayType {
  public:
    TransferArrayType();
    std::uint8_t& operator[](long index);
    std::uint8_t operator[](long index) const;
    void Reset();

  private:
    std::array<std::uint8_t, kTransferSize> bytes_{};
};

// 90001 signed 16-bit samples; indices and stored values are range-checked.
class SampleBufferType {
  public:
    std::int16_t operator[](long index) const;
    // Stores `value` at `index`; a value outside -32768..32767 is a fault, never clipped.
    void Store(long index, long long value);
    // Entries from `first` on, for writers that hand whole runs to the file system.
    const std::int16_t* From(long first, long count) const;
    void Reset();

  private:
    std::array<std::int16_t, kSampleBufferSize> samples_{};
};

// Raises "Range check error"; kept out of line so that the checked store stays small.
[[noreturn]] void ThrowRangeCheck();

inline void SampleBufferType::Store(long index, long long value) {
    if (index < 0 || index >= kSampleBufferSize || value < -32768 || value > 32767) {
        ThrowRangeCheck();
    }
    samples_[static_cast<std::size_t>(index)] = static_cast<std::int16_t>(value);
}

extern TransferArrayType TransferArray;
extern SampleBufferType SampleBuffer;

// Puts both globals back to their start-up values (for tests and soak runs).
void ResetGlobalsToStartValues();

}  // namespace zk
