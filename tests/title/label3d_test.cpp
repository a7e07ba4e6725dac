// The raised 3-D label, checked on its pixels: a caption of one full-block glyph drawn without
// anti-aliasing is a solid rectangle, so each of the three passes shows as a rectangle of its own
// colour, and the offsets can be measured.
#include "Label3D.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <functional>

namespace zk::ui {
namespace {

const QColor kGround(255, 255, 255);
const QColor kHighlight(255, 0, 0);
const QColor kShadow(0, 0, 255);
const QColor kInk(0, 128, 0);
const QColor kGrey(128, 128, 128);
const QColor kSelection(255, 0, 255);
const QColor kButtonShadow(0, 0, 0);

struct Rendered {
    QImage image;
    QRect all;     // every pixel that is not the ground
    QRect inkBox;  // the pixels in the font colour
};

QRect BoundsOf(const QImage& image, const std::function<bool(QColor)>& match) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (match(image.pixelColor(x, y))) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

void Prepare(TLabel3D& label) {
    QFont font("DejaVu Sans");
    font.setPixelSize(60);
    font.setStyleStrategy(QFont::NoAntialias);
    label.setFont(font);
    QPalette pal;
    pal.setColor(QPalette::Window, kGround);
    pal.setColor(QPalette::Light, kHighlight);
    pal.setColor(QPalette::Dark, kShadow);
    pal.setColor(QPalette::WindowText, kInk);
    pal.setColor(QPalette::Disabled, QPalette::Text, kGrey);
    // Colours the label must not use: the selection highlight and the darkest shadow.
    pal.setColor(QPalette::Highlight, kSelection);
    pal.setColor(QPalette::Shadow, kButtonShadow);
    pal.setColor(QPalette::Disabled, QPalette::WindowText, kSelection);
    label.setPalette(pal);
    label.resize(140, 140);
}

Rendered Render(TLabel3D& label) {
    Rendered r;
    r.image = label.grab().toImage();
    r.all = BoundsOf(r.image, [](QColor c) { return c != kGround; });
    r.inkBox = BoundsOf(r.image, [](QColor c) { return c == kInk; });
    return r;
}

// Runs the three-pass checks for one style: the upper-left copy in `upperLeft`, the lower-right
// one in `lowerRight`, each `depth` pixels off the caption in the font colour.
void ExpectPasses(TLabel3D::Style style, const QColor& upperLeft, const QColor& lowerRight) {
    TLabel3D label(QString(QChar(0x2588)));
    Prepare(label);
    label.setStyle3D(style);
    label.setDepth(4);
    const Rendered r = Render(label);
    ASSERT_FALSE(r.inkBox.isEmpty());
    ASSERT_GT(r.inkBox.height(), 20);
    ASSERT_GT(r.inkBox.width(), 10);

    // The union of the passes reaches exactly `depth` beyond the caption on every side.
    EXPECT_EQ(r.all, r.inkBox.adjusted(-4, -4, 4, 4));
    const int midY = r.inkBox.center().y();
    const int midX = r.inkBox.center().x();
    EXPECT_EQ(r.image.pixelColor(r.all.topLeft()), upperLeft);
    EXPECT_EQ(r.image.pixelColor(r.all.bottomRight()), lowerRight);
    for (int d = 1; d <= 4; ++d) {
        EXPECT_EQ(r.image.pixelColor(r.inkBox.left() - d, midY), upperLeft) << d;
        EXPECT_EQ(r.image.pixelColor(midX, r.inkBox.top() - d), upperLeft) << d;
        EXPECT_EQ(r.image.pixelColor(r.inkBox.right() + d, midY), lowerRight) << d;
        EXPECT_EQ(r.image.pixelColor(midX, r.inkBox.bottom() + d), lowerRight) << d;
    }
    // The caption in its font colour is drawn last, over both copies.
    EXPECT_EQ(r.image.pixelColor(r.inkBox.center()), kInk);
    EXPECT_EQ(r.image.pixelColor(r.inkBox.bottomRight()), kInk);
    EXPECT_EQ(r.image.pixelColor(r.inkBox.topLeft()), kInk);
}

TEST(Label3D, RaisedDrawsHighlightUpLeftShadowDownRightAndInkOnTop) {
    ExpectPasses(TLabel3D::Style::Raised, kHighlight, kShadow);
}

TEST(Label3D, LoweredSwapsHighlightAndShadow) {
    ExpectPasses(TLabel3D::Style::Lowered, kShadow, kHighlight);
}

TEST(Label3D, NormalUsesTheHighlightOnBothSides) {
    ExpectPasses(TLabel3D::Style::Normal, kHighlight, kHighlight);
}

TEST(Label3D, DisabledDrawsOnceInGreyText) {
    TLabel3D label(QString(QChar(0x2588)));
    Prepare(label);
    label.setDepth(4);
    const Rendered enabled = Render(label);

    label.setEnabled(false);
    const QImage image = label.grab().toImage();
    const QRect all = BoundsOf(image, [](QColor c) { return c != kGround; });
    const QRect grey = BoundsOf(image, [](QColor c) { return c == kGrey; });
    ASSERT_FALSE(grey.isEmpty());
    // One pass, in place: only grey, exactly where the caption stands when enabled.
    EXPECT_EQ(all, grey);
    EXPECT_EQ(grey, enabled.inkBox);
}

TEST(Label3D, DepthDefaultsToOneAndStaysWithinZeroToFour) {
    TLabel3D label(QString(QChar(0x2588)));
    EXPECT_EQ(label.depth(), 1);
    EXPECT_EQ(label.style3D(), TLabel3D::Style::Raised);
    Prepare(label);

    const Rendered one = Render(label);
    EXPECT_EQ(one.all, one.inkBox.adjusted(-1, -1, 1, 1));

    label.setDepth(9);
    EXPECT_EQ(label.depth(), 4);
    const Rendered four = Render(label);
    EXPECT_EQ(four.all, four.inkBox.adjusted(-4, -4, 4, 4));

    label.setDepth(-3);
    EXPECT_EQ(label.depth(), 0);
    const Rendered flat = Render(label);
    EXPECT_EQ(flat.all, flat.inkBox);  // all three passes coincide; the ink is on top
}

TEST(Label3D, SizeHintLeavesRoomForBothOffsetCopies) {
    TLabel3D label(QString(QChar(0x2588)));
    Prepare(label);
    label.setDepth(4);
    label.resize(label.sizeHint());
    const Rendered r = Render(label);
    ASSERT_FALSE(r.all.isEmpty());
    // Nothing is cut off: the copies still reach four pixels beyond the caption.
    EXPECT_EQ(r.all, r.inkBox.adjusted(-4, -4, 4, 4));
}

}  // namespace
}  // namespace zk::ui
