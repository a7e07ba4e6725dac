#include "baseband.h"

#include <algorithm>
#include <array>

namespace zk::receive {

Baseband::Baseband(std::span<const float> x, std::int64_t firstIndex) : prefix_(x.size() + 1) {
    static const auto mixer = [] {
        std::array<Complex, kWorkPerCycle> t{};
        for (int n = 0; n < kWorkPerCycle; ++n) {
            t[static_cast<std::size_t>(n)] = 2.0 * std::polar(1.0, -2 * kPi * n / kWorkPerCycle);
        }
        return t;
    }();
    Complex sum{};
    for (std::size_t i = 0; i < x.size(); ++i) {
        const auto phase = static_cast<std::size_t>((firstIndex + static_cast<std::int64_t>(i)) &
                                                    (kWorkPerCycle - 1));
        sum += static_cast<double>(x[i]) * mixer[phase];
        prefix_[i + 1] = sum;
    }
}

Complex Baseband::At(double t) const {
    t = t > 0 ? std::min(t, Size()) : 0.0;  // also takes a NaN to 0
    const auto i = static_cast<std::size_t>(t);
    if (i + 1 >= prefix_.size()) {
        return prefix_.back();
    }
    return prefix_[i] + (t - static_cast<double>(i)) * (prefix_[i + 1] - prefix_[i]);
}

Complex BitSum(const Baseband& bb, const CarrierModel& carrier, double start, double length) {
    return bb.Sum(start, start + length) * std::polar(1.0, -carrier.At(start + length / 2));
}

}  // namespace zk::receive
