// Document window: find and replace.
#include <QAction>
#include <QTextCursor>
#include <QTextDocument>

#include "document/ChildAction.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/ReplaceDialog.h"
#include "platform/RichEdit.h"
#include "platform/TextSearch.h"
#include "platform/WaitCursor.h"
#include "ui_TSoraChild.h"

namespace {

// A line break in the dialog's texts measures 2, as in the document.
int ByteLen(const QString& s) { return TextSearch::ByteLength(s); }

// The selection holds exactly this text; a line break stands for any break.
bool SelectionIs(TRichEdit* edit, const QString& text) {
  return TextSearch::WithBreaks(edit->GetSelText(), u"\n") == TextSearch::WithBreaks(text, u"\n");
}

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
                                QStringLiteral("文字列の検索と置換をします。"), QStringLiteral("編集"),
                                &TSoraChild::EditReplaceExecute);
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
    if (SelectionIs(RichEdit1, find)) RichEdit1->SetSelText(replace);
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
  const int start = (SelectionIs(RichEdit1, find) || SelectionIs(RichEdit1, replace))
                        ? RichEdit1->GetSelStart() + RichEdit1->GetSelLength()
                        : 0;
  const int p = RichEdit1->FindText(find, start, RichEdit1->GetTextLen(), types);
  if (p < 0) return -1;
  RichEdit1->SetSelStart(p);
  RichEdit1->SetSelLength(ByteLen(find));
  return p;
}

// Every occurrence from the top, each search starting right after the previous
// replacement, so inserted text is never searched again. The hits are found
// in one copy of the text, walking forward, and replaced in the document
// shifted by what the replacements before them added, inside one edit block:
// the layout runs once, the caret is scrolled once, and one undo takes the
// whole command back.
void TSoraChild::ReplaceAll() {
  const QString find = ReplaceDialog1->GetFindText();
  const QString replace = ReplaceDialog1->GetReplaceText();
  RichEdit1->SetSelStart(0);
  int count = 0;
  const int options = ReplaceDialog1->GetOptions();
  int types = 0;
  if (options & TReplaceDialog::frMatchCase) types |= stMatchCase;
  if (options & TReplaceDialog::frWholeWord) types |= stWholeWord;
  const TextSearch search(find, types);
  if (!search.IsEmpty()) {
    QTextDocument* doc = RichEdit1->document();
    const QString text = doc->toRawText();
    const QString inserted = TextSearch::WithBreaks(replace, u"\n");
    const qsizetype grow = inserted.size() - search.Length();
    QTextCursor edit(doc);
    qsizetype from = 0, shift = 0, lastAt = -1;
    // The character the replacements leave in front of the next search.
    char32_t before = TextSearch::FromText;
    // Seconds in a large document: the wait cursor says the program works.
    const WaitCursor wait;
    edit.beginEditBlock();
    for (qsizetype at; (at = search.IndexIn(text, from, -1, before)) >= 0;) {
      edit.setPosition(int(at + shift));
      edit.setPosition(int(at + shift + search.Length()), QTextCursor::KeepAnchor);
      edit.insertText(inserted);
      ++count;
      lastAt = at + shift;
      shift += grow;
      if (!inserted.isEmpty())
        before = TextSearch::LastCodePoint(inserted);
      else if (at != from || before == TextSearch::FromText)
        before = TextSearch::LastCodePoint(QStringView(text).first(at));
      from = at + search.Length();
    }
    edit.endEditBlock();
    if (count > 0) {
      QTextCursor last(doc);
      last.setPosition(int(lastAt));
      last.setPosition(int(lastAt + inserted.size()), QTextCursor::KeepAnchor);
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
