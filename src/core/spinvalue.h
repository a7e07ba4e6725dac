// How a spin edit's text becomes a value. Pure functions, so that the window and the fuzzer share
// one reading of what the operator typed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zk {

// Leading spaces, an optional sign, then decimal digits, or hexadecimal digits after "$", "x",
// "X", "0x" or "0X"; nothing may follow, and the value must fit a signed 32-bit integer.
std::optional<std::int32_t> ParseSpinText(std::string_view text);

// The value a spin edit holds: the parsed number, or `minimum` when the text is not a number.
// It is not brought into range.
std::int32_t SpinTextValue(std::string_view text, std::int32_t minimum);

// The value one arrow step gives: current value (the minimum for a non-number) plus `delta`,
// brought into minimum..maximum.
std::int32_t SteppedSpinValue(std::string_view text, int delta, std::int32_t minimum,
                              std::int32_t maximum);

// The text a spin edit shows after losing the focus: the nearest bound when the number lies
// outside the range, otherwise nothing changes (a non-number stays as typed).
std::optional<std::string> SpinTextOnFocusLoss(std::string_view text, std::int32_t minimum,
                                               std::int32_t maximum);

}  // namespace zk
