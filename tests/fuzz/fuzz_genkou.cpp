// Fuzz target: the 原稿用紙 line breaker on any paragraph text. Nothing may
// fail; the shown text maps back to its source in order, the cells cover it
// exactly once, and no line holds more cells than the grid has.
#include <cstddef>
#include <cstdint>

#include "tategaki/Genkou.h"
#include "tests/fuzz/FuzzApp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int cellsPerLine = 1 + data[0] % 24;
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
  const tategaki::ParagraphLayout l = tategaki::LayOutParagraph(text, cellsPerLine);
  const QString& shown = l.text.shown;
  if (qsizetype(l.text.source.size()) != shown.size()) fuzz::Fail("source map size", text, shown);
  for (qsizetype k = 0; k < shown.size(); ++k) {
    const int s = l.text.source[size_t(k)];
    if (s < 0 || s >= text.size() || text[s] != shown[k] || (k > 0 && s <= l.text.source[size_t(k - 1)]))
      fuzz::Fail("source map", text, shown);
  }
  for (const tategaki::Ruby& r : l.text.rubies)
    if (r.length <= 0 || r.start < 0 || r.start + r.length > shown.size() || r.text.isEmpty())
      fuzz::Fail("ruby outside the text", text, shown);
  int end = 0;
  for (const tategaki::Cell& c : l.cells) {
    if (c.start != end || c.end <= c.start || (c.hangStart >= 0 && (c.hangStart <= c.start || c.hangStart >= c.end)))
      fuzz::Fail("cells do not tile the text", text, shown);
    end = c.end;
  }
  if (end != shown.size()) fuzz::Fail("cells end early", text, shown);
  int next = 0;
  for (const tategaki::Line& line : l.lines) {
    if (line.firstCell != next || line.cellCount > cellsPerLine) fuzz::Fail("line cells", text, shown);
    next += line.cellCount;
  }
  if (next != int(l.cells.size())) fuzz::Fail("lines miss cells", text, shown);
  return 0;
}
