// Document window: find and replace.
#include <QAction>
#include <QTextCursor>
#include <QTextDocument>

#include "document/ChildAction.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/ReplaceDialog.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "platform/WaitCursor.h"
#include "ui_TSoraChild.h"

namespace {

int ByteLen(const QString& s) { return int(sjis::ByteLength(s)); }

QString NotFoundText(const QString& find) {
  return QStringLiteral("ここから後の文書には 『 ") + find + QStringLiteral(" 』 は、見つかりません！");
}

}  // namespace

void TSoraChild::CreateFindReplace() {
  ReplaceDialog1 = new TReplaceDialog(this);
  ReplaceDialog1->SetOptions(TReplaceDialog::frDown | TReplaceDialog::frDisableMatchCase |
                             TReplaceDialog::frDisableUpDown | TReplaceDialog::frDisableWholeWord);
  connect(ReplaceDialog1, &TReplaceDialog::OnFind, this, &TSoraChild::ReplaceDialog1Find);
  connect(ReplaceDialog1, &TReplaceDialog::OnReplace, this, &TSoraChild::ReplaceDialog1Replace);

  EditReplace = MakeChildAction(this, "EditReplace", QStringLiteral("置換"), QStringLiteral("検索・置換"),
                                QStringLiteral("文字列の検索と置換をします。"), QStringLiteral("編集"));
  connect(EditReplace, &QAction::triggered, this, &TSoraChild::EditReplaceExecute);
}

void TSoraChild::EditReplaceExecute() {
  // Over its own document: the text's left edge + 100 and its top, on screen.
  const QPoint inWindow(RichEdit1->x() + 100, RichEdit1->y());
  ReplaceDialog1->SetPosition(RichEdit1->parentWidget()->mapToGlobal(inWindow));
  ReplaceDialog1->Execute();
}

void TSoraChild::ReplaceDialog1Find() {
  const QString find = ReplaceDialog1->GetFindText();
  const int start = RichEdit1->GetSelLength() != 0
                        ? RichEdit1->GetSelStart() + RichEdit1->GetSelLength()
                        : 0;
  const int length = RichEdit1->GetTextLen() - start;
  const int p = RichEdit1->FindText(find, start, length, stMatchCase);
  if (p < 0) {
    Dialogs::ShowMessage(this, NotFoundText(find));
    RichEdit1->SetSelStart(0);
    return;
  }
  RichEdit1->setFocus();
  RichEdit1->SetSelStart(p);
  RichEdit1->SetSelLength(ByteLen(find));
  RichEdit1->ScrollCaret();
}

void TSoraChild::ReplaceDialog1Replace() {
  if (ReplaceDialog1->GetOptions() & TReplaceDialog::frReplace) {
    const QString find = ReplaceDialog1->GetFindText();
    const QString replace = ReplaceDialog1->GetReplaceText();
    const int p = RichEdit1->GetSelStart();
    if (RichEdit1->GetSelText() == find) RichEdit1->SetSelText(replace);
    RichEdit1->SetSelStart(p);
    RichEdit1->SetSelLength(ByteLen(replace));
    ReplaceDialog1Find();
    return;
  }
  ReplaceAll();
}

int TSoraChild::FindNextMatch() {
  const QString find = ReplaceDialog1->GetFindText();
  const QString replace = ReplaceDialog1->GetReplaceText();
  const int options = ReplaceDialog1->GetOptions();
  int types = 0;
  if (options & TReplaceDialog::frMatchCase) types |= stMatchCase;
  if (options & TReplaceDialog::frWholeWord) types |= stWholeWord;
  const QString sel = RichEdit1->GetSelText();
  const int start = (sel == find || sel == replace)
                        ? RichEdit1->GetSelStart() + RichEdit1->GetSelLength()
                        : 0;
  const int p = RichEdit1->FindText(find, start, RichEdit1->GetTextLen(), types);
  if (p < 0) return -1;
  RichEdit1->SetSelStart(p);
  RichEdit1->SetSelLength(ByteLen(find));
  return p;
}

// Every occurrence from the top, each search starting right after the previous
// replacement, so inserted text is never searched again. The loop works on
// document positions inside one edit block: the layout runs once, the caret is
// scrolled once, and one undo takes the whole command back.
void TSoraChild::ReplaceAll() {
  const QString find = ReplaceDialog1->GetFindText();
  const QString replace = ReplaceDialog1->GetReplaceText();
  RichEdit1->SetSelStart(0);
  int count = 0;
  if (!find.isEmpty()) {
    const int options = ReplaceDialog1->GetOptions();
    QTextDocument::FindFlags flags;
    if (options & TReplaceDialog::frMatchCase) flags |= QTextDocument::FindCaseSensitively;
    if (options & TReplaceDialog::frWholeWord) flags |= QTextDocument::FindWholeWords;
    QTextDocument* doc = RichEdit1->document();
    QTextCursor edit(doc);
    QTextCursor last;
    int from = 0;
    // Seconds in a large document: the wait cursor says the program works.
    const WaitCursor wait;
    edit.beginEditBlock();
    while (true) {
      const QTextCursor found = doc->find(find, from, flags);
      if (found.isNull()) break;
      QTextCursor hit = found;
      const int at = hit.selectionStart();
      hit.insertText(QString(replace).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
      ++count;
      from = hit.position();
      last = QTextCursor(doc);
      last.setPosition(at);
      last.setPosition(from, QTextCursor::KeepAnchor);
    }
    edit.endEditBlock();
    if (count > 0) {
      RichEdit1->setTextCursor(last);
      RichEdit1->ScrollCaret();
    }
  }
  if (count == 0) {
    Dialogs::ShowMessage(this, NotFoundText(find));
  } else {
    Dialogs::ShowMessage(this, QString::number(count) + QStringLiteral("個の　『 ") + find +
                                   QStringLiteral(" 』 を 『 ") + replace +
                                   QStringLiteral(" 』 に置き換えました。"));
  }
}
