#include "accesscodetext.h"

namespace zk {

std::string CapitalCodeLetters(std::string_view text) {
    std::string capitals(text);
    for (char& c : capitals) {
        if (c >= 'a' && c <= 'd') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return capitals;
}

std::string CodeFaultText(CodeFault fault, std::size_t symbols) {
    switch (fault) {
        case CodeFault::None:
            break;
        case CodeFault::Length:
            return "a code is one symbol or four, " + (symbols == 0
                                                           ? std::string("and this one is empty")
                                                           : "not " + std::to_string(symbols));
        case CodeFault::Symbol:
            return "a code's symbols are 0-9, A-D, * and #";
    }
    return {};
}

}  // namespace zk
