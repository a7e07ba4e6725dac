// The PTT keying: the text the operator writes, and the key itself against Hamlib's dummy rig
// behind a rigctld of the test's own, whose PTT state a second connection reads.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "errors.h"
#include "hamlibrig.h"
#include "pttsetting.h"
#include "rigctld.h"
#include "terminationhold.h"
#include "transmission.h"
#include "transmitter.h"

namespace zk {
namespace {

using namespace std::chrono_literals;

// Short enough to keep the suite quick; the limit far beyond any test's own length.
constexpr TransmitTiming kQuickTiming{20ms, 20ms, 20s};
// The longest a test's playback waits for a stop that should come at once.
constexpr auto kStopWaitLimit = 10s;

// Blocks like a playback into a device that never drains, until `stop` or kStopWaitLimit.
bool WaitForStop(std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock<std::mutex> lock(mutex);
    return wake.wait_for(lock, stop, kStopWaitLimit, [] { return false; }), stop.stop_requested();
}

struct ValidCase {
    std::string text;
    PttMethod method;
    std::string device;
    int rigModel = 0;
    int baud = 0;
    int cm108Gpio = PttSetting::kDefaultCm108Gpio;
    std::string host = PttSetting::kDefaultRigctldHost;
    int port = PttSetting::kDefaultRigctldPort;
};

TEST(PttSetting, ReadsEveryFormIntoItsFields) {
    const std::vector<ValidCase> cases = {
        {"none", PttMethod::None, ""},
        {"rts:/dev/ttyUSB0", PttMethod::Rts, "/dev/ttyUSB0"},
        // udev's stable names hold colons; a last field that is not all digits stays in the name
        {"dtr:/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0", PttMethod::Dtr,
         "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0"},
        {"cat:1035:/dev/ttyUSB1", PttMethod::Cat, "/dev/ttyUSB1", 1035, 0},
        {"cat:3073:/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0:19200", PttMethod::Cat,
         "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0", 3073, 19200},
        {"cat:1035:/dev/ttyUSB1:300", PttMethod::Cat, "/dev/ttyUSB1", 1035, 300},
        {"cat:1035:/dev/ttyUSB1:115200", PttMethod::Cat, "/dev/ttyUSB1", 1035, 115200},
        {"cm108:/dev/hidraw0", PttMethod::Cm108, "/dev/hidraw0"},
        {"cm108:/dev/hidraw2:1", PttMethod::Cm108, "/dev/hidraw2", 0, 0, 1},
        {"cm108:/dev/hidraw2:8", PttMethod::Cm108, "/dev/hidraw2", 0, 0, 8},
        {"rigctld", PttMethod::Rigctld, ""},
        {"rigctld:shack-pi", PttMethod::Rigctld, "", 0, 0, 3, "shack-pi", 4532},
        {"rigctld:192.168.1.20:1", PttMethod::Rigctld, "", 0, 0, 3, "192.168.1.20", 1},
        {"rigctld:[::1]:65535", PttMethod::Rigctld, "", 0, 0, 3, "::1", 65535},
        {"rigctld:[fe80::1]", PttMethod::Rigctld, "", 0, 0, 3, "fe80::1", 4532},
    };
    for (const ValidCase& c : cases) {
        SCOPED_TRACE(c.text);
        const PttSetting setting = ParsePttSetting(c.text);
        EXPECT_EQ(setting.method, c.method);
        EXPECT_EQ(setting.text, c.text);
        EXPECT_EQ(setting.device, c.device);
        EXPECT_EQ(setting.rigModel, c.rigModel);
        EXPECT_EQ(setting.baud, c.baud);
        EXPECT_EQ(setting.cm108Gpio, c.cm108Gpio);
        EXPECT_EQ(setting.host, c.host);
        EXPECT_EQ(setting.port, c.port);
    }
}

// Each refusal in the command line's English and the window's Russian, built from the same
// pieces: a row whose Russian falls back to English, or loses a piece, fails.
TEST(PttSetting, RejectsBadTextsNamingWhatIsWrong) {
    const std::string forms =
        "use none, rts:DEVICE, dtr:DEVICE, cat:MODEL:DEVICE[:BAUD], cm108:DEVICE[:GPIO] or "
        "rigctld[:HOST[:PORT]]";
    const std::string formsRu =
        "допустимы none, rts:УСТРОЙСТВО, dtr:УСТРОЙСТВО, cat:МОДЕЛЬ:УСТРОЙСТВО[:СКОРОСТЬ], "
        "cm108:УСТРОЙСТВО[:GPIO] и rigctld[:ХОСТ[:ПОРТ]]";
    const std::string bauds = "300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200";
    const struct {
        std::string text;
        std::string english;  // after "PTT "<text>": "
        std::string russian;
    } cases[] = {
        {"", "empty; " + forms, "пусто; " + formsRu},
        {"vox", "unknown method \"vox\"; " + forms, "неизвестный способ \"vox\"; " + formsRu},
        {"RTS:/dev/ttyUSB0", "unknown method \"RTS\"; " + forms,
         "неизвестный способ \"RTS\"; " + formsRu},
        {"none:/dev/ttyUSB0", "none takes nothing after it", "после none ничего не пишется"},
        {"rts", "the device is missing (rts:DEVICE)", "не указано устройство (rts:УСТРОЙСТВО)"},
        {"dtr:", "the device is missing (dtr:DEVICE)", "не указано устройство (dtr:УСТРОЙСТВО)"},
        {"rts:ttyUSB0", "the device \"ttyUSB0\" must be a full path such as /dev/ttyUSB0",
         "устройство \"ttyUSB0\" указывается полным путём, например /dev/ttyUSB0"},
        {"cat", "the rig model is missing (cat:MODEL:DEVICE[:BAUD])",
         "не указана модель радиостанции (cat:МОДЕЛЬ:УСТРОЙСТВО[:СКОРОСТЬ])"},
        {"cat:ft991:/dev/ttyUSB0",
         "the rig model \"ft991\" is not a Hamlib model number (rigctl --list shows them)",
         "модель радиостанции \"ft991\" не номер модели Hamlib (их показывает rigctl --list)"},
        // Hamlib 4.5 ends the process on rig_init(0)
        {"cat:0:/dev/ttyUSB0",
         "the rig model \"0\" is not a Hamlib model number (rigctl --list shows them)",
         "модель радиостанции \"0\" не номер модели Hamlib (их показывает rigctl --list)"},
        {"cat:1035", "the device is missing (cat:MODEL:DEVICE[:BAUD])",
         "не указано устройство (cat:МОДЕЛЬ:УСТРОЙСТВО[:СКОРОСТЬ])"},
        {"cat:1035:/dev/ttyUSB0:9601", "baud rate 9601 is not one of " + bauds,
         "скорость 9601 не из ряда " + bauds},
        {"cat:1035:/dev/ttyUSB0:", "nothing follows the last \":\"",
         "после последнего \":\" ничего нет"},
        {"cm108:/dev/hidraw0:0", "GPIO 0 is not one of 1..8", "GPIO 0 не из 1..8"},
        {"cm108:/dev/hidraw0:9", "GPIO 9 is not one of 1..8", "GPIO 9 не из 1..8"},
        {"cm108:hidraw0", "the device \"hidraw0\" must be a full path such as /dev/hidraw0",
         "устройство \"hidraw0\" указывается полным путём, например /dev/hidraw0"},
        {"rigctld:", "the host is empty", "не указан хост"},
        {"rigctld::4532", "the host is empty", "не указан хост"},
        {"rigctld:shack:0", "the port \"0\" is not a number 1..65535",
         "порт \"0\" не число в пределах 1..65535"},
        {"rigctld:shack:65536", "the port \"65536\" is not a number 1..65535",
         "порт \"65536\" не число в пределах 1..65535"},
        {"rigctld:shack:45x", "the port \"45x\" is not a number 1..65535",
         "порт \"45x\" не число в пределах 1..65535"},
        {"rigctld:shack:", "the port \"\" is not a number 1..65535",
         "порт \"\" не число в пределах 1..65535"},
        {"rigctld:[::1", "\"]\" is missing after the IPv6 address", "после адреса IPv6 нет \"]\""},
        {"rigctld:[::1]4532", "\":PORT\" or nothing may follow \"]\"",
         "после \"]\" может стоять только \":ПОРТ\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ParsePttSetting(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const PttSettingError& e) {
            const std::string subject = "PTT \"" + c.text + "\": ";
            EXPECT_EQ(e.what(), subject + c.english);
            EXPECT_EQ(e.Russian(), subject + c.russian);
        }
    }
    // A huge text is cut, and a control character in it never reaches the terminal raw.
    try {
        ParsePttSetting("serial\x1b[2J" + std::string(10000, 'x'));
        ADD_FAILURE() << "accepted";
    } catch (const PttSettingError& e) {
        const std::string message = e.what();
        EXPECT_LT(message.size(), 400u) << message;
        EXPECT_EQ(message.rfind("PTT \"serial\\x1B[2J" + std::string(54, 'x') + "…\": ", 0), 0u)
            << message;
    }
}

// A listener on a free port of 127.0.0.1 that is no rigctld: it closes each connection at
// once, or answers every read with a line of nonsense.
class NotRigctld {
  public:
    explicit NotRigctld(bool answers) : port_(testing::FreePort()) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int on = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port_));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 8);
        thread_ = std::jthread([this, answers](std::stop_token stop) {
            while (!stop.stop_requested()) {
                pollfd waiting{listener_, POLLIN, 0};
                if (::poll(&waiting, 1, 50) != 1) {
                    continue;
                }
                const int connection = ::accept(listener_, nullptr, nullptr);
                char buffer[256];
                while (answers && ::read(connection, buffer, sizeof buffer) > 0 &&
                       ::write(connection, "garbage\n", 8) == 8) {
                }
                ::close(connection);
            }
        });
    }
    ~NotRigctld() {
        thread_.request_stop();
        thread_.join();
        ::close(listener_);
    }
    std::string Setting() const { return "rigctld:127.0.0.1:" + std::to_string(port_); }

  private:
    int port_;
    int listener_ = -1;
    std::jthread thread_;
};

