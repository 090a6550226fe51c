// Which notification of which control runs which handler.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "ui/frm.h"

namespace ui {

void frm::ConnectHandlers() {
  connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
  connect(cmdCreateNow, &QPushButton::clicked, this, [this] { cmdCreateNow_Click(); });
  connect(cmdAuto, &QPushButton::clicked, this, [this] { cmdAuto_Click(); });
  connect(cmdAutoEnd, &QPushButton::clicked, this, [this] { cmdAutoEnd_Click(); });
  for (int i = 1; i <= 3; ++i) {
    const auto at = static_cast<std::size_t>(i);
    connect(cmdPlus[at], &QPushButton::clicked, this, [this, i] { cmdPlus_Click(i); });
    connect(cmdMinus[at], &QPushButton::clicked, this, [this, i] { cmdMinus_Click(i); });
  }
  connect(cmdOpen1, &QPushButton::clicked, this, [this] { cmdOpen1_Click(); });
  connect(cmdOpen2, &QPushButton::clicked, this, [this] { cmdOpen2_Click(); });
  connect(cmdOpen3, &QPushButton::clicked, this, [this] { cmdOpen3_Click(); });

  connect(txtROM, &QLineEdit::textChanged, this, [this] { txtROM_Change(); });
  connect(txtPath, &QLineEdit::textChanged, this, [this] { txtPath_Change(); });
  // A check box's value changes by a click or by code alike; each change
  // also ends the grey third state of the layout for good.
  auto onValueChange = [this](QCheckBox* box, void (frm::*handler)()) {
    connect(box, &QCheckBox::stateChanged, this, [this, box, handler](int state) {
      if (state != Qt::PartiallyChecked) box->setTristate(false);
      if (handler) (this->*handler)();
    });
  };
  onValueChange(optChdir, &frm::optChdir_Click);
  onValueChange(optAutoCreate, &frm::optAutoCreate_Click);
  onValueChange(optRandomSeq, &frm::optRandomSeq_Click);
  onValueChange(optOverwrite, nullptr);
  connect(optAdd, &QRadioButton::toggled, this, [this](bool on) {
    if (on) optAdd_Click();
  });

  connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
  connect(mnuImport, &QAction::triggered, this, [this] { mnuImport_Click(); });
  connect(mnuExport, &QAction::triggered, this, [this] { mnuExport_Click(); });
  for (int i = 0; i <= 10; ++i) {
    const auto at = static_cast<std::size_t>(i);
    connect(mnuSG[at], &QAction::triggered, this, [this, i] { mnuSG_Click(i); });
    connect(mnuLG[at], &QAction::triggered, this, [this, i] { mnuLG_Click(i); });
    connect(mnuSL[at], &QAction::triggered, this, [this, i] { mnuSL_Click(i); });
    connect(mnuLL[at], &QAction::triggered, this, [this, i] { mnuLL_Click(i); });
  }
  // The Local slots belong to the ROM in the box at the moment a menu opens.
  connect(mnuSaveLocal, &QMenu::aboutToShow, this, [this] { UpdateLocalMenus(); });
  connect(mnuLoadLocal, &QMenu::aboutToShow, this, [this] { UpdateLocalMenus(); });

  // Enter in a text box presses the default button; check and option buttons
  // are handled in HandleEnter.
  for (QLineEdit* box : findChildren<QLineEdit*>()) {
    connect(box, &QLineEdit::returnPressed, this, [this] {
      if (defaultButton_ && defaultButton_->isEnabled()) defaultButton_->click();
    });
  }

  // A focused command button shows itself as the default while it has the
  // focus, and Qt drops the default look of any button that loses the focus
  // outside a dialog; give it back to the default button whenever the focus
  // rests on something other than a command button.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (defaultButton_ && !qobject_cast<QPushButton*>(now) && !defaultButton_->isDefault())
      defaultButton_->setDefault(true);
  });
}

void frm::WatchMousePresses() {
  for (QObject* watched : std::initializer_list<QObject*>{
           txtNth, txtMask, txtShift, txtAdd, optRandomBytes, optByteRange, optSequence, txtRange1,
           txtRange2, txtSequence, txtTo, lblThByte, lblBytes, lblToByte, lblHelp[0], lblHelp[1],
           lblHelp[2]}) {
    watched->installEventFilter(this);
  }
  for (QCheckBox* box : findChildren<QCheckBox*>()) box->installEventFilter(this);
  for (QRadioButton* option : findChildren<QRadioButton*>()) option->installEventFilter(this);
}

bool frm::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  // Filters see events before the control does, also on a disabled control,
  // which must not react.
  if (!widget || !widget->isEnabled()) return QMainWindow::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      HandleMousePress(watched);
      HandleLabelClick(watched, event);
      break;
    case QEvent::MouseButtonRelease: HandleLabelClick(watched, event); break;
    case QEvent::KeyPress:
      if (HandleEnter(watched, event)) return true;
      break;
    default: break;
  }
  return QMainWindow::eventFilter(watched, event);
}

// Any mouse button, any keys held.
bool frm::HandleMousePress(QObject* watched) {
  using MouseDown = void (frm::*)(int, int, int, int);
  const std::pair<QObject*, MouseDown> handlers[] = {
      {txtNth, &frm::txtNth_MouseDown},
      {txtMask, &frm::txtMask_MouseDown},
      {txtShift, &frm::txtShift_MouseDown},
      {txtAdd, &frm::txtAdd_MouseDown},
      {optRandomBytes, &frm::optRandomBytes_MouseDown},
      {optByteRange, &frm::optByteRange_MouseDown},
      {optSequence, &frm::optSequence_MouseDown},
      {txtRange1, &frm::txtRange1_MouseDown},
      {txtRange2, &frm::txtRange2_MouseDown},
      {txtSequence, &frm::txtSequence_MouseDown},
  };
  for (const auto& [control, handler] : handlers) {
    if (watched != control) continue;
    (this->*handler)(0, 0, 0, 0);
    return true;
  }
  return false;
}

// A label is clicked when the left button goes down and comes up inside it.
bool frm::HandleLabelClick(QObject* watched, QEvent* event) {
  auto* label = qobject_cast<QLabel*>(watched);
  if (!label) return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  if (mouse->button() != Qt::LeftButton) return false;
  if (event->type() != QEvent::MouseButtonRelease) {
    labelPressed_ = label;
    return false;
  }
  const bool clicked =
      labelPressed_ == label && label->rect().contains(mouse->position().toPoint());
  labelPressed_ = nullptr;
  if (!clicked) return false;
  if (label == txtTo)
    txtTo_Click();
  else if (label == lblThByte)
    lblThByte_Click();
  else if (label == lblBytes)
    lblBytes_Click();
  else if (label == lblToByte)
    lblToByte_Click();
  for (int i = 0; i < 3; ++i) {
    if (label == lblHelp[static_cast<std::size_t>(i)]) lblHelp_Click(i);
  }
  return true;
}

// Enter on a check box or option button presses the default button.
bool frm::HandleEnter(QObject* watched, QEvent* event) {
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
  if (!qobject_cast<QCheckBox*>(watched) && !qobject_cast<QRadioButton*>(watched)) return false;
  if (defaultButton_ && defaultButton_->isEnabled()) defaultButton_->click();
  return true;
}

}  // namespace ui
