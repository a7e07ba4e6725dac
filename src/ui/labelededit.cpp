#include "labelededit.h"

#include <QLabel>

#include "controlpanel.h"

namespace zk::ui {

LabeledEdit::LabeledEdit(const QString& caption, QWidget* parent)
    : QLineEdit(parent), label_(new QLabel(caption, parent)) {
    label_->setObjectName("EditLabel");
    label_->setTextFormat(Qt::PlainText);
    label_->setBuddy(this);
    SetColour(kColourWhite);
}

void LabeledEdit::SetColour(std::uint32_t rgb) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor::fromRgb(static_cast<QRgb>(rgb & 0xFFFFFFu)));
    setPalette(colours);
}

std::uint32_t LabeledEdit::Colour() const {
    return palette().color(QPalette::Base).rgb() & 0xFFFFFFu;
}

void LabeledEdit::PlaceLabel() {
    label_->adjustSize();
    label_->move(geometry().right() + 1 + kLabelSpacing,
                 geometry().top() + (height() - label_->height()) / 2);
}

void LabeledEdit::moveEvent(QMoveEvent* event) {
    QLineEdit::moveEvent(event);
    PlaceLabel();
}

void LabeledEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceLabel();
}

}  // namespace zk::ui
