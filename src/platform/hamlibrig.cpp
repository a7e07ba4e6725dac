#include "hamlibrig.h"

#include "hamliblibrary.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zk {
namespace {

// Hamlib, loaded on the first call; a library that cannot be loaded fails that call.
const hamlib::Functions& Hamlib() {
    try {
        return hamlib::Library();
    } catch (const LibraryLoadError& error) {
        throw HamlibFailure(Wording{"Hamlib cannot be loaded: ", "не загружается Hamlib: "} +
                            Verbatim(error.what()));
    }
}

// The error line a Hamlib call logged first: the root cause ("Unable to open /dev/ttyUSB0 - No
// such file or directory"), where later lines only repeat it. Kept per thread, because each
// Hamlib call runs on its caller's thread.
thread_local std::string* firstErrorLine = nullptr;

std::string TrimLine(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '.')) {
        text.remove_suffix(1);
    }
    // Hamlib starts its lines with the function's name ("network_open: ..."), which says
    // nothing to an operator.
    const std::size_t colon = text.find(": ");
    if (colon != std::string_view::npos &&
        text.substr(0, colon).find(' ') == std::string_view::npos) {
        text.remove_prefix(colon + 2);
    }
    return std::string(text);
}

int KeepFirstError(enum rig_debug_level_e /*level*/, rig_ptr_t /*arg*/, const char* format,
                   va_list arguments) {
    if (firstErrorLine != nullptr && firstErrorLine->empty()) {
        char line[512];
        std::vsnprintf(line, sizeof line, format, arguments);
        *firstErrorLine = TrimLine(line);
    }
    return 0;
}

// Hamlib prints its diagnostics to the standard error stream unless told otherwise; only its
// error lines are kept, through the callback, and only while a call of ours is running.
void QuietHamlib() {
    static std::once_flag once;
    std::call_once(once, [] {
        Hamlib().set_debug(RIG_DEBUG_ERR);
        Hamlib().set_debug_callback(&KeepFirstError, nullptr);
    });
}

// Hamlib's own lines that tell an operator nothing, and what they mean on a station.
struct PlainReason {
    const char* hamlibSays;
    Wording meaning;
};
const PlainReason kPlainReasons[] = {
    {"Cannot change DTR",
     {"the device is no serial port whose RTS and DTR lines can be set",
      "это не последовательный порт, линиями RTS и DTR которого можно управлять"}},
    {"Cannot change RTS",
     {"the device is no serial port whose RTS and DTR lines can be set",
      "это не последовательный порт, линиями RTS и DTR которого можно управлять"}},
    {"read failed",
     {"the connection was closed at once: is rigctld what listens there?",
      "соединение сразу закрыто: там ли слушает rigctld?"}},
    {"unknown return from netrigctl",
     {"what answers there is not rigctld: its answers make no sense",
      "там отвечает не rigctld: его ответы бессмысленны"}},
};

const Wording* InOperatorsWords(const std::string& hamlibLine) {
    for (const PlainReason& plain : kPlainReasons) {
        if (hamlibLine.find(plain.hamlibSays) != std::string::npos) {
            return &plain.meaning;
        }
    }
    return nullptr;
}

// Runs one Hamlib call and turns a failure into HamlibFailure with its reason.
class Call {
  public:
    Call() {
        QuietHamlib();
        firstErrorLine = &line_;
    }
    ~Call() { firstErrorLine = nullptr; }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    void Check(int status, const Wording& action) {
        if (status == RIG_OK) {
            return;
        }
        Fail(status, action);
    }

    [[noreturn]] void Fail(int status, const Wording& action) {
        // rigerror() in Hamlib 4.5 appends its saved debug trace; rigerror2() is the bare text.
        Wording reason = Verbatim(": " + TrimLine(Hamlib().error_text(status)));
        if (const Wording* plain = InOperatorsWords(line_)) {
            reason += Verbatim(" (") + *plain + Verbatim(")");
        } else if (!line_.empty()) {
            reason += Verbatim(" (" + line_ + ")");
        }
        throw HamlibFailure(action + reason,
                            status == -RIG_EINVAL     ? HamlibFailure::Kind::InvalidParameter
                            : status == -RIG_ETIMEOUT ? HamlibFailure::Kind::TimedOut
                                                      : HamlibFailure::Kind::Other);
    }

  private:
    std::string line_;
};

struct Cleanup {
    void operator()(RIG* rig) const { Hamlib().cleanup(rig); }
};
using InitialisedRig = std::unique_ptr<RIG, Cleanup>;

void SetConf(Call& call, RIG* rig, const char* name, const std::string& value) {
    const token_t token = Hamlib().token_lookup(rig, name);
    if (token == RIG_CONF_END) {
        call.Fail(-RIG_EINVAL,
                  Wording{"Hamlib has no setting ", "в Hamlib нет настройки "} + Verbatim(name));
    }
    call.Check(Hamlib().set_conf(rig, token, value.c_str()),
               Wording{"Hamlib refuses ", "Hamlib не принимает "} +
                   Verbatim(std::string(name) + " " + value));
}

