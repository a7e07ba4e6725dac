// UTF-8 text, read strictly: the error box's caption and message rules and the help page's
// encoding check read characters through these.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zk {

// The character that starts at text[pos], or none when the bytes there are not well-formed
// UTF-8 (a stray continuation byte, an overlong form, a surrogate, a value above U+10FFFF, a
// sequence cut off). `length` receives the number of bytes read: the character's, or 1.
std::optional<char32_t> DecodeUtf8At(std::string_view text, std::size_t pos, std::size_t& length);

// True when every byte of `text` belongs to a well-formed UTF-8 character.
bool IsValidUtf8(std::string_view text);

void AppendUtf8(char32_t code, std::string& out);

// The lower-case form of a character, by the Unicode case tables of the C library.
char32_t LowerCase(char32_t code);

}  // namespace zk