// A rig model Hamlib does not know is found when the transmitter opens (reading a profile or
// the station's file never loads Hamlib), named with where to look the models up.
TEST(PttUnusable, AnUnknownRigModelIsNamedWhenOpened) {
    const PttSetting setting = ParsePttSetting("cat:999999:/dev/ttyUSB0");
    EXPECT_EQ(setting.rigModel, 999999);
    try {
        Transmitter ptt(setting);
        ADD_FAILURE() << "opened";
    } catch (const PttError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "PTT \"cat:999999:/dev/ttyUSB0\" cannot be opened: Hamlib "
                  "knows no rig model 999999 (rigctl --list shows them)");
        EXPECT_EQ(e.Russian(),
                  "PTT \"cat:999999:/dev/ttyUSB0\" не открывается: Hamlib не знает "
                  "модели радиостанции 999999 (их показывает rigctl --list)");
    }
}

// What Hamlib says of a PTT that cannot be used is said in an operator's words: the device in a
// serial line's place, and what listens where rigctld was expected.
TEST(PttUnusable, TheReasonIsInTheOperatorsWords) {
    const NotRigctld closing(false);
    const NotRigctld talking(true);
    const struct {
        std::string setting;
        std::string reason;
    } cases[] = {
        {"rts:/dev/null", "the device is no serial port whose RTS and DTR lines can be set"},
        {"dtr:/dev/null", "the device is no serial port whose RTS and DTR lines can be set"},
        {closing.Setting(), "the connection was closed at once: is rigctld what listens there?"},
        {talking.Setting(), "what answers there is not rigctld: its answers make no sense"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        try {
            Transmitter ptt(ParsePttSetting(c.setting));
            ADD_FAILURE() << "opened";
        } catch (const PttError& e) {
            EXPECT_NE(std::string(e.what()).find("(" + c.reason + ")"), std::string::npos)
                << e.what();
        }
    }
}

// What each keying hands to Hamlib: the pin counted from 0 as Hamlib counts it (GPIO3 is bit
// 2), the line's type, the address in the form netrigctl reads, and rigctld's bounded waits.
TEST(PttSetting, HamlibIsHandedTheKeyingsOwnSettings) {
    using Settings = std::vector<std::pair<std::string, std::string>>;
    const struct {
        std::string text;
        Settings settings;
    } cases[] = {
        {"rts:/dev/ttyUSB0", {{"ptt_type", "RTS"}, {"ptt_pathname", "/dev/ttyUSB0"}}},
        {"dtr:/dev/ttyS1", {{"ptt_type", "DTR"}, {"ptt_pathname", "/dev/ttyS1"}}},
        {"cm108:/dev/hidraw0",
         {{"ptt_type", "CM108"}, {"ptt_pathname", "/dev/hidraw0"}, {"ptt_bitnum", "2"}}},
        {"cm108:/dev/hidraw1:1",
         {{"ptt_type", "CM108"}, {"ptt_pathname", "/dev/hidraw1"}, {"ptt_bitnum", "0"}}},
        {"cat:1035:/dev/ttyUSB0", {{"rig_pathname", "/dev/ttyUSB0"}}},
        {"cat:1035:/dev/ttyUSB0:9600",
         {{"rig_pathname", "/dev/ttyUSB0"}, {"serial_speed", "9600"}}},
        {"rigctld", {{"rig_pathname", "localhost:4532"}, {"timeout", "500"}, {"retry", "0"}}},
        {"rigctld:[::1]:4533",
         {{"rig_pathname", "[::1]:4533"}, {"timeout", "500"}, {"retry", "0"}}},
        {"none", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HamlibSettingsFor(ParsePttSetting(c.text)), c.settings);
    }
}

// With no keying the sound is played all the same, once.
TEST(PttNone, PlaysWithoutKeying) {
    Transmitter ptt(ParsePttSetting("none"));
    int plays = 0;
    Transmit(ptt, kQuickTiming, [&](std::stop_token) { ++plays; });
    EXPECT_EQ(plays, 1);
    EXPECT_FALSE(ptt.Keyed());
}

// Nothing listening: the fault names the PTT and Hamlib's reason, and no sound goes out.
TEST(PttUnreachable, RigctldNotRunningIsAFaultBeforeAnySound) {
    const int port = testing::FreePort();
    const std::string text = "rigctld:127.0.0.1:" + std::to_string(port);
    bool played = false;
    try {
        Transmitter ptt(ParsePttSetting(text));
        Transmit(ptt, kQuickTiming, [&](std::stop_token) { played = true; });
        ADD_FAILURE() << "opened a PTT that nobody serves";
    } catch (const PttError& e) {
        EXPECT_EQ(std::string(e.what()), "PTT \"" + text +
                                             "\" cannot be opened: IO error (failed to connect "
                                             "to 127.0.0.1:" +
                                             std::to_string(port) + ")");
    }
    EXPECT_FALSE(played);
}

class PttOverRigctld : public ::testing::Test {
  protected:
    void SetUp() override {
        program_ = testing::FindRigctld();
        if (program_.empty()) {
            GTEST_SKIP() << "rigctld is not installed (Debian: libhamlib-utils)";
        }
    }

    // A rigctld that listens, or the test fails.
    std::unique_ptr<testing::Rigctld> Start(bool keepsPtt = true) {
        auto server = std::make_unique<testing::Rigctld>(program_, keepsPtt);
        EXPECT_TRUE(server->WaitUntilListening()) << "rigctld did not start";
        return server;
    }

    std::string program_;
};

TEST_F(PttOverRigctld, KeyedForThePlaybackAndReleasedAfter) {
    const auto server = Start();
    Transmitter ptt(ParsePttSetting(server->Setting()));
    EXPECT_EQ(server->PttState(), 0) << "opening the PTT keyed the radio";

    std::vector<int> seen;
    Transmit(ptt, kQuickTiming, [&](std::stop_token) { seen.push_back(server->PttState()); });
    EXPECT_EQ(seen, std::vector<int>{1});
    EXPECT_EQ(server->PttState(), 0);
    EXPECT_FALSE(ptt.Keyed());
}

TEST_F(PttOverRigctld, ReleasedWhenThePlaybackFailsAndItsFaultGoesOn) {
    const auto server = Start();
    Transmitter ptt(ParsePttSetting(server->Setting()));
    int keyedWhenFailing = -1;
    try {
        Transmit(ptt, kQuickTiming, [&](std::stop_token) {
            keyedWhenFailing = server->PttState();
            throw PlaybackError("/work/_qq.wav", "ALSA device \"default\" cannot be opened");
        });
        ADD_FAILURE() << "the playback's fault was lost";
    } catch (const PlaybackError& e) {
        EXPECT_STREQ(
            e.what(),
            "Cannot play file \"/work/_qq.wav\". ALSA device \"default\" cannot be opened");
    }
    EXPECT_EQ(keyedWhenFailing, 1);
    EXPECT_EQ(server->PttState(), 0);
}

// A rig that takes the connection but cannot key: nothing is played into a silent radio.
// A rigctld without a PTT type is found out when the PTT is opened, with what to do about it.
TEST_F(PttOverRigctld, ARigThatCannotKeyIsAFaultBeforeAnySound) {
    const auto server = Start(/*keepsPtt=*/false);
    bool played = false;
    try {
        Transmitter ptt(ParsePttSetting(server->Setting()));
        Transmit(ptt, kQuickTiming, [&](std::stop_token) { played = true; });
        ADD_FAILURE() << "keyed a rig without PTT";
    } catch (const PttError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("PTT \"" + server->Setting() + "\" cannot key: ", 0),
                  0u)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("start it with -P RIG"), std::string::npos)
            << e.what();
        EXPECT_EQ(e.Russian().rfind("PTT \"" + server->Setting() +
                                        "\" не может включить передачу: этот rigctld запущен без "
                                        "типа PTT; запустите его с -P RIG",
                                    0),
                  0u)
            << e.Russian();
    }
    EXPECT_FALSE(played);
}

