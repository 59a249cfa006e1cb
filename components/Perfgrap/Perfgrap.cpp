#include "components/Perfgrap/Perfgrap.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <climits>
#include <cstring>

#include "components/Registry.h"

namespace {

// The text of the full-step error (string 102 of the original platform).
const char* const SFullBand = "1ステップに追加できるデータ点は16個までです。";

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// Truncates toward zero. A user-set Scale far below the data can put values
// miles off the image; pinning keeps them usable coordinates.
int Truncate(double v) {
  constexpr double limit = 1 << 24;
  return int(std::clamp(v, -limit, limit));
}

}  // namespace

TPerformanceGraph::TPerformanceGraph(QWidget* owner) : QWidget(owner) {
  // Opaque: every paint covers the whole control with the image.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  resize(100, 100);
  FHistorySize = GetBandCount() + 2;
  FHistory.assign(size_t(FHistorySize), TGraphBand{});
  FFirstBand = 1;
  FLastBand = 0;
  FGridPhase = 0;
  Initialize(FGridSize - 1);
}

TPerformanceGraph::~TPerformanceGraph() = default;

int TPerformanceGraph::GetBandCount() const { return std::max(0, width()) / FStepSize; }

int TPerformanceGraph::RoundUp(int value, int granularity) {
  if (granularity == 0) return value;
  // 64-bit, so that neither INT_MIN % -1 nor the step past INT_MAX overflows.
  const qint64 v = value, g = granularity;
  if (v % g == 0) return value;
  return int(std::clamp<qint64>((v / g + 1) * g, INT_MIN, INT_MAX));
}

int TPerformanceGraph::NextY(int index) const {
  int n = index + 1;
  if (n >= FHistorySize) n = 0;
  return n == FFirstBand ? -1 : n;
}

int TPerformanceGraph::LastY(int index) const { return index == 0 ? FHistorySize - 1 : index - 1; }

int TPerformanceGraph::ShiftY() {
  int n = FLastBand + 1;
  if (n >= FHistorySize) n = 0;
  FHistory[size_t(n)].Count = 0;
  FFirstBand = n + 1 >= FHistorySize ? 0 : n + 1;
  FLastBand = n;
  return n;
}

void TPerformanceGraph::DataPoint(TColor color, int value) {
  TGraphBand& band = FHistory[size_t(FLastBand)];
  if (band.Count >= MaxPoints) throw ERangeError(QString::fromUtf8(SFullBand));
  band.Colors[band.Count] = qint32(color);
  band.Values[band.Count] = value;
  ++band.Count;
}

void TPerformanceGraph::Update() {
  ScrollGraph();
  ShiftY();
  int m = 0;
  for (int b = FirstY(); b != -1; b = NextY(b)) {
    const TGraphBand& band = FHistory[size_t(b)];
    for (int i = 0; i < band.Count; ++i) m = std::max(m, band.Values[i]);
  }
  const int s = RoundUp(m, FGradient);
  if (s != FScale) {
    SetScale(s);  // replays everything, the finished step included
  } else {
    DisplayPoints(LastY(FLastBand));
    Refresh();
  }
}

void TPerformanceGraph::Refresh() {
  // A replay during paint needs no second paint.
  if (!FPainting) QWidget::update();
}

void TPerformanceGraph::Initialize(int firstGridX) {
  const int w = std::max(0, width()), h = std::max(0, height());
  if (FBitmap.width() != w || FBitmap.height() != h) FBitmap = QImage(w, h, QImage::Format_RGB32);
  FFullRect = {0, 0, w, h};
  const qint64 g = FGridSize;
  if (!FBitmap.isNull()) {
    QPainter canvas(&FBitmap);
    canvas.fillRect(ToQRect(FFullRect), ToQColor(FBackColor));
    if (FGridlines) {
      canvas.setPen(QPen(ToQColor(FForeColor), 1));
      for (qint64 y = g; y < h; y += g) canvas.drawLine(0, int(y), w - 1, int(y));
      for (qint64 x = firstGridX; x < w; x += g)
        if (x >= 0) canvas.drawLine(int(x), 0, int(x), h - 1);
    }
  }
  if (FGridlines) {
    qint64 first = firstGridX;  // the first x that reaches the width
    if (first < w) first += (w - first + g - 1) / g * g;
    FGridPhase = int(first - w);
  }
  FNewBand = {w - FStepSize, 0, w, h};
  FScrollTarget = {0, 0, w - FStepSize, h};
  FScrollSource = {FStepSize, 0, w, h};
}

