#include "programming.h"

#include "audioplayer.h"
#include "output.h"
#include "profile.h"
#include "stdoutput.h"

namespace zk::cli {

namespace {

// Runs once both files are written: prints the array listing, then plays the sound when asked.
class ListingThenPlay : public Player {
  public:
    ListingThenPlay(PanelState& panel, Player* player) : panel_(panel), player_(player) {}

    void Play(const Sound& sound) override {
        std::string listing;
        for (const std::string& line : panel_.memoMasIsh.lines) {
            listing += line;
            listing += '\n';
        }
        Print(listing);
        if (player_ != nullptr) {
            player_->Play(sound);
        }
    }

  private:
    PanelState& panel_;
    Player* player_;
};

}  // namespace

int RunProgramming(CommonOptions& common, const SendOptions& send) {
    PanelState panel = LoadSettings(common);
    AlsaPlayer speaker(common.device);
    ListingThenPlay finish(panel, send.play ? &speaker : nullptr);
    NoChart chart;
    RunOutput(panel, chart, finish);
    return kExitDone;
}

}  // namespace zk::cli
