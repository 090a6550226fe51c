#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <cmath>
#include <functional>

#include "window_fixture.h"

namespace {

struct Placed {
  const char* name;
  const char* container;
  int left, top, width, height;  // twips
  const char* text;              // caption, or a text box's first text
  int maxLength = 0;             // of a text box; 32767: no limit of its own
  const char* accessible = nullptr;
};

const Placed kLayout[] = {
    {"optChdir", "client", 120, 120, 2670, 285, "Change directory to:"},
    {"txtPath", "client", 2880, 120, 3375, 285, "path", 512, "Change directory to:"},
    {"cmdOpen1", "client", 6280, 120, 375, 285, "", 0, "Change directory to:"},
    {"lblHelp(0)", "client", 7920, 120, 375, 375, "?"},
    {"lblRunEmulator", "client", 1100, 480, 1665, 285, "Run Emulator:"},
    {"txtEMU", "client", 2880, 480, 3375, 285, "emu", 512, "Run Emulator:"},
    {"cmdOpen2", "client", 6280, 480, 375, 285, "", 0, "Run Emulator:"},
    {"lblCorruptThis", "client", 615, 840, 2145, 285, "Corrupt This ROM:"},
    {"txtROM", "client", 2880, 840, 3375, 285, "rom", 512, "Corrupt This ROM:"},
    {"cmdOpen3", "client", 6280, 840, 375, 285, "", 0, "Corrupt This ROM:"},
    {"lblCreateThis", "client", 1710, 1200, 1050, 195, "Create This:"},
    {"txtCreate", "client", 2880, 1200, 3375, 285, "create", 32767, "Create This:"},
    {"optAutoCreate", "client", 6360, 1200, 735, 255, "Auto"},
    {"cmdCreateNow", "client", 7200, 1200, 1095, 255, "Create Now"},
    {"Separator", "client", 100, 1530, 8175, 80, ""},
    {"lblRange", "client", 120, 1680, 840, 285, "Range:"},
    {"lblHelp(1)", "client", 2640, 1680, 375, 375, "?"},
    {"lblStart", "client", 120, 2160, 630, 285, "Start:"},
    {"txtStart", "client", 840, 2160, 800, 285, "start", 16, "Start:"},
    {"cmdPlus(1)", "client", 1680, 2160, 240, 255, "+"},
    {"cmdMinus(1)", "client", 1920, 2160, 240, 255, "-"},
    {"cmdPlus(3)", "client", 2160, 2160, 240, 615, "+"},
    {"cmdMinus(3)", "client", 2400, 2160, 240, 615, "-"},
    {"lblEnd", "client", 120, 2520, 555, 285, "End:"},
    {"txtEnd", "client", 840, 2520, 800, 285, "end", 16, "End:"},
    {"cmdPlus(2)", "client", 1680, 2520, 240, 255, "+"},
    {"cmdMinus(2)", "client", 1920, 2520, 240, 255, "-"},
    {"cmdAutoEnd", "client", 840, 2820, 855, 270, "Auto End"},
    {"lblIncDec", "client", 120, 3240, 2145, 285, "Change Range by:"},
    {"txtInc", "client", 2280, 3240, 705, 285, "range", 16, "Change Range by:"},
    {"Separator3", "client", 3120, 1680, 48, 2895, ""},
    {"lblWhichBytes", "client", 3240, 1680, 1530, 285, "Which Bytes:"},
    {"fraWhich", "client", 3240, 2040, 2295, 1095, ""},
    {"optAll", "fraWhich", 0, 0, 1815, 255, "Change ALL bytes"},
    {"optNth", "fraWhich", 0, 240, 735, 255, "Every"},
    {"txtNth", "fraWhich", 720, 240, 615, 285, "nth", 20, "Every"},
    {"lblThByte", "fraWhich", 1360, 270, 615, 255, "th Byte"},
    {"optMask", "fraWhich", 0, 480, 1935, 495, "Bytes 0 after Byte AND Mask"},
    {"txtMask", "fraWhich", 720, 720, 1335, 285, "mask", 50, "Bytes 0 after Byte AND Mask"},
    {"lblAction", "client", 5640, 1680, 825, 285, "Action:"},
    {"lblHelp(2)", "client", 7920, 1670, 375, 375, "?"},
    {"fraAction", "client", 5640, 2040, 2655, 2475, ""},
    {"optShift", "fraAction", 0, 0, 1080, 255, "Shift Right"},
    {"txtShift", "fraAction", 1080, 0, 495, 285, "shift", 16, "Shift Right"},
    {"lblBytes", "fraAction", 1605, 15, 375, 195, "bytes"},
    {"optCorrupt", "fraAction", 0, 240, 1695, 255, "Corrupt bytes with"},
    {"fraCorruptWith", "fraAction", 0, 480, 2655, 1695, ""},
    {"optAdd", "fraAction", 0, 2160, 615, 255, "Add"},
    {"txtAdd", "fraAction", 720, 2160, 615, 285, "add", 32767, "Add"},
    {"lblToByte", "fraAction", 1440, 2160, 855, 255, "To Byte"},
    {"optRandomBytes", "fraCorruptWith", 240, 0, 1455, 255, "Random Bytes"},
    {"optByteRange", "fraCorruptWith", 240, 240, 1335, 255, "Byte Range"},
    {"txtRange1", "fraCorruptWith", 480, 480, 495, 285, "range1", 16, "Byte Range"},
    {"txtTo", "fraCorruptWith", 1080, 500, 165, 225, "to"},
    {"txtRange2", "fraCorruptWith", 1320, 480, 495, 285, "range2", 16, "to"},
    {"optSequence", "fraCorruptWith", 240, 840, 1695, 255, "Looping Sequence:"},
    {"txtSequence", "fraCorruptWith", 480, 1080, 1815, 285, "sequence", 32767, "Looping Sequence:"},
    {"optRandomSeq", "fraCorruptWith", 480, 1440, 2055, 255, "Random from sequence"},
    {"lblStatus", "client", 240, 4320, 2895, 255, "Status: Ready!"},
    {"prgRun", "client", 3240, 4320, 2295, 255, ""},  // shown only while a long run works
    {"Separator2", "client", 120, 4560, 8175, 80, ""},
    {"cmdGo", "client", 120, 4680, 975, 435, "&GO!"},
    {"cmdAuto", "client", 1200, 4680, 975, 435, "Auto >>"},
    {"optOverwrite", "client", 2280, 4800, 1695, 255, "Overwrite Old File"},
};

int Px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

using LayoutTest = WindowTest;

TEST_F(LayoutTest, EveryControlSitsWhereTheLayoutPutsItWithItsTextAndNames) {
  window->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(window->client->size(), QSize(558, 344));
  EXPECT_EQ(window->client->y(), window->menuBar()->height());
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(window->windowTitle(), "ROM Glitchforge 5.99 by Quorvath");
  for (const Placed& p : kLayout) {
    QWidget* w = Find(p.name);
    ASSERT_NE(w, nullptr) << p.name;
    EXPECT_EQ(w->parentWidget()->objectName().toStdString(), p.container) << p.name;
    EXPECT_EQ(w->geometry(), QRect(Px(p.left), Px(p.top), Px(p.width), Px(p.height))) << p.name;
    EXPECT_EQ(w->property("text").toString().toStdString(), p.text) << p.name;  // none on a frame
    const auto* box = qobject_cast<QLineEdit*>(w);
    EXPECT_EQ(box ? box->maxLength() : 0, p.maxLength) << p.name;
    EXPECT_EQ(w->accessibleName().toStdString(), p.accessible ? p.accessible : "") << p.name;
  }
}

TEST_F(LayoutTest, StateWhenCreated) {
  window->show();
  EXPECT_EQ(Shown(*window),
            "optAutoCreate=2 optChdir=2 optOverwrite=2 optRandomSeq=2 txtAdd=add txtCreate=create "
            "txtEMU=emu txtEnd=end txtInc=range txtMask=mask txtNth=nth txtPath=path "
            "txtROM=rom txtRange1=range1 txtRange2=range2 txtSequence=sequence txtShift=shift "
            "txtStart=start");  // no option chosen
  EXPECT_FALSE(window->optSequence->isEnabled() || window->txtSequence->isEnabled() ||
               window->optRandomSeq->isEnabled());
  for (QLabel* help : window->lblHelp) EXPECT_FALSE(help->isVisible());
  EXPECT_TRUE(window->txtCreate->isReadOnly());
  EXPECT_EQ(window->txtCreate->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Button));
  EXPECT_TRUE(window->cmdGo->styleSheet().contains("rgb(0, 255, 0)"));
  EXPECT_TRUE(window->cmdAuto->styleSheet().contains("rgb(255, 0, 0)"));
  EXPECT_TRUE(window->cmdGo->isDefault());
  // The help labels, though hidden, answer a click; an index out of range is ignored.
  for (int i : {0, 1, 2, 3, -1}) window->lblHelp_Click(i);
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"?", "?", "?"}));
}

