#include "pttsetting.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

#include "quoting.h"

namespace zk {
namespace {

// The forms of a PTT text, with their placeholders in each language.
const Wording kRtsForm{"rts:DEVICE", "rts:УСТРОЙСТВО"};
const Wording kDtrForm{"dtr:DEVICE", "dtr:УСТРОЙСТВО"};
const Wording kCatForm{"cat:MODEL:DEVICE[:BAUD]", "cat:МОДЕЛЬ:УСТРОЙСТВО[:СКОРОСТЬ]"};
const Wording kCm108Form{"cm108:DEVICE[:GPIO]", "cm108:УСТРОЙСТВО[:GPIO]"};
const Wording kRigctldForm{"rigctld[:HOST[:PORT]]", "rigctld[:ХОСТ[:ПОРТ]]"};

Wording Forms() {
    return Wording{"use none, ", "допустимы none, "} + kRtsForm + Verbatim(", ") + kDtrForm +
           Verbatim(", ") + kCatForm + Verbatim(", ") + kCm108Form + Wording{" or ", " и "} +
           kRigctldForm;
}

// "rigctl --list" is where the operator finds the model numbers.
const Wording kModelList{" (rigctl --list shows them)", " (их показывает rigctl --list)"};

// The speeds a serial port is set to; Hamlib accepts 300..115200.
constexpr std::array<int, 10> kSerialBauds = {300,  600,   1200,  2400,  4800,
                                              9600, 19200, 38400, 57600, 115200};
constexpr int kCm108FirstGpio = 1;
constexpr int kCm108LastGpio = 8;  // a CM119 has eight; a CM108 four
constexpr int kLastTcpPort = 65535;

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    [[noreturn]] void Fail(const Wording& what) const {
        throw PttSettingError(Verbatim("PTT " + Quoted(text_) + ": ") + what);
    }

    // A number written with digits only, no sign and no blanks; none when it is not one or is
    // too large for an int.
    static std::optional<int> Digits(std::string_view field) {
        if (field.empty() ||
            !std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return std::nullopt;
        }
        int value = 0;
        const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (error != std::errc() || end != field.data() + field.size()) {
            return std::nullopt;
        }
        return value;
    }

    // The device file of a serial or hidraw keying: a full path, so that a slip such as
    // "rts:ttyUSB0" is not opened in the working folder.
    std::string Device(std::string_view field, const Wording& form) const {
        if (field.empty()) {
            Fail(Wording{"the device is missing (", "не указано устройство ("} + form +
                 Verbatim(")"));
        }
        if (field.front() != '/') {
            const std::string quoted = Quoted(field);
            const std::string example =
                form.english.starts_with("cm108") ? "/dev/hidraw0" : "/dev/ttyUSB0";
            Fail({"the device " + quoted + " must be a full path such as " + example,
                  "устройство " + quoted + " указывается полным путём, например " + example});
        }
        return std::string(field);
    }

    // DEVICE[:NUMBER]: the last field is the number when it is all digits, otherwise it belongs
    // to the device's name.
    std::pair<std::string_view, std::optional<std::string_view>> DeviceAndNumber(
        std::string_view rest) const {
        const std::size_t colon = rest.rfind(':');
        if (colon == std::string_view::npos) {
            return {rest, std::nullopt};
        }
        const std::string_view last = rest.substr(colon + 1);
        if (last.empty()) {
            Fail({"nothing follows the last \":\"", "после последнего \":\" ничего нет"});
        }
        if (Digits(last)) {
            return {rest.substr(0, colon), last};
        }
        return {rest, std::nullopt};
    }

    PttSetting Serial(PttMethod method, std::string_view rest, const Wording& form) const {
        PttSetting setting = Base(method);
        setting.device = Device(rest, form);
        return setting;
    }

