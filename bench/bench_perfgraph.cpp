// Performance graph: one time step should cost a scroll of the image and the
// drawing of one band, far below a full replay of the history.
#include <benchmark/benchmark.h>

#include "components/Perfgrap/Perfgrap.h"

namespace {

void Feed(TPerformanceGraph& g, int i) {
  for (int s = 0; s < TPerformanceGraph::MaxPoints; ++s)
    g.DataPoint(TColor(0x101010 * (s + 1)), 50 + (i * (s + 7)) % 40 + s * 20);
}

void BM_PerfgraphStep(benchmark::State& state) {
  TPerformanceGraph g;
  g.resize(int(state.range(0)), 300);
  g.SetGraphKind(TGraphKind(state.range(1)));
  int i = 0;
  for (; i < 400; ++i) {  // fill the history and settle the scale
    Feed(g, i);
    g.Update();
  }
  for (auto _ : state) {
    Feed(g, i++);
    g.Update();
  }
}
BENCHMARK(BM_PerfgraphStep)->Args({1000, pgBar})->Args({1000, pgLine})->Unit(benchmark::kMicrosecond);

void BM_PerfgraphReplay(benchmark::State& state) {
  TPerformanceGraph g;
  g.resize(int(state.range(0)), 300);
  g.SetGraphKind(TGraphKind(state.range(1)));
  for (int i = 0; i < 400; ++i) {
    Feed(g, i);
    g.Update();
  }
  bool flip = false;
  for (auto _ : state) g.SetBackColor((flip = !flip) ? clNavy : clBlack);
}
BENCHMARK(BM_PerfgraphReplay)->Args({1000, pgBar})->Args({1000, pgLine})->Unit(benchmark::kMicrosecond);

}  // namespace
