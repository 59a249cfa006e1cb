#include "platform/FlowLayout.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPaintDevice>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>

#include <algorithm>
#include <climits>
#include <limits>
#include <cmath>

namespace {

using Fixed = qint64;

// Qt's layout keeps its lengths in 26.6 fixed point; rounding the same way
// keeps every line and paragraph where Qt would put it.
Fixed Fx(qreal v) { return Fixed(v * 64); }
qreal Real(Fixed f) { return qreal(f) / 64; }

constexpr int DefaultDpi = 96;
constexpr qint64 SliceNs = 4'000'000;  // one idle slice; typing stays smooth

}  // namespace

FlowLayout::FlowLayout(QTextDocument* doc) : QAbstractTextDocumentLayout(doc), doc_(doc) {
  idle_.setSingleShot(true);
  idle_.setInterval(0);
  connect(&idle_, &QTimer::timeout, this, &FlowLayout::IdleSlice);
}

// ---- state -------------------------------------------------------------------

void FlowLayout::SetAdvance(int i, Fixed a) const {
  heights_.Set(size_t(i), qint32(a));
}

void FlowLayout::MarkDirty(int i, bool dirty) const {
  if (Dirty(i) == dirty) return;
  dirty_.Set(size_t(i), dirty);
  dirtyCount_ += dirty ? 1 : -1;
}

FlowLayout::Fixed FlowLayout::Estimate(const QTextBlock& b) const {
  const int lines = std::max(1, int(std::ceil(b.length() / estPerLine_)));
  return lines * estLine_;
}

FlowLayout::Fixed FlowLayout::Gap(int i, const QTextBlock& b) const {
  // Margins between paragraphs collapse to the larger; the first paragraph's
  // top margin is not laid out at all.
  if (i == 0) return 0;
  qreal margin = std::max(b.blockFormat().topMargin(), b.previous().blockFormat().bottomMargin());
  if (margin > 0 && paintDevice()) margin *= qreal(paintDevice()->logicalDpiY()) / DefaultDpi;
  return Fx(margin);
}

FlowLayout::Fixed FlowLayout::Top(int i) const { return top_ + heights_.Prefix(size_t(i)); }

int FlowLayout::BlockAt(Fixed y) const {
  if (Count() == 0) return -1;
  const size_t n = heights_.Search(y - top_);
  return int(std::min(n, heights_.size() - 1));
}

void FlowLayout::Place(int i, const QTextBlock& b) const {
  b.layout()->setPosition(QPointF(Real(left_), Real(Top(i) + Gap(i, b))));
}

int FlowLayout::ExactPrefix() const {
  return dirtyCount_ == 0 ? Count() : int(dirty_.Search(0));
}

void FlowLayout::Reset() {
  const QTextFrameFormat ff = doc_->rootFrame()->frameFormat();
  const qreal inner = ff.border() + ff.padding();
  const bool hadWidth = width_ > 0;
  pageWidth_ = doc_->pageSize().width();
  left_ = Fx(ff.leftMargin()) + Fx(inner);
  width_ = Fx(pageWidth_) - (Fx(ff.leftMargin()) + Fx(ff.rightMargin()) + 2 * Fx(inner));
  top_ = Fx(ff.topMargin()) + Fx(inner);
  bottom_ = Fx(ff.bottomMargin()) + Fx(inner);
  hasAlignment_ = false;
  // Estimates from the default font: measuring each paragraph's font would
  // cost as much as a good part of laying it out.
  const QFontMetricsF fm(doc_->defaultFont());
  estLine_ = Fx(std::ceil(fm.ascent() + fm.descent() + fm.leading()));
  // Japanese text runs about a full em per character, Latin about half.
  estPerLine_ = std::max<qreal>(1, Real(width_) / std::max<qreal>(1, fm.height() * 0.8));

  const int n = doc_->blockCount();
  // Heights laid out at another width stay as estimates: a new width moves little.
  const bool keep = Count() == n && hadWidth;
  std::vector<qint32> advance = keep ? heights_.Values() : std::vector<qint32>(size_t(n), 0);
  int i = 0;
  for (QTextBlock b = doc_->begin(); b.isValid() && i < n; b = b.next(), ++i) {
    b.clearLayout();
    if (!keep) advance[size_t(i)] = qint32(Gap(i, b) + Estimate(b));
  }
  heights_.Assign(advance);
  dirty_.Assign(std::vector<char>(size_t(n), 1));
  dirtyCount_ = n;
}

