#pragma once

#include <QRadioButton>

namespace ui {

// An option button whose caption wraps onto further lines inside its own
// width, as a caption too long for one line does in the layout. The whole
// rectangle takes the click.
class WrappingRadioButton : public QRadioButton {
  Q_OBJECT

 public:
  using QRadioButton::QRadioButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override;
};

}  // namespace ui
