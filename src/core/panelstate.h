// A control panel held in plain memory, starting from the window's start values. The command
// line fills it from its options; tests set its fields directly.
#pragma once

#include <array>
#include <string>

#include "controlpanel.h"

namespace zk {

class PanelState : public ControlPanel {
  public:
    PanelState();

    std::string CodeText(CodeField field) override { return codes[Index(field)]; }
    bool IsChecked(CheckField field) override { return checks[Index(field)]; }
    std::int32_t SpinValue(SpinField field) override { return spins[Index(field)]; }
    int SqlPageIndex() override { return sqlPage; }
    int SqlActiveLevelIndex() override { return sqlLevel; }

    void ShowOutputButton() override { outputButtonVisible = true; }
    void SetStatusText(const std::string& text) override { statusText = text; }
    void SetCodeColour(CodeField field, std::uint32_t rgb) override { colours[Index(field)] = rgb; }
    TextLines& Memo1() override { return memo1; }
    TextLines& Memo2() override { return memo2; }
    TextLines& Memo_MasIsh() override { return memoMasIsh; }

    std::string& Code(CodeField field) { return codes[Index(field)]; }
    bool& Check(CheckField field) { return checks[Index(field)]; }
    std::int32_t& Spin(SpinField field) { return spins[Index(field)]; }
    std::uint32_t Colour(CodeField field) const { return colours[Index(field)]; }

    std::array<std::string, kCodeFields.size()> codes;
    std::array<bool, kCheckFields.size()> checks{};
    std::array<std::int32_t, kSpinFields.size()> spins{};
    int sqlPage = kSqlPageStart;
    int sqlLevel = kSqlLevelStart;

    bool outputButtonVisible = false;
    std::string statusText;
    std::array<std::uint32_t, kCodeFields.size()> colours{};
    TextLinesInMemory memo1{{"Memo1"}};
    TextLinesInMemory memo2{{"Memo1"}};
    TextLinesInMemory memoMasIsh{{"Memo1"}};

  private:
    template <typename Field>
    static std::size_t Index(Field field) {
        return static_cast<std::size_t>(field);
    }
};

}  // namespace zk
