// What a screen reader says for a control: the caption or label the operator sees beside it.
#pragma once

#include <QString>
#include <QStringList>

class QLabel;
class QWidget;

namespace zk::ui {

// A caption as it is read out: its words, without the padding spaces the window's captions carry.
QString SpokenText(const QString& caption);

// The parts of a caption that stands over several controls, split where it has two or more
// spaces in a row ("часы      минуты   секунды" gives three parts).
QStringList CaptionParts(const QString& caption);

// Names `control` after `caption`.
void NameAfter(QWidget* control, const QString& caption);

// Names `control` after the label beside it and makes the label its buddy, so a screen reader
// also learns which label belongs to the control.
void NameAfterLabel(QWidget* control, QLabel* label);

}  // namespace zk::ui
