// A thousand presses of "выдать" in one process, the sound captured to a file through alsa-lib:
// every pass writes the same files and sends the same sound, and memory does not grow.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "_2GL.h"
#include "audioplayer.h"
#include "freshglobals.h"
#include "output.h"
#include "panelstate.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::ReadFile;
using testing::WorkFolder;

// GCC says so with __SANITIZE_ADDRESS__, clang through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kUnderAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

// Resident memory of this process in KiB, from the kernel's status file.
long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

class Soak : public testing::FreshGlobals {};

TEST_F(Soak, ThousandOutputsSendTheSameSoundWithoutGrowingMemory) {
    WorkFolder folder;
    const std::string capture = (folder.path() / "captured.raw").string();
    testing::WriteFile("asound.conf",
                       "pcm.!default { type file slave { pcm { type null } } file \"" + capture +
                           "\" format \"raw\" }\n");
    ::setenv("ALSA_CONFIG_PATH", (folder.path() / "asound.conf").c_str(), 1);

    PanelState panel;
    NoChart chart;
    AlsaPlayer speaker;
    constexpr int kWarmUp = 100;
    constexpr int kPresses = 1000;
    long afterWarmUp = 0;
    std::string wav;
    for (int press = 1; press <= kPresses; ++press) {
        panel.Spin(SpinField::UrBip) = press % 21;  // a changed control on every press
        RunOutput(panel, chart, speaker);
        if (press == kWarmUp) {
            afterWarmUp = ResidentKiB();
        }
        if (press % 21 == 0) {  // same settings as the first of these checks: same bytes
            const std::string now = ReadFile("_qq.wav");
            ASSERT_EQ(now.size(), 97580u);
            ASSERT_EQ(ReadFile(capture), now.substr(44)) << "press " << press;
            if (wav.empty()) {
                wav = now;
            }
            ASSERT_EQ(now, wav) << "press " << press;
        }
    }
    const long atEnd = ResidentKiB();
    ::unsetenv("ALSA_CONFIG_PATH");
    std::printf("resident memory: %ld KiB after %d presses, %ld KiB after %d (%+ld KiB)\n",
                afterWarmUp, kWarmUp, atEnd, kPresses, atEnd - afterWarmUp);
    if (!kUnderAddressSanitizer) {  // the sanitizer's quarantine grows on purpose; it checks leaks
        EXPECT_LT(atEnd - afterWarmUp, 1024) << "memory grew over 900 presses";
    }
}

}  // namespace
}  // namespace zk
