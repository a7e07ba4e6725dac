#include "sendroute.h"

#include "errors.h"
#include "keyedplayer.h"
#include "pttkeys.h"
#include "sendfaults.h"
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

    // A send whose sound went out is logged however it ended: a sound broken by an underrun or
    // cut by the transmit limit goes into the log with what broke it, and its fault goes on.
    void Play(const Sound& sound) override {
        try {
            keyed_.Play(sound);
        } catch (const std::exception& error) {
            const std::optional<SendEnd> end = EndOfBrokenSend(error);
            GoOn(error, end && end->onAir != SoundOnAir::Nothing ? Log(*end) : std::nullopt);
        }
        if (const std::optional<Wording> failure = Log(SendEnd{})) {
            throw Fault(Wording{"The signal was sent, but the programming log was not written: ",
                                "Сигнал выдан, но журнал выдач не записан: "} +
                        *failure);
        }
    }

  private:
    // Writes the entry; returns why it could not be written, none when it was.
    std::optional<Wording> Log(const SendEnd& end) {
        record_.settings = CopyPanelValues(panel_);
        nlohmann::ordered_json entry = SentLogEntry(record_);
        if (!end.fault.empty()) {
            entry["fault"] = end.fault;
        }
        try {
            Wording reason = AppendToSentLog(entry);
            return reason.english.empty() ? std::nullopt
                                          : std::optional<Wording>(std::move(reason));
        } catch (const std::exception& error) {
            return WordingOf(error);
        }
    }

    // Called while `broken` is handled: its fault goes on, with the log's failure added to it
    // rather than put in its place, so that a broken signal is never called sent.
    [[noreturn]] static void GoOn(const std::exception& broken,
                                  const std::optional<Wording>& logFailure) {
        if (logFailure) {
            throw Fault(WordingOf(broken) +
                        Wording{"; the programming log was not written either: ",
                                "; журнал выдач тоже не записан: "} +
                        *logFailure);
        }
        throw;
    }

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
