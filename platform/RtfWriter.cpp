// RTF writer: 7-bit output that rich-edit controls, word processors and our
// own reader load with the same text and formatting. Non-ASCII text goes out
// as \uN with its CP932 bytes as the fallback for readers without Unicode.
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <charconv>
#include <map>
#include <cmath>
#include <string>
#include <vector>

#include "platform/Rtf.h"
#include "platform/RtfCodePage.h"
#include "platform/TextFormat.h"

namespace rtf {

namespace {

struct FontEntry {
  QString name;
  bool japanese = false;  // a run in it is marked Shift-JIS or holds CP932 text
  int explicitCharset = -1;
};

// Character attributes as written: -1 is "not written yet".
struct Written {
  int font = -1;
  int halfPoints = -1;
  int color = -1;
  int bold = -1;
  int italic = -1;
  int underline = -1;
  int strike = -1;
};

bool HasCp932NonAscii(QStringView text) {
  unsigned char b[2];
  for (QChar c : text)
    if (c.unicode() >= 0x80 && Cp932Bytes(c.unicode(), b) > 0) return true;
  return false;
}

class Writer {
 public:
  explicit Writer(const QTextDocument* doc) : doc_(doc) {
    defaultFamily_ = doc->defaultFont().family();
    defaultSize_ = doc->defaultFont().pointSizeF();
    if (defaultSize_ <= 0) defaultSize_ = 12;
  }

  QByteArray Run() {
    Collect();
    out_.reserve(size_t(doc_->characterCount()) * 12 + 1024);
    Header();
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) Paragraph(b);
    out_ += '}';
    return QByteArray(out_.data(), qsizetype(out_.size()));
  }

 private:
  QString FamilyOf(const QTextCharFormat& f) const {
    const QVariant v = f.property(QTextFormat::FontFamilies);
    if (v.isValid()) {
      const QStringList l = v.toStringList();
      if (!l.isEmpty() && !l.first().isEmpty()) return l.first();
    }
    if (f.hasProperty(QTextFormat::FontFamily)) {
      const QString s = f.stringProperty(QTextFormat::FontFamily);
      if (!s.isEmpty()) return s;
    }
    return defaultFamily_;
  }

  int FontIndex(const QString& family) {
    auto it = fontIndex_.constFind(family);
    if (it != fontIndex_.constEnd()) return *it;
    fonts_.push_back(FontEntry{family});
    fontIndex_.insert(family, int(fonts_.size() - 1));
    return int(fonts_.size() - 1);
  }

  int ColorIndex(const QTextCharFormat& f) {
    if (f.foreground().style() == Qt::NoBrush) return 0;
    const QRgb rgb = f.foreground().color().rgb() & 0xFFFFFF;
    auto it = colorIndex_.constFind(rgb);
    if (it != colorIndex_.constEnd()) return *it;
    colors_.push_back(rgb);
    colorIndex_.insert(rgb, int(colors_.size()));
    return int(colors_.size());
  }

  void Note(const QTextCharFormat& f, QStringView text) {
    FontEntry& e = fonts_[size_t(FontIndex(FamilyOf(f)))];
    const int cs = f.hasProperty(textfmt::CharsetProperty) ? f.intProperty(textfmt::CharsetProperty) : -1;
    if (cs == textfmt::ShiftJisCharset || (!e.japanese && HasCp932NonAscii(text))) e.japanese = true;
    else if (cs > 1 && e.explicitCharset < 0) e.explicitCharset = cs;
    ColorIndex(f);
  }

  static bool IsBullet(const QTextBlock& b) { return b.textList() != nullptr; }

  // \fi and \li of a paragraph, in twips.
  static std::pair<long, long> IndentTwips(const QTextBlock& b) {
    const textfmt::Indents in = textfmt::GetIndents(b.blockFormat());
    return {-long(in.left) * 20, (long(in.first) + in.left) * 20};
  }

  // The list of a bulleted paragraph (1-based \ls): one per pair of indents,
  // since some readers take a list paragraph's indents from its list.
  int ListOf(const QTextBlock& b) {
    const auto indents = IndentTwips(b);
    const auto [it, added] = listOfIndents_.try_emplace(indents, int(bulletIndents_.size()) + 1);
    if (added) bulletIndents_.push_back(indents);
    return it->second;
  }

