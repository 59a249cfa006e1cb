// Builds and runs with the components library alone: a gauge at 40 % draws.
#include <QApplication>
#include <QImage>

#include "components/Cgauges/Cgauges.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TCGauge gauge;
  gauge.resize(100, 20);
  gauge.SetProgress(40);
  const QImage image = gauge.grab().toImage();
  return gauge.GetPercentDone() == 40 && !image.isNull() ? 0 : 1;
}