void TPerformanceGraph::ScrollGraph() {
  const int w = FFullRect.Right, h = FFullRect.Bottom;
  if (FBitmap.isNull()) {
    if (FGridlines) {
      FGridPhase -= FStepSize;
      if (FGridPhase < 0) FGridPhase = int((qint64(FGridPhase) % FGridSize + FGridSize) % FGridSize);
    }
    return;
  }
  const int keep = FScrollSource.Width();
  if (keep > 0) {
    const int bytes = FBitmap.depth() / 8;
    for (int y = 0; y < h; ++y) {
      uchar* line = FBitmap.scanLine(y);
      std::memmove(line + qsizetype(FScrollTarget.Left) * bytes,
                   line + qsizetype(FScrollSource.Left) * bytes, qsizetype(keep) * bytes);
    }
  }
  QPainter canvas(&FBitmap);
  canvas.fillRect(ToQRect(FNewBand), ToQColor(FBackColor));
  if (FGridlines) {
    canvas.setPen(QPen(ToQColor(FForeColor), 1));
    const int left = std::max(0, FNewBand.Left), right = FNewBand.Right - 1;
    for (qint64 y = FGridSize; y < FNewBand.Bottom; y += FGridSize)
      canvas.drawLine(left, int(y), right, int(y));
    FGridPhase -= FStepSize;
    // A step wider than the grid passes more than one grid line; lines left of
    // the image are skipped without drawing.
    if (FGridPhase < -w) FGridPhase += int((qint64(-w) - FGridPhase) / FGridSize * FGridSize);
    while (FGridPhase < 0) {
      const int x = w + FGridPhase;
      if (x >= 0) canvas.drawLine(x, 0, x, h - 1);
      FGridPhase += FGridSize;
    }
  }
}

void TPerformanceGraph::DisplayPoints(int b) {
  if (FBitmap.isNull() || b < 0 || b >= FHistorySize) return;
  const TGraphBand& band = FHistory[size_t(b)];
  if (band.Count <= 0) return;
  const TGraphBand& previous = FHistory[size_t(LastY(b))];
  QPainter canvas(&FBitmap);
  // Each step owns its strip, so a wide pen cannot smear into its neighbours.
  canvas.setClipRect(ToQRect(FNewBand));
  qint64 p = 0;
  for (int i = 0; i < band.Count; ++i) {
    const qint64 value = band.Values[i];
    if (value == 0) continue;
    const TColor color = TColor(band.Colors[i]);
    if (FKind == pgBar) {
      PaintBar(canvas, color, p, value - p);
    } else {
      qint64 q = 0;
      for (int j = 0; j < previous.Count; ++j) {
        if (previous.Colors[j] == band.Colors[i]) {
          q = previous.Values[j];
          break;
        }
      }
      PaintLine(canvas, color, q, value);
    }
    p = value;
  }
}

void TPerformanceGraph::PaintBar(QPainter& canvas, TColor color, qint64 base, qint64 height) {
  // A scale of 0 or less has no positive range to draw in.
  if (height == 0 || FScale <= 0) return;
  const int H = FFullRect.Height(), B = FFullRect.Bottom;
  const int h = Truncate(double(height) / FScale * H);
  const int hb = Truncate(double(base) / FScale * H);
  // A falling level (a negative height) covers nothing.
  if (h <= 0) return;
  canvas.fillRect(ToQRect({FNewBand.Left, B - hb - h - 1, FNewBand.Right, B - hb}), ToQColor(color));
}

void TPerformanceGraph::PaintLine(QPainter& canvas, TColor color, qint64 previous, qint64 value) {
  if (FScale <= 0) return;
  const int H = FFullRect.Height(), B = FFullRect.Bottom;
  const int y1 = Truncate(H * (double(value) / FScale));
  const int y0 = Truncate(H * (double(previous) / FScale));
  QPen pen(ToQColor(color), std::max(1, FPenWidth));
  pen.setCapStyle(Qt::FlatCap);
  canvas.setPen(pen);
  canvas.drawLine(FNewBand.Left, B - y0, FNewBand.Right, B - y1);
}