// Named controls that take the focus, in tab order; each menu's entries in [ ], "(off)" after a greyed one.
TEST_F(LayoutTest, TabOrderAndMenuTree) {
  QString chain = "optChdir";
  for (QWidget* w = window->optChdir->nextInFocusChain(); w != window->optChdir; w = w->nextInFocusChain())
    if (w->focusPolicy() != Qt::NoFocus && !w->objectName().isEmpty()) chain += " " + w->objectName();
  EXPECT_EQ(chain.toStdString(),
            "optChdir txtPath cmdOpen1 txtEMU cmdOpen2 txtROM cmdOpen3 txtCreate optAutoCreate "
            "cmdCreateNow txtStart txtEnd cmdPlus(1) cmdMinus(1) cmdPlus(2) cmdMinus(2) cmdPlus(3) "
            "cmdMinus(3) txtInc optAll optNth txtNth optMask txtMask optShift txtShift optCorrupt "
            "optRandomBytes optByteRange txtRange1 txtRange2 optSequence txtSequence optRandomSeq "
            "optAdd txtAdd cmdGo cmdAuto cmdAutoEnd optOverwrite");
  std::function<QString(QMenu*)> tree = [&](QMenu* menu) {
    QString text = " [";
    for (QAction* a : menu->actions())
      text += " " + (a->isSeparator() ? QString("-") : a->text()) + (a->isEnabled() ? "" : "(off)") +
              (a->menu() ? tree(a->menu()) : QString());
    return text + " ]";
  };
  QString all, entries, greyed;
  for (QAction* top : window->menuBar()->actions()) all += top->text() + tree(top->menu());
  for (int i = 0; i <= 10; ++i) entries += QString(" %1").arg(i), greyed += QString(" %1(off)").arg(i);
  const QString both = " &Global [" + entries + " ] &Local(off) [" + greyed + " ] ]";
  EXPECT_EQ(all, "&File [ &Import...(off) &Export...(off) - E&xit ]&Save [" + both + "&Load [" + both);
  EXPECT_EQ(window->mnuLL[10]->objectName(), "mnuLL(10)");
}

}  // namespace
