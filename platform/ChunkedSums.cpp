#include "platform/ChunkedSums.h"

#include <algorithm>

void Fenwick::Build(const std::vector<qint64>& v) {
  tree_.assign(v.size() + 1, 0);
  for (size_t i = 0; i < v.size(); ++i) {
    tree_[i + 1] += v[i];
    const size_t j = (i + 1) + ((i + 1) & (~(i + 1) + 1));
    if (j < tree_.size()) tree_[j] += tree_[i + 1];
  }
}

void Fenwick::Add(size_t i, qint64 d) {
  for (size_t k = i + 1; k < tree_.size(); k += k & (~k + 1)) tree_[k] += d;
}

qint64 Fenwick::Prefix(size_t n) const {
  qint64 s = 0;
  if (tree_.empty()) return 0;
  for (size_t k = std::min(n, tree_.size() - 1); k > 0; k -= k & (~k + 1)) s += tree_[k];
  return s;
}

size_t Fenwick::Search(qint64 target) const {
  size_t pos = 0;
  size_t step = 1;
  while (step * 2 < tree_.size()) step *= 2;
  for (; step > 0; step /= 2) {
    if (pos + step < tree_.size() && tree_[pos + step] <= target) {
      pos += step;
      target -= tree_[pos];
    }
  }
  return pos;
}
