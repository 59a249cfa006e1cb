#pragma once
// A document layout for paragraphs only, whose cost per edit does not grow
// with the document: paragraph heights live in a Fenwick tree, so the
// paragraphs after an edit keep their layout and are found by summing. Lines
// break and draw exactly as with Qt's own layout (the same QTextLayout calls).
// Paragraphs not yet laid out carry an estimated height and are laid out when
// drawn, hit, asked for, or in short idle slices.
#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QTimer>
#include <vector>

#include "platform/ChunkedSums.h"

class QTextBlock;
class QTextDocument;

class FlowLayout : public QAbstractTextDocumentLayout {
  Q_OBJECT
  // Read and written by name by the text control.
  Q_PROPERTY(int cursorWidth READ CursorWidth WRITE SetCursorWidth)
  Q_PROPERTY(bool contentHasAlignment READ ContentHasAlignment)

 public:
  explicit FlowLayout(QTextDocument* doc);

  void draw(QPainter* painter, const PaintContext& context) override;
  int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
  int pageCount() const override { return 1; }
  QSizeF documentSize() const override;
  QRectF frameBoundingRect(QTextFrame* frame) const override;
  QRectF blockBoundingRect(const QTextBlock& block) const override;

  int CursorWidth() const { return cursorWidth_; }
  void SetCursorWidth(int w) { cursorWidth_ = w; }
  bool ContentHasAlignment() const { return hasAlignment_; }

  // Lays out every paragraph up to and including `block`, so that line
  // numbers (QTextBlock::firstLineNumber) are exact up to there.
  void LayOutThrough(int block);
  // Paragraphs wholly laid out from the top: line numbers are exact before it.
  int ExactPrefix() const;
  void LayOutAll() { LayOutThrough(Count() - 1); }
  // Display lines before paragraph `block`, laying out only what is not yet up to there.
  qint64 LinesBefore(int block);
  // The paragraph holding display line `line`, or -1 past the last line.
  int BlockOfLine(qint64 line);
  bool Pending() const { return dirtyCount_ > 0; }

  // The view's top in document coordinates: idle layout above it keeps the
  // text there in place and reports the new top through AnchorMoved.
  void SetAnchor(qreal y) { anchor_ = y; }

 signals:
  void AnchorMoved(qreal y);

 protected:
  void documentChanged(int from, int charsRemoved, int charsAdded) override;

 private:
  // Lengths in 1/64 pixel, as Qt's layout computes them, so sums do not drift.
  using Fixed = qint64;

  void Reset();
  void LayOut(int i, const QTextBlock& b) const;
  void LayOutRange(int first, int last) const;  // dirty ones only
  Fixed Estimate(const QTextBlock& b) const;
  Fixed Gap(int i, const QTextBlock& b) const;  // collapsed margin above paragraph i
  Fixed Top(int i) const;                       // y of paragraph i's first line
  int BlockAt(Fixed y) const;                   // the paragraph at y, clamped
  void Place(int i, const QTextBlock& b) const; // sets the layout's absolute position
  void SetAdvance(int i, Fixed a) const;
  void MarkDirty(int i, bool dirty) const;
  void DrawBlock(QPainter* p, const PaintContext& ctx, const QTextBlock& b, const QRectF& clip) const;
  void DrawBullet(QPainter* p, const PaintContext& ctx, const QTextBlock& b, const QTextCharFormat* sel) const;
  void Notify(Fixed fromY) const;  // the view repaints from fromY; size reported
  void Flush() const;
  void ReportSize() const;
  void Defer() const;
  void IdleSlice();

  QTextDocument* doc_;
  int cursorWidth_ = 1;
  mutable bool hasAlignment_ = false;
  // Root frame geometry.
  Fixed left_ = 0, width_ = 0, top_ = 0, bottom_ = 0;
  qreal pageWidth_ = 0;
  Fixed estLine_ = 1;
  qreal estPerLine_ = 1;
  // Per paragraph: its advance (margin above plus lines) and whether it waits for layout.
  mutable ChunkedSums<qint32> heights_;
  mutable ChunkedSums<char> dirty_;
  mutable int dirtyCount_ = 0;
  int Count() const { return int(heights_.size()); }
  bool Dirty(int i) const { return dirty_.Get(size_t(i)) != 0; }
  mutable QSizeF reportedSize_;
  mutable Fixed pendingFrom_ = -1;
  mutable bool inside_ = false;
  mutable bool deferred_ = false;  // inside a call the control makes: signals wait
  QTimer idle_;
  qreal anchor_ = 0;
};