// ---- laying out ------------------------------------------------------------------

void FlowLayout::LayOut(int i, const QTextBlock& b) const {
  QTextLayout* tl = b.layout();
  if (doc_->pageSize().isNull()) {
    // A control not yet shown has no width: like Qt's layout, nothing is laid
    // out and each paragraph counts as one line until it gets one.
    tl->clearLayout();
    QTextBlock(b).setLineCount(1);
    SetAdvance(i, Gap(i, b) + Estimate(b));
    MarkDirty(i, false);
    return;
  }
  const QTextBlockFormat bf = b.blockFormat();
  const Qt::LayoutDirection dir = b.textDirection();

  qreal indent = bf.indent();
  if (const QTextList* list = b.textList()) indent += list->format().indent();
  qreal scale = 1;
  if (paintDevice()) scale = qreal(paintDevice()->logicalDpiY()) / DefaultDpi;
  const Fixed blockIndent = qFuzzyIsNull(indent) ? 0 : Fx(indent * scale * doc_->indentWidth());
  const Fixed l = left_ + Fx(bf.leftMargin()) + blockIndent;
  const Fixed r = left_ + width_ - Fx(bf.rightMargin());

  QTextOption option = doc_->defaultTextOption();
  option.setTextDirection(dir);
  option.setTabs(bf.tabPositions());
  Qt::Alignment align = option.alignment();
  if (bf.hasProperty(QTextFormat::BlockAlignment)) align = bf.alignment();
  option.setAlignment(QStyle::visualAlignment(dir, align));
  if (bf.nonBreakableLines() || pageWidth_ < 0) option.setWrapMode(QTextOption::ManualWrap);
  tl->setTextOption(option);
  if (align & (Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify)) hasAlignment_ = true;

  const qreal lineScale = paintDevice() && paintDevice()->logicalDpiY() != DefaultDpi
                              ? qreal(paintDevice()->logicalDpiY()) / DefaultDpi
                              : 1;
  Fixed y = 0;
  tl->beginLayout();
  for (QTextLine line = tl->createLine(); line.isValid(); line = tl->createLine()) {
    line.setLeadingIncluded(true);
    Fixed left = std::max(left_, l), right = std::min(left_ + width_, r);
    if (line.lineNumber() == 0) {
      const Fixed textIndent = Fx(bf.textIndent());
      if (dir == Qt::RightToLeft) right -= textIndent;
      else left += textIndent;
    }
    line.setLineWidth(Real(right - left));
    // The advance counts the leading as it is, even when negative; the line's
    // own height() does not.
    const qreal raw = std::ceil(line.ascent() + line.descent() + line.leading());
    const Fixed height = Fx(bf.lineHeight(raw, lineScale));
    Fixed adjust = 0;
    const int type = bf.lineHeightType();
    if (type == QTextBlockFormat::FixedHeight || type == QTextBlockFormat::MinimumHeight)
      adjust = Fx(line.ascent() + std::max<qreal>(line.leading(), 0)) - height * 4 / 5;
    line.setPosition(QPointF(Real(left - left_), Real(y - adjust)));
    y += height;
  }
  tl->endLayout();
  QTextBlock(b).setLineCount(tl->lineCount());
  SetAdvance(i, Gap(i, b) + y);
  MarkDirty(i, false);
}

void FlowLayout::LayOutRange(int first, int last) const {
  if (dirtyCount_ == 0 || first > last) return;
  QTextBlock b = doc_->findBlockByNumber(first);
  for (int i = first; i <= last && b.isValid(); ++i, b = b.next())
    if (Dirty(i)) LayOut(i, b);
}

void FlowLayout::LayOutThrough(int block) {
  block = std::min(block, Count() - 1);
  const int first = ExactPrefix();
  if (first > block) return;
  const Fixed from = Top(first);
  LayOutRange(first, block);
  Notify(from);
  Flush();
  if (dirtyCount_ == 0) idle_.stop();
}

