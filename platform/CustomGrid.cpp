#include "platform/CustomGrid.h"

#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "platform/ControlDrag.h"

TCustomGrid::TCustomGrid(QWidget* parent) : QFrame(parent) {
  FOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  UpdateFrame();
  resize(320, 120);
}

void TCustomGrid::UpdateFrame() {
  if (FBorderStyle == bsNone) {
    setFrameStyle(QFrame::NoFrame);
  } else if (FCtl3D) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
  } else {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
  }
  update();
}

void TCustomGrid::ClampCurrent() {
  FCol = std::clamp(FCol, FFixedCols, FColCount - 1);
  FRow = std::clamp(FRow, FFixedRows, FRowCount - 1);
  FAnchorCol = std::clamp(FAnchorCol, FFixedCols, FColCount - 1);
  FAnchorRow = std::clamp(FAnchorRow, FFixedRows, FRowCount - 1);
}

void TCustomGrid::SetColCount(int value) {
  value = std::max(value, 1);
  if (value == FColCount) return;
  FColCount = value;
  FFixedCols = std::min(FFixedCols, FColCount - 1);
  ClampCurrent();
  update();
}

void TCustomGrid::SetRowCount(int value) {
  value = std::max(value, 1);
  if (value == FRowCount) return;
  FRowCount = value;
  FFixedRows = std::min(FFixedRows, FRowCount - 1);
  ClampCurrent();
  update();
}

void TCustomGrid::SetFixedCols(int value) {
  // At least one column stays movable, so the current cell always has a place.
  value = std::clamp(value, 0, FColCount - 1);
  if (value == FFixedCols) return;
  FFixedCols = value;
  ClampCurrent();
  update();
}

void TCustomGrid::SetFixedRows(int value) {
  value = std::clamp(value, 0, FRowCount - 1);
  if (value == FFixedRows) return;
  FFixedRows = value;
  ClampCurrent();
  update();
}

void TCustomGrid::SetDefaultColWidth(int value) {
  value = std::max(value, 0);
  if (value == FDefaultColWidth) return;
  FDefaultColWidth = value;
  update();
}

void TCustomGrid::SetDefaultRowHeight(int value) {
  value = std::max(value, 0);
  if (value == FDefaultRowHeight) return;
  FDefaultRowHeight = value;
  update();
}

void TCustomGrid::SetGridLineWidth(int value) {
  value = std::max(value, 0);
  if (value == FGridLineWidth) return;
  FGridLineWidth = value;
  update();
}

void TCustomGrid::SetCol(int value) {
  if (value != FCol) MoveColRow(value, FRow, true, true);
}

void TCustomGrid::SetRow(int value) {
  if (value != FRow) MoveColRow(FCol, value, true, true);
}

void TCustomGrid::SetOptions(TGridOptions value) {
  if (value == FOptions) return;
  FOptions = value;
  if (!(FOptions & goRangeSelect)) {
    FAnchorCol = FCol;
    FAnchorRow = FRow;
  }
  update();
}

void TCustomGrid::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  UpdateFrame();
}

void TCustomGrid::SetCtl3D(bool value) {
  if (value == FCtl3D) return;
  FCtl3D = value;
  UpdateFrame();
}

void TCustomGrid::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  update();
}

void TCustomGrid::SetTabStop(bool value) {
  if (value == FTabStop) return;
  FTabStop = value;
  setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

int TCustomGrid::ColLeft(int ACol) const {
  return contentsRect().left() + ACol * (FDefaultColWidth + FGridLineWidth);
}

int TCustomGrid::RowTop(int ARow) const {
  return contentsRect().top() + ARow * (FDefaultRowHeight + FGridLineWidth);
}

QRect TCustomGrid::CellRect(int ACol, int ARow) const {
  return QRect(ColLeft(ACol), RowTop(ARow), FDefaultColWidth, FDefaultRowHeight);
}

bool TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
  ACol = ARow = -1;
  const QRect client = contentsRect();
  if (!client.contains(X, Y)) return false;
  const int colStep = FDefaultColWidth + FGridLineWidth;
  const int rowStep = FDefaultRowHeight + FGridLineWidth;
  if (colStep <= 0 || rowStep <= 0) return false;
  const int dx = X - client.left(), dy = Y - client.top();
  const int c = dx / colStep, r = dy / rowStep;
  if (c >= FColCount || r >= FRowCount) return false;
  if (dx - c * colStep >= FDefaultColWidth || dy - r * rowStep >= FDefaultRowHeight)
    return false;
  ACol = c;
  ARow = r;
  return true;
}

