#include "radiogroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zk::ui {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int selected,
                       QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(2);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        buttons_->addButton(button, i);
        layout->addWidget(button);
    }
    SetItemIndex(selected);
}

int RadioGroup::ItemIndex() const {
    return buttons_->checkedId();
}

void RadioGroup::SetItemIndex(int index) {
    if (QAbstractButton* button = buttons_->button(index)) {
        button->setChecked(true);
    }
}

QRadioButton* RadioGroup::Item(int index) const {
    return qobject_cast<QRadioButton*>(buttons_->button(index));
}

}  // namespace zk::ui