    PttSetting Cat(std::string_view rest) const {
        const std::size_t colon = rest.find(':');
        const std::string_view modelField = rest.substr(0, colon);
        if (modelField.empty()) {
            Fail(Wording{"the rig model is missing (", "не указана модель радиостанции ("} +
                 kCatForm + Verbatim(")"));
        }
        const std::optional<int> model = Digits(modelField);
        if (!model || *model < 1) {
            const std::string quoted = Quoted(modelField);
            Fail(Wording{"the rig model " + quoted + " is not a Hamlib model number",
                         "модель радиостанции " + quoted + " не номер модели Hamlib"} +
                 kModelList);
        }
        PttSetting setting = Base(PttMethod::Cat);
        setting.rigModel = *model;
        const std::string_view afterModel =
            colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        const auto [device, baud] = DeviceAndNumber(afterModel);
        setting.device = Device(device, kCatForm);
        if (baud) {
            const int value = *Digits(*baud);
            if (std::find(kSerialBauds.begin(), kSerialBauds.end(), value) == kSerialBauds.end()) {
                const std::string bauds =
                    "300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200";
                Fail({"baud rate " + std::string(*baud) + " is not one of " + bauds,
                      "скорость " + std::string(*baud) + " не из ряда " + bauds});
            }
            setting.baud = value;
        }
        return setting;
    }

    PttSetting Cm108(std::string_view rest) const {
        const auto [device, gpio] = DeviceAndNumber(rest);
        PttSetting setting = Base(PttMethod::Cm108);
        setting.device = Device(device, kCm108Form);
        if (gpio) {
            const int value = *Digits(*gpio);
            if (value < kCm108FirstGpio || value > kCm108LastGpio) {
                Fail({"GPIO " + std::string(*gpio) + " is not one of 1..8",
                      "GPIO " + std::string(*gpio) + " не из 1..8"});
            }
            setting.cm108Gpio = value;
        }
        return setting;
    }

    // HOST[:PORT], or [IPV6][:PORT].
    PttSetting Rigctld(std::optional<std::string_view> rest) const {
        PttSetting setting = Base(PttMethod::Rigctld);
        if (!rest) {
            return setting;
        }
        std::string_view host;
        std::optional<std::string_view> port;
        if (rest->starts_with('[')) {
            const std::size_t close = rest->find(']');
            if (close == std::string_view::npos) {
                Fail({"\"]\" is missing after the IPv6 address", "после адреса IPv6 нет \"]\""});
            }
            host = rest->substr(1, close - 1);
            const std::string_view after = rest->substr(close + 1);
            if (!after.empty()) {
                if (!after.starts_with(':')) {
                    Fail({"\":PORT\" or nothing may follow \"]\"",
                          "после \"]\" может стоять только \":ПОРТ\""});
                }
                port = after.substr(1);
            }
        } else {
            const std::size_t colon = rest->find(':');
            host = rest->substr(0, colon);
            if (colon != std::string_view::npos) {
                port = rest->substr(colon + 1);
            }
        }
        if (host.empty()) {
            Fail({"the host is empty", "не указан хост"});
        }
        setting.host = std::string(host);
        if (port) {
            const std::optional<int> value = Digits(*port);
            if (!value || *value < 1 || *value > kLastTcpPort) {
                const std::string quoted = Quoted(*port);
                Fail({"the port " + quoted + " is not a number 1..65535",
                      "порт " + quoted + " не число в пределах 1..65535"});
            }
            setting.port = *value;
        }
        return setting;
    }

    PttSetting Parse() const {
        const std::size_t colon = text_.find(':');
        const std::string_view method = text_.substr(0, colon);
        const std::optional<std::string_view> rest =
            colon == std::string_view::npos
                ? std::nullopt
                : std::optional<std::string_view>(text_.substr(colon + 1));
        if (method == "none") {
            if (rest) {
                Fail({"none takes nothing after it", "после none ничего не пишется"});
            }
            return Base(PttMethod::None);
        }
        if (method == "rts") {
            return Serial(PttMethod::Rts, rest.value_or(""), kRtsForm);
        }
        if (method == "dtr") {
            return Serial(PttMethod::Dtr, rest.value_or(""), kDtrForm);
        }
        if (method == "cat") {
            return Cat(rest.value_or(""));
        }
        if (method == "cm108") {
            return Cm108(rest.value_or(""));
        }
        if (method == "rigctld") {
            return Rigctld(rest);
        }
        if (text_.empty()) {
            Fail(Wording{"empty; ", "пусто; "} + Forms());
        }
        const std::string quoted = Quoted(method) + "; ";
        Fail(Wording{"unknown method " + quoted, "неизвестный способ " + quoted} + Forms());
    }

  private:
    PttSetting Base(PttMethod method) const {
        PttSetting setting;
        setting.method = method;
        setting.text = std::string(text_);
        return setting;
    }

    std::string_view text_;
};

}  // namespace

PttSetting ParsePttSetting(std::string_view text) {
    return Parser(text).Parse();
}

}  // namespace zk
