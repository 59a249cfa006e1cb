#pragma once
// Colours travel as 0x00BBGGRR, the encoding the stored forms and callers use.
#include <QColor>
#include <QtGlobal>

using TColor = quint32;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000,
                 clOlive = 0x008080, clNavy = 0x800000, clPurple = 0x800080,
                 clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0,
                 clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clWhite = 0xFFFFFF;

// System colours: the high byte marks them; they resolve through the palette.
constexpr TColor clWindow = 0x80000005, clWindowText = 0x80000008,
                 clBtnFace = 0x8000000F, clAppWorkSpace = 0x8000000C,
                 clHighlight = 0x8000000D, clHighlightText = 0x8000000E;

QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);
