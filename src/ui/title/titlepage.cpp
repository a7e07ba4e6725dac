#include "titlepage.h"

#include <QColor>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <QtDebug>
#include <cstring>

#include "Label3D.h"
#include "jpegimage.h"
#include "objectname.h"
#include "svgpicture.h"

// The pictures are compiled into this static library; registering them here keeps the linker
// from dropping them from an executable that uses the title page. Q_INIT_RESOURCE must be used
// outside any namespace.
static void InitTitleAssets() {
    Q_INIT_RESOURCE(assets);
}

namespace zk::ui {

namespace {

constexpr QSize kPhotoPanel(265, 241);
constexpr QSize kPhotoSize(259, 235);
constexpr QSize kDiagramPanel(825, 314);
constexpr QSize kDiagramSize(822, 313);

const QColor kOlive(0x80, 0x80, 0x00);
const QColor kNavy(0x00, 0x00, 0x80);

// "Arial Narrow" with its metric-compatible free stand-in and a condensed face after it.
QFont NarrowFont(int pixelSize) {
    QFont font;
    font.setFamilies({"Arial Narrow", "Liberation Sans Narrow", "DejaVu Sans Condensed"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

TLabel3D* MakeLabel3D(QWidget* parent, const char* name, const char* caption, int pixelSize,
                      const QColor& colour) {
    auto* label = Named(new TLabel3D(QString::fromUtf8(caption), parent), name);
    label->setFont(NarrowFont(pixelSize));
    QPalette pal = label->palette();
    pal.setColor(QPalette::Active, QPalette::WindowText, colour);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    // The label shows the group's own ground, whatever shade the style gives the inside of a
    // group box; an opaque fill would stand out as a band behind the caption.
    pal.setColor(QPalette::Window, Qt::transparent);
    label->setPalette(pal);
    label->setStyle3D(TLabel3D::Style::Raised);
    label->setDepth(1);
    label->setFixedSize(label->sizeHint());
    return label;
}

// A fixed-size panel drawn with the given QFrame shape, shadow and line widths.
QFrame* MakePanel(QWidget* parent, const char* name, const QSize& size, int frameStyle,
                  int lineWidth, int midLineWidth) {
    auto* panel = Named(new QFrame(parent), name);
    panel->setFrameStyle(frameStyle);
    panel->setLineWidth(lineWidth);
    panel->setMidLineWidth(midLineWidth);
    panel->setFixedSize(size);
    return panel;
}

}  // namespace

QImage LoadJpeg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "Cannot read" << path << ":" << file.errorString();
        return {};
    }
    const QByteArray bytes = file.readAll();
    const JpegImage decoded = DecodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                         static_cast<std::size_t>(bytes.size()));
    if (!decoded.ok()) {
        qWarning().noquote() << "Cannot decode" << path << ":"
                             << QString::fromStdString(decoded.error);
        return {};
    }
    QImage image(decoded.width, decoded.height, QImage::Format_RGB888);
    if (image.isNull()) {
        return {};
    }
    const std::size_t stride = static_cast<std::size_t>(decoded.width) * 3;
    for (int y = 0; y < decoded.height; ++y) {
        std::memcpy(image.scanLine(y), decoded.rgb.data() + stride * y, stride);
    }
    return image;
}

void FillTitlePage(QWidget* page, const QString& photo, const QString& diagram) {
    InitTitleAssets();

    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    auto* groupBox3 = Named(new QGroupBox(page), "GroupBox3");
    pageLayout->addWidget(groupBox3);

    auto* label3D1 = MakeLabel3D(groupBox3, "Label3D1", kTitleCaption, 27, kOlive);

    // A raised outer line, a gap and a sunken inner line: three pixels round the photograph.
    auto* panel1 = MakePanel(groupBox3, "Panel1", kPhotoPanel, QFrame::Box | QFrame::Raised, 1, 1);
    auto* image1 = Named(new QLabel(panel1), "Image1");
    image1->setScaledContents(true);
    image1->setGeometry(QRect(QPoint(3, 3), kPhotoSize));
    const QImage picture = LoadJpeg(photo);
    if (!picture.isNull()) {
        image1->setPixmap(QPixmap::fromImage(picture));
    }

    // The diagram keeps its own size; the panel's single sunken line runs round it.
    auto* panel2 =
        MakePanel(groupBox3, "Panel2", kDiagramPanel, QFrame::Panel | QFrame::Sunken, 1, 0);
    auto* image2 = Named(new SvgPicture(panel2), "Image2");
    image2->setGeometry(QRect(QPoint(1, 1), kDiagramSize));
    image2->load(diagram);
    if (!image2->renderer()->isValid()) {
        qWarning().noquote() << "Cannot draw" << diagram;
    }

    auto* label3D2 = MakeLabel3D(groupBox3, "Label3D2", kWebAddress, 24, kNavy);

    // Top to bottom, centred, the free height shared out evenly between the rows.
    auto* column = new QVBoxLayout(groupBox3);
    column->setContentsMargins(0, 4, 0, 4);
    column->setSpacing(0);
    column->addWidget(label3D1, 0, Qt::AlignHCenter);
    column->addStretch(1);
    column->addWidget(panel1, 0, Qt::AlignHCenter);
    column->addStretch(1);
    column->addWidget(panel2, 0, Qt::AlignHCenter);
    column->addStretch(1);
    column->addWidget(label3D2, 0, Qt::AlignHCenter);
}

}  // namespace zk::ui
