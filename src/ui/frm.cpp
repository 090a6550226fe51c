#include "ui/frm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>

#include "engine/real_host.h"
#include "platform/detached_launcher.h"
#include "ui/dialogs.h"

namespace ui {

namespace {

template <typename Interface, typename Real>
Interface* OwnOrUse(Interface* injected, std::unique_ptr<Interface>& owned) {
  if (injected) return injected;
  owned = std::make_unique<Real>();
  return owned.get();
}

}  // namespace

frm::frm(Services services, QWidget* parent) : QMainWindow(parent) {
  dialogs_ = OwnOrUse<Dialogs, QtDialogs>(services.dialogs, ownDialogs_);
  files_ = OwnOrUse<engine::FileSystem, engine::DiskFileSystem>(services.files, ownFiles_);
  launcher_ = OwnOrUse<engine::ProcessLauncher, platform::DetachedLauncher>(services.launcher,
                                                                           ownLauncher_);
  clock_ = OwnOrUse<engine::Clock, engine::SystemClock>(services.clock, ownClock_);
  random_ = OwnOrUse<engine::RandomSource, engine::FastRandom>(services.random, ownRandom_);
  settings_ = services.settings;

  CreateControls();
  ConnectHandlers();
  WatchMousePresses();
}

frm::~frm() = default;

// Nothing may keep the window open, not even a store that cannot be written.
void frm::closeEvent(QCloseEvent* event) {
  try {
    Form_QueryUnload();
  } catch (const std::exception&) {
  }
  event->accept();
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
  dialogs_->ShowMessage(this, QString::fromStdString(text));
}

void frm::SetStatus(const std::string& text) {
  lblStatus->setText(QString::fromStdString(text));
  // The run does not return to the event loop until it ends; paint now.
  lblStatus->repaint();
}

void frm::SetFocus(engine::FocusTarget target) {
  switch (target) {
    case engine::FocusTarget::txtNth: txtNth->setFocus(Qt::OtherFocusReason); break;
    case engine::FocusTarget::txtRange1: txtRange1->setFocus(Qt::OtherFocusReason); break;
    case engine::FocusTarget::txtShift: txtShift->setFocus(Qt::OtherFocusReason); break;
  }
}

engine::Host frm::MakeHost() {
  return engine::Host{*this, *files_, *launcher_, *clock_, *random_, {}};
}

}  // namespace ui
