#include "sha256.h"

#include <nettle/sha2.h>

namespace zk {

struct Sha256::State {
    sha256_ctx context;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
    sha256_init(&state_->context);
}

Sha256::~Sha256() = default;

void Sha256::Add(const void* data, std::size_t size) {
    sha256_update(&state_->context, size, static_cast<const std::uint8_t*>(data));
}

std::string Sha256::Hex() {
    std::uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&state_->context, SHA256_DIGEST_SIZE, digest);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

}  // namespace zk
