// The counter bar and find/replace of a document window.
#include <QtTest>
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

// The counters count characters (not bytes), as their unit cell says.
bool InChars(const TSoraChild* c) { return Part<TCounterCell>(c, "Memo4")->text() == QStringLiteral(" 文字"); }

struct Host : DocumentHost {
  Dialogs::Script script;
  TSoraChild* NewChild(const QString& text = {}) {
    auto* c = new TSoraChild(area, &marks);
    c->Text()->SetSelText(text);
    c->Text()->SetSelStart(0);
    QCoreApplication::processEvents();
    return c;
  }
  TSoraChild* Replace(TSoraChild* c, const QString& find, const QString& by) {
    Part<TReplaceDialog>(c, "ReplaceDialog1")->SetFindText(find);
    Part<TReplaceDialog>(c, "ReplaceDialog1")->SetReplaceText(by);
    return c;
  }
};

QString Cells(TSoraChild* c) {
  return QStringList{Part<TCounterCell>(c, "Memo1")->text(), Part<TCounterCell>(c, "Memo2")->text(), Part<TCounterCell>(c, "Memo5")->text(), Part<TCounterCell>(c, "Memo6")->text(),
                     Part<TCounterCell>(c, "Memo3")->text(), Part<TCounterCell>(c, "Memo4")->text()}.join('|');
}

// The selection, and the text when it is asked for.
QString Sel(TSoraChild* c, bool withText = false) {
  return QStringLiteral("%1+%2").arg(c->Text()->GetSelStart()).arg(c->Text()->GetSelLength()) +
         (withText ? u' ' + c->Text()->GetText() : QString());
}

void Click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

const QString kNotFound = QStringLiteral("ここから後の文書には 『 %1 』 は、見つかりません！");

}  // namespace

class TestCountersFind : public QObject {
  Q_OBJECT
 private slots:
  void cellsInBothModes() {
    Host h;
    TSoraChild* c = h.NewChild();
    c->RichEdit1Change();
    QCOMPARE(Cells(c), QStringLiteral("1 行|0 列|0| バイト目|0| バイト"));
    c->Text()->SetSelText(QStringLiteral("あいう"));
    c->Text()->SetSelStart(4);
    c->RichEdit1Change();
    QCOMPARE(Cells(c), QStringLiteral("1 行|4 列|4| バイト目|6| バイト"));
    QCOMPARE(Part<TCounterCell>(c, "Memo3")->FontColor(), clAqua);
    c->Memo3Click();
    QCOMPARE(Cells(c), QStringLiteral("1 行|4 列|2| 文字目|3| 文字"));
    QCOMPARE(QList<TColor>({Part<TCounterCell>(c, "Memo5")->FontColor(), Part<TCounterCell>(c, "Memo3")->FontColor()}),
             QList<TColor>({clYellow, clYellow}));
  }

