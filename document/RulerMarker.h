#pragma once
// An indent marker of the ruler: a small triangle on the button face that the
// user drags along the scale.
#include <QWidget>

#include "platform/Colors.h"

class TRulerMarker : public QWidget {
  Q_OBJECT
 public:
  enum TDirection { Down, Up };  // where the triangle points
  TRulerMarker(TDirection direction, TColor color, QWidget* parent = nullptr);

  TDirection Direction() const { return direction_; }
  TColor Color() const { return color_; }

 signals:
  // X relative to the marker's left edge at the time of the event. Once a
  // button is down, moves and the release reach the marker wherever the
  // pointer goes.
  void OnMouseDown(Qt::MouseButton button, int x);
  void OnMouseMove(int x);
  void OnMouseUp(Qt::MouseButton button);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  TDirection direction_;
  TColor color_;
};
