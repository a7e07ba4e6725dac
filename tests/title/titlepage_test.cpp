// The title page as the window gets it: the named elements, their sizes and order, and the two
// pictures, including what happens when the photograph is damaged or a picture is missing.
#include "titlepage.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QSet>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdlib>
#include <initializer_list>
#include <memory>

#include "Label3D.h"
#include "svgpicture.h"

namespace zk::ui {
namespace {

// The size of the first page of the window's tab control.
constexpr QSize kPageSize(849, 727);

std::unique_ptr<QWidget> MakePage(const QString& photo = kRepeaterPhoto,
                                  const QString& diagram = kConnectionDiagram) {
    auto page = std::make_unique<QWidget>();
    page->setObjectName("TabSheet1");
    page->resize(kPageSize);
    FillTitlePage(page.get(), photo, diagram);
    page->show();  // lays the page out
    return page;
}

template <typename Widget>
Widget* Child(QWidget* root, const char* name) {
    auto* child = root->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

int DistinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

// Geometry of `widget` in the coordinates of `root`.
QRect RectIn(QWidget* widget, QWidget* root) {
    return QRect(widget->mapTo(root, QPoint(0, 0)), widget->size());
}

TEST(TitlePage, HoldsTheNamedElementsAtTheirSizesTopToBottomAndCentred) {
    const auto page = MakePage();
    auto* group = Child<QGroupBox>(page.get(), "GroupBox3");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->parentWidget(), page.get());
    EXPECT_TRUE(group->title().isEmpty());
    EXPECT_EQ(group->geometry(), page->rect());

    auto* title = Child<TLabel3D>(group, "Label3D1");
    auto* panel1 = Child<QFrame>(group, "Panel1");
    auto* image1 = Child<QLabel>(group, "Image1");
    auto* panel2 = Child<QFrame>(group, "Panel2");
    auto* image2 = Child<SvgPicture>(group, "Image2");
    auto* address = Child<TLabel3D>(group, "Label3D2");
    ASSERT_TRUE(title && panel1 && image1 && panel2 && image2 && address);

    EXPECT_EQ(title->text(), QString::fromUtf8(" Программатор  эхо - репитера  ZK-77q3 "));
    EXPECT_EQ(title->font().pixelSize(), 27);
    EXPECT_EQ(title->font().families().value(0), "Arial Narrow");
    EXPECT_EQ(title->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x00));
    EXPECT_EQ(address->text(), QString::fromLatin1(kWebAddress));
    EXPECT_EQ(address->font().pixelSize(), 24);
    EXPECT_EQ(address->palette().color(QPalette::WindowText), QColor(0x00, 0x00, 0x80));
    for (TLabel3D* label : {title, address}) {
        EXPECT_EQ(label->style3D(), TLabel3D::Style::Raised);
        EXPECT_EQ(label->depth(), 1);
        // The whole caption fits, offset copies included.
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_GE(label->height(), label->sizeHint().height());
    }

