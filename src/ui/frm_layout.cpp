// Creation of every control with its place, size, caption, font and limits.
// Places and sizes are given in twips as laid out; 15 twips make one pixel.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <cmath>

#include "ui/frm.h"
#include "ui/wrapping_radio_button.h"

// Resources of a static library are not linked in unless named.
static void InitResources() { Q_INIT_RESOURCE(resources); }

namespace ui {

namespace {

constexpr int kClientWidthTwips = 8370;
constexpr int kClientHeightTwips = 5160;
constexpr int kMaxPathLength = 512;
constexpr int kMaxNumberLength = 16;
constexpr int kUnlimited = 32767;  // QLineEdit's own default

int Px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

template <typename Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(Px(left), Px(top), Px(width), Px(height));
  return widget;
}

QFont Font(const char* family, double points, bool bold) {
  QFont font{QString::fromLatin1(family)};
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QFont ArialBold12() { return Font("Arial", 12, true); }

QLabel* Label(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
              int height, Qt::Alignment horizontal = Qt::AlignLeft) {
  auto* label =
      Place(new QLabel(QString::fromLatin1(caption), parent), name, left, top, width, height);
  label->setAlignment(horizontal | Qt::AlignTop);
  return label;
}

QLineEdit* TextBox(QWidget* parent, const char* name, const char* text, int maxLength, int left,
                   int top, int width, int height) {
  auto* box = Place(new QLineEdit(parent), name, left, top, width, height);
  box->setMaxLength(maxLength);
  box->setText(QString::fromLatin1(text));
  box->setCursorPosition(0);
  return box;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const char* caption, int left, int top,
                    int width, int height) {
  auto* box =
      Place(new QCheckBox(QString::fromLatin1(caption), parent), name, left, top, width, height);
  box->setCheckState(Qt::PartiallyChecked);  // grey until start-up writes 0 or 1
  return box;
}

QRadioButton* Option(QWidget* parent, const char* name, const char* caption, int left, int top,
                     int width, int height) {
  return Place(new QRadioButton(QString::fromLatin1(caption), parent), name, left, top, width,
               height);
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption, int left, int top,
                    int width, int height) {
  auto* button =
      Place(new QPushButton(QString::fromLatin1(caption), parent), name, left, top, width, height);
  // A focused command button takes Enter itself, also outside a dialog.
  button->setAutoDefault(true);
  return button;
}

QPushButton* FolderButton(QWidget* parent, const char* name, int left, int top) {
  auto* button = Button(parent, name, "", left, top, 375, 285);
  button->setIcon(button->style()->standardIcon(QStyle::SP_DirOpenIcon));
  button->setIconSize(QSize(16, 16));
  return button;
}

QFrame* Frame(QWidget* parent, const char* name, int left, int top, int width, int height,
              QFrame::Shape shape = QFrame::NoFrame) {
  auto* frame = Place(new QFrame(parent), name, left, top, width, height);
  frame->setFrameShape(shape);
  if (shape != QFrame::NoFrame) frame->setFrameShadow(QFrame::Sunken);
  return frame;
}

void PaintButtonFace(QPushButton* button, const char* colour) {
  button->setStyleSheet(
      QStringLiteral("QPushButton { background-color: %1; border: 1px solid #404040; }"
                     "QPushButton:default { border: 2px solid black; }"
                     "QPushButton:pressed { border-style: inset; }"
                     "QPushButton:focus { outline: 1px dotted black; }")
          .arg(QString::fromLatin1(colour)));
}

QString IndexedName(const char* name, int index) {
  return QStringLiteral("%1(%2)").arg(QString::fromLatin1(name)).arg(index);
}

}  // namespace

void frm::CreateControls() {
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));

  setObjectName(QStringLiteral("frm"));
  setWindowTitle(QString::fromLatin1(kWindowTitle));
  SetWindowIconFromResources();

  client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(Px(kClientWidthTwips), Px(kClientHeightTwips));
  client->setFont(Font("MS Sans Serif", 8.25, false));
  setCentralWidget(client);

  CreateFileRows();
  CreateRangeColumn();
  CreateWhichBytes();
  CreateAction();
  CreateBottom();
  CreateMenus();
  SetTabOrder();
  SetAccessibleNames();
  // Every control takes the window's font unless it has one of its own, also inside a frame,
  // which under an application style sheet would pass on the application's font instead.
  for (QWidget* control : client->findChildren<QWidget*>()) {
    if (!control->testAttribute(Qt::WA_SetFont)) control->setFont(client->font());
  }

  whichGroup_ = new QButtonGroup(fraWhich);
  actionGroup_ = new QButtonGroup(fraAction);
  corruptWithGroup_ = new QButtonGroup(fraCorruptWith);
  for (QRadioButton* option : {optAll, optNth, optMask}) whichGroup_->addButton(option);
  for (QRadioButton* option : {optShift, optCorrupt, optAdd}) actionGroup_->addButton(option);
  for (QRadioButton* option : {optRandomBytes, optByteRange, optSequence}) {
    corruptWithGroup_->addButton(option);
  }

  SetLocked(txtCreate, true);
  SetDefaultButton(cmdGo);
  // No control moves, so the window keeps the size of its client area and menu bar.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void frm::SetWindowIconFromResources() {
  InitResources();
  QIcon icon;
  for (const char* file : {":/icons/glitchforge-16.png", ":/icons/glitchforge-32.png"}) {
    if (QFile::exists(QString::fromLatin1(file))) icon.addFile(QString::fromLatin1(file));
  }
  if (!icon.isNull()) setWindowIcon(icon);
}

