#pragma once
// Vertical pages: 原稿用紙 sheets or plain pages, drawn from a DocumentLayout
// with glyphs shaped top to bottom. Painter units are millimetres on the page.
#include <QColor>
#include <QRawFont>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>

#include "tategaki/Genkou.h"

class QPainter;
class QPagedPaintDevice;

namespace tategaki {

class Shaper;

struct PageStyle {
  bool genkou = true;     // 原稿用紙 grid, else a plain page
  int cellsPerLine = 20;  // characters a line
  int linesPerPage = 20;
  QSizeF pageMm{297, 210};

  static PageStyle Genkou() { return {}; }
  // A5 portrait with the given number of characters and lines.
  static PageStyle Plain(int cellsPerLine = 40, int linesPerPage = 16);
};

// The traditional colour of the grid.
inline const QColor kGenkouColor{0xC0, 0x4A, 0x2C};

class PageRenderer {
 public:
  // font at any size; an invalid font means the default one.
  explicit PageRenderer(const PageStyle& style, const QRawFont& font = QRawFont());
  ~PageRenderer();

  const PageStyle& Style() const { return style_; }
  // The cell of the given column (0 the rightmost) and cell (0 the top) of a page.
  QRectF CellRect(int column, int cell) const;
  qreal CellSize() const { return cell_; }

  // Paints page `page` of the layout (which must use the style's grid) into
  // a painter whose units are millimetres with (0,0) the page's top left.
  void Paint(QPainter& painter, const DocumentLayout& layout, int page);
  // Every page of the layout, one page of the device each. Returns false when
  // the device could not be painted on.
  bool PaintAll(QPagedPaintDevice& device, const DocumentLayout& layout);

 private:
  void PaintGrid(QPainter& painter, int page);
  void PaintLine(QPainter& painter, const ParagraphLayout& p, const Line& line, int column);

  PageStyle style_;
  qreal cell_ = 0;   // side of a cell in mm
  qreal pitch_ = 0;  // from one column to the next
  qreal right_ = 0;  // right edge of the rightmost column's cell
  qreal top_ = 0;
  qreal fold_ = 0;   // width of the centre fold column (原稿用紙)
  qreal em_ = 0;     // the text's size
  QRawFont baseFont_, rubyFont_;
  std::unique_ptr<Shaper> shaper_;
};

// Writes the layout's pages as a PDF through a temporary file, so an existing
// file is only replaced by a complete one. Returns an error text, empty on success.
QString WritePdf(const QString& path, const PageStyle& style, const DocumentLayout& layout,
                 const QString& title);

}  // namespace tategaki
