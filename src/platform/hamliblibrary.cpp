#include "hamliblibrary.h"

#include <dlfcn.h>

#include <variant>

namespace zk::hamlib {

namespace {

constexpr const char* kLibrary = "libhamlib.so.4";

template <typename Function>
void Bind(void* library, const char* name, Function& function) {
    void* address = dlsym(library, name);
    if (address == nullptr) {
        const char* text = dlerror();
        throw LoadError(text != nullptr ? text : std::string(name) + ": not found");
    }
    function = reinterpret_cast<Function>(address);
}

Functions Load() {
    // Local: the symbols serve only through these pointers and clash with nothing.
    void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* text = dlerror();
        throw LoadError(text != nullptr ? text : std::string(kLibrary) + ": cannot be loaded");
    }
    Functions f{};
    Bind(library, "rig_set_debug", f.set_debug);
    Bind(library, "rig_set_debug_callback", f.set_debug_callback);
    Bind(library, "rig_load_all_backends", f.load_all_backends);
    Bind(library, "rig_get_caps", f.get_caps);
    Bind(library, "rig_init", f.init);
    Bind(library, "rig_cleanup", f.cleanup);
    Bind(library, "rig_open", f.open);
    Bind(library, "rig_close", f.close);
    Bind(library, "rig_token_lookup", f.token_lookup);
    Bind(library, "rig_set_conf", f.set_conf);
    Bind(library, "rig_set_ptt", f.set_ptt);
    Bind(library, "rig_get_ptt", f.get_ptt);
    Bind(library, "rig_set_cache_timeout_ms", f.set_cache_timeout_ms);
    Bind(library, "rigerror2", f.error_text);
    return f;
}

}  // namespace

const Functions& Library() {
    static const std::variant<Functions, LoadError> loaded =
        []() -> std::variant<Functions, LoadError> {
        try {
            return Load();
        } catch (const LoadError& error) {
            return error;
        }
    }();
    if (const auto* error = std::get_if<LoadError>(&loaded)) {
        throw *error;
    }
    return std::get<Functions>(loaded);
}

}  // namespace zk::hamlib