QRect TCustomGrid::Selection() const {
  return QRect(QPoint(std::min(FCol, FAnchorCol), std::min(FRow, FAnchorRow)),
               QPoint(std::max(FCol, FAnchorCol), std::max(FRow, FAnchorRow)));
}

bool TCustomGrid::IsFixed(int ACol, int ARow) const {
  return ACol < FFixedCols || ARow < FFixedRows;
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
  Q_UNUSED(Show);
  if (ACol < FFixedCols || ARow < FFixedRows || ACol >= FColCount || ARow >= FRowCount)
    return;
  if (!SelectCell(ACol, ARow)) return;
  FCol = ACol;
  FRow = ARow;
  if (MoveAnchor || !(FOptions & goRangeSelect)) {
    FAnchorCol = FCol;
    FAnchorRow = FRow;
  }
  update();
  Click();
}

bool TCustomGrid::SelectCell(int, int) { return true; }

void TCustomGrid::Click() { emit OnClick(); }

void TCustomGrid::DrawCell(QPainter&, int, int, const QRect&, TGridDrawState) {}

void TCustomGrid::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter p(this);
  const QRect client = contentsRect();
  p.setClipRect(client);
  const QPalette& pal = palette();
  const QColor background = ToQColor(FColor);
  p.fillRect(client, background);

  const QColor fixedFace = ToQColor(clBtnFace);
  const QColor fixedLine = pal.color(QPalette::Dark);
  const QColor cellLine = pal.color(QPalette::Mid);
  const QRect sel = Selection();
  const bool focused = hasFocus();
  const int L = FGridLineWidth;

  for (int r = 0; r < FRowCount; ++r) {
    for (int c = 0; c < FColCount; ++c) {
      const QRect cell = CellRect(c, r);
      if (cell.left() > client.right() || cell.top() > client.bottom()) continue;
      const bool fixed = IsFixed(c, r);
      const bool vline = fixed ? (FOptions & goFixedVertLine) : (FOptions & goVertLine);
      const bool hline = fixed ? (FOptions & goFixedHorzLine) : (FOptions & goHorzLine);
      const QColor line = fixed ? fixedLine : cellLine;
      if (L > 0) {
        p.fillRect(QRect(cell.left() + FDefaultColWidth, cell.top(), L, FDefaultRowHeight + L),
                   vline ? line : background);
        p.fillRect(QRect(cell.left(), cell.top() + FDefaultRowHeight, FDefaultColWidth, L),
                   hline ? line : background);
      }

      TGridDrawState state;
      if (fixed) state |= gdFixed;
      if (!fixed && sel.contains(c, r)) state |= gdSelected;
      const bool isCurrent = c == FCol && r == FRow;
      if (isCurrent && focused) state |= gdFocused;

      QColor face, text;
      if (fixed) {
        face = fixedFace;
        text = pal.color(QPalette::ButtonText);
      } else if ((state & gdSelected) &&
                 (!(state & gdFocused) || (FOptions & goDrawFocusSelected))) {
        face = pal.color(QPalette::Highlight);
        text = pal.color(QPalette::HighlightedText);
      } else {
        face = background;
        text = pal.color(QPalette::Text);
      }
      p.fillRect(cell, face);
      p.save();
      p.setBrush(face);
      p.setPen(text);
      p.setFont(font());
      DrawCell(p, c, r, cell, state);
      p.restore();

      if (fixed && FCtl3D && cell.width() > 1 && cell.height() > 1) {
        // A raised edge sets the headings apart from the cells below.
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(cell.topLeft(), cell.topRight());
        p.drawLine(cell.topLeft(), cell.bottomLeft());
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(cell.bottomLeft(), cell.bottomRight());
        p.drawLine(cell.topRight(), cell.bottomRight());
      }
      if (isCurrent && focused && cell.width() > 1 && cell.height() > 1) {
        p.setPen(QPen(text, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(cell.adjusted(0, 0, -1, -1));
      }
    }
  }
}

void TCustomGrid::keyPressEvent(QKeyEvent* event) {
  emit OnKeyDown(event->key(), event->modifiers());
  if (QChar key = controldrag::Typed(event); !key.isNull()) emit OnKeyPress(key);
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const bool extend = (event->modifiers() & Qt::ShiftModifier) && (FOptions & goRangeSelect);
  int c = FCol, r = FRow;
  switch (event->key()) {
    case Qt::Key_Left: c = std::max(FCol - 1, FFixedCols); break;
    case Qt::Key_Right: c = std::min(FCol + 1, FColCount - 1); break;
    case Qt::Key_Up: r = std::max(FRow - 1, FFixedRows); break;
    case Qt::Key_Down: r = std::min(FRow + 1, FRowCount - 1); break;
    // Nothing scrolls, so a page is the whole grid.
    case Qt::Key_PageUp: r = FFixedRows; break;
    case Qt::Key_PageDown: r = FRowCount - 1; break;
    case Qt::Key_Home:
      c = FFixedCols;
      if (ctrl) r = FFixedRows;
      break;
    case Qt::Key_End:
      c = FColCount - 1;
      if (ctrl) r = FRowCount - 1;
      break;
    default:
      QFrame::keyPressEvent(event);
      return;
  }
  event->accept();
  if (c != FCol || r != FRow) MoveColRow(c, r, !extend, true);
}

void TCustomGrid::keyReleaseEvent(QKeyEvent* event) {
  emit OnKeyUp(event->key(), event->modifiers());
  QFrame::keyReleaseEvent(event);
}

void TCustomGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (FTabStop) setFocus(Qt::MouseFocusReason);
  int c, r;
  const QPoint pos = event->position().toPoint();
  if (!MouseToCell(pos.x(), pos.y(), c, r) || IsFixed(c, r)) return;
  FSelecting = true;
  const bool extend = (event->modifiers() & Qt::ShiftModifier) && (FOptions & goRangeSelect);
  MoveColRow(c, r, !extend, true);
}