void frm::CreateFileRows() {
  optChdir = CheckBox(client, "optChdir", "Change directory to:", 120, 120, 2670, 285);
  optChdir->setFont(ArialBold12());
  txtPath = TextBox(client, "txtPath", "path", kMaxPathLength, 2880, 120, 3375, 285);
  cmdOpen1 = FolderButton(client, "cmdOpen1", 6280, 120);
  lblRunEmulator =
      Label(client, "lblRunEmulator", "Run Emulator:", 1100, 480, 1665, 285, Qt::AlignRight);
  lblRunEmulator->setFont(ArialBold12());
  txtEMU = TextBox(client, "txtEMU", "emu", kMaxPathLength, 2880, 480, 3375, 285);
  cmdOpen2 = FolderButton(client, "cmdOpen2", 6280, 480);
  lblCorruptThis =
      Label(client, "lblCorruptThis", "Corrupt This ROM:", 615, 840, 2145, 285, Qt::AlignRight);
  lblCorruptThis->setFont(ArialBold12());
  txtROM = TextBox(client, "txtROM", "rom", kMaxPathLength, 2880, 840, 3375, 285);
  cmdOpen3 = FolderButton(client, "cmdOpen3", 6280, 840);
  lblCreateThis =
      Label(client, "lblCreateThis", "Create This:", 1710, 1200, 1050, 195, Qt::AlignRight);
  lblCreateThis->setFont(Font("MS Sans Serif", 8.25, true));
  txtCreate = TextBox(client, "txtCreate", "create", kUnlimited, 2880, 1200, 3375, 285);
  optAutoCreate = CheckBox(client, "optAutoCreate", "Auto", 6360, 1200, 735, 255);
  cmdCreateNow = Button(client, "cmdCreateNow", "Create Now", 7200, 1200, 1095, 255);
  Separator = Frame(client, "Separator", 100, 1530, 8175, 80, QFrame::HLine);

  const int helpPlaces[3][2] = {{7920, 120}, {2640, 1680}, {7920, 1670}};
  for (int i = 0; i < 3; ++i) {
    QLabel* help = new QLabel(QStringLiteral("?"), client);
    Place(help, "", helpPlaces[i][0], helpPlaces[i][1], 375, 375);
    help->setObjectName(IndexedName("lblHelp", i));
    help->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    help->setFont(Font("Arial", 14.25, true));
    help->setToolTip(QStringLiteral("?"));
    help->setAutoFillBackground(true);
    QPalette palette = help->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Light));
    help->setPalette(palette);
    help->hide();
    lblHelp[static_cast<std::size_t>(i)] = help;
  }
}

void frm::CreateRangeColumn() {
  lblRange = Label(client, "lblRange", "Range:", 120, 1680, 840, 285);
  lblRange->setFont(ArialBold12());
  lblStart = Label(client, "lblStart", "Start:", 120, 2160, 630, 285);
  lblStart->setFont(ArialBold12());
  txtStart = TextBox(client, "txtStart", "start", kMaxNumberLength, 840, 2160, 800, 285);
  lblEnd = Label(client, "lblEnd", "End:", 120, 2520, 555, 285);
  lblEnd->setFont(ArialBold12());
  txtEnd = TextBox(client, "txtEnd", "end", kMaxNumberLength, 840, 2520, 800, 285);

  struct StepButton {
    int index, left, top, height;
  };
  for (StepButton b : {StepButton{1, 1680, 2160, 255}, StepButton{2, 1680, 2520, 255},
                       StepButton{3, 2160, 2160, 615}}) {
    const auto at = static_cast<std::size_t>(b.index);
    cmdPlus[at] = Button(client, "", "+", b.left, b.top, 240, b.height);
    cmdPlus[at]->setObjectName(IndexedName("cmdPlus", b.index));
    cmdMinus[at] = Button(client, "", "-", b.left + 240, b.top, 240, b.height);
    cmdMinus[at]->setObjectName(IndexedName("cmdMinus", b.index));
  }

  cmdAutoEnd = Button(client, "cmdAutoEnd", "Auto End", 840, 2820, 855, 270);
  lblIncDec = Label(client, "lblIncDec", "Change Range by:", 120, 3240, 2145, 285);
  lblIncDec->setFont(ArialBold12());
  txtInc = TextBox(client, "txtInc", "range", kMaxNumberLength, 2280, 3240, 705, 285);
  Separator3 = Frame(client, "Separator3", 3120, 1680, 48, 2895, QFrame::VLine);
}

