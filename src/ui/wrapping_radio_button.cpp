#include "ui/wrapping_radio_button.h"

#include <QFontMetricsF>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "ui/caption_fit.h"

namespace ui {

QStringList WrappingRadioButton::Lines(const QFont& font) const {
  const QFontMetricsF metrics(font);
  const QRect room = CaptionRect(this);
  const QStringList words = text().split(u' ', Qt::SkipEmptyParts);
  for (qsizetype count = 1; count <= words.size(); ++count) {
    const double height = metrics.height() + static_cast<double>(count - 1) * metrics.lineSpacing();
    if (height > room.height()) break;
    // Fill the lines from the last one up, each with as many words as end before its neighbour.
    QStringList lines;
    qsizetype end = words.size();
    for (qsizetype line = count - 1; line >= 0 && end > 0; --line) {
      const double baseline = room.top() + (room.height() - height) / 2 + metrics.ascent() +
                              static_cast<double>(line) * metrics.lineSpacing();
      const auto endsInRoom = [&](qsizetype begin) {
        const QRectF ink = metrics.tightBoundingRect(words.mid(begin, end - begin).join(u' '))
                               .translated(room.left(), baseline);
        return ink.right() <= CaptionRightEnd(this, ink.top(), ink.bottom());
      };
      qsizetype begin = end;
      while (begin > 0 && endsInRoom(begin - 1)) --begin;
      if (begin == end) break;
      lines.prepend(words.mid(begin, end - begin).join(u' '));
      end = begin;
    }
    if (end == 0 && lines.size() == count) return lines;
  }
  return {};
}

void WrappingRadioButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);

  QStyleOptionButton indicator = option;
  indicator.rect = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
  painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, indicator);

  // Lines that cannot end before their neighbours at any font size still wrap inside the button.
  const QStringList lines = Lines(font());
  const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic |
                    (lines.isEmpty() ? Qt::TextWordWrap : 0);
  const QString shown = lines.isEmpty() ? text() : lines.join(u'\n');
  const QRect textRect = CaptionRect(this);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(textRect, flags, shown);

  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = painter.boundingRect(textRect, flags, shown);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

bool WrappingRadioButton::hitButton(const QPoint& pos) const { return rect().contains(pos); }

}  // namespace ui
