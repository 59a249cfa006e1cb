#include "components/Cgrid/Cgrid.h"

#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "components/Registry.h"
#include "platform/ControlDrag.h"

namespace {

const char* const SFG = "FG";
const char* const SBG = "BG";
const char* const SFB = "FB";

// The first twenty entries of the standard system palette. Entries 8 to 11
// are never shown, so they are left black here.
const quint8 DefaultPalette[20][3] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {0, 0, 0},       {0, 0, 0},
    {0, 0, 0},       {0, 0, 0},       {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

// The drawing below mimics rectangle, frame and focus-rectangle primitives
// pixel for pixel. Rectangles are x, y, width, height; the right and bottom
// edges are exclusive.

// Outline in the pen colour, inside in the brush colour.
void Rectangle(QPainter& p, const QRect& r, const QColor& pen, const QColor& brush) {
  if (r.width() <= 0 || r.height() <= 0) return;
  p.fillRect(r, pen);
  if (r.width() > 2 && r.height() > 2) p.fillRect(r.adjusted(1, 1, -1, -1), brush);
}

// Inverts every pixel of the rectangle, outline and inside.
void InvertRectangle(QPainter& p, const QRect& r) {
  if (r.width() <= 0 || r.height() <= 0) return;
  p.save();
  p.setCompositionMode(QPainter::RasterOp_NotDestination);
  p.fillRect(r, Qt::black);
  p.restore();
}

// A sunken (or raised) frame `width` pixels deep: top and left lines in `top`,
// bottom and right lines in `bottom`, the corners top right and bottom left
// going to `bottom`. Shrinks r to what lies inside the frame.
void Frame3D(QPainter& p, QRect& r, const QColor& top, const QColor& bottom, int width) {
  int L = r.left(), T = r.top();
  int R = L + r.width() - 1, B = T + r.height() - 1;
  for (; width > 0; --width) {
    if (R >= L && B >= T) {
      p.fillRect(QRect(L, T, 1, B - T + 1), top);
      if (R > L) p.fillRect(QRect(L, T, R - L, 1), top);
      if (B > T) p.fillRect(QRect(R, T, 1, B - T), bottom);
      p.fillRect(QRect(L, B, R - L + 1, 1), bottom);
    }
    ++L, ++T, --R, --B;
  }
  r = QRect(L, T, R - L + 1, B - T + 1);
}

// The dotted focus rectangle: every other pixel of the outline inverted.
void DrawFocusRect(QPainter& p, const QRect& r) {
  if (r.width() <= 0 || r.height() <= 0) return;
  const int L = r.left(), T = r.top(), R = L + r.width() - 1, B = T + r.height() - 1;
  p.save();
  p.setCompositionMode(QPainter::RasterOp_NotDestination);
  auto dot = [&p](int x, int y) {
    if (((x + y) & 1) == 0) p.fillRect(QRect(x, y, 1, 1), Qt::black);
  };
  for (int x = L; x <= R; ++x) {
    dot(x, T);
    if (B != T) dot(x, B);
  }
  for (int y = T + 1; y < B; ++y) {
    dot(L, y);
    if (R != L) dot(R, y);
  }
  p.restore();
}

bool IsSquare(int index) { return index >= 0 && index <= 15; }

}  // namespace

TCColorGrid::TCColorGrid(QWidget* owner) : QWidget(owner) {
  setFocusPolicy(Qt::NoFocus);  // TabStop starts false
  setMouseTracking(true);       // OnMouseMove without a button held
  setAcceptDrops(true);
  resize(100, 100);
  for (int i = 0; i < 20; ++i)
    FPalette[i] = {DefaultPalette[i][0], DefaultPalette[i][1], DefaultPalette[i][2], 0};
}

TColor TCColorGrid::SquareColor(int index) const {
  if (!IsSquare(index)) return NoColor;
  const TPaletteEntry& e = FPalette[index < 8 ? index : index + 4];
  return TColor(e.peRed) | (TColor(e.peGreen) << 8) | (TColor(e.peBlue) << 16);
}

TColor TCColorGrid::GetForegroundColor() const { return SquareColor(FForegroundIndex); }

TColor TCColorGrid::GetBackgroundColor() const { return SquareColor(FBackgroundIndex); }

QRect TCColorGrid::CellRect(int index) const {
  if (!IsSquare(index)) return QRect();
  const int w = CellWidth(), h = CellHeight();
  return QRect((index % FColumns) * w, (index / FColumns) * h, w, h);
}

void TCColorGrid::UpdateCellSizes(bool redraw) {
  // The control shrinks to a whole multiple of the squares, so that they fill it.
  resize((width() / FColumns) * FColumns, (height() / FRows) * FRows);
  if (redraw) update();
}

int TCColorGrid::SquareFromPos(int X, int Y) const {
  const int w = CellWidth(), h = CellHeight();
  if (w <= 0 || h <= 0) return -1;
  X = std::clamp(X, 0, width() - 1);
  Y = std::clamp(Y, 0, height() - 1);
  // When the size could not be rounded (size limits, layouts) a position may
  // lie beyond the last square; it counts as the last one.
  const int col = std::min(X / w, FColumns - 1);
  const int row = std::min(Y / h, FRows - 1);
  return row * FColumns + col;
}

void TCColorGrid::DrawSquare(QPainter& p, int index, bool highlight) const {
  if (!IsSquare(index)) return;
  QRect r = CellRect(index);
  const QColor colour = ToQColor(SquareColor(index));
  QColor pen = Qt::black;
  if (FCtl3D) {
    const QPalette& pal = palette();
    Rectangle(p, r, ToQColor(clBtnFace), ToQColor(clBtnFace));
    r = r.adjusted(1, 1, -1, -1);
    Frame3D(p, r, pal.color(QPalette::Dark), pal.color(QPalette::Light), 2);
    pen = colour;
  }
  if (!highlight) {
    Rectangle(p, r, pen, colour);
  } else if (FCtl3D) {
    Rectangle(p, r, pen, colour);
    DrawFocusRect(p, r.adjusted(1, 1, -1, -1));
  } else {
    InvertRectangle(p, r);
    Rectangle(p, r.adjusted(2, 2, -2, -2), Qt::black, colour);
  }
}

void TCColorGrid::DrawFgBg(QPainter& p) const {
  p.save();
  p.setBackgroundMode(Qt::TransparentMode);
  auto marker = [this, &p](int index, const char* text) {
    if (!IsSquare(index)) return;
    // Black on light squares, white on dark ones, per channel.
    const TColor c = SquareColor(index);
    auto flip = [](TColor v) { return (v & 0xFF) >= 128 ? 0 : 255; };
    p.setPen(QColor(flip(c), flip(c >> 8), flip(c >> 16)));
    p.drawText(CellRect(index), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip,
               QString::fromLatin1(text));
  };
  const bool same = FForegroundIndex == FBackgroundIndex;
  if (FForegroundEnabled)
    marker(FForegroundIndex, same && FBackgroundEnabled ? SFB : SFG);
  if (FBackgroundEnabled)
    marker(FBackgroundIndex, same && FForegroundEnabled ? SFB : SBG);
  p.restore();
}

void TCColorGrid::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  // Only seen when the size could not be rounded to whole squares.
  p.fillRect(event->rect(), ToQColor(clBtnFace));
  p.setFont(font());
  for (int row = 0; row < FRows; ++row)
    for (int col = 0; col < FColumns; ++col) {
      const int index = row * FColumns + col;
      if (event->region().intersects(CellRect(index))) DrawSquare(p, index, false);
    }
  DrawSquare(p, FSelection, FFocused);
  DrawFgBg(p);
}

