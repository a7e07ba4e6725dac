// Renders the photograph of the repeater shown on the title page and writes it as a JPEG:
//
//   make_photo OUTPUT.jpg
//
// The picture is 557 x 448 pixels: the small grey box seen from the front, a little from the
// right and from above, on a studio backdrop with a soft shadow. Its front plate carries the three
// lamps marked "Level" and one lamp each marked "TX", "RX" and "DTMF". The scene is drawn with
// QPainter at twice the size and scaled down, then given a little grain; the pixels are
// compressed with libjpeg. The output is the same on every run (fixed random seed), apart from
// the fonts the machine offers.
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 557;
constexpr int kHeight = 448;
constexpr int kScale = 2;  // drawn at this multiple, then scaled down

// The box, in millimetres: x to the right, y up, z towards the viewer; the origin is the centre
// of the bottom face.
constexpr double kBoxW = 120.0;
constexpr double kBoxH = 40.0;
constexpr double kBoxD = 90.0;

// Texture resolution of the faces, in pixels per millimetre.
constexpr double kTexel = 10.0;

struct Vec3 {
    double x, y, z;
};

// A pinhole camera turned a little to the left and looking down on the box.
class Camera {
  public:
    Camera() {
        const double yaw = -24.0 * std::numbers::pi / 180.0;
        const double pitch = 21.0 * std::numbers::pi / 180.0;
        cy_ = std::cos(yaw);
        sy_ = std::sin(yaw);
        cp_ = std::cos(pitch);
        sp_ = std::sin(pitch);
    }

    QPointF Project(const Vec3& p) const {
        const double y0 = p.y - kBoxH / 2;
        const double x1 = p.x * cy_ + p.z * sy_;
        const double z1 = -p.x * sy_ + p.z * cy_;
        const double y2 = y0 * cp_ - z1 * sp_;
        const double z2 = y0 * sp_ + z1 * cp_;
        const double k = kFocal / (kDistance - z2);
        return {kCentreX + k * x1, kCentreY - k * y2};
    }

  private:
    static constexpr double kDistance = 420.0;
    static constexpr double kFocal = 1900.0;
    static constexpr double kCentreX = kWidth * kScale * 0.47;
    static constexpr double kCentreY = kHeight * kScale * 0.46;
    double cy_, sy_, cp_, sp_;
};

QPolygonF Quad(const Camera& camera, const std::array<Vec3, 4>& corners) {
    QPolygonF quad;
    for (const Vec3& c : corners) {
        quad << camera.Project(c);
    }
    return quad;
}

// Draws `texture` onto the screen quadrilateral `quad` (top-left, top-right, bottom-right,
// bottom-left of the texture), in perspective.
void DrawFace(QPainter& painter, const QImage& texture, const QPolygonF& quad) {
    const QPolygonF source{QPointF(0, 0), QPointF(texture.width(), 0),
                           QPointF(texture.width(), texture.height()),
                           QPointF(0, texture.height())};
    QTransform transform;
    if (!QTransform::quadToQuad(source, quad, transform)) {
        return;
    }
    painter.save();
    painter.setTransform(transform);
    painter.drawImage(0, 0, texture);
    painter.restore();
}

