#pragma once
// Attributes the document keeps beyond what QTextFormat knows, shared by the
// rich-edit control and the RTF reader and writer.
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextFormat>

namespace textfmt {

// Character set of a run (RTF \fcharset). Absent means default.
constexpr int CharsetProperty = QTextFormat::UserProperty + 1;
constexpr int ShiftJisCharset = 128;
// Paragraph indents in whole points, kept exactly so that a round trip through
// RTF twips gives back the same numbers the ruler set.
constexpr int FirstIndentProperty = QTextFormat::UserProperty + 2;
constexpr int LeftIndentProperty = QTextFormat::UserProperty + 3;
constexpr int RightIndentProperty = QTextFormat::UserProperty + 4;

// Layout pixels per point on the document (96 dpi layout).
constexpr double PixelsPerPoint = 96.0 / 72.0;

// FirstIndent: first line from the left margin. LeftIndent: the other lines,
// relative to FirstIndent. RightIndent: from the right margin. All in points.
struct Indents {
  int first = 0;
  int left = 0;
  int right = 0;
  bool operator==(const Indents&) const = default;
};

Indents GetIndents(const QTextBlockFormat& f);
void SetIndents(QTextBlockFormat& f, const Indents& in);

}  // namespace textfmt
