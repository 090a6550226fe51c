#include "ui/wrapping_radio_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace ui {

void WrappingRadioButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);

  const int indicatorWidth =
      style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, this);
  const int indicatorHeight =
      style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, this);
  const int spacing = style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);

  QStyleOptionButton indicator = option;
  indicator.rect = QRect(0, (height() - indicatorHeight) / 2, indicatorWidth, indicatorHeight);
  painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, indicator);

  QRect textRect = rect().adjusted(indicatorWidth + spacing, 0, 0, 0);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(
      textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, text());

  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect =
        painter.boundingRect(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

bool WrappingRadioButton::hitButton(const QPoint& pos) const { return rect().contains(pos); }

}  // namespace ui
