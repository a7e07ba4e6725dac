#include "richtextfile.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "rtfparser.h"

namespace zk {

namespace {

// Twips to the document's pixels at 96 dots per inch.
qreal Pixels(int twips) {
    return twips / 15.0;
}

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QFont::StyleHint StyleHintOf(rtf::FontKind kind) {
    switch (kind) {
        case rtf::FontKind::Roman:
            return QFont::Serif;
        case rtf::FontKind::Swiss:
            return QFont::SansSerif;
        case rtf::FontKind::Modern:
            return QFont::TypeWriter;
        case rtf::FontKind::Script:
            return QFont::Cursive;
        case rtf::FontKind::Decorative:
            return QFont::Decorative;
        default:
            return QFont::AnyStyle;
    }
}

QTextCharFormat CharFormatOf(const rtf::TextStyle& style) {
    QTextCharFormat format;
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    format.setFontStrikeOut(style.strike);
    format.setFontPointSize(style.halfPoints / 2.0);
    if (style.baseline == rtf::Baseline::Superscript) {
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    } else if (style.baseline == rtf::Baseline::Subscript) {
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    }
    if (style.color) {
        format.setForeground(QColor::fromRgb(static_cast<QRgb>(*style.color)));
    }
    if (style.background) {
        format.setBackground(QColor::fromRgb(static_cast<QRgb>(*style.background)));
    }
    if (!style.fontName.empty()) {
        format.setFontFamilies(QStringList{ToQString(style.fontName)});
    }
    if (style.fontKind != rtf::FontKind::Default) {
        format.setFontStyleHint(StyleHintOf(style.fontKind));
    }
    return format;
}

QTextBlockFormat BlockFormatOf(const rtf::ParagraphStyle& style) {
    QTextBlockFormat format;
    switch (style.alignment) {
        case rtf::Alignment::Left:
            format.setAlignment(Qt::AlignLeft);
            break;
        case rtf::Alignment::Right:
            format.setAlignment(Qt::AlignRight);
            break;
        case rtf::Alignment::Center:
            format.setAlignment(Qt::AlignHCenter);
            break;
        case rtf::Alignment::Justify:
            format.setAlignment(Qt::AlignJustify);
            break;
    }
    format.setLeftMargin(Pixels(style.leftIndent));
    format.setRightMargin(Pixels(style.rightIndent));
    format.setTextIndent(Pixels(style.firstLineIndent));
    format.setTopMargin(Pixels(style.spaceBefore));
    format.setBottomMargin(Pixels(style.spaceAfter));
    return format;
}

// Builds the document at a cursor. Each paragraph gets its block format when it ends, as in
// rich text the paragraph formatting in force at \par belongs to the paragraph it closes.
class DocumentBuilder : public rtf::Sink {
  public:
    explicit DocumentBuilder(QTextDocument& document) : cursor_(&document) {}

    void Text(std::u16string_view text, const rtf::TextStyle& style) override {
        if (!(style == lastStyle_) || !haveFormat_) {
            lastStyle_ = style;
            lastFormat_ = CharFormatOf(style);
            haveFormat_ = true;
        }
        cursor_.insertText(ToQString(text), lastFormat_);
    }

    void EndParagraph(const rtf::ParagraphStyle& style) override {
        cursor_.setBlockFormat(BlockFormatOf(style));
        // An empty paragraph keeps the height of the text before it.
        cursor_.insertBlock(QTextBlockFormat(), haveFormat_ ? lastFormat_ : QTextCharFormat());
    }

    void EndDocument(const rtf::ParagraphStyle& style) override {
        cursor_.setBlockFormat(BlockFormatOf(style));
    }

  private:
    QTextCursor cursor_;
    rtf::TextStyle lastStyle_;
    QTextCharFormat lastFormat_;
    bool haveFormat_ = false;
};

}  // namespace

void LoadRichText(QTextDocument& document, std::string_view bytes) {
    // Everything that can fail is settled before the document is touched.
    std::optional<std::u16string> plain;
    const bool rich = rtf::IsRichTextStream(bytes);
    if (!rich) {
        plain = rtf::PlainTextOf(bytes);
        if (!plain) {
            throw StreamLoadError();
        }
    }

    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    if (rich) {
        document.clear();
        DocumentBuilder builder(document);
        rtf::ParseRtf(bytes, builder);
    } else {
        document.setPlainText(ToQString(*plain));
    }
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
}

void LoadRichTextFile(QTextDocument& document, const std::string& name) {
    LoadRichText(document, rtf::ReadStreamFile(name));
}

}  // namespace zk
