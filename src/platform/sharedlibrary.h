// A shared library opened with dlopen on its first use rather than linked: a program that never
// needs it never maps it, runs its initialisers, or pays for what it brings in.
#pragma once

#include <dlfcn.h>

#include <exception>
#include <string>
#include <utility>
#include <variant>

namespace zk {

// A library, or one of its functions, that cannot be found: the dynamic loader's own text.
class LibraryLoadError : public std::exception {
  public:
    explicit LibraryLoadError(std::string text) : text_(std::move(text)) {}
    const char* what() const noexcept override { return text_.c_str(); }

  private:
    std::string text_;
};

// Opens `soname` with its symbols kept local (they serve only through bound pointers and clash
// with nothing); throws LibraryLoadError.
inline void* OpenLibrary(const char* soname) {
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* text = dlerror();
        throw LibraryLoadError(text != nullptr ? text : std::string(soname) + ": cannot be loaded");
    }
    return library;
}

// Points `function` at the library's `name`; throws LibraryLoadError naming it when missing.
template <typename Function>
void Bind(void* library, const char* name, Function& function) {
    void* address = dlsym(library, name);
    if (address == nullptr) {
        const char* text = dlerror();
        throw LibraryLoadError(text != nullptr ? text : std::string(name) + ": not found");
    }
    function = reinterpret_cast<Function>(address);
}

// The functions `Load` binds, loaded on the first call for the whole process; a library that is
// missing stays missing for the life of the process, and every call reports it.
template <typename Functions, Functions (*Load)()>
const Functions& LoadedOnce() {
    static const std::variant<Functions, LibraryLoadError> loaded =
        []() -> std::variant<Functions, LibraryLoadError> {
        try {
            return Load();
        } catch (const LibraryLoadError& error) {
            return error;
        }
    }();
    if (const auto* error = std::get_if<LibraryLoadError>(&loaded)) {
        throw *error;
    }
    return std::get<Functions>(loaded);
}

}  // namespace zk
