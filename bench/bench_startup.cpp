// Start-up of the main frame (splash and its 370-pass set-up loop included)
// against a bare QMainWindow carrying the same menus and toolbar.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

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

// The frame's menus and toolbar, read once from a real frame.
struct Template {
  std::unique_ptr<TSoraForm> frame;
  Template() : frame(std::make_unique<TSoraForm>()) { frame->Params.clear(); Settle(); }
};

Template& Frame() {
  static Template t;
  return t;
}

void ShowBareWindow() {
  const TSoraForm& model = *Frame().frame;
  QMainWindow window;
  for (QAction* top : model.menuBar()->actions()) CopyMenu(top->menu(), window.menuBar()->addMenu(top->text()));
  QToolBar* bar = window.addToolBar(QStringLiteral("ToolBar2"));
  for (QAction* a : model.ToolBar2->actions()) bar->addAction(CopyAction(a, bar));
  window.resize(680, 510);
  window.show();
  Settle();
}

void ShowFrame() {
  InitApplication();
  TSoraForm frame;
  frame.Params.clear();
  frame.show();
  Settle();
}

double MeanMilliseconds(void (*fn)(), int runs) {
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < runs; ++i) fn();
  return double(t.nsecsElapsed()) / 1e6 / runs;
}

void BM_StartupBareMainWindow(benchmark::State& state) {
  Frame();
  for (auto _ : state) ShowBareWindow();
}
BENCHMARK(BM_StartupBareMainWindow)->Unit(benchmark::kMillisecond);

void BM_StartupFrame(benchmark::State& state) {
  Frame();
  const double bare = MeanMilliseconds(&ShowBareWindow, 10);
  QElapsedTimer t;
  qint64 total = 0;
  for (auto _ : state) {
    t.start();
    ShowFrame();
    total += t.nsecsElapsed();
  }
  const double frame = double(total) / 1e6 / double(state.iterations());
  // How many times slower than the bare window the real start-up is.
  state.counters["ratio_to_bare"] = frame / bare;
  state.counters["bare_ms"] = bare;
}
BENCHMARK(BM_StartupFrame)->Unit(benchmark::kMillisecond);

}  // namespace
