// Windows code pages and UTF-8 turned into UTF-16 through glibc iconv. Rich-text files name their
// code pages by number (\ansicpg1251, \cpg932) or by font character set (\fcharset204).
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>
#include <vector>

#include "utf8.h"  // IsValidUtf8, shared with the error box

namespace zk::rtf {

// Pseudo code page of the Symbol character set (\fcharset2): the font decides what each byte
// shows, so byte b stands for U+F000 + b, the private-use place Windows gives it.
inline constexpr int kSymbolCodePage = 2;
inline constexpr int kUtf8CodePage = 65001;

// The code page of an \fcharset value; 0 when the character set names none (DEFAULT_CHARSET or
// an unknown value), so that the document's \ansicpg applies.
int CodePageOfCharset(int charset);

// True for the names of the Symbol font and its metric clones, whose characters follow the Adobe
// Symbol encoding. Other fonts of the Symbol character set (Wingdings, Webdings, ...) have
// encodings of their own.
bool IsSymbolFontName(std::u16string_view name);

// The Unicode character that the Symbol font shows for `code`: Greek letters, mathematical
// signs, arrows, the bullet at 0xB7. Codes the font leaves empty stay U+F000 + code.
char16_t SymbolFontCharacter(unsigned char code);

// Decodes byte strings, keeping one iconv converter per code page for the life of the object.
class CodePageDecoder {
  public:
    CodePageDecoder() = default;
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;
    ~CodePageDecoder();

    // Appends `bytes` in `codePage` to `out`. A byte the code page leaves unassigned, or an
    // incomplete multi-byte sequence, becomes U+FFFD. A code page iconv does not know is read as
    // Windows-1252.
    void Decode(std::string_view bytes, int codePage, std::u16string& out);

  private:
    struct Entry {
        int codePage;
        iconv_t converter;
        bool owned;  // false when the entry borrows the Windows-1252 converter
    };

    iconv_t Converter(int codePage);

    std::vector<Entry> converters_;
};

// Replaces every unpaired UTF-16 surrogate in `text` with U+FFFD.
void ReplaceLoneSurrogates(std::u16string& text);

}  // namespace zk::rtf
