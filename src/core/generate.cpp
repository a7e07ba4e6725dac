#include "generate.h"

#include "_2GL.h"
#include "_8_CRC.h"
#include "accesscode.h"
#include "arraylayout.h"
#include "checked.h"
#include "numtext.h"

namespace zk {

namespace {

// Validates and encodes every code in order; false at the first rejected one.
bool CaptureAccessCodes(ControlPanel& panel) {
    for (const auto& info : kCodeFields) {
        std::string code = panel.CodeText(info.field);
        const std::string error = ValidateAccessCode(code);
        if (!error.empty()) {
            panel.SetCodeColour(info.field, kColourYellow);
            panel.SetStatusText(error);
            return false;
        }
        EncodeAccessCode(code, info.firstByte);
    }
    return true;
}

std::uint8_t Flag(ControlPanel& panel, CheckField field) {
    return panel.IsChecked(field) ? 1 : 0;
}

// Spin values are in range by the time generate reads them, so the low byte is the value.
std::uint8_t LowByte(std::int32_t value) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

void StoreLittleEndian(int firstByte, std::uint32_t value, int width) {
    for (int k = 0; k < width; ++k) {
        TransferArray[firstByte + k] = static_cast<std::uint8_t>((value >> (8 * k)) & 0xFFu);
    }
}

void CaptureSettings(ControlPanel& panel) {
    using namespace layout;
    TransferArray[kDtmfAllowed] = Flag(panel, CheckField::Razr_DTMF);
    StoreLittleEndian(kMaxRecord,
                      static_cast<std::uint32_t>(panel.SpinValue(SpinField::MaxDlitZapRep)), 2);

    TransferArray[kPeriodHours] = LowByte(panel.SpinValue(SpinField::PP_Hour));
    TransferArray[kPeriodMinutes] = LowByte(panel.SpinValue(SpinField::PP_Min));
    TransferArray[kPeriodSeconds] = LowByte(panel.SpinValue(SpinField::PP_Sek));
    const std::int32_t periodSeconds =
        CheckedAdd(CheckedAdd(CheckedMul(panel.SpinValue(SpinField::PP_Hour), 3600),
                              CheckedMul(panel.SpinValue(SpinField::PP_Min), 60)),
                   panel.SpinValue(SpinField::PP_Sek));
    StoreLittleEndian(kPeriodTotal, static_cast<std::uint32_t>(periodSeconds), 4);

    TransferArray[kBeepLength] = LowByte(panel.SpinValue(SpinField::DlitBip));
    TransferArray[kBeepLevel] = LowByte(panel.SpinValue(SpinField::UrBip));

    if (panel.SqlPageIndex() == kSqlPageAudio) {
        TransferArray[kSquelchMode] = 0;
        TransferArray[kSquelchThreshold] = LowByte(panel.SpinValue(SpinField::SQL0_PorogPerekl));
    } else {
        TransferArray[kSquelchMode] = panel.SqlActiveLevelIndex() == kSqlLevelHigh ? 2 : 1;
        TransferArray[kSquelchThreshold] = LowByte(panel.SpinValue(SpinField::SQL_PorogPerekl));
    }

    TransferArray[kRxFilter] = Flag(panel, CheckField::KF_PRM);
    TransferArray[kTxFilter] = Flag(panel, CheckField::KF_PRD);
    TransferArray[kAdcGain] = LowByte(panel.SpinValue(SpinField::UsilADC));
    TransferArray[kDacAttenuation] = LowByte(panel.SpinValue(SpinField::OslDAC));
    TransferArray[kReleaseDelay] = Flag(panel, CheckField::ZAmOtp);
    TransferArray[kSleep] = Flag(panel, CheckField::RegSleep);
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
    for (const auto& info : kCodeFields) {
        memo1.Add(HexRun(info.firstByte, 4));
    }
    using namespace layout;
    memo1.Add(HexRun(kDtmfAllowed, 1));
    memo1.Add(IntToPadded(TransferArray[kMaxRecord] | (TransferArray[kMaxRecord + 1] << 8), 2));
    memo1.Add(PaddedBytes({kPeriodHours, kPeriodMinutes, kPeriodSeconds}));
    memo1.Add(PaddedBytes({kBeepLength, kBeepLevel}));
    memo1.Add(PaddedBytes({kSquelchMode, kSquelchThreshold}));
    memo1.Add(PaddedBytes({kRxFilter, kTxFilter}));
    memo1.Add(HexRun(kCheckWordHigh, 2));
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
