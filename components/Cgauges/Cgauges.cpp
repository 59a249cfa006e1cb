#include "components/Cgauges/Cgauges.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "components/Registry.h"

const char* const SOutOfRange = "値は %lld から %lld の範囲で指定してください。";

EOutOfRange::EOutOfRange(qint64 low, qint64 high)
    : std::runtime_error(QString::asprintf(SOutOfRange, low, high).toStdString()),
      text_(QString::asprintf(SOutOfRange, low, high)),
      low_(low),
      high_(high) {}

namespace {

// An off-screen bitmap the size of another. Its first step paints every
// pixel (the background), so it is not cleared here.
class TBltBitmap : public QImage {
 public:
  void MatchSize(const QImage& templ) { QImage::operator=(QImage(templ.size(), QImage::Format_RGB32)); }
};

void FillRect(QImage& bitmap, int left, int top, int right, int bottom, const QColor& c) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, bitmap.width());
  bottom = std::min(bottom, bitmap.height());
  if (right <= left || bottom <= top) return;
  if (bitmap.format() != QImage::Format_RGB32) {
    QPainter p(&bitmap);
    p.fillRect(QRect(left, top, right - left, bottom - top), c);
    return;
  }
  // Written straight into the rows: the gauge fills several rectangles on
  // every repaint, and a painter for each costs more than the pixels.
  const QRgb pixel = 0xFF000000u | c.rgb();
  const qsizetype stride = bitmap.bytesPerLine();
  uchar* bits = bitmap.bits();
  QRgb* first = reinterpret_cast<QRgb*>(bits + top * stride) + left;
  std::fill(first, first + (right - left), pixel);
  // The other rows copy the first: the library copy moves wide words, where
  // the compiler fills pixel by pixel.
  for (int y = top + 1; y < bottom; ++y)
    std::memcpy(reinterpret_cast<QRgb*>(bits + y * stride) + left, first, (right - left) * sizeof(QRgb));
}

// The pixel box of an ellipse bounded by (left, top, right, bottom), right and
// bottom exclusive, for aliased drawing with a one-pixel pen.
QRect EllipseBox(int left, int top, int right, int bottom) {
  return QRect(left, top, right - left - 1, bottom - top - 1);
}

