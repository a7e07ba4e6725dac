// A tab control whose tabs are drawn as push buttons, the active one pressed in, with no frame
// around the pages.
#pragma once

#include <QTabBar>
#include <QTabWidget>

namespace zk::ui {

class ButtonTabBar : public QTabBar {
    Q_OBJECT

  public:
    static constexpr int kGap = 4;  // between two buttons

    using QTabBar::QTabBar;

  protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
};

class ButtonTabWidget : public QTabWidget {
    Q_OBJECT

  public:
    explicit ButtonTabWidget(QWidget* parent = nullptr);
};

}  // namespace zk::ui
