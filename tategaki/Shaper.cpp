#include "tategaki/Shaper.h"

#include <QFont>
#include <hb-ot.h>
#include <hb.h>

namespace tategaki {

namespace {

// HarfBuzz asks for the tables one by one; Qt hands out each as a QByteArray
// that the blob keeps alive.
hb_blob_t* ReferenceTable(hb_face_t*, hb_tag_t tag, void* user) {
  const auto* raw = static_cast<const QRawFont*>(user);
  const char name[5] = {char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag), 0};
  auto* data = new QByteArray(raw->fontTable(name));
  if (data->isEmpty()) {
    delete data;
    return nullptr;
  }
  return hb_blob_create(data->constData(), unsigned(data->size()), HB_MEMORY_MODE_READONLY, data,
                        [](void* d) { delete static_cast<QByteArray*>(d); });
}

}  // namespace

Shaper::Shaper(const QRawFont& font) : raw_(font) {
  if (!raw_.isValid()) return;
  // The face reads through its own copy of the font, which lives as long as it.
  auto* owned = new QRawFont(raw_);
  hb_face_t* face = hb_face_create_for_tables(ReferenceTable, owned,
                                              [](void* f) { delete static_cast<QRawFont*>(f); });
  hb_face_set_upem(face, unsigned(raw_.unitsPerEm()));
  font_ = hb_font_create(face);
  hb_face_destroy(face);
  hb_ot_font_set_funcs(font_);
  const int upem = int(raw_.unitsPerEm());
  hb_font_set_scale(font_, upem, upem);
}

Shaper::~Shaper() {
  if (font_) hb_font_destroy(font_);
}

const ShapedText& Shaper::Vertical(const QString& text) {
  auto it = vertical_.find(text);
  if (it == vertical_.end()) it = vertical_.insert(text, Shape(text, true));
  return *it;
}

const ShapedText& Shaper::Horizontal(const QString& text) {
  auto it = horizontal_.find(text);
  if (it == horizontal_.end()) it = horizontal_.insert(text, Shape(text, false));
  return *it;
}

ShapedText Shaper::Shape(const QString& text, bool vertical) const {
  ShapedText out;
  if (!font_ || text.isEmpty()) return out;
  hb_buffer_t* buffer = hb_buffer_create();
  hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(text.utf16()), int(text.size()), 0,
                      int(text.size()));
  hb_buffer_guess_segment_properties(buffer);
  hb_buffer_set_direction(buffer, vertical ? HB_DIRECTION_TTB : HB_DIRECTION_LTR);
  hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
  hb_feature_t features[2];
  hb_feature_from_string("vert", -1, &features[0]);
  hb_feature_from_string("vrt2", -1, &features[1]);
  hb_shape(font_, buffer, features, vertical ? 2 : 0);

  unsigned count = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
  const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
  const qreal em = raw_.unitsPerEm();
  qreal x = 0, y = 0;  // HarfBuzz's pen, y up
  for (unsigned i = 0; i < count; ++i) {
    out.glyphs.append(info[i].codepoint);
    out.positions.append(QPointF((x + pos[i].x_offset) / em, -(y + pos[i].y_offset) / em));
    x += pos[i].x_advance;
    y += pos[i].y_advance;
  }
  out.advance = (vertical ? -y : x) / em;
  hb_buffer_destroy(buffer);
  return out;
}

QRawFont DefaultFont() {
  QFont font(QStringLiteral("IPAMincho"));
  font.setStyleHint(QFont::Serif);
  font.setPixelSize(100);
  QRawFont raw = QRawFont::fromFont(font, QFontDatabase::Any);
  raw.setPixelSize(1);
  return raw;
}

}  // namespace tategaki
