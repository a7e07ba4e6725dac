#include "rtfparser.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <unordered_map>
#include <vector>

#include "codepage.h"

namespace zk::rtf {

namespace {

// Groups nested deeper than this share the state of the deepest one: real documents stay far
// below it, and a stream of braces cannot make the state stack grow without bound.
constexpr std::size_t kMaxDepth = 1000;
// Parameters are read in full but held to the int range.
constexpr long long kParameterLimit = 0x7FFFFFFF;
constexpr int kMaxTwips = 31680;      // 22 inches
constexpr int kMaxHalfPoints = 3276;  // 1638 points
constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxScale = 1000;  // percent
constexpr char16_t kLineBreak = u'\u2028';

enum class Destination : std::uint8_t {
    Body,
    Skip,
    FontTable,
    ColorTable,
    UprAnsi,  // the plain-text half of \upr: hidden, its \ud half is shown
    Picture,  // \pict: hex digits are the picture's data
};

enum class Word : std::uint8_t {
    Unknown,
    SkippedDestination,
    FontTable,
    ColorTable,
    Upr,
    Ud,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    FontSize,
    Font,
    Color,
    Background,
    Superscript,
    Subscript,
    NoSuperSub,
    Plain,
    ParagraphDefault,
    AlignLeft,
    AlignRight,
    AlignCenter,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstLineIndent,
    SpaceBefore,
    SpaceAfter,
    Paragraph,
    LineBreak,
    Tab,
    Character,
    Unicode,
    UnicodeSkip,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    Charset,
    CodePage,
    FontNil,
    FontRoman,
    FontSwiss,
    FontModern,
    FontScript,
    FontDecorative,
    FontTechnical,
    Red,
    Green,
    Blue,
    Picture,
    ShapePicture,
    PictureKindPng,
    PictureKindJpeg,
    PictureKindDib,
    PictureKindDeviceBitmap,
    PictureKindWindowsMetafile,
    PictureKindEnhancedMetafile,
    PictureKindOther,
    PictureWidth,
    PictureHeight,
    PictureGoalWidth,
    PictureGoalHeight,
    PictureScaleX,
    PictureScaleY,
    PictureBitsPerPixel,
    PicturePlanes,
    PictureWidthBytes,
};

struct Keyword {
    Word word;
    char16_t character;  // for Word::Character
};

const std::unordered_map<std::string_view, Keyword>& Keywords() {
    static const std::unordered_map<std::string_view, Keyword> table = [] {
        std::unordered_map<std::string_view, Keyword> t;
        for (const char* name : {"annotation", "atnauthor", "atnid",        "author",
                                 "bkmkend",    "bkmkstart", "buptim",       "colorschememapping",
                                 "comment",    "creatim",   "datastore",    "docvar",
                                 "doccomm",    "fldinst",   "filetbl",      "footer",
                                 "footerf",    "footerl",   "footerr",      "footnote",
                                 "ftncn",      "ftnsep",    "ftnsepc",      "generator",
                                 "header",     "headerf",   "headerl",      "headerr",
                                 "info",       "keywords",  "latentstyles", "listoverridetable",
                                 "listtable",  "mmathPr",   "nonshppict",   "object",
                                 "objdata",    "operator",  "pgdsctbl",     "printim",
                                 "private",    "revtbl",    "revtim",       "rsidtbl",
                                 "rxe",        "shp",       "stylesheet",   "subject",
                                 "tc",         "template",  "themedata",    "title",
                                 "txe",        "userprops", "xe",           "xmlnstbl"}) {
            t.emplace(name, Keyword{Word::SkippedDestination, 0});
        }
        const std::pair<const char*, Word> words[] = {
            {"fonttbl", Word::FontTable},
            {"colortbl", Word::ColorTable},
            {"upr", Word::Upr},
            {"ud", Word::Ud},
            {"b", Word::Bold},
            {"i", Word::Italic},
            {"ul", Word::Underline},
            {"uld", Word::Underline},
            {"uldash", Word::Underline},
            {"uldashd", Word::Underline},
            {"uldashdd", Word::Underline},
            {"uldb", Word::Underline},
            {"ulhwave", Word::Underline},
            {"ulth", Word::Underline},
            {"ulthd", Word::Underline},
            {"ulthdash", Word::Underline},
            {"ulw", Word::Underline},
            {"ulwave", Word::Underline},
            {"ulnone", Word::UnderlineNone},
            {"strike", Word::Strike},
            {"striked", Word::Strike},
            {"v", Word::Hidden},
            {"fs", Word::FontSize},
            {"f", Word::Font},
            {"cf", Word::Color},
            {"cb", Word::Background},
            {"chcbpat", Word::Background},
            {"highlight", Word::Background},
            {"super", Word::Superscript},
            {"sub", Word::Subscript},
            {"nosupersub", Word::NoSuperSub},
            {"plain", Word::Plain},
            {"pard", Word::ParagraphDefault},
            {"ql", Word::AlignLeft},
            {"qr", Word::AlignRight},
            {"qc", Word::AlignCenter},
            {"qj", Word::AlignJustify},
            {"qd", Word::AlignJustify},
            {"li", Word::LeftIndent},
            {"lin", Word::LeftIndent},
            {"ri", Word::RightIndent},
            {"rin", Word::RightIndent},
            {"fi", Word::FirstLineIndent},
            {"sb", Word::SpaceBefore},
            {"sa", Word::SpaceAfter},
            {"par", Word::Paragraph},
            {"sect", Word::Paragraph},
            {"page", Word::Paragraph},
            {"column", Word::Paragraph},
            {"row", Word::Paragraph},
            {"line", Word::LineBreak},
            {"tab", Word::Tab},
            {"cell", Word::Tab},
            {"nestcell", Word::Tab},
            {"u", Word::Unicode},
            {"uc", Word::UnicodeSkip},
            {"ansi", Word::Ansi},
            {"mac", Word::Mac},
            {"pc", Word::Pc},
            {"pca", Word::Pca},
            {"ansicpg", Word::AnsiCodePage},
            {"deff", Word::DefaultFont},
            {"fcharset", Word::Charset},
            {"cpg", Word::CodePage},
            {"fnil", Word::FontNil},
            {"froman", Word::FontRoman},
            {"fswiss", Word::FontSwiss},
            {"fmodern", Word::FontModern},
            {"fscript", Word::FontScript},
            {"fdecor", Word::FontDecorative},
            {"ftech", Word::FontTechnical},
            {"fbidi", Word::FontNil},
            {"red", Word::Red},
            {"green", Word::Green},
            {"blue", Word::Blue},
            {"pict", Word::Picture},
            {"shppict", Word::ShapePicture},
            {"pngblip", Word::PictureKindPng},
            {"jpegblip", Word::PictureKindJpeg},
            {"dibitmap", Word::PictureKindDib},
            {"wbitmap", Word::PictureKindDeviceBitmap},
            {"wmetafile", Word::PictureKindWindowsMetafile},
            {"emfblip", Word::PictureKindEnhancedMetafile},
            {"macpict", Word::PictureKindOther},
            {"pmmetafile", Word::PictureKindOther},
            {"picw", Word::PictureWidth},
            {"pich", Word::PictureHeight},
            {"picwgoal", Word::PictureGoalWidth},
            {"pichgoal", Word::PictureGoalHeight},
            {"picscalex", Word::PictureScaleX},
            {"picscaley", Word::PictureScaleY},
            {"wbmbitspixel", Word::PictureBitsPerPixel},
            {"wbmplanes", Word::PicturePlanes},
            {"wbmwidthbytes", Word::PictureWidthBytes},
        };
        for (const auto& [name, word] : words) {
            t.emplace(name, Keyword{word, 0});
        }
        const std::pair<const char*, char16_t> characters[] = {
            {"emdash", u'\u2014'},    {"endash", u'\u2013'},  {"bullet", u'\u2022'},
            {"lquote", u'\u2018'},    {"rquote", u'\u2019'},  {"ldblquote", u'\u201C'},
            {"rdblquote", u'\u201D'}, {"emspace", u'\u2003'}, {"enspace", u'\u2002'},
            {"qmspace", u'\u2005'},   {"zwj", u'\u200D'},     {"zwnj", u'\u200C'},
            {"zwbo", u'\u200B'},      {"ltrmark", u'\u200E'}, {"rtlmark", u'\u200F'},
        };
        for (const auto& [name, character] : characters) {
            t.emplace(name, Keyword{Word::Character, character});
        }
        return t;
    }();
    return table;
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

int Twips(int value) {
    return std::clamp(value, -kMaxTwips, kMaxTwips);
}

bool Toggle(bool hasParameter, int parameter) {
    return !hasParameter || parameter != 0;
}

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    Baseline baseline = Baseline::Normal;
    int halfPoints = kDefaultHalfPoints;
    int font = -1;
    int color = 0;
    int background = 0;

    bool operator==(const CharState&) const = default;
};

struct GroupState {
    Destination destination = Destination::Body;
    int unicodeSkip = 1;  // \ucN: fallback characters after each \uN
    CharState chars;
    ParagraphStyle paragraph;
};

struct FontEntry {
    std::u16string name;
    std::string pendingBytes;
    bool nameDone = false;
    FontKind kind = FontKind::Default;
    int charsetCodePage = 0;
    int explicitCodePage = 0;
    bool symbolName = false;  // named like the Symbol font
};

class Parser {
  public:
    Parser(std::string_view input, Sink& sink) : in_(input), sink_(sink) { stack_.emplace_back(); }

