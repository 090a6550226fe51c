#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <functional>

#include "window_fixture.h"

namespace {

using LayoutTest = WindowTest;

TEST_F(LayoutTest, ControlsStayInsideTheirFramesOverlapOnlyWhereMeantAndShowTheirCaptionsAndOrder) {
  window->show();
  EXPECT_EQ(window->client->size(), QSize(558, 344));  // 8370 x 5160 twips
  EXPECT_EQ(window->client->y(), window->menuBar()->height());
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(window->windowTitle(), "ROM Glitchforge 5.99 by Quorvath");

  QStringList overlaps, captions;
  for (QWidget* container : {window->client, Find("fraWhich"), Find("fraAction"), Find("fraCorruptWith")}) {
    QList<QWidget*> named = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);  // creation order
    named.removeIf([](QWidget* w) { return w->objectName().isEmpty() || qobject_cast<QMenu*>(w); });
    for (qsizetype i = 0; i < named.size(); ++i) {
      QWidget* w = named[i];
      const auto* box = qobject_cast<QLineEdit*>(w);
      QString c =
          w->objectName() + (box ? "<" + QString::number(box->maxLength()) : "=" + w->property("text").toString());
      if (!w->accessibleName().isEmpty()) c += "@" + w->accessibleName();
      if (c != w->objectName() + "=") captions << c;
      EXPECT_TRUE(container->rect().contains(w->geometry())) << w->objectName().toStdString();
      for (qsizetype j = i + 1; j < named.size(); ++j)
        if (const QRect both = w->geometry() & named[j]->geometry(); both.width() > 1 && both.height() > 1)
          overlaps << w->objectName() + "/" + named[j]->objectName();
    }
  }
  overlaps.sort();
  // Rows a twip-rounded pixel apart only touch. The mask box covers the second line of its option's
  // caption; the boxes of the "Every" and "Shift Right" rows reach into the row below.
  EXPECT_EQ(overlaps.join(" ").toStdString(), "lblThByte/optMask optMask/txtMask txtNth/optMask txtShift/optCorrupt");

  // The file-row labels end at one edge, right-aligned just left of the boxes; the third "+" and
  // "-" span the start and end rows.
  for (QLabel* label : {window->lblRunEmulator, window->lblCorruptThis, window->lblCreateThis})
    EXPECT_EQ(QString::number(label->geometry().right()) + (label->alignment() & Qt::AlignRight ? " right" : ""),
              "183 right");
  for (const QRect tall : {window->cmdPlus[3]->geometry(), window->cmdMinus[3]->geometry()})
    EXPECT_EQ(QPoint(tall.top(), tall.bottom()),
              QPoint(window->cmdPlus[1]->y(), window->cmdPlus[2]->geometry().bottom()));
  EXPECT_EQ(QList({window->cmdGo->size(), window->cmdAuto->size()}), QList({QSize(65, 29), QSize(65, 29)}));
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
  EXPECT_FALSE(window->optSequence->isEnabled() || window->txtSequence->isEnabled() ||
               window->optRandomSeq->isEnabled() || window->lblHelp[0]->isVisible() || window->lblHelp[2]->isVisible());
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
      text += " " + (a->isSeparator() ? QString("-") : a->text()) + (a->isEnabled() ? "" : "(off)") +
              (a->menu() ? tree(a->menu()) : QString());
    return text + " ]";
  };
  const QString both =
      " &Global [ 0 1 2 3 4 5 6 7 8 9 10 ] &Local(off) [ 0(off) 1(off) 2(off) 3(off) 4(off) 5(off) "
      "6(off) 7(off) 8(off) 9(off) 10(off) ] ]";
  EXPECT_EQ(tree(window->menuBar()),
            " [ &File [ &Import...(off) &Export...(off) - E&xit ] &Save [" + both + " &Load [" + both + " ]");
}

}  // namespace
