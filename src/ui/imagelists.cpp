#include "imagelists.h"

#include <QPainter>
#include <QPixmap>

namespace zk::ui {

namespace {

enum class Shape { Square, Circle };

QIcon FilledIcon(Shape shape, const QColor& colour) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(colour.darker(160), 1));
    painter.setBrush(colour);
    if (shape == Shape::Square) {
        painter.drawRect(1, 1, kIconSize - 3, kIconSize - 3);
    } else {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawEllipse(QRectF(1.5, 1.5, kIconSize - 3, kIconSize - 3));
    }
    return QIcon(pixmap);
}

QList<QIcon> FilledIcons(Shape shape, std::initializer_list<Qt::GlobalColor> colours) {
    QList<QIcon> icons;
    for (const Qt::GlobalColor colour : colours) {
        icons.append(FilledIcon(shape, QColor(colour)));
    }
    return icons;
}

}  // namespace

QList<QIcon> ImageList2() {
    return FilledIcons(Shape::Square, {Qt::red, Qt::yellow, Qt::green, Qt::cyan, Qt::blue});
}

QList<QIcon> ImageList1() {
    return FilledIcons(Shape::Circle, {Qt::yellow, Qt::green, Qt::cyan, Qt::blue, Qt::red});
}

}  // namespace zk::ui
