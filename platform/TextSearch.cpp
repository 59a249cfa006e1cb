#include "platform/TextSearch.h"

#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"

namespace {

// Stands for a line break in the prepared pattern; never matched as itself.
constexpr char16_t kBreak = 0x2029;

bool IsBreak(char16_t c) { return c == 0x2029 || c == 0x2028 || c == u'\n'; }

// The code point that starts at i (a lone surrogate stands for itself).
char32_t CodePointAt(QStringView t, qsizetype i) {
  const char16_t u = t[i].unicode();
  if (QChar::isHighSurrogate(u) && i + 1 < t.size() && QChar::isLowSurrogate(t[i + 1].unicode()))
    return QChar::surrogateToUcs4(u, t[i + 1].unicode());
  return u;
}

}  // namespace

TextSearch::TextSearch(QStringView pattern, int searchTypes)
    : pattern_(WithBreaks(pattern, QStringView(u"\u2029"))),
      matchCase_(searchTypes & stMatchCase),
      wholeWord_(searchTypes & stWholeWord) {
  // Simple case folding keeps every character's length in UTF-16 units, so a
  // match is as long as the pattern whatever the case.
  if (!matchCase_) {
    QString folded;
    folded.reserve(pattern_.size());
    for (qsizetype i = 0; i < pattern_.size();) {
      const char32_t c = CodePointAt(pattern_, i);
      const char32_t f = QChar::toCaseFolded(c);
      if (QChar::requiresSurrogates(f)) {
        folded += QChar(QChar::highSurrogate(f));
        folded += QChar(QChar::lowSurrogate(f));
      } else {
        folded += QChar(char16_t(f));
      }
      i += QChar::requiresSurrogates(c) ? 2 : 1;
    }
    pattern_ = folded;
  }
}

QString TextSearch::WithBreaks(QStringView s, QStringView br) {
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    const char16_t u = s[i].unicode();
    if (u == u'\r') {
      if (i + 1 < s.size() && s[i + 1] == u'\n') ++i;
      out += br;
    } else if (IsBreak(u)) {
      out += br;
    } else {
      out += QChar(u);
    }
  }
  return out;
}

int TextSearch::ByteLength(QStringView s) {
  return int(sjis::ByteLength(WithBreaks(s, QStringView(u"\r\n"))));
}

bool TextSearch::IsWordChar(char32_t c) {
  return c == U'_' || QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

char32_t TextSearch::LastCodePoint(QStringView s) {
  const qsizetype i = s.size();
  if (i == 0) return 0;
  const char16_t u = s[i - 1].unicode();
  if (QChar::isLowSurrogate(u) && i >= 2 && QChar::isHighSurrogate(s[i - 2].unicode()))
    return QChar::surrogateToUcs4(s[i - 2].unicode(), u);
  return u;
}

bool TextSearch::MatchAt(QStringView text, qsizetype at) const {
  const qsizetype n = pattern_.size();
  for (qsizetype k = 0; k < n;) {
    const char16_t p = pattern_[k].unicode();
    if (p == kBreak) {
      if (!IsBreak(text[at + k].unicode())) return false;
      ++k;
      continue;
    }
    const char32_t c = CodePointAt(text, at + k);
    char32_t pc = p;
    if (QChar::isHighSurrogate(p) && k + 1 < n) pc = QChar::surrogateToUcs4(p, pattern_[k + 1].unicode());
    if (c != pc && (matchCase_ || QChar::toCaseFolded(c) != pc)) return false;
    k += QChar::requiresSurrogates(pc) ? 2 : 1;
  }
  return true;
}

bool TextSearch::WholeWordAt(QStringView text, qsizetype at, qsizetype from, char32_t before) const {
  const char32_t prev = at == from && before != FromText ? before : LastCodePoint(text.first(at));
  if (prev && IsWordChar(prev)) return false;
  const qsizetype end = at + pattern_.size();
  return end >= text.size() || !IsWordChar(CodePointAt(text, end));
}

qsizetype TextSearch::IndexIn(QStringView text, qsizetype from, qsizetype to, char32_t before) const {
  if (pattern_.isEmpty()) return -1;
  if (to < 0 || to > text.size()) to = text.size();
  if (from < 0) from = 0;
  const qsizetype last = to - pattern_.size();  // the last start a match fits from
  const char16_t first = pattern_[0].unicode();
  // Case matters and the first character is no break: jump between its occurrences.
  const bool jump = matchCase_ && first != kBreak;
  for (qsizetype at = from; at <= last; ++at) {
    if (jump) {
      at = text.first(last + 1).indexOf(QChar(first), at);
      if (at < 0) return -1;
    }
    // A match never starts in the middle of a surrogate pair.
    if (QChar::isLowSurrogate(text[at].unicode()) && at > 0 && QChar::isHighSurrogate(text[at - 1].unicode()))
      continue;
    if (MatchAt(text, at) && (!wholeWord_ || WholeWordAt(text, at, from, before))) return at;
  }
  return -1;
}
