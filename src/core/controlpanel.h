// What the generate action reads from and writes to the window, and nothing more. The window
// implements it with widgets, the command line from its options, tests with a plain struct.
#pragma once

#include <cstdint>
#include <string>

#include "startvalues.h"
#include "textlines.h"

namespace zk {

// Background colours of an access-code edit, as 0xRRGGBB.
inline constexpr std::uint32_t kColourWhite = 0xFFFFFF;
inline constexpr std::uint32_t kColourYellow = 0xFFFF00;

inline constexpr const char* kStatusNoErrors = " *** нет ошибок ***";

class ControlPanel {
  public:
    virtual ~ControlPanel() = default;

    // Reads.
    virtual std::string CodeText(CodeField field) = 0;
    virtual bool IsChecked(CheckField field) = 0;
    virtual std::int32_t SpinValue(SpinField field) = 0;
    virtual int SqlPageIndex() = 0;
    virtual int SqlActiveLevelIndex() = 0;

    // Writes.
    virtual void ShowOutputButton() = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetCodeColour(CodeField field, std::uint32_t rgb) = 0;
    virtual TextLines& Memo1() = 0;
    virtual TextLines& Memo2() = 0;
    virtual TextLines& Memo_MasIsh() = 0;
};

}  // namespace zk
