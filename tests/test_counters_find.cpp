// The counter bar and find/replace of a document window.
#include <QtWidgets>

#include "DocumentHost.h"
#include "document/CounterCell.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/ReplaceDialog.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "tests/ChildParts.h"

namespace {

TCounterCell* Cell(const TSoraChild* c, const char* name) { return Part<TCounterCell>(c, name); }

// Line, column, position and count with their units.
QString Cells(const TSoraChild* c) {
  QStringList out;
  for (const char* name : {"Memo1", "Memo2", "Memo5", "Memo6", "Memo3", "Memo4"}) out << Cell(c, name)->text();
  return out.join('|');
}

// The counters count characters (not bytes), as their unit cell says.
bool InChars(const TSoraChild* c) { return Cell(c, "Memo4")->text() == QStringLiteral(" 文字"); }

// The selection, and the text when it is asked for.
QString Sel(TSoraChild* c, bool withText = false) {
  return QStringLiteral("%1+%2").arg(c->Text()->GetSelStart()).arg(c->Text()->GetSelLength()) +
         (withText ? u' ' + c->Text()->GetText() : QString());
}

TReplaceDialog* Dialog(TSoraChild* c) { return Part<TReplaceDialog>(c, "ReplaceDialog1"); }
void Click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

const QString kNotFound = QStringLiteral("ここから後の文書には 『 %1 』 は、見つかりません！");

struct Host : DocumentHost {
  Dialogs::Script script;
  // A window with the text, the selection, and the dialog's find and replace texts.
  TSoraChild* NewChild(const QString& text, const QString& find = {}, const QString& by = {}, int start = 0,
                       int length = 0) {
    auto* c = new TSoraChild(area, &marks);
    c->Text()->SetSelText(text);
    c->Text()->SetSelStart(start);
    c->Text()->SetSelLength(length);
    Dialog(c)->SetFindText(find);
    Dialog(c)->SetReplaceText(by);
    QCoreApplication::processEvents();
    return c;
  }
};

}  // namespace

