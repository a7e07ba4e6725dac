// Pictures on the help page: decoded and shown at the document's size, or a frame of that size.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QTextBlock>
#include <QTextImageFormat>
#include <QUrl>

#include <string>
#include <vector>

#include "documents.h"

namespace zk::testing {
namespace {

using namespace std::string_literals;

struct Shown {
    double width = 0;
    double height = 0;
    QImage image;  // the resource the object character draws
};

// Every picture of the document, in order.
std::vector<Shown> PicturesOf(const QTextDocument& document) {
    std::vector<Shown> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                pictures.push_back(
                    {image.width(), image.height(),
                     document.resource(QTextDocument::ImageResource, QUrl(image.name()))
                         .value<QImage>()});
            }
        }
    }
    return pictures;
}

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Hex digits in lines of 128, as Word writes them.
std::string Hex(const QByteArray& bytes) {
    const QByteArray hex = bytes.toHex();
    std::string text;
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        text += "\r\n" + hex.mid(i, 128).toStdString();
    }
    return text;
}

QImage Filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool IsFrame(const Shown& shown) {
    const QImage& image = shown.image;
    return image.width() == qRound(shown.width) && image.height() == qRound(shown.height) &&
           qAlpha(image.pixel(0, 0)) == 255 &&
           qAlpha(image.pixel(image.width() - 1, image.height() - 1)) == 255 &&
           qAlpha(image.pixel(image.width() / 2, image.height() / 2)) == 0;
}

TEST(RtfPicture, WordShapePictureShowsAtItsGoalSizeAndScaleWithoutTheFallback) {
    const QImage red = Filled(4, 3, qRgb(255, 0, 0));
    const std::string word =
        "{\\rtf1\\ansi A{\\*\\shppict{\\pict{\\*\\picprop\\shplid1025{\\sp{\\sn shapeType}"
        "{\\sv 75}}}\\picscalex50\\picscaley200\\piccropl0\\picw4\\pich3\\picwgoal60"
        "\\pichgoal45\\pngblip\\bliptag-1234{\\*\\blipuid 00ff}" +
        Hex(Encoded(red, "PNG")) +
        "}}{\\nonshppict{\\pict\\picscalex50\\picscaley200\\picw4\\pich3\\picwgoal60\\pichgoal45"
        "\\wmetafile8\\bliptag-1234 010009000003}}B\\par}";
    auto document = Load(word);
    EXPECT_EQ(Paragraphs(*document), QStringList({"A\uFFFCB"}));
    const auto pictures = PicturesOf(*document);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_DOUBLE_EQ(pictures[0].width, 2.0);   // 60 twips, 50 %
    EXPECT_DOUBLE_EQ(pictures[0].height, 6.0);  // 45 twips, 200 %
    EXPECT_EQ(pictures[0].image.size(), QSize(4, 3));
    EXPECT_EQ(pictures[0].image.pixel(3, 2), qRgb(255, 0, 0));
}

