// The programmer's entry: the window on the default sound output. The transfer array and the
// sample buffer are set up by static initialisation before this runs.
#include "audioplayer.h"
#include "startup.h"

int main(int argc, char** argv) {
    zk::AlsaPlayer player;
    return zk::ui::ProgrammerMain(argc, argv, player);
}