class TestCountersFind : public QObject {
  Q_OBJECT
 private slots:
  void counterCells() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("あいう\r\n二\r\n"));
    c->Text()->SetSelStart(4);
    c->RichEdit1Change();
    QCOMPARE(Cells(c), QStringLiteral("1 行|4 列|4| バイト目|12| バイト"));
    QCOMPARE(Cell(c, "Memo3")->FontColor(), clAqua);
    c->Memo3Click();  // the column stays in bytes
    QCOMPARE(Cells(c), QStringLiteral("1 行|4 列|2| 文字目|8| 文字"));
    QCOMPARE(QList<TColor>({Cell(c, "Memo5")->FontColor(), Cell(c, "Memo3")->FontColor()}),
             QList<TColor>({clYellow, clYellow}));
    // A paragraph wider than the window counts each display line, its column from the line's start.
    const QString para = QStringLiteral("折り返しの確認をするための長い段落です。").repeated(10);
    c->Text()->SetSelStart(0);
    c->Text()->SetSelText(para);
    c->UpdateCaretCounters();
    QVERIFY(Cell(c, "Memo2")->text().section(' ', 0, 0).toInt() < sjis::ByteLength(para));

    // Either cell of a pair flips the mode, a left click only; the focus stays in the text.
    c->ViewCounterExecute();  // showing the bar flips it too, to bytes
    QTest::mouseClick(Cell(c, "Memo6"), Qt::LeftButton);
    QVERIFY(InChars(c));
    QVERIFY(!Cell(c, "Memo6")->hasFocus());
    QTest::mouseClick(Cell(c, "Memo3"), Qt::LeftButton);
    QTest::mouseClick(Cell(c, "Memo1"), Qt::LeftButton);  // the line cell does not flip
    QTest::mouseClick(Cell(c, "Memo5"), Qt::RightButton);
    QVERIFY(!InChars(c));
    // A double click, as the window system delivers it, is one switch.
    QWidget* top = c->window();
    QVERIFY(QTest::qWaitForWindowExposed(top));
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, Cell(c, "Memo4")->mapTo(top, Cell(c, "Memo4")->rect().center()));
    QVERIFY(InChars(c));
    c->ViewCounterExecute();
    QCOMPARE(QList<bool>({Part<QFrame>(c, "Panel1")->isHidden(), bool(h.marks.count), InChars(c)}),
             QList<bool>({true, false, false}));

    // Refreshed on a change, a key release and a left press, the caret's cells only; a
    // right press opens the menu at the press point and refreshes nothing.
    Cell(c, "Memo3")->setText(QStringLiteral("stale"));
    c->Text()->SetSelStart(0);
    QTest::keyClick(c->Text(), Qt::Key_Down);
    QCOMPARE(Cell(c, "Memo1")->text() + Cell(c, "Memo3")->text(), QStringLiteral("2 行stale"));
    QTest::mouseClick(c->Text()->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(Cell(c, "Memo1")->text(), QStringLiteral("1 行"));
    c->Text()->SetSelStart(c->Text()->GetTextLen());
    const QPoint press(30, 10);
    QTest::mouseClick(c->Text()->viewport(), Qt::RightButton, {}, press);
    QTRY_VERIFY(Part<QMenu>(c, "PopupMenu1")->isVisible());
    const QPoint expected = c->Text()->viewport()->mapToGlobal(press);
    QVERIFY((Part<QMenu>(c, "PopupMenu1")->pos() - expected).manhattanLength() <= 2 || Part<QMenu>(c, "PopupMenu1")->geometry().contains(expected));
    Part<QMenu>(c, "PopupMenu1")->hide();
    QCOMPARE(Cell(c, "Memo1")->text(), QStringLiteral("1 行"));
  }

  void findAndReplace() {
    Host h;
    // The dialog: beside the text, below a bar above it; not modal; options fixed and greyed; one per window.
    TSoraChild* c = h.NewChild(QStringLiteral("ABC abc --- abc"), QStringLiteral("abc"));
    c->ViewCounterExecute();
    c->EditReplaceExecute();
    TReplaceDialog* d = Dialog(c);
    QCOMPARE(QList<bool>({d->isVisible(), d->isModal()}), QList<bool>({true, false}));
    QCOMPARE(d->pos(), c->Text()->parentWidget()->mapToGlobal(QPoint(c->Text()->x() + 100, c->Text()->y())));
    QVERIFY(d->GetOptions() & TReplaceDialog::frDown);
    QString live;  // a box ticked, or a box or radio button enabled
    for (QAbstractButton* b : d->findChildren<QAbstractButton*>())
      if (!qobject_cast<QPushButton*>(b) && (b->isEnabled() || (qobject_cast<QCheckBox*>(b) && b->isChecked())))
        live += b->text();
    QCOMPARE(live, QString());
    d->close();
    c->EditReplaceExecute();
    QCOMPARE(c->findChildren<TReplaceDialog*>().size(), 1);
    QCOMPARE(d->GetFindText(), QStringLiteral("abc"));

    // Find Next: from the top without a selection, case matters, no wrapping.
    c->Text()->SetSelStart(8);
    QStringList seen;
    for (int i = 0; i < 4; ++i) c->ReplaceDialog1Find(), seen << Sel(c);
    QCOMPARE(seen, (QStringList{"4+3", "12+3", "0+0", "4+3"}));
    // An empty find text is never found, by either command.
    d->SetFindText({});
    c->ReplaceDialog1Find();
    d->SetOptions(d->GetOptions() & ~TReplaceDialog::frReplace);
    c->ReplaceDialog1Replace();
    QCOMPARE(h.script.Messages, (QStringList{kNotFound.arg("abc"), kNotFound.arg(""), kNotFound.arg("")}));

    // A selection that is not a match is not replaced: Find Next goes on after it.
    c = h.NewChild(QStringLiteral("one two one"), QStringLiteral("one"), QStringLiteral("1"), 4, 3);
    Click(Dialog(c)->ReplaceButton());
    QCOMPARE(Sel(c, true), QStringLiteral("8+3 one two one"));
    Click(Dialog(c)->ReplaceButton());
    QCOMPARE(c->Text()->GetText(), QStringLiteral("one two 1"));
    // Replaced by nothing, the empty selection sends Find Next to the top.
    c = h.NewChild(QStringLiteral("ab xab"), QStringLiteral("ab"), {}, 4, 2);
    Click(Dialog(c)->ReplaceButton());
    QCOMPARE(Sel(c, true), QStringLiteral("0+2 ab x"));

    // Replace All: inserted text is never searched again.
    c = h.NewChild(QStringLiteral("aaa"), QStringLiteral("a"), QStringLiteral("ab"));
    Click(Dialog(c)->ReplaceAllButton());
    QCOMPARE(c->Text()->GetText(), QStringLiteral("ababab"));
    QCOMPARE(h.script.Messages.last(), QStringLiteral("3個の　『 a 』 を 『 ab 』 に置き換えました。"));
    QVERIFY(!QGuiApplication::overrideCursor());  // the wait cursor is gone again
    // Any case, Modified set, and one undo step.
    c = h.NewChild(QStringLiteral("abc ABC Abc"), QStringLiteral("abc"), QStringLiteral("x"));
    c->Text()->SetModified(false);
    c->ReplaceDialog1Replace();
    QCOMPARE(c->Text()->GetText(), QStringLiteral("x x x"));
    QVERIFY(c->Text()->GetModified());
    c->Text()->Undo();
    QCOMPARE(c->Text()->GetText(), QStringLiteral("abc ABC Abc"));
    Dialog(c)->SetFindText(QStringLiteral("zzz"));
    c->ReplaceDialog1Replace();
    QCOMPARE(h.script.Messages.last() + ' ' + Sel(c), kNotFound.arg("zzz") + " 0+0");

    // A line break in the dialog's texts is one paragraph break, 2 bytes, for all three commands.
    c = h.NewChild(QStringLiteral("a\r\nb a\r\nb a b"), QStringLiteral("a\nb"), QStringLiteral("x\ry"));
    c->ReplaceDialog1Find();
    QCOMPARE(Sel(c), QStringLiteral("0+4"));
    Click(Dialog(c)->ReplaceButton());
    QCOMPARE(Sel(c, true), QStringLiteral("5+4 x\r\ny a\r\nb a b"));
    QCOMPARE(c->Text()->document()->blockCount(), 3);
    Click(Dialog(c)->ReplaceAllButton());
    QCOMPARE(c->Text()->GetText(), QStringLiteral("x\r\ny x\r\ny a b"));
    QCOMPARE(h.script.Messages.last(), QStringLiteral("1個の　『 a\nb 』 を 『 x\ry 』 に置き換えました。"));
    // Texts of different byte lengths: each replacement selected exactly, the next found after it.
    c = h.NewChild(QStringLiteral("日本と日本\r\nにっぽん日本"), QStringLiteral("日本"), QStringLiteral("ﾆｯﾎﾟﾝ国"));
    c->ReplaceDialog1Find();
    Click(Dialog(c)->ReplaceButton());
    QCOMPARE(Sel(c), QStringLiteral("9+4"));  // ﾆｯﾎﾟﾝ国 is 7 bytes, と 2
    Click(Dialog(c)->ReplaceAllButton());
    QCOMPARE(Sel(c, true), QStringLiteral("%1+7 ﾆｯﾎﾟﾝ国とﾆｯﾎﾟﾝ国\r\nにっぽんﾆｯﾎﾟﾝ国").arg(c->Text()->GetTextLen() - 7));
  }
};

QTEST_MAIN(TestCountersFind)
#include "test_counters_find.moc"
