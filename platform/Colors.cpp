#include "platform/Colors.h"

#include <QGuiApplication>
#include <QPalette>

QColor ToQColor(TColor c) {
  if (c & 0x80000000u) {
    const QPalette pal = QGuiApplication::palette();
    switch (c) {
      case clWindow: return pal.color(QPalette::Base);
      case clWindowText: return pal.color(QPalette::Text);
      case clBtnFace: return pal.color(QPalette::Button);
      case clAppWorkSpace: return QColor(0xAB, 0xAB, 0xAB);
      case clHighlight: return pal.color(QPalette::Highlight);
      case clHighlightText: return pal.color(QPalette::HighlightedText);
      default: return pal.color(QPalette::Window);
    }
  }
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

TColor FromQColor(const QColor& c) {
  const QColor rgb = c.toRgb();
  return TColor(rgb.red()) | (TColor(rgb.green()) << 8) | (TColor(rgb.blue()) << 16);
}
