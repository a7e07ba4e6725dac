#include "generate.h"

#include "_2GL.h"
#include "_8_CRC.h"
#include "accesscode.h"
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
    TransferArray[40] = Flag(panel, CheckField::Razr_DTMF);
    StoreLittleEndian(24, static_cast<std::uint32_t>(panel.SpinValue(SpinField::MaxDlitZapRep)), 2);

    TransferArray[34] = LowByte(panel.SpinValue(SpinField::PP_Hour));
    TransferArray[33] = LowByte(panel.SpinValue(SpinField::PP_Min));
    TransferArray[32] = LowByte(panel.SpinValue(SpinField::PP_Sek));
    const std::int32_t periodSeconds =
        CheckedAdd(CheckedAdd(CheckedMul(panel.SpinValue(SpinField::PP_Hour), 3600),
                              CheckedMul(panel.SpinValue(SpinField::PP_Min), 60)),
                   panel.SpinValue(SpinField::PP_Sek));
    StoreLittleEndian(28, static_cast<std::uint32_t>(periodSeconds), 4);

    TransferArray[35] = LowByte(panel.SpinValue(SpinField::DlitBip));
    TransferArray[36] = LowByte(panel.SpinValue(SpinField::UrBip));

    if (panel.SqlPageIndex() == kSqlPageAudio) {
        TransferArray[37] = 0;
        TransferArray[38] = LowByte(panel.SpinValue(SpinField::SQL0_PorogPerekl));
    } else {
        TransferArray[37] = panel.SqlActiveLevelIndex() == kSqlLevelHigh ? 2 : 1;
        TransferArray[38] = LowByte(panel.SpinValue(SpinField::SQL_PorogPerekl));
    }

    TransferArray[43] = Flag(panel, CheckField::KF_PRM);
    TransferArray[44] = Flag(panel, CheckField::KF_PRD);
    TransferArray[41] = LowByte(panel.SpinValue(SpinField::UsilADC));
    TransferArray[42] = LowByte(panel.SpinValue(SpinField::OslDAC));
    TransferArray[39] = Flag(panel, CheckField::ZAmOtp);
    TransferArray[45] = Flag(panel, CheckField::RegSleep);
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
    memo1.Add(HexRun(40, 1));
    memo1.Add(IntToPadded(TransferArray[24] | (TransferArray[25] << 8), 2));
    memo1.Add(PaddedBytes({34, 33, 32}));
    memo1.Add(PaddedBytes({35, 36}));
    memo1.Add(PaddedBytes({37, 38}));
    memo1.Add(PaddedBytes({43, 44}));
    memo1.Add(HexRun(61, 2));
}

}  // namespace

void ListTransferArray(TextLines& lines) {
    lines.Clear();
    for (int i = 0; i < kTransferSize; ++i) {
        lines.Add(IntToPadded(i, 2) + " " + ByteToHex(TransferArray[i]));
    }
}

void ListFirstBytes(TextLines& lines) {
    lines.Clear();
    for (int i = 0; i <= 20; ++i) {
        lines.Add(IntToPadded(i, 3) + "  " + ByteToHex(TransferArray[i]));
    }
}

void GenerateTransferArray(ControlPanel& panel) {
    panel.ShowOutputButton();
    TransferArray[0] = 0x7F;
    TransferArray[1] = 0x04;
    TransferArray[2] = 0x01;
    TransferArray[3] = 0x01;
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
        TransferArray[61] = static_cast<std::uint8_t>(crc >> 8u);
        TransferArray[62] = static_cast<std::uint8_t>(crc & 0xFFu);
    }
    ListFields(panel.Memo1());
    ListTransferArray(panel.Memo_MasIsh());
}

}  // namespace zk
