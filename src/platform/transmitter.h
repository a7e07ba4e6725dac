// The transmitter's push-to-talk, keyed and released through Hamlib, and never left keyed.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "errors.h"
#include "pttsetting.h"

namespace zk {

class HamlibRig;

// The PTT cannot be reached, refuses, or does not key: "PTT "<setting>" <what failed>: <Hamlib's
// reason>", e.g. "PTT "rigctld:localhost:4532" cannot be opened: IO error (failed to connect to
// localhost:4532)", worded in Russian too. Nothing is played after it.
class PttError : public Fault {
  public:
    PttError(const std::string& specText, const Wording& reason);
};

// Said whenever a release could not be confirmed: the radio may be on the air.
extern const Wording kMayStillBeKeyed;

// One transmitter's PTT for the length of an object: opened when made (nothing keyed), keyed
// and released on request, released when destroyed on every path. With `none` nothing is opened
// and keying does nothing. Key and Release may be called from different threads (the transmit
// limit and the termination signals release from threads of their own).
class Transmitter {
  public:
    // Opens the PTT; throws PttError when it cannot be reached.
    explicit Transmitter(PttSetting setting);
    ~Transmitter();
    Transmitter(const Transmitter&) = delete;
    Transmitter& operator=(const Transmitter&) = delete;

    // Keys the transmitter and checks, where the backend can tell, that it is keyed. Throws
    // PttError, leaving it released, when it refuses or does not key.
    void Key();
    // Releases the transmitter if keyed, through a new link when the first has dropped; throws
    // PttError when the release fails (it is tried again on destruction).
    void Release();
    // The same, for paths that cannot throw: returns the failure's message in both languages,
    // empty on success.
    Wording ReleaseQuietly() noexcept;

    bool Keyed() const;
    const PttSetting& Setting() const { return spec_; }

  private:
    void ReleaseLocked();
    // Releases through `rig` and asks it, where it can answer, that the key is up; throws
    // HamlibFailure when it cannot.
    static void ReleaseThrough(HamlibRig& rig);

    PttSetting spec_;
    mutable std::mutex mutex_;
    std::unique_ptr<HamlibRig> rig_;  // none for `none`
    bool keyed_ = false;              // keyed, or a release failed and the key may still be down
};

}  // namespace zk
