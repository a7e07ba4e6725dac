// An environment variable set (or unset) for one test and put back as it was afterwards.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace zk::testing {

class ScopedVariable {
  public:
    // `value` nullopt: the variable is unset for the while.
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = ::getenv(name)) {
            old_ = old;
        }
        Set(value);
    }
    ~ScopedVariable() { Set(old_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    void Set(const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name_, value->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace zk::testing
