#include <QtTest>

#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QCheckBox>
#include <QRadioButton>

#include "DocumentHost.h"
#include "document/CounterCell.h"
#include "document/FrameLink.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/ReplaceDialog.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"

namespace {

struct Host : DocumentHost {
  TSoraChild* NewChild(const QString& text = {}) {
    auto* c = new TSoraChild(area, &marks);
    c->RichEdit1->SetSelText(text);
    c->RichEdit1->SetSelStart(0);
    QCoreApplication::processEvents();
    return c;
  }
};

QString Cells(TSoraChild* c) {
  return QStringList{c->Memo1->text(), c->Memo2->text(), c->Memo5->text(), c->Memo6->text(),
                     c->Memo3->text(), c->Memo4->text()}.join('|');
}

const QString kNotFound = QString::fromUtf8("ここから後の文書には 『 %1 』 は、見つかりません！");

}  // namespace

class TestCountersFind : public QObject {
  Q_OBJECT
 private slots:
  void emptyDocumentInBytes();
  void doubleByteOffsetsInBothModes();
  void crLfCountsTwoCharacters();
  void thirdLineAndWrappedLines();
  void clickOnUnitCellFlipsBothAndKeepsFocus();
  void viewCounterFlipsOnEveryShowAndHide();
  void rightClickOpensMenuAtPressWithoutRefresh();
  void leftClickRefreshesCaretOnly();
  void countsMatchIndependentRecount();

  void findNextStartsAtTopWithoutSelection();
  void findNextMatchesCaseAndDoesNotWrap();
  void replaceWithNonMatchingSelection();
  void replaceWithEmptyTextDeletesAndSearchesFromTop();
  void replaceAllDoesNotSearchInsertedText();
  void replaceAllIgnoresCaseAndIsOneUndo();
  void replaceAllJapaneseSelectsLastReplacement();
  void emptyFindTextIsNeverFound();
  void dialogIsOnePerWindowAndDisabledOptions();
};

void TestCountersFind::emptyDocumentInBytes() {
  Host h;
  TSoraChild* c = h.NewChild();
  c->RichEdit1Change();
  QCOMPARE(Cells(c), QString::fromUtf8("1 行|0 列|0| バイト目|0| バイト"));
  QCOMPARE(c->Memo5->FontColor(), clAqua);
  QCOMPARE(c->Memo3->FontColor(), clAqua);
}

void TestCountersFind::doubleByteOffsetsInBothModes() {
  Host h;
  TSoraChild* c = h.NewChild(QString::fromUtf8("あいう"));
  c->RichEdit1->SetSelStart(4);
  c->RichEdit1Change();
  QCOMPARE(Cells(c), QString::fromUtf8("1 行|4 列|4| バイト目|6| バイト"));
  c->Memo3Click();
  QVERIFY(c->CountInChars);
  QCOMPARE(Cells(c), QString::fromUtf8("1 行|4 列|2| 文字目|3| 文字"));
  QCOMPARE(c->Memo5->FontColor(), clYellow);
  QCOMPARE(c->Memo3->FontColor(), clYellow);
}

void TestCountersFind::crLfCountsTwoCharacters() {
  Host h;
  TSoraChild* c = h.NewChild(QString::fromUtf8("あ\r\nい"));
  c->RichEdit1Change();
  QCOMPARE(c->Memo3->text(), QString("6"));
  c->Memo4Click();
  QCOMPARE(c->Memo3->text(), QString("4"));
}

void TestCountersFind::thirdLineAndWrappedLines() {
  Host h;
  TSoraChild* c = h.NewChild(QString::fromUtf8("一\r\n二\r\n三行目"));
  c->RichEdit1->SetSelStart(8);
  c->UpdateCaretCounters();
  QCOMPARE(c->Memo1->text(), QString::fromUtf8("3 行"));
  QCOMPARE(c->Memo2->text(), QString::fromUtf8("0 列"));
  // A paragraph wider than the window counts each display line.
  const QString para = QString::fromUtf8("折り返しの確認をするための長い段落です。").repeated(10);
  c->RichEdit1->SetSelStart(0);
  c->RichEdit1->SetSelText(para);
  c->RichEdit1->SetSelStart(c->RichEdit1->GetTextLen());
  c->UpdateCaretCounters();
  const int line = c->Memo1->text().section(' ', 0, 0).toInt();
  QVERIFY2(line > 3, qPrintable(c->Memo1->text()));
  const int column = c->Memo2->text().section(' ', 0, 0).toInt();
  QVERIFY(column < sjis::ByteLength(para));
}