// Visits the pixels of a line from a to b; the end pixel only when withEnd.
template <typename Visit>
void Line(QPoint a, QPoint b, bool withEnd, Visit visit) {
  int x = a.x(), y = a.y();
  const int dx = std::abs(b.x() - x), sx = x < b.x() ? 1 : -1;
  const int dy = -std::abs(b.y() - y), sy = y < b.y() ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    const bool last = x == b.x() && y == b.y();
    if (!last || withEnd) visit(x, y);
    if (last) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

// MoveTo/LineTo: the end pixel is left for the next segment.
void LineTo(QImage& img, QPoint a, QPoint b, const QColor& c) {
  const QRgb rgb = c.rgb();
  Line(a, b, false, [&](int x, int y) {
    if (img.rect().contains(x, y)) img.setPixel(x, y, rgb);
  });
}

// The wedge of the ellipse from the radial through start counter-clockwise to
// the radial through end, filled with brush and outlined with pen; equal
// radials give the whole ellipse. The wedge is cut from the whole ellipse
// pixel by pixel, so its arc lies on exactly the pixels of the dial's outline.
void DrawPie(QImage& img, int left, int top, int right, int bottom, QPoint start, QPoint end,
             const QColor& pen, const QColor& brush) {
  const QRect box = EllipseBox(left, top, right, bottom);
  if (box.width() < 0 || box.height() < 0) return;
  QImage whole(img.size(), QImage::Format_ARGB32_Premultiplied);
  whole.fill(Qt::transparent);
  {
    QPainter p(&whole);
    p.setPen(QPen(pen, 0));
    p.setBrush(brush);
    p.drawEllipse(box);
  }
  const double cx = box.x() + box.width() / 2.0, cy = box.y() + box.height() / 2.0;
  auto direction = [&](double x, double y) { return std::atan2(cy - y, x - cx); };
  const double from = direction(start.x(), start.y());
  double span = direction(end.x(), end.y()) - from;
  while (span <= 0) span += 2 * M_PI;
  // Neighbouring start and end pixels leave a sliver narrower than a pixel
  // open; it must not show as a stray dot (the full gauge is one of these).
  const QPoint gap = end - start;
  const bool full = std::abs(gap.x()) <= 1 && std::abs(gap.y()) <= 1 && span > M_PI;
  // A pixel belongs to the wedge when its direction from the centre lies
  // counter-clockwise between the two radials (y upwards), radials included.
  const double sx = start.x() - cx, sy = cy - start.y();
  const double ex = end.x() - cx, ey = cy - end.y();
  auto inWedge = [&](double vx, double vy) {
    const double afterStart = sx * vy - sy * vx;  // >= 0: not clockwise of start
    const double beforeEnd = vx * ey - vy * ex;   // >= 0: not counter-clockwise of end
    if (span <= M_PI) return afterStart >= -1e-9 && beforeEnd >= -1e-9;
    return afterStart >= -1e-9 || beforeEnd >= -1e-9;
  };
  const QRect area = box.adjusted(0, 0, 1, 1) & img.rect();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const QRgb* src = reinterpret_cast<const QRgb*>(whole.constScanLine(y));
    QRgb* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      if (qAlpha(src[x]) == 0) continue;
      if (full || inWedge(x - cx, cy - y)) dst[x] = src[x];
    }
  }
  if (full) return;
  // The two radials, from the centre to the outline.
  const double a = box.width() / 2.0, b = box.height() / 2.0;
  auto edge = [&](double t) {
    const double ct = std::cos(t), st = std::sin(t);
    const double d = std::sqrt(a * a * st * st + b * b * ct * ct);
    const double r = d > 0 ? a * b / d : 0;
    return QPoint(int(std::lround(cx + r * ct)), int(std::lround(cy - r * st)));
  };
  const QPoint centre(int(std::lround(cx)), int(std::lround(cy)));
  // Only inside the outline: a rounded end may fall a pixel beyond it.
  auto radial = [&](int x, int y) {
    if (img.rect().contains(x, y) && qAlpha(whole.pixel(x, y)) != 0) img.setPixel(x, y, pen.rgb());
  };
  Line(centre, edge(from), true, radial);
  Line(centre, edge(from + span), true, radial);
}

}  // namespace

TCGauge::TCGauge(QWidget* owner) : QWidget(owner) {
  // Every pixel is painted here, so the parent need not erase behind it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(100, 100);
}

int TCGauge::GetPercentDone() const {
  // 64-bit, so that offset x 100 cannot overflow and any int range works.
  const qint64 range = qint64(FMaxValue) - FMinValue;
  if (range == 0) return 0;
  const qint64 n = (qint64(FCurValue) - FMinValue) * 100;
  qint64 q = n / range;
  if ((n % range != 0) && ((n < 0) != (range < 0))) --q;
  return int(q);
}

void TCGauge::Refresh() { repaint(); }

void TCGauge::SeTCGaugeKind(TCGaugeKind value) {
  if (value == FKind) return;
  FKind = value;
  Refresh();
}

void TCGauge::SetShowText(bool value) {
  if (value == FShowText) return;
  FShowText = value;
  Refresh();
}

void TCGauge::SetBorderStyle(TFormBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  Refresh();
}

void TCGauge::SetForeColor(TColor value) {
  if (value == FForeColor) return;
  FForeColor = value;
  Refresh();
}

void TCGauge::SetBackColor(TColor value) {
  if (value == FBackColor) return;
  FBackColor = value;
  Refresh();
}

void TCGauge::SetColor(TColor value) {
  if (value == FColor && !FParentColor) return;
  FColor = value;
  FParentColor = false;
  Refresh();
}

void TCGauge::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  Refresh();
}

void TCGauge::SetMinValue(int value) {
  if (value == FMinValue) return;
  // The bounds are reported in 64 bits: MaxValue - 1 may lie below INT_MIN.
  if (value > FMaxValue) throw EOutOfRange(-2147483647, qint64(FMaxValue) - 1);
  FMinValue = value;
  if (FCurValue < value) FCurValue = value;
  Refresh();
}

