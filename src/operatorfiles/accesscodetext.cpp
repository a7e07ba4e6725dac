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

Wording CodeFaultText(CodeFault fault, std::size_t symbols) {
    switch (fault) {
        case CodeFault::None:
            break;
        case CodeFault::Length:
            if (symbols == 0) {
                return {"a code is one symbol or four, and this one is empty",
                        "код состоит из одного символа или из четырёх, а этот пуст"};
            }
            return {"a code is one symbol or four, not " + std::to_string(symbols),
                    "код состоит из одного символа или из четырёх; символов здесь: " +
                        std::to_string(symbols)};
        case CodeFault::Symbol:
            return {"a code's symbols are 0-9, A-D, * and #", "символы кода: 0-9, A-D, * и #"};
    }
    return {};
}

}  // namespace zk
