#pragma once
// TPerformanceGraph: a scrolling plot of up to 16 coloured series per time
// step, as stacked bars or as lines. Everything is drawn on an off-screen
// image; the widget's surface only ever receives a copy of it.
#include <QImage>
#include <QString>
#include <QWidget>
#include <stdexcept>
#include <vector>

#include "platform/Colors.h"

class QPainter;

// Raised by a 17th DataPoint in one time step.
class ERangeError : public std::runtime_error {
 public:
  explicit ERangeError(const QString& text)
      : std::runtime_error(text.toStdString()), text_(text) {}
  const QString& text() const { return text_; }

 private:
  QString text_;
};

// One time step: 33 ints, the point count, then 16 colours, then 16 values.
struct TGraphBand {
  qint32 Count;
  qint32 Colors[16];
  qint32 Values[16];
};
static_assert(sizeof(TGraphBand) == 33 * sizeof(qint32));

// Right and bottom are exclusive, as the drawing arithmetic assumes.
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
};

class TPerformanceGraph : public QWidget {
  Q_OBJECT
 public:
  enum TGraphKind : quint8 { pgBar = 0, pgLine = 1 };
  Q_ENUM(TGraphKind)

 private:
  Q_PROPERTY(TGraphKind Kind READ GetKind WRITE SetGraphKind)
  Q_PROPERTY(TColor ForeColor READ GetForeColor WRITE SetForeColor)
  Q_PROPERTY(TColor BackColor READ GetBackColor WRITE SetBackColor)
  Q_PROPERTY(int GridSize READ GetGridSize WRITE SetGridSize)
  Q_PROPERTY(int StepSize READ GetStepSize WRITE SetStepSize)
  Q_PROPERTY(int Scale READ GetScale WRITE SetScale)
  Q_PROPERTY(int Gradient READ GetGradient WRITE SetGradient)
  Q_PROPERTY(bool Gridlines READ GetGridlines WRITE SetGridlines)
  Q_PROPERTY(int PenWidth READ GetPenWidth WRITE SetPenWidth)

 public:
  static constexpr int MaxPoints = 16;

  explicit TPerformanceGraph(QWidget* owner = nullptr);
  ~TPerformanceGraph() override;

  TGraphKind GetKind() const { return FKind; }
  TColor GetForeColor() const { return FForeColor; }
  TColor GetBackColor() const { return FBackColor; }
  int GetGridSize() const { return FGridSize; }
  int GetStepSize() const { return FStepSize; }
  int GetScale() const { return FScale; }
  int GetGradient() const { return FGradient; }
  bool GetGridlines() const { return FGridlines; }
  int GetPenWidth() const { return FPenWidth; }

  // Time steps that fit across the control.
  int GetBandCount() const;
  // v rounded up to a multiple of g (v itself when g is 0).
  static int RoundUp(int value, int granularity);

  QSize sizeHint() const override { return QSize(100, 100); }

 public slots:
  // Adds a point to the current step; a series is identified by its colour.
  void DataPoint(TColor color, int value);
  // Finishes the current step: scroll, rescale or draw it, start a new one.
  void Update();
  // Repaints from the image; never advances the graph.
  void Refresh();

  void SetGraphKind(TGraphKind value);
  void SetForeColor(TColor value);
  void SetBackColor(TColor value);
  void SetGridSize(int value);
  void SetStepSize(int value);
  void SetScale(int value);
  void SetGradient(int value);
  void SetGridlines(bool value);
  void SetPenWidth(int value);

 public:
  // uic sets a form's properties through set<Property>().
  void setKind(TGraphKind value) { SetGraphKind(value); }
  void setForeColor(TColor value) { SetForeColor(value); }
  void setBackColor(TColor value) { SetBackColor(value); }
  void setGridSize(int value) { SetGridSize(value); }
  void setStepSize(int value) { SetStepSize(value); }
  void setScale(int value) { SetScale(value); }
  void setGradient(int value) { SetGradient(value); }
  void setGridlines(bool value) { SetGridlines(value); }
  void setPenWidth(int value) { SetPenWidth(value); }

 signals:
  void OnScaleChange(QObject* Sender);

 protected:
  void paintEvent(QPaintEvent* event) override;
  virtual void Paint();

 private:
  void Initialize(int firstGridX);
  void ScrollGraph();
  void DisplayPoints(int band);
  void PaintBar(QPainter& canvas, TColor color, qint64 base, qint64 height);
  void PaintLine(QPainter& canvas, TColor color, qint64 previous, qint64 value);
  void Replay();
  void ReallocHistory();

  int FirstY() const { return FFirstBand; }
  int NextY(int index) const;
  int LastY(int index) const;
  int ShiftY();

  TGraphKind FKind = pgLine;
  TColor FForeColor = clGreen;
  TColor FBackColor = clBlack;
  int FGridSize = 15;
  int FStepSize = 3;
  int FScale = 1000;
  int FGradient = 100;
  bool FGridlines = true;
  int FPenWidth = 2;

  QImage FBitmap;
  TRect FFullRect, FScrollSource, FScrollTarget, FNewBand;
  int FGridPhase = 0;
  std::vector<TGraphBand> FHistory;
  int FHistorySize = 0;
  int FFirstBand = 1;
  int FLastBand = 0;
  bool FPainting = false;
};

using TGraphKind = TPerformanceGraph::TGraphKind;
inline constexpr TGraphKind pgBar = TPerformanceGraph::pgBar;
inline constexpr TGraphKind pgLine = TPerformanceGraph::pgLine;

namespace Perfgrap {
// Adds TPerformanceGraph to the form-designer collection.
void Register();
}  // namespace Perfgrap
