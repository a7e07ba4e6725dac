#include "buttontabs.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace zk::ui {

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
        button.state |=
            i == currentIndex() ? (QStyle::State_Sunken | QStyle::State_On) : QStyle::State_Raised;
        painter.drawControl(QStyle::CE_PushButton, button);
        if (i == currentIndex() && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = button.rect.adjusted(3, 3, -3, -3);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
}

ButtonTabWidget::ButtonTabWidget(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new ButtonTabBar(this));
    setDocumentMode(true);
}

}  // namespace zk::ui
