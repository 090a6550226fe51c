#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <algorithm>
#include <functional>

#include "window_fixture.h"

namespace {

using LayoutTest = WindowTest;

// What each named control shows: its caption, the most a text box takes typed, the name a screen reader says.
struct Shown {
  QString name, caption{};
  int maxLength = 0;
  QString accessibleName{};
};
const Shown kShown[] = {
    {.name = "cmdAuto", .caption = "Auto >>"},
    {.name = "cmdAutoEnd", .caption = "Auto End"},
    {.name = "cmdCancel", .caption = "Cancel"},
    {.name = "cmdCreateNow", .caption = "Create Now"},
    {.name = "cmdGo", .caption = "&GO!"},
    {.name = "cmdMinus(1)", .caption = "-"},
    {.name = "cmdMinus(2)", .caption = "-"},
    {.name = "cmdMinus(3)", .caption = "-"},
    {.name = "cmdOpen1", .accessibleName = "Change directory to:"},
    {.name = "cmdOpen2", .accessibleName = "Run Emulator:"},
    {.name = "cmdOpen3", .accessibleName = "Corrupt This ROM:"},
    {.name = "cmdPlus(1)", .caption = "+"},
    {.name = "cmdPlus(2)", .caption = "+"},
    {.name = "cmdPlus(3)", .caption = "+"},
    {.name = "lblAction", .caption = "Action:"},
    {.name = "lblBytes", .caption = "bytes"},
    {.name = "lblCorruptThis", .caption = "Corrupt This ROM:"},
    {.name = "lblCreateThis", .caption = "Create This:"},
    {.name = "lblEnd", .caption = "End:"},
    {.name = "lblHelp(0)", .caption = "?"},
    {.name = "lblHelp(1)", .caption = "?"},
    {.name = "lblHelp(2)", .caption = "?"},
    {.name = "lblIncDec", .caption = "Change Range by:"},
    {.name = "lblRange", .caption = "Range:"},
    {.name = "lblRunEmulator", .caption = "Run Emulator:"},
    {.name = "lblStart", .caption = "Start:"},
    {.name = "lblStatus", .caption = "Status: Ready!"},
    {.name = "lblThByte", .caption = "th Byte"},
    {.name = "lblToByte", .caption = "To Byte"},
    {.name = "lblWhichBytes", .caption = "Which Bytes:"},
    {.name = "optAdd", .caption = "Add"},
    {.name = "optAll", .caption = "Change ALL bytes"},
    {.name = "optAutoCreate", .caption = "Auto"},
    {.name = "optByteRange", .caption = "Byte Range"},
    {.name = "optChdir", .caption = "Change directory to:"},
    {.name = "optCorrupt", .caption = "Corrupt bytes with"},
    {.name = "optMask", .caption = "Bytes 0 after Byte AND Mask"},
    {.name = "optNth", .caption = "Every"},
    {.name = "optOverwrite", .caption = "Overwrite Old File"},
    {.name = "optRandomBytes", .caption = "Random Bytes"},
    {.name = "optRandomSeq", .caption = "Random from sequence"},
    {.name = "optSequence", .caption = "Looping Sequence:"},
    {.name = "optShift", .caption = "Shift Right"},
    {.name = "txtAdd", .maxLength = 32767, .accessibleName = "Add"},
    {.name = "txtCreate", .maxLength = 32767, .accessibleName = "Create This:"},
    {.name = "txtEMU", .maxLength = 512, .accessibleName = "Run Emulator:"},
    {.name = "txtEnd", .maxLength = 16, .accessibleName = "End:"},
    {.name = "txtInc", .maxLength = 16, .accessibleName = "Change Range by:"},
    {.name = "txtMask", .maxLength = 50, .accessibleName = "Bytes 0 after Byte AND Mask"},
    {.name = "txtNth", .maxLength = 20, .accessibleName = "Every"},
    {.name = "txtPath", .maxLength = 512, .accessibleName = "Change directory to:"},
    {.name = "txtROM", .maxLength = 512, .accessibleName = "Corrupt This ROM:"},
    {.name = "txtRange1", .maxLength = 16, .accessibleName = "Byte Range"},
    {.name = "txtRange2", .maxLength = 16, .accessibleName = "to"},
    {.name = "txtSequence", .maxLength = 32767, .accessibleName = "Looping Sequence:"},
    {.name = "txtShift", .maxLength = 16, .accessibleName = "Shift Right"},
    {.name = "txtStart", .maxLength = 16, .accessibleName = "Start:"},
    {.name = "txtTo", .caption = "to"},
};

TEST_F(LayoutTest, ControlsStayInsideTheirFramesOverlapOnlyWhereMeantAndShowTheirCaptionsAndOrder) {
  window->show();
  EXPECT_EQ(window->client->size(), QSize(558, 344));  // 8370 x 5160 twips
  EXPECT_EQ(window->client->y(), window->menuBar()->height());
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(window->windowTitle(), "ROM Glitchforge 5.99 by Quorvath");

  QStringList overlaps;
  std::vector<Shown> shown;
  for (QWidget* container : {window->client, Find("fraWhich"), Find("fraAction"), Find("fraCorruptWith")}) {
    QList<QWidget*> named = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);  // creation order
    named.removeIf([](QWidget* w) { return w->objectName().isEmpty() || qobject_cast<QMenu*>(w); });
    for (qsizetype i = 0; i < named.size(); ++i) {
      QWidget* w = named[i];
      const auto* box = qobject_cast<QLineEdit*>(w);
      const Shown s{w->objectName(), box ? QString() : w->property("text").toString(), box ? box->maxLength() : 0, w->accessibleName()};
      if (!s.caption.isEmpty() || s.maxLength || !s.accessibleName.isEmpty()) shown.push_back(s);
      EXPECT_TRUE(container->rect().contains(w->geometry())) << w->objectName().toStdString();
      for (qsizetype j = i + 1; j < named.size(); ++j)
        if (const QRect both = w->geometry() & named[j]->geometry(); both.width() > 1 && both.height() > 1)
          overlaps << w->objectName() + "/" + named[j]->objectName();
    }
  }
  overlaps.sort();
  // Rows a twip-rounded pixel apart only touch. The mask box sits beside the second line of its option's
  // caption; the boxes of the "Every" and "Shift Right" rows reach into the row below.
  EXPECT_EQ(overlaps, QStringList({"lblThByte/optMask", "optMask/txtMask", "txtNth/optMask", "txtShift/optCorrupt"}));

