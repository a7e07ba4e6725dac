#include "findingwords.h"

#include <cmath>
#include <cstdio>

#include "arraylayout.h"
#include "leveltext.h"
#include "workrate.h"

namespace zk {

namespace {

std::string OneDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string Db(double value) {
    return OneDecimal(value) + " dB";
}

const std::string kRaiseTheLevel = "; raise the level or bring the radios closer";

}  // namespace

std::string FindingWords(const receive::Finding& f) {
    using receive::Problem;
    switch (f.problem) {
        case Problem::NoTone:
            return "no 1000 Hz tone heard: check the source, the cable and the input that is "
                   "recording";
        case Problem::NoLeadIn:
            return "no lead-in heard: nothing steady at 1000 Hz lasted long enough for one";
        case Problem::OffCarrier:
            return "a tone near 1000 Hz, but its carrier is " +
                   OneDecimal(std::abs(f.carrierOffsetHz)) + " Hz " +
                   (f.carrierOffsetHz > 0 ? "above" : "below") + " 1000 Hz; at most " +
                   OneDecimal(receive::kMaxCarrierOffsetHz) +
                   " Hz can be followed: check the radios' tuning";
        case Problem::PitchWandered:
            return "a clean 1000 Hz tone, but its pitch wandered (wow, or a drifting oscillator) "
                   "and no packet could be read after it";
        case Problem::ToneNoData:
            return "a 1000 Hz tone, but no packet could be read after it";
        case Problem::DataCutOff:
            return "data cut off: the recording ends " + std::to_string(f.count) +
                   " bits into a packet of " + std::to_string(receive::kPacketBits) +
                   "; record at least " + OneDecimal(receive::kRecordPastLeadInSeconds) +
                   " s past the end of the lead-in tone";
        case Problem::TooNoisy:
            return "too noisy: estimated Eb/N0 " + Db(f.ebN0Db) + ", need " +
                   Db(receive::kRequiredEbN0Db) + kRaiseTheLevel;
        case Problem::BadPackets:
            return std::to_string(f.count) +
                   " packet(s) heard, but none with the right header and check word";
        case Problem::Overlap:
            return "two transmissions overlapped: a lead-in began inside another packet; make "
                   "sure only one programmer sends on the channel";
        case Problem::Distorted:
            return "distorted: the lead-in came through clean (Eb/N0 " + Db(f.leadInEbN0Db) +
                   "), the data did not (" + Db(f.ebN0Db) +
                   "): something in the path spoiled it, such as a speech codec, an echo, a voice "
                   "processor or a dropout";
        case Problem::Dropout: {
            char at[32];
            std::snprintf(at, sizeof at, "%.2f", f.atSeconds);
            return "the sound dropped out for " + std::to_string(f.count) + " ms at " + at +
                   " s, inside a packet: check the cables and their plugs, and that the "
                   "receiver's squelch and power saving stay open through the whole signal";
        }
        case Problem::NotNumbers:
            return std::to_string(f.count) +
                   " samples are no numbers (NaN or infinite): the recording or the recorder is "
                   "broken";
        case Problem::Silent:
            return "too quiet: silent, every sample zero; check what the recording is fed from";
        case Problem::TooQuiet:
            return "too quiet: peak level " + receive::PeakLevelText(f.peakDbfs) +
                   "; raise the recording level";
        case Problem::Clipping:
            return "clipping: " + std::to_string(f.count) +
                   " samples at full scale; lower the recording level";
    }
    return {};
}

std::string SettingsFindingWords(const SettingsFinding& f) {
    using Kind = SettingsFinding::Kind;
    using std::to_string;
    const std::string name = f.setting != nullptr ? f.setting->shortName : "";
    const std::string markers =
        "bytes " + to_string(layout::kMarker46) + ", " + to_string(layout::kMarker47);
    switch (f.kind) {
        case Kind::NoCode:
            return name + ": bytes " + to_string(f.setting->firstByte) + ".." +
                   to_string(LastByte(*f.setting)) + " hold no code";
        case Kind::OutOfRange: {
            static constexpr const char* kPartNames[] = {"", " seconds", " minutes", " hours"};
            return name + kPartNames[static_cast<int>(f.part)] + " " + to_string(f.value) +
                   " is outside " + to_string(f.minimum) + ".." + to_string(f.maximum);
        }
        case Kind::PeriodDisagrees:
            return name + " " + to_string(f.hours) + ":" + to_string(f.minutes) + ":" +
                   to_string(f.seconds) + " is " + to_string(f.value) +
                   " s, but the total sent is " + to_string(f.total) + " s";
        case Kind::NotAFlag:
            return name + " flag holds " + to_string(f.value);
        case Kind::NoSquelchMode:
            return name + " " + to_string(f.value) + " is not 0, 1 or 2";
        case Kind::MarkersUncomputed:
            return markers + " hold EE FF: the sender did not compute the check word";
        case Kind::MarkersNotZero:
            return markers + " are not zero";
        case Kind::UnwrittenNotZero:
            return "bytes that are never written (" + to_string(layout::kUnusedAfterMaxRecord) +
                   ", " + to_string(layout::kUnusedAfterMaxRecord + 1) + ", " +
                   to_string(layout::kUnusedBeforeCheckWord) + ".." +
                   to_string(layout::kUnusedBeforeCheckWordLast) + ") are not all zero";
        case Kind::AfterCheckWord:
            return "byte " + to_string(layout::kAfterCheckWord) +
                   ", which the check word does not cover, holds " + to_string(f.value) + ", not 0";
    }
    return {};
}

std::vector<std::string> SettingsFindingWords(const std::vector<SettingsFinding>& findings) {
    std::vector<std::string> texts;
    for (const SettingsFinding& finding : findings) {
        texts.push_back(SettingsFindingWords(finding));
    }
    return texts;
}

}  // namespace zk