rig_model_t ModelFor(const PttSetting& setting) {
    switch (setting.method) {
        case PttMethod::Cat:
            return setting.rigModel;
        case PttMethod::Rigctld:
            return RIG_MODEL_NETRIGCTL;
        default:
            // The dummy rig does nothing itself; Hamlib's PTT port does the keying. (Model 0,
            // "none", ends the process in Hamlib 4.5's rig_init.)
            return RIG_MODEL_DUMMY;
    }
}

// How long a command to rigctld waits for its answer, and how often it is tried again: rigctld
// answers a PTT command within milliseconds on a working link, and a release that waits longer
// keeps a frozen link's radio on the air and a signal from acting (a release and one new link
// to try it through take about a second at most).
constexpr int kRigctldTimeoutMilliseconds = 500;
constexpr int kRigctldRetries = 0;

void Configure(Call& call, RIG* rig, const PttSetting& setting) {
    for (const auto& [name, value] : HamlibSettingsFor(setting)) {
        SetConf(call, rig, name.c_str(), value);
    }
}

}  // namespace

std::vector<std::pair<std::string, std::string>> HamlibSettingsFor(const PttSetting& setting) {
    switch (setting.method) {
        case PttMethod::Rts:
            return {{"ptt_type", "RTS"}, {"ptt_pathname", setting.device}};
        case PttMethod::Dtr:
            return {{"ptt_type", "DTR"}, {"ptt_pathname", setting.device}};
        case PttMethod::Cm108:
            // Hamlib counts the pins from bit 0; the interfaces' data sheets from GPIO1.
            return {{"ptt_type", "CM108"},
                    {"ptt_pathname", setting.device},
                    {"ptt_bitnum", std::to_string(setting.cm108Gpio - 1)}};
        case PttMethod::Cat:
            if (setting.baud != 0) {
                return {{"rig_pathname", setting.device},
                        {"serial_speed", std::to_string(setting.baud)}};
            }
            return {{"rig_pathname", setting.device}};
        case PttMethod::Rigctld: {
            const bool ipv6 = setting.host.find(':') != std::string::npos;
            // A rigctld that stops answering must not hold a keyed transmitter: every command
            // gets one answer's time.
            return {{"rig_pathname", (ipv6 ? "[" + setting.host + "]" : setting.host) + ":" +
                                         std::to_string(setting.port)},
                    {"timeout", std::to_string(kRigctldTimeoutMilliseconds)},
                    {"retry", std::to_string(kRigctldRetries)}};
        }
        case PttMethod::None:
            break;
    }
    return {};
}

void HamlibRig::Closer::operator()(s_rig* rig) const {
    const Call call;
    Hamlib().close(rig);
    Hamlib().cleanup(rig);
}

// Hamlib 4.5's rig_open keeps the pointer setlocale(LC_NUMERIC, NULL) returns, switches to "C" and
// restores from that pointer, which the switch has freed wherever the locale was not "C" already:
// under a window, whose toolkit takes the user's locale, that read runs on freed memory. The
// number locale is therefore "C" before Hamlib looks, and put back from a copy of our own.
class NumbersInCLocale {
  public:
    NumbersInCLocale() {
        const char* current = std::setlocale(LC_NUMERIC, nullptr);
        saved_ = current != nullptr ? current : "C";
        std::setlocale(LC_NUMERIC, "C");
    }
    ~NumbersInCLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
    NumbersInCLocale(const NumbersInCLocale&) = delete;
    NumbersInCLocale& operator=(const NumbersInCLocale&) = delete;

  private:
    std::string saved_;
};

HamlibRig::HamlibRig(const PttSetting& setting) {
    Call call;
    InitialisedRig rig(Hamlib().init(ModelFor(setting)));
    if (!rig) {
        const std::string model = std::to_string(ModelFor(setting));
        // Asked here, when the transmitter opens, rather than when a profile is read: reading
        // settings never loads Hamlib.
        throw HamlibFailure(
            {"cannot be opened: Hamlib knows no rig model " + model + " (rigctl --list shows them)",
             "не открывается: Hamlib не знает модели радиостанции " + model +
                 " (их показывает rigctl --list)"});
    }
    Configure(call, rig.get(), setting);
    {
        const NumbersInCLocale numbers;
        call.Check(Hamlib().open(rig.get()), {"cannot be opened", "не открывается"});
    }
    rig_.reset(rig.release());
    // Hamlib answers rig_get_ptt from what it last set for a while; the check after keying must
    // ask the radio or the port itself.
    Hamlib().set_cache_timeout_ms(rig_.get(), HAMLIB_CACHE_PTT, 0);
}

HamlibRig::~HamlibRig() = default;

void HamlibRig::SetPtt(bool on) {
    Call call;
    call.Check(Hamlib().set_ptt(rig_.get(), RIG_VFO_CURR, on ? RIG_PTT_ON : RIG_PTT_OFF),
               on ? Wording{"refuses to key", "отказывается включить передачу"}
                  : Wording{"refuses to release", "отказывается выключить передачу"});
}

std::optional<bool> HamlibRig::GetPtt() {
    Call call;
    ptt_t state = RIG_PTT_OFF;
    const int status = Hamlib().get_ptt(rig_.get(), RIG_VFO_CURR, &state);
    if (status == -RIG_ENAVAIL || status == -RIG_ENIMPL) {
        return std::nullopt;
    }
    call.Check(status, {"cannot report its PTT state", "не сообщает состояние PTT"});
    return state != RIG_PTT_OFF;
}

}  // namespace zk