  void linesAndWrappedLines() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("一\r\n二\r\n三行目"));
    c->Text()->SetSelStart(8);
    c->UpdateCaretCounters();
    QCOMPARE(Part<TCounterCell>(c, "Memo1")->text() + Part<TCounterCell>(c, "Memo2")->text(), QStringLiteral("3 行0 列"));
    // A paragraph wider than the window counts each display line.
    const QString para = QStringLiteral("折り返しの確認をするための長い段落です。").repeated(10);
    c->Text()->SetSelStart(0);
    c->Text()->SetSelText(para);
    c->Text()->SetSelStart(c->Text()->GetTextLen());
    c->UpdateCaretCounters();
    QVERIFY2(Part<TCounterCell>(c, "Memo1")->text().section(' ', 0, 0).toInt() > 3, qPrintable(Part<TCounterCell>(c, "Memo1")->text()));
    QVERIFY(Part<TCounterCell>(c, "Memo2")->text().section(' ', 0, 0).toInt() < sjis::ByteLength(para));
  }

  // Either cell of a pair flips the mode, a left click only; the focus stays in the text.
  void modeFlips() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("日本語"));
    c->ViewCounterExecute();  // shown: characters
    QCOMPARE(h.marks.count, 1);
    QCOMPARE(Cells(c).section(u'|', 3), QStringLiteral(" 文字目|3| 文字"));
    QTest::mouseClick(Part<TCounterCell>(c, "Memo6"), Qt::LeftButton);
    QCOMPARE(Cells(c).section(u'|', 3), QStringLiteral(" バイト目|6| バイト"));
    QVERIFY(!Part<TCounterCell>(c, "Memo6")->hasFocus());
    QTest::mouseClick(Part<TCounterCell>(c, "Memo3"), Qt::LeftButton);
    QCOMPARE(Part<TCounterCell>(c, "Memo3")->text(), QStringLiteral("3"));
    QTest::mouseClick(Part<TCounterCell>(c, "Memo1"), Qt::LeftButton);  // the line cell does not flip
    QTest::mouseClick(Part<TCounterCell>(c, "Memo5"), Qt::RightButton);
    QCOMPARE(Part<TCounterCell>(c, "Memo3")->text(), QStringLiteral("3"));
    QVERIFY(!Part<TCounterCell>(c, "Memo5")->hasFocus());
    // A double click, as the window system delivers it, is one switch.
    QWidget* top = c->window();
    top->show();
    QVERIFY(QTest::qWaitForWindowExposed(top));
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, Part<TCounterCell>(c, "Memo4")->mapTo(top, Part<TCounterCell>(c, "Memo4")->rect().center()));
    QCOMPARE(Part<TCounterCell>(c, "Memo3")->text(), QStringLiteral("6"));

    // Hiding and showing the bar flips the mode each time.
    const bool chars = InChars(c);
    c->ViewCounterExecute();
    QVERIFY(Part<QFrame>(c, "Panel1")->isHidden());
    QCOMPARE(h.marks.count, 0);
    QCOMPARE(InChars(c), !chars);
    c->ViewCounterExecute();
    QCOMPARE(InChars(c), chars);
  }

  // Refreshed on a change, a key release and a left press; a right press opens
  // the menu at the press point and refreshes nothing.
  void refreshRules() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("first\r\nsecond line"));
    c->RichEdit1Change();
    Part<TCounterCell>(c, "Memo3")->setText(QStringLiteral("stale"));
    QTest::mouseClick(c->Text()->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(Part<TCounterCell>(c, "Memo1")->text(), QStringLiteral("1 行"));
    QTest::keyClick(c->Text(), Qt::Key_Down);
    QCOMPARE(Part<TCounterCell>(c, "Memo1")->text(), QStringLiteral("2 行"));
    QCOMPARE(Part<TCounterCell>(c, "Memo3")->text(), QStringLiteral("stale"));  // only the caret cells

    Part<QMenu>(c, "PopupMenu1")->addAction(QStringLiteral("probe"));
    c->Text()->SetSelStart(0);
    const QString before = Cells(c);
    const QPoint press(30, 10);
    QTest::mouseClick(c->Text()->viewport(), Qt::RightButton, {}, press);
    QTRY_VERIFY(Part<QMenu>(c, "PopupMenu1")->isVisible());
    const QPoint expected = c->Text()->viewport()->mapToGlobal(press);
    QVERIFY((Part<QMenu>(c, "PopupMenu1")->pos() - expected).manhattanLength() <= 2 || Part<QMenu>(c, "PopupMenu1")->geometry().contains(expected));
    Part<QMenu>(c, "PopupMenu1")->hide();
    QCOMPARE(Cells(c), before);
  }

  // Find Next: from the top without a selection, case matters, no wrapping.
  void findNext() {
    Host h;
    TSoraChild* c = h.Replace(h.NewChild(QStringLiteral("ABC abc --- abc")), QStringLiteral("abc"), {});
    c->Text()->SetSelStart(8);
    QStringList seen;
    for (int i = 0; i < 4; ++i) c->ReplaceDialog1Find(), seen << Sel(c);
    QCOMPARE(seen, (QStringList{"4+3", "12+3", "0+0", "4+3"}));
    QCOMPARE(h.script.Messages, QStringList{kNotFound.arg("abc")});

    // An empty find text is never found, by either command.
    h.script.Messages.clear();
    h.Replace(c, {}, QStringLiteral("x"));
    c->ReplaceDialog1Find();
    Part<TReplaceDialog>(c, "ReplaceDialog1")->SetOptions(Part<TReplaceDialog>(c, "ReplaceDialog1")->GetOptions() & ~TReplaceDialog::frReplace);
    c->ReplaceDialog1Replace();
    QCOMPARE(h.script.Messages, (QStringList{kNotFound.arg(""), kNotFound.arg("")}));
    QCOMPARE(c->Text()->GetText(), QStringLiteral("ABC abc --- abc"));
  }

  void replaceAndReplaceAll() {
    Host h;
    // A selection that is not a match is not replaced: Find Next goes on after it.
    TSoraChild* c = h.Replace(h.NewChild(QStringLiteral("one two one")), QStringLiteral("one"), QStringLiteral("1"));
    c->Text()->SetSelStart(4);
    c->Text()->SetSelLength(3);
    Click(Part<TReplaceDialog>(c, "ReplaceDialog1")->ReplaceButton());
    QCOMPARE(Sel(c, true), QStringLiteral("8+3 one two one"));
    Click(Part<TReplaceDialog>(c, "ReplaceDialog1")->ReplaceButton());
    QCOMPARE(c->Text()->GetText(), QStringLiteral("one two 1"));
    QCOMPARE(h.script.Messages, QStringList{kNotFound.arg("one")});

    // Replaced by nothing, the empty selection sends Find Next to the top.
    c = h.Replace(h.NewChild(QStringLiteral("ab xab")), QStringLiteral("ab"), {});
    c->Text()->SetSelStart(4);
    c->Text()->SetSelLength(2);
    Click(Part<TReplaceDialog>(c, "ReplaceDialog1")->ReplaceButton());
    QCOMPARE(Sel(c, true), QStringLiteral("0+2 ab x"));
    QVERIFY(c->Text()->GetModified());

    // Replace All: inserted text is never searched again.
    h.script.Messages.clear();
    c = h.Replace(h.NewChild(QStringLiteral("aaa")), QStringLiteral("a"), QStringLiteral("ab"));
    Click(Part<TReplaceDialog>(c, "ReplaceDialog1")->ReplaceAllButton());
    QCOMPARE(c->Text()->GetText(), QStringLiteral("ababab"));
    QCOMPARE(h.script.Messages, QStringList{QStringLiteral("3個の　『 a 』 を 『 ab 』 に置き換えました。")});
    QVERIFY(!QGuiApplication::overrideCursor());  // the wait cursor is gone again
    QCOMPARE(Sel(c), QStringLiteral("4+2"));  // the last replacement
    c->RichEdit1Change();
    QCOMPARE(Part<TCounterCell>(c, "Memo3")->text(), QStringLiteral("6"));

    // Any case, Modified set, and one undo step.
    c = h.Replace(h.NewChild(QStringLiteral("abc ABC Abc")), QStringLiteral("abc"), QStringLiteral("x"));
    c->Text()->SetModified(false);
    c->ReplaceDialog1Replace();
    QCOMPARE(c->Text()->GetText(), QStringLiteral("x x x"));
    QVERIFY(c->Text()->GetModified());
    c->Text()->Undo();
    QCOMPARE(c->Text()->GetText(), QStringLiteral("abc ABC Abc"));
    h.Replace(c, QStringLiteral("zzz"), QStringLiteral("x"))->ReplaceDialog1Replace();
    QCOMPARE(h.script.Messages.last(), kNotFound.arg("zzz"));
    QCOMPARE(Sel(c), QStringLiteral("0+0"));
  }

  // A line break in the dialog's texts is one paragraph break, 2 bytes, for all three commands.
  void lineBreaksAndByteLengths() {
    Host h;
    TSoraChild* c = h.Replace(h.NewChild(QStringLiteral("a\r\nb a\r\nb a b")), QStringLiteral("a\nb"),
                              QStringLiteral("x\ry"));
    c->ReplaceDialog1Find();
    QCOMPARE(Sel(c), QStringLiteral("0+4"));
    Click(Part<TReplaceDialog>(c, "ReplaceDialog1")->ReplaceButton());
    QCOMPARE(Sel(c, true), QStringLiteral("5+4 x\r\ny a\r\nb a b"));
    QCOMPARE(c->Text()->document()->blockCount(), 3);
    Click(Part<TReplaceDialog>(c, "ReplaceDialog1")->ReplaceAllButton());
    QCOMPARE(c->Text()->GetText(), QStringLiteral("x\r\ny x\r\ny a b"));
    QCOMPARE(h.script.Messages.last(), QStringLiteral("1個の　『 a\nb 』 を 『 x\ry 』 に置き換えました。"));

    // Texts of different byte lengths: each replacement selected exactly, the next found after it.
    c = h.Replace(h.NewChild(QStringLiteral("日本と日本\r\nにっぽん日本")), QStringLiteral("日本"),
                              QStringLiteral("ﾆｯﾎﾟﾝ国"));
    c->ReplaceDialog1Find();
    QCOMPARE(Sel(c), QStringLiteral("0+4"));
    Click(Part<TReplaceDialog>(c, "ReplaceDialog1")->ReplaceButton());
    QCOMPARE(Sel(c), QStringLiteral("9+4"));  // ﾆｯﾎﾟﾝ国 is 7 bytes, と 2
    c->ReplaceDialog1Replace();  // frReplace is still set from the button
    QCOMPARE(Sel(c), QStringLiteral("26+4"));
    Click(Part<TReplaceDialog>(c, "ReplaceDialog1")->ReplaceAllButton());
    QCOMPARE(c->Text()->GetText(), QStringLiteral("ﾆｯﾎﾟﾝ国とﾆｯﾎﾟﾝ国\r\nにっぽんﾆｯﾎﾟﾝ国"));
    QCOMPARE(Sel(c), QStringLiteral("%1+7").arg(c->Text()->GetTextLen() - 7));  // the last ﾆｯﾎﾟﾝ国
    QCOMPARE(h.script.Messages.last(), QStringLiteral("1個の　『 日本 』 を 『 ﾆｯﾎﾟﾝ国 』 に置き換えました。"));
  }

  void dialogPlaceAndOptions() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("text"));
    c->ViewCounterExecute();  // a bar above the text moves it down
    c->EditReplaceExecute();
    TReplaceDialog* d = Part<TReplaceDialog>(c, "ReplaceDialog1");
    QVERIFY(d->isVisible());
    QVERIFY(!d->isModal());
    QCOMPARE(d->pos(), c->Text()->parentWidget()->mapToGlobal(QPoint(c->Text()->x() + 100, c->Text()->y())));
    QVERIFY(d->GetOptions() & TReplaceDialog::frDown);
    // The options are fixed: every box and button greyed, no box ticked.
    QStringList live;
    for (QCheckBox* box : d->findChildren<QCheckBox*>())
      if (box->isEnabled() || box->isChecked()) live << box->text();
    for (QRadioButton* r : d->findChildren<QRadioButton*>())
      if (r->isEnabled()) live << r->text();
    QCOMPARE(live, QStringList());
    // One per window, its texts kept.
    d->SetFindText(QStringLiteral("kept"));
    d->close();
    c->EditReplaceExecute();
    QCOMPARE(c->findChildren<TReplaceDialog*>().size(), 1);
    QCOMPARE(d->GetFindText(), QStringLiteral("kept"));
  }
};

QTEST_MAIN(TestCountersFind)
#include "test_counters_find.moc"
