#include <QtTest>

#include <QClipboard>
#include <QDateEdit>
#include <QMdiArea>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextCursor>

#include "app/Startup.h"
#include "app/TSoraForm.h"
#include "document/CounterCell.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/RichEdit.h"
#include "platform/TextFormat.h"

namespace {

int CharsetAt(TRichEdit* e, int docPos) {
  QTextCursor c(e->document());
  c.setPosition(docPos + 1);
  return c.charFormat().intProperty(textfmt::CharsetProperty);
}

QStringList EntryTexts(QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text().section('\t', 0, 0));
  return out;
}

}  // namespace

class TestEditingDates : public QObject {
  Q_OBJECT
  QTemporaryDir dir;
  std::unique_ptr<TSoraForm> frame;

  TSoraChild* NewDocument(const QString& text) {
    TSoraChild* c = frame->OpenDocument(dir.filePath(QStringLiteral("doc%1.txt").arg(frame->Children().size())));
    c->RichEdit1->SetSelText(text);
    c->RichEdit1->SetModified(false);
    return c;
  }

 private slots:
  void initTestCase() {
    InitApplication();
    frame = std::make_unique<TSoraForm>();
    frame->Params.clear();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
  }
  void cleanup() {
    for (TSoraChild* c : frame->Children()) {
      c->RichEdit1->SetModified(false);
      c->close();
    }
    QCoreApplication::processEvents();
  }

  void dateCommandsInsertPickedDay() {
    TSoraChild* c = NewDocument(QStringLiteral("xxSELyy"));
    c->ViewCounterExecute();
    frame->DateTimePicker1->setDate(QDate(2026, 12, 6));
    c->RichEdit1->SetSelStart(2);
    c->RichEdit1->SetSelLength(3);
    frame->EditDateWa->trigger();
    QCOMPARE(c->RichEdit1->GetText(), QString::fromUtf8("xx令和8年12月6日[日曜日]yy"));
    QCOMPARE(c->RichEdit1->GetSelStart(), 2 + 22);  // caret right after the date
    QCOMPARE(c->RichEdit1->GetSelLength(), 0);
    QVERIFY(c->RichEdit1->GetModified());
    QCOMPARE(c->Memo3->text(), QString::number(c->RichEdit1->GetCharCount()));  // counters followed
    frame->DateTimePicker1->setDate(QDate(2019, 5, 1));
    frame->EditDateJwa->trigger();
    frame->EditDateSei->trigger();
    QVERIFY(c->RichEdit1->GetText().contains(QString::fromUtf8("2019年5月1日[水曜日]2019/05/01(水)yy")));
  }

  void insertedDateCarriesShiftJisCharsetThroughRtf() {
    TSoraChild* c = NewDocument(QStringLiteral("abc"));
    c->RichEdit1->SelAttributes().SetCharset(0);
    c->RichEdit1->SetSelStart(1);
    frame->DateTimePicker1->setDate(QDate(2020, 2, 3));
    frame->EditDateSei->trigger();
    QCOMPARE(CharsetAt(c->RichEdit1, 1), 128);
    QVERIFY(CharsetAt(c->RichEdit1, 0) != 128);
    const QString path = dir.filePath("date.rtf");
    c->RichEdit1->PlainText = false;
    c->RichEdit1->SaveToFile(path);
    TRichEdit back;
    back.LoadFromFile(path);
    QCOMPARE(back.GetText(), c->RichEdit1->GetText());
    QCOMPARE(CharsetAt(&back, 1), 128);
    QCOMPARE(CharsetAt(&back, 5), 128);
  }

  void popupMenuEntriesInOrder() {
    TSoraChild* c = NewDocument(QString());
    QCOMPARE(EntryTexts(c->PopupMenu1),
             (QStringList{"レスキュー", "-", "切り取り", "コピー", "貼り付け", "-", "表示", "-",
                          "日付の貼付", "-", "フォントの設定", "-", "色の設定"}));
    QCOMPARE(EntryTexts(c->Show1), (QStringList{"カウタ", c->ViewToolBar->text(), c->ViewRuler->text()}));
    QMenu* dates = c->PopupMenu1->actions()[8]->menu();
    QCOMPARE(EntryTexts(dates), (QStringList{"和暦", "西暦（１）", "西暦（２）"}));
    QMenu* colours = c->PopupMenu1->actions()[12]->menu();
    QCOMPARE(colours->actions(), (QList<QAction*>{c->EditCharColor, c->EditBackColor}));
    QVERIFY(c->PopupMenu2->actions().isEmpty());
    // The View marks follow the bars when the submenu opens.
    c->ViewToolBarExecute();
    emit c->Show1->aboutToShow();
    QVERIFY(!c->ViewCounter->isChecked());
    QVERIFY(c->ViewToolBar->isChecked());
    QVERIFY(!c->ViewRuler->isChecked());
  }

