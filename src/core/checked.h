// Overflow-checked integer arithmetic for the programmer's own logic: a result that does not fit
// raises "Integer overflow" rather than wrapping into a wrong byte of the message.
#pragma once

#include <cstdint>

#include "errors.h"

namespace zk {

inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
    std::int32_t result = 0;
    if (__builtin_add_overflow(a, b, &result)) {
        throw IntegerOverflowError();
    }
    return result;
}

inline std::int32_t CheckedMul(std::int32_t a, std::int32_t b) {
    std::int32_t result = 0;
    if (__builtin_mul_overflow(a, b, &result)) {
        throw IntegerOverflowError();
    }
    return result;
}

}  // namespace zk
