// alsa-lib's playback functions, and those that list the devices, loaded from the shared library
// the first time a sound is played (or the devices are listed) rather than when the program
// starts. Programs that never play (the window until its first output, `zk77q3 generate`) then
// start without mapping and relocating alsa-lib; it costs the window's first frame more than a
// millisecond.
#pragma once

#include <alsa/asoundlib.h>

#include <string>

#include "sharedlibrary.h"

namespace zk::alsa {

struct PlaybackFunctions {
    decltype(&snd_lib_error_set_handler) lib_error_set_handler;
    decltype(&snd_strerror) strerror;
    decltype(&snd_pcm_open) pcm_open;
    decltype(&snd_pcm_set_params) pcm_set_params;
    decltype(&snd_pcm_writei) pcm_writei;
    decltype(&snd_pcm_drain) pcm_drain;
    decltype(&snd_pcm_delay) pcm_delay;
    decltype(&snd_pcm_close) pcm_close;
    decltype(&snd_config_update_free_global) config_update_free_global;
    // The device names and descriptions that `aplay -L` shows (alsadevices.h).
    decltype(&snd_device_name_hint) device_name_hint;
    decltype(&snd_device_name_get_hint) device_name_get_hint;
    decltype(&snd_device_name_free_hint) device_name_free_hint;
};

// The functions of alsa-lib (libasound.so.2), loaded once for the whole process. Throws
// LoadError with the dynamic loader's own text when the library or one of the functions cannot
// be found.
const PlaybackFunctions& Playback();

// The same for the library `soname`, loaded afresh on every call and never unloaded: for tests.
PlaybackFunctions LoadPlayback(const char* soname);

using LoadError = LibraryLoadError;

}  // namespace zk::alsa
