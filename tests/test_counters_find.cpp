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

namespace {

struct Host : DocumentHost {
  Dialogs::Script script;
  TSoraChild* NewChild(const QString& text = {}) {
    auto* c = new TSoraChild(area, &marks);
    c->RichEdit1->SetSelText(text);
    c->RichEdit1->SetSelStart(0);
    QCoreApplication::processEvents();
    return c;
  }
  TSoraChild* Replace(TSoraChild* c, const QString& find, const QString& by) {
    c->ReplaceDialog1->SetFindText(find);
    c->ReplaceDialog1->SetReplaceText(by);
    return c;
  }
};

QString Cells(TSoraChild* c) {
  return QStringList{c->Memo1->text(), c->Memo2->text(), c->Memo5->text(), c->Memo6->text(),
                     c->Memo3->text(), c->Memo4->text()}.join('|');
}

// The selection, and the text when it is asked for.
QString Sel(TSoraChild* c, bool withText = false) {
  return QStringLiteral("%1+%2").arg(c->RichEdit1->GetSelStart()).arg(c->RichEdit1->GetSelLength()) +
         (withText ? u' ' + c->RichEdit1->GetText() : QString());
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
    c->RichEdit1->SetSelText(QStringLiteral("あいう"));
    c->RichEdit1->SetSelStart(4);
    c->RichEdit1Change();
    QCOMPARE(Cells(c), QStringLiteral("1 行|4 列|4| バイト目|6| バイト"));
    QCOMPARE(c->Memo3->FontColor(), clAqua);
    c->Memo3Click();
    QCOMPARE(Cells(c), QStringLiteral("1 行|4 列|2| 文字目|3| 文字"));
    QVERIFY(c->Memo5->FontColor() == clYellow && c->Memo3->FontColor() == clYellow);
    // CR LF counts two characters.
    c->RichEdit1->SetSelText(QStringLiteral("\r\n"));
    c->RichEdit1Change();
    QCOMPARE(c->Memo3->text(), QStringLiteral("5"));
  }

