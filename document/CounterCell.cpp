#include "document/CounterCell.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

#include "platform/Colors.h"

TCounterCell::TCounterCell(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  setFrame(false);
  setCursor(Qt::ArrowCursor);
  setFocusPolicy(Qt::NoFocus);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
  f.setPixelSize(12);
  f.setBold(true);
  setFont(f);
  setTextMargins(0, 0, 0, 0);
  setContentsMargins(0, 0, 0, 0);
  QPalette pal = palette();
  pal.setColor(QPalette::Base, Qt::black);
  setPalette(pal);
  setAutoFillBackground(true);
  setStyleSheet(QStringLiteral("QLineEdit { border: none; padding: 0px; margin: 0px; background: black; }"));
  SetFontColor(clWhite);
}

void TCounterCell::SetFontColor(quint32 color) {
  if (color == color_ && palette().color(QPalette::Text) == ToQColor(color)) return;
  color_ = color;
  QPalette pal = palette();
  pal.setColor(QPalette::Text, ToQColor(color));
  setPalette(pal);
}

void TCounterCell::mousePressEvent(QMouseEvent* e) {
  QLineEdit::mousePressEvent(e);
  if (e->button() == Qt::LeftButton) pressed_ = true;
  emit OnMouseDown();
}

void TCounterCell::mouseReleaseEvent(QMouseEvent* e) {
  QLineEdit::mouseReleaseEvent(e);
  const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
  pressed_ = false;
  deselect();
  if (click) emit OnClick();
}

void TCounterCell::mouseDoubleClickEvent(QMouseEvent*) {
  // The second press came on its own already: its release is no second click,
  // and the cell selects no word.
  pressed_ = false;
}

void TCounterCell::contextMenuEvent(QContextMenuEvent* e) {
  // The cells carry the window's empty menu: a right click shows nothing.
  e->accept();
}
