// What "выдать" sends through. In the field the window keys the transmitter named by the
// station's configuration around the sound, as the command line does, and writes every send that
// played to the programming log that the command line keeps; the window's own tests send
// through a player of their own.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "audioplayer.h"
#include "controlpanel.h"
#include "player.h"
#include "settings.h"

namespace zk::ui {

// What a profile loaded into the window brings besides the values of the controls: the
// repeater's name for the log, and keying keys that come before the station's configuration.
struct ProfileExtras {
    std::optional<std::string> name;
    GivenSettings keying;
};

// Made at each press of "выдать", before anything is generated or written, and dropped when the
// press has ended: the transmitter is reached first, so that one that cannot be keyed stops the
// press with nothing sent.
class SendRoute {
  public:
    virtual ~SendRoute() = default;
    // The player for this press. `panel` is read when the sound has played, for the log. Throws
    // when the station's configuration or the PTT cannot be used.
    virtual std::unique_ptr<Player> Begin(ControlPanel& panel, const ProfileExtras& profile) = 0;
};

// Sends through `player` as it is: nothing keyed, nothing logged.
class DirectRoute : public SendRoute {
  public:
    explicit DirectRoute(Player& player) : player_(player) {}
    std::unique_ptr<Player> Begin(ControlPanel& panel, const ProfileExtras& profile) override;

  private:
    Player& player_;
};

// The window's entry in the programming log.
inline constexpr const char* kWindowSource = "window";

// The field's route: the PTT of the profile or the station's configuration
// ($XDG_CONFIG_HOME/zk77q3/config.toml) keyed around the sound on `speaker` (KeyedPlayer), and
// each send whose sound went out written to the programming log with "source": "window"
// (with its "fault" when an underrun or the transmit limit broke it). A send that failed before
// its sound began is not logged; a log that cannot be written after a send is a fault of its
// own, thrown once the sound has gone out. `deviceName` is the ALSA device `speaker` plays on.
class FieldRoute : public SendRoute {
  public:
    FieldRoute(AlsaPlayer& speaker, std::string deviceName)
        : speaker_(speaker), deviceName_(std::move(deviceName)) {}
    std::unique_ptr<Player> Begin(ControlPanel& panel, const ProfileExtras& profile) override;

  private:
    AlsaPlayer& speaker_;
    std::string deviceName_;
};

}  // namespace zk::ui