void TCColorGrid::RedrawSquare(int index) {
  // The next paint draws the square, the selection and the markers over it
  // again, just as drawing the square and then the markers would.
  if (IsSquare(index)) update(CellRect(index));
}

void TCColorGrid::resizeEvent(QResizeEvent*) { UpdateCellSizes(false); }

void TCColorGrid::SetCtl3D(bool value) {
  if (value == FCtl3D) return;
  FCtl3D = value;
  update();
}

void TCColorGrid::SetGridOrdering(TGridOrdering value) {
  // An ordinal beyond go1x16 would give no columns at all.
  if (value == FGridOrdering || value > go1x16) return;
  FGridOrdering = value;
  FColumns = 16 >> int(value);
  FRows = 1 << int(value);
  UpdateCellSizes(true);
}

void TCColorGrid::SetSelection(int value) {
  if (value == FSelection) return;
  RedrawSquare(FSelection);
  FSelection = value;
  RedrawSquare(FSelection);
}

void TCColorGrid::SetForegroundIndex(int value) {
  if (value == FForegroundIndex || !FForegroundEnabled) return;
  RedrawSquare(FForegroundIndex);
  FForegroundIndex = value;
  RedrawSquare(FForegroundIndex);
  Change();
}

void TCColorGrid::SetBackgroundIndex(int value) {
  if (value == FBackgroundIndex || !FBackgroundEnabled) return;
  RedrawSquare(FBackgroundIndex);
  FBackgroundIndex = value;
  RedrawSquare(FBackgroundIndex);
  Change();
}

void TCColorGrid::EnableForeground(bool value) {
  if (value == FForegroundEnabled) return;
  FForegroundEnabled = value;
  RedrawSquare(FForegroundIndex);
}

void TCColorGrid::EnableBackground(bool value) {
  if (value == FBackgroundEnabled) return;
  FBackgroundEnabled = value;
  RedrawSquare(FBackgroundIndex);
}

void TCColorGrid::SetTabStop(bool value) {
  FTabStop = value;
  // A press takes the focus itself (see mousePressEvent), after picking.
  setFocusPolicy(value ? Qt::TabFocus : Qt::NoFocus);
}

void TCColorGrid::EnableForegroundOnClick() {
  if (FForegroundEnabled || !FClickEnablesColor) return;
  FForegroundEnabled = true;
  RedrawSquare(FForegroundIndex);
  // Whatever square comes next is a change and raises OnChange.
  FForegroundIndex = -1;
}