  void popupDateEntryActsOnActiveWindow() {
    TSoraChild* first = NewDocument(QStringLiteral("1"));
    TSoraChild* second = NewDocument(QStringLiteral("2"));
    frame->MdiClient->setActiveSubWindow(second);
    frame->DateTimePicker1->setDate(QDate(1989, 1, 7));
    first->Wareki->trigger();  // the frame's active window takes it
    QCOMPARE(first->RichEdit1->GetText(), QStringLiteral("1"));
    QCOMPARE(second->RichEdit1->GetText(), QString::fromUtf8("2昭和64年1月7日[土曜日]"));
    second->Seireki1->trigger();
    QVERIFY(second->RichEdit1->GetText().endsWith(QString::fromUtf8("1989年1月7日[土曜日]")));
  }

  void cutAndCopyWithNothingSelected() {
    TSoraChild* c = NewDocument(QStringLiteral("keep"));
    QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
    c->RichEdit1->SetSelStart(2);
    c->EditCut->trigger();
    c->EditCopy->trigger();
    QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("keep"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("clip"));
    QVERIFY(!c->RichEdit1->GetModified());
  }

  void selectAllCutEmptiesAndCountersFollow() {
    TSoraChild* c = NewDocument(QString::fromUtf8("一行目\r\n二行目"));
    c->ViewCounterExecute();
    c->Memo3Click();  // bytes
    frame->EditSelectAll->trigger();  // the frame forwards to the window
    QCOMPARE(c->RichEdit1->GetSelLength(), c->RichEdit1->GetTextLen());
    c->EditCut->trigger();
    QCOMPARE(c->RichEdit1->GetTextLen(), 0);
    QCOMPARE(c->Memo3->text(), QStringLiteral("0"));
    QCOMPARE(c->Memo1->text(), QString::fromUtf8("1 行"));
    QVERIFY(c->RichEdit1->GetModified());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("一行目\n二行目"));
  }

  void pasteReplacesSelectionAndUndoRemovesIt() {
    TSoraChild* c = NewDocument(QStringLiteral("abcdef"));
    QGuiApplication::clipboard()->setText(QString::fromUtf8("日本"));
    c->RichEdit1->SetSelStart(1);
    c->RichEdit1->SetSelLength(2);
    c->EditPaste->trigger();
    QCOMPARE(c->RichEdit1->GetText(), QString::fromUtf8("a日本def"));
    QCOMPARE(c->RichEdit1->GetSelStart(), 5);
    QCOMPARE(c->Memo3->text(), QStringLiteral("8"));
    frame->EditUndo1->trigger();  // the frame's レスキュー
    QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("abcdef"));
    c->Paste1->trigger();  // the pop-up entry runs the same command
    QVERIFY(c->RichEdit1->GetText().contains(QString::fromUtf8("日本")));
    c->EditUndo->trigger();
    QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("abcdef"));
  }

  void editingActionCaptionsAndHints() {
    TSoraChild* c = NewDocument(QString());
    QCOMPARE(c->EditUndo->text(), QString::fromUtf8("レスキュー"));
    QCOMPARE(c->EditUndo->statusTip(), QString::fromUtf8("１回前の操作の状態に戻します。"));
    QCOMPARE(c->EditPaste->toolTip(), QString::fromUtf8("貼付"));
    QCOMPARE(c->EditCut->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    QCOMPARE(c->EditSelectAll->statusTip(), QString::fromUtf8("全ての文字列を選択状態にします。"));
  }

  void shortcutsInTheText() {
    TSoraChild* c = NewDocument(QStringLiteral("hello"));
    frame->activateWindow();
    c->RichEdit1->setFocus();
    QGuiApplication::clipboard()->clear();
    c->RichEdit1->SetSelStart(0);
    c->RichEdit1->SetSelLength(2);
    QTest::keyClick(c->RichEdit1, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("llo"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("he"));
    c->RichEdit1->SetSelStart(3);
    QTest::keyClick(c->RichEdit1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(c->RichEdit1->GetText(), QStringLiteral("llohe"));
    c->RichEdit1->SetSelStart(0);
    c->RichEdit1->SetSelLength(1);
    QTest::keyClick(c->RichEdit1, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("l"));
  }
};

QTEST_MAIN(TestEditingDates)
#include "test_editing_dates.moc"
