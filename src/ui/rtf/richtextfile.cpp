#include "richtextfile.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QImageReader>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>

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

// Pictures. A picture larger than this is not decoded and shows as a frame instead; all the
// pictures of one document together take at most kMaxPictureMemory, and past that each further
// picture keeps its place and size but shows nothing.
constexpr int kMaxPictureSide = 8192;                    // pixels
constexpr qint64 kMaxPicturePixels = 4096LL * 4096;      // pixels
constexpr qint64 kMaxPictureMemory = qint64{128} << 20;  // bytes
constexpr double kMaxShownPixels = 2112.0;               // 22 inches at 96 dots per inch
constexpr double kUnknownSidePixels = 32.0;              // a side the document leaves open
constexpr double kHimetricPerPixel = 2540.0 / 96.0;      // 0.01 mm
const QRgb kFrameColor = qRgb(0x80, 0x80, 0x80);

bool FitsDecoding(QSize size) {
    return size.isValid() && !size.isEmpty() && size.width() <= kMaxPictureSide &&
           size.height() <= kMaxPictureSide &&
           qint64{size.width()} * size.height() <= kMaxPicturePixels;
}

// PNG, JPEG or BMP data through Qt's reader for that one format, refused before any pixel is
// decoded when the header announces a picture too large.
QImage ReadImage(QByteArray data, const char* format) {
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    if (!FitsDecoding(reader.size())) {
        return {};
    }
    QImage image;
    if (!reader.read(&image) || !FitsDecoding(image.size())) {
        return {};
    }
    return image;
}

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// \dibitmap data is a BMP file without its 14-byte file header; the header is made here, with
// the offset of the pixels behind the information header and the colour table.
QImage ReadDib(const std::string& dib) {
    if (dib.size() < 16) {
        return {};
    }
    const std::uint32_t headerSize = LittleEndian(dib, 0, 4);
    if (headerSize != 12 && (headerSize < 40 || headerSize > dib.size())) {
        return {};
    }
    std::uint64_t colourTable = 0;
    if (headerSize == 12) {
        const std::uint32_t bits = LittleEndian(dib, 10, 2);
        colourTable = bits >= 1 && bits <= 8 ? 3u << bits : 0;
    } else {
        const std::uint32_t bits = LittleEndian(dib, 14, 2);
        const std::uint32_t compression = LittleEndian(dib, 16, 4);
        const std::uint32_t used = LittleEndian(dib, 32, 4);
        const std::uint32_t entries = bits >= 1 && bits <= 8 ? 1u << bits : 0u;
        colourTable = 4 * std::uint64_t{used != 0 ? used : entries};
        if (headerSize == 40 && compression == 3) {  // BI_BITFIELDS: three colour masks
            colourTable += 12;
        } else if (headerSize == 40 && compression == 6) {  // BI_ALPHABITFIELDS: four
            colourTable += 16;
        }
    }
    const std::uint64_t offset = 14 + std::uint64_t{headerSize} + colourTable;
    if (offset > 14 + std::uint64_t{dib.size()} || 14 + dib.size() > 0xFFFFFFFFu) {
        return {};
    }
    QByteArray file;
    file.reserve(static_cast<qsizetype>(14 + dib.size()));
    file.append("BM");
    for (const std::uint32_t field :
         {static_cast<std::uint32_t>(14 + dib.size()), 0u, static_cast<std::uint32_t>(offset)}) {
        for (int shift = 0; shift < 32; shift += 8) {
            file.append(static_cast<char>((field >> shift) & 0xFF));
        }
    }
    file.append(dib.data(), static_cast<qsizetype>(dib.size()));
    return ReadImage(std::move(file), "BMP");
}

// \wbitmap: the rows of a device-dependent bitmap, top row first, each \wbmwidthbytes long
// (rows padded to 16 bits when that is not given). One plane of 1, 24 or 32 bits per pixel.
QImage ReadDeviceBitmap(const rtf::PictureData& picture) {
    const QSize size(picture.width, picture.height);
    if (!FitsDecoding(size) || picture.planes > 1) {
        return {};
    }
    QImage::Format format = QImage::Format_Invalid;
    switch (picture.bitsPerPixel) {
        case 1:
            format = QImage::Format_Mono;
            break;
        case 24:
            format = QImage::Format_BGR888;
            break;
        case 32:
            format = QImage::Format_RGB32;
            break;
        default:
            return {};
    }
    const qint64 rowBytes = (qint64{size.width()} * picture.bitsPerPixel + 7) / 8;
    const qint64 stride = picture.widthBytes > 0 ? picture.widthBytes : (rowBytes + 1) / 2 * 2;
    if (stride < rowBytes || stride * size.height() > static_cast<qint64>(picture.bytes.size())) {
        return {};
    }
    QImage image(size, format);
    if (image.isNull()) {
        return {};
    }
    if (format == QImage::Format_Mono) {
        image.setColorTable({qRgb(0, 0, 0), qRgb(0xFF, 0xFF, 0xFF)});
    }
    for (int y = 0; y < size.height(); ++y) {
        std::memcpy(image.scanLine(y), picture.bytes.data() + stride * y,
                    static_cast<std::size_t>(rowBytes));
    }
    return image;
}

