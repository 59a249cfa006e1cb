// A seeded random sequence of user operations on the real frame and document
// windows: typing (keys and input-method commits), selecting, cut, paste,
// undo, formatting, indent drags, find, Replace All, bars, counter mode, saves
// and closes with scripted answers. After every step the counter bar must
// agree with a recount of the text, and every save must read back to the text.
//   SORAMEMO_SOAK_SEED=n   another sequence (the default is fixed)
//   SORAMEMO_SOAK_OPS=n    another length (default 5000)
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>

#include <algorithm>
#include <map>
#include <memory>

#include "app/Startup.h"
#include "app/TSoraForm.h"
#include "document/CounterCell.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/ReplaceDialog.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"

namespace {

const QString kJapanese = QStringLiteral(
    "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。ソラメモ「全角」！？"
    "ｶﾀｶﾅ①㈱～―－∥￤髙﨑ＡＢＣ１２３");
const QString kAscii = QStringLiteral("abcdefghij KLMNOP 0123456789 .,;:!?-()[]");

int EnvInt(const char* name, int fallback) {
  bool ok = false;
  const int v = qEnvironmentVariableIntValue(name, &ok);
  return ok ? v : fallback;
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Type(QWidget* w, const QString& text) {
  for (QChar c : text) {
    if (c.unicode() < 0x80) QTest::keyClick(w, c.toLatin1());
    else QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

// The text before a document position, as the control's Text has it.
QString TextBefore(const TRichEdit* e, int docPos) {
  QString s = e->document()->toRawText().left(docPos);
  s.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
  s.replace(QChar(QChar::LineSeparator), QStringLiteral("\r\n"));
  return s;
}

}  // namespace

class TestSoak : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  std::unique_ptr<TSoraForm> frame;
  std::unique_ptr<Dialogs::Script> script;
  QRandomGenerator rng;
  std::map<QString, int> done;  // operations run, by name
  QStringList recent;           // the last steps, for a failure report
  int saves = 0;
  int indentsMoved = 0;  // drags that changed an indent
  QHash<TSoraChild*, bool> changed;  // windows whose text has changed since they opened

  int Pick(int n) { return int(rng.bounded(quint32(n))); }
  bool Chance(int percent) { return Pick(100) < percent; }
  QString Piece(const QString& from, int maxLen) {
    const int len = 1 + Pick(maxLen);
    const int at = Pick(int(from.size()));
    return from.mid(at, len);
  }

  TSoraChild* Active() {
    TSoraChild* c = frame->ActiveChild();
    if (!c) {
      frame->FileNew1->trigger();
      c = frame->ActiveChild();
    }
    return c;
  }

  // ---- checks ----

  // Counter cells against a recount: the Shift-JIS bytes of the text and
  // ByteToCharLen over them. The caret cell is checked after the steps that
  // refresh it (a change of text, a key release, a left press).
  void CheckCounters(TSoraChild* c, bool caretFresh) {
    // The cells show their design-time placeholders until the first refresh.
    if (!changed.contains(c)) {
      connect(c->RichEdit1, &TRichEdit::OnChange, this, [this, c] { changed.insert(c, true); });
      connect(c, &QObject::destroyed, this, [this, c] { changed.remove(c); });
      changed.insert(c, false);
    }
    if (!changed[c] && c->Memo3->text() == QStringLiteral("1234567890")) return;
    const QByteArray bytes = sjis::Encode(c->RichEdit1->GetText());
    const int len = c->CountInChars ? ByteToCharLen(bytes, bytes.size()) : int(bytes.size());
    QCOMPARE(c->Memo3->text(), QString::number(len));
    QCOMPARE(c->Memo4->text(), c->CountInChars ? QStringLiteral(" 文字") : QStringLiteral(" バイト"));
    if (!caretFresh) return;
    const QByteArray before = sjis::Encode(TextBefore(c->RichEdit1, c->RichEdit1->textCursor().selectionStart()));
    const int at = c->CountInChars ? ByteToCharLen(before, before.size()) : int(before.size());
    QCOMPARE(c->Memo5->text(), QString::number(at));
  }

  // A saved file read back: plain text is exactly the Shift-JIS of the text;
  // rich text loads to the same text.
  void CheckSaved(TSoraChild* c, const QString& path) {
    QVERIFY2(c->RichEdit1->GetModified() == false, qPrintable(path));
    if (c->RichEdit1->PlainText) {
      QCOMPARE(ReadFile(path), sjis::Encode(c->RichEdit1->GetText()));
    } else {
      TRichEdit back;
      back.LoadFromFile(path);
      QCOMPARE(back.GetText(), c->RichEdit1->GetText());
    }
    ++saves;
  }

  // ---- operations; each returns whether the caret cell is due to be fresh ----

  bool TypeAscii(TSoraChild* c) { Type(c->RichEdit1, Piece(kAscii, 12)); return true; }
  bool TypeJapanese(TSoraChild* c) { Type(c->RichEdit1, Piece(kJapanese, 8)); return true; }

  bool InputMethod(TSoraChild* c) {
    // A composition shown, then committed, as a Japanese input method does.
    const QString text = Piece(kJapanese, 6);
    QInputMethodEvent preedit(text.left(1), {});
    QApplication::sendEvent(c->RichEdit1, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(c->RichEdit1, &commit);
    return false;  // no key is released: the length is fresh, the caret may lag
  }

  bool Keys(TSoraChild* c) {
    static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left,
                                   Qt::Key_Right,  Qt::Key_Up,        Qt::Key_Down,   Qt::Key_Home,
                                   Qt::Key_End,    Qt::Key_PageUp,    Qt::Key_Tab};
    const Qt::Key key = keys[Pick(int(std::size(keys)))];
    Qt::KeyboardModifiers mods;
    if (Chance(30)) mods |= Qt::ShiftModifier;
    if (Chance(15) && key != Qt::Key_Tab) mods |= Qt::ControlModifier;
    const int n = 1 + Pick(4);
    for (int i = 0; i < n; ++i) QTest::keyClick(c->RichEdit1, key, mods);
    return true;
  }

  bool Click(TSoraChild* c) {
    QWidget* vp = c->RichEdit1->viewport();
    const QPoint at(Pick(std::max(1, vp->width())), Pick(std::max(1, vp->height())));
    // A press inside a selection leaves it for a drag; the caret moves on the
    // release, after the counters were refreshed.
    const bool selected = c->RichEdit1->textCursor().hasSelection();
    QTest::mouseClick(vp, Qt::LeftButton, Chance(30) ? Qt::ShiftModifier : Qt::NoModifier, at);
    return !selected;
  }

  bool SelectRange(TSoraChild* c) {
    const int len = c->RichEdit1->GetTextLen();
    c->RichEdit1->SetSelStart(Pick(len + 1));
    c->RichEdit1->SetSelLength(Pick(len + 1));
    return false;  // a selection made by program refreshes nothing
  }

  bool Clipboard(TSoraChild* c) {
    switch (Pick(4)) {
      case 0: frame->EditSelectAll->trigger(); return false;
      case 1: QTest::keyClick(c->RichEdit1, Qt::Key_X, Qt::ControlModifier); return true;
      case 2: QTest::keyClick(c->RichEdit1, Qt::Key_C, Qt::ControlModifier); return true;
      default:
        if (Chance(20)) QGuiApplication::clipboard()->setText(Piece(kJapanese, 10) + "\r\n" + Piece(kAscii, 5));
        QTest::keyClick(c->RichEdit1, Qt::Key_V, Qt::ControlModifier);
        return true;
    }
  }

  bool Undo(TSoraChild* c) {
    if (Chance(50)) frame->EditUndo1->trigger();
    else c->EditUndo->trigger();
    return false;
  }

  bool Format(TSoraChild* c) {
    QAction* actions[] = {c->EditB, c->EditI, c->EditU, c->EditAlignL, c->EditAlignC, c->EditAlignR, c->EditNum};
    QAction* a = actions[Pick(int(std::size(actions)))];
    if (!a) return false;
    a->trigger();
    return false;
  }

  bool IndentDrag(TSoraChild* c) {
    static const char* names[] = {"FirstInd", "LeftInd", "RightInd"};
    auto* marker = c->findChild<QWidget*>(QLatin1String(names[Pick(3)]));
    if (!marker || c->RulerPanel->isHidden()) return false;
    const QPoint grip = marker->rect().center();
    const QPoint to = grip + QPoint(Pick(121) - 60, 0);
    TParaAttributes& para = c->RichEdit1->Paragraph();
    const int before[] = {para.GetFirstIndent(), para.GetLeftIndent(), para.GetRightIndent()};
    QTest::mousePress(marker, Qt::LeftButton, {}, grip);
    QTest::mouseMove(marker, to);
    QTest::mouseRelease(marker, Qt::LeftButton, {}, to);
    const int after[] = {para.GetFirstIndent(), para.GetLeftIndent(), para.GetRightIndent()};
    if (!std::equal(std::begin(before), std::end(before), std::begin(after))) ++indentsMoved;
    return false;
  }

  bool Find(TSoraChild* c) {
    TReplaceDialog* d = c->ReplaceDialog1;
    const QString text = c->RichEdit1->GetText();
    d->SetFindText(text.isEmpty() || Chance(20) ? Piece(kJapanese, 2) : Piece(text, 3).trimmed());
    d->SetReplaceText(Chance(50) ? Piece(kJapanese, 4) : Piece(kAscii, 4));
    if (d->GetFindText().isEmpty()) return false;
    if (Chance(60)) {
      d->FindNextButton()->click();
    } else {
      d->ReplaceAllButton()->click();
    }
    script->Messages.clear();
    return false;
  }

  bool Bars(TSoraChild* c) {
    switch (Pick(4)) {
      case 0: frame->ViewCount->trigger(); return true;  // the counter bar switches mode as well
      case 1: frame->ViewButton->trigger(); return false;
      case 2: frame->ViewRuler->trigger(); return false;
      default:
        if (c->Panel1->isHidden()) return false;
        QTest::mouseClick(Chance(50) ? static_cast<QWidget*>(c->Memo3) : c->Memo4, Qt::LeftButton);
        return true;
    }
  }

  bool Save(TSoraChild* c) {
    SaveStep(c);
    return false;
  }
  void SaveStep(TSoraChild* c) {
    const bool named = !c->FilePath.startsWith(frame->NewNamePrefix);
    QString path;
    if (named && Chance(70)) {
      path = c->FilePath;
      if (c->RichEdit1->PlainText || !path.endsWith(".rtf", Qt::CaseInsensitive))
        if (!sjis::UnencodableChars(c->RichEdit1->GetText(), 1).isEmpty()) script->Answer(true);
      c->FileSave->trigger();
    } else {
      const int type = Chance(50) ? 1 : 2;
      path = dir.filePath(QStringLiteral("doc%1.%2").arg(Pick(5)).arg(type == 1 ? "rtf" : "txt"));
      // One document per file: another window's file is left alone.
      for (TSoraChild* other : frame->Children())
        if (other != c && other->FilePath == path) return;
      script->SaveFile(path, type);
      if (type != 1 && !sjis::UnencodableChars(c->RichEdit1->GetText(), 1).isEmpty()) script->Answer(true);
      QFile::remove(path);  // no question about replacing it
      frame->FileSaveAs1->trigger();
    }
    QVERIFY2(script->Errors.isEmpty(), qPrintable(script->Errors.join('\n')));
    CheckSaved(c, path);
  }

  bool CloseOrOpen(TSoraChild* c) {
    bool fresh = false;
    CloseOrOpenStep(c, fresh);
    return fresh;
  }
  void CloseOrOpenStep(TSoraChild* c, bool& fresh) {
    const QList<TSoraChild*> children = frame->Children();
    if (children.size() > 1 && Chance(50)) {
      // Close with an answer: No keeps a modified document open.
      const bool modified = c->RichEdit1->GetModified();
      const bool yes = Chance(50);
      if (modified) script->Answer(yes);
      c->close();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QCOMPARE(frame->Children().contains(c), modified && !yes);
      return;
    }
    if (children.size() >= 3) {
      frame->MdiClient->setActiveSubWindow(children[Pick(int(children.size()))]);
      return;
    }
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    if (files.isEmpty() || Chance(30)) {
      frame->FileNew1->trigger();
      fresh = true;
      return;
    }
    const QString path = dir.filePath(files[Pick(int(files.size()))]);
    for (TSoraChild* other : children)
      if (other->FilePath == path) return;
    script->OpenFile(path);
    frame->FileOpen1->trigger();
    TSoraChild* opened = frame->ActiveChild();
    QVERIFY(opened && opened->FilePath == path);
    QVERIFY(!opened->RichEdit1->GetModified());
    fresh = true;
  }

  bool Date(TSoraChild*) {
    QAction* a[] = {frame->EditDateWa, frame->EditDateJwa, frame->EditDateSei};
    a[Pick(3)]->trigger();
    return true;
  }

  // Keeps the documents small enough for thousands of steps.
  bool Trim(TSoraChild* c) {
    c->RichEdit1->SelectAll();
    QTest::keyClick(c->RichEdit1, Qt::Key_Delete);
    return true;
  }

 private slots:
  void initTestCase() {
    InitApplication();
    QVERIFY(dir.isValid());
  }

  void soak() {
    const int seed = EnvInt("SORAMEMO_SOAK_SEED", 20261206);
    const int steps = EnvInt("SORAMEMO_SOAK_OPS", 5000);
    rng.seed(quint32(seed));
    script = std::make_unique<Dialogs::Script>();
    frame = std::make_unique<TSoraForm>();
    frame->Params.clear();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));

    {
      QFile f(dir.filePath("start.txt"));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(sjis::Encode(QStringLiteral("最初の行\r\nsecond line\r\n三行目")));
    }
    frame->OpenDocument(dir.filePath("start.txt"));
    frame->FileNew1->trigger();

    using Op = bool (TestSoak::*)(TSoraChild*);
    const std::pair<const char*, Op> ops[] = {
        {"type ASCII", &TestSoak::TypeAscii},   {"type Japanese", &TestSoak::TypeJapanese},
        {"input method", &TestSoak::InputMethod}, {"keys", &TestSoak::Keys},
        {"click", &TestSoak::Click},            {"select", &TestSoak::SelectRange},
        {"clipboard", &TestSoak::Clipboard},    {"undo", &TestSoak::Undo},
        {"format", &TestSoak::Format},          {"indent drag", &TestSoak::IndentDrag},
        {"find or replace", &TestSoak::Find},   {"bars", &TestSoak::Bars},
        {"save", &TestSoak::Save},              {"close or open", &TestSoak::CloseOrOpen},
        {"date", &TestSoak::Date},
    };
    const int weights[] = {14, 12, 8, 14, 6, 5, 10, 6, 6, 4, 4, 4, 2, 3, 2};
    static_assert(std::size(weights) == std::size(ops));
    int total = 0;
    for (int w : weights) total += w;

    for (int step = 0; step < steps; ++step) {
      TSoraChild* c = Active();
      QVERIFY(c);
      int r = Pick(total), k = 0;
      while (r >= weights[k]) r -= weights[k++];
      const char* name = ops[k].first;
      if (c->RichEdit1->GetTextLen() > 4000) name = "trim";
      recent << QStringLiteral("%1 %2 in %3").arg(step).arg(QLatin1String(name), c->windowTitle());
      if (recent.size() > 15) recent.removeFirst();
      const bool caretFresh = name == QLatin1String("trim") ? Trim(c) : (this->*ops[k].second)(c);
      if (QTest::currentTestFailed()) break;
      ++done[QString::fromLatin1(name)];
      QVERIFY2(script->Errors.isEmpty(), qPrintable(script->Errors.join('\n')));
      QVERIFY2(script->Unexpected.isEmpty(), qPrintable(script->Unexpected.join('\n')));
      QVERIFY(script->SaveAnswers.empty() && script->OpenAnswers.empty());
      script->Questions.clear();
      script->YesNoAnswers.clear();  // a question that did not come
      // Every open window; the caret cell of the one active after the step.
      for (TSoraChild* w : frame->Children()) {
        CheckCounters(w, w == frame->ActiveChild() && caretFresh);
        if (QTest::currentTestFailed()) break;
      }
      if (QTest::currentTestFailed()) break;
    }
    if (QTest::currentTestFailed())
      qWarning("seed %d; last steps:\n%s", seed, qPrintable(recent.join('\n')));
    QString summary;
    for (const auto& [op, n] : done) summary += QStringLiteral("%1 %2, ").arg(op).arg(n);
    qInfo("%d steps (seed %d): %s%d files saved and read back, %d indents dragged", steps, seed,
          qPrintable(summary), saves, indentsMoved);
    // Everything closes at the end, each modified document confirmed.
    for (TSoraChild* w : frame->Children())
      if (w->RichEdit1->GetModified()) script->Answer(true);
    frame->close();
    QVERIFY(script->Unexpected.isEmpty());
    frame.reset();
    script.reset();
  }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
