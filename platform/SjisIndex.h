#pragma once
// Per-paragraph Shift-JIS measures of a QTextDocument, kept current from
// contentsChange, so that positions convert in O(log n) plus the length of one
// paragraph. Each paragraph's value includes the CR LF that follows it (2 bytes,
// 2 chars); a line separator inside a paragraph reads as CR LF too.
#include <QtGlobal>
#include <vector>

#include "platform/ChunkedSums.h"

class QTextBlock;
class QTextDocument;

class SjisIndex {
 public:
  explicit SjisIndex(QTextDocument* doc);

  void Rebuild();
  // QTextDocument::contentsChange's arguments.
  void ContentsChange(int position, int removed, int added);

  qint64 TotalBytes() const { return bytes_.Total(); }
  qint64 TotalChars() const { return chars_.Total(); }

  int BytePos(int docPos) const;
  int CharPos(int docPos) const;
  // Byte offset to document position. Offsets inside a double-byte character
  // or inside a CR LF fall back to the character's start or the paragraph's end.
  int DocPos(qint64 bytePos) const;

 private:
  bool RebuildFromRawText(std::vector<qint32>& bytes, std::vector<qint32>& chars);
  void Fill(int i, const QTextBlock& b);

  QTextDocument* doc_;
  // Per paragraph; a paragraph's counts fit 32 bits by far.
  ChunkedSums<qint32> bytes_, chars_;
};