QImage DecodePicture(const rtf::PictureData& picture) {
    if (picture.bytes.empty()) {
        return {};
    }
    switch (picture.kind) {
        case rtf::PictureKind::Png:
            return ReadImage(QByteArray::fromStdString(picture.bytes), "PNG");
        case rtf::PictureKind::Jpeg:
            return ReadImage(QByteArray::fromStdString(picture.bytes), "JPEG");
        case rtf::PictureKind::Dib:
            return ReadDib(picture.bytes);
        case rtf::PictureKind::DeviceBitmap:
            return ReadDeviceBitmap(picture);
        default:
            return {};  // metafiles and the rest: no decoder here
    }
}

// One side of the picture on the page, in pixels: the goal size in twips when given, else the
// decoded picture's own size, else \picw or \pich (0.01 mm for metafiles, pixels otherwise);
// then the scale in percent.
double ShownSide(int goal, int decoded, int given, bool metafile, int scale) {
    double pixels = kUnknownSidePixels;
    if (goal > 0) {
        pixels = Pixels(goal);
    } else if (decoded > 0) {
        pixels = decoded;
    } else if (given > 0) {
        pixels = metafile ? given / kHimetricPerPixel : given;
    }
    return pixels * scale / 100.0;
}

// The picture's size on the page; a picture larger than a page of 22 inches is made smaller,
// keeping its proportions.
QSizeF ShownSize(const rtf::PictureData& picture, QSize decoded) {
    const bool metafile = picture.kind == rtf::PictureKind::WindowsMetafile ||
                          picture.kind == rtf::PictureKind::EnhancedMetafile;
    const double width =
        ShownSide(picture.goalWidth, decoded.width(), picture.width, metafile, picture.scaleX);
    const double height =
        ShownSide(picture.goalHeight, decoded.height(), picture.height, metafile, picture.scaleY);
    const double fit = std::min({1.0, kMaxShownPixels / width, kMaxShownPixels / height});
    return {std::max(width * fit, 1.0), std::max(height * fit, 1.0)};
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

    // The picture becomes one object character that draws an image resource of the document at
    // the picture's size; a picture that cannot be decoded draws a frame of that size.
    void Picture(const rtf::PictureData& picture) override {
        QImage image = Affordable(DecodePicture(picture));
        const QSizeF size = ShownSize(picture, image.size());
        if (image.isNull()) {
            image = FrameOf(QSize(static_cast<int>(std::lround(size.width())),
                                  static_cast<int>(std::lround(size.height()))));
        }
        const QString name = QStringLiteral("rtf-picture:%1").arg(++pictures_);
        cursor_.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.setName(name);
        format.setWidth(size.width());
        format.setHeight(size.height());
        cursor_.insertImage(format);
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
    // The image, if the document's pictures still have room for it; else a null image.
    QImage Affordable(QImage image) {
        if (image.isNull() || image.sizeInBytes() > kMaxPictureMemory - pictureMemory_) {
            return {};
        }
        pictureMemory_ += image.sizeInBytes();
        return image;
    }

    // A one-pixel grey frame, transparent inside; frames of one size are shared. Past the
    // memory limit a transparent pixel stands in, stretched to the size.
    QImage FrameOf(QSize size) {
        const auto key = std::make_pair(size.width(), size.height());
        if (const auto found = frames_.find(key); found != frames_.end()) {
            return found->second;
        }
        QImage frame(size, QImage::Format_Mono);
        if (frame.isNull() || frame.sizeInBytes() > kMaxPictureMemory - pictureMemory_) {
            QImage blank(1, 1, QImage::Format_ARGB32);
            blank.fill(Qt::transparent);
            return blank;
        }
        frame.setColorTable({qRgba(0, 0, 0, 0), kFrameColor});
        frame.fill(0);
        for (int x = 0; x < size.width(); ++x) {
            frame.setPixel(x, 0, 1);
            frame.setPixel(x, size.height() - 1, 1);
        }
        for (int y = 0; y < size.height(); ++y) {
            frame.setPixel(0, y, 1);
            frame.setPixel(size.width() - 1, y, 1);
        }
        pictureMemory_ += frame.sizeInBytes();
        frames_.emplace(key, frame);
        return frame;
    }

    QTextCursor cursor_;
    int pictures_ = 0;
    qint64 pictureMemory_ = 0;
    std::map<std::pair<int, int>, QImage> frames_;
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

void CheckRichText(std::string_view bytes) {
    if (!rtf::IsRichTextStream(bytes) && !rtf::PlainTextOf(bytes)) {
        throw StreamLoadError();
    }
}

void LoadRichTextFile(QTextDocument& document, const std::string& name) {
    LoadRichText(document, rtf::ReadStreamFile(name));
}

}  // namespace zk