    void Run() {
        while (pos_ < in_.size() && !done_) {
            const char c = in_[pos_++];
            switch (c) {
                case '{':
                    skipUnits_ = 0;
                    ignorable_ = false;
                    OpenGroup();
                    break;
                case '}':
                    skipUnits_ = 0;
                    ignorable_ = false;
                    CloseGroup();
                    break;
                case '\\':
                    ControlSequence();
                    break;
                case '\r':
                case '\n':
                case '\0':
                    break;
                default:
                    ignorable_ = false;
                    if (skipUnits_ > 0) {
                        --skipUnits_;
                    } else {
                        Character(static_cast<unsigned char>(c));
                    }
                    break;
            }
        }
        if (!done_) {
            Finish(State().paragraph);
        }
    }

  private:
    GroupState& State() { return stack_.back(); }

    void OpenGroup() {
        if (stack_.size() > kMaxDepth) {
            ++excessDepth_;
        } else {
            stack_.push_back(stack_.back());
        }
    }

    void CloseGroup() {
        if (excessDepth_ > 0) {
            --excessDepth_;
            return;
        }
        if (stack_.size() <= 1) {
            return;  // a stray brace outside every group
        }
        if (State().destination == Destination::FontTable) {
            FinishFontName();
        }
        if (pictureDepth_ == stack_.size()) {
            EndPicture();
        }
        if (stack_.size() == 2) {
            Finish(State().paragraph);  // the final brace: the rest of the stream is ignored
            return;
        }
        stack_.pop_back();
    }

