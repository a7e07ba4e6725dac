// An edit field with its caption on the right, for the access codes. Its background is the
// signal of a rejected code: white normally, yellow when generate refuses the code.
#pragma once

#include <QLineEdit>
#include <cstdint>

class QLabel;

namespace zk::ui {

class LabeledEdit : public QLineEdit {
    Q_OBJECT

  public:
    static constexpr int kLabelSpacing = 3;

    // The label is a sibling in `parent` and follows the edit wherever it is placed.
    LabeledEdit(const QString& caption, QWidget* parent);

    QLabel* EditLabel() const { return label_; }

    // Background colour as 0xRRGGBB.
    void SetColour(std::uint32_t rgb);
    std::uint32_t Colour() const;

  protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void PlaceLabel();

    QLabel* label_;
};

}  // namespace zk::ui
