#include "accessiblenames.h"

#include <QLabel>

namespace zk::ui {

QString SpokenText(const QString& caption) {
    return caption.simplified();
}

// Split by hand: a regular expression would be compiled at start for two captions.
QStringList CaptionParts(const QString& caption) {
    QStringList parts;
    const QString text = caption.trimmed();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool gap = i + 1 < text.size() && text[i].isSpace() && text[i + 1].isSpace();
        if (i == text.size() || gap) {
            const QString part = SpokenText(text.mid(start, i - start));
            if (!part.isEmpty()) {
                parts.append(part);
            }
            while (i < text.size() && text[i].isSpace()) {
                ++i;
            }
            start = i;
        }
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
