#include "tategaki/Genkou.h"

#include <QChar>
#include <algorithm>

namespace tategaki {

namespace {

constexpr char16_t kBar = u'｜';
constexpr char16_t kRubyOpen = u'《';
constexpr char16_t kRubyClose = u'》';

bool IsClosing(char32_t c) {
  return std::u32string_view(U"、。，．」』）〕］｝〉》】").find(c) != std::u32string_view::npos;
}

bool IsOpening(char32_t c) {
  return std::u32string_view(U"「『（〔［｛〈《【").find(c) != std::u32string_view::npos;
}

bool IsKanji(char32_t c) {
  return c == U'々' || c == U'〆' || c == U'ヶ' || QChar::script(c) == QChar::Script_Han;
}

// Variation selectors belong to the character before them, not a cell of their own.
bool JoinsPrevious(char32_t c) {
  return (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
}

bool IsSpace(char32_t c) { return c == U' ' || c == U'\u3000' || c == U'\t'; }

char32_t CodePointAt(QStringView s, qsizetype i) {
  if (QChar::isHighSurrogate(s[i].unicode()) && i + 1 < s.size() &&
      QChar::isLowSurrogate(s[i + 1].unicode()))
    return QChar::surrogateToUcs4(s[i], s[i + 1]);
  return s[i].unicode();
}

// The code point that ends just before index end (end > 0), and where it starts.
qsizetype PreviousStart(QStringView s, qsizetype end) {
  if (end >= 2 && QChar::isLowSurrogate(s[end - 1].unicode()) &&
      QChar::isHighSurrogate(s[end - 2].unicode()))
    return end - 2;
  return end - 1;
}

// Index of the first `close` after from with no `open` before it, or -1.
qsizetype FindClose(QStringView t, qsizetype from, char16_t open, char16_t close) {
  for (qsizetype i = from; i < t.size(); ++i) {
    if (t[i] == close) return i;
    if (t[i] == open) return -1;
  }
  return -1;
}

}  // namespace

bool IsHalfWidthAlnum(char32_t c) {
  return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z');
}

ParsedParagraph ParseParagraph(QStringView t) {
  ParsedParagraph p;
  p.shown.reserve(t.size());
  p.source.reserve(size_t(t.size()));
  const auto append = [&p, t](qsizetype from, qsizetype to) {
    p.shown.append(t.mid(from, to - from));
    for (qsizetype k = from; k < to; ++k) p.source.push_back(int(k));
  };
  // A 漢字《 base never reaches back past earlier notation.
  qsizetype barrier = 0;
  qsizetype i = 0;
  while (i < t.size()) {
    const char16_t c = t[i].unicode();
    if (c == u'［' && i + 1 < t.size() && t[i + 1] == u'＃') {
      const qsizetype end = t.indexOf(u'］', i + 2);
      if (end >= 0) {
        i = end + 1;
        barrier = p.shown.size();
        continue;
      }
    } else if (c == kBar) {
      qsizetype open = i + 1;
      while (open < t.size() && t[open] != kRubyOpen && t[open] != kBar && t[open] != kRubyClose)
        ++open;
      if (open > i + 1 && open < t.size() && t[open] == kRubyOpen) {
        const qsizetype close = FindClose(t, open + 1, kRubyOpen, kRubyClose);
        if (close > open + 1) {
          const int start = int(p.shown.size());
          append(i + 1, open);
          p.rubies.append({start, int(open - i - 1), t.mid(open + 1, close - open - 1).toString()});
          i = close + 1;
          barrier = p.shown.size();
          continue;
        }
      }
    } else if (c == kRubyOpen) {
      const qsizetype close = FindClose(t, i + 1, kRubyOpen, kRubyClose);
      if (close > i + 1) {
        qsizetype start = p.shown.size();
        while (start > barrier) {
          const qsizetype prev = PreviousStart(p.shown, start);
          if (prev < barrier || !IsKanji(CodePointAt(p.shown, prev))) break;
          start = prev;
        }
        if (start < p.shown.size()) {
          p.rubies.append({int(start), int(p.shown.size() - start),
                           t.mid(i + 1, close - i - 1).toString()});
          i = close + 1;
          barrier = p.shown.size();
          continue;
        }
      }
    }
    append(i, i + 1);
    ++i;
  }
  return p;
}

ParagraphLayout LayOutParagraph(QStringView text, int cellsPerLine) {
  cellsPerLine = std::max(cellsPerLine, 1);
  ParagraphLayout l;
  l.text = ParseParagraph(text);
  const QString& s = l.text.shown;
  l.cells.reserve(size_t(s.size()));
  l.lines.push_back({0, 0});

  int pos = 0;  // cells used on the current line
  const auto newLine = [&] {
    l.lines.push_back({int(l.cells.size()), 0});
    pos = 0;
  };
  qsizetype i = 0;
  while (i < s.size()) {
    const char32_t c = CodePointAt(s, i);
    qsizetype end = i + (c > 0xFFFF ? 2 : 1);
    ++l.characters;
    if (!IsSpace(c)) ++l.charactersNoSpaces;
    // Joined marks are counted as characters but share their base's cell.
    const auto takeJoined = [&] {
      while (end < s.size()) {
        const char32_t j = CodePointAt(s, end);
        if (!JoinsPrevious(j)) break;
        ++l.characters;
        ++l.charactersNoSpaces;
        end += j > 0xFFFF ? 2 : 1;
      }
    };
    takeJoined();
    if (IsHalfWidthAlnum(c) && end < s.size() && IsHalfWidthAlnum(CodePointAt(s, end))) {
      ++l.characters;
      ++l.charactersNoSpaces;
      ++end;
      takeJoined();
    }

    if (pos == cellsPerLine) {
      if (IsClosing(c)) {
        // ぶら下げ: the whole closing run hangs in the line's last cell.
        Cell& last = l.cells.back();
        if (last.hangStart < 0) last.hangStart = last.end;
        last.end = int(end);
        i = end;
        continue;
      }
      newLine();
    } else if (IsOpening(c) && pos == cellsPerLine - 1 && pos > 0) {
      newLine();
    }
    l.cells.push_back({int(i), int(end), -1});
    ++l.lines.back().cellCount;
    ++pos;
    i = end;
  }
  return l;
}

DocumentLayout::DocumentLayout(int cellsPerLine, int linesPerPage)
    : cellsPerLine_(std::max(cellsPerLine, 1)), linesPerPage_(std::max(linesPerPage, 1)) {}

int DocumentLayout::Update(const QStringList& paragraphs) {
  const qsizetype oldSize = sources_.size(), newSize = paragraphs.size();
  qsizetype head = 0;
  while (head < oldSize && head < newSize && sources_[head] == paragraphs[head]) ++head;
  qsizetype tail = 0;
  while (tail < oldSize - head && tail < newSize - head &&
         sources_[oldSize - 1 - tail] == paragraphs[newSize - 1 - tail])
    ++tail;
  if (head == oldSize && head == newSize) return int(head);

  std::vector<std::shared_ptr<const ParagraphLayout>> middle;
  middle.reserve(size_t(newSize - head - tail));
  for (qsizetype k = head; k < newSize - tail; ++k) {
    middle.push_back(std::make_shared<const ParagraphLayout>(LayOutParagraph(paragraphs[k], cellsPerLine_)));
    ++layoutRuns_;
  }
  paragraphs_.erase(paragraphs_.begin() + head, paragraphs_.begin() + (oldSize - tail));
  paragraphs_.insert(paragraphs_.begin() + head, middle.begin(), middle.end());
  sources_ = paragraphs;
  Reindex(int(head));
  return int(head);
}

void DocumentLayout::Reindex(int from) {
  firstLine_.resize(paragraphs_.size());
  int line = from > 0 ? firstLine_[size_t(from - 1)] + int(paragraphs_[size_t(from - 1)]->lines.size()) : 0;
  for (size_t k = size_t(from); k < paragraphs_.size(); ++k) {
    firstLine_[k] = line;
    line += int(paragraphs_[k]->lines.size());
  }
  // Empty paragraphs at the very end take no lines.
  size_t last = paragraphs_.size();
  while (last > 0 && paragraphs_[last - 1]->text.shown.isEmpty()) --last;
  lineCount_ = last == 0 ? 0 : firstLine_[last - 1] + int(paragraphs_[last - 1]->lines.size());
}

DocumentLayout::LineRef DocumentLayout::Locate(int documentLine) const {
  if (documentLine < 0 || documentLine >= lineCount_) return {};
  const auto it = std::upper_bound(firstLine_.begin(), firstLine_.end(), documentLine);
  const int p = int(it - firstLine_.begin()) - 1;
  return {p, documentLine - firstLine_[size_t(p)]};
}

int DocumentLayout::LineOfSource(int paragraph, int sourceIndex) const {
  if (paragraph < 0 || paragraph >= ParagraphCount()) return std::max(lineCount_ - 1, 0);
  const ParagraphLayout& p = Paragraph(paragraph);
  const auto& src = p.text.source;
  const int shown = int(std::lower_bound(src.begin(), src.end(), sourceIndex) - src.begin());
  int line = 0;
  for (size_t k = 1; k < p.lines.size(); ++k) {
    const Line& l = p.lines[k];
    if (l.cellCount > 0 && p.cells[size_t(l.firstCell)].start <= shown) line = int(k);
  }
  return std::min(FirstLine(paragraph) + line, std::max(lineCount_ - 1, 0));
}

Count CountText(const DocumentLayout& layout) {
  Count c;
  for (int i = 0; i < layout.ParagraphCount(); ++i) {
    const ParagraphLayout& p = layout.Paragraph(i);
    c.characters += p.characters;
    c.charactersNoSpaces += p.charactersNoSpaces;
    if (p.charactersNoSpaces > 0) ++c.paragraphs;
  }
  c.sheets = layout.PageCount();
  c.lastSheetLines = layout.LastPageLines();
  return c;
}

Count CountText(QStringView text) {
  DocumentLayout layout(20, 20);
  layout.Update(SplitParagraphs(text));
  return CountText(layout);
}

QStringList SplitParagraphs(QStringView text) {
  QStringList out;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r' || c == u'\n' || c == QChar(0x2029) || c == QChar(0x2028)) {
      out.append(text.mid(start, i - start).toString());
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      start = i + 1;
    }
  }
  out.append(text.mid(start).toString());
  return out;
}

}  // namespace tategaki
