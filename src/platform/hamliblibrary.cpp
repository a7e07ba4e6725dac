#include "hamliblibrary.h"

namespace zk::hamlib {

namespace {

constexpr const char* kLibrary = "libhamlib.so.4";

Functions Load() {
    void* library = OpenLibrary(kLibrary);
    Functions f{};
    Bind(library, "rig_set_debug", f.set_debug);
    Bind(library, "rig_set_debug_callback", f.set_debug_callback);
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
    return LoadedOnce<Functions, Load>();
}

}  // namespace zk::hamlib