qint64 FlowLayout::LinesBefore(int block) {
  // Each paragraph's line count is kept in the document, which sums them in O(log n).
  LayOutThrough(block);
  if (block <= 0) return 0;
  const QTextBlock b = doc_->findBlockByNumber(block);
  return b.isValid() ? b.firstLineNumber() : doc_->lineCount();
}

int FlowLayout::BlockOfLine(qint64 line) {
  // Line numbers are exact before the first paragraph not laid out; layout
  // reaches further in doubling steps until the line lies inside.
  int step = 64;
  while (true) {
    const int exact = ExactPrefix();
    const qint64 known = exact >= Count() ? doc_->lineCount() : doc_->findBlockByNumber(exact).firstLineNumber();
    if (line < known) return doc_->findBlockByLineNumber(int(line)).blockNumber();
    if (exact >= Count()) return -1;
    LayOutThrough(std::min(Count() - 1, exact + step));
    if (ExactPrefix() <= exact) return -1;
    step = std::min(step * 2, 1 << 20);
  }
}

void FlowLayout::IdleSlice() {
  if (dirtyCount_ == 0) return;
  QElapsedTimer clock;
  clock.start();
  // The text at the view's top stays where it is while heights above it change.
  const int anchorBlock = BlockAt(Fx(anchor_));
  const Fixed anchorOffset = Fx(anchor_) - Top(std::max(anchorBlock, 0));
  int i = ExactPrefix();
  const Fixed from = Top(i);
  QTextBlock b = doc_->findBlockByNumber(i);
  for (; b.isValid() && i < Count() && clock.nsecsElapsed() < SliceNs; ++i, b = b.next())
    if (Dirty(i)) LayOut(i, b);
  if (anchorBlock >= i) {
    // All of it lies above the view, whose text moves with the anchor: only
    // what was laid out needs a repaint, never the view.
    ReportSize();
    emit update(QRectF(0, Real(from), qreal(INT_MAX), Real(Top(i) - from)));
  } else {
    Notify(from);
    Flush();
  }
  if (anchorBlock >= 0) {
    const qreal moved = Real(Top(anchorBlock) + anchorOffset);
    if (moved != anchor_) {
      anchor_ = moved;
      emit AnchorMoved(moved);
    }
  }
  if (dirtyCount_ > 0) idle_.start();
}

void FlowLayout::Notify(Fixed fromY) const {
  pendingFrom_ = pendingFrom_ < 0 ? fromY : std::min(pendingFrom_, fromY);
}

// For changes made while the control asks something: it hears of them after.
void FlowLayout::Defer() const {
  if (deferred_) return;
  deferred_ = true;
  QMetaObject::invokeMethod(const_cast<FlowLayout*>(this), [this] {
    deferred_ = false;
    Flush();
    if (dirtyCount_ > 0) const_cast<QTimer&>(idle_).start();
  }, Qt::QueuedConnection);
}

void FlowLayout::Flush() const {
  if (inside_ || pendingFrom_ < 0) return;
  const qreal from = Real(pendingFrom_);
  pendingFrom_ = -1;
  ReportSize();
  emit const_cast<FlowLayout*>(this)->update(QRectF(0, from, qreal(INT_MAX), qreal(INT_MAX)));
}

void FlowLayout::ReportSize() const {
  const QSizeF size = documentSize();
  if (size == reportedSize_) return;
  reportedSize_ = size;
  emit const_cast<FlowLayout*>(this)->documentSizeChanged(size);
}

void FlowLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
  const int count = doc_->blockCount();
  const int length = doc_->characterCount();
  const bool whole = charsRemoved == 0 && charsAdded == length;
  const int end = std::max(0, length - 1);
  const int first = doc_->findBlock(std::min(from, end)).blockNumber();
  const int last = doc_->findBlock(std::min(from + charsAdded, end)).blockNumber();
  const int delta = count - Count();
  const int added = last - first + 1;
  const int removed = added - delta;
  if (whole || Count() == 0 || first < 0 || last < first || removed < 1 || first + removed > Count()) {
    Reset();
    Notify(0);
    Flush();
    if (dirtyCount_ > 0) idle_.start();
    return;
  }

  std::vector<Fixed> oldAdvance(size_t(removed), 0);
  for (int k = 0; k < removed; ++k) oldAdvance[size_t(k)] = heights_.Get(size_t(first + k));
  if (delta != 0) {
    heights_.Replace(size_t(first), size_t(removed), size_t(added), 0);
    dirty_.Replace(size_t(first), size_t(removed), size_t(added), 0);
    dirtyCount_ = int(dirty_.Total());
  }
  // The paragraphs the edit touched are laid out now, as far as a short
  // budget goes (a Replace All touches them all); the rest wait, with their
  // old lines cleared so that a cursor asks for them.
  QElapsedTimer clock;
  clock.start();
  QTextBlock b = doc_->findBlockByNumber(first);
  // The paragraph after the edit moves with a changed margin above it.
  const int through = std::min(last + 1, count - 1);
  for (int i = first; i <= through && b.isValid(); ++i, b = b.next()) {
    if (i > last) {
      if (qFuzzyIsNull(b.blockFormat().topMargin()) && qFuzzyIsNull(b.previous().blockFormat().bottomMargin()))
        break;
    }
    if (clock.nsecsElapsed() < SliceNs || i == first) {
      LayOut(i, b);
    } else {
      b.clearLayout();
      MarkDirty(i, true);
      const int k = i - first;
      SetAdvance(i, k < removed ? oldAdvance[size_t(k)] : Gap(i, b) + Estimate(b));
    }
  }
  bool moved = delta != 0;
  for (int k = 0; k < std::min(added, removed) && !moved; ++k) moved = heights_.Get(size_t(first + k)) != oldAdvance[size_t(k)];
  const Fixed top = Top(first);
  if (moved) {
    Notify(top);
  } else {
    // Only the paragraphs themselves changed: repaint just them.
    const Fixed bottom = Top(last + 1);
    ReportSize();
    emit update(QRectF(0, Real(top), qreal(INT_MAX), Real(bottom - top)));
  }
  Flush();
  if (dirtyCount_ > 0) idle_.start();
}

// ---- answers to the control ------------------------------------------------------------

QSizeF FlowLayout::documentSize() const {
  Fixed h = top_ + heights_.Total() + bottom_;
  if (Count() > 0) {
    qreal margin = doc_->lastBlock().blockFormat().bottomMargin();
    if (margin > 0 && paintDevice()) margin *= qreal(paintDevice()->logicalDpiY()) / DefaultDpi;
    h += Fx(margin);
  }
  return QSizeF(pageWidth_, Real(h));
}

QRectF FlowLayout::frameBoundingRect(QTextFrame* frame) const {
  if (frame != doc_->rootFrame()) return QRectF();
  return QRectF(QPointF(0, 0), documentSize());
}

QRectF FlowLayout::blockBoundingRect(const QTextBlock& block) const {
  if (doc_->pageSize().isNull() || !block.isValid() || !block.isVisible() || Count() == 0) return QRectF();
  const int i = block.blockNumber();
  if (i < 0 || i >= Count()) return QRectF();
  if (Dirty(i)) {
    inside_ = true;
    const Fixed from = Top(i);
    LayOut(i, block);
    inside_ = false;
    Notify(from);
    Defer();
  }
  Place(i, block);
  const QTextLayout* tl = block.layout();
  QRectF r = tl->boundingRect();
  r.moveTopLeft(tl->position());
  return r;
}

int FlowLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const {
  if (Count() == 0) return -1;
  const Fixed y = Fx(point.y());
  inside_ = true;
  // Laying a paragraph out changes its height, and so which one lies at y.
  int i = BlockAt(y);
  QTextBlock b = doc_->findBlockByNumber(i);
  Fixed from = -1;
  while (Dirty(i)) {
    if (from < 0) from = Top(i);
    LayOut(i, b);
    const int j = BlockAt(y);
    if (j != i) b = doc_->findBlockByNumber(j);
    i = j;
  }
  // A paragraph whose bounding box reaches below its advance still takes the point.
  if (i > 0) {
    const QTextBlock prev = b.previous();
    if (Dirty(i - 1)) LayOut(i - 1, prev);
    Place(i - 1, prev);
    const QRectF r = prev.layout()->boundingRect().translated(prev.layout()->position());
    if (point.y() <= r.bottom()) {
      --i;
      b = prev;
    }
  }
  inside_ = false;
  if (from >= 0) {
    Notify(from);
    Defer();
  }

  enum Hit { Before, After, Inside, Exact };
  Place(i, b);
  QTextLayout* tl = b.layout();
  QRectF text = tl->boundingRect();
  text.translate(tl->position());
  int position = b.position();
  Hit hit = Inside;
  if (point.y() < text.top() - b.blockFormat().topMargin()) {
    hit = Before;
  } else if (point.y() > text.bottom()) {
    position += b.length();
    hit = After;
  } else {
    const QPointF pos = point - tl->position();
    int off = 0;
    for (int k = 0; k < tl->lineCount(); ++k) {
      const QTextLine line = tl->lineAt(k);
      const QRectF lr = line.naturalTextRect();
      if (lr.top() > pos.y()) {
        off = std::min(off, line.textStart());
      } else if (lr.bottom() <= pos.y()) {
        off = std::max(off, line.textStart() + line.textLength());
      } else {
        if (lr.left() <= pos.x() && lr.right() >= pos.x()) hit = Exact;
        off = line.xToCursor(pos.x(), accuracy == Qt::ExactHit ? QTextLine::CursorOnCharacter
                                                               : QTextLine::CursorBetweenCharacters);
        break;
      }
    }
    position += off;
  }
  if (accuracy == Qt::ExactHit && hit < Exact) return -1;
  int lastPos = doc_->rootFrame()->lastPosition();
  if (hit >= Inside) lastPos += int(tl->preeditAreaText().size());
  return std::clamp(position, 0, lastPos);
}

// ---- drawing ------------------------------------------------------------------------------

void FlowLayout::draw(QPainter* painter, const PaintContext& context) {
  if (Count() == 0) return;
  const QRectF& clip = context.clip;
  const Fixed y0 = clip.isValid() ? Fx(clip.top()) : 0;
  const Fixed y1 = clip.isValid() ? Fx(clip.bottom()) : std::numeric_limits<Fixed>::max();
  const QTextFrameFormat ff = doc_->rootFrame()->frameFormat();
  // Within the frame's width; heights still to come are not known yet.
  const QRectF frameClip(ff.leftMargin(), 0, pageWidth_ - ff.leftMargin() - ff.rightMargin(), qreal(INT_MAX));
  const QRectF lineClip = clip.isValid() ? (clip & frameClip) : frameClip;

  inside_ = true;
  int i = BlockAt(y0);
  Fixed top = Top(i);
  Fixed changedFrom = -1;
  for (QTextBlock b = doc_->findBlockByNumber(i); b.isValid() && i < Count(); b = b.next(), ++i) {
    if (top > y1) break;
    if (Dirty(i)) {
      if (changedFrom < 0) changedFrom = top;
      LayOut(i, b);
    }
    b.layout()->setPosition(QPointF(Real(left_), Real(top + Gap(i, b))));
    DrawBlock(painter, context, b, lineClip);
    top += heights_.Get(size_t(i));
  }
  inside_ = false;
  if (changedFrom >= 0) {
    // Heights below changed while drawing: the size and the rest follow after.
    Notify(changedFrom);
    Defer();
  }
}