  void linesAndWrappedLines() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("一\r\n二\r\n三行目"));
    c->RichEdit1->SetSelStart(8);
    c->UpdateCaretCounters();
    QCOMPARE(c->Memo1->text() + c->Memo2->text(), QStringLiteral("3 行0 列"));
    // A paragraph wider than the window counts each display line.
    const QString para = QStringLiteral("折り返しの確認をするための長い段落です。").repeated(10);
    c->RichEdit1->SetSelStart(0);
    c->RichEdit1->SetSelText(para);
    c->RichEdit1->SetSelStart(c->RichEdit1->GetTextLen());
    c->UpdateCaretCounters();
    QVERIFY2(c->Memo1->text().section(' ', 0, 0).toInt() > 3, qPrintable(c->Memo1->text()));
    QVERIFY(c->Memo2->text().section(' ', 0, 0).toInt() < sjis::ByteLength(para));
  }

  // Either cell of a pair flips the mode, a left click only; the focus stays in the text.
  void modeFlips() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("日本語"));
    c->ViewCounterExecute();  // shown: characters
    QCOMPARE(h.marks.count, 1);
    QCOMPARE(c->Memo6->text() + c->Memo4->text(), QStringLiteral(" 文字目 文字"));
    QTest::mouseClick(c->Memo6, Qt::LeftButton);
    QCOMPARE(c->Memo6->text() + c->Memo4->text() + c->Memo3->text(), QStringLiteral(" バイト目 バイト6"));
    QVERIFY(!c->Memo6->hasFocus());
    QTest::mouseClick(c->Memo3, Qt::LeftButton);
    QCOMPARE(c->Memo3->text(), QStringLiteral("3"));
    QTest::mouseClick(c->Memo1, Qt::LeftButton);  // the line cell does not flip
    QTest::mouseClick(c->Memo5, Qt::RightButton);
    QCOMPARE(c->Memo3->text(), QStringLiteral("3"));
    QVERIFY(!c->Memo5->hasFocus());
    // A double click, as the window system delivers it, is one switch.
    QWidget* top = c->window();
    top->show();
    QVERIFY(QTest::qWaitForWindowExposed(top));
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, c->Memo4->mapTo(top, c->Memo4->rect().center()));
    QCOMPARE(c->Memo3->text(), QStringLiteral("6"));

    // Hiding and showing the bar flips the mode each time.
    const bool chars = c->CountInChars;
    c->ViewCounterExecute();
    QVERIFY(c->Panel1->isHidden() && h.marks.count == 0 && c->CountInChars == !chars);
    c->ViewCounterExecute();
    QCOMPARE(c->CountInChars, chars);
  }

  // Refreshed on a change, a key release and a left press; a right press opens
  // the menu at the press point and refreshes nothing.
  void refreshRules() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("first\r\nsecond line"));
    c->RichEdit1Change();
    c->Memo3->setText(QStringLiteral("stale"));
    QTest::mouseClick(c->RichEdit1->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(c->Memo1->text(), QStringLiteral("1 行"));
    QTest::keyClick(c->RichEdit1, Qt::Key_Down);
    QCOMPARE(c->Memo1->text(), QStringLiteral("2 行"));
    QCOMPARE(c->Memo3->text(), QStringLiteral("stale"));  // only the caret cells

    c->PopupMenu1->addAction(QStringLiteral("probe"));
    c->RichEdit1->SetSelStart(0);
    const QString before = Cells(c);
    const QPoint press(30, 10);
    QTest::mouseClick(c->RichEdit1->viewport(), Qt::RightButton, {}, press);
    QTRY_VERIFY(c->PopupMenu1->isVisible());
    const QPoint expected = c->RichEdit1->viewport()->mapToGlobal(press);
    QVERIFY((c->PopupMenu1->pos() - expected).manhattanLength() <= 2 || c->PopupMenu1->geometry().contains(expected));
    c->PopupMenu1->hide();
    QCOMPARE(Cells(c), before);
  }

  void countsMatchIndependentRecount() {
    Host h;
    TSoraChild* c = h.NewChild();
    QRandomGenerator rng(77);
    const QStringList pieces = {"a", "漢字", "ｶﾅ", "\r\n", "Ｘ", "é", " "};
    for (int i = 0; i < 300; ++i) {
      c->RichEdit1->SetSelStart(int(rng.bounded(c->RichEdit1->GetTextLen() + 1)));
      c->RichEdit1->SetSelText(pieces[int(rng.bounded(pieces.size()))]);
      if (i % 50 == 49) c->Memo3Click();
      const QByteArray sj = sjis::Encode(c->RichEdit1->GetText());
      const int p = c->RichEdit1->GetSelStart();
      QCOMPARE(c->Memo3->text(), QString::number(c->CountInChars ? ByteToCharLen(sj, sj.size()) : int(sj.size())));
      QCOMPARE(c->Memo5->text(), QString::number(c->CountInChars ? ByteToCharLen(sj, p) : p));
    }
  }

  // Find Next: from the top without a selection, case matters, no wrapping.
  void findNext() {
    Host h;
    TSoraChild* c = h.Replace(h.NewChild(QStringLiteral("ABC abc --- abc")), QStringLiteral("abc"), {});
    c->RichEdit1->SetSelStart(8);
    QStringList seen;
    for (int i = 0; i < 4; ++i) c->ReplaceDialog1Find(), seen << Sel(c);
    QCOMPARE(seen, (QStringList{"4+3", "12+3", "0+0", "4+3"}));
    QCOMPARE(h.script.Messages, QStringList{kNotFound.arg("abc")});

    // An empty find text is never found, by either command.
    h.script.Messages.clear();
    h.Replace(c, {}, QStringLiteral("x"));
    c->ReplaceDialog1Find();
    c->ReplaceDialog1->SetOptions(c->ReplaceDialog1->GetOptions() & ~TReplaceDialog::frReplace);
    c->ReplaceDialog1Replace();
    QCOMPARE(h.script.Messages, (QStringList{kNotFound.arg(""), kNotFound.arg("")}));
    QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("ABC abc --- abc"));
  }

  void replace() {
    Host h;
    // A selection that is not a match is not replaced: Find Next goes on after it.
    TSoraChild* c = h.Replace(h.NewChild(QStringLiteral("one two one")), QStringLiteral("one"), QStringLiteral("1"));
    c->RichEdit1->SetSelStart(4);
    c->RichEdit1->SetSelLength(3);
    Click(c->ReplaceDialog1->ReplaceButton());
    QCOMPARE(Sel(c, true), QStringLiteral("8+3 one two one"));
    Click(c->ReplaceDialog1->ReplaceButton());
    QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("one two 1"));
    QCOMPARE(h.script.Messages, QStringList{kNotFound.arg("one")});

    // Replaced by nothing, the empty selection sends Find Next to the top.
    c = h.Replace(h.NewChild(QStringLiteral("ab xab")), QStringLiteral("ab"), {});
    c->RichEdit1->SetSelStart(4);
    c->RichEdit1->SetSelLength(2);
    Click(c->ReplaceDialog1->ReplaceButton());
    QCOMPARE(Sel(c, true), QStringLiteral("0+2 ab x"));
    QVERIFY(c->RichEdit1->GetModified());
  }

  void replaceAll() {
    Host h;
    // Inserted text is never searched again.
    TSoraChild* c = h.Replace(h.NewChild(QStringLiteral("aaa")), QStringLiteral("a"), QStringLiteral("ab"));
    Click(c->ReplaceDialog1->ReplaceAllButton());
    QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("ababab"));
    QCOMPARE(h.script.Messages, QStringList{QStringLiteral("3個の　『 a 』 を 『 ab 』 に置き換えました。")});
    QVERIFY(!QGuiApplication::overrideCursor());  // the wait cursor is gone again
    QCOMPARE(Sel(c), QStringLiteral("4+2"));  // the last replacement
    c->RichEdit1Change();
    QCOMPARE(c->Memo3->text(), QStringLiteral("6"));

    // Any case, Modified set, and one undo step.
    c = h.Replace(h.NewChild(QStringLiteral("abc ABC Abc")), QStringLiteral("abc"), QStringLiteral("x"));
    c->RichEdit1->SetModified(false);
    c->ReplaceDialog1Replace();
    QVERIFY(c->RichEdit1->GetText() == "x x x" && c->RichEdit1->GetModified());
    c->RichEdit1->Undo();
    QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("abc ABC Abc"));
    h.Replace(c, QStringLiteral("zzz"), QStringLiteral("x"))->ReplaceDialog1Replace();
    QVERIFY(h.script.Messages.last() == kNotFound.arg("zzz") && Sel(c) == "0+0");
  }

  // A line break in the dialog's texts is one paragraph break, 2 bytes, for all three commands.
  void lineBreaksInTheTexts() {
    Host h;
    TSoraChild* c = h.Replace(h.NewChild(QStringLiteral("a\r\nb a\r\nb a b")), QStringLiteral("a\nb"),
                              QStringLiteral("x\ry"));
    c->ReplaceDialog1Find();
    QCOMPARE(Sel(c), QStringLiteral("0+4"));
    Click(c->ReplaceDialog1->ReplaceButton());
    QCOMPARE(Sel(c, true), QStringLiteral("5+4 x\r\ny a\r\nb a b"));
    QCOMPARE(c->RichEdit1->document()->blockCount(), 3);
    Click(c->ReplaceDialog1->ReplaceAllButton());
    QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("x\r\ny x\r\ny a b"));
    QCOMPARE(h.script.Messages.last(), QStringLiteral("1個の　『 a\nb 』 を 『 x\ry 』 に置き換えました。"));
    // A no-break space is found only by itself, by Replace All too.
    h.Replace(c, QStringLiteral("a\u00A0b"), QStringLiteral("z"))->ReplaceDialog1Replace();
    QCOMPARE(h.script.Messages.last(), kNotFound.arg(QStringLiteral("a\u00A0b")));
  }

  // Texts of different byte lengths: each replacement selected exactly, the next found after it.
  void japanese() {
    Host h;
    TSoraChild* c = h.Replace(h.NewChild(QStringLiteral("日本と日本\r\nにっぽん日本")), QStringLiteral("日本"),
                              QStringLiteral("ﾆｯﾎﾟﾝ国"));
    c->ReplaceDialog1Find();
    QCOMPARE(Sel(c), QStringLiteral("0+4"));
    Click(c->ReplaceDialog1->ReplaceButton());
    QCOMPARE(Sel(c), QStringLiteral("9+4"));  // ﾆｯﾎﾟﾝ国 is 7 bytes, と 2
    c->ReplaceDialog1Replace();  // frReplace is still set from the button
    QCOMPARE(Sel(c), QStringLiteral("26+4"));
    Click(c->ReplaceDialog1->ReplaceAllButton());
    QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("ﾆｯﾎﾟﾝ国とﾆｯﾎﾟﾝ国\r\nにっぽんﾆｯﾎﾟﾝ国"));
    QCOMPARE(Sel(c), QStringLiteral("%1+7").arg(c->RichEdit1->GetTextLen() - 7));  // the last ﾆｯﾎﾟﾝ国
    QCOMPARE(h.script.Messages.last(), QStringLiteral("1個の　『 日本 』 を 『 ﾆｯﾎﾟﾝ国 』 に置き換えました。"));
  }

  void dialogPlaceAndOptions() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("text"));
    c->ViewCounterExecute();  // a bar above the text moves it down
    c->EditReplaceExecute();
    TReplaceDialog* d = c->ReplaceDialog1;
    QVERIFY(d->isVisible() && !d->isModal());
    QCOMPARE(d->pos(), c->RichEdit1->parentWidget()->mapToGlobal(QPoint(c->RichEdit1->x() + 100, c->RichEdit1->y())));
    QVERIFY(d->GetOptions() & TReplaceDialog::frDown);
    for (QCheckBox* box : d->findChildren<QCheckBox*>()) QVERIFY(!box->isEnabled() && !box->isChecked());
    for (QRadioButton* r : d->findChildren<QRadioButton*>()) QVERIFY(!r->isEnabled());
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
