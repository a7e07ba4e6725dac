// SHA-256 through nettle (Debian's nettle-dev), fed piece by piece.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace zk {

class Sha256 {
  public:
    Sha256();
    ~Sha256();
    void Add(const void* data, std::size_t size);
    // The digest in lower-case hex.
    std::string Hex();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace zk
