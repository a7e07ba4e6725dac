#include "buttontabs.h"

#include <qdrawutil.h>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace zk::ui {

namespace {

// The pressed button's face: clearly darker than a raised one, yet light enough for the maroon
// caption to stay readable.
constexpr int kPressedFaceDarker = 135;

}  // namespace

QSize ButtonTabBar::tabSizeHint(int index) const {
    return QTabBar::tabSizeHint(index) + QSize(kGap, 2);
}

void ButtonTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = tabRect(i).adjusted(0, 0, -kGap, 0);
        button.text = tabText(i);
        button.icon = tabIcon(i);
        button.iconSize = iconSize();
        button.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        if (i == currentIndex()) {
            PaintPressed(painter, button);
        } else {
            button.state |= QStyle::State_Raised;
            painter.drawControl(QStyle::CE_PushButton, button);
        }
        if (i == currentIndex() && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = button.rect.adjusted(3, 3, -3, -3);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
}

void ButtonTabBar::PaintPressed(QStylePainter& painter, QStyleOptionButton button) const {
    // The page this button stands for decides the repeater's squelch detector, so the pressed
    // one must not be mistaken for the other: a darker face in a two-pixel sunken frame, dark
    // above and left, light below and right, and the caption moved one pixel down and right.
    button.state |= QStyle::State_Sunken | QStyle::State_On;
    const QPalette& colours = palette();
    const QBrush face(colours.color(QPalette::Button).darker(kPressedFaceDarker));
    qDrawWinPanel(&painter, button.rect, colours, true, &face);
    button.rect.translate(1, 1);
    painter.drawControl(QStyle::CE_PushButtonLabel, button);
}

ButtonTabWidget::ButtonTabWidget(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new ButtonTabBar(this));
    setDocumentMode(true);
}

}  // namespace zk::ui