void TCGauge::SetMaxValue(int value) {
  if (value == 0) return;
  if (value < FMinValue) throw EOutOfRange(qint64(FMinValue) + 1, 2147483647);
  FMaxValue = value;
  if (FCurValue > value) FCurValue = value;
  Refresh();
}

void TCGauge::SetProgress(int value) {
  const int old = GetPercentDone();
  if (value < FMinValue)
    value = FMinValue;
  else if (value > FMaxValue)
    value = FMaxValue;
  if (value == FCurValue) return;
  FCurValue = value;
  // Small steps over a wide range would otherwise repaint the same picture.
  if (GetPercentDone() != old) Refresh();
}

void TCGauge::AddProgress(int value) {
  // The sum saturates instead of wrapping; SetProgress clamps it to the range.
  const qint64 sum = qint64(FCurValue) + value;
  SetProgress(int(std::clamp<qint64>(sum, std::numeric_limits<int>::min(),
                                     std::numeric_limits<int>::max())));
  Refresh();
}

QColor TCGauge::EffectiveColor() const {
  // The palette carries the parent's background down to its children.
  return FParentColor ? palette().color(QPalette::Window) : ToQColor(FColor);
}

void TCGauge::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::PaletteChange || e->type() == QEvent::FontChange) update();
}

void TCGauge::paintEvent(QPaintEvent*) {
  QPainter canvas(this);
  Paint(canvas);
}

void TCGauge::Paint(QPainter& canvas) {
  const QImage image = RenderImage();
  if (image.isNull()) return;
  canvas.setCompositionMode(QPainter::CompositionMode_Source);
  canvas.drawImage(0, 0, image);
}

QImage TCGauge::RenderImage() const {
  const int w = width(), h = height();
  if (w <= 0 || h <= 0) return QImage();

  TRect r{0, 0, w, h};
  if (FBorderStyle == bsSingle) r = TRect{1, 1, w - 1, h - 1};

  // The kinds draw on a black overlay that is then XORed onto a black image:
  // the result is the overlay itself, so it is drawn in place. The margin
  // outside R stays black and is the frame.
  if (image_.size() != QSize(w, h)) image_ = QImage(w, h, QImage::Format_RGB32);
  QImage& image = image_;
  // Every kind covers R first, so of the black background only the frame
  // around R is left to paint.
  FillRect(image, 0, 0, w, r.Top, Qt::black);
  FillRect(image, 0, r.Bottom, w, h, Qt::black);
  FillRect(image, 0, r.Top, r.Left, r.Bottom, Qt::black);
  FillRect(image, r.Right, r.Top, w, r.Bottom, Qt::black);
  switch (FKind) {
    case gkText: PaintAsNothing(image, r); break;
    case gkHorizontalBar:
    case gkVerticalBar: PaintAsBar(image, r); break;
    case gkPie: PaintAsPie(image, r); break;
    case gkNeedle: PaintAsNeedle(image, r); break;
    // A kind from a newer form or a bad cast: black, not what was drawn before.
    default: FillRect(image, r.Left, r.Top, r.Right, r.Bottom, Qt::black); break;
  }

  if (FShowText) PaintAsText(image, r);
  return image;
}

void TCGauge::PaintBackground(QImage& bitmap) const {
  FillRect(bitmap, 0, 0, width(), height(), Qt::black);
}

void TCGauge::PaintAsNothing(QImage& overlay, const TRect& r) const {
  FillRect(overlay, r.Left, r.Top, r.Right, r.Bottom, ToQColor(FBackColor));
}

void TCGauge::PaintAsBar(QImage& overlay, const TRect& r) const {
  const int W = r.Right - r.Left + 1;
  const int H = r.Bottom - r.Top + 1;
  const QColor fore = ToQColor(FForeColor);
  // The bar's far edges are the lengths themselves, not offsets from R's
  // corner: with a frame the full bar covers R exactly, without one it runs a
  // pixel past the edge, where the bitmap clips it.
  if (FKind == gkHorizontalBar) {
    int x = GetPercentDone() * W / 100;
    if (x > W) x = W;
    // The bar and the rest of R, each painted once.
    if (x > 0) FillRect(overlay, r.Left, r.Top, x, H, fore);
    FillRect(overlay, std::max(r.Left, x), r.Top, r.Right, r.Bottom, ToQColor(FBackColor));
  } else {
    FillRect(overlay, r.Left, r.Top, r.Right, r.Bottom, ToQColor(FBackColor));
    int y = GetPercentDone() * H / 100;
    if (y >= H) y = H - 1;
    FillRect(overlay, r.Left, H - y, W, H, fore);
  }
}

