#include "accesscode.h"

#include <cstdint>

#include "_2GL.h"

namespace zk {

namespace {

std::string TrimControlAndBlanks(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) {
        --end;
    }
    return text.substr(begin, end - begin);
}

char NormalisedSymbol(char c) {
    switch (c) {
        case 'A':
            return ':';
        case 'B':
            return ';';
        case 'C':
            return '<';
        case 'D':
            return '=';
        case '*':
            return '>';
        case '#':
            return '?';
        default:
            return c;
    }
}

std::uint8_t SymbolValue(char c) {
    return static_cast<std::uint8_t>(static_cast<unsigned char>(c) - 0x30u);
}

}  // namespace

CodeFault CheckAccessCode(std::string& code) {
    CodeFault fault = CodeFault::None;
    code = TrimControlAndBlanks(code);
    if (code.size() != 1 && code.size() != 4) {
        fault = CodeFault::Length;
    }
    for (char& c : code) {
        c = NormalisedSymbol(c);
    }
    for (const char c : code) {
        if (SymbolValue(c) >= 16) {
            fault = CodeFault::Symbol;
        }
    }
    return fault;
}

std::string ValidateAccessCode(std::string& code) {
    switch (CheckAccessCode(code)) {
        case CodeFault::None:
            break;
        case CodeFault::Length:
            return kCodeLengthMessage;
        case CodeFault::Symbol:
            return kCodeSymbolMessage;
    }
    return {};
}

void EncodeAccessCode(const std::string& code, int firstByte) {
    if (code.size() == 1) {
        TransferArray[firstByte] = static_cast<std::uint8_t>(SymbolValue(code[0]) | 0xC0u);
        return;
    }
    for (int k = 0; k < static_cast<int>(code.size()); ++k) {
        TransferArray[firstByte + k] = static_cast<std::uint8_t>(SymbolValue(code[k]) + 0x80u);
    }
}

}  // namespace zk
