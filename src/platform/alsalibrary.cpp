#include "alsalibrary.h"

namespace zk::alsa {

namespace {

constexpr const char* kLibrary = "libasound.so.2";

PlaybackFunctions LoadDefault() {
    return LoadPlayback(kLibrary);
}

}  // namespace

PlaybackFunctions LoadPlayback(const char* soname) {
    void* library = OpenLibrary(soname);
    PlaybackFunctions f{};
    Bind(library, "snd_lib_error_set_handler", f.lib_error_set_handler);
    Bind(library, "snd_strerror", f.strerror);
    Bind(library, "snd_pcm_open", f.pcm_open);
    Bind(library, "snd_pcm_set_params", f.pcm_set_params);
    Bind(library, "snd_pcm_writei", f.pcm_writei);
    Bind(library, "snd_pcm_drain", f.pcm_drain);
    Bind(library, "snd_pcm_delay", f.pcm_delay);
    Bind(library, "snd_pcm_close", f.pcm_close);
    Bind(library, "snd_config_update_free_global", f.config_update_free_global);
    Bind(library, "snd_device_name_hint", f.device_name_hint);
    Bind(library, "snd_device_name_get_hint", f.device_name_get_hint);
    Bind(library, "snd_device_name_free_hint", f.device_name_free_hint);
    return f;
}

const PlaybackFunctions& Playback() {
    return LoadedOnce<PlaybackFunctions, LoadDefault>();
}

}  // namespace zk::alsa
