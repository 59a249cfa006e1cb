#pragma once
// Small set-up steps the forms share.
#include <QFont>
#include <QString>
#include <QWidget>

// The forms give their fonts in pixels.
inline QFont PixelFont(const QString& family, int pixels, bool bold = false, bool italic = false) {
  QFont f(family);
  f.setPixelSize(pixels);
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

// A hint has a short part (the tip) and a long part (the status line).
inline void SetHint(QWidget* w, const QString& shortPart, const QString& longPart) {
  w->setToolTip(shortPart);
  w->setStatusTip(longPart);
}
