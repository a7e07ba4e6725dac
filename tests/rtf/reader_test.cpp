// The rich-text reader, judged by the QTextDocument it builds.
#include <gtest/gtest.h>

#include <QColor>
#include <QFont>
#include <QTextBlock>

#include <string>

#include "documents.h"

namespace zk::testing {
namespace {

using namespace std::string_literals;

TEST(RtfText, Windows1251EscapesDecodeToCyrillic) {
    // As WordPad writes a Russian document.
    const std::string wordpad =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fswiss\\fcharset204 "
        "Arial;}}\r\n{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
        "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang1049 "
        "\\'cf\\'f0\\'ee\\'e3\\'f0\\'e0\\'ec\\'ec\\'e0\\'f2\\'ee\\'f0 ZK-77q3\\par\r\n"
        "\\'d1\\'ef\\'f0\\'e0\\'e2\\'ea\\'e0\\par\r\n}\r\n\0"s;
    auto document = Load(wordpad);
    EXPECT_EQ(Paragraphs(*document), QStringList({"Программатор ZK-77q3", "Справка"}));
    EXPECT_EQ(FormatOf(*document, "Справка").fontFamilies().toStringList(), QStringList{"Arial"});

    // The font's character set decides over \ansicpg; without one, \ansicpg applies.
    EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 A;}{\\f1 B;}}"
                   "\\f0\\'e0\\f1\\'e0}"),
              "аà");
    EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset1 A;}}\\f0\\'e0\\'98}"),
              "а\uFFFD");
    EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1251 \\'e0\\'c0 raw \xe0}"), "аА raw а");
    // A font name in the font's own code page.
    auto named = Load("{\\rtf1{\\fonttbl{\\f3\\fcharset204 \\'c0\\'f0\\'e8\\'e0\\'eb;}}\\f3 x}");
    EXPECT_EQ(FormatOf(*named, "x").fontFamilies().toStringList(), QStringList{"Ариал"});
}

TEST(RtfText, SymbolFontCharactersShowAsTheirUnicodeCharacters) {
    // A bulleted list as Word writes it: the bullet is \'b7 in the Symbol font.
    const std::string list =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}"
        "{\\f3\\fbidi \\froman\\fcharset2\\fprq2{\\*\\panose 05050102010706020507}Symbol;}"
        "{\\f4\\fnil\\fcharset2 Wingdings;}}\\pard{\\pntext\\f3\\'b7\\tab}{\\*\\pn\\pnlvlblt"
        "\\pnf3{\\pntxtb\\'b7}}\\fi-360\\li720\\f0 \\'ef\\'f3\\'ed\\'ea\\'f2\\par"
        "{\\f3 abgW \\'a5\\'ae\\'b3\\'e6\\u-3913?\\u945?}{\\f4\\'a7}\\u-3913?\\par}";
    auto document = Load(list);
    EXPECT_EQ(Paragraphs(*document),
              QStringList({"\u2022\tпункт", "αβγΩ ∞→≥⎛\u2022α\uF0A7\uF0B7"}));
    // The font keeps its name, read in the document's code page.
    EXPECT_EQ(FormatOf(*document, "∞").fontFamilies().toStringList(), QStringList{"Symbol"});
}

TEST(RtfText, UnicodeEscapesWithTheirFallbackSkipped) {
    EXPECT_EQ(Text("{\\rtf1\\ansi\\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090?}"), "Привет");
    // Negative values are the upper half; surrogate pairs join.
    EXPECT_EQ(Text("{\\rtf1\\u-3913?\\u-10179?\\u-8704?}"), "\uF0B7\U0001F600");
    EXPECT_EQ(Text("{\\rtf1\\u-10179?x}"), "\uFFFDx");
    // \ucN counts characters, \'hh escapes and control words; it is scoped by groups.
    EXPECT_EQ(Text("{\\rtf1\\uc2 \\u1071\\'3f\\'3fA\\u1071 ab{\\uc0\\u1071}B\\u1071\\tab xC}"),
              "ЯAЯЯBЯC");
    EXPECT_EQ(Text("{\\rtf1\\uc3 \\u1071 a{\\b b}}"), "Яb");
    EXPECT_EQ(Text("{\\rtf1\\uc1\\u1071\\bin3 }}}D}"), "ЯD");
    // \uc0 in the running text: nothing after a \u is skipped, not even a letter or an escape.
    EXPECT_EQ(Text("{\\rtf1\\uc0 \\u1071 ab\\u1071\\'3f\\u1071 c}"), "ЯabЯ?Яc");
    // \upr: the Unicode half replaces the plain half.
    EXPECT_EQ(Text("{\\rtf1{\\upr{\\'cf\\'f0\\'e8}{\\*\\ud{\\u1055?\\u1088?\\u1080?}}}!}"), "При!");
}

