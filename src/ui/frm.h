#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "engine/host.h"
#include "engine/job_settings.h"
#include "engine/output_record.h"
#include "settings/settings_store.h"
#include "ui/window_work.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

namespace ui {

class Dialogs;

inline constexpr const char* kWindowTitle = "ROM Glitchforge 5.99 by Quorvath";

// The services the window works with, every one of them given: main() hands
// in the real ones, tests their doubles. The window owns none of them, and
// they must outlive it. The window calls them on its own thread, except the
// file system and the random source, which a run's long stretches call from
// the worker thread while the window waits (one call at a time either way).
struct Services {
  Dialogs* dialogs = nullptr;
  engine::FileSystem* files = nullptr;
  engine::ProcessLauncher* launcher = nullptr;
  engine::Clock* clock = nullptr;
  engine::RandomSource* random = nullptr;
  settings::SettingsStore* settings = nullptr;
  // How long a handler call works before the progress bar shows.
  std::chrono::milliseconds progressDelay = kShowProgressAfter;
  // Where the Local presets keep their glitches (made when first needed).
  QString dataFolder{};
};

// The one window. It owns every option of a job: each field lives in exactly
// one control, and the handlers read the controls when they run.
// Controls are public so that the handlers of every part of the program can
// reach them by name, as the controls of a form.
class frm : public QMainWindow, public engine::UserInterface {
  Q_OBJECT

 public:
  explicit frm(const Services& services, QWidget* parent = nullptr);
  ~frm() override;

  // --- Fields -------------------------------------------------------------
  // Writing sets the control at once, so its
  // reactions run as a user's change would: text boxes take the text, check
  // boxes 0/1 (2 is grey), an option true is chosen (clearing the others of its
  // group), false clears only that button.
  engine::FieldValue ReadField(engine::Field field) const;
  void WriteField(engine::Field field, const engine::FieldValue& value);
  // Every field plus the output name, as the controls hold them now.
  engine::JobSettings ReadJob() const;

  // 0, 1 or the grey 2.
  static int CheckValue(const QCheckBox* box);

  // --- Default button -----------------------------------------------------
  // The button that Enter presses when the focus is on any control other
  // than a command button (a focused command button takes Enter itself).
  void SetDefaultButton(QPushButton* button);
  QPushButton* DefaultButton() const { return defaultButton_; }

  // --- engine::UserInterface ----------------------------------------------
  void ShowMessage(const std::string& text) override;
  void SetStatus(const std::string& text) override;
  void SetFocus(engine::FocusTarget target) override;

  // A Host over this window and the services; lastError starts empty. Its
  // long stretches run off the window's thread.
  engine::Host MakeHost();
  Dialogs& dialogs() { return *services_.dialogs; }

  // --- Handlers -----------------------------------------------------------
  // Run (frm_run.cpp)
  void cmdGo_Click();
  void cmdCreateNow_Click();

  // Output name and locks (frm_handlers.cpp)
  void txtROM_Change();
  void optAutoCreate_Click();
  void txtPath_Change();
  void optChdir_Click();

  // Option rows (frm_handlers.cpp). Mouse arguments are the button, the
  // shift keys and the place; none of them is looked at.
  void txtNth_MouseDown(int Button, int Shift, int X, int Y);
  void txtMask_MouseDown(int Button, int Shift, int X, int Y);
  void txtShift_MouseDown(int Button, int Shift, int X, int Y);
  void txtAdd_MouseDown(int Button, int Shift, int X, int Y);
  void optRandomBytes_MouseDown(int Button, int Shift, int X, int Y);
  void optByteRange_MouseDown(int Button, int Shift, int X, int Y);
  void optSequence_MouseDown(int Button, int Shift, int X, int Y);
  void txtRange1_MouseDown(int Button, int Shift, int X, int Y);
  void txtRange2_MouseDown(int Button, int Shift, int X, int Y);
  void txtSequence_MouseDown(int Button, int Shift, int X, int Y);
  void txtTo_Click();
  void optRandomSeq_Click();
  void lblThByte_Click();
  void lblBytes_Click();
  void lblToByte_Click();
  void optAdd_Click();
  void lblHelp_Click(int Index);

  // Start-up, shutdown and presets (frm_settings.cpp)
  void Form_Load();
  void Form_QueryUnload();
  void mnuExit_Click();
  void mnuSG_Click(int Index);
  void mnuLG_Click(int Index);
  void UpdateGlobalMenus();

  // Auto mode (frm_auto.cpp)
  void cmdPlus_Click(int Index);
  void cmdMinus_Click(int Index);
  void cmdAuto_Click();
  void cmdAutoEnd_Click();

  // Keeping and sharing a glitch (frm_patches.cpp)
  void mnuExport_Click();
  void mnuImport_Click();
  void mnuSL_Click(int Index);
  void mnuLL_Click(int Index);
  // Captions both Local submenus for the ROM in the box now.
  void UpdateLocalMenus();

  // File pickers (frm_pickers.cpp)
  void cmdOpen1_Click();
  void cmdOpen2_Click();
  void cmdOpen3_Click();
  void SetPath();
  void SetEmu();
  void SetRom();

  // --- Controls -------------------------------------------------------------
  QWidget* client = nullptr;  // the client area below the menu bar