// The lead is waited before the sound and the tail after it, each its own length: swapped, the
// repeater's squelch would miss the start, or the release would cut the check word.
TEST_F(PttOverRigctld, TheLeadComesBeforeTheSoundAndTheTailAfter) {
    const auto server = Start();
    Transmitter ptt(ParsePttSetting(server->Setting()));
    using Clock = std::chrono::steady_clock;
    const struct {
        std::chrono::milliseconds lead;
        std::chrono::milliseconds tail;
    } cases[] = {{600ms, 0ms}, {0ms, 600ms}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.lead.count()) + " ms lead");
        Clock::time_point started;
        int keyedAtStart = -1;
        const Clock::time_point called = Clock::now();
        Transmit(ptt, {c.lead, c.tail, 10s}, [&](std::stop_token) {
            started = Clock::now();
            keyedAtStart = server->PttState();
        });
        const Clock::time_point returned = Clock::now();
        EXPECT_EQ(keyedAtStart, 1);
        // Keying takes a few milliseconds; 400 ms of slack tells the 600 ms waits apart.
        EXPECT_GE(started - called, c.lead);
        EXPECT_LT(started - called, c.lead + 400ms);
        EXPECT_GE(returned - started, c.tail);
        EXPECT_LT(returned - started, c.tail + 400ms);
    }
}

