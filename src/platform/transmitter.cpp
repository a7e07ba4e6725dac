#include "transmitter.h"

#include <optional>

#include "hamlibrig.h"
#include "quoting.h"

namespace zk {

PttError::PttError(const std::string& specText, const Wording& reason)
    : Fault(Verbatim("PTT " + Quoted(specText) + " ") + reason) {}

const Wording kMayStillBeKeyed{
    "; the transmitter may still be keyed: check the radio",
    "; передатчик, возможно, всё ещё на передаче: проверьте радиостанцию"};

namespace {

const Wording kRigctldWithoutPtt{
    "that rigctld was started without a PTT type; start it with -P RIG (the radio keys itself "
    "over CAT) or with the radio's PTT type (-P RTS or -P DTR and -p DEVICE, -P CM108)",
    "этот rigctld запущен без типа PTT; запустите его с -P RIG (радиостанция включает передачу "
    "сама, по CAT) или с типом PTT радиостанции (-P RTS или -P DTR и -p УСТРОЙСТВО, -P CM108)"};

}  // namespace

Transmitter::Transmitter(PttSetting setting) : spec_(std::move(setting)) {
    if (spec_.method == PttMethod::None) {
        return;
    }
    try {
        rig_ = std::make_unique<HamlibRig>(spec_);
        // A rigctld started without a PTT type takes the connection, then answers a keying
        // with "Invalid parameter": asked its PTT state now, it says it has none (unless it
        // answers from what it told another client within its cache time, half a second; the
        // keying then says the same).
        if (spec_.method == PttMethod::Rigctld && !rig_->GetPtt()) {
            throw HamlibFailure(Wording{"cannot key: ", "не может включить передачу: "} +
                                kRigctldWithoutPtt);
        }
    } catch (const HamlibFailure& failure) {
        throw PttError(spec_.text, WordingOf(failure));
    }
}

Transmitter::~Transmitter() {
    ReleaseQuietly();
}

void Transmitter::Key() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!rig_) {
        keyed_ = true;
        return;
    }
    // Counted as keyed before the command: a command that fails half-way may have keyed it.
    keyed_ = true;
    try {
        rig_->SetPtt(true);
        // A radio that takes the command and stays on receive would have the sound go nowhere;
        // ask it, where it can answer.
        const std::optional<bool> keyed = rig_->GetPtt();
        if (keyed && !*keyed) {
            throw HamlibFailure({"did not key: the radio still reports receive",
                                 "не включил передачу: радиостанция по-прежнему на приёме"});
        }
    } catch (const HamlibFailure& failure) {
        // The refusal to key is the news; a release that fails too is added to it, since the
        // radio may then be on the air (the destructor tries the release again).
        bool released = true;
        try {
            ReleaseLocked();
        } catch (const PttError&) {
            released = false;
        }
        const bool noPttType = spec_.method == PttMethod::Rigctld && failure.InvalidParameter();
        throw PttError(spec_.text,
                       WordingOf(failure) +
                           (noPttType ? Verbatim("; ") + kRigctldWithoutPtt : Wording{}) +
                           (released ? Wording{} : kMayStillBeKeyed));
    }
}

void Transmitter::Release() {
    const std::lock_guard<std::mutex> lock(mutex_);
    ReleaseLocked();
}

Wording Transmitter::ReleaseQuietly() noexcept {
    try {
        Release();
        return {};
    } catch (const std::exception& error) {
        return WordingOf(error);
    }
}

bool Transmitter::Keyed() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return keyed_;
}

void Transmitter::ReleaseLocked() {
    if (!keyed_) {
        return;
    }
    if (rig_) {
        try {
            ReleaseThrough(*rig_);
        } catch (const HamlibFailure& failure) {
            // A link that dropped under the key (rigctld restarted, a connection cut) may reach
            // the radio afresh: one new link, and the release through it. A link that is there
            // but silent (rigctld stopped) would only cost another timeout.
            if (failure.TimedOut()) {
                throw PttError(spec_.text, WordingOf(failure));
            }
            try {
                auto fresh = std::make_unique<HamlibRig>(spec_);
                ReleaseThrough(*fresh);
                rig_ = std::move(fresh);
            } catch (const HamlibFailure&) {
                throw PttError(spec_.text, WordingOf(failure));
            }
        }
    }
    keyed_ = false;
}

void Transmitter::ReleaseThrough(HamlibRig& rig) {
    rig.SetPtt(false);
    const std::optional<bool> keyed = rig.GetPtt();
    if (keyed && *keyed) {
        throw HamlibFailure({"did not release: the radio still reports transmit",
                             "не выключил передачу: радиостанция по-прежнему на передаче"});
    }
}

}  // namespace zk
