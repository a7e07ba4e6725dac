#include "wrappedcheckbox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace zk::ui {

void WrappedCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    // The box, vertically centred, then the caption wrapped in the space to its right.
    QStyleOptionButton box = option;
    const QRect indicator = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    box.rect = QRect(indicator.left(), (height() - indicator.height()) / 2, indicator.width(),
                     indicator.height());
    box.text.clear();
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, box);

    const int spacing = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, this);
    const QRect textArea = rect().adjusted(indicator.right() + 1 + spacing, 0, 0, 0);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = textArea;
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

}  // namespace zk::ui
