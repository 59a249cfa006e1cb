// Document window: the counter bar of line, column, caret offset and length.
#include <QAction>
#include <QFrame>
#include <QMenu>

#include "document/ChildAction.h"
#include "document/CounterCell.h"
#include "document/FrameLink.h"
#include "document/TSoraChild.h"
#include "platform/RichEdit.h"
#include "ui_TSoraChild.h"

void TSoraChild::CreateCounters() {
  Memo1 = ui->Memo1;
  Memo2 = ui->Memo2;
  Memo3 = ui->Memo3;
  Memo4 = ui->Memo4;
  Memo5 = ui->Memo5;
  Memo6 = ui->Memo6;
  Memo1->SetFontColor(clRed);
  Memo2->SetFontColor(clYellow);
  Memo3->SetFontColor(clAqua);
  Memo4->SetFontColor(clLime);
  Memo5->SetFontColor(clFuchsia);
  Memo6->SetFontColor(clLime);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  PopupMenu2 = new QMenu(this);
  PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));

  ViewCounter = MakeChildAction(this, "ViewCounter", QStringLiteral("カウンタ"), QStringLiteral("カウンタ表示"),
                                QStringLiteral("カウンタバーを表示します。"), QStringLiteral("表示"),
                                &TSoraChild::ViewCounterExecute);

  // The cells never take the focus, so no caret is ever left in one; a click
  // gives the focus back to the text.
  connect(Memo1, &TCounterCell::OnClick, this, &TSoraChild::Memo1Click);
  connect(Memo2, &TCounterCell::OnClick, this, &TSoraChild::Memo2Click);
  connect(Memo3, &TCounterCell::OnClick, this, &TSoraChild::Memo3Click);
  connect(Memo5, &TCounterCell::OnClick, this, &TSoraChild::Memo3Click);
  connect(Memo4, &TCounterCell::OnClick, this, &TSoraChild::Memo4Click);
  connect(Memo6, &TCounterCell::OnClick, this, &TSoraChild::Memo4Click);

  connect(RichEdit1, &TRichEdit::OnChange, this, &TSoraChild::RichEdit1Change);
  connect(RichEdit1, &TRichEdit::OnKeyUp, this, &TSoraChild::RichEdit1KeyUp);
  connect(RichEdit1, &TRichEdit::OnMouseDown, this, &TSoraChild::RichEdit1MouseDown);
}

void TSoraChild::UpdateCaretCounters() {
  const int p = RichEdit1->GetSelStart();
  const int line = RichEdit1->LineFromChar(p);
  const int column = p - RichEdit1->LineIndex(line);
  Memo1->SetText(QString::number(line + 1) + QStringLiteral(" 行"));
  Memo2->SetText(QString::number(column) + QStringLiteral(" 列"));
  if (CountInChars) {
    Memo5->SetText(QString::number(RichEdit1->CharsBefore(p)));
    Memo6->SetText(QStringLiteral(" 文字目"));
    Memo5->SetFontColor(clYellow);
  } else {
    Memo5->SetText(QString::number(p));
    Memo6->SetText(QStringLiteral(" バイト目"));
    Memo5->SetFontColor(clAqua);
  }
}

void TSoraChild::UpdateLengthCounter() {
  if (CountInChars) {
    Memo3->SetText(QString::number(RichEdit1->GetCharCount()));
    Memo3->SetFontColor(clYellow);
    Memo4->SetText(QStringLiteral(" 文字"));
  } else {
    Memo3->SetText(QString::number(RichEdit1->GetTextLen()));
    Memo3->SetFontColor(clAqua);
    Memo4->SetText(QStringLiteral(" バイト"));
  }
}

void TSoraChild::RichEdit1Change() {
  UpdateLengthCounter();
  UpdateCaretCounters();
}

void TSoraChild::RichEdit1KeyUp(int, Qt::KeyboardModifiers) { UpdateCaretCounters(); }

void TSoraChild::RichEdit1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
  if (button == Qt::RightButton) {
    // The menu opens where the button was pressed.
    PopupMenu1->popup(RichEdit1->viewport()->mapToGlobal(QPoint(x, y)));
  } else if (button == Qt::LeftButton) {
    UpdateCaretCounters();
  }
}

void TSoraChild::Memo1Click() { RichEdit1->setFocus(); }
void TSoraChild::Memo2Click() { RichEdit1->setFocus(); }

void TSoraChild::Memo3Click() {
  RichEdit1->setFocus();
  CountInChars = !CountInChars;
  UpdateLengthCounter();
  UpdateCaretCounters();
}

void TSoraChild::Memo4Click() { Memo3Click(); }

void TSoraChild::ViewCounterExecute() {
  if (Panel1->isHidden()) {
    Panel1->setVisible(true);
    Memo3Click();
    if (frame_) frame_->SetViewCountChecked(true);
  } else {
    Memo3Click();
    Panel1->setVisible(false);
    if (frame_) frame_->SetViewCountChecked(false);
  }
}