    EXPECT_EQ(panel1->size(), QSize(265, 241));
    EXPECT_EQ(image1->parentWidget(), panel1);
    EXPECT_EQ(image1->size(), QSize(259, 235));
    EXPECT_EQ(image1->geometry(), panel1->contentsRect());
    EXPECT_EQ(panel2->size(), QSize(825, 314));
    EXPECT_EQ(panel2->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(image2->parentWidget(), panel2);
    EXPECT_EQ(image2->size(), QSize(822, 313));

    // Top to bottom without overlap, all inside the group, each centred across it.
    int previousBottom = -1;
    for (QWidget* w : std::initializer_list<QWidget*>{title, panel1, panel2, address}) {
        const QRect r = RectIn(w, group);
        EXPECT_TRUE(group->rect().contains(r)) << w->objectName().toStdString();
        EXPECT_GT(r.top(), previousBottom) << w->objectName().toStdString();
        EXPECT_LE(std::abs(r.center().x() - group->rect().center().x()), 1)
            << w->objectName().toStdString();
        previousBottom = r.bottom();
    }
    EXPECT_LT(RectIn(title, group).top(), 30);
    EXPECT_GT(RectIn(address, group).bottom(), group->height() - 30);
}

TEST(TitlePage, PhotographIsTheDecodedJpegStretchedOverThePanel) {
    const QImage photo = LoadJpeg(kRepeaterPhoto);
    ASSERT_FALSE(photo.isNull());
    EXPECT_EQ(photo.size(), QSize(557, 448));

    const auto page = MakePage();
    auto* image1 = Child<QLabel>(page.get(), "Image1");
    ASSERT_NE(image1, nullptr);
    EXPECT_EQ(image1->pixmap().size(), QSize(557, 448));
    EXPECT_TRUE(image1->hasScaledContents());
    const QImage shown = image1->grab().toImage();
    EXPECT_EQ(shown.size(), QSize(259, 235));
    EXPECT_GT(DistinctColours(shown), 500);  // a photograph, not a flat fill
}

TEST(TitlePage, DamagedOrMissingPhotographLeavesTheFirstPanelBlank) {
    QFile asset(kRepeaterPhoto);
    ASSERT_TRUE(asset.open(QIODevice::ReadOnly));
    const QByteArray jpeg = asset.readAll();
    ASSERT_GT(jpeg.size(), 1000);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray flipped = jpeg;
    for (qsizetype i = jpeg.size() / 2; i < jpeg.size() / 2 + 64; ++i) {
        flipped[i] = static_cast<char>(0xFF);  // a run of fill bytes where data should be
    }
    const std::pair<const char*, QByteArray> cases[] = {
        {"truncated.jpg", jpeg.left(jpeg.size() / 2)},
        {"damaged.jpg", flipped},
        {"garbage.jpg", QByteArray(4000, 'x')},
        {"empty.jpg", QByteArray()},
    };
    QStringList paths{dir.filePath("missing.jpg")};
    for (const auto& [name, bytes] : cases) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
        paths << file.fileName();
    }

    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(LoadJpeg(path).isNull());
        const auto page = MakePage(path);
        auto* image1 = Child<QLabel>(page.get(), "Image1");
        ASSERT_NE(image1, nullptr);
        EXPECT_TRUE(image1->pixmap().isNull());
        EXPECT_EQ(image1->size(), QSize(259, 235));
        EXPECT_EQ(DistinctColours(image1->grab().toImage()), 1);
        // The rest of the page is there all the same.
        EXPECT_NE(page->findChild<SvgPicture*>("Image2"), nullptr);
        EXPECT_NE(page->findChild<TLabel3D*>("Label3D2"), nullptr);
    }
}

TEST(TitlePage, DiagramIsDrawnAtItsNaturalSize) {
    QSvgRenderer renderer{QString(kConnectionDiagram)};
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.defaultSize(), QSize(822, 313));
    EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, 822, 313));

    const auto page = MakePage();
    auto* image2 = Child<SvgPicture>(page.get(), "Image2");
    ASSERT_NE(image2, nullptr);
    const QImage shown = image2->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(822, 313));

    // Pale yellow ground inside a blue frame, and the purple caption along the bottom.
    const QColor ground = shown.pixelColor(300, 30);
    EXPECT_GT(ground.red(), 240);
    EXPECT_GT(ground.green(), 240);
    EXPECT_LT(ground.blue(), 230);
    const QColor frame = shown.pixelColor(1, 150);
    EXPECT_GT(frame.blue(), 150);
    EXPECT_LT(frame.red(), 100);
    int purple = 0;
    for (int y = 230; y < 300; ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QColor c = shown.pixelColor(x, y);
            purple += c.red() > 90 && c.blue() > 90 && c.green() < 60;
        }
    }
    EXPECT_GT(purple, 300);
    EXPECT_GT(DistinctColours(shown), 20);
}

TEST(TitlePage, MissingDiagramLeavesTheSecondPanelBlank) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto page = MakePage(kRepeaterPhoto, dir.filePath("none.svg"));
    auto* image2 = Child<SvgPicture>(page.get(), "Image2");
    ASSERT_NE(image2, nullptr);
    EXPECT_EQ(image2->size(), QSize(822, 313));
    EXPECT_EQ(DistinctColours(image2->grab().toImage()), 1);
}

}  // namespace
}  // namespace zk::ui