void TestCountersFind::clickOnUnitCellFlipsBothAndKeepsFocus() {
  Host h;
  TSoraChild* c = h.NewChild(QString::fromUtf8("日本語"));
  c->ViewCounterExecute();  // shows the bar: characters
  QVERIFY(c->RichEdit1->hasFocus() || !QGuiApplication::focusWindow());
  QCOMPARE(c->Memo6->text(), QString::fromUtf8(" 文字目"));
  QTest::mouseClick(c->Memo6, Qt::LeftButton);
  QCOMPARE(c->Memo6->text(), QString::fromUtf8(" バイト目"));
  QCOMPARE(c->Memo4->text(), QString::fromUtf8(" バイト"));
  QCOMPARE(c->Memo3->text(), QString("6"));
  QCOMPARE(c->Memo3->FontColor(), clAqua);
  QVERIFY(!c->Memo6->hasFocus());
  QTest::mouseClick(c->Memo3, Qt::LeftButton);
  QCOMPARE(c->Memo3->text(), QString("3"));
  QTest::mouseClick(c->Memo1, Qt::LeftButton);  // line cell: no flip
  QCOMPARE(c->Memo3->text(), QString("3"));
  QTest::mouseClick(c->Memo5, Qt::RightButton);  // no click, no flip
  QCOMPARE(c->Memo3->text(), QString("3"));
  QVERIFY(!c->Memo5->hasFocus());
}

void TestCountersFind::viewCounterFlipsOnEveryShowAndHide() {
  Host h;
  TSoraChild* c = h.NewChild("abc");
  QVERIFY(c->Panel1->isHidden());
  c->ViewCounterExecute();
  QVERIFY(!c->Panel1->isHidden());
  QCOMPARE(h.marks.count, 1);
  QCOMPARE(c->Memo4->text(), QString::fromUtf8(" 文字"));
  c->ViewCounterExecute();
  QVERIFY(c->Panel1->isHidden());
  QCOMPARE(h.marks.count, 0);
  c->ViewCounterExecute();
  QCOMPARE(c->Memo4->text(), QString::fromUtf8(" 文字"));
  c->Memo4Click();
  c->ViewCounterExecute();
  c->ViewCounterExecute();
  QCOMPARE(c->Memo4->text(), QString::fromUtf8(" バイト"));
}

void TestCountersFind::rightClickOpensMenuAtPressWithoutRefresh() {
  Host h;
  TSoraChild* c = h.NewChild("abc\r\ndef");
  c->RichEdit1Change();
  c->PopupMenu1->addAction("probe");
  const QString before = Cells(c);
  c->RichEdit1->SetSelStart(7);
  const QPoint press(30, 10);
  QTest::mouseClick(c->RichEdit1->viewport(), Qt::RightButton, {}, press);
  QTRY_VERIFY(c->PopupMenu1->isVisible());
  const QPoint expected = c->RichEdit1->viewport()->mapToGlobal(press);
  QVERIFY((c->PopupMenu1->pos() - expected).manhattanLength() <= 2 ||
          c->PopupMenu1->geometry().contains(expected));
  c->PopupMenu1->hide();
  QCOMPARE(Cells(c), before);
}

void TestCountersFind::leftClickRefreshesCaretOnly() {
  Host h;
  TSoraChild* c = h.NewChild("first\r\nsecond line");
  c->RichEdit1Change();
  c->Memo3->setText("stale");
  QTest::mouseClick(c->RichEdit1->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
  QCOMPARE(c->Memo1->text(), QString::fromUtf8("1 行"));
  QCOMPARE(c->Memo3->text(), QString("stale"));
  QTest::keyClick(c->RichEdit1, Qt::Key_Down);
  QCOMPARE(c->Memo1->text(), QString::fromUtf8("2 行"));
  QCOMPARE(c->Memo3->text(), QString("stale"));
}

void TestCountersFind::countsMatchIndependentRecount() {
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
    const int len = c->CountInChars ? ByteToCharLen(sj, sj.size()) : int(sj.size());
    const int off = c->CountInChars ? ByteToCharLen(sj, p) : p;
    QCOMPARE(c->Memo3->text(), QString::number(len));
    QCOMPARE(c->Memo5->text(), QString::number(off));
  }
}

