// zk77q3: the programmer without its window. Same core, same files, same sound.
#include <iostream>
#include <string>
#include <vector>

#include "audioplayer.h"
#include "errors.h"
#include "options.h"
#include "output.h"

namespace {

// Runs once both files are written: prints the array listing, then plays the sound when asked.
class ListingThenPlay : public zk::Player {
  public:
    ListingThenPlay(zk::PanelState& panel, zk::Player* player) : panel_(panel), player_(player) {}

    void Play(const zk::Sound& sound) override {
        for (const std::string& line : panel_.memoMasIsh.lines) {
            std::cout << line << '\n';
        }
        std::cout.flush();
        if (player_ != nullptr) {
            player_->Play(sound);
        }
    }

  private:
    zk::PanelState& panel_;
    zk::Player* player_;
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    zk::cli::Command command;
    try {
        command = zk::cli::ParseCommandLine(args);
        zk::cli::CheckAccessCodes(command.panel);
    } catch (const zk::cli::UsageError& error) {
        std::cerr << "zk77q3: " << error.what() << '\n';
        return 2;
    }
    if (command.action == zk::cli::Action::Help) {
        std::cout << zk::cli::UsageText();
        return 0;
    }
    if (command.action == zk::cli::Action::Version) {
        std::cout << "zk77q3 " << ZK_VERSION << '\n';
        return 0;
    }

    try {
        zk::AlsaPlayer speaker;
        ListingThenPlay finish(command.panel,
                               command.action == zk::cli::Action::Play ? &speaker : nullptr);
        zk::NoChart chart;
        zk::RunOutput(command.panel, chart, finish);
    } catch (const std::exception& error) {
        std::cerr << "zk77q3: " << zk::ErrorBoxMessage(error.what()) << '\n';
        return 1;
    }
    return 0;
}
