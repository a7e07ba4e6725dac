#include "expectation.h"

#include <array>

#include "_2GL.h"
#include "arraylayout.h"
#include "decodedsettings.h"
#include "generate.h"
#include "numtext.h"
#include "packetverdict.h"
#include "profile.h"

namespace zk {

namespace {

std::vector<const Setting*> Compared(const Expectation& expectation) {
    std::vector<const Setting*> settings;
    for (const Setting& setting : kSettings) {
        for (const std::string& key : expectation.keys) {
            if (key == setting.key) {
                settings.push_back(&setting);
            }
        }
        if (expectation.WholeArray()) {
            settings.push_back(&setting);
        }
    }
    return settings;
}

}  // namespace

Array ArrayForSettings(PanelState panel) {
    // Generating fills only the fields it writes; the rest of the array keeps whatever the last
    // user of it left (another profile's longer code, a test signal). The array a send would
    // carry is the one generated from the array's start values, so it is made from those, and
    // the array is given back as it was.
    const auto copy = [] {
        Array bytes{};
        for (int i = 0; i < kTransferSize; ++i) {
            bytes[static_cast<std::size_t>(i)] = TransferArray[i];
        }
        return bytes;
    };
    const Array before = copy();
    TransferArray.Reset();
    GenerateTransferArray(panel);
    const Array generated = copy();
    for (int i = 0; i < kTransferSize; ++i) {
        TransferArray[i] = before[static_cast<std::size_t>(i)];
    }
    return generated;
}

Expectation ExpectationOfProfile(const std::string& path) {
    Expectation expectation;
    expectation.array = ArrayForSettings(ReadProfileFileSettings(path).panel);
    expectation.from = "profile";
    return expectation;
}

ByteRole ByteRoleOf(int i) {
    if (i < layout::kHeaderBytes) {
        return ByteRole::Header;
    }
    if (i == layout::kMarker46 || i == layout::kMarker47) {
        return ByteRole::Marker;
    }
    if (i == layout::kCheckWordHigh || i == layout::kCheckWordLow) {
        return ByteRole::CheckWord;
    }
    if (i == kTransferSize - 1) {
        return ByteRole::OutsideCheckWord;
    }
    if (const Setting* setting = SettingAt(i); setting != nullptr) {
        return setting->kind == SettingKind::Code ? ByteRole::CodeField : ByteRole::SettingField;
    }
    return ByteRole::NeverWritten;
}

const char* ByteRoleName(ByteRole role) {
    switch (role) {
        case ByteRole::Header:
            return "header";
        case ByteRole::Marker:
            return "marker";
        case ByteRole::CheckWord:
            return "check word";
        case ByteRole::OutsideCheckWord:
            return "outside the check word";
        case ByteRole::CodeField:
            return "code field";
        case ByteRole::SettingField:
            return "setting field";
        case ByteRole::NeverWritten:
            return "never written";
    }
    return "?";
}

std::vector<Difference> Differences(const Expectation& expectation, const Array& decoded) {
    const DecodedSettings want = DecodeSettings(expectation.array);
    const DecodedSettings got = DecodeSettings(decoded);
    std::vector<Difference> differences;
    std::array<bool, kTransferSize> named{};
    for (const Setting* setting : Compared(expectation)) {
        const std::string wanted = DecodedText(want, *setting);
        const std::string heard = DecodedText(got, *setting);
        if (wanted != heard) {
            differences.push_back({setting, -1, wanted, heard});
            for (int i = setting->firstByte; i <= LastByte(*setting); ++i) {
                named[static_cast<std::size_t>(i)] = true;
            }
        }
    }
    if (!expectation.WholeArray()) {
        return differences;
    }
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (!named[i] && expectation.array[i] != decoded[i]) {
            differences.push_back({nullptr, static_cast<int>(i), ByteToHex(expectation.array[i]),
                                   ByteToHex(decoded[i])});
        }
    }
    return differences;
}

std::string DifferenceText(const Difference& difference) {
    const std::string what = difference.setting != nullptr
                                 ? std::string(difference.setting->label)
                                 : "byte " + std::to_string(difference.byte) + " (" +
                                       ByteRoleName(ByteRoleOf(difference.byte)) + ")";
    return what + ": expected " + difference.expected + ", decoded " + difference.decoded;
}

std::vector<std::string> DifferenceTexts(const Expectation& expectation, const Array& decoded) {
    std::vector<std::string> texts;
    for (const Difference& difference : Differences(expectation, decoded)) {
        texts.push_back(DifferenceText(difference));
    }
    return texts;
}

bool Matches(const receive::Packet& packet, const std::optional<Expectation>& expectation) {
    return VerdictOf(packet) == PacketVerdict::Valid &&
           (!expectation || Differences(*expectation, packet.bytes).empty());
}

std::string CheckedText(const Expectation& expectation) {
    if (expectation.WholeArray()) {
        return "checked: the whole array (64 bytes)";
    }
    std::string text = "checked:";
    for (const Setting* setting : Compared(expectation)) {
        text += std::string(text.back() == ':' ? " " : ", ") + setting->key;
    }
    return text;
}

nlohmann::ordered_json ExpectationJson(const Expectation& expectation) {
    nlohmann::ordered_json checked = nlohmann::ordered_json::array();
    for (const Setting* setting : Compared(expectation)) {
        checked.push_back(setting->key);
    }
    return {{"from", expectation.from},
            {"whole_array", expectation.WholeArray()},
            {"checked", checked}};
}

}  // namespace zk
