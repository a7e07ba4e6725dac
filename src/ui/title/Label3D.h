// A text label with a raised or lowered 3-D look, made by drawing the caption three times.
#pragma once

#include <QString>
#include <QWidget>

namespace zk::ui {

// Fills its rectangle with the background colour (QPalette::Window), then draws the caption
// three times: moved up and left by `depth` pixels in the 3-D highlight colour (QPalette::Light),
// moved down and right by `depth` in the 3-D shadow colour (QPalette::Dark), and in place in the
// font colour (QPalette::WindowText). Lowered swaps the highlight and the shadow; Normal draws
// both offset copies in the highlight colour. A disabled label draws the caption once, in place,
// in the grey-text colour (the disabled QPalette::Text). The caption is centred in the rectangle.
class TLabel3D : public QWidget {
    Q_OBJECT

  public:
    enum class Style { Lowered, Normal, Raised };
    static constexpr int kMaxDepth = 4;

    explicit TLabel3D(const QString& caption = QString(), QWidget* parent = nullptr);

    QString text() const { return caption_; }
    void setText(const QString& caption);

    Style style3D() const { return style_; }
    void setStyle3D(Style style);

    // 0..kMaxDepth pixels; values outside are brought to the nearest end. The default is 1.
    int depth() const { return depth_; }
    void setDepth(int depth);

    // The caption's extent (its line box, widened where glyphs overhang it) plus the depth on
    // every side, so no offset copy is cut off.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
    Style style_ = Style::Raised;
    int depth_ = 1;
};

}  // namespace zk::ui
