#pragma once
// The RTF round trip the fuzzer drives, shared with the regression test: a
// document built from arbitrary bytes (text of every kind, character and
// paragraph formatting, bullets) is written and read back. The text must come
// back as it was, and so must what the writer promises to keep: styles, sizes,
// fonts, colours, alignment, indents in whole points, bullets.
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <cmath>
#include <cstdint>
#include <iterator>

#include "platform/Rtf.h"
#include "platform/TextFormat.h"

namespace roundtrip {

// Reads the input front to back; past its end every value is 0.
class Bytes {
 public:
  explicit Bytes(QByteArrayView b) : p_(reinterpret_cast<const uint8_t*>(b.data())), n_(size_t(b.size())) {}
  size_t Remaining() const { return n_; }
  uint8_t Byte() { return n_ ? (--n_, *p_++) : 0; }
  uint32_t Bits(int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= uint32_t(Byte()) << (8 * i);
    return v;
  }
  int Range(int lo, int hi) {  // inclusive
    const uint32_t span = uint32_t(hi - lo);
    return lo + int(Bits(span < 0x100 ? 1 : span < 0x10000 ? 2 : 4) % (span + 1));
  }
  bool Bool() { return Byte() & 1; }

 private:
  const uint8_t* p_;
  size_t n_;
};

inline QString Text(Bytes& in) {
  static const char16_t kSpecial[] = {u'\\', u'{', u'}', u';', u'\t', 0x2028, 0xFFFD, 0x3000, 0x00A0, 0x301C,
                                      0xFF5E, 0x2225, 0x00A5, 0x203E, 0xFEFF, 0x0080, 0x00FF, u'?', u' ', u'-',
                                      0x2014, 0x2015, 0xFF0D, 0x2212, 0x00AC, 0x0B, 0x00, 0x2060, 0xFFFC};
  QString s;
  const int n = in.Range(0, 48);
  for (int i = 0; i < n && in.Remaining() > 0; ++i) {
    switch (in.Range(0, 5)) {
      case 0: s += QChar(char16_t(in.Range(0x20, 0x7E))); break;
      case 1: s += QChar(char16_t(in.Range(0x3041, 0x30FF))); break;  // kana
      case 2: s += QChar(char16_t(in.Range(0x4E00, 0x9FFF))); break;  // kanji
      case 3: s += QChar(char16_t(in.Bits(2))); break;                // any code unit
      case 4: s += QChar(kSpecial[in.Range(0, int(std::size(kSpecial)) - 1)]); break;
      case 5: s += QChar::fromUcs4(char32_t(in.Range(0x10000, 0x10FFFF))); break;  // beyond the BMP
    }
  }
  return s;
}

inline QTextCharFormat CharFormat(Bytes& in) {
  static const char* const kFamilies[] = {"ＭＳ Ｐゴシック", "ＭＳ 明朝", "Arial", "Times New Roman",
                                          "Courier New", "IPAPGothic", "Symbol", "メイリオ"};
  QTextCharFormat f;
  const uint8_t bits = in.Byte();
  f.setFontWeight(bits & 1 ? QFont::Bold : QFont::Normal), f.setFontItalic(bits & 2);
  f.setFontUnderline(bits & 4), f.setFontStrikeOut(bits & 8);
  if (bits & 16) f.setFontFamilies({QString::fromUtf8(kFamilies[in.Range(0, int(std::size(kFamilies)) - 1)])});
  if (bits & 32) f.setFontPointSize(in.Range(2, 400) / 2.0);
  if (bits & 64) f.setForeground(QColor(QRgb(in.Bits(4) | 0xFF000000u)));
  if (bits & 128) f.setProperty(textfmt::CharsetProperty, in.Bool() ? 128 : 0);
  return f;
}

inline QTextBlockFormat BlockFormat(Bytes& in) {
  static const Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignJustify};
  QTextBlockFormat f;
  f.setAlignment(kAlign[in.Range(0, 3)]);
  const int first = in.Range(0, 600), left = in.Range(-first, 600);
  textfmt::SetIndents(f, {first, left, in.Range(0, 600)});
  return f;
}