void TestCountersFind::findNextStartsAtTopWithoutSelection() {
  Host h;
  Dialogs::Script script;
  TSoraChild* c = h.NewChild("xx abc yy abc");
  c->RichEdit1->SetSelStart(8);  // caret after the first occurrence
  c->ReplaceDialog1->SetFindText("abc");
  c->ReplaceDialog1Find();
  QCOMPARE(c->RichEdit1->GetSelStart(), 3);
  QCOMPARE(c->RichEdit1->GetSelLength(), 3);
}

void TestCountersFind::findNextMatchesCaseAndDoesNotWrap() {
  Host h;
  Dialogs::Script script;
  TSoraChild* c = h.NewChild("ABC abc --- abc");
  c->ReplaceDialog1->SetFindText("abc");
  c->ReplaceDialog1Find();
  QCOMPARE(c->RichEdit1->GetSelStart(), 4);
  c->ReplaceDialog1Find();
  QCOMPARE(c->RichEdit1->GetSelStart(), 12);
  c->ReplaceDialog1Find();
  QCOMPARE(script.Messages, QStringList{kNotFound.arg("abc")});
  QCOMPARE(c->RichEdit1->GetSelStart(), 0);
  QCOMPARE(c->RichEdit1->GetSelLength(), 0);
  c->ReplaceDialog1Find();
  QCOMPARE(c->RichEdit1->GetSelStart(), 4);
}

void TestCountersFind::replaceWithNonMatchingSelection() {
  Host h;
  Dialogs::Script script;
  TSoraChild* c = h.NewChild("one two one");
  c->ReplaceDialog1->SetFindText("one");
  c->ReplaceDialog1->SetReplaceText("1");
  c->RichEdit1->SetSelStart(4);
  c->RichEdit1->SetSelLength(3);  // "two"
  QTest::mouseClick(c->ReplaceDialog1->ReplaceButton(), Qt::LeftButton);
  QCOMPARE(c->RichEdit1->GetText(), QString("one two one"));
  // "t" was selected, then Find Next went on from after it.
  QCOMPARE(c->RichEdit1->GetSelStart(), 8);
  QCOMPARE(c->RichEdit1->GetSelLength(), 3);
  QTest::mouseClick(c->ReplaceDialog1->ReplaceButton(), Qt::LeftButton);
  QCOMPARE(c->RichEdit1->GetText(), QString("one two 1"));
  QCOMPARE(script.Messages, QStringList{kNotFound.arg("one")});
}

void TestCountersFind::replaceWithEmptyTextDeletesAndSearchesFromTop() {
  Host h;
  Dialogs::Script script;
  TSoraChild* c = h.NewChild("ab xab");
  c->ReplaceDialog1->SetFindText("ab");
  c->ReplaceDialog1->SetReplaceText("");
  c->RichEdit1->SetSelStart(4);
  c->RichEdit1->SetSelLength(2);
  QTest::mouseClick(c->ReplaceDialog1->ReplaceButton(), Qt::LeftButton);
  QCOMPARE(c->RichEdit1->GetText(), QString("ab x"));
  QCOMPARE(c->RichEdit1->GetSelStart(), 0);  // the empty selection sent Find Next to the top
  QCOMPARE(c->RichEdit1->GetSelLength(), 2);
  QVERIFY(c->RichEdit1->GetModified());
}

void TestCountersFind::replaceAllDoesNotSearchInsertedText() {
  Host h;
  Dialogs::Script script;
  TSoraChild* c = h.NewChild("aaa");
  c->ReplaceDialog1->SetFindText("a");
  c->ReplaceDialog1->SetReplaceText("ab");
  QTest::mouseClick(c->ReplaceDialog1->ReplaceAllButton(), Qt::LeftButton);
  QCOMPARE(c->RichEdit1->GetText(), QString("ababab"));
  QCOMPARE(script.Messages, QStringList{QString::fromUtf8("3個の　『 a 』 を 『 ab 』 に置き換えました。")});
  QCOMPARE(c->RichEdit1->GetSelStart(), 4);
  QCOMPARE(c->RichEdit1->GetSelLength(), 2);
  c->RichEdit1Change();
  QCOMPARE(c->Memo3->text(), QString("6"));
}

void TestCountersFind::replaceAllIgnoresCaseAndIsOneUndo() {
  Host h;
  Dialogs::Script script;
  TSoraChild* c = h.NewChild("abc ABC Abc");
  c->RichEdit1->SetModified(false);
  c->ReplaceDialog1->SetFindText("abc");
  c->ReplaceDialog1->SetReplaceText("x");
  c->ReplaceDialog1Replace();
  QCOMPARE(c->RichEdit1->GetText(), QString("x x x"));
  QVERIFY(c->RichEdit1->GetModified());
  c->RichEdit1->Undo();
  QCOMPARE(c->RichEdit1->GetText(), QString("abc ABC Abc"));
  // No occurrence at all.
  c->ReplaceDialog1->SetFindText("zzz");
  c->ReplaceDialog1Replace();
  QCOMPARE(script.Messages.last(), kNotFound.arg("zzz"));
  QCOMPARE(c->RichEdit1->GetSelStart(), 0);
}

