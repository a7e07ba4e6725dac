// A tab control whose tabs are drawn as push buttons, the active one pressed in (darker, in a
// sunken frame), with no frame around the pages.
#pragma once

#include <QTabBar>
#include <QTabWidget>

class QStyleOptionButton;
class QStylePainter;

namespace zk::ui {

class ButtonTabBar : public QTabBar {
    Q_OBJECT

  public:
    static constexpr int kGap = 4;  // between two buttons

    using QTabBar::QTabBar;

  protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void PaintPressed(QStylePainter& painter, QStyleOptionButton button) const;
};

class ButtonTabWidget : public QTabWidget {
    Q_OBJECT

  public:
    explicit ButtonTabWidget(QWidget* parent = nullptr);
};

}  // namespace zk::ui
