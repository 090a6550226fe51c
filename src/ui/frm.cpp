#include "ui/frm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "ui/caption_fit.h"
#include "ui/dialogs.h"
#include "ui/ignore_failure.h"
#include "ui/window_thread.h"
#include "ui/window_work.h"

namespace ui {

frm::frm(const Services& services, QWidget* parent) : QMainWindow(parent), services_(services) {
  CreateControls();
  work_ = std::make_unique<WindowWork>(prgRun, cmdCancel, services.progressDelay);
  ConnectHandlers();
  WatchMousePresses();
}

frm::~frm() = default;

// Nothing may keep the window open, not even a store that cannot be written.
// A run that works goes on to its end first, so that the output is never left
// half-written.
void frm::closeEvent(QCloseEvent* event) {
  if (runDepth_ > 0) {
    closeAsked_ = true;
    event->ignore();
    return;
  }
  RunIgnoringFailure("Saving the options at the close", [this] { Form_QueryUnload(); });
  event->accept();
}

void frm::showEvent(QShowEvent* event) {
  FitCaptions(this);
  QMainWindow::showEvent(event);
}

int frm::CheckValue(const QCheckBox* box) {
  switch (box->checkState()) {
    case Qt::Checked: return engine::kChecked;
    case Qt::PartiallyChecked: return engine::kGrey;
    default: return engine::kUnchecked;
  }
}

void frm::SetDefaultButton(QPushButton* button) {
  if (defaultButton_ == button) return;
  if (defaultButton_) defaultButton_->setDefault(false);
  defaultButton_ = button;
  if (defaultButton_) defaultButton_->setDefault(true);
}

void frm::ShowMessage(const std::string& text) {
  RequireWindowThread(*this, "ShowMessage");
  services_.dialogs->ShowMessage(this, QString::fromStdString(text));
}

void frm::SetStatus(const std::string& text) {
  RequireWindowThread(*this, "SetStatus");
  lblStatus->setText(QString::fromStdString(text));
  // The run does not return to the event loop until it ends; paint now.
  lblStatus->repaint();
}

void frm::SetFocus(engine::FocusTarget target) {
  RequireWindowThread(*this, "SetFocus");
  switch (target) {
    case engine::FocusTarget::nth: txtNth->setFocus(Qt::OtherFocusReason); break;
    case engine::FocusTarget::range1: txtRange1->setFocus(Qt::OtherFocusReason); break;
    case engine::FocusTarget::shift: txtShift->setFocus(Qt::OtherFocusReason); break;
  }
}

engine::Host frm::MakeHost() {
  return engine::Host{
      *this,  *services_.files, *services_.launcher, *services_.clock, *services_.random, {},
      *work_, &record_};
}

}  // namespace ui