void frm::CreateWhichBytes() {
  lblWhichBytes = Label(client, "lblWhichBytes", "Which Bytes:", 3240, 1680, 1530, 285);
  lblWhichBytes->setFont(ArialBold12());
  fraWhich = Frame(client, "fraWhich", 3240, 2040, 2295, 1095);
  optAll = Option(fraWhich, "optAll", "Change ALL bytes", 0, 0, 1815, 255);
  optNth = Option(fraWhich, "optNth", "Every", 0, 240, 735, 255);
  txtNth = TextBox(fraWhich, "txtNth", "nth", 20, 720, 240, 615, 285);
  lblThByte = Label(fraWhich, "lblThByte", "th Byte", 1360, 270, 615, 255);
  optMask = Place(new WrappingRadioButton(QStringLiteral("Bytes 0 after Byte AND Mask"), fraWhich),
                  "optMask", 0, 480, 1935, 495);
  txtMask = TextBox(fraWhich, "txtMask", "mask", 50, 720, 720, 1335, 285);
}

void frm::CreateAction() {
  lblAction = Label(client, "lblAction", "Action:", 5640, 1680, 825, 285);
  lblAction->setFont(ArialBold12());
  fraAction = Frame(client, "fraAction", 5640, 2040, 2655, 2475);
  optShift = Option(fraAction, "optShift", "Shift Right", 0, 0, 1080, 255);
  txtShift = TextBox(fraAction, "txtShift", "shift", kMaxNumberLength, 1080, 0, 495, 285);
  lblBytes = Label(fraAction, "lblBytes", "bytes", 1605, 15, 375, 195);
  optCorrupt = Option(fraAction, "optCorrupt", "Corrupt bytes with", 0, 240, 1695, 255);
  fraCorruptWith = Frame(fraAction, "fraCorruptWith", 0, 480, 2655, 1695);
  optAdd = Option(fraAction, "optAdd", "Add", 0, 2160, 615, 255);
  txtAdd = TextBox(fraAction, "txtAdd", "add", kUnlimited, 720, 2160, 615, 285);
  lblToByte = Label(fraAction, "lblToByte", "To Byte", 1440, 2160, 855, 255);

  optRandomBytes = Option(fraCorruptWith, "optRandomBytes", "Random Bytes", 240, 0, 1455, 255);
  optByteRange = Option(fraCorruptWith, "optByteRange", "Byte Range", 240, 240, 1335, 255);
  txtRange1 = TextBox(fraCorruptWith, "txtRange1", "range1", kMaxNumberLength, 480, 480, 495, 285);
  txtTo = Label(fraCorruptWith, "txtTo", "to", 1080, 500, 165, 225);
  txtTo->setFont(Font("Times New Roman", 8.25, false));
  txtRange2 = TextBox(fraCorruptWith, "txtRange2", "range2", kMaxNumberLength, 1320, 480, 495, 285);
  optSequence = Option(fraCorruptWith, "optSequence", "Looping Sequence:", 240, 840, 1695, 255);
  txtSequence =
      TextBox(fraCorruptWith, "txtSequence", "sequence", kUnlimited, 480, 1080, 1815, 285);
  optRandomSeq =
      CheckBox(fraCorruptWith, "optRandomSeq", "Random from sequence", 480, 1440, 2055, 255);
  optSequence->setEnabled(false);
  txtSequence->setEnabled(false);
  optRandomSeq->setEnabled(false);
}

void frm::CreateBottom() {
  lblStatus = Label(client, "lblStatus", "Status: Ready!", 240, 4320, 2895, 255);
  prgRun = Place(new QProgressBar(client), "prgRun", 3240, 4320, 1440, 255);
  prgRun->hide();
  cmdCancel = Button(client, "cmdCancel", "Cancel", 4725, 4320, 810, 240);
  cmdCancel->setFocusPolicy(Qt::NoFocus);
  cmdCancel->hide();
  Separator2 = Frame(client, "Separator2", 120, 4560, 8175, 80, QFrame::HLine);
  cmdGo = Button(client, "cmdGo", "&GO!", 120, 4680, 975, 435);
  PaintButtonFace(cmdGo, "rgb(0, 255, 0)");
  cmdAuto = Button(client, "cmdAuto", "Auto >>", 1200, 4680, 975, 435);
  PaintButtonFace(cmdAuto, "rgb(255, 0, 0)");
  optOverwrite = CheckBox(client, "optOverwrite", "Overwrite Old File", 2280, 4800, 1695, 255);
}

