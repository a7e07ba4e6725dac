// "выдать" in the field: every send that played is in the programming log as the window's, the
// station's PTT is keyed around the sound and released on every path, and a PTT or a station
// file that cannot be used stops the press before anything is written. The sound goes to a file
// through ALSA's file plugin; the PTT is Hamlib's dummy rig behind a rigctld of the test's own.
#include <sys/stat.h>

#include <QLabel>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "_5FormFM.h"
#include "formfixture.h"
#include "labelededit.h"
#include "rigctld.h"
#include "scopedvariable.h"
#include "sendroute.h"
#include "sentrecord.h"
#include "sha256.h"
#include "workfolder.h"

namespace {

namespace fs = std::filesystem;
using zk::testing::ReadFile;
using zk::testing::ScopedVariable;
using zk::testing::WriteFile;

// The keys of a log entry in the order `zk77q3 play` writes them, with the window's "source".
const std::vector<std::string> kWindowEntryKeys = {
    "time", "source", "folder", "device", "settings", "array", "check_word", "wav_sha256"};

// The window on the field's route, in a work folder of its own that holds the state and
// configuration folders and the file the sound device writes to.
class FieldSendTest : public FormTest {
  protected:
    void SetUp() override {
        WriteFile(folder_.path() / "asound.conf",
                  "pcm.!default { type file slave { pcm { type null } } file \"" +
                      Captured().string() + "\" format \"raw\" }\n");
        route = &route_;
        FormTest::SetUp();
    }

    fs::path Captured() const { return folder_.path() / "sent.raw"; }
    fs::path Log() const { return folder_.path() / "state/zk77q3/sent.jsonl"; }

    void WriteStationConfig(const std::string& text) const {
        fs::create_directories(folder_.path() / "config/zk77q3");
        WriteFile(folder_.path() / "config/zk77q3/config.toml", text);
    }

    // A device name ALSA does not know: playback fails on open.
    void BreakTheSoundDevice() const { WriteFile(folder_.path() / "asound.conf", "\n"); }

    std::vector<nlohmann::ordered_json> Entries() const {
        std::vector<nlohmann::ordered_json> entries;
        std::istringstream lines(ReadFile(Log()));
        for (std::string line; std::getline(lines, line);) {
            entries.push_back(nlohmann::ordered_json::parse(line));
        }
        return entries;
    }

    // "выдать" as the operator reaches it: "сформировать" first shows it. Returns the text of the
    // error box, empty when none came up.
    QString Send() {
        BoxCatcher catcher;
        Press("Button_FormFile");
        Press("Button_Out");
        return catcher.text;
    }

    QString Status() const { return Find<QLabel>("StaticText_Error")->text(); }