void TestCountersFind::replaceAllJapaneseSelectsLastReplacement() {
  Host h;
  Dialogs::Script script;
  TSoraChild* c = h.NewChild(QString::fromUtf8("日本と日本\r\nにっぽん日本"));
  c->ReplaceDialog1->SetFindText(QString::fromUtf8("日本"));
  c->ReplaceDialog1->SetReplaceText(QString::fromUtf8("ﾆｯﾎﾟﾝ国"));
  // Single replaces first: each replacement selected exactly, the next found after it.
  c->ReplaceDialog1Find();
  QCOMPARE(c->RichEdit1->GetSelStart(), 0);
  QTest::mouseClick(c->ReplaceDialog1->ReplaceButton(), Qt::LeftButton);
  QCOMPARE(c->RichEdit1->GetSelStart(), 9);  // ﾆｯﾎﾟﾝ国 is 7 bytes, と 2
  QCOMPARE(c->RichEdit1->GetSelLength(), 4);
  c->ReplaceDialog1Replace();  // frReplace is still set from the button
  QCOMPARE(c->RichEdit1->GetSelText(), QString::fromUtf8("日本"));
  QCOMPARE(c->RichEdit1->GetSelStart(), 26);
  QTest::mouseClick(c->ReplaceDialog1->ReplaceAllButton(), Qt::LeftButton);
  QCOMPARE(c->RichEdit1->GetText(), QString::fromUtf8("ﾆｯﾎﾟﾝ国とﾆｯﾎﾟﾝ国\r\nにっぽんﾆｯﾎﾟﾝ国"));
  QCOMPARE(c->RichEdit1->GetSelText(), QString::fromUtf8("ﾆｯﾎﾟﾝ国"));
  QCOMPARE(c->RichEdit1->GetSelStart() + c->RichEdit1->GetSelLength(), c->RichEdit1->GetTextLen());
  QCOMPARE(script.Messages.last(), QString::fromUtf8("1個の　『 日本 』 を 『 ﾆｯﾎﾟﾝ国 』 に置き換えました。"));
}

void TestCountersFind::emptyFindTextIsNeverFound() {
  Host h;
  Dialogs::Script script;
  TSoraChild* c = h.NewChild("text");
  c->ReplaceDialog1->SetFindText("");
  c->ReplaceDialog1Find();
  c->ReplaceDialog1->SetOptions(c->ReplaceDialog1->GetOptions() & ~TReplaceDialog::frReplace);
  c->ReplaceDialog1Replace();
  QCOMPARE(script.Messages, (QStringList{kNotFound.arg(""), kNotFound.arg("")}));
  QCOMPARE(c->RichEdit1->GetText(), QString("text"));
}

void TestCountersFind::dialogIsOnePerWindowAndDisabledOptions() {
  Host h;
  TSoraChild* c = h.NewChild("text");
  c->ViewCounterExecute();  // a bar above the text moves it down
  c->EditReplaceExecute();
  TReplaceDialog* d = c->ReplaceDialog1;
  QVERIFY(d->isVisible());
  QVERIFY(!d->isModal());
  QCOMPARE(d->GetOptions() & TReplaceDialog::frDown, int(TReplaceDialog::frDown));
  for (QCheckBox* box : d->findChildren<QCheckBox*>()) {
    QVERIFY(!box->isEnabled());
    QVERIFY(!box->isChecked());
  }
  for (QRadioButton* r : d->findChildren<QRadioButton*>()) QVERIFY(!r->isEnabled());
  const QPoint expected = c->RichEdit1->parentWidget()->mapToGlobal(QPoint(c->RichEdit1->x() + 100, c->RichEdit1->y()));
  QCOMPARE(d->pos(), expected);
  d->SetFindText("kept");
  d->close();
  c->EditReplaceExecute();
  QCOMPARE(c->findChildren<TReplaceDialog*>().size(), 1);
  QCOMPARE(d->GetFindText(), QString("kept"));
}

QTEST_MAIN(TestCountersFind)
#include "test_counters_find.moc"