  void Collect() {
    FontIndex(defaultFamily_);  // \deff0
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
      if (IsBullet(b)) ListOf(b);
      bool empty = true;
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment fr = it.fragment();
        if (!fr.isValid()) continue;
        empty = false;
        Note(fr.charFormat(), fr.text());
      }
      if (empty) Note(b.charFormat(), {});
    }
    if (!bulletIndents_.empty()) {
      symbolFont_ = int(fonts_.size());
      fonts_.push_back(FontEntry{QStringLiteral("Symbol"), false, 2});
    }
  }

  int CharsetOf(const FontEntry& e) const {
    if (e.japanese || HasCp932NonAscii(e.name)) return textfmt::ShiftJisCharset;
    return e.explicitCharset >= 0 ? e.explicitCharset : 0;
  }

  // ---- output primitives ----

  void Word(const char* w) {
    out_ += w;
    delimit_ = true;
  }
  void Word(const char* w, long long n) {
    out_ += w;
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, n);
    out_.append(digits, r.ptr);
    delimit_ = true;
  }
  void Raw(const char* s) {
    out_ += s;
    delimit_ = false;
  }
  void Hex(unsigned char b) {
    static const char kHex[] = "0123456789abcdef";
    const char esc[4] = {'\\', '\'', kHex[b >> 4], kHex[b & 15]};
    out_.append(esc, 4);
    delimit_ = false;
  }
  void Literal(char c) {
    if (delimit_) out_ += ' ';
    out_ += c;
    delimit_ = false;
  }
  void Uc(int n) {
    if (uc_ == n) return;
    Word("\\uc", n);
    uc_ = n;
  }
  void UnicodeUnit(char16_t u, const unsigned char* fallback, int len) {
    Uc(len);
    Word("\\u", u >= 0x8000 ? long(u) - 0x10000 : long(u));
    for (int i = 0; i < len; ++i) Hex(fallback[i]);
  }

  // Text of a run, or of a font name (where ';' cannot stand). In a run that
  // holds an embedded object, U+FFFC stands for the object.
  void Text(QStringView t, bool fontName = false, bool object = false) {
    const qsizetype n = t.size();
    for (qsizetype i = 0; i < n; ++i) {
      const char16_t u = t[i].unicode();
      if (u >= 0x20 && u < 0x7F) {
        if (u == '\\' || u == '{' || u == '}') {
          const char esc[3] = {'\\', char(u), 0};
          Raw(esc);
        } else if (u == ';' && fontName) {
          continue;
        } else {
          Literal(char(u));
        }
        continue;
      }
      if (u == '\t') {
        Word("\\tab");
      } else if (u == 0x2028 || u == 0x2029 || u == 0x0B) {
        Word("\\line");  // a vertical tab reads back as the line break it stands for
      } else if (u == 0) {
        // Readers drop a NUL byte; like a loaded file's, it becomes U+FFFD.
        const unsigned char q = '?';
        UnicodeUnit(0xFFFD, &q, 1);
      } else if (u < 0x20 || u == 0x7F) {
        Hex(static_cast<unsigned char>(u));
      } else if (u == 0xFFFC && object) {
        // an embedded object: nothing to write; a bare U+FFFC is text
      } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(t[i + 1].unicode())) {
        const unsigned char q = '?';
        UnicodeUnit(u, &q, 1);
        UnicodeUnit(t[i + 1].unicode(), &q, 1);
        ++i;
      } else if (QChar::isSurrogate(u)) {
        const unsigned char q = '?';
        UnicodeUnit(0xFFFD, &q, 1);
      } else {
        unsigned char b[2];
        int len = Cp932Bytes(u, b);
        if (len == 0) {
          b[0] = '?';
          len = 1;
        }
        if (fontName && len > 0 && b[0] != '?') {
          // Font names are read in their charset's code page, not as \u.
          for (int k = 0; k < len; ++k) Hex(b[k]);
        } else {
          UnicodeUnit(u, b, len);
        }
      }
    }
  }

  // ---- document ----

  void Header() {
    Raw("{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1041\\deflangfe1041");
    Raw("{\\fonttbl");
    for (size_t i = 0; i < fonts_.size(); ++i) {
      const FontEntry& e = fonts_[i];
      Word("{\\f", long(i));
      Word("\\fnil\\fcharset", CharsetOf(e));
      Text(e.name, true);
      Raw(";}");
      uc_ = 1;  // \uc inside the entry ended with its group
    }
    Raw("}\r\n{\\colortbl ;");
    for (QRgb c : colors_) {
      Word("\\red", qRed(c));
      Word("\\green", qGreen(c));
      Word("\\blue", qBlue(c));
      Raw(";");
    }
    Raw("}\r\n");
    if (!bulletIndents_.empty()) {
      // Bullet lists in Word 97 form, one for each pair of indents in use.
      Raw("{\\*\\listtable");
      for (size_t k = 1; k <= bulletIndents_.size(); ++k) {
        Word("{\\list\\listtemplateid", long(k));
        Word("\\listsimple{\\listlevel\\levelnfc23\\levelnfcn23");
        Word("\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1\\levelspace0\\levelindent0");
        Raw("{\\leveltext\\'01\\u-3913 ?;}{\\levelnumbers;}");
        Word("\\f", symbolFont_);
        Word("\\fi", bulletIndents_[k - 1].first);
        Word("\\li", bulletIndents_[k - 1].second);
        Word("\\lin", bulletIndents_[k - 1].second);
        Word("}{\\listname ;}\\listid", long(k));
        Raw("}");
      }
      Raw("}\r\n{\\*\\listoverridetable");
      for (size_t k = 1; k <= bulletIndents_.size(); ++k) {
        Word("{\\listoverride\\listid", long(k));
        Word("\\listoverridecount0\\ls", long(k));
        Raw("}");
      }
      Raw("}\r\n");
    }
    Raw("{\\*\\generator SoraMemo;}\\viewkind4\\uc1");
    delimit_ = true;
    uc_ = 1;
    out_ += "\r\n";
  }

  void CharProps(const QTextCharFormat& f) {
    const int font = FontIndex(FamilyOf(f));
    const double size = f.fontPointSize() > 0 ? f.fontPointSize() : defaultSize_;
    const int hp = std::clamp(int(std::lround(size * 2)), 2, 3276);
    const int color = ColorIndex(f);
    const int bold = f.fontWeight() >= QFont::DemiBold ? 1 : 0;
    const int italic = f.fontItalic() ? 1 : 0;
    const int underline = f.fontUnderline() ? 1 : 0;
    const int strike = f.fontStrikeOut() ? 1 : 0;
    if (font != w_.font) {
      // The run's font for its double-byte text too: word processors keep
      // a separate East Asian font, which \f alone leaves at their default.
      // \loch last: a reader left in double-byte mode takes a later \f for
      // the East Asian font only.
      Word("\\dbch\\af", font);
      Word("\\loch\\f", font);
    }
    if (hp != w_.halfPoints) Word("\\fs", hp);
    if (color != w_.color) Word("\\cf", color);
    if (bold != w_.bold) Word(bold ? "\\b" : "\\b0");
    if (italic != w_.italic) Word(italic ? "\\i" : "\\i0");
    if (underline != w_.underline) Word(underline ? "\\ul" : "\\ulnone");
    if (strike != w_.strike) Word(strike ? "\\strike" : "\\strike0");
    w_ = Written{font, hp, color, bold, italic, underline, strike};
  }

  void Paragraph(const QTextBlock& b) {
    const QTextBlockFormat bf = b.blockFormat();
    Word("\\pard");
    if (IsBullet(b)) {
      // The marker as text for readers without lists, the old numbering for
      // rich-edit controls, and the Word 97 list for everyone else.
      Word("{\\listtext\\pard\\plain\\f", symbolFont_);
      Hex(0xB7);
      Word("\\tab");
      Raw("}");
      Word("{\\*\\pn\\pnlvlblt\\pnf", symbolFont_);
      Word("\\pnindent0");
      Raw("{\\pntxtb");
      Hex(0xB7);
      Raw("}}");
      Word("\\ls", ListOf(b));
      Word("\\ilvl0");
    }
    const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter) Word("\\qc");
    else if (a & Qt::AlignJustify) Word("\\qj");
    else if (a & (Qt::AlignRight | Qt::AlignTrailing)) Word("\\qr");
    else Word("\\ql");
    const auto [fi, li] = IndentTwips(b);
    Word("\\fi", fi);
    Word("\\li", li);
    Word("\\ri", long(textfmt::GetIndents(bf).right) * 20);
    bool empty = true;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment fr = it.fragment();
      if (!fr.isValid()) continue;
      empty = false;
      CharProps(fr.charFormat());
      Text(fr.text(), false, fr.charFormat().objectType() != QTextFormat::NoObject);
    }
    if (empty) CharProps(b.charFormat());
    Word("\\par");
    out_ += "\r\n";
  }

  const QTextDocument* doc_;
  QString defaultFamily_;
  double defaultSize_ = 12;
  std::vector<FontEntry> fonts_;
  QHash<QString, int> fontIndex_;
  std::vector<QRgb> colors_;
  QHash<QRgb, int> colorIndex_;
  std::vector<std::pair<long, long>> bulletIndents_;  // \fi, \li of each bullet list
  std::map<std::pair<long, long>, int> listOfIndents_;
  int symbolFont_ = 0;
  std::string out_;
  bool delimit_ = false;
  int uc_ = 1;
  Written w_;
};

}  // namespace

QByteArray Write(const QTextDocument* doc) {
  if (!doc) return QByteArray("{\\rtf1\\ansi\\ansicpg932\\deff0}");
  Writer w(doc);
  return w.Run();
}

}  // namespace rtf
