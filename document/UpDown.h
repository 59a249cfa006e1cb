#pragma once
// A pair of arrows that steps a number shown in a buddy edit, as the size
// arrows of the format toolbar do.
#include <QPointer>
#include <QWidget>

class QLineEdit;

class TUpDown : public QWidget {
  Q_OBJECT
 public:
  enum TUDBtnType { btNext, btPrev };
  Q_ENUM(TUDBtnType)

  explicit TUpDown(QWidget* parent = nullptr);

  // The buddy shows the position after each step, and its number is where the
  // next step starts. Up and Down in the buddy step as the arrows do.
  QLineEdit* Associate() const { return associate_; }
  void SetAssociate(QLineEdit* edit);

  int Min = 0;
  int Max = 100;
  int Increment = 1;
  bool Wrap = false;

  // The position as the control reports it: a 16-bit signed value.
  short GetPosition() const { return position_; }
  void SetPosition(int position);  // kept within Min..Max

  // One step, as a click on an arrow: start from the buddy's number (kept
  // within Min..Max; the last position when the buddy holds no number), move by
  // Increment, stop at the ends (or wrap), show the result, then OnClick.
  void Click(TUDBtnType button);

  QSize sizeHint() const override { return {15, 20}; }

 signals:
  // After every step, also when the position could not move further.
  void OnClick(TUpDown::TUDBtnType button);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  int Clamp(int v) const;
  TUDBtnType ButtonAt(int y) const { return y < height() / 2 ? btNext : btPrev; }

  QPointer<QLineEdit> associate_;
  short position_ = 0;
  int pressed_ = -1;  // the arrow held down, for drawing
};
