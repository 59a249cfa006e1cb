#pragma once
// A sequence of non-negative values with prefix sums, where inserting or
// erasing values anywhere costs about the same at any length: the values
// live in chunks of up to a few thousand, and a Fenwick tree sums the chunks.
#include <QtGlobal>
#include <algorithm>
#include <tuple>
#include <vector>

// Sums over per-paragraph values in O(log n).
class Fenwick {
 public:
  void Build(const std::vector<qint64>& v);
  void Add(size_t i, qint64 d);
  qint64 Prefix(size_t n) const;  // sum of the first n values
  // Largest n with Prefix(n) <= target, given non-negative values.
  size_t Search(qint64 target) const;

 private:
  std::vector<qint64> tree_;
};

template <typename T>
class ChunkedSums {
 public:
  void Assign(const std::vector<T>& v) {
    chunks_.clear();
    for (size_t i = 0; i < v.size(); i += Chunk) {
      chunks_.emplace_back();
      chunks_.back().values.assign(v.begin() + i, v.begin() + std::min(v.size(), i + Chunk));
      Resum(chunks_.size() - 1);
    }
    Index();
  }

  size_t size() const { return size_; }
  std::vector<T> Values() const {
    std::vector<T> all;
    all.reserve(size_);
    for (const Node& c : chunks_) all.insert(all.end(), c.values.begin(), c.values.end());
    return all;
  }
  qint64 Total() const { return sums_.Prefix(chunks_.size()); }

  T Get(size_t i) const {
    const auto [c, off] = Locate(i);
    return chunks_[c].values[off];
  }

  void Set(size_t i, T v) {
    const auto [c, off] = Locate(i);
    T& slot = chunks_[c].values[off];
    const qint64 d = qint64(v) - qint64(slot);
    if (d == 0) return;
    slot = v;
    chunks_[c].sum += d;
    sums_.Add(c, d);
  }

  // Sum of the first n values.
  qint64 Prefix(size_t n) const {
    if (n >= size_) return Total();
    const auto [c, off] = Locate(n);
    qint64 s = sums_.Prefix(c);
    const std::vector<T>& v = chunks_[c].values;
    for (size_t k = 0; k < off; ++k) s += qint64(v[k]);
    return s;
  }

  // Largest n with Prefix(n) <= target.
  size_t Search(qint64 target) const {
    const size_t c = sums_.Search(target);
    if (c >= chunks_.size()) return size_;
    qint64 rest = target - sums_.Prefix(c);
    size_t n = size_t(counts_.Prefix(c));
    for (const T& v : chunks_[c].values) {
      if (qint64(v) > rest) break;
      rest -= qint64(v);
      ++n;
    }
    return n;
  }

  // Values [first, first + removed) become `added` values of `fill`.
  void Replace(size_t first, size_t removed, size_t added, T fill) {
    while (removed > 0 && first < size_) {
      const auto [c, off] = Locate(first);
      std::vector<T>& v = chunks_[c].values;
      const size_t take = std::min(removed, v.size() - off);
      v.erase(v.begin() + off, v.begin() + off + take);
      removed -= take;
      size_ -= take;
      if (v.empty() && chunks_.size() > 1) chunks_.erase(chunks_.begin() + c);
      else Resum(c);
      Index();
    }
    if (added == 0) return;
    if (chunks_.empty()) chunks_.emplace_back();
    size_t c, off;
    if (first >= size_) {
      c = chunks_.size() - 1;
      off = chunks_[c].values.size();
    } else {
      std::tie(c, off) = Locate(first);
    }
    std::vector<T>& v = chunks_[c].values;
    v.insert(v.begin() + off, added, fill);
    if (v.size() > 2 * Chunk) {
      // Split into chunks of the usual size.
      std::vector<T> all = std::move(v);
      chunks_.erase(chunks_.begin() + c);
      size_t at = c;
      for (size_t i = 0; i < all.size(); i += Chunk, ++at) {
        Node n;
        n.values.assign(all.begin() + i, all.begin() + std::min(all.size(), i + Chunk));
        chunks_.insert(chunks_.begin() + at, std::move(n));
        Resum(at);
      }
    } else {
      Resum(c);
    }
    Index();
  }

 private:
  static constexpr size_t Chunk = 2048;
  struct Node {
    std::vector<T> values;
    qint64 sum = 0;
  };

  void Resum(size_t c) {
    qint64 s = 0;
    for (const T& v : chunks_[c].values) s += qint64(v);
    chunks_[c].sum = s;
  }

  // The chunk sums and sizes, made again after the chunks changed.
  void Index() {
    std::vector<qint64> sums(chunks_.size()), counts(chunks_.size());
    size_ = 0;
    for (size_t c = 0; c < chunks_.size(); ++c) {
      sums[c] = chunks_[c].sum;
      counts[c] = qint64(chunks_[c].values.size());
      size_ += chunks_[c].values.size();
    }
    sums_.Build(sums);
    counts_.Build(counts);
  }

  // The chunk holding value i (i < size_), and i's place in it.
  std::pair<size_t, size_t> Locate(size_t i) const {
    const size_t c = counts_.Search(qint64(i));
    return {c, i - size_t(counts_.Prefix(c))};
  }

  std::vector<Node> chunks_;
  Fenwick sums_, counts_;
  size_t size_ = 0;
};
