// The programmer's entry: the window on the default sound output, keying the station's PTT and
// writing the programming log. The transfer array and the sample buffer are set up by static
// initialisation before this runs.
#include "audioplayer.h"
#include "sendroute.h"
#include "startup.h"

namespace {

constexpr const char* kSoundDevice = "default";

}  // namespace

int main(int argc, char** argv) {
    zk::AlsaPlayer speaker(kSoundDevice);
    zk::ui::FieldRoute route(speaker, kSoundDevice);
    return zk::ui::ProgrammerMain(argc, argv, route);
}
