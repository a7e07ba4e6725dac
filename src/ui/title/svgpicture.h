// A widget that shows an SVG picture stretched over the whole widget, as QSvgWidget does. The
// window draws with QtSvg's renderer directly: QSvgWidget lives in a library of its own
// (QtSvgWidgets) that every start of the window would otherwise have to load for a picture that
// only the title page shows.
#pragma once

#include <QWidget>

class QSvgRenderer;

namespace zk::ui {

class SvgPicture : public QWidget {
    Q_OBJECT

  public:
    explicit SvgPicture(QWidget* parent = nullptr);

    // Reads the picture from `file` (a file name or a resource path). A file that cannot be read
    // or is no SVG leaves the widget blank; renderer()->isValid() tells which.
    void load(const QString& file);
    QSvgRenderer* renderer() const { return renderer_; }

    // The picture's own size, or QSvgWidget's 128 x 64 when there is no picture.
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QSvgRenderer* renderer_;
};

}  // namespace zk::ui
