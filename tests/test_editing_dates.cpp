// Date insertion through the frame, the editing commands and the pop-up menu.
#include <QtTest>
#include <QtWidgets>

#include "FrameHost.h"
#include "document/CounterCell.h"
#include "document/TSoraChild.h"
#include "platform/RichEdit.h"
#include "platform/TextFormat.h"
#include "tests/ChildParts.h"

namespace {

int CharsetAt(TRichEdit* e, int docPos) {
  QTextCursor c(e->document());
  c.setPosition(docPos + 1);
  return c.charFormat().intProperty(textfmt::CharsetProperty);
}

QString Entries(QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text().section('\t', 0, 0));
  return out.join(u'|');
}

QClipboard* Clipboard() { return QGuiApplication::clipboard(); }

}  // namespace

class TestEditingDates : public QObject, FrameHost {
  Q_OBJECT

  // A document with the text, unmodified, and the given selection.
  TSoraChild* NewDocument(const QString& text, int start = 0, int length = 0) {
    TSoraChild* c = frame->OpenDocument(dir.filePath(QStringLiteral("doc%1.txt").arg(frame->Children().size())));
    c->Text()->SetSelText(text);
    c->Text()->SetModified(false);
    c->Text()->SetSelStart(start);
    c->Text()->SetSelLength(length);
    return c;
  }

 private slots:
  void initTestCase() { Start(); }
  void cleanup() { CloseDocuments(); }
  void cleanupTestCase() { Stop(); }

  void dateCommands() {
    TSoraChild* c = NewDocument(QStringLiteral("xxSELyy"), 2, 3);
    c->ViewCounterExecute();
    frame->DateTimePicker1->setDate(QDate(2026, 12, 6));
    frame->EditDateWa->trigger();  // replaces the selection, caret after the date
    QCOMPARE(c->Text()->GetText(), QStringLiteral("xx令和8年12月6日[日曜日]yy"));
    QCOMPARE(QList<int>({c->Text()->GetSelStart(), c->Text()->GetSelLength(), c->Text()->GetModified()}),
             QList<int>({2 + 22, 0, 1}));
    QCOMPARE(Part<TCounterCell>(c, "Memo3")->text(), QStringLiteral("18"));  // counters followed, in characters
    frame->EditDateJwa->trigger();
    frame->EditDateSei->trigger();
    QVERIFY(c->Text()->GetText().contains(QStringLiteral("2026年12月6日[日曜日]2026/12/06(日)yy")));

    // The pop-up entries act on the frame's active window.
    TSoraChild* other = NewDocument(QStringLiteral("1"));
    frame->MdiClient->setActiveSubWindow(c);
    frame->DateTimePicker1->setDate(QDate(2019, 5, 1));
    Part<QAction>(other, "Wareki")->trigger();
    QVERIFY(c->Text()->GetText().endsWith(QStringLiteral("令和1年5月1日[水曜日]yy")));
    Part<QAction>(c, "Seireki1")->trigger();
    QVERIFY(c->Text()->GetText().endsWith(QStringLiteral("2019年5月1日[水曜日]yy")));
    QCOMPARE(other->Text()->GetText(), QStringLiteral("1"));
  }

  // The date takes the Shift-JIS character set, over a selection made either way.
  void dateCarriesShiftJisCharset_data() {
    QTest::addColumn<bool>("leftward");
    QTest::newRow("left to right") << false;
    QTest::newRow("right to left") << true;
  }
  void dateCarriesShiftJisCharset() {
    QFETCH(bool, leftward);
    TSoraChild* c = NewDocument(QStringLiteral("aXYZb"));
    TRichEdit* e = c->Text();
    e->SelectAll();
    e->SelAttributes().SetCharset(0);
    QTextCursor cursor = e->textCursor();
    cursor.setPosition(leftward ? 4 : 1);
    cursor.setPosition(leftward ? 1 : 4, QTextCursor::KeepAnchor);
    e->setTextCursor(cursor);
    frame->EditDateSei->trigger();
    QCOMPARE(QList<int>({CharsetAt(e, 0), CharsetAt(e, 1), CharsetAt(e, 10)}), QList<int>({0, 128, 128}));
  }

