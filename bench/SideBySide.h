#pragma once
// The program and bare Qt doing the same work, timed in turns so that both
// see the same load on the machine; the medians and their ratio are reported.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

struct SideBySide {
  std::vector<double> program, bare;  // milliseconds

  static double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  }
  void Report(benchmark::State& state) const {
    if (program.empty() || bare.empty()) return;
    state.counters["program_ms"] = Median(program);
    state.counters["bare_ms"] = Median(bare);
    state.counters["ratio_to_bare"] = Median(program) / Median(bare);
  }
};
