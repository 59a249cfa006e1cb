// The main frame with its splash and About box: start-up, menus and toolbar,
// New, Open, command line, drop, forwarding, window commands, closing, help.
#include <QtTest>
#include <QtWidgets>

#include "app/HelpWindow.h"
#include "app/Startup.h"
#include "app/TAboutBox.h"
#include "app/TOpeningForm.h"
#include "app/TSoraForm.h"
#include "components/Cgauges/Cgauges.h"
#include "document/CounterCell.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/RichEdit.h"
#include "tests/ChildParts.h"

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// The View marks of the frame: C, B and R for counter, buttons and ruler, "-" unchecked.
QString Marks(const TSoraForm& frame) {
  return QString(frame.ViewCount->isChecked() ? u'C' : u'-') + (frame.ViewButton->isChecked() ? u'B' : u'-') +
         (frame.ViewRuler->isChecked() ? u'R' : u'-');
}

// "+" for each enabled action, "-" for each disabled one.
QString Enabled(const QList<QAction*>& actions) {
  QString s;
  for (QAction* a : actions) s += a->isEnabled() ? u'+' : u'-';
  return s;
}

// The documents: caption=text, "*" if modified, ">" before the active one.
QString Docs(const TSoraForm& frame) {
  QStringList list;
  for (TSoraChild* c : frame.Children())
    list << QString(c == frame.ActiveChild() ? ">" : "") + c->windowTitle() + '=' + c->Text()->GetText() +
                (c->Text()->GetModified() ? "*" : "");
  return list.join(u'|');
}

// A menu or menu bar as the user reads it: captions, "-" for separators,
// "<title: entries>" for a submenu, one line for each of the bar's menus.
QString Entries(const QWidget* menu) {
  QStringList list;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) list << QStringLiteral("-");
    else if (a->menu()) list << '<' + a->text() + ": " + Entries(a->menu()) + '>';
    else list << QString(a->isChecked() ? "*" : "") + a->text().section(u'\t', 0, 0);
  }
  return list.join(qobject_cast<const QMenuBar*>(menu) ? u'\n' : u'|');
}

void Drop(QWidget* target, const QStringList& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
  data.setUrls(urls);
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
}

}  // namespace

