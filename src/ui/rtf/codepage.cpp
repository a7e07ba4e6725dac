#include "codepage.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>

namespace zk::rtf {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

std::string IconvName(int codePage) {
    switch (codePage) {
        case kUtf8CodePage:
            return "UTF-8";
        case 10000:
            return "MACINTOSH";
        case 20866:
            return "KOI8-R";
        case 21866:
            return "KOI8-U";
        default:
            break;
    }
    if (codePage >= 28591 && codePage <= 28599) {
        return "ISO-8859-" + std::to_string(codePage - 28590);
    }
    return "CP" + std::to_string(codePage);
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The Symbol font's codes 0x20..0xFF in Unicode, after the Adobe Symbol encoding. Where that table
// gives a private-use character (the serif and sans-serif (R) (C) TM pairs, the pieces of large
// brackets and the extenders), the standard character that draws the same shape stands in, so
// that a font without the Symbol font's private glyphs still shows it. 0: the code is empty.
constexpr char16_t kSymbolFont[0xE0] = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B,  // 20
    0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F,  // 28
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,  // 30
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,  // 38
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,  // 40
    0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,  // 48
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,  // 50
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,  // 58
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,  // 60
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,  // 68
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,  // 70
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0x0000,  // 78
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  // 80
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  // 88
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  // 90
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  // 98
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663,  // A0
    0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,  // A8
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,  // B0
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,  // B8
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,  // C0
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,  // C8
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,  // D0
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,  // D8
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C,  // E0
    0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,  // E8
    0x0000, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,  // F0
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0x0000,  // F8
};

char16_t AsciiLower(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
}

}  // namespace

int CodePageOfCharset(int charset) {
    switch (charset) {
        case 0:
            return 1252;
        case 2:
            return kSymbolCodePage;
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 255:
            return 850;
        default:
            return 0;
    }
}

bool IsSymbolFontName(std::u16string_view name) {
    for (const std::u16string_view symbol : {u"symbol", u"symbol mt", u"standardsyml",
                                             u"standard symbols l", u"standard symbols ps"}) {
        if (name.size() == symbol.size() &&
            std::equal(name.begin(), name.end(), symbol.begin(),
                       [](char16_t a, char16_t b) { return AsciiLower(a) == b; })) {
            return true;
        }
    }
    return false;
}

char16_t SymbolFontCharacter(unsigned char code) {
    const char16_t unicode = code >= 0x20 ? kSymbolFont[code - 0x20] : 0;
    return unicode != 0 ? unicode : static_cast<char16_t>(0xF000 + code);
}

CodePageDecoder::~CodePageDecoder() {
    for (const Entry& entry : converters_) {
        if (entry.owned && entry.converter != kNoConverter) {
            iconv_close(entry.converter);
        }
    }
}

iconv_t CodePageDecoder::Converter(int codePage) {
    for (const Entry& entry : converters_) {
        if (entry.codePage == codePage) {
            return entry.converter;
        }
    }
    iconv_t converter = kNoConverter;
    if (codePage > 0 && codePage < 100000) {
        converter = iconv_open("UTF-16LE", IconvName(codePage).c_str());
    }
    if (converter == kNoConverter && codePage != 1252) {
        converters_.push_back({codePage, Converter(1252), false});
    } else {
        converters_.push_back({codePage, converter, true});
    }
    return converters_.back().converter;
}

void CodePageDecoder::Decode(std::string_view bytes, int codePage, std::u16string& out) {
    if (codePage == kSymbolCodePage) {
        for (const char c : bytes) {
            out += static_cast<char16_t>(0xF000 + static_cast<unsigned char>(c));
        }
        return;
    }
    iconv_t converter = Converter(codePage);
    if (converter == kNoConverter) {
        out.append(bytes.size(), kReplacement);
        return;
    }
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* next = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter, &in, &inLeft, &next, &outLeft);
        const int error = errno;
        for (const char* p = buffer; p + 1 < next; p += 2) {
            out += static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                         (static_cast<unsigned char>(p[1]) << 8));
        }
        if (result == static_cast<std::size_t>(-1) && error != E2BIG) {
            // EILSEQ: unassigned or malformed; EINVAL: cut off at the end. Either way one byte
            // is lost and marked, and the rest is read on.
            out += kReplacement;
            ++in;
            --inLeft;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
}

void ReplaceLoneSurrogates(std::u16string& text) {
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            text[i] = kReplacement;
        }
    }
}

}  // namespace zk::rtf
