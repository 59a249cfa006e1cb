// A seeded random sequence of user operations on the real frame and document
// windows. After every step the counter bar must agree with a recount of the
// text, and every save must read back to the text.
//   SORAMEMO_SOAK_SEED=n, SORAMEMO_SOAK_OPS=n (default 5000) for another run.
#include <QMdiArea>
#include <QRandomGenerator>

#include <algorithm>

#include "FrameHost.h"
#include "document/CounterCell.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "tests/ChildParts.h"

namespace {

// The counters count characters (not bytes), as their unit cell says.
bool InChars(const TSoraChild* c) { return Part<TCounterCell>(c, "Memo4")->text() == QStringLiteral(" 文字"); }

const QString kJapanese = QStringLiteral(
    "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。ソラメモ「全角」！？"
    "ｶﾀｶﾅ①㈱～―－∥￤髙﨑ＡＢＣ１２３");
const QString kAscii = QStringLiteral("abcdefghij KLMNOP 0123456789 .,;:!?-()[]");

int EnvInt(const char* name, int fallback) { return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : fallback; }

// The text before a document position, as the control's Text has it.
QString TextBefore(const TRichEdit* e, int docPos) {
  return e->document()->toRawText().left(docPos).replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"))
      .replace(QChar(QChar::LineSeparator), QStringLiteral("\r\n"));
}

}  // namespace

class TestSoak : public QObject, FrameHost {
  Q_OBJECT

  std::unique_ptr<Dialogs::Script> script;
  QRandomGenerator rng;
  bool fresh = false;    // the step refreshed the caret cells (a change, a key release, a left press)
  int saves = 0;
  QHash<TSoraChild*, bool> changed;  // windows whose text has changed since they opened

  int Pick(int n) { return int(rng.bounded(quint32(n))); }
  bool Chance(int percent) { return Pick(100) < percent; }
  QString Piece(const QString& from, int maxLen) { return from.mid(Pick(int(from.size())), 1 + Pick(maxLen)); }
  bool Unencodable(TSoraChild* c) { return !sjis::UnencodableChars(c->Text()->GetText(), 1).isEmpty(); }

  // The cells against the Shift-JIS bytes of the text and ByteToCharLen over them.
  void CheckCounters(TSoraChild* c, bool caretFresh) {
    if (!changed.contains(c)) {
      connect(c->Text(), &TRichEdit::OnChange, this, [this, c] { changed.insert(c, true); });
      connect(c, &QObject::destroyed, this, [this, c] { changed.remove(c); });
      changed.insert(c, false);
    }
    // The cells show their design-time placeholders until the first refresh.
    if (!changed[c] && Part<TCounterCell>(c, "Memo3")->text() == QStringLiteral("1234567890")) return;
    const auto count = [c](const QString& text) {
      const QByteArray b = sjis::Encode(text);
      return QString::number(InChars(c) ? ByteToCharLen(b, b.size()) : int(b.size()));
    };
    QCOMPARE(Part<TCounterCell>(c, "Memo3")->text(), count(c->Text()->GetText()));
    if (caretFresh) QCOMPARE(Part<TCounterCell>(c, "Memo5")->text(), count(TextBefore(c->Text(), c->Text()->textCursor().selectionStart())));
  }

