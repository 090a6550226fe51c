#pragma once

#include <QString>

class QWidget;

namespace ui {

// Every modal box the window shows goes through here, so tests can record
// them instead of blocking on them.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal box captioned "ROM Glitchforge 6.0" with the text, an OK button
  // only and no icon. "\r\n" in the text is a line break.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
};

// The real boxes.
class QtDialogs : public Dialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& text) override;
};

inline constexpr const char* kApplicationTitle = "ROM Glitchforge 6.0";

}  // namespace ui
