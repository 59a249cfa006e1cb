// Date insertion through the frame, the editing commands and the pop-up menu.
#include <QtWidgets>

#include "FrameHost.h"
#include "document/CounterCell.h"
#include "platform/TextFormat.h"
#include "tests/ChildParts.h"

namespace {

int CharsetAt(TRichEdit* e, int docPos) {
  QTextCursor c(e->document());
  c.setPosition(docPos + 1);
  return c.charFormat().intProperty(textfmt::CharsetProperty);
}

// The entries of a menu, + before a checked one, a submenu's in brackets after its own.
QString Entries(QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions())
    out << (a->isChecked() ? "+" : "") + (a->isSeparator() ? QStringLiteral("-") : a->text().section('\t', 0, 0))
               + (a->menu() ? '(' + Entries(a->menu()) + ')' : QString());
  return out.join(u'|');
}

QClipboard* Clipboard() { return QGuiApplication::clipboard(); }

// The text, the caret, the line and count cells, and * when modified.
QString State(TSoraChild* c) {
  return QStringLiteral("%1|%2|%3|%4").arg(c->Text()->GetText()).arg(c->Text()->GetSelStart())
             .arg(Part<TCounterCell>(c, "Memo1")->text(), Part<TCounterCell>(c, "Memo3")->text())
         + (c->Text()->GetModified() ? "*" : "");
}

}  // namespace

class TestEditingDates : public QObject, FrameHost {
  Q_OBJECT

  // A document with the text, unmodified, and the given selection (negative: leftward).
  TSoraChild* NewDocument(const QString& text, int start = 0, int length = 0) {
    TSoraChild* c = frame->OpenDocument(dir.filePath(QStringLiteral("doc%1.txt").arg(frame->Children().size())));
    c->Text()->SetSelText(text);
    c->Text()->SelectAll();
    c->Text()->SelAttributes().SetCharset(0);
    c->Text()->SetModified(false);
    c->Text()->SetSelStart(start);
    c->Text()->SetSelLength(length);
    return c;
  }

 private slots:
  void initTestCase() { Start(); }
  void cleanup() { CloseDocuments(); }
  void cleanupTestCase() { Stop(); }

  void dateCommands_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::newRow("selected left to right") << 2 << 3;
    QTest::newRow("selected right to left") << 5 << -3;
  }
  // Each command's notation; the notations themselves are the Japanese test's.
  void dateCommands() {
    QFETCH(int, start);
    QFETCH(int, length);
    TSoraChild* c = NewDocument(QStringLiteral("xxSELyy"), start, length);
    c->ViewCounterExecute();
    frame->DateTimePicker1->setDate(QDate(2026, 12, 6));
    frame->EditDateWa->trigger();  // replaces the selection, caret after the date
    QCOMPARE(State(c), QStringLiteral("xx令和8年12月6日[日曜日]yy|24|1 行|18*"));  // the counters in characters
    // The date alone takes the Shift-JIS character set.
    QCOMPARE(QList<int>({CharsetAt(c->Text(), 1), CharsetAt(c->Text(), 2), CharsetAt(c->Text(), 15),
                         CharsetAt(c->Text(), 16)}), QList<int>({0, 128, 128, 0}));
    frame->EditDateJwa->trigger();
    frame->EditDateSei->trigger();
    QVERIFY(c->Text()->GetText().contains(QStringLiteral("2026年12月6日[日曜日]2026/12/06(日)yy")));

    // The pop-up entries act on the frame's active window.
    TSoraChild* other = NewDocument(QStringLiteral("1"));
    frame->MdiClient->setActiveSubWindow(c);
    Part<QAction>(other, "Seireki1")->trigger();
    QVERIFY(c->Text()->GetText().endsWith(QStringLiteral("(日)2026年12月6日[日曜日]yy")));
  }

  // The pop-up menu; Cut and Copy with nothing selected do nothing; Select All and
  // Cut empty the text; Paste replaces the selection and one undo takes it back;
  // the counters follow; Ctrl+X, Ctrl+C and Ctrl+V belong to the text alone.
  void editingCommands() {
    TSoraChild* c = NewDocument(QStringLiteral("一行目\r\n二行目"), 2);
    c->ViewToolBarExecute();
    emit Part<QMenu>(c, "Show1")->aboutToShow();  // the View marks follow the bars when it opens
    QCOMPARE(Entries(Part<QMenu>(c, "PopupMenu1")),
             QStringLiteral("レスキュー|-|切り取り|コピー|貼り付け|-|表示(カウンタ|+ボタン|ルーラー)|-|"
                            "日付の貼付(和暦|西暦（１）|西暦（２）)|-|フォントの設定|-|色の設定(文字色の設定|背景色の設定)"));

    Clipboard()->setText(QStringLiteral("clip"));
    Part<QAction>(c, "EditCut")->trigger();
    Part<QAction>(c, "EditCopy")->trigger();
    QCOMPARE(State(c) + Clipboard()->text(), QStringLiteral("一行目\r\n二行目|2|1 行|14clip"));
    frame->EditSelectAll->trigger();
    Part<QAction>(c, "EditCut")->trigger();
    QCOMPARE(State(c) + Clipboard()->text(), QStringLiteral("|0|1 行|0*一行目\n二行目"));

    c->Text()->SetSelText(QStringLiteral("abcdef"));
    c->Text()->SetSelStart(1);
    c->Text()->SetSelLength(2);
    Clipboard()->setText(QStringLiteral("日本"));
    Part<QAction>(c, "EditPaste")->trigger();
    QCOMPARE(State(c), QStringLiteral("a日本def|5|1 行|8*"));
    frame->EditUndo1->trigger();
    QCOMPARE(c->Text()->GetText(), QStringLiteral("abcdef"));
    Part<QAction>(c, "Paste1")->trigger();  // the pop-up entry runs the same command
    QCOMPARE(c->Text()->GetText(), QStringLiteral("abc日本def"));  // at the caret undo left

    frame->activateWindow();
    c->Text()->setFocus();
    QTest::keyClick(c->Text(), Qt::Key_V, Qt::ControlModifier);
    c->Text()->SetSelStart(0);
    c->Text()->SetSelLength(1);
    QTest::keyClick(c->Text(), Qt::Key_X, Qt::ControlModifier);
    c->Text()->SetSelLength(2);
    QTest::keyClick(c->Text(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(c->Text()->GetText() + '|' + Clipboard()->text(), QStringLiteral("bc日本日本def|bc"));
  }
};

QTEST_MAIN(TestEditingDates)
#include "test_editing_dates.moc"
