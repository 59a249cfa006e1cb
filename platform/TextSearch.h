#pragma once
// The one search behind Find Next, Replace and Replace All, so that the three
// always agree on what matches. It runs over document text, where a paragraph
// or line break is one character (U+2029, U+2028, or "\n" in a plain string).
#include <QString>
#include <QStringView>

class TextSearch {
 public:
  // searchTypes: stMatchCase, stWholeWord (platform/RichEdit.h).
  TextSearch(QStringView pattern, int searchTypes);

  bool IsEmpty() const { return pattern_.isEmpty(); }
  // Characters a match takes in the document: a line break of the pattern
  // (LF, CR or CR LF) is one paragraph break.
  qsizetype Length() const { return pattern_.size(); }

  // Start of the first match that begins at or after from and ends at or
  // before to (to < 0: the end of text); -1 if none. before stands for the
  // character in front of from in the whole-word test (0: none): after a
  // replacement the character there is the replacement's, not the text's.
  static constexpr char32_t FromText = 0xFFFFFFFF;
  qsizetype IndexIn(QStringView text, qsizetype from, qsizetype to = -1, char32_t before = FromText) const;

  // Every line break of s (CR LF, CR, LF, U+2028, U+2029) as br.
  static QString WithBreaks(QStringView s, QStringView br);
  // Shift-JIS byte length with every line break counted as CR LF (2 bytes).
  static int ByteLength(QStringView s);
  // Letters, digits, marks and the underscore make words; anything else parts them.
  static bool IsWordChar(char32_t c);
  // The last character of s; 0 when s is empty.
  static char32_t LastCodePoint(QStringView s);

 private:
  bool MatchAt(QStringView text, qsizetype at) const;
  bool WholeWordAt(QStringView text, qsizetype at, qsizetype from, char32_t before) const;

  QString pattern_;  // breaks as kBreak, folded when case does not matter
  bool matchCase_;
  bool wholeWord_;
};
