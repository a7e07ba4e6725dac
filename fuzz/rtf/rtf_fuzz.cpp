// Feeds arbitrary bytes to the help-page loader: the rich-text parser on its own, with a sink
// that checks what it is told, then the whole load into a QTextDocument.
#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "richtextfile.h"
#include "rtfparser.h"
#include "streamfile.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool IsSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// What the parser promises: runs are never empty, hold no NUL and no unpaired surrogate, sizes
// and lengths (of pictures too) stay in their ranges, and the document ends exactly once, after
// everything else.
class CheckingSink : public zk::rtf::Sink {
  public:
    void Text(std::u16string_view text, const zk::rtf::TextStyle& style) override {
        Require(!ended_);
        Require(!text.empty());
        for (std::size_t i = 0; i < text.size(); ++i) {
            Require(text[i] != 0);
            if (text[i] >= 0xD800 && text[i] <= 0xDBFF) {
                Require(i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF);
                ++i;
            } else {
                Require(!IsSurrogate(text[i]));
            }
        }
        Require(style.halfPoints >= 1 && style.halfPoints <= 3276);
        for (const char16_t unit : style.fontName) {
            Require(unit != 0);
        }
    }
    void Picture(const zk::rtf::PictureData& picture) override {
        Require(!ended_);
        Require(picture.bytes.size() <= zk::rtf::kMaxPictureBytes);
        Require(picture.width >= 0 && picture.height >= 0);
        Require(picture.goalWidth >= 0 && picture.goalWidth <= 31680);
        Require(picture.goalHeight >= 0 && picture.goalHeight <= 31680);
        Require(picture.scaleX >= 1 && picture.scaleX <= 1000);
        Require(picture.scaleY >= 1 && picture.scaleY <= 1000);
    }
    void EndParagraph(const zk::rtf::ParagraphStyle& style) override {
        Require(!ended_);
        Check(style);
    }
    void EndDocument(const zk::rtf::ParagraphStyle& style) override {
        Require(!ended_);
        Check(style);
        ended_ = true;
    }
    bool ended() const { return ended_; }

  private:
    static void Check(const zk::rtf::ParagraphStyle& style) {
        for (const int twips : {style.leftIndent, style.rightIndent, style.firstLineIndent,
                                style.spaceBefore, style.spaceAfter}) {
            Require(twips >= -31680 && twips <= 31680);
        }
    }

    bool ended_ = false;
};

QTextDocument* document = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static char name[] = "rtf_fuzz";
    static char platform[] = "-platform";
    static char offscreen[] = "offscreen";
    static int argc = 3;
    static char* argv[] = {name, platform, offscreen, nullptr};
    new QGuiApplication(argc, argv);  // kept for the whole run
    document = new QTextDocument;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    CheckingSink sink;
    zk::rtf::ParseRtf(bytes, sink);
    Require(sink.ended());

    try {
        zk::LoadRichText(*document, bytes);
        Require(zk::rtf::IsRichTextStream(bytes) || bytes.find('\0') == std::string_view::npos);
    } catch (const zk::StreamLoadError&) {
        Require(!zk::rtf::IsRichTextStream(bytes) && bytes.find('\0') != std::string_view::npos);
    }
    return 0;
}