QImage Blank(double widthMm, double heightMm) {
    QImage image(static_cast<int>(widthMm * kTexel), static_cast<int>(heightMm * kTexel),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Fine horizontal streaks of brushed metal.
void Brush(QPainter& painter, const QRectF& area, std::mt19937& random, int strength) {
    std::uniform_real_distribution<double> along(area.left(), area.right());
    std::uniform_real_distribution<double> across(area.top(), area.bottom());
    std::uniform_int_distribution<int> shade(0, 1);
    std::uniform_real_distribution<double> length(40.0, 260.0);
    for (int i = 0; i < 900; ++i) {
        const double x = along(random);
        const double y = across(random);
        painter.setPen(
            QPen(shade(random) ? QColor(255, 255, 255, strength) : QColor(0, 0, 0, strength), 1.2));
        painter.drawLine(QPointF(x, y), QPointF(std::min(area.right(), x + length(random)), y));
    }
}

void Screw(QPainter& painter, const QPointF& at) {
    QRadialGradient head(at + QPointF(-4, -4), 18);
    head.setColorAt(0, QColor(235, 235, 232));
    head.setColorAt(1, QColor(120, 122, 124));
    painter.setPen(QPen(QColor(90, 92, 95), 2));
    painter.setBrush(head);
    painter.drawEllipse(at, 13, 13);
    painter.setPen(QPen(QColor(70, 70, 72), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(at + QPointF(-8, 3), at + QPointF(8, -3));
}

// A 5 mm lamp in its bezel, lit or dark.
void Lamp(QPainter& painter, const QPointF& at, const QColor& colour, bool lit) {
    const double r = 25.0;
    if (lit) {
        QRadialGradient glow(at, r * 3.2);
        QColor halo = colour;
        halo.setAlpha(110);
        glow.setColorAt(0, halo);
        halo.setAlpha(0);
        glow.setColorAt(1, halo);
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(at, r * 3.2, r * 3.2);
    }
    // Bezel: a dark ring with a bright lower lip.
    QLinearGradient bezel(at + QPointF(0, -r - 8), at + QPointF(0, r + 8));
    bezel.setColorAt(0, QColor(40, 40, 42));
    bezel.setColorAt(1, QColor(150, 150, 150));
    painter.setPen(Qt::NoPen);
    painter.setBrush(bezel);
    painter.drawEllipse(at, r + 7, r + 7);

    QRadialGradient dome(at + QPointF(-r * 0.3, -r * 0.35), r * 1.3);
    if (lit) {
        dome.setColorAt(0, QColor(255, 255, 245));
        dome.setColorAt(0.35, colour.lighter(130));
        dome.setColorAt(1, colour.darker(115));
    } else {
        dome.setColorAt(0, colour.lighter(160));
        dome.setColorAt(0.3, colour.darker(230));
        dome.setColorAt(1, colour.darker(420));
    }
    painter.setBrush(dome);
    painter.drawEllipse(at, r, r);
    // The glint of the light source on the plastic.
    painter.setBrush(QColor(255, 255, 255, lit ? 200 : 150));
    painter.drawEllipse(at + QPointF(-r * 0.35, -r * 0.4), r * 0.28, r * 0.18);
}

void Print(QPainter& painter, const QRectF& box, const QString& text, int pixelSize, bool bold,
           Qt::Alignment align = Qt::AlignCenter) {
    QFont font;
    font.setFamilies({"DejaVu Sans", "Liberation Sans"});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(QColor(28, 30, 34));
    painter.drawText(box, align, text);
}

QImage FrontTexture(std::mt19937& random) {
    QImage image = Blank(kBoxW, kBoxH);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, image.width(), image.height());

    // The case's own grey at the rim, then the aluminium front plate set into it.
    QLinearGradient rim(all.topLeft(), all.bottomLeft());
    rim.setColorAt(0, QColor(150, 153, 156));
    rim.setColorAt(1, QColor(112, 115, 118));
    p.fillRect(all, rim);

    const QRectF plate = all.adjusted(34, 30, -34, -30);
    QLinearGradient metal(plate.topLeft(), plate.bottomRight());
    metal.setColorAt(0, QColor(214, 216, 217));
    metal.setColorAt(0.55, QColor(196, 198, 200));
    metal.setColorAt(1, QColor(178, 180, 183));
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    p.drawRoundedRect(plate, 14, 14);
    p.save();
    p.setClipRect(plate);
    Brush(p, plate, random, 14);
    p.restore();
    // Bevel of the plate: light along the top, dark along the bottom.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 170), 3));
    p.drawLine(plate.topLeft() + QPointF(14, 1.5), plate.topRight() + QPointF(-14, 1.5));
    p.setPen(QPen(QColor(60, 62, 66, 150), 3));
    p.drawLine(plate.bottomLeft() + QPointF(14, -1.5), plate.bottomRight() + QPointF(-14, -1.5));

    for (const QPointF& at :
         {plate.topLeft() + QPointF(36, 36), plate.topRight() + QPointF(-36, 36),
          plate.bottomLeft() + QPointF(36, -36), plate.bottomRight() + QPointF(-36, -36)}) {
        Screw(p, at);
    }

    // The maker's marking on the left.
    Print(p, QRectF(90, 95, 320, 90), "ZK-77q3", 60, true, Qt::AlignLeft | Qt::AlignVCenter);
    Print(p, QRectF(92, 185, 320, 50), QString::fromUtf8("ЭХО-РЕПИТЕР"), 34, false,
          Qt::AlignLeft | Qt::AlignVCenter);
    p.setPen(QPen(QColor(28, 30, 34), 3));
    p.drawLine(QPointF(92, 250), QPointF(380, 250));

    // The lamps: a row of three for the level, then TX, RX and DTMF.
    const double lampY = 170;
    const double labelTop = 222;
    const QColor green(40, 220, 60);
    const QColor red(240, 40, 30);
    const QColor amber(255, 170, 20);
    const std::array<double, 3> levelX{480, 560, 640};
    Lamp(p, {levelX[0], lampY}, green, true);
    Lamp(p, {levelX[1], lampY}, green, true);
    Lamp(p, {levelX[2], lampY}, green, false);
    Print(p, QRectF(levelX[0] - 60, labelTop, levelX[2] - levelX[0] + 120, 60), "Level", 44, true);
    // A bracket over the level row ties the three lamps to their one label.
    p.setPen(QPen(QColor(28, 30, 34), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{QPointF(levelX[0] - 30, 132), QPointF(levelX[0] - 30, 118),
                             QPointF(levelX[2] + 30, 118), QPointF(levelX[2] + 30, 132)});

    const std::array<std::pair<double, const char*>, 3> singles{
        {{780, "TX"}, {885, "RX"}, {1005, "DTMF"}}};
    Lamp(p, {singles[0].first, lampY}, red, false);
    Lamp(p, {singles[1].first, lampY}, green, true);
    Lamp(p, {singles[2].first, lampY}, amber, false);
    for (const auto& [x, name] : singles) {
        Print(p, QRectF(x - 80, labelTop, 160, 60), name, 44, true);
    }
    return image;
}

QImage TopTexture(std::mt19937& random) {
    QImage image = Blank(kBoxW, kBoxD);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, image.width(), image.height());
    // Lit from above and the front: brightest towards the viewer.
    QLinearGradient light(all.topLeft(), all.bottomRight());
    light.setColorAt(0, QColor(160, 163, 166));
    light.setColorAt(1, QColor(200, 203, 206));
    p.fillRect(all, light);
    Brush(p, all, random, 8);
    // Ventilation slots towards the back.
    for (int i = 0; i < 9; ++i) {
        const QRectF slot(260 + i * 78, 150, 34, 300);
        QLinearGradient depth(slot.topLeft(), slot.topRight());
        depth.setColorAt(0, QColor(35, 36, 38));
        depth.setColorAt(1, QColor(85, 87, 90));
        p.setPen(QPen(QColor(230, 232, 235, 160), 2));
        p.setBrush(depth);
        p.drawRoundedRect(slot, 16, 16);
    }
    return image;
}

QImage SideTexture() {
    QImage image = Blank(kBoxD, kBoxH);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, image.width(), image.height());
    QLinearGradient shade(all.topLeft(), all.bottomRight());
    shade.setColorAt(0, QColor(118, 121, 124));
    shade.setColorAt(1, QColor(82, 85, 88));
    p.fillRect(all, shade);
    // The socket for the radio's cable.
    const QPointF socket(600, 200);
    QRadialGradient nut(socket + QPointF(-10, -12), 70);
    nut.setColorAt(0, QColor(225, 225, 220));
    nut.setColorAt(1, QColor(110, 110, 108));
    p.setPen(QPen(QColor(50, 50, 50), 3));
    p.setBrush(nut);
    p.drawEllipse(socket, 62, 62);
    p.setBrush(QColor(25, 25, 27));
    p.drawEllipse(socket, 30, 30);
    return image;
}

// A separable box blur of the alpha channel, three passes, which is close to a Gaussian.
void BlurAlpha(QImage& image, int radius) {
    const int w = image.width();
    const int h = image.height();
    std::vector<int> alpha(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            alpha[static_cast<std::size_t>(y) * w + x] = qAlpha(line[x]);
        }
    }
    std::vector<int> tmp(alpha.size());
    auto pass = [&](bool horizontal) {
        const int n = horizontal ? w : h;
        const int lines = horizontal ? h : w;
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) -> int& {
                const int x = horizontal ? i : l;
                const int y = horizontal ? l : i;
                return alpha[static_cast<std::size_t>(y) * w + x];
            };
            int sum = 0;
            for (int i = -radius; i <= radius; ++i) {
                sum += at(std::clamp(i, 0, n - 1));
            }
            for (int i = 0; i < n; ++i) {
                const int x = horizontal ? i : l;
                const int y = horizontal ? l : i;
                tmp[static_cast<std::size_t>(y) * w + x] = sum / (2 * radius + 1);
                sum +=
                    at(std::clamp(i + radius + 1, 0, n - 1)) - at(std::clamp(i - radius, 0, n - 1));
            }
        }
        alpha.swap(tmp);
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            line[x] = qRgba(0, 0, 0, alpha[static_cast<std::size_t>(y) * w + x]);
        }
    }
}

