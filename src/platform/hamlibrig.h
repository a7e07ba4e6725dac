// One radio's push-to-talk through Hamlib, and Hamlib's reasons in words. Hamlib is quiet here:
// its diagnostic lines never reach the standard error stream; the first error line of a failed
// call becomes part of that call's reason.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "pttsetting.h"
#include "wording.h"

struct s_rig;

namespace zk {

// A failed Hamlib call: what() is what failed, Hamlib's error text and the first error line it
// logged, e.g. "cannot be opened: IO error (failed to connect to 127.0.0.1:4532)". What failed is
// worded in Russian too; Hamlib's own text stays as Hamlib gives it.
class HamlibFailure : public std::runtime_error, public RussianWording {
  public:
    // What Hamlib's answer was, where it matters to the caller.
    enum class Kind { Other, InvalidParameter, TimedOut };

    explicit HamlibFailure(const Wording& reason, Kind kind = Kind::Other)
        : std::runtime_error(reason.english), RussianWording(reason.russian), kind_(kind) {}
    // Hamlib answered "Invalid parameter" (RIG_EINVAL): what a rigctld without a PTT type says
    // to a keying.
    bool InvalidParameter() const { return kind_ == Kind::InvalidParameter; }
    // No answer came within the timeout: the link is there but nobody answers on it.
    bool TimedOut() const { return kind_ == Kind::TimedOut; }

  private:
    Kind kind_;
};

// The settings handed to Hamlib (rig_set_conf) for the keying `setting`, in order: the PTT's
// type, its device and pin, or the radio's or rigctld's address and how long to wait on it.
std::vector<std::pair<std::string, std::string>> HamlibSettingsFor(const PttSetting& setting);

// An opened rig set up for the setting's keying (not for `none`): the dummy rig with Hamlib's PTT
// port for rts, dtr and cm108, the model itself for cat, the network client for rigctld. Not
// safe for two threads at once; callers serialise.
class HamlibRig {
  public:
    // Throws HamlibFailure when Hamlib refuses the settings or the port cannot be opened.
    explicit HamlibRig(const PttSetting& setting);
    ~HamlibRig();
    HamlibRig(const HamlibRig&) = delete;
    HamlibRig& operator=(const HamlibRig&) = delete;

    // Throws HamlibFailure.
    void SetPtt(bool on);
    // The PTT state as the radio or the port reports it, none when the backend cannot say.
    // Throws HamlibFailure when the question itself fails.
    std::optional<bool> GetPtt();

  private:
    struct Closer {
        void operator()(s_rig* rig) const;
    };
    std::unique_ptr<s_rig, Closer> rig_;
};

}  // namespace zk
