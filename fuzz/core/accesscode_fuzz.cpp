// Access-code validation against a plain model of its rules: trimming, the two lengths, the
// sixteen symbols with the symbol fault outranking the length fault, and the encoded bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "_2GL.h"
#include "accesscode.h"

namespace {

// The alphabet is the core's; the rules around it are modelled here.
const std::string kSymbols = zk::kCodeSymbols;

int SymbolValue(char c) {
    const std::size_t typed = kSymbols.find(c);
    if (typed != std::string::npos && c != '\0') {
        return static_cast<int>(typed);
    }
    if (c >= '0' && c <= '?') {  // ':' ';' '<' '=' '>' '?' typed as they are
        return c - '0';
    }
    return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    std::size_t begin = 0;
    std::size_t end = input.size();
    while (begin < end && static_cast<unsigned char>(input[begin]) <= 0x20) {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(input[end - 1]) <= 0x20) {
        --end;
    }
    const std::string trimmed = input.substr(begin, end - begin);
    std::string expectedError;
    if (trimmed.size() != 1 && trimmed.size() != 4) {
        expectedError = zk::kCodeLengthMessage;
    }
    std::string normalised;
    for (const char c : trimmed) {
        const int value = SymbolValue(c);
        if (value < 0) {
            expectedError = zk::kCodeSymbolMessage;
        }
        normalised += value < 0 ? c : static_cast<char>('0' + value);
    }

    std::string code = input;
    const std::string error = zk::ValidateAccessCode(code);
    if (error != expectedError || (error.empty() && code != normalised)) {
        std::abort();
    }
    if (error.empty()) {
        zk::ResetGlobalsToStartValues();
        zk::TransferArray[5] = 0x55;
        zk::EncodeAccessCode(code, 4);
        if (code.size() == 1) {
            if (zk::TransferArray[4] != (0xC0 | SymbolValue(trimmed[0])) ||
                zk::TransferArray[5] != 0x55) {
                std::abort();
            }
        } else {
            for (int k = 0; k < 4; ++k) {
                if (zk::TransferArray[4 + k] !=
                    0x80 + SymbolValue(trimmed[static_cast<std::size_t>(k)])) {
                    std::abort();
                }
            }
        }
    }
    return 0;
}
