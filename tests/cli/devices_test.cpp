// zk77q3 devices against an ALSA configuration of the test's own, and the advice that every
// command names it by when a device cannot be opened.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "devicechoice.h"
#include "toolrun.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::RunTool;
using testing::ToolRun;
using testing::WorkFolder;
using testing::WriteFile;

// A radio for both directions, a receiver that only captures (its description over two lines,
// as a card's is), a speaker that only plays, one without a description and one hidden.
constexpr const char* kStationConfig =
    "pcm.radio { type null hint { show on description \"Radio transmitter\" } }\n"
    "pcm.scanner { type null hint.description \"Scanner receiver\nleft channel|IOIDInput\" }\n"
    "pcm.speaker { type null hint.description \"Desk speaker|IOIDOutput\" }\n"
    "pcm.bare { type null hint.show on }\n"
    "pcm.hidden { type null hint { show off description \"never listed\" } }\n";

std::string AlsaConfig(const std::string& text) {
    WriteFile("asound.conf", text);
    return "ALSA_CONFIG_PATH='" + (std::filesystem::current_path() / "asound.conf").string() + "'";
}

TEST(Devices, ListsEachDirectionWithDescriptionsAsTextAndJson) {
    WorkFolder folder;
    const std::string config = AlsaConfig(kStationConfig);
    ToolRun run = RunTool("devices", config);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Playback devices:\n"
              "  default\n"
              "  radio\n"
              "    Radio transmitter\n"
              "  speaker\n"
              "    Desk speaker\n"
              "  bare\n"
              "\n"
              "Capture devices:\n"
              "  default\n"
              "  radio\n"
              "    Radio transmitter\n"
              "  scanner\n"
              "    Scanner receiver\n"
              "    left channel\n"
              "  bare\n");
    EXPECT_EQ(run.err, "");

    run = RunTool("devices --json", config);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse(R"({
        "playback": [{"name": "default", "description": null},
                     {"name": "radio", "description": "Radio transmitter"},
                     {"name": "speaker", "description": "Desk speaker"},
                     {"name": "bare", "description": null}],
        "capture": [{"name": "default", "description": null},
                    {"name": "radio", "description": "Radio transmitter"},
                    {"name": "scanner", "description": "Scanner receiver\nleft channel"},
                    {"name": "bare", "description": null}]})"));

    // A configuration without devices still has the one every command opens.
    run = RunTool("devices", AlsaConfig(""));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Playback devices:\n  default\n\nCapture devices:\n  default\n");
}

std::vector<std::string> Names(const std::vector<PcmDevice>& devices) {
    std::vector<std::string> names;
    for (const PcmDevice& device : devices) {
        names.push_back(device.name);
    }
    return names;
}

// As a desktop with the ALSA plugins lists them, mixed: "default" first, the sound cards, the
// sound servers, and the converters and mixers only when all are asked for, last.
TEST(Devices, DefaultFirstThenCardsThenServersAndConvertersOnlyWithAll) {
    std::vector<PcmDevice> hinted;
    for (const char* name :
         {"null", "lavrate", "samplerate_best", "jack", "speexrate_medium", "pulse", "upmix",
          "hw:CARD=PCH,DEV=0", "samplerate2", "speex", "plughw:CARD=PCH,DEV=0", "vdownmix",
          "sysdefault:CARD=PCH", "a52:CARD=PCH", "oss"}) {
        hinted.push_back(PcmDevice{name, std::nullopt, true, true});
    }
    const std::vector<std::string> shown = {"default",
                                            "hw:CARD=PCH,DEV=0",
                                            "plughw:CARD=PCH,DEV=0",
                                            "sysdefault:CARD=PCH",
                                            "jack",
                                            "pulse",
                                            "samplerate2",
                                            "oss"};
    EXPECT_EQ(Names(DevicesToChooseFrom(hinted, false)), shown);
    std::vector<std::string> all = shown;
    all.insert(all.end(), {"null", "lavrate", "samplerate_best", "speexrate_medium", "upmix",
                           "speex", "vdownmix", "a52:CARD=PCH"});
    EXPECT_EQ(Names(DevicesToChooseFrom(hinted, true)), all);

    // A "default" that the hints hold is moved to the front with its description, and serves
    // both directions whatever its hint says: every command opens it.
    const std::vector<PcmDevice> listed = DevicesToChooseFrom(
        {{"pulse", "PulseAudio", true, true}, {"default", "Default output", true, false}}, false);
    ASSERT_EQ(Names(listed), (std::vector<std::string>{"default", "pulse"}));
    EXPECT_EQ(listed[0].description, "Default output");
    EXPECT_TRUE(listed[0].playback && listed[0].capture);
}

// The command takes --all, and a converter that the configuration defines is left out without it.
TEST(Devices, ConvertersAreListedOnlyWithAll) {
    WorkFolder folder;
    const std::string config = AlsaConfig(
        "pcm.upmix { type null hint.description \"Channel upmix|IOIDOutput\" }\n"
        "pcm.radio { type null hint.description \"Radio|IOIDOutput\" }\n");
    const char* const head = "Playback devices:\n  default\n  radio\n    Radio\n";
    ToolRun run = RunTool("devices", config);
    EXPECT_EQ(run.out, std::string(head) + "\nCapture devices:\n  default\n");
    run = RunTool("devices --all", config);
    EXPECT_EQ(run.out,
              std::string(head) + "  upmix\n    Channel upmix\n\nCapture devices:\n  default\n");
}

// A description is shown on a terminal: an escape sequence in an ALSA configuration stays text.
TEST(Devices, ControlCharactersInDescriptionsAreEscaped) {
    WorkFolder folder;
    const ToolRun run = RunTool(
        "devices", AlsaConfig("pcm.radio { type null hint.description \"Radio \x1b[2J\" }\n"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("    Radio \\x1B[2J\n"), std::string::npos) << run.out;
}

// alsa-lib is loaded when the devices are listed; one that cannot be loaded is a fault, as for
// play, naming the library.
TEST(Devices, ALibraryThatCannotBeLoadedIsAFault) {
    WorkFolder folder;
    WriteFile("libasound.so.2", "not a library");
    const ToolRun run = RunTool("devices", "LD_LIBRARY_PATH='" + folder.path().string() + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(
        run.err.rfind("zk77q3: Cannot list the ALSA devices. ALSA library cannot be loaded: ", 0),
        0u)
        << run.err;
    EXPECT_NE(run.err.find("libasound.so.2"), std::string::npos) << run.err;
}

// Every command that opens a device, playing or capturing, points at `zk77q3 devices` when the
// name given opens nothing.
TEST(Devices, ADeviceThatCannotBeOpenedPointsAtTheList) {
    WorkFolder folder;
    const std::string config = AlsaConfig(kStationConfig);
    const std::string advice =
        "\"nothing\" cannot be opened: No such file or directory; `zk77q3 devices` lists the "
        "devices.\n";
    const struct {
        const char* args;
        std::string ending;
    } cases[] = {
        {"play --device nothing", advice},
        {"tone --seconds 1 --device nothing", advice},
        {"dtmf 1 --device nothing", advice},
        {"listen --device nothing --timeout 1",
         "Cannot capture from ALSA device \"nothing\". No such file or directory; `zk77q3 "
         "devices` lists the devices.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = RunTool(c.args, config);
        EXPECT_EQ(run.status, 1);
        ASSERT_GE(run.err.size(), c.ending.size()) << run.err;
        EXPECT_EQ(run.err.substr(run.err.size() - c.ending.size()), c.ending);
    }
}

}  // namespace
}  // namespace zk