void TCColorGrid::EnableBackgroundOnClick() {
  if (FBackgroundEnabled || !FClickEnablesColor) return;
  FBackgroundEnabled = true;
  RedrawSquare(FBackgroundIndex);
  FBackgroundIndex = -1;
}

void TCColorGrid::Change() { emit OnChange(this); }

void TCColorGrid::Click() { emit OnClick(); }

void TCColorGrid::keyPressEvent(QKeyEvent* event) {
  emit OnKeyDown(event->key(), event->modifiers());
  if (QChar key = controldrag::Typed(event); !key.isNull()) emit OnKeyPress(key);
  const int N = FColumns * FRows;
  const int S = FSelection;
  const bool keypad = event->modifiers() & Qt::KeypadModifier;
  int next = S;
  switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Space:
      next = S == N - 1 ? 0 : S + 1;
      break;
    case Qt::Key_Left:
      next = S == 0 ? N - 1 : S - 1;
      break;
    case Qt::Key_Down:
      if (S + FColumns < N)
        next = S + FColumns;
      else if (S == N - 1)
        next = 0;
      else
        next = S % FColumns + 1;  // top of the next column
      break;
    case Qt::Key_Up:
      if (S >= FColumns)
        next = S - FColumns;
      else if (S != 0)
        next = N - FColumns + S - 1;  // bottom of the previous column
      else
        next = N - 1;
      break;
    case Qt::Key_Home:
      next = 0;
      break;
    case Qt::Key_End:
      next = N - 1;
      break;
    case Qt::Key_6:
    case Qt::Key_2:
    case Qt::Key_F:
    case Qt::Key_B: {
      const bool digit = event->key() == Qt::Key_6 || event->key() == Qt::Key_2;
      if (digit && !keypad) {
        QWidget::keyPressEvent(event);
        return;
      }
      if (event->key() == Qt::Key_F || event->key() == Qt::Key_6) {
        EnableForegroundOnClick();
        SetForegroundIndex(S);
      } else {
        EnableBackgroundOnClick();
        SetBackgroundIndex(S);
      }
      SetSelection(S);
      Click();
      break;
    }
    default:
      QWidget::keyPressEvent(event);  // not ours: the parent may want it
      return;
  }
  event->accept();
  if (next != FSelection) SetSelection(next);
}

void TCColorGrid::keyReleaseEvent(QKeyEvent* event) {
  emit OnKeyUp(event->key(), event->modifiers());
  QWidget::keyReleaseEvent(event);
}

void TCColorGrid::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  emit OnMouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
  FDragButton = event->button();
  FDragging = true;
  // Any button keeps the mouse while it is held (Qt's implicit grab), so the
  // background drag needs no capture of its own.
  const int square = SquareFromPos(pos.x(), pos.y());
  if (square < 0) return;  // too small to hold the squares
  if (FDragButton == Qt::LeftButton) {
    EnableForegroundOnClick();
    SetForegroundIndex(square);
  } else {
    EnableBackgroundOnClick();
    SetBackgroundIndex(square);
  }
  SetSelection(square);
  if (FTabStop) setFocus(Qt::MouseFocusReason);
}

void TCColorGrid::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  emit OnMouseMove(event->modifiers(), pos.x(), pos.y());
  if (!FDragging) return;
  const int square = SquareFromPos(pos.x(), pos.y());
  if (square < 0) return;
  if (FDragButton == Qt::LeftButton)
    SetForegroundIndex(square);
  else
    SetBackgroundIndex(square);
  SetSelection(square);
}

void TCColorGrid::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  // A left press and release over the control is a click.
  if (event->button() == Qt::LeftButton && FDragButton == Qt::LeftButton && FDragging &&
      rect().contains(pos))
    Click();
  emit OnMouseUp(event->button(), event->modifiers(), pos.x(), pos.y());
  FDragging = false;
}

void TCColorGrid::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  FFocused = true;
  RedrawSquare(FSelection);
  emit OnEnter();
}

void TCColorGrid::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  FFocused = false;
  RedrawSquare(FSelection);
  emit OnExit();
}

static void InitCgridResources() { Q_INIT_RESOURCE(cgrid); }

namespace Cgrid {

void Register() {
  InitCgridResources();
  RegisterComponents(LoadStr(101),
                     {TComponentClass{QStringLiteral("TCColorGrid"),
                                      QStringLiteral("components/Cgrid/Cgrid.h"),
                                      QStringLiteral(":/icons/cgrid_TCColorGrid.png"),
                                      QStringLiteral("16色の前景色・背景色グリッド"),
                                      [](QWidget* parent) -> QWidget* {
                                        return new TCColorGrid(parent);
                                      }}});
}

}  // namespace Cgrid

void TCColorGrid::BeginDrag() {
  emit OnStartDrag();
  const controldrag::End end = controldrag::Run(this);
  emit OnEndDrag(end.target, end.at.x(), end.at.y());
}

void TCColorGrid::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void TCColorGrid::dragMoveEvent(QDragMoveEvent* event) {
  controldrag::DragOver(this, event, isSignalConnected(QMetaMethod::fromSignal(&TCColorGrid::OnDragOver)));
}

void TCColorGrid::dropEvent(QDropEvent* event) { controldrag::Drop(this, event); }
