#include "codepage.h"

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

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t extra = 0;
        unsigned char low = 0x80;  // bounds of the second byte, which rule out the bad forms
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (n - i <= extra) {
            return false;
        }
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        if (second < low || second > high) {
            return false;
        }
        for (std::size_t k = 2; k <= extra; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
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
