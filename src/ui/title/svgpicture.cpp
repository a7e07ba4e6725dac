#include "svgpicture.h"

#include <QPainter>
#include <QSvgRenderer>

namespace zk::ui {

SvgPicture::SvgPicture(QWidget* parent) : QWidget(parent), renderer_(new QSvgRenderer(this)) {
    // An animated picture asks to be drawn again.
    connect(renderer_, &QSvgRenderer::repaintNeeded, this, qOverload<>(&QWidget::update));
}

void SvgPicture::load(const QString& file) {
    renderer_->load(file);
    updateGeometry();
    update();
}

QSize SvgPicture::sizeHint() const {
    return renderer_->isValid() ? renderer_->defaultSize() : QSize(128, 64);
}

void SvgPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    renderer_->render(&painter);
}

}  // namespace zk::ui
