// A captioned group of radio buttons read as the index of the selected item.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace zk::ui {

class RadioGroup : public QGroupBox {
    Q_OBJECT

  public:
    // The items stand one under the other, item `selected` checked.
    RadioGroup(const QString& caption, const QStringList& items, int selected,
               QWidget* parent = nullptr);

    // -1 when no item is selected.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;

  private:
    QButtonGroup* buttons_;
};

}  // namespace zk::ui