void TPerformanceGraph::Replay() {
  // A size change that no paint has seen yet must not leave the ring behind.
  if (FHistorySize != GetBandCount() + 2) ReallocHistory();
  const qint64 g = FGridSize;
  Initialize(int(((qint64(width()) + FGridPhase) % g + g) % g));
  const TRect saved = FNewBand;
  const int w = FFullRect.Right;
  // The newest finished step ends at the right edge, as Update draws it.
  qint64 x = w % FStepSize;
  for (int b = NextY(FirstY()); b != -1 && x < w; b = NextY(b)) {
    FNewBand.Left = int(x);
    x += FStepSize;
    FNewBand.Right = int(std::min<qint64>(x, INT_MAX));
    DisplayPoints(b);
  }
  FNewBand = saved;
  Refresh();
}

void TPerformanceGraph::ReallocHistory() {
  const int n = GetBandCount() + 2;
  std::vector<TGraphBand> ring(size_t(n), TGraphBand{});
  const int kept = std::min(n, FHistorySize);
  int b = FFirstBand;
  for (int skip = FHistorySize - kept; skip > 0; --skip) b = b + 1 >= FHistorySize ? 0 : b + 1;
  // The kept steps go to the end, newest last, so that a grown ring reads as
  // empty old steps followed by the data, and the ring stays full.
  for (int i = n - kept; i < n; ++i) {
    ring[size_t(i)] = FHistory[size_t(b)];
    b = b + 1 >= FHistorySize ? 0 : b + 1;
  }
  FHistory.swap(ring);
  FHistorySize = n;
  FFirstBand = 0;
  FLastBand = n - 1;
}

void TPerformanceGraph::Paint() {
  // A changed size replays, and the replay resizes the ring when needed.
  if (FFullRect.Right != std::max(0, width()) || FFullRect.Bottom != std::max(0, height())) Replay();
  QPainter canvas(this);
  canvas.drawImage(0, 0, FBitmap);
}

void TPerformanceGraph::paintEvent(QPaintEvent*) {
  FPainting = true;
  Paint();
  FPainting = false;
}

void TPerformanceGraph::SetGraphKind(TGraphKind value) {
  if (value == FKind) return;
  FKind = value;
  Replay();
}

void TPerformanceGraph::SetForeColor(TColor value) {
  if (value == FForeColor) return;
  FForeColor = value;
  Replay();
}

void TPerformanceGraph::SetBackColor(TColor value) {
  if (value == FBackColor) return;
  FBackColor = value;
  Replay();
}

void TPerformanceGraph::SetGridSize(int value) {
  if (value == FGridSize) return;
  FGridSize = std::max(2, value);
  Replay();
}

void TPerformanceGraph::SetStepSize(int value) {
  if (value == FStepSize) return;
  FStepSize = std::max(1, value);
  ReallocHistory();
  Replay();
}

void TPerformanceGraph::SetScale(int value) {
  if (value == FScale) return;
  FScale = RoundUp(value, FGradient);
  emit OnScaleChange(this);
  Replay();
}

void TPerformanceGraph::SetGradient(int value) {
  if (value == FGradient) return;
  FGradient = value;
  Replay();
}

void TPerformanceGraph::SetGridlines(bool value) {
  if (value == FGridlines) return;
  FGridlines = value;
  Replay();
}

void TPerformanceGraph::SetPenWidth(int value) {
  if (value == FPenWidth) return;
  FPenWidth = value;
  Replay();
}

// Resources of a static library are linked in only when referenced.
static void InitPerfgrapResources() { Q_INIT_RESOURCE(perfgrap); }

namespace Perfgrap {
void Register() {
  InitPerfgrapResources();
  RegisterComponents(LoadStr(101),
                     {TComponentClass{QStringLiteral("TPerformanceGraph"),
                                      QStringLiteral("components/Perfgrap/Perfgrap.h"),
                                      QStringLiteral(":/icons/perfgrap_TPerformanceGraph.xpm"),
                                      QStringLiteral("パフォーマンスグラフ"),
                                      [](QWidget* parent) { return new TPerformanceGraph(parent); }}});
}
}  // namespace Perfgrap
