#pragma once

#include <QList>
#include <QRect>

class QFont;
class QWidget;

namespace ui {

// Captions that read at any scale and in any style. A caption control (a label, check box, option
// or command button) keeps its place and size; the ink of its text must stay inside the rectangle
// its style draws the text in, and off the controls beside it.

// The rectangle the control's style draws its caption in, in the control's own coordinates.
QRect CaptionRect(const QWidget* control);

// Where the control's caption puts ink when drawn with `font`, one rectangle a line (a wrapping
// button's lines for that font), in the control's coordinates, as measured by the font's metrics.
// Empty when the lines cannot be laid out.
QList<QRectF> CaptionInk(const QWidget* control, const QFont& font);

// How far right (in the control's coordinates) a line of its caption that spans the heights from
// top to bottom may reach: the right edge of the caption rectangle, or the left edge of a shown
// control beside the line, whichever comes first.
double CaptionRightEnd(const QWidget* control, double top, double bottom);

// For the window's controls as polished now: where an application style sheet gives disabled
// controls the colour of enabled ones, greys them again; then each caption that does not fit
// with its font gets a font a little smaller, step by step, until it does.
void FitCaptions(QWidget* window);

}  // namespace ui
