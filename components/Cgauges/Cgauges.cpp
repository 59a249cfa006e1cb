#include "components/Cgauges/Cgauges.h"

#include <QPainter>

const char* const SOutOfRange = "%lld - %lld";

EOutOfRange::EOutOfRange(qint64 low, qint64 high)
    : std::runtime_error(QString::asprintf(SOutOfRange, low, high).toStdString()),
      text_(QString::asprintf(SOutOfRange, low, high)), low_(low), high_(high) {}

TCGauge::TCGauge(QWidget* owner) : QWidget(owner) { resize(100, 100); }
int TCGauge::GetPercentDone() const { return 0; }
void TCGauge::SeTCGaugeKind(TCGaugeKind v) { FKind = v; }
void TCGauge::SetShowText(bool v) { FShowText = v; }
void TCGauge::SetBorderStyle(TFormBorderStyle v) { FBorderStyle = v; }
void TCGauge::SetForeColor(TColor v) { FForeColor = v; }
void TCGauge::SetBackColor(TColor v) { FBackColor = v; }
void TCGauge::SetMinValue(int v) { FMinValue = v; }
void TCGauge::SetMaxValue(int v) { FMaxValue = v; }
void TCGauge::SetProgress(int v) { FCurValue = v; }
void TCGauge::SetColor(TColor v) { FColor = v; }
void TCGauge::SetParentColor(bool v) { FParentColor = v; }
void TCGauge::AddProgress(int v) { SetProgress(FCurValue + v); }
QImage TCGauge::RenderImage() const { return QImage(); }
void TCGauge::paintEvent(QPaintEvent*) { QPainter p(this); Paint(p); }
void TCGauge::changeEvent(QEvent* e) { QWidget::changeEvent(e); }
void TCGauge::Paint(QPainter&) {}
void TCGauge::Refresh() { repaint(); }
QColor TCGauge::EffectiveColor() const { return QColor(); }
void TCGauge::PaintBackground(QImage&) const {}
void TCGauge::PaintAsText(QImage&, const QRect&) const {}
void TCGauge::PaintAsNothing(QImage&, const QRect&) const {}
void TCGauge::PaintAsBar(QImage&, const QRect&) const {}
void TCGauge::PaintAsPie(QImage&, const QRect&) const {}
void TCGauge::PaintAsNeedle(QImage&, const QRect&) const {}

namespace Cgauges {
void Register() {}
}  // namespace Cgauges
