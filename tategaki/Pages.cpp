#include "tategaki/Pages.h"

#include <QGlyphRun>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

#include "tategaki/Shaper.h"

namespace tategaki {

namespace {

constexpr int kGenkouHalf = 10;  // columns on each side of the fold

// Glyphs of one font size collected for a page, drawn in one run.
struct GlyphBatch {
  QList<quint32> glyphs;
  QList<QPointF> positions;
  void Add(const ShapedText& s, QPointF origin, qreal em) {
    glyphs += s.glyphs;
    for (const QPointF& p : s.positions) positions.append(origin + p * em);
  }
  void Draw(QPainter& painter, const QRawFont& font) const {
    if (glyphs.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(QPointF(0, 0), run);
  }
};

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Exactly two half-width digits, alone in their run, stand upright in one cell (縦中横).
bool IsTateChuYoko(const QString& s, const Cell& c) {
  if (c.TextEnd() - c.start != 2 || !IsDigit(s[c.start]) || !IsDigit(s[c.start + 1])) return false;
  const bool alnumBefore = c.start > 0 && IsHalfWidthAlnum(s[c.start - 1].unicode());
  const bool alnumAfter = c.TextEnd() < s.size() && IsHalfWidthAlnum(s[c.TextEnd()].unicode());
  return !alnumBefore && !alnumAfter;
}

QRawFont AtSize(QRawFont font, qreal size) {
  font.setPixelSize(size);
  return font;
}

}  // namespace

PageStyle PageStyle::Plain(int cellsPerLine, int linesPerPage) {
  PageStyle s;
  s.genkou = false;
  s.cellsPerLine = std::clamp(cellsPerLine, 5, 100);
  s.linesPerPage = std::clamp(linesPerPage, 1, 60);
  s.pageMm = QSizeF(148, 210);
  return s;
}

PageRenderer::PageRenderer(const PageStyle& style, const QRawFont& font)
    : style_(style), shaper_(std::make_unique<Shaper>(font.isValid() ? font : DefaultFont())) {
  if (style_.genkou) {
    style_.cellsPerLine = style_.linesPerPage = 20;
    cell_ = 8;
    pitch_ = 12;  // the 4 mm between columns carry the ruby
    fold_ = 12;
    const qreal width = 20 * pitch_ + (pitch_ - cell_) + fold_;
    right_ = style_.pageMm.width() - (style_.pageMm.width() - width) / 2 - (pitch_ - cell_);
    top_ = (style_.pageMm.height() - 20 * cell_) / 2;
  } else {
    const int c = style_.cellsPerLine, l = style_.linesPerPage;
    // Solid setting, lines 1.75 characters apart: the ruby fits between them.
    cell_ = std::min((style_.pageMm.height() - 36) / c, (style_.pageMm.width() - 28) / (l * 1.75 - 0.75));
    pitch_ = cell_ * 1.75;
    const qreal width = (l - 1) * pitch_ + cell_;
    right_ = (style_.pageMm.width() + width) / 2;
    top_ = (style_.pageMm.height() - c * cell_) / 2;
  }
  em_ = style_.genkou ? cell_ * 0.8 : cell_;
  // Sized once: each size is a font engine of its own.
  baseFont_ = AtSize(shaper_->Font(), em_);
  rubyFont_ = AtSize(shaper_->Font(), em_ / 2);
}

PageRenderer::~PageRenderer() = default;

QRectF PageRenderer::CellRect(int column, int cell) const {
  qreal x = right_ - cell_ - column * pitch_;
  if (style_.genkou && column >= kGenkouHalf) x -= fold_;
  return QRectF(x, top_ + cell * cell_, cell_, cell_);
}

void PageRenderer::PaintGrid(QPainter& painter, int page) {
  if (!style_.genkou) return;
  painter.save();
  const qreal gap = pitch_ - cell_;
  QPen thin(kGenkouColor, 0.15);
  painter.setPen(thin);
  painter.setBrush(Qt::NoBrush);
  for (int col = 0; col < 20; ++col) {
    const QRectF first = CellRect(col, 0);
    painter.drawRect(QRectF(first.topLeft(), QSizeF(cell_, 20 * cell_)));
    for (int c = 1; c < 20; ++c)
      painter.drawLine(QPointF(first.left(), top_ + c * cell_), QPointF(first.right(), top_ + c * cell_));
  }
  // The outer frame and the centre fold column (柱) with its 魚尾 marks.
  const QRectF frame(CellRect(19, 0).left() - gap, top_ - gap, 20 * pitch_ + gap + fold_, 20 * cell_ + 2 * gap);
  painter.setPen(QPen(kGenkouColor, 0.5));
  painter.drawRect(frame);
  const qreal foldRight = CellRect(kGenkouHalf - 1, 0).left();
  const qreal foldLeft = foldRight - fold_;
  painter.setPen(thin);
  painter.drawLine(QPointF(foldLeft, frame.top()), QPointF(foldLeft, frame.bottom()));
  painter.drawLine(QPointF(foldRight, frame.top()), QPointF(foldRight, frame.bottom()));
  const qreal mid = (foldLeft + foldRight) / 2;
  painter.setBrush(kGenkouColor);
  for (const qreal y : {top_ + 3 * cell_, top_ + 17 * cell_}) {
    QPainterPath fish;
    fish.moveTo(foldLeft, y);
    fish.lineTo(foldRight, y);
    fish.lineTo(foldRight, y + 2);
    fish.lineTo(mid, y + 4);
    fish.lineTo(foldLeft, y + 2);
    fish.closeSubpath();
    painter.drawPath(fish);
  }
  // The sheet number at the foot of the fold column.
  QFont number(QStringLiteral("IPAMincho"));
  number.setPixelSize(3);
  painter.setFont(number);
  painter.setPen(kGenkouColor);
  painter.drawText(QRectF(foldLeft, top_ + 18 * cell_, fold_, 2 * cell_), Qt::AlignCenter,
                   QString::number(page + 1));
  painter.restore();
}

void PageRenderer::Paint(QPainter& painter, const DocumentLayout& layout, int page) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  PaintGrid(painter, page);
  const int first = page * style_.linesPerPage;
  const int last = std::min(first + style_.linesPerPage, layout.LineCount());
  for (int n = first; n < last; ++n) {
    const DocumentLayout::LineRef ref = layout.Locate(n);
    const ParagraphLayout& p = layout.Paragraph(ref.paragraph);
    PaintLine(painter, p, p.lines[size_t(ref.line)], n - first);
  }
  painter.restore();
}

void PageRenderer::PaintLine(QPainter& painter, const ParagraphLayout& p, const Line& line, int column) {
  const qreal em = em_, rubyEm = em_ / 2;
  const QRawFont& raw = shaper_->Font();
  const QString& s = p.text.shown;
  GlyphBatch base, ruby;

  const auto drawRotated = [&](const QString& text, const QRectF& r) {
    // Half-width Latin turned 90° clockwise, centred in its cell.
    const ShapedText& shaped = shaper_->Horizontal(text);
    const qreal baseline = (raw.ascent() - raw.descent()) / 2 / raw.pixelSize() * em;
    painter.save();
    painter.translate(r.center().x(), r.top());
    painter.rotate(90);
    GlyphBatch b;
    b.Add(shaped, QPointF((r.height() - shaped.advance * em) / 2, baseline), em);
    b.Draw(painter, baseFont_);
    painter.restore();
  };

  for (int k = 0; k < line.cellCount; ++k) {
    const Cell& cell = p.cells[size_t(line.firstCell + k)];
    const QRectF r = CellRect(column, k);
    const QString text = s.mid(cell.start, cell.TextEnd() - cell.start);
    if (IsHalfWidthAlnum(text[0].unicode())) {
      if (IsTateChuYoko(s, cell)) {
        const ShapedText& shaped = shaper_->Horizontal(text);
        const qreal w = std::min(shaped.advance * em, cell_);
        const qreal baseline = (raw.ascent() - raw.descent()) / 2 / raw.pixelSize() * em;
        GlyphBatch b;
        // Squeezed to the cell's width when the digits are wider than it.
        painter.save();
        painter.translate(r.center().x() - w / 2, r.center().y() + baseline);
        painter.scale(w / std::max(shaped.advance * em, 1e-6), 1);
        b.Add(shaped, QPointF(0, 0), em);
        b.Draw(painter, baseFont_);
        painter.restore();
      } else {
        drawRotated(text, r);
      }
    } else {
      base.Add(shaper_->Vertical(text), QPointF(r.center().x(), r.top() + (cell_ - em) / 2), em);
    }
    if (cell.hangStart >= 0) {
      // ぶら下げ: below the line's last cell, outside the grid.
      const QRectF below = CellRect(column, k + 1);
      base.Add(shaper_->Vertical(s.mid(cell.hangStart, cell.end - cell.hangStart)),
               QPointF(below.center().x(), below.top() + (cell_ - em) / 2), em);
    }
  }

  // Ruby: the part over this line's share of the base, centred on it.
  if (line.cellCount > 0) {
    const int lineStart = p.cells[size_t(line.firstCell)].start;
    const int lineEnd = p.cells[size_t(line.firstCell + line.cellCount - 1)].TextEnd();
    for (const Ruby& r : p.text.rubies) {
      const int b0 = std::max(r.start, lineStart), b1 = std::min(r.start + r.length, lineEnd);
      if (b0 >= b1) continue;
      const qsizetype len = r.text.size();
      qsizetype t0 = qRound(qreal(b0 - r.start) * len / r.length);
      qsizetype t1 = qRound(qreal(b1 - r.start) * len / r.length);
      if (t0 > 0 && t0 < len && r.text[t0].isLowSurrogate()) ++t0;
      if (t1 > 0 && t1 < len && r.text[t1].isLowSurrogate()) ++t1;
      if (t0 >= t1) continue;
      int c0 = 0, c1 = 0;
      for (int k = 0; k < line.cellCount; ++k) {
        const Cell& cell = p.cells[size_t(line.firstCell + k)];
        if (cell.end <= b0) c0 = k + 1;
        if (cell.start < b1) c1 = k;
      }
      const QRectF top = CellRect(column, c0), bottom = CellRect(column, c1);
      const ShapedText& shaped = shaper_->Vertical(r.text.mid(t0, t1 - t0));
      const qreal centre = (top.top() + bottom.bottom()) / 2;
      ruby.Add(shaped, QPointF(top.right() + (pitch_ - cell_) / 2, centre - shaped.advance * rubyEm / 2),
               rubyEm);
    }
  }
  painter.setPen(Qt::black);
  base.Draw(painter, baseFont_);
  ruby.Draw(painter, rubyFont_);
}

bool PageRenderer::PaintAll(QPagedPaintDevice& device, const DocumentLayout& layout) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  const qreal scale = std::min(device.width() / style_.pageMm.width(), device.height() / style_.pageMm.height());
  const int pages = std::max(layout.PageCount(), 1);
  for (int page = 0; page < pages; ++page) {
    if (page > 0 && !device.newPage()) return false;
    painter.save();
    painter.scale(scale, scale);
    Paint(painter, layout, page);
    painter.restore();
  }
  return painter.end();
}

QString WritePdf(const QString& path, const PageStyle& style, const DocumentLayout& layout,
                 const QString& title) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return QStringLiteral("「%1」に書き込めません。%2").arg(path, file.errorString());
  {
    QPdfWriter pdf(&file);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("ソラメモ"));
    pdf.setResolution(600);
    pdf.setPageLayout(QPageLayout(QPageSize(style.genkou ? QPageSize::A4 : QPageSize::A5),
                                  style.genkou ? QPageLayout::Landscape : QPageLayout::Portrait,
                                  QMarginsF()));
    PageRenderer renderer(style);
    if (!renderer.PaintAll(pdf, layout)) {
      file.cancelWriting();
      return QStringLiteral("「%1」に PDF を書き出せませんでした。").arg(path);
    }
  }
  if (!file.commit()) return QStringLiteral("「%1」に書き込めません。%2").arg(path, file.errorString());
  return {};
}

}  // namespace tategaki
