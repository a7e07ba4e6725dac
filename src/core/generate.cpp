#include "generate.h"

#include "_2GL.h"
#include "_8_CRC.h"
#include "accesscode.h"
#include "arraylayout.h"
#include "checked.h"
#include "numtext.h"
#include "settingstable.h"

namespace zk {

namespace {

// Validates and encodes every code in order; false at the first rejected one.
bool CaptureAccessCodes(ControlPanel& panel) {
    for (const Setting& setting : kSettings) {
        if (setting.kind != SettingKind::Code) {
            continue;
        }
        const auto field = static_cast<CodeField>(setting.field);
        std::string code = panel.CodeText(field);
        const std::string error = ValidateAccessCode(code);
        if (!error.empty()) {
            panel.SetCodeColour(field, kColourYellow);
            panel.SetStatusText(error);
            return false;
        }
        EncodeAccessCode(code, setting.firstByte);
    }
    return true;
}

// Spin values are in range by the time generate reads them, so the low bytes are the value.
void StoreLittleEndian(int firstByte, std::int32_t value, int width) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int k = 0; k < width; ++k) {
        TransferArray[firstByte + k] = static_cast<std::uint8_t>((bits >> (8 * k)) & 0xFFu);
    }
}

// The parts first, then the total: a total that overflows leaves the parts written.
void CapturePeriod(ControlPanel& panel, int firstByte) {
    const std::int32_t hours = panel.SpinValue(SpinField::PP_Hour);
    const std::int32_t minutes = panel.SpinValue(SpinField::PP_Min);
    const std::int32_t seconds = panel.SpinValue(SpinField::PP_Sek);
    StoreLittleEndian(firstByte + kPeriodHoursOffset, hours, 1);
    StoreLittleEndian(firstByte + kPeriodMinutesOffset, minutes, 1);
    StoreLittleEndian(firstByte + kPeriodSecondsOffset, seconds, 1);
    const std::int32_t total =
        CheckedAdd(CheckedAdd(CheckedMul(hours, 3600), CheckedMul(minutes, 60)), seconds);
    StoreLittleEndian(firstByte, total, kPeriodSecondsOffset);
}

// Every setting but the codes, into its own bytes, in the table's order.
void CaptureSettings(ControlPanel& panel) {
    for (const Setting& setting : kSettings) {
        const int at = setting.firstByte;
        switch (setting.kind) {
            case SettingKind::Code:
                break;  // CaptureAccessCodes' work
            case SettingKind::Switch:
                TransferArray[at] = panel.IsChecked(static_cast<CheckField>(setting.field)) ? 1 : 0;
                break;
            case SettingKind::Number:
                StoreLittleEndian(at, panel.SpinValue(static_cast<SpinField>(setting.field)),
                                  setting.byteCount);
                break;
            case SettingKind::Period:
                CapturePeriod(panel, at);
                break;
            case SettingKind::Squelch:
                TransferArray[at] = static_cast<std::uint8_t>(
                    SquelchModeOf(panel.SqlPageIndex(), panel.SqlActiveLevelIndex()));
                break;
            case SettingKind::Threshold: {
                const SquelchMode mode =
                    SquelchModeOf(panel.SqlPageIndex(), panel.SqlActiveLevelIndex());
                StoreLittleEndian(at, panel.SpinValue(ThresholdField(mode)), setting.byteCount);
                break;
            }
        }
    }
}

std::string HexRun(int first, int count) {
    std::string text;
    for (int i = first; i < first + count; ++i) {
        text += ByteToHex(TransferArray[i]);
    }
    return text;
}

std::string PaddedBytes(std::initializer_list<int> indices) {
    std::string text;
    for (const int i : indices) {
        text += IntToPadded(TransferArray[i], 3);
    }
    return text;
}

// The field-by-field listing of the diagnostic group.
void ListFields(TextLines& memo1) {
    memo1.Clear();
    for (const Setting& setting : kSettings) {
        if (setting.kind == SettingKind::Code) {
            memo1.Add(HexRun(setting.firstByte, setting.byteCount));
        }
    }
    constexpr int kMaxRecord = SettingNamed("max-record").firstByte;
    constexpr int kPeriod = SettingNamed("period").firstByte;
    memo1.Add(HexRun(SettingNamed("dtmf").firstByte, 1));
    memo1.Add(IntToPadded(TransferArray[kMaxRecord] | (TransferArray[kMaxRecord + 1] << 8), 2));
    memo1.Add(PaddedBytes({kPeriod + kPeriodHoursOffset, kPeriod + kPeriodMinutesOffset,
                           kPeriod + kPeriodSecondsOffset}));
    memo1.Add(
        PaddedBytes({SettingNamed("beep-length").firstByte, SettingNamed("beep-level").firstByte}));
    memo1.Add(
        PaddedBytes({SettingNamed("squelch").firstByte, SettingNamed("threshold").firstByte}));
    memo1.Add(
        PaddedBytes({SettingNamed("rx-filter").firstByte, SettingNamed("tx-filter").firstByte}));
    memo1.Add(HexRun(layout::kCheckWordHigh, 2));
}

}  // namespace

namespace {

std::string ListingLine(int index, std::uint8_t byte) {
    return IntToPadded(index, 2) + " " + ByteToHex(byte);
}

}  // namespace

void ListTransferArray(TextLines& lines) {
    lines.Clear();
    for (int i = 0; i < kTransferSize; ++i) {
        lines.Add(ListingLine(i, TransferArray[i]));
    }
}

std::vector<std::string> ArrayListing(const std::array<std::uint8_t, kTransferSize>& bytes) {
    std::vector<std::string> lines;
    lines.reserve(bytes.size());
    for (int i = 0; i < kTransferSize; ++i) {
        lines.push_back(ListingLine(i, bytes[static_cast<std::size_t>(i)]));
    }
    return lines;
}

void ListFirstBytes(TextLines& lines) {
    lines.Clear();
    for (int i = 0; i <= 20; ++i) {
        lines.Add(IntToPadded(i, 3) + "  " + ByteToHex(TransferArray[i]));
    }
}

void GenerateTransferArray(ControlPanel& panel) {
    panel.ShowOutputButton();
    for (int i = 0; i < layout::kHeaderBytes; ++i) {
        TransferArray[layout::kHeader + i] = kTransferHeader[static_cast<std::size_t>(i)];
    }
    panel.SetStatusText(kStatusNoErrors);
    for (const auto& info : kCodeFields) {
        panel.SetCodeColour(info.field, kColourWhite);
    }
    if (!CaptureAccessCodes(panel)) {
        return;
    }
    CaptureSettings(panel);
    if (panel.IsChecked(CheckField::RasKS)) {
        const std::uint16_t crc = ComputeTransferCrc(panel.Memo2());
        TransferArray[layout::kCheckWordHigh] = static_cast<std::uint8_t>(crc >> 8u);
        TransferArray[layout::kCheckWordLow] = static_cast<std::uint8_t>(crc & 0xFFu);
    }
    ListFields(panel.Memo1());
    ListTransferArray(panel.Memo_MasIsh());
}

}  // namespace zk
