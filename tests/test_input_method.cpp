// Japanese input through an input method: the events ibus and fcitx5 send
// (text being composed, then the committed string) reach the real widgets of a
// document window. Composition changes nothing; a commit is one change.
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolBar>

#include "FrameHost.h"
#include "document/CounterCell.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/ReplaceDialog.h"
#include "platform/RichEdit.h"
#include "tests/ChildParts.h"

namespace {

// Text being composed, shown underlined with the caret at its end, as the
// platform input contexts send it.
void Preedit(QObject* target, const QString& text) {
  QTextCharFormat underline;
  underline.setFontUnderline(true);
  QList<QInputMethodEvent::Attribute> attrs;
  if (!text.isEmpty())
    attrs << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, 0, int(text.size()), underline);
  attrs << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, int(text.size()), 1, QVariant());
  QInputMethodEvent e(text, attrs);
  QApplication::sendEvent(target, &e);
}

void Commit(QObject* target, const QString& text) {
  QInputMethodEvent e;
  e.setCommitString(text);
  QApplication::sendEvent(target, &e);
}

// Romaji typed into mozc, converted, not yet committed.
void Compose(QObject* target, const QStringList& steps) {
  for (const QString& s : steps) Preedit(target, s);
}

const QStringList kNihongo{"n", "に", "にh", "にほ", "にほn", "にほんg", "にほんご", "日本語"};

QString Counters(TSoraChild* c) {
  return QStringList{Part<TCounterCell>(c, "Memo1")->text(), Part<TCounterCell>(c, "Memo2")->text(), Part<TCounterCell>(c, "Memo5")->text(), Part<TCounterCell>(c, "Memo3")->text()}.join('|');
}

QString PreeditShown(TRichEdit* edit) { return edit->textCursor().block().layout()->preeditAreaText(); }

// What the user sees: the text, [what is being composed], Modified (*), the counters.
QString State(TSoraChild* c) {
  return c->Text()->GetText() + '[' + PreeditShown(c->Text()) + ']' + (c->Text()->GetModified() ? "* " : " ") + Counters(c);
}

}  // namespace

class TestInputMethod : public QObject, FrameHost {
  Q_OBJECT

  // A document window holding "あいう", caret at the end, as opened from a file.
  TSoraChild* Open(const QByteArray& utf8 = "あいう") {
    const QString path = dir.filePath(QStringLiteral("doc%1.txt").arg(frame->Children().size()));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return nullptr;
    f.write(utf8);
    f.close();
    TSoraChild* c = frame->OpenDocument(path);
    frame->activateWindow();
    if (!QTest::qWaitForWindowActive(frame.get())) return nullptr;
    c->Text()->setFocus();
    c->Text()->SetSelStart(c->Text()->GetTextLen());
    c->RichEdit1Change();
    return c;
  }

 private slots:
  void initTestCase() { Start(); }
  void cleanup() { CloseDocuments(); }
  void cleanupTestCase() { Stop(); }

  // While composing, the text is shown but neither the document, nor Modified,
  // nor the counters, nor the undo history move; a commit is one change.
  void compositionAndCommit() {
    TSoraChild* c = Open();
    QVERIFY(c);
    TRichEdit* edit = c->Text();
    QCOMPARE(QGuiApplication::focusObject(), edit);
    QVERIFY(edit->inputMethodQuery(Qt::ImEnabled).toBool());
    const int undoSteps = edit->document()->availableUndoSteps();
    QSignalSpy changes(edit, &TRichEdit::OnChange);

    Compose(edit, kNihongo);
    QCOMPARE(State(c), QStringLiteral("あいう[日本語] 1 行|6 列|6|6"));
    QCOMPARE(QList<int>({int(changes.count()), edit->document()->availableUndoSteps()}), QList<int>({0, undoSteps}));
    Commit(edit, QStringLiteral("日本語"));
    QCOMPARE(State(c), QStringLiteral("あいう日本語[]* 1 行|12 列|12|12"));
    QCOMPARE(QList<int>({int(changes.count()), edit->document()->availableUndoSteps()}), QList<int>({1, undoSteps + 1}));

    // A commit that also starts the next composition (mozc typing on past a
    // converted word) counts once and keeps the new preedit out.
    edit->SetModified(false);
    Compose(edit, {"w", "を"});
    QInputMethodEvent e(QStringLiteral("s"), {});
    e.setCommitString(QStringLiteral("を"));
    QApplication::sendEvent(edit, &e);
    QCOMPARE(State(c), QStringLiteral("あいう日本語を[s]* 1 行|14 列|14|14"));
    QCOMPARE(changes.count(), 2);
    edit->SetModified(false);
    Compose(edit, {"さ"});
    QVERIFY(!edit->GetModified());
    Preedit(edit, QString());

    edit->Undo();
    QCOMPARE(edit->GetText(), QStringLiteral("あいう日本語"));
    edit->Undo();
    QCOMPARE(State(c), QStringLiteral("あいう[]* 1 行|6 列|6|6"));  // still modified: unlike the text last marked unmodified
  }