// A playback that never ends (a hung device): when the limit passes the watchdog asks the
// playback to stop and releases the key, and the transmission is reported cut. The stop is
// asked first (a release over a frozen link may take its timeout), so the key's state at the
// stop itself is not looked at: only that it is up once the report comes.
TEST_F(PttOverRigctld, TheTransmitLimitReleasesAStuckKeyAndStopsThePlayback) {
    const auto server = Start();
    Transmitter ptt(ParsePttSetting(server->Setting()));
    bool stopped = false;
    try {
        Transmit(ptt, {0ms, 0ms, 150ms},
                 [&](std::stop_token stop) { stopped = WaitForStop(stop); });
        ADD_FAILURE() << "a cut transmission was reported as sent";
    } catch (const TransmissionCutError& e) {
        EXPECT_EQ(std::string(e.what()), "PTT \"" + server->Setting() +
                                             "\" released after the transmit limit of 150 ms; "
                                             "the sound was cut");
        EXPECT_EQ(e.Russian(), "PTT \"" + server->Setting() +
                                   "\": передача выключена по истечении предела времени передачи "
                                   "150 мс; звук оборван");
    }
    EXPECT_TRUE(stopped);
    EXPECT_EQ(server->PttState(), 0);
    EXPECT_FALSE(ptt.Keyed());
}