    void Finish(const ParagraphStyle& lastParagraph) {
        if (pictureDepth_ != 0) {
            EndPicture();  // the stream ends inside the picture: what was read of it is shown
        }
        FlushRun();
        sink_.EndDocument(pendingParagraph_ ? *pendingParagraph_ : lastParagraph);
        done_ = true;
    }

    void ControlSequence() {
        if (pos_ >= in_.size()) {
            return;
        }
        const char c = in_[pos_];
        if (IsLetter(c)) {
            ControlWord();
            return;
        }
        ++pos_;
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && pos_ < in_.size() && HexValue(in_[pos_]) >= 0) {
                value = value * 16 + HexValue(in_[pos_]);
                ++pos_;
                ++digits;
            }
            ignorable_ = false;
            if (skipUnits_ > 0) {
                --skipUnits_;
            } else if (digits > 0 && value != 0) {  // \'00 is no text
                Byte(static_cast<unsigned char>(value));
            }
            return;
        }
        if (c == '*') {
            ignorable_ = true;
            return;
        }
        ignorable_ = false;
        if (skipUnits_ > 0) {
            --skipUnits_;
            return;
        }
        Symbol(c);
    }

    void ControlWord() {
        const std::size_t start = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) {
            ++pos_;
        }
        const std::string_view name = in_.substr(start, pos_ - start);
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        bool hasParameter = false;
        long long value = 0;
        while (pos_ < in_.size() && IsDigit(in_[pos_])) {
            hasParameter = true;
            value = std::min(value * 10 + (in_[pos_] - '0'), kParameterLimit);
            ++pos_;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') {
            ++pos_;
        }
        const int parameter = static_cast<int>(negative ? -value : value);
        const bool ignorable = ignorable_;
        ignorable_ = false;

