#include "statusline.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace zk::ui {

namespace {

// What a screen reader calls the line while it is empty.
constexpr const char* kEmptyStatusName = "состояние";

class StatusLineAccessible : public QAccessibleWidget {
  public:
    explicit StatusLineAccessible(QWidget* line)
        : QAccessibleWidget(line, QAccessible::StatusBar) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name || kind == QAccessible::Value) {
            const QString shown = static_cast<const QLabel*>(widget())->text().simplified();
            if (!shown.isEmpty()) {
                return shown;
            }
            return kind == QAccessible::Name ? QString::fromUtf8(kEmptyStatusName) : QString();
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* MakeStatusLineAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(StatusLine::staticMetaObject.className()) && object != nullptr &&
        object->isWidgetType()) {
        return new StatusLineAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

}  // namespace

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(&MakeStatusLineAccessible);
        return true;
    }();
    (void)installed;
    setTextFormat(Qt::PlainText);
}

void StatusLine::SetStatus(const QString& text) {
    setText(text);
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

}  // namespace zk::ui
