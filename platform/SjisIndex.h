#pragma once
// Per-paragraph Shift-JIS measures of a QTextDocument, kept current from
// contentsChange, so that positions convert in O(log n) plus the length of one
// paragraph. Each paragraph's value includes the CR LF that follows it (2 bytes,
// 2 chars); a line separator inside a paragraph reads as CR LF too.
#include <QtGlobal>
#include <algorithm>
#include <vector>

class QTextBlock;
class QTextDocument;

// Sums over per-paragraph values in O(log n).
class Fenwick {
 public:
  void Build(const std::vector<qint64>& v);
  // After values from index `from` on changed, moved or were inserted or
  // erased: only the sums over them are made again.
  template <typename T>
  void Rebuild(const std::vector<T>& v, size_t from);
  void Add(size_t i, qint64 d);
  qint64 Prefix(size_t n) const;  // sum of the first n values
  // Largest n with Prefix(n) <= target, given non-negative values.
  size_t Search(qint64 target) const;

 private:
  std::vector<qint64> tree_;
};

template <typename T>
void Fenwick::Rebuild(const std::vector<T>& v, size_t from) {
  const size_t n = v.size();
  if (tree_.empty()) tree_.assign(1, 0);
  from = std::min({from, n, tree_.size() - 1});
  tree_.resize(n + 1);
  const auto low = [](size_t k) { return k & (~k + 1); };
  // Entries up to `from` sum values before it only and stay. The few above
  // whose range reaches below it are summed directly from those; the rest
  // cover new values only and add up from their children.
  const qint64 before = Prefix(from);
  for (size_t k = from + 1; k <= n; ++k) tree_[k] = qint64(v[k - 1]);
  qint64 run = 0;  // values from `from` to k
  for (size_t k = from + 1; k <= n; ++k) {
    run += qint64(v[k - 1]);
    if (k - low(k) < from) {
      tree_[k] = before - Prefix(k - low(k)) + run;
      continue;
    }
    const size_t parent = k + low(k);
    if (parent <= n && parent - low(parent) >= from) tree_[parent] += tree_[k];
  }
}

class SjisIndex {
 public:
  explicit SjisIndex(QTextDocument* doc);

  void Rebuild();
  // QTextDocument::contentsChange's arguments.
  void ContentsChange(int position, int removed, int added);

  qint64 TotalBytes() const { return bytesTree_.Prefix(bytes_.size()); }
  qint64 TotalChars() const { return charsTree_.Prefix(chars_.size()); }

  int BytePos(int docPos) const;
  int CharPos(int docPos) const;
  // Byte offset to document position. Offsets inside a double-byte character
  // or inside a CR LF fall back to the character's start or the paragraph's end.
  int DocPos(qint64 bytePos) const;

  // Display lines: the number of lines before paragraph n, laid out on demand.
  qint64 LinesBefore(int n);
  // The paragraph holding display line `line`, or -1 past the last line.
  int BlockOfLine(qint64 line);
  void InvalidateLines(int fromBlock);

 private:
  bool RebuildFromRawText(int n);
  void Fill(int i, const QTextBlock& b);
  void ExtendLines(int n);

  QTextDocument* doc_;
  std::vector<qint64> bytes_, chars_;
  Fenwick bytesTree_, charsTree_;
  std::vector<qint64> lineStarts_{0};  // lineStarts_[k]: lines before paragraph k
};