TEST(RtfPicture, BitmapKindsDecodeAtTheirOwnSize) {
    // JPEG as \bin data, braces and backslashes among its bytes.
    const QByteArray jpeg = Encoded(Filled(40, 20, qRgb(0, 0, 255)), "JPEG");
    // A device-independent bitmap with a colour table: the pixels lie behind the table.
    QImage indexed(3, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 255, 0), qRgb(255, 255, 0)});
    indexed.fill(0);
    indexed.setPixel(2, 1, 1);
    const QByteArray dib = Encoded(indexed, "BMP").mid(14);
    auto document = Load("{\\rtf1{\\pict\\jpegblip\\bin" + std::to_string(jpeg.size()) + " " +
                         jpeg.toStdString() + "}{\\pict\\dibitmap0\\picw3\\pich2" + Hex(dib) +
                         "}{\\pict\\wbitmap0\\picw8\\pich2\\wbmbitspixel1\\wbmplanes1"
                         "\\wbmwidthbytes2 f000 0f00}}");
    EXPECT_EQ(Paragraphs(*document), QStringList({"\uFFFC\uFFFC\uFFFC"}));
    const auto pictures = PicturesOf(*document);
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_DOUBLE_EQ(pictures[0].width, 40.0);
    EXPECT_DOUBLE_EQ(pictures[0].height, 20.0);
    EXPECT_GT(qBlue(pictures[0].image.pixel(20, 10)), 200);

    EXPECT_EQ(pictures[1].image.size(), QSize(3, 2));
    EXPECT_EQ(pictures[1].image.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(pictures[1].image.pixel(2, 1), qRgb(255, 255, 0));

    // Device-dependent rows, top first: set bits are white.
    EXPECT_EQ(pictures[2].image.size(), QSize(8, 2));
    EXPECT_EQ(pictures[2].image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(pictures[2].image.pixel(7, 0), qRgb(0, 0, 0));
    EXPECT_EQ(pictures[2].image.pixel(0, 1), qRgb(0, 0, 0));
    EXPECT_EQ(pictures[2].image.pixel(7, 1), qRgb(255, 255, 255));
}

TEST(RtfPicture, WhatCannotBeShownIsAFrameOfItsSize) {
    auto document = Load(
        "{\\rtf1{\\pict\\wmetafile8\\picw2540\\pich1270 0100090000}"  // 0.01 mm: 96 x 48
        "{\\pict\\emfblip\\picw100\\pich100\\picwgoal300\\pichgoal150 01000000}"
        "{\\pict\\pngblip\\picw30\\pich10 89504e470d0a1a0a0000}"  // cut off
        "{\\pict\\jpegblip\\picscalex200 ffd8ff}"                 // no size at all
        "{\\pict\\pngblip\\picwgoal99999999\\pichgoal-5\\picscaley99999 zz}"
        // Larger than the page: made smaller, keeping the proportions.
        "{\\pict\\wmetafile8\\picwgoal31680\\pichgoal15840\\picscalex200\\picscaley200}}");
    const auto pictures = PicturesOf(*document);
    ASSERT_EQ(pictures.size(), 6u);
    const std::vector<std::pair<double, double>> sizes = {{96, 48}, {20, 10},    {30, 10},
                                                          {64, 32}, {2112, 320}, {2112, 1056}};
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_DOUBLE_EQ(pictures[i].width, sizes[i].first) << i;
        EXPECT_DOUBLE_EQ(pictures[i].height, sizes[i].second) << i;
        EXPECT_TRUE(IsFrame(pictures[i])) << i;
    }
}

TEST(RtfPicture, PicturesKeepTheirPlaceAmongParagraphsAndHiddenOnesAreNotShown) {
    const std::string png = Hex(Encoded(Filled(2, 2, qRgb(0, 0, 0)), "PNG"));
    EXPECT_EQ(Paragraphs(*Load("{\\rtf1 A\\par{\\pict\\pngblip" + png + "}\\par{\\v{\\pict" +
                               "\\pngblip" + png + "}}B{\\pict\\pngblip{\\pict\\jpegblip}" + png +
                               "}\\par}")),
              QStringList({"A", "\uFFFC", "B\uFFFC"}));
    // A picture last in the stream, or cut off, is still shown.
    EXPECT_EQ(Text("{\\rtf1 A\\par{\\pict\\pngblip" + png + "}}"), "A\n\uFFFC");
    EXPECT_EQ(Text("{\\rtf1 A{\\pict\\pngblip 89504e4"), "A\uFFFC");
    EXPECT_EQ(Text("{\\rtf1 A\\pict\\pngblip 8950}"), "A\uFFFC");
}

TEST(RtfPicture, OversizedDataAndManyLargeFramesAreBounded) {
    // Data beyond the limit is dropped whole, even when what it begins with would decode.
    const QByteArray png = Encoded(Filled(2, 2, qRgb(0, 0, 0)), "PNG");
    const std::string data = png.toStdString() + std::string((32u << 20) + 1 - png.size(), '\0');
    auto big = Load("{\\rtf1{\\pict\\pngblip\\picw3\\pich3\\bin" + std::to_string(data.size()) +
                    " " + data + "}}");
    auto pictures = PicturesOf(*big);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_TRUE(IsFrame(pictures[0]));

    // Hundreds of page-sized frames: once their memory is spent, the rest keep their size
    // but draw nothing.
    std::string many = "{\\rtf1 ";
    for (int i = 0; i < 300; ++i) {
        many +=
            "{\\pict\\wmetafile8\\picwgoal31680\\pichgoal" + std::to_string(31680 - 15 * i) + "}";
    }
    auto document = Load(many + "}");
    pictures = PicturesOf(*document);
    ASSERT_EQ(pictures.size(), 300u);
    EXPECT_TRUE(IsFrame(pictures.front()));
    EXPECT_EQ(pictures.back().image.size(), QSize(1, 1));
    EXPECT_DOUBLE_EQ(pictures.back().height, 2112.0 - 299);
}

}  // namespace
}  // namespace zk::testing
