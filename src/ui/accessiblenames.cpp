#include "accessiblenames.h"

#include <QLabel>
#include <QRegularExpression>

namespace zk::ui {

QString SpokenText(const QString& caption) {
    return caption.simplified();
}

QStringList CaptionParts(const QString& caption) {
    static const QRegularExpression kGap(QStringLiteral("\\s{2,}"));
    QStringList parts = caption.trimmed().split(kGap, Qt::SkipEmptyParts);
    for (QString& part : parts) {
        part = SpokenText(part);
    }
    return parts;
}

void NameAfter(QWidget* control, const QString& caption) {
    control->setAccessibleName(SpokenText(caption));
}

void NameAfterLabel(QWidget* control, QLabel* label) {
    label->setBuddy(control);
    NameAfter(control, label->text());
}

}  // namespace zk::ui