        if (name == "bin") {
            // Raw bytes follow, braces and backslashes among them; they carry no text, but they
            // may be a picture's data.
            if (parameter > 0) {
                const std::size_t count =
                    std::min(static_cast<std::size_t>(parameter), in_.size() - pos_);
                if (State().destination == Destination::Picture) {
                    AppendPictureBytes(in_.substr(pos_, count));
                }
                pos_ += count;
            }
            if (skipUnits_ > 0) {
                --skipUnits_;
            }
            return;
        }
        if (skipUnits_ > 0) {
            --skipUnits_;
            return;
        }
        Control(name, hasParameter, parameter, ignorable);
    }

    void Control(std::string_view name, bool hasParameter, int parameter, bool ignorable) {
        const auto& keywords = Keywords();
        const auto found = keywords.find(name);
        const Keyword keyword = found == keywords.end() ? Keyword{Word::Unknown, 0} : found->second;
        GroupState& state = State();
        switch (state.destination) {
            case Destination::Skip:
                return;
            case Destination::UprAnsi:
                if (keyword.word == Word::Ud) {
                    state.destination = Destination::Body;
                }
                return;
            default:
                break;
        }
        if (keyword.word == Word::Ud || keyword.word == Word::ShapePicture) {
            // Outside \upr the text of \ud is ordinary text; \shppict holds the picture to show.
            return;
        }
        if (ignorable || keyword.word == Word::SkippedDestination) {
            state.destination = Destination::Skip;
            return;
        }
        if (keyword.word == Word::UnicodeSkip) {
            state.unicodeSkip = hasParameter ? std::clamp(parameter, 0, 0xFFFF) : 1;
            return;
        }
        if (keyword.word == Word::Unicode) {
            if (hasParameter) {
                // A signed 16-bit value; anything outside that range is malformed.
                Unicode(parameter >= -0x8000 && parameter <= 0xFFFF
                            ? static_cast<char16_t>(parameter & 0xFFFF)
                            : u'\uFFFD');
            }
            skipUnits_ = state.unicodeSkip;
            return;
        }
        switch (state.destination) {
            case Destination::FontTable:
                FontTableControl(keyword.word, hasParameter, parameter);
                return;
            case Destination::ColorTable:
                ColorTableControl(keyword.word, parameter);
                return;
            case Destination::Picture:
                PictureControl(keyword.word, hasParameter, parameter);
                return;
            default:
                BodyControl(keyword, hasParameter, parameter);
                return;
        }
    }

    void BodyControl(const Keyword& keyword, bool hasParameter, int parameter) {
        GroupState& state = State();
        CharState& chars = state.chars;
        ParagraphStyle& paragraph = state.paragraph;
        switch (keyword.word) {
            case Word::FontTable:
                state.destination = Destination::FontTable;
                currentFont_ = nullptr;
                break;
            case Word::ColorTable:
                state.destination = Destination::ColorTable;
                StartColor();
                break;
            case Word::Upr:
                state.destination = Destination::UprAnsi;
                break;
            case Word::Picture:
                StartPicture();
                break;
            case Word::Bold:
                chars.bold = Toggle(hasParameter, parameter);
                break;
            case Word::Italic:
                chars.italic = Toggle(hasParameter, parameter);
                break;
            case Word::Underline:
                chars.underline = Toggle(hasParameter, parameter);
                break;
            case Word::UnderlineNone:
                chars.underline = false;
                break;
            case Word::Strike:
                chars.strike = Toggle(hasParameter, parameter);
                break;
            case Word::Hidden:
                chars.hidden = Toggle(hasParameter, parameter);
                break;
            case Word::FontSize:
                chars.halfPoints = hasParameter && parameter > 0
                                       ? std::min(parameter, kMaxHalfPoints)
                                       : kDefaultHalfPoints;
                break;
            case Word::Font:
                if (hasParameter) {
                    chars.font = parameter;
                }
                break;
            case Word::Color:
                chars.color = std::max(parameter, 0);
                break;
            case Word::Background:
                chars.background = std::max(parameter, 0);
                break;
            case Word::Superscript:
                chars.baseline = Baseline::Superscript;
                break;
            case Word::Subscript:
                chars.baseline = Baseline::Subscript;
                break;
            case Word::NoSuperSub:
                chars.baseline = Baseline::Normal;
                break;
            case Word::Plain:
                chars = CharState{};
                chars.font = defaultFont_;
                break;
            case Word::ParagraphDefault:
                paragraph = ParagraphStyle{};
                break;
            case Word::AlignLeft:
                paragraph.alignment = Alignment::Left;
                break;
            case Word::AlignRight:
                paragraph.alignment = Alignment::Right;
                break;
            case Word::AlignCenter:
                paragraph.alignment = Alignment::Center;
                break;
            case Word::AlignJustify:
                paragraph.alignment = Alignment::Justify;
                break;
            case Word::LeftIndent:
                paragraph.leftIndent = Twips(parameter);
                break;
            case Word::RightIndent:
                paragraph.rightIndent = Twips(parameter);
                break;
            case Word::FirstLineIndent:
                paragraph.firstLineIndent = Twips(parameter);
                break;
            case Word::SpaceBefore:
                paragraph.spaceBefore = std::clamp(parameter, 0, kMaxTwips);
                break;
            case Word::SpaceAfter:
                paragraph.spaceAfter = std::clamp(parameter, 0, kMaxTwips);
                break;
            case Word::Paragraph:
                EndParagraph();
                break;
            case Word::LineBreak:
                Unit(kLineBreak);
                break;
            case Word::Tab:
                Unit(u'\t');
                break;
            case Word::Character:
                Unit(keyword.character);
                break;
            case Word::Ansi:
                ansiCodePage_ = 1252;
                break;
            case Word::Mac:
                ansiCodePage_ = 10000;
                break;
            case Word::Pc:
                ansiCodePage_ = 437;
                break;
            case Word::Pca:
                ansiCodePage_ = 850;
                break;
            case Word::AnsiCodePage:
                if (parameter > 0) {
                    ansiCodePage_ = parameter;
                }
                break;
            case Word::DefaultFont:
                if (hasParameter) {
                    defaultFont_ = parameter;
                    chars.font = parameter;
                }
                break;
            default:
                break;  // unknown words and the words of other destinations are ignored
        }
    }

    void FontTableControl(Word word, bool hasParameter, int parameter) {
        if (word == Word::Font) {
            if (hasParameter) {
                FinishFontName();
                currentFont_ = &fonts_[parameter];
                *currentFont_ = FontEntry{};
            }
            return;
        }
        if (currentFont_ == nullptr) {
            return;
        }
        switch (word) {
            case Word::Charset:
                currentFont_->charsetCodePage = CodePageOfCharset(parameter);
                break;
            case Word::CodePage:
                currentFont_->explicitCodePage = std::max(parameter, 0);
                break;
            case Word::FontNil:
                currentFont_->kind = FontKind::Default;
                break;
            case Word::FontRoman:
                currentFont_->kind = FontKind::Roman;
                break;
            case Word::FontSwiss:
                currentFont_->kind = FontKind::Swiss;
                break;
            case Word::FontModern:
                currentFont_->kind = FontKind::Modern;
                break;
            case Word::FontScript:
                currentFont_->kind = FontKind::Script;
                break;
            case Word::FontDecorative:
                currentFont_->kind = FontKind::Decorative;
                break;
            case Word::FontTechnical:
                currentFont_->kind = FontKind::Technical;
                break;
            default:
                break;
        }
    }

    void ColorTableControl(Word word, int parameter) {
        const auto component = static_cast<std::uint32_t>(std::clamp(parameter, 0, 255));
        switch (word) {
            case Word::Red:
                color_ = (color_ & 0x00FFFFu) | (component << 16);
                break;
            case Word::Green:
                color_ = (color_ & 0xFF00FFu) | (component << 8);
                break;
            case Word::Blue:
                color_ = (color_ & 0xFFFF00u) | component;
                break;
            default:
                return;
        }
        colorGiven_ = true;
    }

    void PictureControl(Word word, bool hasParameter, int parameter) {
        const int size = std::max(parameter, 0);
        const int scale = hasParameter && parameter > 0 ? std::min(parameter, kMaxScale) : 100;
        switch (word) {
            case Word::PictureKindPng:
                picture_.kind = PictureKind::Png;
                break;
            case Word::PictureKindJpeg:
                picture_.kind = PictureKind::Jpeg;
                break;
            case Word::PictureKindDib:
                picture_.kind = PictureKind::Dib;
                break;
            case Word::PictureKindDeviceBitmap:
                picture_.kind = PictureKind::DeviceBitmap;
                break;
            case Word::PictureKindWindowsMetafile:
                picture_.kind = PictureKind::WindowsMetafile;
                break;
            case Word::PictureKindEnhancedMetafile:
                picture_.kind = PictureKind::EnhancedMetafile;
                break;
            case Word::PictureKindOther:
                picture_.kind = PictureKind::Other;
                break;
            case Word::PictureWidth:
                picture_.width = size;
                break;
            case Word::PictureHeight:
                picture_.height = size;
                break;
            case Word::PictureGoalWidth:
                picture_.goalWidth = std::min(size, kMaxTwips);
                break;
            case Word::PictureGoalHeight:
                picture_.goalHeight = std::min(size, kMaxTwips);
                break;
            case Word::PictureScaleX:
                picture_.scaleX = scale;
                break;
            case Word::PictureScaleY:
                picture_.scaleY = scale;
                break;
            case Word::PictureBitsPerPixel:
                picture_.bitsPerPixel = size;
                break;
            case Word::PicturePlanes:
                picture_.planes = size;
                break;
            case Word::PictureWidthBytes:
                picture_.widthBytes = size;
                break;
            default:
                break;  // \bliptag, \picbmp and the like tell nothing needed to show it
        }
    }

    // A \pict group begins. Its picture is handed on when the group closes; a picture inside
    // another one is part of the outer picture's description and is not read.
    void StartPicture() {
        State().destination = Destination::Picture;
        picture_ = PictureData{};
        pictureDepth_ = stack_.size();
        pictureHidden_ = State().chars.hidden;
        pictureNibble_ = -1;
        pictureOverflow_ = false;
    }

    void PictureDigit(unsigned char c) {
        const int value = HexValue(static_cast<char>(c));
        if (value < 0) {
            return;  // blanks between the digits, or something that has no place there
        }
        if (pictureNibble_ < 0) {
            pictureNibble_ = value;
            return;
        }
        const char byte = static_cast<char>(pictureNibble_ * 16 + value);
        pictureNibble_ = -1;
        AppendPictureBytes(std::string_view(&byte, 1));
    }

    void AppendPictureBytes(std::string_view bytes) {
        if (pictureOverflow_) {
            return;
        }
        if (bytes.size() > kMaxPictureBytes - picture_.bytes.size()) {
            pictureOverflow_ = true;
            std::string().swap(picture_.bytes);
            return;
        }
        picture_.bytes += bytes;
    }

    void EndPicture() {
        pictureDepth_ = 0;
        if (!pictureHidden_) {
            if (pendingParagraph_) {
                sink_.EndParagraph(*pendingParagraph_);
                pendingParagraph_.reset();
            }
            FlushRun();
            sink_.Picture(picture_);
        }
        picture_ = PictureData{};
    }

    void StartColor() {
        color_ = 0;
        colorGiven_ = false;
    }

    void Symbol(char c) {
        switch (c) {
            case '\\':
            case '{':
            case '}':
                Character(static_cast<unsigned char>(c));
                break;
            case '~':
                BodyUnit(u'\u00A0');
                break;
            case '_':
                BodyUnit(u'\u2011');
                break;
            case '\r':
            case '\n':
                if (State().destination == Destination::Body) {
                    EndParagraph();
                }
                break;
            case '\t':
                BodyUnit(u'\t');
                break;
            default:
                break;  // \- optional hyphen, \: index entry, \| formula: nothing to show
        }
    }

    // A text byte, as read or from \'hh.
    void Character(unsigned char c) {
        switch (State().destination) {
            case Destination::Body:
                if (c == '\t') {
                    Unit(u'\t');
                } else if (InSymbolFont()) {
                    if (c >= 0x20) {
                        Unit(SymbolFontCharacter(c));
                    }
                } else if (c >= 0x80 || !runBytes_.empty()) {
                    Byte(c);
                } else if (c >= 0x20) {
                    Unit(c);
                }
                break;
            case Destination::FontTable:
                if (c == ';') {
                    FinishFontName();
                } else if (currentFont_ != nullptr && !currentFont_->nameDone) {
                    currentFont_->pendingBytes += static_cast<char>(c);
                }
                break;
            case Destination::ColorTable:
                if (c == ';') {
                    colors_.push_back(colorGiven_ ? std::optional<std::uint32_t>(color_)
                                                  : std::nullopt);
                    StartColor();
                }
                break;
            case Destination::Picture:
                PictureDigit(c);
                break;
            default:
                break;
        }
    }

    void Byte(unsigned char c) {
        const Destination destination = State().destination;
        if (destination == Destination::FontTable) {
            Character(c);
            return;
        }
        if (destination != Destination::Body || State().chars.hidden) {
            return;
        }
        if (InSymbolFont()) {
            Unit(SymbolFontCharacter(c));
            return;
        }
        BeginText();
        const int codePage = CurrentCodePage();
        if (!runBytes_.empty() && codePage != runCodePage_) {
            FlushBytes();
        }
        runBytes_ += static_cast<char>(c);
        runCodePage_ = codePage;
    }

    void Unicode(char16_t unit) {
        if (unit == 0) {
            return;
        }
        switch (State().destination) {
            case Destination::Body:
                // The Symbol font's characters may come as U+F000 + code, the place Windows
                // gives them.
                if (unit >= 0xF000 && unit <= 0xF0FF && InSymbolFont()) {
                    Unit(SymbolFontCharacter(static_cast<unsigned char>(unit - 0xF000)));
                } else {
                    Unit(unit);
                }
                break;
            case Destination::FontTable:
                if (currentFont_ != nullptr && !currentFont_->nameDone) {
                    DecodeFontBytes(*currentFont_);
                    currentFont_->name += unit;
                }
                break;
            default:
                break;
        }
    }

    void BodyUnit(char16_t unit) {
        if (State().destination == Destination::Body) {
            Unit(unit);
        }
    }

    void Unit(char16_t unit) {
        if (State().chars.hidden) {
            return;
        }
        BeginText();
        FlushBytes();
        runText_ += unit;
    }

    // Text follows: the paragraph ended before it is handed on, and a style change starts a run.
    void BeginText() {
        if (pendingParagraph_) {
            sink_.EndParagraph(*pendingParagraph_);
            pendingParagraph_.reset();
        }
        if (State().chars != runChars_) {
            FlushRun();
            runChars_ = State().chars;
        }
    }

    // The end of a paragraph is held back until more text comes, so that a \par that is last
    // in the stream closes the last paragraph rather than opening an empty one.
    void EndParagraph() {
        FlushRun();
        if (pendingParagraph_) {
            sink_.EndParagraph(*pendingParagraph_);
        }
        pendingParagraph_ = State().paragraph;
    }

    void FlushBytes() {
        if (!runBytes_.empty()) {
            decoder_.Decode(runBytes_, runCodePage_, runText_);
            runBytes_.clear();
        }
    }

    void FlushRun() {
        FlushBytes();
        if (!runText_.empty()) {
            ReplaceLoneSurrogates(runText_);
            sink_.Text(runText_, Resolve(runChars_));
            runText_.clear();
        }
    }

    int CodePageOf(const FontEntry& font) const {
        if (font.explicitCodePage != 0) {
            return font.explicitCodePage;
        }
        return font.charsetCodePage != 0 ? font.charsetCodePage : ansiCodePage_;
    }

    int CurrentCodePage() const {
        const auto found = fonts_.find(stack_.back().chars.font);
        return found == fonts_.end() ? ansiCodePage_ : CodePageOf(found->second);
    }

    // The current font is the Symbol font: its codes stand for the characters it draws.
    bool InSymbolFont() const {
        const auto found = fonts_.find(stack_.back().chars.font);
        return found != fonts_.end() && found->second.symbolName &&
               CodePageOf(found->second) == kSymbolCodePage;
    }

    void DecodeFontBytes(FontEntry& font) {
        if (!font.pendingBytes.empty()) {
            // A font name is text in the document's code page even when the font's own
            // characters are symbols.
            const int codePage = CodePageOf(font);
            decoder_.Decode(font.pendingBytes,
                            codePage == kSymbolCodePage ? ansiCodePage_ : codePage, font.name);
            font.pendingBytes.clear();
        }
    }

    void FinishFontName() {
        if (currentFont_ == nullptr || currentFont_->nameDone) {
            return;
        }
        DecodeFontBytes(*currentFont_);
        std::u16string& name = currentFont_->name;
        const auto first = name.find_first_not_of(u' ');
        name = first == std::u16string::npos
                   ? std::u16string()
                   : name.substr(first, name.find_last_not_of(u' ') - first + 1);
        ReplaceLoneSurrogates(name);
        currentFont_->symbolName = IsSymbolFontName(name);
        currentFont_->nameDone = true;
    }

    std::optional<std::uint32_t> ColorAt(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= colors_.size()) {
            return std::nullopt;
        }
        return colors_[static_cast<std::size_t>(index)];
    }

    TextStyle Resolve(const CharState& chars) const {
        TextStyle style;
        style.bold = chars.bold;
        style.italic = chars.italic;
        style.underline = chars.underline;
        style.strike = chars.strike;
        style.baseline = chars.baseline;
        style.halfPoints = chars.halfPoints;
        style.color = ColorAt(chars.color);
        style.background = chars.background > 0 ? ColorAt(chars.background) : std::nullopt;
        const auto font = fonts_.find(chars.font);
        if (font != fonts_.end()) {
            style.fontName = font->second.name;
            style.fontKind = font->second.kind;
        }
        return style;
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    Sink& sink_;
    bool done_ = false;

    std::vector<GroupState> stack_;
    std::size_t excessDepth_ = 0;
    int skipUnits_ = 0;       // fallback characters still to skip after a \uN
    bool ignorable_ = false;  // \* seen: the next control word opens a destination to skip

    int ansiCodePage_ = 1252;
    int defaultFont_ = -1;
    std::map<int, FontEntry> fonts_;
    FontEntry* currentFont_ = nullptr;  // the font table entry being read
    std::vector<std::optional<std::uint32_t>> colors_;
    std::uint32_t color_ = 0;
    bool colorGiven_ = false;

    PictureData picture_;           // the picture being read
    std::size_t pictureDepth_ = 0;  // the depth of its \pict group; 0: none being read
    bool pictureHidden_ = false;
    int pictureNibble_ = -1;  // the first hex digit of a byte, until the second comes
    bool pictureOverflow_ = false;

    CodePageDecoder decoder_;
    CharState runChars_;
    std::u16string runText_;
    std::string runBytes_;  // bytes of the run not yet decoded, all in runCodePage_
    int runCodePage_ = 1252;
    std::optional<ParagraphStyle> pendingParagraph_;
};

}  // namespace

bool IsRichTextStream(std::string_view bytes) {
    return bytes.starts_with("{\\rtf") || bytes.starts_with("{\\urtf");
}

void ParseRtf(std::string_view bytes, Sink& sink) {
    Parser(bytes, sink).Run();
}

}  // namespace zk::rtf
