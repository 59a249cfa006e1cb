#include "document/RulerMarker.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

TRulerMarker::TRulerMarker(TDirection direction, TColor color, QWidget* parent)
    : QWidget(parent), direction_(direction), color_(color) {
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(clBtnFace));
  setPalette(pal);
}

void TRulerMarker::paintEvent(QPaintEvent*) {
  // A solid triangle five rows high, centred, its point toward the scale:
  // rows 10, 8, 6, 4 and 2 pixels wide about the marker's middle.
  QPainter p(this);
  const int rows = 5;
  const int mid = width() / 2;
  const int top = (height() - rows) / 2 + (direction_ == Down ? 1 : 0);
  for (int r = 0; r < rows; ++r) {
    const int half = direction_ == Down ? rows - r : r + 1;
    p.fillRect(mid - half, top + r, 2 * half, 1, ToQColor(color_));
  }
}

void TRulerMarker::mousePressEvent(QMouseEvent* e) {
  emit OnMouseDown(e->button(), int(std::floor(e->position().x())));
}

void TRulerMarker::mouseMoveEvent(QMouseEvent* e) {
  emit OnMouseMove(int(std::floor(e->position().x())));
}

void TRulerMarker::mouseReleaseEvent(QMouseEvent* e) {
  emit OnMouseUp(e->button());
}