void frm::CreateMenus() {
  auto named = [](auto* item, const QString& name) {
    item->setObjectName(name);
    return item;
  };
  auto slotMenu = [&](QMenu* parent, const char* menuName, const char* caption,
                      std::array<QAction*, 11>& items, const char* itemName, bool offered) {
    QMenu* menu =
        named(parent->addMenu(QString::fromLatin1(caption)), QString::fromLatin1(menuName));
    menu->menuAction()->setObjectName(QString::fromLatin1(menuName));
    for (int i = 0; i <= 10; ++i) {
      QAction* item = named(menu->addAction(QString::number(i)), IndexedName(itemName, i));
      item->setEnabled(offered);
      items[static_cast<std::size_t>(i)] = item;
    }
    menu->menuAction()->setEnabled(offered);
    return menu;
  };

  mnuFile = named(menuBar()->addMenu(QStringLiteral("&File")), QStringLiteral("mnuFile"));
  mnuImport = named(mnuFile->addAction(QStringLiteral("&Import...")), QStringLiteral("mnuImport"));
  mnuExport = named(mnuFile->addAction(QStringLiteral("&Export...")), QStringLiteral("mnuExport"));
  mnuCloseEmulator = named(mnuFile->addAction(QStringLiteral("&Close Previous Emulator")),
                           QStringLiteral("mnuCloseEmulator"));
  mnuCloseEmulator->setCheckable(true);
  mnuFileSep1 = named(mnuFile->addSeparator(), QStringLiteral("mnuFileSep1"));
  mnuExit = named(mnuFile->addAction(QStringLiteral("E&xit")), QStringLiteral("mnuExit"));

  mnuSave = named(menuBar()->addMenu(QStringLiteral("&Save")), QStringLiteral("mnuSave"));
  mnuSaveGlobal = slotMenu(mnuSave, "mnuSaveGlobal", "&Global", mnuSG, "mnuSG", true);
  mnuSaveLocal = slotMenu(mnuSave, "mnuSaveLocal", "&Local", mnuSL, "mnuSL", true);
  mnuLoad = named(menuBar()->addMenu(QStringLiteral("&Load")), QStringLiteral("mnuLoad"));
  mnuLoadGlobal = slotMenu(mnuLoad, "mnuLoadGlobal", "&Global", mnuLG, "mnuLG", true);
  mnuLoadLocal = slotMenu(mnuLoad, "mnuLoadLocal", "&Local", mnuLL, "mnuLL", true);
}

void frm::SetTabOrder() {
  // Labels and frames hold places in the order but take no focus.
  QWidget* const order[] = {
      optChdir,   txtPath,     cmdOpen1,      txtEMU,         cmdOpen2,     txtROM,
      cmdOpen3,   txtCreate,   optAutoCreate, cmdCreateNow,   txtStart,     txtEnd,
      cmdPlus[1], cmdMinus[1], cmdPlus[2],    cmdMinus[2],    cmdPlus[3],   cmdMinus[3],
      txtInc,     optAll,      optNth,        txtNth,         optMask,      txtMask,
      optShift,   txtShift,    optCorrupt,    optRandomBytes, optByteRange, txtRange1,
      txtRange2,  optSequence, txtSequence,   optRandomSeq,   optAdd,       txtAdd,
      cmdGo,      cmdAuto,     cmdAutoEnd,    optOverwrite,
  };
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void frm::SetAccessibleNames() {
  const std::pair<QWidget*, const char*> names[] = {
      {txtPath, "Change directory to:"},
      {cmdOpen1, "Change directory to:"},
      {txtEMU, "Run Emulator:"},
      {cmdOpen2, "Run Emulator:"},
      {txtROM, "Corrupt This ROM:"},
      {cmdOpen3, "Corrupt This ROM:"},
      {txtCreate, "Create This:"},
      {txtStart, "Start:"},
      {txtEnd, "End:"},
      {txtInc, "Change Range by:"},
      {txtNth, "Every"},
      {txtMask, "Bytes 0 after Byte AND Mask"},
      {txtShift, "Shift Right"},
      {txtRange1, "Byte Range"},
      {txtRange2, "to"},
      {txtSequence, "Looping Sequence:"},
      {txtAdd, "Add"},
  };
  for (const auto& [widget, name] : names) widget->setAccessibleName(QString::fromLatin1(name));
  for (QPushButton* open : {cmdOpen1, cmdOpen2, cmdOpen3}) {
    open->setAccessibleDescription(QStringLiteral("Pick with the file-open dialog"));
  }
}

}  // namespace ui
