// Controls carry their names as Qt object names, so that tests and tools find them by name.
#pragma once

#include <QString>

namespace zk::ui {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace zk::ui
