#include "alsalibrary.h"

#include <dlfcn.h>

#include <variant>

namespace zk::alsa {

namespace {

constexpr const char* kLibrary = "libasound.so.2";

template <typename Function>
void Bind(void* library, const char* name, Function& function) {
    void* address = dlsym(library, name);
    if (address == nullptr) {
        const char* text = dlerror();
        throw LoadError(text != nullptr ? text : std::string(name) + ": not found");
    }
    function = reinterpret_cast<Function>(address);
}

}  // namespace

PlaybackFunctions LoadPlayback(const char* soname) {
    // Local: the symbols serve only through these pointers and clash with nothing.
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* text = dlerror();
        throw LoadError(text != nullptr ? text : std::string(soname) + ": cannot be loaded");
    }
    PlaybackFunctions f{};
    Bind(library, "snd_lib_error_set_handler", f.lib_error_set_handler);
    Bind(library, "snd_strerror", f.strerror);
    Bind(library, "snd_pcm_open", f.pcm_open);
    Bind(library, "snd_pcm_set_params", f.pcm_set_params);
    Bind(library, "snd_pcm_writei", f.pcm_writei);
    Bind(library, "snd_pcm_recover", f.pcm_recover);
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
    // Loaded once; a library that is missing stays missing for the life of the process, and
    // every play reports it.
    static const std::variant<PlaybackFunctions, LoadError> loaded =
        []() -> std::variant<PlaybackFunctions, LoadError> {
        try {
            return LoadPlayback(kLibrary);
        } catch (const LoadError& error) {
            return error;
        }
    }();
    if (const auto* error = std::get_if<LoadError>(&loaded)) {
        throw *error;
    }
    return std::get<PlaybackFunctions>(loaded);
}

}  // namespace zk::alsa