  void popupMenuAndActions() {
    TSoraChild* c = NewDocument(QString());
    QMenu* menu = Part<QMenu>(c, "PopupMenu1");
    QCOMPARE(Entries(menu), QStringLiteral("レスキュー|-|切り取り|コピー|貼り付け|-|表示|-|日付の貼付|-|フォントの設定|-|色の設定"));
    QCOMPARE(Entries(Part<QMenu>(c, "Show1")), QStringLiteral("カウンタ|ボタン|ルーラー"));
    QCOMPARE(Entries(menu->actions()[8]->menu()), QStringLiteral("和暦|西暦（１）|西暦（２）"));
    QCOMPARE(Entries(menu->actions()[12]->menu()), QStringLiteral("文字色の設定|背景色の設定"));
    // The View marks follow the bars when the submenu opens.
    c->ViewToolBarExecute();
    emit Part<QMenu>(c, "Show1")->aboutToShow();
    QCOMPARE(QList<bool>({Part<QAction>(c, "ViewCounter")->isChecked(), Part<QAction>(c, "ViewToolBar")->isChecked(),
                          Part<QAction>(c, "ViewRuler")->isChecked()}),
             QList<bool>({false, true, false}));
  }

  void cutAndCopyWithNothingSelected() {
    TSoraChild* c = NewDocument(QStringLiteral("keep"), 2);
    Clipboard()->setText(QStringLiteral("clip"));
    Part<QAction>(c, "EditCut")->trigger();
    Part<QAction>(c, "EditCopy")->trigger();
    QCOMPARE(c->Text()->GetText() + Clipboard()->text(), QStringLiteral("keepclip"));
    QVERIFY(!c->Text()->GetModified());
  }

  void selectAllCutEmptiesAndCountersFollow() {
    TSoraChild* c = NewDocument(QStringLiteral("一行目\r\n二行目"));
    c->ViewCounterExecute();
    c->Memo3Click();  // bytes
    frame->EditSelectAll->trigger();
    QCOMPARE(c->Text()->GetSelLength(), c->Text()->GetTextLen());
    Part<QAction>(c, "EditCut")->trigger();
    QCOMPARE(c->Text()->GetText() + '|' + Part<TCounterCell>(c, "Memo1")->text() + '|' + Part<TCounterCell>(c, "Memo3")->text(),
             QStringLiteral("|1 行|0"));
    QVERIFY(c->Text()->GetModified());
    QCOMPARE(Clipboard()->text(), QStringLiteral("一行目\n二行目"));
  }

  void pasteReplacesSelectionAndUndoRemovesIt() {
    TSoraChild* c = NewDocument(QStringLiteral("abcdef"), 1, 2);
    Clipboard()->setText(QStringLiteral("日本"));
    Part<QAction>(c, "EditPaste")->trigger();
    QCOMPARE(c->Text()->GetText() + '|' + QString::number(c->Text()->GetSelStart()) + '|' + Part<TCounterCell>(c, "Memo3")->text(),
             QStringLiteral("a日本def|5|8"));
    frame->EditUndo1->trigger();
    QCOMPARE(c->Text()->GetText(), QStringLiteral("abcdef"));
    Part<QAction>(c, "Paste1")->trigger();  // the pop-up entry runs the same command
    QVERIFY(c->Text()->GetText().contains(QStringLiteral("日本")));
    Part<QAction>(c, "EditUndo")->trigger();
    QCOMPARE(c->Text()->GetText(), QStringLiteral("abcdef"));
  }

  // Ctrl+X, Ctrl+C and Ctrl+V belong to the text: no second owner makes them ambiguous.
  void shortcutsInTheText() {
    TSoraChild* c = NewDocument(QStringLiteral("hello"), 0, 2);
    frame->activateWindow();
    c->Text()->setFocus();
    QTest::keyClick(c->Text(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(c->Text()->GetText(), QStringLiteral("llo"));
    c->Text()->SetSelStart(3);
    QTest::keyClick(c->Text(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(c->Text()->GetText(), QStringLiteral("llohe"));
    c->Text()->SetSelStart(0);
    c->Text()->SetSelLength(1);
    QTest::keyClick(c->Text(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(Clipboard()->text(), QStringLiteral("l"));
  }
};

QTEST_MAIN(TestEditingDates)
#include "test_editing_dates.moc"
