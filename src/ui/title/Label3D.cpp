#include "Label3D.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <algorithm>

namespace zk::ui {

TLabel3D::TLabel3D(const QString& caption, QWidget* parent) : QWidget(parent), caption_(caption) {}

void TLabel3D::setText(const QString& caption) {
    if (caption == caption_) {
        return;
    }
    caption_ = caption;
    updateGeometry();
    update();
}

void TLabel3D::setStyle3D(Style style) {
    style_ = style;
    update();
}

void TLabel3D::setDepth(int depth) {
    depth_ = std::clamp(depth, 0, kMaxDepth);
    updateGeometry();
    update();
}

QSize TLabel3D::sizeHint() const {
    // The caption is centred by its line box (advance x line height), but some glyphs reach
    // beyond it; leave room for the larger overhang on both sides so centring never cuts one.
    const QFontMetrics metrics(font());
    const int advance = metrics.horizontalAdvance(caption_);
    const QRect ink = metrics.boundingRect(caption_);  // relative to the start of the baseline
    int overX = std::max({0, -ink.left(), ink.right() + 1 - advance});
    int overY = std::max({0, -metrics.ascent() - ink.top(), ink.bottom() + 1 - metrics.descent()});
    // An overhanging glyph may land a pixel further out once rasterised.
    overX += overX > 0 ? 1 : 0;
    overY += overY > 0 ? 1 : 0;
    return QSize(advance + 2 * (overX + depth_), metrics.height() + 2 * (overY + depth_));
}

void TLabel3D::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), pal.color(QPalette::Window));
    painter.setFont(font());

    const QRect area = rect();
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (!isEnabled()) {
        painter.setPen(pal.color(QPalette::Disabled, QPalette::Text));
        painter.drawText(area, flags, caption_);
        return;
    }

    const QColor highlight = pal.color(QPalette::Light);
    const QColor shadow = pal.color(QPalette::Dark);
    QColor upperLeft = highlight;
    QColor lowerRight = shadow;
    if (style_ == Style::Lowered) {
        std::swap(upperLeft, lowerRight);
    } else if (style_ == Style::Normal) {
        lowerRight = highlight;
    }

    painter.setPen(upperLeft);
    painter.drawText(area.translated(-depth_, -depth_), flags, caption_);
    painter.setPen(lowerRight);
    painter.drawText(area.translated(depth_, depth_), flags, caption_);
    painter.setPen(pal.color(QPalette::WindowText));
    painter.drawText(area, flags, caption_);
}

}  // namespace zk::ui