  // The file-row labels end at one edge, right-aligned just left of the boxes; the third "+" and
  // "-" span the start and end rows.
  for (QLabel* label : {window->lblRunEmulator, window->lblCorruptThis, window->lblCreateThis}) {
    EXPECT_EQ(label->geometry().right(), 183);
    EXPECT_TRUE(label->alignment() & Qt::AlignRight);
  }
  for (const QRect tall : {window->cmdPlus[3]->geometry(), window->cmdMinus[3]->geometry()}) {
    EXPECT_EQ(tall.top(), window->cmdPlus[1]->y());
    EXPECT_EQ(tall.bottom(), window->cmdPlus[2]->geometry().bottom());
  }
  for (QPushButton* button : {window->cmdGo, window->cmdAuto}) EXPECT_EQ(button->size(), QSize(65, 29));
  EXPECT_EQ(shown.size(), std::size(kShown));
  for (const Shown& meant : kShown) {
    const auto it = std::find_if(shown.begin(), shown.end(), [&](const Shown& s) { return s.name == meant.name; });
    ASSERT_NE(it, shown.end()) << meant.name.toStdString();
    EXPECT_EQ(it->caption, meant.caption) << meant.name.toStdString();
    EXPECT_EQ(it->maxLength, meant.maxLength) << meant.name.toStdString();
    EXPECT_EQ(it->accessibleName, meant.accessibleName) << meant.name.toStdString();
  }
  for (QWidget* w : std::initializer_list<QWidget*>{window->optSequence, window->txtSequence, window->optRandomSeq})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  for (QWidget* hidden : std::initializer_list<QWidget*>{window->lblHelp[0], window->lblHelp[2], window->prgRun, window->cmdCancel})
    EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
  // The help labels, though hidden, answer a click; an index out of range is ignored.
  for (int i : {0, 1, 2, 3, -1}) window->lblHelp_Click(i);
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"?", "?", "?"}));

  // Named controls that take the focus, in tab order; each menu's entries in [ ], "(off)" after a greyed one.
  QString chain = "optChdir";
  for (QWidget* w = window->optChdir->nextInFocusChain(); w != window->optChdir; w = w->nextInFocusChain())
    if (w->focusPolicy() != Qt::NoFocus && !w->objectName().isEmpty()) chain += " " + w->objectName();
  EXPECT_EQ(chain.toStdString(),
            "optChdir txtPath cmdOpen1 txtEMU cmdOpen2 txtROM cmdOpen3 txtCreate optAutoCreate "
            "cmdCreateNow txtStart txtEnd cmdPlus(1) cmdMinus(1) cmdPlus(2) cmdMinus(2) cmdPlus(3) "
            "cmdMinus(3) txtInc optAll optNth txtNth optMask txtMask optShift txtShift optCorrupt "
            "optRandomBytes optByteRange txtRange1 txtRange2 optSequence txtSequence optRandomSeq "
            "optAdd txtAdd cmdGo cmdAuto cmdAutoEnd optOverwrite");
  std::function<QString(QWidget*)> tree = [&](QWidget* menu) {
    QString text = " [";
    for (QAction* a : menu->actions())
      text += " " + (a->isSeparator() ? QString("-") : a->text()) + (a->isEnabled() ? "" : "(off)") + (a->menu() ? tree(a->menu()) : QString());
    return text + " ]";
  };
  const QString both = " &Global [ 0 1 2 3 4 5 6 7 8 9 10 ] &Local [ 0 1 2 3 4 5 6 7 8 9 10 ] ]";
  EXPECT_EQ(tree(window->menuBar()), " [ &File [ &Import... &Export... &Close Previous Emulator - E&xit ] &Save [" + both + " &Load [" + both + " ]");
}

}  // namespace