  // Plain text is exactly the Shift-JIS of the text; rich text loads to the same text.
  void CheckSaved(TSoraChild* c, const QString& path) {
    QVERIFY2(!c->Text()->GetModified(), qPrintable(path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    TRichEdit back;
    if (c->Text()->PlainText) QCOMPARE(f.readAll(), sjis::Encode(c->Text()->GetText()));
    else back.LoadFromFile(path);
    if (!c->Text()->PlainText) QCOMPARE(back.GetText(), c->Text()->GetText());
    ++saves;
  }

  // ---- operations ----

  void TypeText(TSoraChild* c) {
    for (QChar ch : Chance(50) ? Piece(kAscii, 12) : Piece(kJapanese, 8)) {
      if (ch.unicode() < 0x80) QTest::keyClick(c->Text(), ch.toLatin1());
      else QTest::sendKeyEvent(QTest::Click, c->Text(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    fresh = true;
  }

  void Keys(TSoraChild* c) {
    static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                                   Qt::Key_Down, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Tab};
    const Qt::Key key = keys[Pick(int(std::size(keys)))];
    Qt::KeyboardModifiers mods;
    if (Chance(30)) mods |= Qt::ShiftModifier;
    if (Chance(15) && key != Qt::Key_Tab) mods |= Qt::ControlModifier;
    for (int i = 1 + Pick(4); i > 0; --i) QTest::keyClick(c->Text(), key, mods);
    fresh = true;
  }

  void Click(TSoraChild* c) {
    QWidget* vp = c->Text()->viewport();
    // A press inside a selection leaves it for a drag: the caret moves on the
    // release, after the counters were refreshed.
    fresh = !c->Text()->textCursor().hasSelection();
    QTest::mouseClick(vp, Qt::LeftButton, Chance(30) ? Qt::ShiftModifier : Qt::NoModifier,
                      QPoint(Pick(std::max(1, vp->width())), Pick(std::max(1, vp->height()))));
  }

  void Select(TSoraChild* c) {  // by program: refreshes nothing
    const int len = c->Text()->GetTextLen();
    c->Text()->SetSelStart(Pick(len + 1)); c->Text()->SetSelLength(Pick(len + 1));
  }

  void Bars(TSoraChild* c) {
    switch (Pick(4)) {
      case 0: frame->ViewCount->trigger(); fresh = true; return;  // switches the mode as well
      case 1: return frame->ViewButton->trigger();
      case 2: return frame->ViewRuler->trigger();
      default:
        if (Part<QFrame>(c, "Panel1")->isHidden()) return;
        QTest::mouseClick(Chance(50) ? static_cast<QWidget*>(Part<TCounterCell>(c, "Memo3")) : Part<TCounterCell>(c, "Memo4"), Qt::LeftButton);
        fresh = true;
    }
  }

  void Save(TSoraChild* c) {
    if (!c->Path().startsWith(frame->NewNamePrefix) && Chance(70)) {
      if ((c->Text()->PlainText || !c->Path().endsWith(".rtf", Qt::CaseInsensitive)) && Unencodable(c))
        script->Answer(true);
      Part<QAction>(c, "FileSave")->trigger();
      return CheckSaved(c, c->Path());
    }
    const int type = Chance(50) ? 1 : 2;
    const QString path = dir.filePath(QStringLiteral("doc%1.%2").arg(Pick(5)).arg(type == 1 ? "rtf" : "txt"));
    for (TSoraChild* other : frame->Children())  // another window's file is left alone
      if (other != c && other->Path() == path) return;
    script->SaveFile(path, type);
    if (type != 1 && Unencodable(c)) script->Answer(true);
    QFile::remove(path);  // no question about replacing it
    frame->FileSaveAs1->trigger();
    CheckSaved(c, path);
  }

  void CloseOrOpen(TSoraChild* c) {
    const QList<TSoraChild*> children = frame->Children();
    if (children.size() > 1 && Chance(50)) {  // No keeps a modified document open
      const bool modified = c->Text()->GetModified(), yes = Chance(50);
      if (modified) script->Answer(yes);
      c->close();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QCOMPARE(frame->Children().contains(c), modified && !yes);
      return;
    }
    if (children.size() >= 3) return frame->MdiClient->setActiveSubWindow(children[Pick(int(children.size()))]);
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    if (files.isEmpty() || Chance(30)) return frame->FileNew1->trigger(), void(fresh = true);
    const QString path = dir.filePath(files[Pick(int(files.size()))]);
    for (TSoraChild* other : children)
      if (other->Path() == path) return;
    fresh = true;
    script->OpenFile(path);
    frame->FileOpen1->trigger();
    QCOMPARE(frame->ActiveChild()->Path(), path);
    QVERIFY(!frame->ActiveChild()->Text()->GetModified());
  }

 private slots:
  void soak() {
    const int seed = EnvInt("SORAMEMO_SOAK_SEED", 20261206), steps = EnvInt("SORAMEMO_SOAK_OPS", 5000);
    rng.seed(quint32(seed));
    script = std::make_unique<Dialogs::Script>();
    Start();
    QFile start(dir.filePath("start.txt"));
    QVERIFY(start.open(QIODevice::WriteOnly));
    start.write(sjis::Encode(QStringLiteral("最初の行\r\nsecond line\r\n三行目")));
    start.close();
    frame->OpenDocument(dir.filePath("start.txt"));
    frame->FileNew1->trigger();

    // Each operation with its weight.
    using Op = void (TestSoak::*)(TSoraChild*);
    const std::pair<Op, int> ops[] = {{&TestSoak::TypeText, 26}, {&TestSoak::Keys, 14}, {&TestSoak::Click, 6},
                                      {&TestSoak::Select, 5},    {&TestSoak::Bars, 4},  {&TestSoak::Save, 2},
                                      {&TestSoak::CloseOrOpen, 3}};
    int total = 0, step = 0;
    for (const auto& op : ops) total += op.second;
    for (; step < steps && !QTest::currentTestFailed(); ++step) {
      TSoraChild* c = frame->ActiveChild();
      if (!c) frame->FileNew1->trigger(), c = frame->ActiveChild();
      QVERIFY(c);
      int r = Pick(total);
      Op op = ops[0].first;
      for (const auto& [candidate, weight] : ops) {
        op = candidate;
        if (r < weight) break;
        r -= weight;
      }
      fresh = false;
      if (c->Text()->GetTextLen() > 4000)  // keeps thousands of steps quick
        c->Text()->SelectAll(), QTest::keyClick(c->Text(), Qt::Key_Delete), fresh = true;
      else (this->*op)(c);
      if (QTest::currentTestFailed()) break;
      QVERIFY2(script->Errors.isEmpty(), qPrintable(script->Errors.join('\n')));
      QVERIFY2(script->Unexpected.isEmpty(), qPrintable(script->Unexpected.join('\n')));
      QVERIFY(script->SaveAnswers.empty());
      QVERIFY(script->OpenAnswers.empty());
      script->Questions.clear();
      script->YesNoAnswers.clear();  // a question that did not come
      // Every open window; the caret cell of the one active after the step.
      for (TSoraChild* w : frame->Children())
        if (CheckCounters(w, fresh && w == frame->ActiveChild()); QTest::currentTestFailed()) break;
    }
    if (QTest::currentTestFailed()) qWarning("seed %d, step %d", seed, step);
    QVERIFY(saves > 0 || steps < 1000);  // the read-back check did run
    // Everything closes at the end, each modified document confirmed.
    for (TSoraChild* w : frame->Children())
      if (w->Text()->GetModified()) script->Answer(true);
    frame->close();
    QVERIFY(script->Unexpected.isEmpty());
    frame.reset(), script.reset();
  }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
