#pragma once
// TCGauge: a progress gauge drawn off-screen and combined by XOR, so that the
// percentage stays readable over both the filled and the empty part.
#include <QImage>
#include <QString>
#include <QWidget>
#include <stdexcept>

#include "platform/Colors.h"

class QPainter;

// Raised when MinValue would pass MaxValue or the other way round; the
// message names the accepted bounds, lower first.
class EOutOfRange : public std::runtime_error {
 public:
  EOutOfRange(qint64 low, qint64 high);
  const QString& text() const { return text_; }
  qint64 Low() const { return low_; }
  qint64 High() const { return high_; }

 private:
  QString text_;
  qint64 low_, high_;
};

// printf template with two integer placeholders, lower bound first.
extern const char* const SOutOfRange;

class TCGauge : public QWidget {
  Q_OBJECT
 public:
  // Stored as an int: a form from a newer version may hold a kind this one
  // does not know, and it must draw (black) rather than be undefined.
  enum TCGaugeKind : int { gkText = 0, gkHorizontalBar = 1, gkVerticalBar = 2, gkPie = 3, gkNeedle = 4 };
  Q_ENUM(TCGaugeKind)
  enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
  Q_ENUM(TFormBorderStyle)

 private:
  // Published, in the order a form loads them: the range before Progress.
  Q_PROPERTY(TColor Color READ GetColor WRITE SetColor)
  Q_PROPERTY(TCGaugeKind Kind READ GetKind WRITE SeTCGaugeKind)
  Q_PROPERTY(bool ShowText READ GetShowText WRITE SetShowText)
  Q_PROPERTY(TFormBorderStyle BorderStyle READ GetBorderStyle WRITE SetBorderStyle)
  Q_PROPERTY(TColor ForeColor READ GetForeColor WRITE SetForeColor)
  Q_PROPERTY(TColor BackColor READ GetBackColor WRITE SetBackColor)
  Q_PROPERTY(int MinValue READ GetMinValue WRITE SetMinValue)
  Q_PROPERTY(int MaxValue READ GetMaxValue WRITE SetMaxValue)
  Q_PROPERTY(bool ParentColor READ GetParentColor WRITE SetParentColor)
  Q_PROPERTY(int Progress READ GetProgress WRITE SetProgress)
  Q_PROPERTY(int PercentDone READ GetPercentDone)

 public:
  explicit TCGauge(QWidget* owner = nullptr);

  int GetMinValue() const { return FMinValue; }
  int GetMaxValue() const { return FMaxValue; }
  int GetProgress() const { return FCurValue; }
  TCGaugeKind GetKind() const { return FKind; }
  bool GetShowText() const { return FShowText; }
  TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
  TColor GetForeColor() const { return FForeColor; }
  TColor GetBackColor() const { return FBackColor; }
  TColor GetColor() const { return FColor; }
  bool GetParentColor() const { return FParentColor; }
  int GetPercentDone() const;

  void SeTCGaugeKind(TCGaugeKind value);
  void SetShowText(bool value);
  void SetBorderStyle(TFormBorderStyle value);
  void SetForeColor(TColor value);
  void SetBackColor(TColor value);
  void SetMinValue(int value);
  void SetMaxValue(int value);
  void SetProgress(int value);
  // The control's own colour (around the pie and the dial). Setting it stops
  // taking the parent's colour.
  void SetColor(TColor value);
  void SetParentColor(bool value);

  // The whole drawing as it reaches the screen, at the gauge's current size.
  QImage RenderImage() const;

  QSize sizeHint() const override { return QSize(100, 100); }

 public slots:
  void AddProgress(int value);

 protected:
  void paintEvent(QPaintEvent*) override;
  void changeEvent(QEvent* e) override;
  // Draws the gauge on its own area; called for every paint event.
  virtual void Paint(QPainter& canvas);
  void Refresh();

 private:
  // Rectangles as (left, top, right, bottom), right and bottom exclusive.
  struct TRect {
    int Left, Top, Right, Bottom;
  };
  QColor EffectiveColor() const;
  void PaintBackground(QImage& bitmap) const;
  void PaintAsText(QImage& image, const TRect& r) const;
  void PaintAsNothing(QImage& overlay, const TRect& r) const;
  void PaintAsBar(QImage& overlay, const TRect& r) const;
  void PaintAsPie(QImage& overlay, const TRect& r) const;
  void PaintAsNeedle(QImage& overlay, const TRect& r) const;

  int FMinValue = 0;
  int FMaxValue = 100;
  int FCurValue = 0;
  TCGaugeKind FKind = gkHorizontalBar;
  bool FShowText = true;
  TFormBorderStyle FBorderStyle = bsSingle;
  TColor FForeColor = clBlack;
  TColor FBackColor = clWhite;
  TColor FColor = clBtnFace;
  bool FParentColor = true;
  // The last drawing, drawn over again in place: a fresh bitmap for each of
  // the splash's hundred steps cost more than the drawing itself.
  mutable QImage image_;
};

using TCGaugeKind = TCGauge::TCGaugeKind;

namespace Cgauges {
// Adds TCGauge to the form-designer collection.
void Register();
}  // namespace Cgauges
