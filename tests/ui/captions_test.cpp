#include "ui/caption_fit.h"
#include "window_fixture.h"

namespace {

using CaptionsTest = WindowTest;

// At the scale and in the style the test runs with (scripts/checks/window_scales.sh runs it at several): the ink of
// every line of every caption, measured with the control's own font, stays inside the rectangle its style draws the
// caption in and off the controls beside it, give or take a pixel row (ink is measured in whole pixels, and rows a
// pixel apart only touch); greyed controls are drawn in a colour of their own.
TEST_F(CaptionsTest, EveryCaptionShowsWholeAndGreyedControlsLookGreyed) {
  window->show();
  for (QWidget* control : window->findChildren<QWidget*>()) {
    const QString text = control->property("text").toString();
    if ((!qobject_cast<QLabel*>(control) && !qobject_cast<QAbstractButton*>(control)) || text.isEmpty()) continue;
    const std::string caption = control->objectName().toStdString() + " \"" + text.toStdString() + "\"";
    const QList<QRectF> lines = ui::CaptionInk(control, control->font());
    EXPECT_FALSE(lines.isEmpty()) << caption << " has no lines that fit";
    for (const QRectF& ink : lines) {
      EXPECT_TRUE(QRectF(ui::CaptionRect(control)).adjusted(0, -1, 0, 1).contains(ink)) << caption << " runs out of its rectangle";
      for (QWidget* other : control->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRectF under = ink.translated(control->pos()) & QRectF(other->geometry());
        EXPECT_FALSE(other != control && other->isVisible() && under.width() > 0 && under.height() > 1)
            << caption << " runs under " << other->objectName().toStdString();
      }
    }
  }
  for (QWidget* greyed : std::initializer_list<QWidget*>{window->optSequence, window->txtSequence, window->optRandomSeq}) {
    const QPalette& palette = greyed->palette();
    EXPECT_NE(palette.color(QPalette::Disabled, greyed->foregroundRole()).name().toStdString(),
              palette.color(QPalette::Active, greyed->foregroundRole()).name().toStdString())
        << greyed->objectName().toStdString() << " is not greyed";
  }
}

}  // namespace
