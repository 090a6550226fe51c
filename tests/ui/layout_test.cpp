#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <functional>

#include "window_fixture.h"

namespace {

using LayoutTest = WindowTest;

TEST_F(LayoutTest, ControlsStayInsideTheirFramesOverlapOnlyWhereMeantAndShowTheirCaptions) {
  window->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(window->client->size(), QSize(558, 344));  // 8370 x 5160 twips
  EXPECT_EQ(window->client->y(), window->menuBar()->height());
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(window->windowTitle(), "ROM Glitchforge 5.99 by Quorvath");

  QStringList overlaps, captions;
  int controls = 0;
  for (QWidget* container : {window->client, Find("fraWhich"), Find("fraAction"), Find("fraCorruptWith")}) {
    QList<QWidget*> named = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);  // creation order
    named.removeIf([](QWidget* w) { return w->objectName().isEmpty() || qobject_cast<QMenu*>(w); });
    for (qsizetype i = 0; i < named.size(); ++i) {
      ++controls;
      QWidget* w = named[i];
      const QString text = w->property("text").toString();
      const auto* box = qobject_cast<QLineEdit*>(w);
      QString caption = w->objectName() + (box ? "<" + QString::number(box->maxLength()) : "=" + text);
      if (!w->accessibleName().isEmpty()) caption += "@" + w->accessibleName();
      if (caption != w->objectName() + "=") captions << caption;
      EXPECT_TRUE(container->rect().contains(named[i]->geometry())) << named[i]->objectName().toStdString();
      for (qsizetype j = i + 1; j < named.size(); ++j)
        if (const QRect both = named[i]->geometry() & named[j]->geometry();
            both.width() > 1 && both.height() > 1)  // rows a twip-rounded pixel apart touch
          overlaps << named[i]->objectName() + "/" + named[j]->objectName();
    }
  }
  EXPECT_EQ(controls, 64);
  overlaps.sort();
  // The mask box covers the second line of its option's caption; the boxes of the
  // "Every" and "Shift Right" rows reach into the row below.
  EXPECT_EQ(overlaps.join(" ").toStdString(), "lblThByte/optMask optMask/txtMask txtNth/optMask txtShift/optCorrupt");

  // The file-row labels end at one edge, just left of the boxes.
  for (QWidget* label : {Find("lblRunEmulator"), Find("lblCorruptThis"), Find("lblCreateThis")}) {
    EXPECT_EQ(label->geometry().right(), 183) << label->objectName().toStdString();
    EXPECT_EQ(label->property("alignment").toInt() & Qt::AlignRight, Qt::AlignRight);
  }
  EXPECT_EQ(window->cmdGo->size(), QSize(65, 29));
  EXPECT_EQ(window->cmdAuto->size(), window->cmdGo->size());
  for (auto* tall : {window->cmdPlus[3], window->cmdMinus[3]}) {  // spans the start and end rows
    EXPECT_EQ(tall->y(), window->cmdPlus[1]->y());
    EXPECT_EQ(tall->geometry().bottom(), window->cmdPlus[2]->geometry().bottom());
  }
  captions.sort();
  EXPECT_EQ(
      captions.join("|").toStdString(),
      "cmdAuto=Auto >>|cmdAutoEnd=Auto End|cmdCreateNow=Create "
      "Now|cmdGo=&GO!|cmdMinus(1)=-|cmdMinus(2)=-|cmdMinus(3)=-|cmdOpen1=@Change directory to:|cmdOpen2=@Run "
      "Emulator:|cmdOpen3=@Corrupt This "
      "ROM:|cmdPlus(1)=+|cmdPlus(2)=+|cmdPlus(3)=+|lblAction=Action:|lblBytes=bytes|lblCorruptThis=Corrupt This "
      "ROM:|lblCreateThis=Create This:|lblEnd=End:|lblHelp(0)=?|lblHelp(1)=?|lblHelp(2)=?|lblIncDec=Change Range "
      "by:|lblRange=Range:|lblRunEmulator=Run Emulator:|lblStart=Start:|lblStatus=Status: Ready!|lblThByte=th "
      "Byte|lblToByte=To Byte|lblWhichBytes=Which Bytes:|optAdd=Add|optAll=Change ALL "
      "bytes|optAutoCreate=Auto|optByteRange=Byte Range|optChdir=Change directory to:|optCorrupt=Corrupt bytes "
      "with|optMask=Bytes 0 after Byte AND Mask|optNth=Every|optOverwrite=Overwrite Old File|optRandomBytes=Random "
      "Bytes|optRandomSeq=Random from sequence|optSequence=Looping Sequence:|optShift=Shift "
      "Right|txtAdd<32767@Add|txtCreate<32767@Create This:|txtEMU<512@Run Emulator:|txtEnd<16@End:|txtInc<16@Change "
      "Range by:|txtMask<50@Bytes 0 after Byte AND Mask|txtNth<20@Every|txtPath<512@Change directory "
      "to:|txtROM<512@Corrupt This ROM:|txtRange1<16@Byte Range|txtRange2<16@to|txtSequence<32767@Looping "
      "Sequence:|txtShift<16@Shift Right|txtStart<16@Start:|txtTo=to");
  EXPECT_EQ(Shown(),
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
  for (int i = 0; i <= 10; ++i) {
    entries += QString(" %1").arg(i);
    greyed += QString(" %1(off)").arg(i);
  }
  const QString both = " &Global [" + entries + " ] &Local(off) [" + greyed + " ] ]";
  EXPECT_EQ(all, "&File [ &Import...(off) &Export...(off) - E&xit ]&Save [" + both + "&Load [" + both);
  EXPECT_EQ(window->mnuLL[10]->objectName(), "mnuLL(10)");
}

}  // namespace
