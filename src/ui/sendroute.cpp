#include "sendroute.h"

#include "errors.h"
#include "keyedplayer.h"
#include "pttkeys.h"
#include "sentlog.h"
#include "sentrecord.h"
#include "stationconfig.h"
#include "transmitter.h"

namespace zk::ui {

namespace {

class PassOn : public Player {
  public:
    explicit PassOn(Player& player) : player_(player) {}
    void Play(const Sound& sound) override { player_.Play(sound); }

  private:
    Player& player_;
};

// One press in the field: the transmitter opened (not keyed) when made, keyed around the sound,
// released and closed when the press is over; the log written once the sound has played.
class LoggedSend : public Player {
  public:
    LoggedSend(AlsaPlayer& speaker, const std::string& deviceName, const Keying& keying,
               ControlPanel& panel, const std::optional<std::string>& name)
        : ptt_(keying.setting), keyed_(speaker, ptt_, keying.timing), panel_(panel) {
        record_.name = name;
        record_.source = kWindowSource;
        record_.device = deviceName;
        if (keying.setting.method != PttMethod::None) {
            record_.ptt = keying.setting.text;
        }
    }

    void Play(const Sound& sound) override {
        keyed_.Play(sound);
        record_.settings = CopyPanelValues(panel_);
        std::string reason;
        try {
            reason = AppendToSentLog(SentLogEntry(record_));
        } catch (const std::exception& error) {
            reason = error.what();
        }
        if (!reason.empty()) {
            throw Fault("The signal was sent, but the programming log was not written: " + reason);
        }
    }

  private:
    Transmitter ptt_;
    KeyedPlayer keyed_;
    ControlPanel& panel_;
    SentRecord record_;
};

}  // namespace

std::unique_ptr<Player> DirectRoute::Begin(ControlPanel&, const ProfileExtras&) {
    return std::make_unique<PassOn>(player_);
}

std::unique_ptr<Player> FieldRoute::Begin(ControlPanel& panel, const ProfileExtras& profile) {
    const Keying keying = ResolveKeying({}, profile.keying, ReadStationConfig(), kDefaultPttLimit);
    return std::make_unique<LoggedSend>(speaker_, deviceName_, keying, panel, profile.name);
}

}  // namespace zk::ui
