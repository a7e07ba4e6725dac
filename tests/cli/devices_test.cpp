// zk77q3 devices against an ALSA configuration of the test's own, and the advice that every
// command names it by when a device cannot be opened.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

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
              "  radio\n"
              "    Radio transmitter\n"
              "  speaker\n"
              "    Desk speaker\n"
              "  bare\n"
              "\n"
              "Capture devices:\n"
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
        "playback": [{"name": "radio", "description": "Radio transmitter"},
                     {"name": "speaker", "description": "Desk speaker"},
                     {"name": "bare", "description": null}],
        "capture": [{"name": "radio", "description": "Radio transmitter"},
                    {"name": "scanner", "description": "Scanner receiver\nleft channel"},
                    {"name": "bare", "description": null}]})"));

    // A configuration without devices still lists both sections.
    run = RunTool("devices", AlsaConfig(""));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Playback devices:\n  (none)\n\nCapture devices:\n  (none)\n");
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
