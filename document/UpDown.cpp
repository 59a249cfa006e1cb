#include "document/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TUpDown::SetAssociate(QLineEdit* edit) {
  if (associate_) associate_->removeEventFilter(this);
  associate_ = edit;
  if (associate_) {
    associate_->installEventFilter(this);
    associate_->setText(QString::number(position_));
  }
}

int TUpDown::Clamp(int v) const {
  const int lo = std::min(Min, Max), hi = std::max(Min, Max);
  return std::clamp(v, lo, hi);
}

void TUpDown::SetPosition(int position) {
  const short p = short(Clamp(position));
  if (p == position_) return;
  position_ = p;
  if (associate_) associate_->setText(QString::number(position_));
}

void TUpDown::Click(TUDBtnType button) {
  if (associate_) {
    QString text = associate_->text().trimmed();
    text.remove(QLatin1Char(','));
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok) position_ = short(Clamp(v));
  }
  const int lo = std::min(Min, Max), hi = std::max(Min, Max);
  int next = position_ + (button == btNext ? Increment : -Increment);
  if (next > hi) next = Wrap ? lo : hi;
  if (next < lo) next = Wrap ? hi : lo;
  position_ = short(next);
  // Also when the position held: the field may show a number beyond the range.
  if (associate_ && associate_->text() != QString::number(position_))
    associate_->setText(QString::number(position_));
  emit OnClick(button);
}

void TUpDown::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int half = height() / 2;
  const QRect rects[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
  for (int i = 0; i < 2; ++i) {
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = rects[i];
    button.state |= pressed_ == i ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &p, this);
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = rects[i].adjusted(3, 2, -3, -2).translated(pressed_ == i ? 1 : 0, pressed_ == i ? 1 : 0);
    style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                           &arrow, &p, this);
  }
}

void TUpDown::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const TUDBtnType b = ButtonAt(int(e->position().y()));
  pressed_ = b == btNext ? 0 : 1;
  update();
  // The arrow acts on the press, as a spin arrow does.
  Click(b);
}

void TUpDown::mouseReleaseEvent(QMouseEvent*) {
  pressed_ = -1;
  update();
}

bool TUpDown::eventFilter(QObject* watched, QEvent* e) {
  // The type first: the edit sends events while it is being destroyed, when
  // the guarded pointer can no longer be read as a line edit.
  if (e->type() == QEvent::KeyPress && watched == associate_) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Click(key == Qt::Key_Up ? btNext : btPrev);
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}