TEST(RtfText, ParagraphsLineBreaksTabsAndSpecialCharacters) {
    auto document = Load("{\\rtf1 a\\line b\\tab c\\par\\par d\\~e\\emdash f\\{\\}\\\\\\\r\ng}");
    EXPECT_EQ(Paragraphs(*document), QStringList({"a\u2028b\tc", "", "d\u00A0e\u2014f{}\\", "g"}));
    // Line ends in the source are not text.
    EXPECT_EQ(Text("{\\rtf1 one\r\ntwo\rthree\nfour}"), "onetwothreefour");
}

TEST(RtfText, TheLastParBeforeTheFinalBraceOpensNoParagraph) {
    EXPECT_EQ(Paragraphs(*Load("{\\rtf1 A\\par B\\par}")), QStringList({"A", "B"}));
    EXPECT_EQ(Paragraphs(*Load("{\\rtf1 A\\par \\par\r\n}")), QStringList({"A", ""}));
    EXPECT_EQ(Paragraphs(*Load("{\\rtf1 A\\par{\\b }}")), QStringList({"A"}));
    EXPECT_EQ(Paragraphs(*Load("{\\rtf1 A}")), QStringList({"A"}));
    // The paragraph formatting of that \par still applies to the last paragraph.
    auto document = Load("{\\rtf1 x\\par\\pard\\qc B\\par}");
    EXPECT_EQ(document->lastBlock().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(document->firstBlock().blockFormat().alignment(), Qt::AlignLeft);
}

TEST(RtfText, EverythingAfterTheFinalBraceIsIgnored) {
    EXPECT_EQ(Paragraphs(*Load("{\\rtf1 Hello\\par}\0"s)), QStringList({"Hello"}));
    EXPECT_EQ(Text("{\\rtf1 A}B{\\b C}\0\0garbage"s), "A");
    EXPECT_EQ(Text("{\\urtf1 A}B"), "A");
    // NUL bytes inside the rich text are not text either.
    EXPECT_EQ(Text("{\\rtf1 A\0B}"s), "AB");
}

TEST(RtfFormat, CharacterFormattingReachesTheDocument) {
    auto document = Load(
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fmodern Courier New;}}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\f0\\fs24 "
        "plain {\\b bold} {\\i italic} {\\ul under\\ul0 lined} {\\strike struck} {\\fs40 big} "
        "{\\cf1 red} {\\cf2\\highlight1 blue} {\\cf9 nocolour} {\\f1 mono} {\\super sup} "
        "{\\b\\i\\fs16\\cf2 all}\\b after\\plain  reset}");
    const QTextCharFormat plain = FormatOf(*document, "plain");
    EXPECT_EQ(plain.fontWeight(), QFont::Normal);
    EXPECT_FALSE(plain.fontItalic());
    EXPECT_DOUBLE_EQ(plain.fontPointSize(), 12.0);
    EXPECT_FALSE(plain.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(plain.fontFamilies().toStringList(), QStringList{"Times New Roman"});
    EXPECT_EQ(plain.fontStyleHint(), QFont::Serif);

    EXPECT_EQ(FormatOf(*document, "bold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatOf(*document, "italic").fontItalic());
    EXPECT_TRUE(FormatOf(*document, "under").fontUnderline());
    EXPECT_FALSE(FormatOf(*document, "lined").fontUnderline());
    EXPECT_TRUE(FormatOf(*document, "struck").fontStrikeOut());
    EXPECT_DOUBLE_EQ(FormatOf(*document, "big").fontPointSize(), 20.0);
    EXPECT_EQ(FormatOf(*document, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(FormatOf(*document, "blue").foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(FormatOf(*document, "blue").background().color(), QColor(255, 0, 0));
    EXPECT_FALSE(FormatOf(*document, "nocolour").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(FormatOf(*document, "mono").fontFamilies().toStringList(),
              QStringList{"Courier New"});
    EXPECT_EQ(FormatOf(*document, "sup").verticalAlignment(), QTextCharFormat::AlignSuperScript);

    const QTextCharFormat all = FormatOf(*document, "all");
    EXPECT_EQ(all.fontWeight(), QFont::Bold);
    EXPECT_TRUE(all.fontItalic());
    EXPECT_DOUBLE_EQ(all.fontPointSize(), 8.0);
    EXPECT_EQ(all.foreground().color(), QColor(0, 0, 255));
    // Groups restore the formatting; \plain resets it.
    EXPECT_EQ(FormatOf(*document, "after").fontWeight(), QFont::Bold);
    EXPECT_FALSE(FormatOf(*document, "after").fontItalic());
    EXPECT_EQ(FormatOf(*document, "reset").fontWeight(), QFont::Normal);
}

TEST(RtfFormat, ParagraphFormattingAndHiddenText) {
    auto document = Load(
        "{\\rtf1\\pard\\qc centre\\par\\pard\\li720\\fi-360\\sb120\\sa240 indented\\par"
        "\\pard\\qr right{\\v  hidden}\\par\\qj\\ri1440 justified}");
    QTextBlock block = document->firstBlock();
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignHCenter);
    block = block.next();
    EXPECT_DOUBLE_EQ(block.blockFormat().leftMargin(), 48.0);
    EXPECT_DOUBLE_EQ(block.blockFormat().textIndent(), -24.0);
    EXPECT_DOUBLE_EQ(block.blockFormat().topMargin(), 8.0);
    EXPECT_DOUBLE_EQ(block.blockFormat().bottomMargin(), 16.0);
    block = block.next();
    EXPECT_EQ(block.text(), "right");
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignRight);
    block = block.next();
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignJustify);
    EXPECT_DOUBLE_EQ(block.blockFormat().rightMargin(), 96.0);
}

TEST(RtfSkipping, DestinationsAndBinaryDataShowNothing) {
    EXPECT_EQ(Text("{\\rtf1{\\*\\generator Riched20;}{\\info{\\title T}{\\author W}}"
                   "{\\stylesheet{\\s0 Normal;}{\\*\\cs10 Default;}}A"
                   "{\\*\\shppict{\\pict\\pngblip\\picw10 89504e470d0a}}"
                   "{\\nonshppict{\\pict\\wmetafile8 0100090000}}B"
                   "{\\header H}{\\footer F}{\\*\\unknownthing Z}{\\object{\\*\\objdata 01}}C"
                   "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}"),
              "A\uFFFCBClink");
    // \binN data may hold braces and backslashes; it is skipped before any brace is matched.
    EXPECT_EQ(Text("{\\rtf1 A{\\pict\\bin6 }}}{{\\}B}"), "A\uFFFCB");
    EXPECT_EQ(Text("{\\rtf1 A{\\*\\blipuid\\bin4 \\'{{}B}"), "AB");
    EXPECT_EQ(Text("{\\rtf1 A\\bin3 }}}B}"), "AB");
    EXPECT_EQ(Text("{\\rtf1 A\\bin0 B\\bin-5 C}"), "ABC");
    EXPECT_EQ(Text("{\\rtf1 A\\bin999999999 }}}"), "A");
    // Unknown words are ignored; unknown destinations without \* show their text.
    EXPECT_EQ(Text("{\\rtf1\\foo A\\bar12 B{\\listtext 1.\\tab}C}"), "AB1.\tC");
}

TEST(RtfSkipping, AWordDocumentShowsOnlyItsText) {
    // The shape of what Word writes, shortened.
    const std::string word =
        "{\\rtf1\\adeflang1025\\ansi\\ansicpg1251\\uc1\\adeff31507\\deff0\\stshfdbch31506"
        "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset204\\fprq2{\\*\\panose 02020603050405020304}"
        "Times New Roman;}{\\fhimajor\\f31502\\fbidi \\fswiss\\fcharset204\\fprq2 Calibri "
        "Light;}}{\\colortbl;\\red0\\green0\\blue0;}{\\*\\defchp \\f31506\\fs22 }"
        "{\\stylesheet{\\ql \\li0\\ri0 \\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\snext0 "
        "\\sqformat \\spriority0 Normal;}}{\\*\\rsidtbl \\rsid1269}{\\mmathPr\\mmathFont34}"
        "{\\info{\\author X}{\\creatim\\yr2024\\mo1}{\\*\\company Y}}{\\*\\xmlnstbl "
        "{\\xmlns1 http://x}}\\paperw11906\\paperh16838 {\\*\\ftnsep \\chftnsep \\par }"
        "\\pard\\plain \\ltrpar\\s0\\ql \\sa160\\widctlpar\\rtlch\\fcs1 \\af31507\\afs22 "
        "\\ltrch\\fcs0 \\f0\\fs22\\lang1049 {\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 "
        "\\insrsid1269 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}{\\rtlch\\fcs1 \\af31507 "
        "\\ltrch\\fcs0 \\insrsid1269 \\par }{\\*\\themedata 504b0304}{\\*\\colorschememapping "
        "3c3f}{\\*\\latentstyles\\lsdstimax376{\\lsdlockedexcept Normal;}}{\\*\\datastore "
        "0105}}\r\n\0"s;
    EXPECT_EQ(Paragraphs(*Load(word)), QStringList({"Привет"}));
}

TEST(RtfMalformed, BadInputIsReadAsFarAsItMakesSense) {
    EXPECT_EQ(Text("{\\rtf1 {{{{A"), "A");
    EXPECT_EQ(Text("{\\rtf1 A{\\b B"), "AB");
    EXPECT_EQ(Text("{\\rtf1 A\\"), "A");
    EXPECT_EQ(Text("{\\rtf1 A\\'"), "A");
    EXPECT_EQ(Text("{\\rtf1 A\\'4"), "A\x04");
    EXPECT_EQ(Text("{\\rtf1 A\\'zzB}"), "AzzB");
    EXPECT_EQ(Text("{\\rtf1 A\\u"), "A");
    EXPECT_EQ(Text("{\\rtf1 A\\u-"), "A");
    EXPECT_EQ(Text("{\\rtf1 A\\fonttbl{\\f"), "A");
    EXPECT_EQ(Text("{\\rtf1{\\colortbl\\red999\\green-5;}{\\cf0 x}{\\cf1 y}"), "xy");
    EXPECT_EQ(Text("{\\rtf1 \\fs99999999999999999999999 \\cf-99999999999 \\highlight99999999999 "
                   "\\li-99999999999 \\f99999999999 \\uc99999999999 \\ansicpg99999999999 "
                   "\\'e0\\u99999999999 \\u-99999999999 X}"),
              "à\uFFFD");
    auto huge = Load("{\\rtf1\\fs99999999999 \\li99999999999 x}");
    EXPECT_DOUBLE_EQ(FormatOf(*huge, "x").fontPointSize(), 1638.0);
    EXPECT_DOUBLE_EQ(huge->firstBlock().blockFormat().leftMargin(), 2112.0);
    EXPECT_EQ(Text("{\\rtf1 \\" + std::string(300, 'a') + "123 B}"), "B");
}

TEST(RtfMalformed, DeepNestingNeitherCrashesNorLosesText) {
    const std::string deep =
        "{\\rtf1 A" + std::string(100000, '{') + "\\b B" + std::string(100000, '}') + "C}";
    auto document = Load(deep);
    EXPECT_EQ(Paragraphs(*document), QStringList({"ABC"}));
    EXPECT_EQ(FormatOf(*document, "B").fontWeight(), QFont::Bold);

    const std::string unbalanced = "{\\rtf1 " + std::string(100000, '{') + "x";
    EXPECT_EQ(Text(unbalanced), "x");
    EXPECT_EQ(Text("{\\rtf1 A" + std::string(100000, '}') + "B"), "A");
}

}  // namespace
}  // namespace zk::testing
