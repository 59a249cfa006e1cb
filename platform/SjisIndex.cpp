#include "platform/SjisIndex.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>

#include "platform/ShiftJis.h"

namespace {

struct Measure {
  qint64 bytes = 0;
  qint64 chars = 0;
};

Measure MeasureText(QStringView t) {
  static const quint8* const widths = sjis::BmpWidthTable();
  Measure m;
  const qsizetype n = t.size();
  const char16_t* d = t.utf16();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t u = d[i];
    if (u < 0x80) {
      m.bytes += 1;
      m.chars += 1;
    } else if (u == 0x2028) {
      m.bytes += 2;
      m.chars += 2;
    } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(d[i + 1])) {
      ++i;
      m.bytes += 2;
      m.chars += 1;
    } else {
      m.bytes += widths[u] == 1 ? 1 : 2;
      m.chars += 1;
    }
  }
  return m;
}

}  // namespace

SjisIndex::SjisIndex(QTextDocument* doc) : doc_(doc) { Rebuild(); }

void SjisIndex::Rebuild() {
  const int n = doc_->blockCount();
  std::vector<qint32> bytes(size_t(n), 0), chars(size_t(n), 0);
  const bool raw = RebuildFromRawText(bytes, chars);
  bytes_.Assign(bytes);
  chars_.Assign(chars);
  if (!raw) {
    int i = 0;
    for (QTextBlock b = doc_->begin(); b.isValid() && i < n; b = b.next(), ++i) Fill(i, b);
  }
}

void SjisIndex::ContentsChange(int position, int /*removed*/, int added) {
  const int newCount = doc_->blockCount();
  const int delta = newCount - int(bytes_.size());
  const int end = std::max(0, doc_->characterCount() - 1);
  const int first = doc_->findBlock(std::min(position, end)).blockNumber();
  const int last = doc_->findBlock(std::min(position + added, end)).blockNumber();
  const int newAffected = last - first + 1;
  const int oldAffected = newAffected - delta;
  if (first < 0 || last < first || oldAffected < 1 ||
      first + oldAffected > int(bytes_.size())) {
    Rebuild();
    return;
  }
  if (delta == 0) {
    QTextBlock b = doc_->findBlockByNumber(first);
    for (int i = first; i <= last && b.isValid(); ++i, b = b.next()) Fill(i, b);
    return;
  }
  bytes_.Replace(size_t(first), size_t(oldAffected), size_t(newAffected), 0);
  chars_.Replace(size_t(first), size_t(oldAffected), size_t(newAffected), 0);
  QTextBlock b = doc_->findBlockByNumber(first);
  for (int i = first; i <= last && b.isValid(); ++i, b = b.next()) Fill(i, b);
  // The paragraph that used to be last may have gained or lost its CR LF.
  if (bytes_.size() > 0) {
    const int lastIndex = int(bytes_.size()) - 1;
    if (first + newAffected - 1 < lastIndex) Fill(lastIndex, doc_->lastBlock());
    if (lastIndex > 0 && first > 0) Fill(first - 1, doc_->findBlockByNumber(first - 1));
  }
}

int SjisIndex::BytePos(int docPos) const {
  const QTextBlock b = doc_->findBlock(docPos);
  if (!b.isValid()) return int(TotalBytes());
  const int inBlock = std::clamp(docPos - b.position(), 0, std::max(0, b.length() - 1));
  return int(bytes_.Prefix(size_t(b.blockNumber())) + MeasureText(QStringView(b.text()).left(inBlock)).bytes);
}

int SjisIndex::CharPos(int docPos) const {
  const QTextBlock b = doc_->findBlock(docPos);
  if (!b.isValid()) return int(TotalChars());
  const int inBlock = std::clamp(docPos - b.position(), 0, std::max(0, b.length() - 1));
  return int(chars_.Prefix(size_t(b.blockNumber())) + MeasureText(QStringView(b.text()).left(inBlock)).chars);
}

int SjisIndex::DocPos(qint64 bytePos) const {
  if (bytePos <= 0) return 0;
  const qint64 total = TotalBytes();
  if (bytePos >= total) return std::max(0, doc_->characterCount() - 1);
  const size_t n = bytes_.Search(bytePos);  // paragraphs wholly before
  QTextBlock b = doc_->findBlockByNumber(int(n));
  if (!b.isValid()) return std::max(0, doc_->characterCount() - 1);
  qint64 rest = bytePos - bytes_.Prefix(n);
  const QString t = b.text();
  int i = 0;
  while (i < t.size()) {
    const char16_t u = t[i].unicode();
    int units = 1;
    int w;
    if (u == 0x2028) w = 2;
    else if (QChar::isHighSurrogate(u) && i + 1 < t.size() && QChar::isLowSurrogate(t[i + 1].unicode())) { w = 2; units = 2; }
    else w = sjis::CodePointWidth(u);
    if (rest < w) break;
    rest -= w;
    i += units;
  }
  return b.position() + i;
}

// One pass over one copy of the text instead of a copy per paragraph. Only
// when the paragraphs are all there is (no frames or tables in between).
bool SjisIndex::RebuildFromRawText(std::vector<qint32>& bytes, std::vector<qint32>& chars) {
  const int n = int(bytes.size());
  if (!doc_->rootFrame()->childFrames().isEmpty()) return false;
  const QString raw = doc_->toRawText();
  const QStringView all(raw);
  int i = 0;
  qsizetype start = 0;
  while (i < n) {
    qsizetype end = all.indexOf(QChar(0x2029), start);
    if (end < 0) end = all.size();
    const Measure m = MeasureText(all.mid(start, end - start));
    const bool hasBreak = i + 1 < n;
    bytes[size_t(i)] = qint32(m.bytes + (hasBreak ? 2 : 0));
    chars[size_t(i)] = qint32(m.chars + (hasBreak ? 2 : 0));
    ++i;
    if (end >= all.size()) break;
    start = end + 1;
  }
  return i == n;
}

void SjisIndex::Fill(int i, const QTextBlock& b) {
  const Measure m = MeasureText(b.text());
  const bool hasBreak = b.next().isValid();
  bytes_.Set(size_t(i), qint32(m.bytes + (hasBreak ? 2 : 0)));
  chars_.Set(size_t(i), qint32(m.chars + (hasBreak ? 2 : 0)));
}
