#include "codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace zk::rtf {
namespace {

std::u16string Decoded(std::string_view bytes, int codePage) {
    CodePageDecoder decoder;
    std::u16string out;
    decoder.Decode(bytes, codePage, out);
    return out;
}

TEST(CodePages, WindowsCodePagesDecodeThroughIconv) {
    EXPECT_EQ(Decoded("\xCF\xF0\xE8\xE2\xE5\xF2 A", 1251), u"Привет A");
    EXPECT_EQ(Decoded("\xE0", 1252), u"à");
    EXPECT_EQ(Decoded("\xE0", 1251), u"а");
    EXPECT_EQ(Decoded("\xB9\x97\xAB\xBB", 1251), u"№—«»");
    // Shift-JIS: a lead byte and its trail byte give one character.
    EXPECT_EQ(Decoded("\x93\xFA\x96\x7B", 932), u"日本");
}

TEST(CodePages, UnassignedAndCutOffBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Decoded("\xC0\x98\xC1", 1251), u"А\uFFFDБ");
    EXPECT_EQ(Decoded("\x93", 932), u"\uFFFD");
    EXPECT_EQ(Decoded("a\xFF"
                      "b",
                      kUtf8CodePage),
              u"a\uFFFDb");
}

TEST(CodePages, UnknownCodePagesReadAsWindows1252AndSymbolMapsToPrivateUse) {
    EXPECT_EQ(Decoded("A\xE9", 4242), u"Aé");
    EXPECT_EQ(Decoded("A\xE9", -7), u"Aé");
    EXPECT_EQ(Decoded("\xB7"
                      "a",
                      kSymbolCodePage),
              u"\uF0B7\uF061");

    // One decoder serves many code pages in turn, each converter kept.
    CodePageDecoder decoder;
    std::u16string out;
    for (int round = 0; round < 3; ++round) {
        decoder.Decode("\xE9", 1251, out);
        decoder.Decode("\xE9", 1252, out);
        decoder.Decode("\xE9", 99999, out);
    }
    EXPECT_EQ(out, u"йééйééйéé");
}

TEST(CodePages, TheSymbolFontFollowsTheAdobeSymbolEncoding) {
    const std::pair<unsigned char, char16_t> samples[] = {
        {'a', u'α'},
        {'W', u'Ω'},
        {'"', u'∀'},
        {'1', u'1'},
        {0xB7, u'•'},
        {0xAE, u'→'},
        {0xD6, u'√'},
        {0xF2, u'∫'},
        {0xA0, u'€'},
        // Private-use characters of the Adobe table: their standard equals.
        {0xD2, u'®'},
        {0xE6, u'⎛'},
        {0xFE, u'⎭'},
        {0x60, u'‾'},
        // Codes the font leaves empty keep their private-use place.
        {0x80, u'\uF080'},
        {0xF0, u'\uF0F0'},
        {0xFF, u'\uF0FF'},
        {0x09, u'\uF009'}};
    for (const auto& [code, unicode] : samples) {
        EXPECT_EQ(SymbolFontCharacter(code), unicode) << int{code};
    }
    EXPECT_TRUE(IsSymbolFontName(u"Symbol"));
    EXPECT_TRUE(IsSymbolFontName(u"SYMBOL"));
    EXPECT_TRUE(IsSymbolFontName(u"Standard Symbols PS"));
    EXPECT_FALSE(IsSymbolFontName(u"Wingdings"));
    EXPECT_FALSE(IsSymbolFontName(u"Symbol Fancy"));
}

TEST(CodePages, CharsetTable) {
    EXPECT_EQ(CodePageOfCharset(204), 1251);
    EXPECT_EQ(CodePageOfCharset(0), 1252);
    EXPECT_EQ(CodePageOfCharset(238), 1250);
    EXPECT_EQ(CodePageOfCharset(128), 932);
    EXPECT_EQ(CodePageOfCharset(255), 850);
    EXPECT_EQ(CodePageOfCharset(2), kSymbolCodePage);
    EXPECT_EQ(CodePageOfCharset(1), 0);  // DEFAULT_CHARSET: the document's code page
    EXPECT_EQ(CodePageOfCharset(999), 0);
}

TEST(Utf8, OnlyWellFormedUtf8IsValid) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII"));
    EXPECT_TRUE(IsValidUtf8("Справка \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xCF\xF0\xE8"));      // Windows-1251
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xD0"));              // cut off
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut off
    EXPECT_FALSE(IsValidUtf8("\x80"));              // stray continuation
}

TEST(Utf16, LoneSurrogatesAreReplaced) {
    std::u16string text =
        u"a\xD83D\xDE00"
        u"b";
    ReplaceLoneSurrogates(text);
    EXPECT_EQ(text,
              u"a\xD83D\xDE00"
              u"b");
    text = std::u16string{u'\xDE00', u'a', u'\xD83D'};
    ReplaceLoneSurrogates(text);
    EXPECT_EQ(text, u"\uFFFDa\uFFFD");
}

}  // namespace
}  // namespace zk::rtf
