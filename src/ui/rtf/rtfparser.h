// The rich-text (RTF) reader: bytes in, styled text runs, pictures and paragraph ends out. It
// knows no widget toolkit; a Sink turns what it reads into a document.
//
// Understood: groups, \par \line \tab, bold, italic, underline, strike-through, hidden text,
// super- and subscript, font sizes, the colour table (\cf, \cb, \highlight), the font table with
// \fcharset and \cpg code pages, \ansicpg, \'hh escapes, \uN with \ucN fallback skipping,
// alignment, indents and paragraph spacing. Text in the Symbol font (a font of the Symbol
// character set, \fcharset2, named Symbol) comes out as the Unicode characters that font shows:
// the bullet \'b7 of a list as U+2022, Greek letters, mathematical signs, arrows; its characters
// given as U+F0xx too. Other Symbol-character-set fonts (Wingdings and the like) give U+F000 +
// code. Pictures (\pict) are handed on with their kind, data (hex digits or \binN bytes) and sizes;
// Word's {\*\shppict{\pict ...}} is read and its {\nonshppict ...} fallback skipped.
// Skipped: other ignorable \* destinations, objects, shapes, headers, footers, the style sheet,
// the document information and the like, \binN data outside pictures.
// Malformed input never fails: unbalanced braces, deep nesting, huge parameters, cut-off escapes
// and broken picture data are read as far as they make sense; picture data beyond
// kMaxPictureBytes is dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zk::rtf {

enum class Alignment : std::uint8_t { Left, Right, Center, Justify };
enum class FontKind : std::uint8_t { Default, Roman, Swiss, Modern, Script, Decorative, Technical };
enum class Baseline : std::uint8_t { Normal, Superscript, Subscript };

struct TextStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    Baseline baseline = Baseline::Normal;
    int halfPoints = 24;                      // font size in half points
    std::optional<std::uint32_t> color;       // 0xRRGGBB; none: the automatic colour
    std::optional<std::uint32_t> background;  // 0xRRGGBB; none: no background
    std::u16string fontName;                  // empty: the default font
    FontKind fontKind = FontKind::Default;

    bool operator==(const TextStyle&) const = default;
};

// Lengths in twips (1/1440 inch).
struct ParagraphStyle {
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;

    bool operator==(const ParagraphStyle&) const = default;
};

enum class PictureKind : std::uint8_t {
    Png,               // \pngblip
    Jpeg,              // \jpegblip
    Dib,               // \dibitmap: a device-independent bitmap without its file header
    DeviceBitmap,      // \wbitmap: bare rows of pixels, described by the \wbm... words
    WindowsMetafile,   // \wmetafile
    EnhancedMetafile,  // \emfblip
    Other,             // \macpict, \pmmetafile, or no kind given
};

// The data of one picture is kept up to this size; a larger picture comes with none.
inline constexpr std::size_t kMaxPictureBytes = 32u << 20;

// A picture as the document describes it. Sizes are 0 when not given.
struct PictureData {
    PictureKind kind = PictureKind::Other;
    std::string bytes;  // empty when the data was missing or larger than kMaxPictureBytes
    int width = 0;      // \picw, \pich: pixels for bitmaps, 0.01 mm for metafiles
    int height = 0;
    int goalWidth = 0;  // \picwgoal, \pichgoal: the size to show, in twips (at most 22 inches)
    int goalHeight = 0;
    int scaleX = 100;  // \picscalex, \picscaley: percent of that size (1..1000)
    int scaleY = 100;
    int bitsPerPixel = 0;  // \wbmbitspixel, \wbmplanes, \wbmwidthbytes: for DeviceBitmap
    int planes = 0;
    int widthBytes = 0;
};

class Sink {
  public:
    virtual ~Sink() = default;
    // A run of text in one style. Tabs are U+0009, line breaks U+2028.
    virtual void Text(std::u16string_view text, const TextStyle& style) = 0;
    // A picture, at the place of one character of text.
    virtual void Picture(const PictureData& picture) = 0;
    // The current paragraph ends; `style` is its paragraph formatting. A new one begins.
    virtual void EndParagraph(const ParagraphStyle& style) = 0;
    // The text ends; `style` is the formatting of the last paragraph. Called exactly once.
    virtual void EndDocument(const ParagraphStyle& style) = 0;
};

// True when the stream is taken as rich text: it begins with "{\rtf" or "{\urtf", nothing before.
bool IsRichTextStream(std::string_view bytes);

// Reads the rich text in `bytes` into `sink`. Reading stops at the brace that closes the
// outermost group; a \par just before that brace ends the last paragraph instead of opening an
// empty one.
void ParseRtf(std::string_view bytes, Sink& sink);

}  // namespace zk::rtf