void TCGauge::PaintAsPie(QImage& overlay, const TRect& r) const {
  int W = r.Right - r.Left, H = r.Bottom - r.Top;
  if (FBorderStyle == bsSingle) {
    ++W;
    ++H;
  }
  FillRect(overlay, r.Left, r.Top, r.Right, r.Bottom, EffectiveColor());
  const QColor fore = ToQColor(FForeColor);
  // The outlined dial: a wedge from a point to itself is the whole ellipse.
  DrawPie(overlay, r.Left, r.Top, W, H, QPoint(0, 0), QPoint(0, 0), fore, ToQColor(FBackColor));
  const int percent = GetPercentDone();
  if (percent <= 0) return;
  const int halfW = W / 2, halfH = H / 2;
  const double a = (percent * 0.02 + 0.5) * M_PI;
  const QPoint start(int(std::floor((1 - std::cos(a)) * halfW)),
                     int(std::floor((1 - std::sin(a)) * halfH)));
  DrawPie(overlay, r.Left, r.Top, W, H, start, QPoint(halfW, 0), fore, fore);
}

void TCGauge::PaintAsNeedle(QImage& overlay, const TRect& r) const {
  const int L = r.Left, T = r.Top;
  int W = r.Right - r.Left, H = r.Bottom - r.Top;
  if (FBorderStyle == bsSingle) {
    ++W;
    ++H;
  }
  FillRect(overlay, r.Left, r.Top, r.Right, r.Bottom, EffectiveColor());
  const QColor fore = ToQColor(FForeColor);
  // The upper half of an ellipse twice the area's height: a half dial whose
  // flat side lies on the row above R's bottom edge.
  DrawPie(overlay, L, T, W, 2 * H - 1, QPoint(L + W, r.Bottom - 1), QPoint(L, r.Bottom - 1), fore,
          ToQColor(FBackColor));
  LineTo(overlay, QPoint(L, r.Bottom), QPoint(L + W, r.Bottom), fore);
  const int percent = GetPercentDone();
  if (percent <= 0) return;
  // The pivot is in the middle of the control, not of R.
  const int M = width() / 2;
  const double a = percent * 0.01 * M_PI;
  LineTo(overlay, QPoint(M, r.Bottom - 1),
         QPoint(int(std::floor((1 - std::cos(a)) * M)),
                int(std::floor((1 - std::sin(a)) * (r.Bottom - 1)))),
         fore);
}

void TCGauge::PaintAsText(QImage& image, const TRect& r) const {
  TBltBitmap overlay;
  overlay.MatchSize(image);
  PaintBackground(overlay);
  const QString s = QString::number(GetPercentDone()) + QLatin1Char('%');
  {
    QPainter p(&overlay);
    // Glyphs must be pure white: a grey edge would not XOR to the complement.
    QFont f = font();
    f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
    p.setPen(Qt::white);
    p.setBrush(Qt::NoBrush);
    const QFontMetrics fm = p.fontMetrics();
    const int x = (r.Right - r.Left + 1 - fm.horizontalAdvance(s)) / 2;
    const int y = (r.Bottom - r.Top + 1 - fm.height()) / 2;
    p.setClipRect(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    p.drawText(x, y + fm.ascent(), s);
  }
  QPainter p(&image);
  p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  p.drawImage(0, 0, overlay);
}

// Resources of a static library are linked in only when referenced.
static void InitCgaugesResources() { Q_INIT_RESOURCE(cgauges); }

namespace Cgauges {
void Register() {
  InitCgaugesResources();
  RegisterComponents(LoadStr(101),
                     {TComponentClass{QStringLiteral("TCGauge"),
                                      QStringLiteral("components/Cgauges/Cgauges.h"),
                                      QStringLiteral(":/icons/cgauges_TCGauge.png"),
                                      QStringLiteral("ゲージ"),
                                      [](QWidget* parent) { return new TCGauge(parent); }}});
}
}  // namespace Cgauges