    zk::testing::WorkFolder folder_;
    ScopedVariable state_{"XDG_STATE_HOME", (folder_.path() / "state").string()};
    ScopedVariable config_{"XDG_CONFIG_HOME", (folder_.path() / "config").string()};
    ScopedVariable sound_{"ALSA_CONFIG_PATH", (folder_.path() / "asound.conf").string()};
    zk::AlsaPlayer speaker_{"default"};
    zk::ui::FieldRoute route_{speaker_, "default"};
};

std::string Sha256Hex(const std::string& bytes) {
    zk::Sha256 sha;
    sha.Add(bytes.data(), bytes.size());
    return sha.Hex();
}

TEST_F(FieldSendTest, EverySendThatPlayedIsLoggedAsTheWindowsInTheCommandLinesRecord) {
    Find<zk::ui::LabeledEdit>("LabeledEdit_KodOtkrPols")->setText("1590");
    Spin("SpinEdit_UrBip")->SetValue(12);
    ASSERT_EQ(Send(), QString());
    ASSERT_EQ(Send(), QString());  // a second send is added, not written over the first

    const std::vector<nlohmann::ordered_json> entries = Entries();
    ASSERT_EQ(entries.size(), 2u);
    const nlohmann::ordered_json& entry = entries.back();
    std::vector<std::string> keys;
    for (const auto& item : entry.items()) {
        keys.push_back(item.key());
    }
    EXPECT_EQ(keys, kWindowEntryKeys);
    EXPECT_EQ(entry["source"], "window");
    EXPECT_EQ(entry["device"], "default");
    EXPECT_EQ(entry["folder"], fs::current_path().string());
    EXPECT_EQ(entry["settings"]["user-open"], "1590");
    EXPECT_EQ(entry["settings"]["beep-level"], 12);
    EXPECT_EQ(entry["settings"], zk::SettingsJson(zk::CopyPanelValues(*form)));
    EXPECT_EQ(entry["array"], zk::ArrayHex());
    EXPECT_EQ(entry["check_word"], zk::CheckWordHex());
    // The hash is of the file that went out, and the sound played is that file's samples.
    const std::string wave = ReadFile("_qq.wav");
    EXPECT_EQ(entry["wav_sha256"], Sha256Hex(wave));
    EXPECT_EQ(ReadFile(Captured()), wave.substr(44));

    struct stat status {};
    ASSERT_EQ(::stat(Log().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
}

TEST_F(FieldSendTest, ASendThatFailedIsNotLogged) {
    BreakTheSoundDevice();
    const QString box = Send();
    EXPECT_TRUE(box.startsWith("Cannot play file")) << box.toStdString();
    EXPECT_FALSE(fs::exists(Log()));
}

// The sound has gone out, so the send stands; the operator learns, in Russian, why the log
// lacks it: whatever stands in the log's or its folder's place.
TEST_F(FieldSendTest, ALogThatCannotBeWrittenIsShownAfterTheSound) {
    const fs::path state = folder_.path() / "state";
    const fs::path folder = Log().parent_path();
    const std::string sent = "Сигнал выдан, но журнал выдач не записан: ";
    const struct {
        void (*make)(const fs::path& state, const fs::path& folder, const fs::path& log);
        std::string box;
    } cases[] = {
        {[](const fs::path&, const fs::path& folder, const fs::path& log) {
             fs::create_directories(folder);
             fs::create_symlink("/dev/null", log);
         },
         "журнал выдач \"" + Log().string() + "\" — символическая ссылка, а не обычный файл."},
        {[](const fs::path&, const fs::path&, const fs::path& log) { fs::create_directories(log); },
         "журнал выдач \"" + Log().string() + "\" — папка, а не обычный файл."},
        {[](const fs::path& state, const fs::path& folder, const fs::path&) {
             fs::create_directories(state / "elsewhere");
             fs::create_directory_symlink(state / "elsewhere", folder);
         },
         "папка журнала выдач \"" + folder.string() +
             "\" — символическая ссылка; журнал ведётся только в настоящей папке."},
        {[](const fs::path& state, const fs::path&, const fs::path&) { WriteFile(state, "x"); },
         "не удаётся открыть папку журнала выдач \"" + folder.string() + "\": Not a directory."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        fs::remove_all(state);
        c.make(state, folder, Log());
        if (fs::is_directory(folder) && !fs::is_symlink(folder)) {
            ::chmod(folder.c_str(), 0700);
        }
        EXPECT_EQ(Send().toStdString(), sent + c.box);
        EXPECT_EQ(ReadFile(Captured()).size(), 2u * zk::kSignalSamples);
    }
}

// A profile's name goes with the sends made from it, so that `zk77q3 log --name` finds them.
TEST_F(FieldSendTest, TheNameOfTheLoadedProfileIsInTheEntry) {
    WriteFile("north.toml", "name = \"North hill\"\nuser-open = \"1590\"\n");
    ASSERT_TRUE(form->LoadProfile("north.toml"));
    ASSERT_EQ(Send(), QString());
    const std::vector<nlohmann::ordered_json> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["name"], "North hill");
    EXPECT_EQ(entries[0]["settings"]["user-open"], "1590");
}

// The station's file and the PTT are judged before anything is generated or written, and the box
// says why in the window's Russian (Hamlib's reason and the system's stay as they are given).
TEST_F(FieldSendTest, AStationFileOrPttThatCannotBeUsedStopsThePressBeforeAnything) {
    const std::string unused = "rigctld:127.0.0.1:" + std::to_string(zk::testing::FreePort());
    const std::string file = (folder_.path() / "config/zk77q3/config.toml").string();
    const struct {
        std::string config;  // empty: a folder in the file's place
        std::string boxStart;
    } cases[] = {
        {"ptt = \"" + unused + "\"\n", "PTT \"" + unused + "\" не открывается: "},
        {"ptt = \"serial\"\n",
         file + ":1: ptt: PTT \"serial\": неизвестный способ \"serial\"; допустимы none, "
                "rts:УСТРОЙСТВО, dtr:УСТРОЙСТВО, cat:МОДЕЛЬ:УСТРОЙСТВО[:СКОРОСТЬ], "
                "cm108:УСТРОЙСТВО[:GPIO] и rigctld[:ХОСТ[:ПОРТ]]."},
        {"ptt-lead = 20000\n",
         file + ":1: ptt-lead: \"20000\" не целое число в пределах 0..10000."},
        {"ptt-limit = \"0x1\"\n",
         file + ":1: ptt-limit: \"0x1\" не целое число в пределах 1..900."},
        {"colour = 1\n", file + ":1: неизвестный ключ \"colour\""},
        {"", "Файл настроек станции: Cannot open file \"" + file + "\". Is a directory."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        fs::remove_all(file);
        if (c.config.empty()) {
            fs::create_directories(file);
        } else {
            WriteStationConfig(c.config);
        }
        Press("Button_FormFile");
        Find<QLabel>("StaticText_Error")->setText("before");
        BoxCatcher catcher;
        Press("Button_Out");
        EXPECT_EQ(catcher.text.toStdString().substr(0, c.boxStart.size()), c.boxStart);
        EXPECT_EQ(Status(), "before");  // generate did not run
        EXPECT_FALSE(fs::exists("_qq.wav"));
        EXPECT_FALSE(fs::exists(Captured()));
        EXPECT_FALSE(fs::exists(Log()));
    }
}

class FieldPttTest : public FieldSendTest {
  protected:
    void SetUp() override {
        if (rigctldProgram_.empty()) {
            GTEST_SKIP() << "rigctld is not installed (libhamlib-utils)";
        }
        rig_.emplace(rigctldProgram_);
        ASSERT_TRUE(rig_->WaitUntilListening());
        FieldSendTest::SetUp();
        WriteStationConfig("ptt = \"" + rig_->Setting() + "\"\nptt-lead = 0\nptt-tail = 0\n");
    }

    std::string rigctldProgram_ = zk::testing::FindRigctld();
    std::optional<zk::testing::Rigctld> rig_;
};

TEST_F(FieldPttTest, TheStationsPttIsKeyedForTheWholeSoundAndNamedInTheEntry) {
    std::vector<int> keyedWhilePlaying;
    speaker_.OnProgress([this, &keyedWhilePlaying](double, double) {
        keyedWhilePlaying.push_back(rig_->PttState());
    });
    ASSERT_EQ(Send(), QString());
    // A poll that could not reach rigctld (-1, a busy machine) tells nothing; none may see 0.
    ASSERT_FALSE(keyedWhilePlaying.empty());
    EXPECT_EQ(std::count(keyedWhilePlaying.begin(), keyedWhilePlaying.end(), 0), 0);
    EXPECT_GT(std::count(keyedWhilePlaying.begin(), keyedWhilePlaying.end(), 1), 0);
    EXPECT_EQ(rig_->PttState(), 0);
    const std::vector<nlohmann::ordered_json> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["ptt"], rig_->Setting());
    EXPECT_EQ(entries[0]["source"], "window");
}

// A sound held up under the key past the transmit limit is cut; what went out of it is in the
// log with the cut as its fault, and the box says so.
TEST_F(FieldPttTest, ASendCutByTheTransmitLimitIsLoggedWithItsFault) {
    WriteStationConfig("ptt = \"" + rig_->Setting() +
                       "\"\nptt-lead = 0\nptt-tail = 0\nptt-limit = 1\n");
    bool held = false;
    speaker_.OnProgress([&held](double, double) {
        if (!held) {
            held = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        }
    });
    const std::string cut =
        "PTT \"" + rig_->Setting() +
        "\": передача выключена по истечении предела времени передачи 1 с; звук оборван";
    EXPECT_EQ(Send().toStdString(), cut + ".");
    EXPECT_EQ(rig_->PttState(), 0);
    const std::vector<nlohmann::ordered_json> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    const std::string fault = entries[0].value("fault", "");
    EXPECT_NE(fault.find("transmit limit of 1 s"), std::string::npos) << entries[0];

    // A broken send whose log cannot be written either: the box keeps what broke the signal and
    // adds the log, never calling the signal sent.
    fs::remove(Log());
    fs::create_symlink("/dev/null", Log());
    held = false;
    EXPECT_EQ(Send().toStdString(), cut + "; журнал выдач тоже не записан: журнал выдач \"" +
                                        Log().string() +
                                        "\" — символическая ссылка, а не обычный файл.");
}

// A rigctld started without a PTT type is found out before the sound, with what to do.
TEST_F(FieldPttTest, ARigctldWithoutAPttTypeIsExplained) {
    zk::testing::Rigctld bare(rigctldProgram_, /*keepsPtt=*/false);
    ASSERT_TRUE(bare.WaitUntilListening());
    WriteStationConfig("ptt = \"" + bare.Setting() + "\"\n");
    const std::string start = "PTT \"" + bare.Setting() +
                              "\" не может включить передачу: этот rigctld запущен без типа PTT; "
                              "запустите его с -P RIG";
    EXPECT_EQ(Send().toStdString().substr(0, start.size()), start);
    EXPECT_FALSE(fs::exists(Log()));
}

TEST_F(FieldPttTest, TheKeyStaysUpWhenTheSoundCannotStart) {
    BreakTheSoundDevice();
    const zk::testing::KeyWatch watch(*rig_);
    const QString box = Send();
    EXPECT_TRUE(box.startsWith("Cannot play file")) << box.toStdString();
    EXPECT_FALSE(watch.EverKeyed()) << "keyed for a sound that could not start";
    EXPECT_EQ(rig_->PttState(), 0);
    EXPECT_FALSE(fs::exists(Log()));
}

// A profile's keying comes before the station's, as on the command line.
TEST_F(FieldPttTest, AProfilesPttComesBeforeTheStations) {
    WriteStationConfig("ptt = \"rigctld:127.0.0.1:" + std::to_string(zk::testing::FreePort()) +
                       "\"\n");
    WriteFile("north.toml", "ptt = \"" + rig_->Setting() + "\"\nptt-lead = 0\nptt-tail = 0\n");
    ASSERT_TRUE(form->LoadProfile("north.toml"));
    ASSERT_EQ(Send(), QString());
    const std::vector<nlohmann::ordered_json> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["ptt"], rig_->Setting());
}

}  // namespace
