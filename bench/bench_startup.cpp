// Start-up of the main frame (splash and its 370-pass set-up loop included)
// against a bare QMainWindow carrying the same menus and toolbar.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

#include "bench/SideBySide.h"
#include "app/Startup.h"
#include "app/TSoraForm.h"

namespace {

void Settle() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A copy of one action's face: what a menu entry or button shows.
QAction* CopyAction(const QAction* from, QObject* owner) {
  auto* a = new QAction(from->icon(), from->text(), owner);
  a->setToolTip(from->toolTip());
  a->setStatusTip(from->statusTip());
  a->setShortcut(from->shortcut());
  a->setCheckable(from->isCheckable());
  a->setSeparator(from->isSeparator());
  return a;
}

void CopyMenu(const QMenu* from, QMenu* to) {
  for (QAction* a : from->actions()) {
    if (a->menu()) CopyMenu(a->menu(), to->addMenu(a->text()));
    else to->addAction(CopyAction(a, to));
  }
}

// The frame whose menus and toolbar the bare window copies. It lives only
// while a benchmark runs: a frame outliving the application crashes at exit.
const TSoraForm* model = nullptr;

// Each returns the milliseconds from constructing the window to its being
// shown with nothing left pending; closing it down afterwards is not timed.
double Elapsed(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

double ShowBareWindow() {
  QElapsedTimer t;
  t.start();
  QMainWindow window;
  for (QAction* top : model->menuBar()->actions()) CopyMenu(top->menu(), window.menuBar()->addMenu(top->text()));
  QToolBar* bar = window.addToolBar(QStringLiteral("ToolBar2"));
  for (QAction* a : model->ToolBar2->actions()) bar->addAction(CopyAction(a, bar));
  window.resize(680, 510);
  window.show();
  Settle();
  return Elapsed(t);
}

double ShowFrame() {
  InitApplication();
  QElapsedTimer t;
  t.start();
  TSoraForm frame;
  frame.Params.clear();
  frame.show();
  Settle();  // the splash's release included
  return Elapsed(t);
}

void BM_StartupBareMainWindow(benchmark::State& state) {
  TSoraForm frame;
  model = &frame;
  for (auto _ : state) state.SetIterationTime(ShowBareWindow() / 1e3);
  model = nullptr;
}
BENCHMARK(BM_StartupBareMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StartupFrame(benchmark::State& state) {
  TSoraForm template_frame;
  model = &template_frame;
  // How many times slower than the bare window the real start-up is.
  SideBySide times;
  for (auto _ : state) {
    times.program.push_back(ShowFrame());
    times.bare.push_back(ShowBareWindow());
    state.SetIterationTime(times.program.back() / 1e3);
  }
  times.Report(state);
  model = nullptr;
}
BENCHMARK(BM_StartupFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
