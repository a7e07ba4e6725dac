// The squelch detector's two button tabs: which one is pressed decides byte 37, so the pressed
// one has to stand out at a glance.
#include <QImage>
#include <QTabBar>
#include <QTabWidget>

#include "buttontabs.h"
#include "formfixture.h"

namespace {

class SquelchTabsTest : public FormTest {
  protected:
    QTabWidget* Squelch() const { return Find<QTabWidget>("PageControl_SQL"); }

    // The mean brightness of a button's face, away from its frame and caption: a strip along
    // the button's left end, between the border and the icon.
    static double FaceBrightness(const QImage& bar, const QRect& button) {
        const QRect strip(button.left() + 3, button.top() + 4, 3, button.height() - 8);
        double sum = 0;
        for (int y = strip.top(); y <= strip.bottom(); ++y) {
            for (int x = strip.left(); x <= strip.right(); ++x) {
                sum += qGray(bar.pixel(x, y));
            }
        }
        return sum / (strip.width() * strip.height());
    }

    // Pixels of the maroon caption inside a button.
    static int MaroonPixels(const QImage& bar, const QRect& button) {
        int maroon = 0;
        for (int y = button.top(); y <= button.bottom(); ++y) {
            for (int x = button.left(); x <= button.right(); ++x) {
                const QColor c = bar.pixelColor(x, y);
                maroon += c.red() > 90 && c.red() > 3 * c.green() && c.red() > 3 * c.blue() ? 1 : 0;
            }
        }
        return maroon;
    }
};

TEST_F(SquelchTabsTest, ThePressedTabIsClearlyDarkerAndFollowsTheChoice) {
    QTabBar* bar = Squelch()->tabBar();
    const QSize before0 = bar->tabRect(0).size();
    const QSize before1 = bar->tabRect(1).size();
    for (const int pressed : {0, 1, 0}) {
        Squelch()->setCurrentIndex(pressed);
        const QImage picture = bar->grab().toImage();
        const int other = 1 - pressed;
        const double pressedFace = FaceBrightness(picture, bar->tabRect(pressed));
        const double otherFace = FaceBrightness(picture, bar->tabRect(other));
        // A shade the eye tells apart at once, not the few levels of a plain sunken button.
        EXPECT_GT(otherFace - pressedFace, 40) << "pressed tab " << pressed;
        // Both captions stay bold maroon and readable.
        EXPECT_GT(MaroonPixels(picture, bar->tabRect(pressed)), 30) << "pressed tab " << pressed;
        EXPECT_GT(MaroonPixels(picture, bar->tabRect(other)), 30) << "tab " << other;
    }
    EXPECT_EQ(bar->tabRect(0).size(), before0);
    EXPECT_EQ(bar->tabRect(1).size(), before1);
    EXPECT_TRUE(bar->font().bold());
}

TEST_F(SquelchTabsTest, ThePressedTabSitsInASunkenFrame) {
    QTabBar* bar = Squelch()->tabBar();
    Squelch()->setCurrentIndex(1);
    const QImage picture = bar->grab().toImage();
    const QRect pressed = bar->tabRect(1).adjusted(0, 0, -zk::ui::ButtonTabBar::kGap, 0);
    // Shadow above and left, light below and right: the face lies lower than its surroundings.
    const QPoint middleTop(pressed.center().x(), pressed.top());
    const QPoint middleBottom(pressed.center().x(), pressed.bottom());
    EXPECT_LT(qGray(picture.pixel(middleTop)) + 60, qGray(picture.pixel(middleBottom)));
    const QPoint middleLeft(pressed.left(), pressed.center().y());
    const QPoint middleRight(pressed.right(), pressed.center().y());
    EXPECT_LT(qGray(picture.pixel(middleLeft)) + 60, qGray(picture.pixel(middleRight)));
}

}  // namespace