  // In the middle of a line, counting in characters; over a selection, the
  // composition replaces it as typing does, and Undo brings it back.
  void inTheMiddleAndOverSelection() {
    TSoraChild* c = Open("あい\r\nう");
    TRichEdit* edit = c->Text();
    c->Memo3Click();  // count in characters
    edit->SetSelStart(2);  // after "あ"
    c->RichEdit1Change();
    Compose(edit, {"k", "か"});
    QCOMPARE(State(c), QStringLiteral("あい\r\nう[か] 1 行|2 列|1|5"));
    Commit(edit, QStringLiteral("か"));
    QCOMPARE(State(c), QStringLiteral("あかい\r\nう[]* 1 行|4 列|2|6"));

    edit->SetModified(false);
    edit->SetSelStart(4);
    edit->SetSelLength(2);  // "い"
    Compose(edit, {"k", "く"});
    QCOMPARE(State(c), QStringLiteral("あか\r\nう[く]* 1 行|4 列|2|5"));
    Commit(edit, QStringLiteral("く"));
    QCOMPARE(edit->GetText(), QStringLiteral("あかく\r\nう"));
    edit->Undo();
    QCOMPARE(edit->GetText(), QStringLiteral("あか\r\nう"));
    edit->Undo();
    QCOMPARE(edit->GetText(), QStringLiteral("あかい\r\nう"));
  }

  // The find and replace texts: what is being composed is not yet the text the
  // dialog searches for, and Find Next stays as it was.
  void replaceDialogTexts() {
    TSoraChild* c = Open("東京と日本語と日本");
    c->EditReplaceExecute();
    TReplaceDialog* d = Part<TReplaceDialog>(c, "ReplaceDialog1");
    QVERIFY(d->isVisible());
    QVERIFY(!d->FindNextButton()->isEnabled());

    QSignalSpy edited(d->FindEdit(), &QLineEdit::textChanged);
    Compose(d->FindEdit(), kNihongo);
    QCOMPARE(d->GetFindText(), QString());
    QCOMPARE(edited.count(), 0);
    QVERIFY(!d->FindNextButton()->isEnabled());
    Commit(d->FindEdit(), QStringLiteral("日本語"));
    QCOMPARE(d->GetFindText(), QStringLiteral("日本語"));
    QVERIFY(d->FindNextButton()->isEnabled());

    Compose(d->ReplaceEdit(), {"e", "え", "えい", "えいg", "えいご", "英語"});
    QCOMPARE(d->GetReplaceText(), QString());
    Commit(d->ReplaceEdit(), QStringLiteral("英語"));
    QCOMPARE(d->GetReplaceText(), QStringLiteral("英語"));

    // And the committed texts are the ones used.
    Dialogs::Script script;
    QTest::mouseClick(d->ReplaceAllButton(), Qt::LeftButton);
    QCOMPARE(c->Text()->GetText(), QStringLiteral("東京と英語と日本"));
    QCOMPARE(script.Messages,
             QStringList{QStringLiteral("1個の\u3000『 日本語 』 を 『 英語 』 に置き換えました。")});
    d->close();
  }

  // The font-name field of the format toolbar: composing leaves the field, the
  // focus and the document alone; the committed name changes the field, which
  // hands the focus back to the text without applying the name.
  void fontNameField() {
    TSoraChild* c = Open();
    QVERIFY(c);
    Part<QToolBar>(c, "ToolBar1")->show();
    Part<QComboBox>(c, "FontN")->setFocus();
    QCoreApplication::processEvents();
    // The input method talks to the focus object: the combo box, which hands
    // the events on to its field.
    QCOMPARE(QGuiApplication::focusObject(), Part<QComboBox>(c, "FontN"));
    QObject* target = QGuiApplication::focusObject();
    const QString shown = Part<QComboBox>(c, "FontN")->currentText();
    const QString font = c->Text()->SelAttributes().GetName();

    Compose(target, {"m", "み", "みn", "みんc", "みんちょ", "明朝"});
    QCOMPARE(Part<QComboBox>(c, "FontN")->lineEdit()->inputMethodQuery(Qt::ImSurroundingText).toString(), shown);
    QCOMPARE(Part<QComboBox>(c, "FontN")->currentText(), shown);
    QCOMPARE(c->Text()->SelAttributes().GetName(), font);
    QVERIFY(!c->Text()->GetModified());
    QCOMPARE(QApplication::focusWidget(), Part<QComboBox>(c, "FontN"));

    Commit(target, QStringLiteral("明朝"));
    QVERIFY(Part<QComboBox>(c, "FontN")->currentText().contains(QStringLiteral("明朝")));
    QCOMPARE(c->Text()->SelAttributes().GetName(), font);
    QVERIFY(!c->Text()->GetModified());
    QCOMPARE(QApplication::focusWidget(), c->Text());
  }
};

QTEST_MAIN(TestInputMethod)
#include "test_input_method.moc"
