#pragma once
// HarfBuzz shaping over a QRawFont's own tables, so that any installed font's
// vertical forms (vert/vrt2) are used. Results are in em units and cached per
// text: a novel repeats a few thousand characters.
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

struct hb_font_t;

namespace tategaki {

struct ShapedText {
  QList<quint32> glyphs;
  QList<QPointF> positions;  // glyph origins in em, y down
  qreal advance = 0;         // in em, along the direction of writing
};

class Shaper {
 public:
  explicit Shaper(const QRawFont& font);
  ~Shaper();
  Shaper(const Shaper&) = delete;
  Shaper& operator=(const Shaper&) = delete;

  bool IsValid() const { return font_ != nullptr; }
  const QRawFont& Font() const { return raw_; }

  // Top to bottom: origin at the top of the column's centre line.
  const ShapedText& Vertical(const QString& text);
  // Left to right: origin at the start of the baseline.
  const ShapedText& Horizontal(const QString& text);

 private:
  ShapedText Shape(const QString& text, bool vertical) const;

  QRawFont raw_;
  hb_font_t* font_ = nullptr;
  QHash<QString, ShapedText> vertical_;
  QHash<QString, ShapedText> horizontal_;
};

// IPA Mincho when it is installed, else the system's serif font, at pixel size 1.
QRawFont DefaultFont();

}  // namespace tategaki
