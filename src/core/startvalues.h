// The parameter controls of the programmer page: names, ranges and start values, kept in one
// place so that the window, the command line and the tests all begin from the same settings.
#pragma once

#include <array>
#include <cstdint>

namespace zk {

enum class CodeField { KodOtkrPols, KodZakrPols, KodOtkrAdmin, KodZakrAdm, KodPolz };

enum class CheckField { Razr_DTMF, KF_PRM, KF_PRD, ZAmOtp, RegSleep, RasKS };

enum class SpinField {
    MaxDlitZapRep,
    PP_Hour,
    PP_Min,
    PP_Sek,
    DlitBip,
    UrBip,
    SQL0_PorogPerekl,
    SQL_PorogPerekl,
    UsilADC,
    OslDAC,
};

struct CodeFieldInfo {
    CodeField field;
    const char* controlName;
    const char* startText;
};

struct CheckFieldInfo {
    CheckField field;
    const char* controlName;
    bool startChecked;
};

struct SpinFieldInfo {
    SpinField field;
    const char* controlName;
    std::int32_t minimum;
    std::int32_t maximum;
    std::int32_t start;
};

// In the order generate examines them.
inline constexpr std::array<CodeFieldInfo, 5> kCodeFields{{
    {CodeField::KodOtkrPols, "LabeledEdit_KodOtkrPols", "7204"},
    {CodeField::KodZakrPols, "LabeledEdit_KodZakrPols", "*"},
    {CodeField::KodOtkrAdmin, "LabeledEdit_KodOtkrAdmin", "8135"},
    {CodeField::KodZakrAdm, "LabeledEdit_KodZakrAdm", "#"},
    {CodeField::KodPolz, "LabelEdit_KodPolz", "6914"},
}};

inline constexpr std::array<CheckFieldInfo, 6> kCheckFields{{
    {CheckField::Razr_DTMF, "CheckBox_Razr_DTMF", true},
    {CheckField::KF_PRM, "CheckBox_KF_PRM", true},
    {CheckField::KF_PRD, "CheckBox_KF_PRD", true},
    {CheckField::ZAmOtp, "CheckBox_ZAmOtp", false},
    {CheckField::RegSleep, "CheckBox_RegSleep", false},
    {CheckField::RasKS, "CheckBox_RasKS", true},
}};

inline constexpr std::array<SpinFieldInfo, 10> kSpinFields{{
    {SpinField::MaxDlitZapRep, "SpinEdit_MaxDlitZapRep", 1, 64, 64},
    {SpinField::PP_Hour, "SpinEdit_PP_Hour", 0, 64, 0},
    {SpinField::PP_Min, "SpinEdit_PP_Min", 0, 60, 30},
    {SpinField::PP_Sek, "SpinEdit_PP_Sek", 0, 60, 0},
    {SpinField::DlitBip, "SpinEdit_DlitBip", 0, 9, 0},
    {SpinField::UrBip, "SpinEdit_UrBip", 0, 20, 0},
    {SpinField::SQL0_PorogPerekl, "SpinEdit_SQL0_PorogPerekl", 1, 99, 5},
    {SpinField::SQL_PorogPerekl, "SpinEdit_SQL_PorogPerekl", 1, 100, 5},
    {SpinField::UsilADC, "SpinEdit_UsilADC", 0, 20, 0},
    {SpinField::OslDAC, "SpinEdit_OslDAC", 0, 20, 0},
}};

// Squelch-open detector: page 0 detects by audio level, page 1 by the SQL input, whose active
// level is item 0 "высокий" (high) or item 1 "низкий" (low).
inline constexpr int kSqlPageAudio = 0;
inline constexpr int kSqlPageInput = 1;
inline constexpr int kSqlPageStart = kSqlPageAudio;
inline constexpr int kSqlLevelHigh = 0;
inline constexpr int kSqlLevelLow = 1;
inline constexpr int kSqlLevelStart = kSqlLevelLow;

inline constexpr const CodeFieldInfo& Info(CodeField field) {
    return kCodeFields[static_cast<std::size_t>(field)];
}
inline constexpr const CheckFieldInfo& Info(CheckField field) {
    return kCheckFields[static_cast<std::size_t>(field)];
}
inline constexpr const SpinFieldInfo& Info(SpinField field) {
    return kSpinFields[static_cast<std::size_t>(field)];
}

}  // namespace zk