void TCustomGrid::mouseMoveEvent(QMouseEvent* event) {
  if (!FSelecting || !(event->buttons() & Qt::LeftButton)) return;
  int c, r;
  const QPoint pos = event->position().toPoint();
  if (!MouseToCell(pos.x(), pos.y(), c, r) || IsFixed(c, r)) return;
  if (c != FCol || r != FRow) MoveColRow(c, r, false, false);
}

void TCustomGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) FSelecting = false;
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click arrives only as this event.
  mousePressEvent(event);
  emit OnDblClick();
}

void TCustomGrid::focusInEvent(QFocusEvent* event) {
  QFrame::focusInEvent(event);
  update();
  emit OnEnter();
}

void TCustomGrid::focusOutEvent(QFocusEvent* event) {
  QFrame::focusOutEvent(event);
  update();
  emit OnExit();
}

void TCustomGrid::BeginDrag() {
  const bool dock = FDragKind == dkDock;
  if (dock) emit OnStartDock();
  else emit OnStartDrag();
  const controldrag::End end = controldrag::Run(this);
  if (dock) emit OnEndDock(end.target, end.at.x(), end.at.y());
  else emit OnEndDrag(end.target, end.at.x(), end.at.y());
}

void TCustomGrid::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void TCustomGrid::dragMoveEvent(QDragMoveEvent* event) {
  controldrag::DragOver(this, event, isSignalConnected(QMetaMethod::fromSignal(&TCustomGrid::OnDragOver)));
}

void TCustomGrid::dropEvent(QDropEvent* event) { controldrag::Drop(this, event); }
