// Document window: the program's work per key press, a whole key press, and
// Replace All, each beside the bare Qt work it stands on.
#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMdiArea>
#include <QSignalBlocker>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <malloc.h>

#include "bench/SideBySide.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/FlowLayout.h"
#include "platform/ReplaceDialog.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "tests/ChildParts.h"

namespace {

// Japanese prose with one "＊" about every 100 bytes, about `bytes` long.
QString JapaneseText(qsizetype bytes) {
  const QString line = QString::fromUtf8(
      "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。＊何でも薄暗い"
      "じめじめした所でニャーニャー泣いていた事だけは記憶している。＊\n");
  const qsizetype lineBytes = sjis::ByteLength(line) + 1;
  return line.repeated(int(bytes / lineBytes) + 1);
}

struct Window {
  QMainWindow frame;
  QMdiArea* area = new QMdiArea;
  TSoraChild* child;
  explicit Window(const QString& text) {
    frame.setCentralWidget(area);
    frame.resize(800, 600);
    frame.show();
    child = new TSoraChild(area, nullptr);
    child->Text()->setPlainText(text);
    child->Text()->SetSelStart(child->Text()->GetTextLen() / 2);
    child->Text()->setFocus();
    QApplication::processEvents();
  }
};

void BM_OwnWorkPerKeyPress10MB(benchmark::State& state) {
  static Window& w = *new Window(JapaneseText(10 * 1024 * 1024));
  TSoraChild* c = w.child;
  c->Text()->LineFromChar(c->Text()->GetTextLen());  // laid out once
  // Each iteration is one key press: a character typed, then erased by the
  // next. Qt's part (the edit and its layout) is not timed; the position
  // index follows the edit as on a real key press, and the window's handlers
  // then run as the key's events would run them, finding the line counts
  // from the changed paragraph on again.
  bool typing = true;
  for (auto _ : state) {
    state.PauseTiming();
    {
      const QSignalBlocker quiet(c->Text());
      QTextCursor edit = c->Text()->textCursor();
      if (typing) edit.insertText(QStringLiteral("a"));
      else edit.deletePreviousChar();
      typing = !typing;
    }
    state.ResumeTiming();
    for (int mode = 0; mode < 2; ++mode) {
      state.PauseTiming();
      c->Memo3Click();  // bytes, then characters
      state.ResumeTiming();
      c->RichEdit1Change();        // length, then caret counters
      c->UpdateCaretCounters();    // key release
      c->RichEdit1SelectionChange();
    }
  }
}
BENCHMARK(BM_OwnWorkPerKeyPress10MB)->Unit(benchmark::kMicrosecond)->Iterations(300);

// What a refresh costs when it copies and counts the whole text each time.
void BM_NaiveRefreshPerKeyPress10MB(benchmark::State& state) {
  static Window& w = *new Window(JapaneseText(10 * 1024 * 1024));
  TRichEdit* e = w.child->Text();
  for (auto _ : state) {
    for (int mode = 0; mode < 2; ++mode) {
      const QByteArray sj = sjis::Encode(e->GetText());
      benchmark::DoNotOptimize(ByteToCharLen(sj, sj.size()));
      benchmark::DoNotOptimize(ByteToCharLen(sj, e->GetSelStart()));
    }
  }
}
BENCHMARK(BM_NaiveRefreshPerKeyPress10MB)->Unit(benchmark::kMillisecond)->Iterations(5);

// A typed character and its deletion, through the event system.
void TypeAndErase(QWidget* target) {
  QTest::keyClick(target, Qt::Key_A);
  QTest::keyClick(target, Qt::Key_Backspace);
}

// The program's window and a bare QTextEdit with the same 1 MB document take
// turns, each key press timed alone, so that both see the same load.
void BM_KeyPress1MB(benchmark::State& state) {
  static Window& w = *new Window(JapaneseText(1024 * 1024));
  static QTextEdit* bare = [] {  // never destroyed: it would outlive the application
    auto* e = new QTextEdit;
    e->resize(560, 240);
    e->show();
    e->setPlainText(JapaneseText(1024 * 1024));
    QTextCursor c = e->textCursor();
    c.setPosition(e->document()->characterCount() / 2);
    e->setTextCursor(c);
    QApplication::processEvents();
    return e;
  }();
  // Both laid out to the end: the program's line counter needs every line
  // before the caret.
  w.child->Text()->LineFromChar(w.child->Text()->GetTextLen());
  bare->document()->documentLayout()->blockBoundingRect(bare->document()->lastBlock());
  SideBySide times;
  QElapsedTimer t;
  for (auto _ : state) {
    t.start();
    TypeAndErase(w.child->Text());
    times.program.push_back(double(t.nsecsElapsed()) / 1e6);
    t.start();
    TypeAndErase(bare);
    times.bare.push_back(double(t.nsecsElapsed()) / 1e6);
    state.SetIterationTime(times.program.back() / 1e3);
  }
  times.Report(state);
}
BENCHMARK(BM_KeyPress1MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

// The 10 MB document window and a bare QTextEdit of the same text and
// viewport, both laid out to the end, caret in the middle.
struct TenMB {
  Window& window;
  QTextEdit& bare;
  TRichEdit& program() { return *window.child->Text(); }
};

TenMB& Docs() {
  static TenMB docs = [] {
    const QString text = JapaneseText(10 * 1024 * 1024);
    auto* w = new Window(text);
    auto* bare = new QTextEdit;  // never destroyed, as the window
    bare->resize(w->child->Text()->size());
    bare->show();
    bare->setPlainText(text);
    QTextCursor c = bare->textCursor();
    c.setPosition(bare->document()->characterCount() / 2);
    bare->setTextCursor(c);
    w->child->Text()->LineFromChar(w->child->Text()->GetTextLen());
    bare->document()->documentLayout()->blockBoundingRect(bare->document()->lastBlock());
    QApplication::processEvents();
    return TenMB{*w, *bare};
  }();
  return docs;
}

// Runs one step on each side in turn, the repaint it causes included.
template <typename Step>
void Alternate(benchmark::State& state, Step step) {
  TenMB& d = Docs();
  SideBySide times;
  QElapsedTimer t;
  int i = 0;
  for (auto _ : state) {
    t.start();
    step(static_cast<QWidget*>(&d.program()), i);
    QApplication::processEvents();
    times.program.push_back(double(t.nsecsElapsed()) / 1e6);
    t.start();
    step(static_cast<QWidget*>(&d.bare), i);
    QApplication::processEvents();
    times.bare.push_back(double(t.nsecsElapsed()) / 1e6);
    state.SetIterationTime(times.program.back() / 1e3);
    ++i;
  }
  times.Report(state);
}

// One key: a character typed, erased by the next.
void BM_KeyPressWithRepaint10MB(benchmark::State& state) {
  Alternate(state, [](QWidget* w, int i) { QTest::keyClick(w, i % 2 ? Qt::Key_Backspace : Qt::Key_A); });
}
BENCHMARK(BM_KeyPressWithRepaint10MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

// A paragraph split by Enter, joined again by Backspace.
void BM_EnterBackspace10MB(benchmark::State& state) {
  Alternate(state, [](QWidget* w, int i) { QTest::keyClick(w, i % 2 ? Qt::Key_Backspace : Qt::Key_Return); });
}
BENCHMARK(BM_EnterBackspace10MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

// The mouse moved over the text without a button held.
void BM_MouseMove10MB(benchmark::State& state) {
  Alternate(state, [](QWidget* w, int i) {
    QWidget* target = static_cast<QAbstractScrollArea*>(w)->viewport();
    QTest::mouseMove(target, QPoint(50 + i % 100, 60));
  });
}
BENCHMARK(BM_MouseMove10MB)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);

// A wider or narrower window, to its first repaint.
void BM_ResizeToRepaint10MB(benchmark::State& state) {
  Alternate(state, [](QWidget* w, int i) {
    QWidget* top = w->window();
    top->resize(top->width() + (i % 2 ? 40 : -40), top->height());
  });
}
BENCHMARK(BM_ResizeToRepaint10MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Heap taken by each layout once the whole 10 MB document is laid out.
void BM_LayoutMemory10MB(benchmark::State& state) {
  const QString text = JapaneseText(10 * 1024 * 1024);
  double mb[2] = {};
  for (auto _ : state) {
    for (int flow = 0; flow < 2; ++flow) {
      QTextDocument doc;
      doc.setPlainText(text);
      const size_t before = mallinfo2().uordblks;
      if (flow) {
        auto* layout = new FlowLayout(&doc);
        doc.setDocumentLayout(layout);
        doc.setPageSize(QSizeF(560, -1));
        layout->LayOutAll();
      } else {
        doc.documentLayout();
        doc.setPageSize(QSizeF(560, -1));
        doc.documentLayout()->documentSize();
      }
      mb[flow] = double(mallinfo2().uordblks - before) / (1 << 20);
    }
  }
  state.counters["program_MB"] = mb[1];
  state.counters["bare_MB"] = mb[0];
}
BENCHMARK(BM_LayoutMemory10MB)->Unit(benchmark::kMillisecond)->Iterations(1);

void ReplaceAllIn(benchmark::State& state, qsizetype bytes) {
  Dialogs::Script script;  // the result message box
  const QString text = JapaneseText(bytes);
  Window w(text);
  Part<TReplaceDialog>(w.child, "ReplaceDialog1")->SetFindText(QString::fromUtf8("＊"));
  Part<TReplaceDialog>(w.child, "ReplaceDialog1")->SetReplaceText(QString::fromUtf8("※"));
  Part<TReplaceDialog>(w.child, "ReplaceDialog1")->SetOptions(TReplaceDialog::frReplaceAll);
  for (auto _ : state) {
    state.PauseTiming();
    w.child->Text()->setPlainText(text);
    w.child->Text()->LineFromChar(w.child->Text()->GetTextLen());
    QApplication::processEvents();
    state.ResumeTiming();
    w.child->ReplaceDialog1Replace();
  }
  state.counters["replaced"] = double(text.count(QChar(0xFF0A)));
  state.counters["per_MB"] = benchmark::Counter(double(bytes) / (1024 * 1024),
                                                benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
}

// Sizes in MB: the time per MB staying the same from 1 to 10 shows the work
// grows linearly with the document.
void BM_ReplaceAllProgram(benchmark::State& state) { ReplaceAllIn(state, state.range(0) * 1024 * 1024); }
BENCHMARK(BM_ReplaceAllProgram)->Arg(1)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);

// The bare Qt loop: find and replace every occurrence inside one edit block.
void ReplaceAllBare(benchmark::State& state, qsizetype bytes) {
  const QString text = JapaneseText(bytes);
  QTextEdit edit;
  edit.resize(560, 240);
  edit.show();
  for (auto _ : state) {
    state.PauseTiming();
    edit.setPlainText(text);
    // Laid out as the program's document is (its line counter needs every
    // line before the caret), so that both pay Qt's relayout of the change.
    edit.document()->documentLayout()->blockBoundingRect(edit.document()->lastBlock());
    QApplication::processEvents();
    state.ResumeTiming();
    QTextDocument* doc = edit.document();
    QTextCursor block(doc);
    block.beginEditBlock();
    int from = 0;
    for (QTextCursor hit = doc->find(QString::fromUtf8("＊"), from); !hit.isNull();
         hit = doc->find(QString::fromUtf8("＊"), from)) {
      hit.insertText(QString::fromUtf8("※"));
      from = hit.position();
    }
    block.endEditBlock();
    edit.ensureCursorVisible();
  }
  state.counters["per_MB"] = benchmark::Counter(double(bytes) / (1024 * 1024),
                                                benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
}

void BM_ReplaceAllBareQt(benchmark::State& state) { ReplaceAllBare(state, state.range(0) * 1024 * 1024); }
BENCHMARK(BM_ReplaceAllBareQt)->Arg(1)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