void FlowLayout::DrawBlock(QPainter* painter, const PaintContext& ctx, const QTextBlock& b,
                           const QRectF& clip) const {
  const QTextLayout* tl = b.layout();
  QRectF r = tl->boundingRect();
  r.translate(tl->position());
  if (!b.isVisible() || (ctx.clip.isValid() && (r.bottom() < ctx.clip.y() || r.top() > ctx.clip.bottom()))) return;

  const QTextBlockFormat bf = b.blockFormat();
  const QBrush bg = bf.background();
  if (bg != Qt::NoBrush) {
    const QPointF origin = painter->brushOrigin();
    painter->setBrushOrigin(r.topLeft());
    painter->fillRect(r, bg);
    painter->setBrushOrigin(origin);
  }

  QList<QTextLayout::FormatRange> selections;
  const int pos = b.position();
  const int len = b.length();
  const QTextCharFormat* selFormat = nullptr;
  for (const Selection& range : ctx.selections) {
    const int s = range.cursor.selectionStart() - pos;
    const int e = range.cursor.selectionEnd() - pos;
    if (s < len && e > 0 && e > s) {
      selections.append({s, e - s, range.format});
    } else if (!range.cursor.hasSelection() && range.format.hasProperty(QTextFormat::FullWidthSelection) &&
               b.contains(range.cursor.position())) {
      const QTextLine l = tl->lineForTextPosition(range.cursor.position() - pos);
      QTextLayout::FormatRange o{l.textStart(), l.textLength(), range.format};
      if (o.start + o.length == len - 1) ++o.length;  // with the paragraph's end
      selections.append(o);
    }
    if (s < 0 && e >= 1) selFormat = &range.format;
  }

  if (const QTextList* list = b.textList(); list && list->format().style() != QTextListFormat::ListStyleUndefined)
    DrawBullet(painter, ctx, b, selFormat);

  const QPen oldPen = painter->pen();
  painter->setPen(ctx.palette.color(QPalette::Text));
  tl->draw(painter, QPointF(), selections, clip);
  if ((ctx.cursorPosition >= pos && ctx.cursorPosition < pos + len) ||
      (ctx.cursorPosition < -1 && !tl->preeditAreaText().isEmpty())) {
    const int at = ctx.cursorPosition < -1 ? tl->preeditAreaPosition() - (ctx.cursorPosition + 2)
                                           : ctx.cursorPosition - pos;
    tl->drawCursor(painter, QPointF(), at, cursorWidth_);
  }
  painter->setPen(oldPen);
}

// The disc Qt draws for a bulleted paragraph: a third of the line spacing
// wide, a space's width left of the first line, centred on the font's height.
void FlowLayout::DrawBullet(QPainter* painter, const PaintContext& ctx, const QTextBlock& b,
                            const QTextCharFormat* sel) const {
  const QTextLayout* tl = b.layout();
  if (tl->lineCount() == 0) return;
  const QTextCharFormat cf = b.charFormat();
  QFont font = cf.font();
  if (paintDevice()) font = QFont(font, paintDevice());
  const QFontMetrics fm(font);
  int style = b.textList()->format().style();
  if (b.blockFormat().hasProperty(QTextFormat::ListStyle)) style = b.blockFormat().intProperty(QTextFormat::ListStyle);
  if (style != QTextListFormat::ListDisc && style != QTextListFormat::ListCircle &&
      style != QTextListFormat::ListSquare)
    return;  // the program makes bullets only

  const Qt::LayoutDirection dir = b.textDirection();
  QPointF pos = tl->position().toPoint();
  const QRectF first = tl->lineAt(0).naturalTextRect();
  pos += first.topLeft().toPoint();
  if (dir == Qt::RightToLeft) pos.rx() += first.width();
  const qreal side = fm.lineSpacing() / 3;
  QRectF r(pos, QSizeF(side, side));
  qreal xoff = fm.horizontalAdvance(QLatin1Char(' '));
  if (dir == Qt::LeftToRight) xoff = -xoff - side;
  r.translate(xoff, (fm.height() / 2) - (side / 2));

  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  if (sel) {
    painter->setPen(QPen(sel->foreground(), 0));
    painter->fillRect(r, sel->background());
  } else {
    QBrush fg = cf.foreground();
    if (fg == Qt::NoBrush) fg = ctx.palette.text();
    painter->setPen(QPen(fg, 0));
  }
  switch (style) {
    case QTextListFormat::ListDisc:
      painter->setBrush(painter->pen().brush());
      painter->setPen(Qt::NoPen);
      painter->drawEllipse(r);
      break;
    case QTextListFormat::ListCircle:
      painter->setPen(QPen(painter->pen().brush(), 0));
      painter->drawEllipse(r.translated(0.5, 0.5));
      break;
    default:
      painter->fillRect(r, painter->pen().brush());
      break;
  }
  painter->restore();
}
