// A check box whose caption wraps onto further lines within the box's width.
#pragma once

#include <QCheckBox>

namespace zk::ui {

class WrappedCheckBox : public QCheckBox {
    Q_OBJECT

  public:
    using QCheckBox::QCheckBox;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace zk::ui