// Waits up to 10 s for one byte on `fd`; 0 when none came.
char ReadByte(int fd) {
    pollfd watch{fd, POLLIN, 0};
    char byte = 0;
    if (::poll(&watch, 1, 10000) == 1 && ::read(fd, &byte, 1) == 1) {
        return byte;
    }
    return 0;
}

// How a child ended: the signal that ended it, 0 when it exited, -1 when it was still running
// after 10 s (then killed).
int EndingSignal(pid_t child) {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (::waitpid(child, &status, WNOHANG) != child) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

// A child keys and blocks in its playback (telling the parent 'k'), under a TerminationHold when
// `hold`; after a cut it tells 'c'. It must never get to exit by itself.
pid_t KeyInAChild(const std::string& setting, bool hold, int tell) {
    const pid_t child = ::fork();
    if (child != 0) {
        return child;
    }
    try {
        std::optional<TerminationHold> held;
        if (hold) {
            held.emplace();
        }
        Transmitter ptt(ParsePttSetting(setting));
        try {
            Transmit(ptt, {0ms, 0ms, 20s}, [&](std::stop_token stop) {
                [[maybe_unused]] auto told = ::write(tell, "k", 1);
                WaitForStop(stop);
            });
        } catch (const TransmissionCutError&) {
            [[maybe_unused]] auto told = ::write(tell, "c", 1);
        }
    } catch (...) {
        ::_exit(2);
    }
    ::_exit(3);
}

TEST_F(PttOverRigctld, SigtermReleasesAndEndsTheProcessAsTheSignalWould) {
    const auto server = Start();
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = KeyInAChild(server->Setting(), /*hold=*/false, pipe[1]);
    ASSERT_EQ(ReadByte(pipe[0]), 'k');
    EXPECT_EQ(server->PttState(), 1);

    ::kill(child, SIGTERM);
    EXPECT_EQ(EndingSignal(child), SIGTERM);
    EXPECT_EQ(server->PttState(), 0);
    ::close(pipe[0]);
    ::close(pipe[1]);
}

// Keyed under a hold (files being put in place): the release does not wait for the hold, the
// hold's own handling goes on (the program reports the cut), and the process still ends by
// the signal when the hold ends.
TEST_F(PttOverRigctld, UnderATerminationHoldTheKeyIsReleasedAndTheHoldKeepsTheSignal) {
    const auto server = Start();
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = KeyInAChild(server->Setting(), /*hold=*/true, pipe[1]);
    ASSERT_EQ(ReadByte(pipe[0]), 'k');
    EXPECT_EQ(server->PttState(), 1);

    ::kill(child, SIGTERM);
    EXPECT_EQ(ReadByte(pipe[0]), 'c');
    EXPECT_EQ(EndingSignal(child), SIGTERM);
    EXPECT_EQ(server->PttState(), 0);
    ::close(pipe[0]);
    ::close(pipe[1]);
}

}  // namespace
}  // namespace zk