  QCheckBox* optChdir = nullptr;
  QLineEdit* txtPath = nullptr;
  QPushButton* cmdOpen1 = nullptr;
  std::array<QLabel*, 3> lblHelp{};
  QLabel* lblRunEmulator = nullptr;
  QLineEdit* txtEMU = nullptr;
  QPushButton* cmdOpen2 = nullptr;
  QLabel* lblCorruptThis = nullptr;
  QLineEdit* txtROM = nullptr;
  QPushButton* cmdOpen3 = nullptr;
  QLabel* lblCreateThis = nullptr;
  QLineEdit* txtCreate = nullptr;
  QCheckBox* optAutoCreate = nullptr;
  QPushButton* cmdCreateNow = nullptr;
  QFrame* Separator = nullptr;

  QLabel* lblRange = nullptr;
  QLabel* lblStart = nullptr;
  QLineEdit* txtStart = nullptr;
  // Indexed 1 to 3 as the buttons are; element 0 stays null.
  std::array<QPushButton*, 4> cmdPlus{};
  std::array<QPushButton*, 4> cmdMinus{};
  QLabel* lblEnd = nullptr;
  QLineEdit* txtEnd = nullptr;
  QPushButton* cmdAutoEnd = nullptr;
  QLabel* lblIncDec = nullptr;
  QLineEdit* txtInc = nullptr;
  QFrame* Separator3 = nullptr;

  QLabel* lblWhichBytes = nullptr;
  QFrame* fraWhich = nullptr;
  QRadioButton* optAll = nullptr;
  QRadioButton* optNth = nullptr;
  QLineEdit* txtNth = nullptr;
  QLabel* lblThByte = nullptr;
  QRadioButton* optMask = nullptr;
  QLineEdit* txtMask = nullptr;

  QLabel* lblAction = nullptr;
  QFrame* fraAction = nullptr;
  QRadioButton* optShift = nullptr;
  QLineEdit* txtShift = nullptr;
  QLabel* lblBytes = nullptr;
  QRadioButton* optCorrupt = nullptr;
  QFrame* fraCorruptWith = nullptr;
  QRadioButton* optAdd = nullptr;
  QLineEdit* txtAdd = nullptr;
  QLabel* lblToByte = nullptr;
  QRadioButton* optRandomBytes = nullptr;
  QRadioButton* optByteRange = nullptr;
  QLineEdit* txtRange1 = nullptr;
  QLabel* txtTo = nullptr;  // a label, despite its name
  QLineEdit* txtRange2 = nullptr;
  QRadioButton* optSequence = nullptr;
  QLineEdit* txtSequence = nullptr;
  QCheckBox* optRandomSeq = nullptr;

  QLabel* lblStatus = nullptr;
  QProgressBar* prgRun = nullptr;    // beside the status line while a long run works
  QPushButton* cmdCancel = nullptr;  // beside the progress bar; Esc does the same
  QFrame* Separator2 = nullptr;
  QPushButton* cmdGo = nullptr;
  QPushButton* cmdAuto = nullptr;
  QCheckBox* optOverwrite = nullptr;

  QMenu* mnuFile = nullptr;
  QAction* mnuImport = nullptr;
  QAction* mnuExport = nullptr;
  QAction* mnuCloseEmulator = nullptr;  // checkable; the runs read it
  QAction* mnuFileSep1 = nullptr;
  QAction* mnuExit = nullptr;
  QMenu* mnuSave = nullptr;
  QMenu* mnuSaveGlobal = nullptr;
  QMenu* mnuSaveLocal = nullptr;
  QMenu* mnuLoad = nullptr;
  QMenu* mnuLoadGlobal = nullptr;
  QMenu* mnuLoadLocal = nullptr;
  std::array<QAction*, 11> mnuSG{};
  std::array<QAction*, 11> mnuSL{};
  std::array<QAction*, 11> mnuLG{};
  std::array<QAction*, 11> mnuLL{};

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // Shown, the window fits its captions to the scale and style it now has.
  void showEvent(QShowEvent* event) override;

 private:
  // frm_layout.cpp
  void CreateControls();
  void CreateFileRows();
  void CreateRangeColumn();
  void CreateWhichBytes();
  void CreateAction();
  void CreateBottom();
  void CreateMenus();
  void SetTabOrder();
  void SetAccessibleNames();
  void SetWindowIconFromResources();
  // frm_wiring.cpp
  void ConnectHandlers();
  void WatchMousePresses();
  bool HandleMousePress(QObject* watched);
  bool HandleLabelClick(QObject* watched, QEvent* event);
  bool HandleEnter(QObject* watched, QEvent* event);
  // frm_fields.cpp
  QWidget* FieldControl(engine::Field field) const;
  // frm_handlers.cpp
  static void Choose(QRadioButton* option);
  static void Clear(QRadioButton* option);
  void SetLocked(QLineEdit* box, bool locked);
  // frm_settings.cpp
  settings::SettingsStore& Store();
  // frm_run.cpp: runs an engine handler with a last guard against crashes.
  void RunGuarded(const std::function<void()>& call);
  // One handler that runs a job. While it works the window takes no input;
  // a close asked for meanwhile waits for its end. Ignored when it is asked
  // for while a stretch runs.
  void AsOneRun(const std::function<void()>& handler);

  Services services_;

  // One exclusive group per frame. Auto-exclusive buttons alone would also
  // exclude the buttons of frames nested inside (fraCorruptWith in fraAction).
  QButtonGroup* whichGroup_ = nullptr;
  QButtonGroup* actionGroup_ = nullptr;
  QButtonGroup* corruptWithGroup_ = nullptr;
  QPushButton* defaultButton_ = nullptr;
  QObject* labelPressed_ = nullptr;  // label under a left press not yet released

  std::unique_ptr<WindowWork> work_;
  engine::OutputRecord record_;  // of the output this window's runs wrote last
  int runDepth_ = 0;             // AsOneRun calls in progress
  bool closeAsked_ = false;
};

}  // namespace ui