// The document the bytes describe.
inline void Build(QByteArrayView input, QTextDocument* doc) {
  Bytes in(input);
  QTextCursor c(doc);
  for (int paragraphs = 0; in.Remaining() > 0 && paragraphs < 64;) {
    switch (in.Range(0, 4)) {
      case 0:
      case 1: {  // the format is read before the text
        const QTextCharFormat f = CharFormat(in);
        c.insertText(Text(in), f);
      } break;
      case 2: {
        const QTextBlockFormat bf = BlockFormat(in);
        c.insertBlock(bf, CharFormat(in)), ++paragraphs;
      } break;
      case 3: c.setBlockFormat(BlockFormat(in)); break;
      case 4:
        if (QTextList* list = c.currentList()) {
          if (in.Bool()) list->remove(c.block());
        } else {
          QTextListFormat lf;
          lf.setStyle(QTextListFormat::ListDisc), lf.setIndent(1);
          c.createList(lf);
        }
        break;
    }
  }
}

// The document's text as the writer is meant to give it back: a lone surrogate
// or a NUL becomes U+FFFD, a vertical tab the line break it stands for. A
// character whose two halves lie in runs of different formats (only a program
// can format half a character) is two lone halves. Beside it the paragraphs
// and, one line per character, the formats the writer keeps.
inline void Describe(const QTextDocument& doc, QString* text, QStringList* chars, QStringList* paras) {
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const textfmt::Indents in = textfmt::GetIndents(b.blockFormat());
    *paras << QStringLiteral("%1 %2/%3/%4 %5").arg(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask))
                  .arg(in.first).arg(in.left).arg(in.right).arg(b.textList() != nullptr);
    if (b != doc.begin()) *text += QChar(QChar::ParagraphSeparator);
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QString run = it.fragment().text();
      for (qsizetype i = 0; i < run.size(); ++i) {
        const char16_t u = run[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < run.size() && run[i + 1].isLowSurrogate()) *text += run.mid(i++, 2);
        else *text += QChar(QChar::isSurrogate(u) || u == 0 ? 0xFFFD : u == 0x0B ? 0x2028 : u);
      }
      const QTextCharFormat f = it.fragment().charFormat();
      const QString family = f.fontFamilies().toStringList().value(0);
      const double pt = f.fontPointSize() > 0 ? f.fontPointSize() : doc.defaultFont().pointSizeF();
      const QString st = QStringLiteral("%1%2%3%4 %5 %6 %7")
          .arg(f.fontWeight() >= QFont::DemiBold).arg(f.fontItalic()).arg(f.fontUnderline()).arg(f.fontStrikeOut())
          .arg(std::lround(pt * 2))
          .arg(f.foreground().style() == Qt::NoBrush ? -1 : qint64(f.foreground().color().rgb() & 0xFFFFFF))
          .arg(family.isEmpty() ? doc.defaultFont().family() : family);
      for (int i = 0; i < run.size(); ++i) *chars << st;
    }
  }
}

// Builds, writes, reads back; an empty string when everything came back.
inline QString Check(QByteArrayView input) {
  QTextDocument doc, back;
  Build(input, &doc);
  const QByteArray rtfBytes = rtf::Write(&doc);
  rtf::Read(rtfBytes, &back);
  QString want, ignored;
  QStringList a, b, pa, pb;
  Describe(doc, &want, &a, &pa);
  Describe(back, &ignored, &b, &pb);
  const QString got = back.toRawText();
  const auto show = [](const QString& s) { return QString::fromLatin1(s.toUtf8().toPercentEncoding(" ")); };
  if (got != want) return "text changed\n  expected: " + show(want) + "\n  got:      " + show(got);
  if (want != doc.toRawText()) return {};  // positions moved: formats are not comparable one to one
  if (pa != pb) return "paragraph format changed\n" + QString::fromLatin1(rtfBytes);
  if (a != b) return "character format changed\n" + QString::fromLatin1(rtfBytes);
  return {};
}

}  // namespace roundtrip