QImage Shadow(const QPolygonF& footprint, int radius, int alpha) {
    QImage shadow(kWidth * kScale, kHeight * kScale, QImage::Format_ARGB32);
    shadow.fill(Qt::transparent);
    QPainter p(&shadow);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, alpha));
    p.drawPolygon(footprint);
    p.end();
    BlurAlpha(shadow, radius);
    return shadow;
}

QImage RenderScene() {
    std::mt19937 random(0x77);
    const Camera camera;
    QImage scene(kWidth * kScale, kHeight * kScale, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&scene);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);

    // Studio backdrop: a paper sweep, lit in the middle.
    const QRectF all(0, 0, scene.width(), scene.height());
    QLinearGradient sweep(all.topLeft(), all.bottomLeft());
    sweep.setColorAt(0, QColor(196, 201, 206));
    sweep.setColorAt(0.55, QColor(222, 224, 226));
    sweep.setColorAt(1, QColor(186, 188, 190));
    p.fillRect(all, sweep);
    QRadialGradient spot(all.center() + QPointF(-60, -40), all.width() * 0.6);
    spot.setColorAt(0, QColor(255, 255, 255, 90));
    spot.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(all, spot);

    const double w = kBoxW / 2;
    const double d = kBoxD / 2;
    const double h = kBoxH;

    // The cable to the radio, leaving the side socket and falling out of the picture.
    const QPointF socket = camera.Project({w, h / 2, d - 60});
    // Shadows: a broad soft one cast back and to the right, and a tight one where the box stands.
    const double spread = 16;
    const QPolygonF cast = Quad(camera, {Vec3{-w - 4, 0, d + 4},
                                         {w + spread + 10, 0, d + 6},
                                         {w + spread + 26, 0, -d - spread},
                                         {-w, 0, -d - spread}});
    p.drawImage(0, 0, Shadow(cast, 22, 120));
    const QPolygonF contact =
        Quad(camera, {Vec3{-w, 0, d + 1}, {w + 1, 0, d + 1}, {w + 1, 0, -d}, {-w, 0, -d}});
    p.drawImage(0, 0, Shadow(contact, 5, 200));

    QPainterPath cable(socket);
    cable.cubicTo(socket + QPointF(120, 10), socket + QPointF(110, 160),
                  QPointF(scene.width() * 0.93, scene.height() + 20));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 60), 34, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cable.translated(10, 14));
    p.setPen(QPen(QColor(24, 24, 26), 24, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cable);
    p.setPen(QPen(QColor(110, 112, 116, 150), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cable.translated(-5, -6));

    const QPolygonF front = Quad(camera, {Vec3{-w, h, d}, {w, h, d}, {w, 0, d}, {-w, 0, d}});
    const QPolygonF top = Quad(camera, {Vec3{-w, h, -d}, {w, h, -d}, {w, h, d}, {-w, h, d}});
    const QPolygonF side = Quad(camera, {Vec3{w, h, d}, {w, h, -d}, {w, 0, -d}, {w, 0, d}});
    DrawFace(p, TopTexture(random), top);
    DrawFace(p, SideTexture(), side);
    DrawFace(p, FrontTexture(random), front);

    // Cable gland over the socket, drawn after the side so it sits on it.
    QRadialGradient gland(socket + QPointF(-4, -6), 22);
    gland.setColorAt(0, QColor(90, 90, 92));
    gland.setColorAt(1, QColor(20, 20, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(gland);
    p.drawEllipse(socket, 17, 19);

    // Rounded edges catch the light.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(250, 250, 250, 190), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(front[0], front[1]);
    p.setPen(QPen(QColor(235, 237, 240, 140), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(top[1], top[2]);
    p.drawLine(top[0], top[1]);
    p.setPen(QPen(QColor(60, 62, 66, 160), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(front[1], front[2]);
    p.setPen(QPen(QColor(30, 30, 32, 170), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(front[2], front[3]);
    p.drawLine(side[2], side[3]);
    p.end();

    QImage photo = scene.scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_RGB888);

    // Vignette and a little sensor grain.
    std::normal_distribution<double> grain(0.0, 1.6);
    const double cx = kWidth / 2.0;
    const double cy = kHeight / 2.0;
    const double reach = std::hypot(cx, cy);
    for (int y = 0; y < kHeight; ++y) {
        uchar* line = photo.scanLine(y);
        for (int x = 0; x < kWidth; ++x) {
            const double r = std::hypot(x - cx, y - cy) / reach;
            const double fall = 1.0 - 0.18 * r * r;
            const double noise = grain(random);
            for (int c = 0; c < 3; ++c) {
                const double v = line[3 * x + c] * fall + noise;
                line[3 * x + c] = static_cast<uchar>(std::clamp(std::lround(v), 0L, 255L));
            }
        }
    }
    return photo;
}

bool WriteJpeg(const QImage& rgb, const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::perror(path);
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 84, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const bool closed = std::fclose(file) == 0;
    if (!closed) {
        std::perror(path);
    }
    return closed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    // Fonts need a GUI application; no window is ever shown.
    int qtArgc = 3;
    char platformOption[] = "-platform";
    char platformName[] = "offscreen";
    char* qtArgv[] = {argv[0], platformOption, platformName, nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    return WriteJpeg(RenderScene(), argv[1]) ? 0 : 1;
}