class TestFrame : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  std::unique_ptr<Dialogs::Script> script;
  std::unique_ptr<TSoraForm> frame;
  QString Path(const QString& name) const { return dir.filePath(name); }

  // A frame as start-up makes it, without command-line documents.
  void NewFrame(bool show = true) {
    frame = std::make_unique<TSoraForm>();
    frame->Params.clear();
    if (!show) return;
    frame->show();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
  }

 private slots:
  void initTestCase() {
    InitApplication();
    QVERIFY(dir.isValid());
    WriteFile(Path("a.txt"), "first");
    WriteFile(Path("b.txt"), "second");
    WriteFile(Path("c.rtf"), "{\\rtf1\\ansi third\\par}");
  }
  // Every test runs on a shown frame, with every dialog answered by script->
  void init() {
    script = std::make_unique<Dialogs::Script>();
    NewFrame();
  }
  void cleanup() {
    frame.reset();
    const QStringList unexpected = std::exchange(script, nullptr)->Unexpected;
    QCOMPARE(unexpected, QStringList());
  }

  void startUpState() {
    QCOMPARE(frame->windowTitle(), QStringLiteral("ソラメモ\u3000Ver 1.6\u3000\u3000カゼノ舎"));
    // Shown with decorations, the frame keeps the outer size, centred.
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QCOMPARE(frame->frameGeometry(),
             QRect(QPoint((screen.width() - 680) / 2, (screen.height() - 510) / 2), QSize(680, 510)));
    // The integer formula truncates toward zero on screens smaller than the frame.
    QCOMPARE(TSoraForm::CentredOrigin(QSize(601, 501), QSize(680, 510)), QPoint(-39, -4));

    const QDate today = QDate::currentDate();
    QCOMPARE(frame->DateTimePicker1->text(), QString::asprintf("%04d年%02d月%02d日[", today.year(), today.month(),
                                                               today.day()) +
                                                 QStringLiteral("月火水木金土日")[today.dayOfWeek() - 1] + u']');

    // The splash was released by the set-up loop and goes with the queued events.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<TOpeningForm*>(w));

    // Qt's own texts speak Japanese under a C locale too.
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text() + box.button(QMessageBox::No)->text(), "はい(&Y)いいえ(&N)");
  }

  void menusAndToolbar() {
    const QList<QAction*> top = frame->menuBar()->actions();
    QCOMPARE(Entries(frame->menuBar()),
             QStringLiteral("<ファイル(&F): 新規作成(&N)|開く(&O)...|閉じる(&C)|上書き保存(&S)|名前をつけて保存(&A)...|-|"
                            "印刷(&P)|-|終了(&X)>\n"
                            "<編集(&E): レスキュー|-|切り取り(&T)|コピー(&C)...|貼り付け(&P)|-|検索と置換(&R)|-|全てを選択|-|"
                            "フォントの設定|-|<日付の貼付: 和暦|西暦（１）|西暦（２）>>\n"
                            "<ウィンドウ(&W): 重ねて表示(&C)|上下に並べて表示(&H)|横に並べて表示(&V)|すべてを最小化(&M)|"
                            "アイコンの整列(&A)>\n"
                            "<表示(&V): カウンタ表示|ツールバー表示|ルーラー表示|-|縦書きプレビュー(&T)...|文字数カウント(&K)...>\n"
                            "<ヘルプ(&H): 使い方ヘルプ|-|バージョン情報(&A)...>"));
    QCOMPARE(top[2]->menu(), frame->Window1);

    // An entry's hint reaches the status line; the key shows beside the entry.
    const QList<QAction*> file = top[0]->menu()->actions();
    QCOMPARE(file[3]->text().section(u'\t', 1), QKeySequence(QStringLiteral("Ctrl+S")).toString(QKeySequence::NativeText));
    file[3]->showStatusText(frame.get());
    QCOMPARE(frame->StatusBar->currentMessage(), QStringLiteral("現在のファイルを保存します。"));

    // An entry of its own runs the real action and follows its enabling.
    TSoraChild* child = frame->OpenDocument(Path("entry.txt"));
    child->Text()->setPlainText(QStringLiteral("x"));
    file[3]->trigger();
    QVERIFY(QFile::exists(Path("entry.txt")));
    frame->FileSave1->setEnabled(false);
    QVERIFY(!file[3]->isEnabled());

    // The toolbar in its groups, no button without a picture.
    QStringList order;
    for (QAction* a : frame->ToolBar2->actions()) {
      QWidget* w = frame->ToolBar2->widgetForAction(a);
      order << (a->isSeparator() ? QStringLiteral("-")
                : w && !qobject_cast<QToolButton*>(w) ? w->objectName()
                                                      : a->objectName() + (a->icon().isNull() ? "(no icon)" : ""));
    }
    QCOMPARE(order.join(u' '), QStringLiteral("FileNew1 FileOpen1 FileSave1 - FilePrint - EditUndo1 - EditCut1 EditCopy1 "
                                              "EditPaste1 - EditReplace1 - EditSelectAll - WindowCascade1 "
                                              "WindowTileHorizontal1 WindowTileVertical1 - ActHelp - DateTimePicker1"));
  }

  void newAndOpen() {
    for (int i = 0; i < 3; ++i) frame->FileNew1->trigger();
    QCOMPARE(Docs(*frame), QStringLiteral("新規作成 1=|新規作成 2=|>新規作成 3="));
    // The number counts the windows open: after closing one, it repeats.
    QVERIFY(frame->Children().first()->close());
    frame->FileNew1->trigger();
    QCOMPARE(Docs(*frame), QStringLiteral("新規作成 2=|新規作成 3=|>新規作成 3="));
    qDeleteAll(frame->Children());

    script->CancelOpen();
    frame->FileOpen1->trigger();  // opens nothing
    // A typed name that does not exist opens an empty document under that name.
    script->OpenFile(Path("c.rtf")).OpenFile(Path("nothing-here.txt"));
    for (int i = 0; i < 2; ++i) frame->FileOpen1->trigger();
    QCOMPARE(Docs(*frame), QStringLiteral("c.rtf=third|>nothing-here.txt="));
    QCOMPARE(frame->ActiveChild()->Path(), Path("nothing-here.txt"));
  }

  void commandLine() {
    const QString old = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QVERIFY(QDir(dir.path()).mkpath("sub"));
    WriteFile(Path("sub/rel.txt"), "relative");
    NewFrame(false);
    // Relative paths stay relative; a missing one or a folder opens empty; one
    // that cannot be read is reported and the rest still open.
    frame->Params = {"sub/rel.txt", "/proc/self/mem", "absent file.txt", "sub", Path("b.txt")};
    frame->show();
    QDir::setCurrent(old);
    // The unreadable one leaves no window that a save would write over it.
    QCOMPARE(Docs(*frame), QStringLiteral("rel.txt=relative|absent file.txt=|sub=|>b.txt=second"));
    QCOMPARE(frame->Children()[0]->Path(), QStringLiteral("sub/rel.txt"));
    QCOMPARE(script->Errors.size(), 1);
    QVERIFY(script->Errors[0].contains(QStringLiteral("/proc/self/mem")));
    frame->hide();
    frame->show();  // shown again, nothing more opens
    QCOMPARE(frame->Children().size(), 4);
  }

  void droppedFiles() {
    // A path far longer than the old 259-byte buffer arrives whole.
    QString deep = dir.path();
    for (int i = 0; i < 12; ++i) deep += QStringLiteral("/長いフォルダの名前その%1").arg(i);
    QVERIFY(QDir().mkpath(deep));
    const QString longPath = deep + QStringLiteral("/末尾.txt");
    WriteFile(longPath, "deep");

    Drop(frame.get(), {Path("c.rtf"), longPath, Path("a.txt")});
    QCOMPARE(Docs(*frame), QStringLiteral("c.rtf=third|末尾.txt=deep|>a.txt=first"));
    QCOMPARE(frame->Children()[1]->Path(), longPath);

    // Dropped on a document's text, files still open as documents.
    Drop(frame->Children()[0]->Text()->viewport(), {Path("b.txt")});
    QCOMPARE(Docs(*frame), QStringLiteral("c.rtf=third|末尾.txt=deep|a.txt=first|>b.txt=second"));
  }

  void forwardingToActiveDocument() {
    TSoraChild* first = frame->OpenDocument(Path("fw1.txt"));
    TSoraChild* second = frame->OpenDocument(QStringLiteral("新規作成 2"));
    second->Text()->setPlainText(QStringLiteral("abc"));
    // Save and Print by key are in enabling().
    script->CancelSave();
    frame->FileSaveAs1->trigger();
    QCOMPARE(script->SaveRuns.size(), 1);

    frame->MdiClient->setActiveSubWindow(first);
    first->Text()->setPlainText(QStringLiteral("saved"));
    frame->FileSave1->trigger();
    QVERIFY(QFile::exists(Path("fw1.txt")));
    QCOMPARE(Docs(*frame), QStringLiteral(">fw1.txt=saved|新規作成 2=abc*"));

    // A key released on the frame refreshes the caret counters, a modifier alone
    // included; the picker's keys are its own.
    first->Text()->setPlainText(QStringLiteral("一\n二\n三"));
    QCOMPARE(Part<TCounterCell>(first, "Memo1")->text(), QStringLiteral("3 行"));
    first->Text()->SetSelStart(0);
    frame->setFocus();
    QTest::keyRelease(frame.get(), Qt::Key_Shift);
    QCOMPARE(Part<TCounterCell>(first, "Memo1")->text(), QStringLiteral("1 行"));
    first->Text()->SetSelStart(first->Text()->GetTextLen());
    frame->DateTimePicker1->setFocus();
    QTest::keyRelease(frame->DateTimePicker1, Qt::Key_Shift);
    QCOMPARE(Part<TCounterCell>(first, "Memo1")->text(), QStringLiteral("1 行"));
  }

  void viewMarksHintsAndWindowCommands() {
    TSoraChild* a = frame->OpenDocument(QStringLiteral("A"));
    for (QAction* v : {frame->ViewRuler, frame->ViewButton, frame->ViewButton}) v->trigger();
    QCOMPARE(QList<bool>({Part<QFrame>(a, "RulerPanel")->isHidden(), Part<QToolBar>(a, "ToolBar1")->isHidden()}),
             QList<bool>({false, true}));
    TSoraChild* b = frame->OpenDocument(QStringLiteral("B"));
    QCOMPARE(Marks(*frame), QStringLiteral("---"));
    frame->ViewButton->trigger();
    QCOMPARE(Part<QToolBar>(b, "ToolBar1")->isHidden(), false);

    frame->MdiClient->setActiveSubWindow(a);
    QCOMPARE(Marks(*frame), QStringLiteral("--R"));
    frame->MdiClient->setActiveSubWindow(b);
    QCOMPARE(Marks(*frame), QStringLiteral("-B-"));

    // A pop-up entry's hint reaches the status line (Cut is the menu's own
    // entry for the window's action), a submenu entry's too.
    QStringList hints;
    for (const char* entry : {"Cut1", "ViewToolBar"}) {
      QMenu* menu = Part<QMenu>(b, entry[0] == 'V' ? "Show1" : "PopupMenu1");
      menu->popup(b->mapToGlobal(QPoint(10, 10)));
      QVERIFY(QTest::qWaitForWindowExposed(menu));
      menu->setActiveAction(Part<QAction>(b, entry));
      hints << frame->StatusBar->currentMessage();
      menu->close();
    }
    QCOMPARE(hints, QStringList({"選択部分を切り取りクリップボードにコピーします。", "ツールバーを表示します。"}));

    // The window commands on the two.
    const QRect area = frame->MdiClient->viewport()->rect();
    frame->WindowTileHorizontal1->trigger();
    QCOMPARE(QList<QRect>({a->geometry(), b->geometry()}),
             QList<QRect>({{0, 0, area.width(), area.height() / 2}, {0, area.height() / 2, area.width(), b->height()}}));
    frame->WindowTileVertical1->trigger();
    QCOMPARE(QList<QRect>({a->geometry(), b->geometry()}),
             QList<QRect>({{0, 0, area.width() / 2, area.height()}, {area.width() / 2, 0, b->width(), area.height()}}));
    frame->WindowCascade1->trigger();
    QVERIFY(a->pos() != b->pos());
    frame->WindowMinimizeAll1->trigger();
    QCOMPARE(QList<bool>({a->isMinimized(), b->isMinimized()}), QList<bool>({true, true}));
    a->move(100, 50);
    frame->WindowArrangeAll1->trigger();
    QCOMPARE(QList<int>({a->geometry().bottom(), b->geometry().bottom(), a->x(), b->x()}),
             QList<int>({area.bottom(), area.bottom(), 0, a->width()}));

    // The window list names every document, marks the active one and activates on choice.
    emit frame->Window1->aboutToShow();
    QCOMPARE(Entries(frame->Window1).section(u'|', 5), QStringLiteral("-|&1 A|*&2 B"));
    frame->Window1->actions()[6]->trigger();
    QCOMPARE(frame->ActiveChild(), a);
  }

  void enabling() {
    // Close follows the active window; the window commands, one rule, follow any window.
    const QList<QAction*> needWindow = {frame->FileClose1, frame->WindowCascade1};
    QCOMPARE(Enabled(needWindow), QStringLiteral("--"));
    // Without a document the forwarded commands stay enabled and do nothing, quietly.
    const QList<QAction*> forwarded = {frame->FileSave1,    frame->FileSaveAs1, frame->FilePrint,    frame->EditUndo1,
                                       frame->EditSelectAll, frame->EditReplace1, frame->EditFontD,    frame->EditDateWa,
                                       frame->EditDateJwa,   frame->EditDateSei, frame->ViewCount,    frame->ViewButton,
                                       frame->ViewRuler};
    QCOMPARE(Enabled(forwarded), QStringLiteral("+++++++++++++"));
    for (QAction* a : forwarded) a->trigger();
    QTest::keyRelease(frame.get(), Qt::Key_A);
    QCOMPARE(Marks(*frame), QStringLiteral("---"));
    QCOMPARE(script->Errors + script->Messages, QStringList());
    TSoraChild* child = frame->OpenDocument(QStringLiteral("E"));
    QCOMPARE(Enabled(needWindow), QStringLiteral("++"));

    // Cut and copy follow the focused text's selection, paste the clipboard.
    child->Text()->setFocus();
    QTRY_VERIFY(child->Text()->hasFocus());
    QApplication::clipboard()->clear();
    child->Text()->setPlainText(QStringLiteral("切り取る文字"));
    QCOMPARE(Enabled({frame->EditCut1, frame->EditCopy1}), QStringLiteral("--"));
    QTRY_VERIFY(!frame->EditPaste1->isEnabled());
    child->Text()->SetSelLength(6);
    QCOMPARE(Enabled({frame->EditCut1, frame->EditCopy1}), QStringLiteral("++"));
    frame->EditCut1->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("切り取"));
    QTRY_VERIFY(frame->EditPaste1->isEnabled());
    frame->EditPaste1->trigger();
    QCOMPARE(child->Text()->GetText(), QStringLiteral("切り取る文字"));

    // Keys typed in the text reach the frame's actions.
    script->CancelSave().CancelPrint().CancelOpen();
    QTest::keyClick(child->Text(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(child->Text()->GetSelLength(), child->Text()->GetTextLen());
    QTest::keyClick(child->Text(), Qt::Key_Right);
    QTest::keyClicks(child->Text(), QStringLiteral("abc"));
    QTest::keyClick(child->Text(), Qt::Key_U, Qt::ControlModifier);
    QVERIFY(child->Text()->GetText() != QStringLiteral("切り取る文字abc"));
    for (Qt::Key k : {Qt::Key_S, Qt::Key_P, Qt::Key_O, Qt::Key_N}) QTest::keyClick(child->Text(), k, Qt::ControlModifier);
    QCOMPARE(script->SaveRuns.size(), 1);
    QCOMPARE(script->PrintRuns, 1);
    QVERIFY(script->OpenAnswers.empty());  // Ctrl+O ran the open dialog
    QCOMPARE(frame->Children().size(), 2);

    script->Answer(true);
    for (TSoraChild* c : frame->Children()) QVERIFY(c->close());
    QCOMPARE(Enabled(needWindow), QStringLiteral("--"));
  }

  void closingTheFrame() {
    QSignalSpy closed(frame.get(), &TSoraForm::Closed);
    TSoraChild* a = frame->OpenDocument(QStringLiteral("A"));
    frame->OpenDocument(QStringLiteral("B"));
    TSoraChild* c = frame->OpenDocument(QStringLiteral("C"));
    a->Text()->setPlainText(QStringLiteral("a"));
    c->Text()->setPlainText(QStringLiteral("c"));

    // Each modified document is asked, top one first, until a No; then nothing closes.
    script->Answer(true).Answer(false);
    frame->FileClose1->trigger();
    QCOMPARE(script->Questions, (QStringList{" 『 C 』 は、保存されていません。終了しても宜しいですか？",
                                            " 『 A 』 は、保存されていません。終了しても宜しいですか？"}));
    QCOMPARE(frame->Children().size(), 3);
    QCOMPARE(closed.count(), 0);

    script->Questions.clear();
    script->Answer(true).Answer(true);
    frame->FileExit1->trigger();
    QCOMPARE(script->Questions.size(), 2);
    QCOMPARE(closed.count(), 1);
  }

  void helpAndAbout() {
    frame->ActHelp->trigger();
    auto* help = frame->findChild<THelpWindow*>();
    QVERIFY(help);
    QCOMPARE(help->isVisible(), true);
    QCOMPARE(help->Browser->source().fileName(), QStringLiteral("index.html"));

    // The pages name every menu command and the counter bar.
    QString pages;
    for (QDirIterator it(THelpWindow::HelpFolder(Application().HelpFile)); it.hasNext();) {
      QFile f(it.next());
      pages += f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QStringList missing;
    QList<QAction*> entries = frame->menuBar()->actions();  // grows by each submenu's entries
    for (int i = 0; i < entries.size(); ++i) {
      if (entries[i]->menu()) entries << entries[i]->menu()->actions();
      const QString caption = entries[i]->text().section(u'\t', 0, 0).section("(&", 0, 0).remove("...");
      if (!entries[i]->isSeparator() && !entries[i]->menu() && !pages.contains(caption)) missing << caption;
    }
    QCOMPARE(missing, QStringList());
    QVERIFY(pages.contains(QStringLiteral("カウンターバー")));

    const QString oldHelp = Application().HelpFile;
    Application().HelpFile = QStringLiteral("NOSUCH.HLP");
    frame->ActHelp->trigger();
    Application().HelpFile = oldHelp;
    QCOMPARE(script->Errors.size(), 1);

    script->ExecAnswers.push_back(QDialog::Accepted);
    frame->HelpAbout1->trigger();
    QCOMPARE(script->Executed, QList<QDialog*>{AboutBox});
  }

  void splashAndAboutBox() {
    QPointer<TOpeningForm> splash = new TOpeningForm;
    QCOMPARE(splash->size(), QSize(393, 225));
    QVERIFY(splash->windowFlags().testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
    splash->Label1->ensurePolished();
    QCOMPARE(splash->Label1->font().pixelSize(), 53);
    QCOMPARE(splash->Label1->font().family(), QStringLiteral("ＭＳ Ｐ明朝"));

    // The set-up loop's 370 passes: the bar's last column fills at pass 300.
    QStringList lastColumn;
    for (int pass : {299, 300, 369}) {
      splash->CGauge1->SetProgress(pass);
      lastColumn << (QColor(splash->CGauge1->grab().toImage().pixel(319, 12)) == Qt::blue ? "full" : "short");
    }
    QCOMPARE(lastColumn.join(u' '), QStringLiteral("short full full"));
    delete splash;

    // The About box, shown three times: the same window, centred each time, OK
    // focused; Escape leaves it open, Enter or OK closes it; closing rejects it.
    TAboutBox box;
    QCOMPARE(box.size(), QSize(298, 218));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QCOMPARE(box.ProgramIcon->pixmap().size(), QSize(210, 105));

    for (int round = 0; round < 3; ++round) {
      box.move(3 + round * 40, 5);
      box.open();
      QVERIFY(QTest::qWaitForWindowActive(&box));
      const QRect screen = box.screen()->geometry();
      const QSize outer = box.frameGeometry().size();
      QCOMPARE(box.frameGeometry().topLeft(), QPoint(screen.x() + (screen.width() - outer.width()) / 2,
                                                     screen.y() + (screen.height() - outer.height()) / 2));
      QCOMPARE(box.focusWidget(), box.OKButton);
      QTest::keyClick(box.OKButton, Qt::Key_Escape);
      QVERIFY(box.isVisible());
      if (round == 0) QTest::keyClick(box.OKButton, Qt::Key_Return);
      else if (round == 1) QTest::mouseClick(box.OKButton, Qt::LeftButton);
      else box.close();
      QCOMPARE(box.result(), round < 2 ? int(QDialog::Accepted) : int(QDialog::Rejected));
      QCOMPARE(box.isVisible(), false);
    }
  }
};

QTEST_MAIN(TestFrame)
#include "test_frame.moc"
