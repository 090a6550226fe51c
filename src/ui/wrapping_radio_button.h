#pragma once

#include <QRadioButton>
#include <QStringList>

namespace ui {

// An option button whose caption wraps onto further lines inside its own
// height, as a caption too long for one line does in the layout. The whole
// rectangle takes the click.
class WrappingRadioButton : public QRadioButton {
  Q_OBJECT

 public:
  using QRadioButton::QRadioButton;

  // The caption broken between words into the fewest lines that, drawn with
  // `font` and centred in the caption rectangle, each end before the control
  // beside them (the box beside the last line); the lower lines take the
  // most words. Empty when no such lines fit the height.
  QStringList Lines(const QFont& font) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override;
};

}  // namespace ui
