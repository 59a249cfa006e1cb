// RTF reader: a flat tokenizer over the bytes with an explicit group stack.
// Text is gathered per run of equal formatting and inserted once per run, so
// a document of millions of control words loads in one pass.
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <initializer_list>
#include <unordered_map>
#include <vector>

#include "platform/Rtf.h"
#include "platform/RtfCodePage.h"
#include "platform/TextFormat.h"

namespace rtf {

bool LooksLikeRtf(QByteArrayView data) {
  qsizetype i = 0;
  if (data.size() >= 3 && uchar(data[0]) == 0xEF && uchar(data[1]) == 0xBB &&
      uchar(data[2]) == 0xBF)
    i = 3;
  while (i < data.size() &&
         (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
    ++i;
  return data.sliced(i).startsWith(QByteArrayView("{\\rtf"));
}

namespace {

// Deeper groups than this share the deepest state; their text is still read.
constexpr size_t kMaxDepth = 1000;
// Bounds on tables a hostile file could grow without end.
constexpr size_t kMaxColors = 65536;
constexpr size_t kMaxFonts = 65536;
constexpr int kMaxTwips = 31680;  // 22 inches

enum class Kw : uint8_t {
  Unknown,
  Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Bin,
  FontTbl, ColorTbl, ListTable, ListOverrideTable, Pn, PnText, ListText, SkipDest,
  F, FCharset, Cpg, Red, Green, Blue,
  Plain, B, I, Ul, UlNone, Strike, Fs, Cf, V,
  Pard, Ql, Qr, Qc, Qj, Fi, Li, Ri, Ls, Ilvl,
  Par, Line, Tab, Cell, Row, Page, Sect,
  EmDash, EnDash, Bullet, LQuote, RQuote, LDblQuote, RDblQuote, EmSpace, EnSpace, QmSpace,
  PnLvlBlt, PnLvlCont, PnNumbered,
  List, ListLevel, LevelNfc, ListId,
  Loch, Hich, Dbch, Rtlch, Af, Afs, Ab, Ai,
  Shape, ShapeGroup, ShapeInst, ShapeText, DrawText, Sp,
  Field, FldInst, Object,
  // Skipped, and counted as what the document cannot hold.
  Pict, ShpPict, Footnote, Annotation, HeaderFooter,
};

// Control words by name: open addressing over a fixed table, since a large
// file holds millions of control words.
class KeywordTable {
 public:
  KeywordTable(std::initializer_list<std::pair<const char*, Kw>> words) {
    for (const auto& [name, kw] : words) Add(name, kw);
  }

  void Add(const char* name, Kw kw) {
    const size_t len = std::strlen(name);
    size_t i = Hash(reinterpret_cast<const uchar*>(name), len) & kMask;
    while (slots_[i].len) i = (i + 1) & kMask;
    std::memcpy(slots_[i].name, name, len);
    slots_[i].len = uint8_t(len);
    slots_[i].kw = kw;
  }

  Kw Find(const uchar* w, size_t len) const {
    if (len == 0 || len > kMaxLen) return Kw::Unknown;
    for (size_t i = Hash(w, len) & kMask; slots_[i].len; i = (i + 1) & kMask)
      if (slots_[i].len == len && std::memcmp(slots_[i].name, w, len) == 0) return slots_[i].kw;
    return Kw::Unknown;
  }

 private:
  static constexpr size_t kMaxLen = 32;
  static constexpr size_t kMask = 1023;
  static size_t Hash(const uchar* w, size_t len) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < len; ++i) h = (h ^ w[i]) * 16777619u;
    return h ^ (h >> 15);
  }
  struct Slot {
    char name[kMaxLen];
    uint8_t len = 0;
    Kw kw = Kw::Unknown;
  };
  Slot slots_[kMask + 1];
};

const KeywordTable& Keywords() {
  static const KeywordTable table = [] {
    KeywordTable m = {
        {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
        {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"uc", Kw::Uc}, {"u", Kw::U},
        {"bin", Kw::Bin},
        {"fonttbl", Kw::FontTbl}, {"colortbl", Kw::ColorTbl}, {"listtable", Kw::ListTable},
        {"listoverridetable", Kw::ListOverrideTable}, {"pn", Kw::Pn}, {"pntext", Kw::PnText},
        {"listtext", Kw::ListText},
        {"f", Kw::F}, {"fcharset", Kw::FCharset}, {"cpg", Kw::Cpg},
        {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue},
        {"plain", Kw::Plain}, {"b", Kw::B}, {"i", Kw::I},
        {"ul", Kw::Ul}, {"uld", Kw::Ul}, {"uldb", Kw::Ul}, {"ulw", Kw::Ul}, {"ulth", Kw::Ul},
        {"uldash", Kw::Ul}, {"uldashd", Kw::Ul}, {"uldashdd", Kw::Ul}, {"ulwave", Kw::Ul},
        {"ulhwave", Kw::Ul}, {"ululdbwave", Kw::Ul}, {"ulldash", Kw::Ul}, {"ulthd", Kw::Ul},
        {"ulthdash", Kw::Ul}, {"ulthdashd", Kw::Ul}, {"ulthdashdd", Kw::Ul},
        {"ulthldash", Kw::Ul}, {"ulnone", Kw::UlNone},
        {"strike", Kw::Strike}, {"striked", Kw::Strike}, {"fs", Kw::Fs}, {"cf", Kw::Cf},
        {"v", Kw::V},
        {"pard", Kw::Pard}, {"ql", Kw::Ql}, {"qr", Kw::Qr}, {"qc", Kw::Qc}, {"qj", Kw::Qj},
        {"qd", Kw::Qj}, {"fi", Kw::Fi}, {"li", Kw::Li}, {"lin", Kw::Li}, {"ri", Kw::Ri},
        {"rin", Kw::Ri}, {"ls", Kw::Ls}, {"ilvl", Kw::Ilvl},
        {"par", Kw::Par}, {"line", Kw::Line}, {"tab", Kw::Tab}, {"cell", Kw::Cell},
        {"nestcell", Kw::Cell}, {"row", Kw::Row}, {"nestrow", Kw::Row}, {"page", Kw::Page},
        {"sect", Kw::Sect},
        {"emdash", Kw::EmDash}, {"endash", Kw::EnDash}, {"bullet", Kw::Bullet},
        {"lquote", Kw::LQuote}, {"rquote", Kw::RQuote}, {"ldblquote", Kw::LDblQuote},
        {"rdblquote", Kw::RDblQuote}, {"emspace", Kw::EmSpace}, {"enspace", Kw::EnSpace},
        {"qmspace", Kw::QmSpace},
        {"pnlvlblt", Kw::PnLvlBlt}, {"pnlvlcont", Kw::PnLvlCont}, {"pnlvlbody", Kw::PnNumbered},
        {"pnlvl", Kw::PnNumbered}, {"pndec", Kw::PnNumbered}, {"pnucltr", Kw::PnNumbered},
        {"pnucrm", Kw::PnNumbered}, {"pnlcltr", Kw::PnNumbered}, {"pnlcrm", Kw::PnNumbered},
        {"pncard", Kw::PnNumbered}, {"pnord", Kw::PnNumbered}, {"pnordt", Kw::PnNumbered},
        {"list", Kw::List}, {"listlevel", Kw::ListLevel}, {"levelnfc", Kw::LevelNfc},
        {"levelnfcn", Kw::LevelNfc}, {"listid", Kw::ListId},
        {"loch", Kw::Loch}, {"hich", Kw::Hich}, {"dbch", Kw::Dbch}, {"rtlch", Kw::Rtlch},
        {"af", Kw::Af}, {"afs", Kw::Afs}, {"ab", Kw::Ab}, {"ai", Kw::Ai},
        {"shp", Kw::Shape}, {"shpgrp", Kw::ShapeGroup}, {"shpinst", Kw::ShapeInst}, {"do", Kw::Shape},
        {"shptxt", Kw::ShapeText}, {"dptxbxtext", Kw::ShapeText}, {"dptxbx", Kw::DrawText},
        {"sp", Kw::Sp}, {"field", Kw::Field}, {"fldinst", Kw::FldInst}, {"object", Kw::Object},
        {"pict", Kw::Pict}, {"shppict", Kw::ShpPict}, {"footnote", Kw::Footnote},
        {"annotation", Kw::Annotation},
        {"header", Kw::HeaderFooter}, {"headerl", Kw::HeaderFooter}, {"headerr", Kw::HeaderFooter},
        {"headerf", Kw::HeaderFooter}, {"footer", Kw::HeaderFooter}, {"footerl", Kw::HeaderFooter},
        {"footerr", Kw::HeaderFooter}, {"footerf", Kw::HeaderFooter},
    };
    // Destinations whose content is not document text.
    for (const char* s :
         {"stylesheet", "info", "nonshppict", "shprslt", "themedata", "colorschememapping",
          "datastore", "latentstyles", "rsidtbl", "generator", "xmlnstbl", "atnid", "atnauthor", "atndate", "atnref", "atnparent", "atrfstart",
          "atrfend", "bkmkstart", "bkmkend", "objdata", "objclass", "objname", "objalias",
          "objsect", "objtime", "pnseclvl", "pntxta", "pntxtb", "pgdsctbl", "revtbl", "filetbl",
          "listpicture", "userprops", "docvar", "template", "mmathPr", "txe", "xe", "tc", "tcn",
          "sn", "sv", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc",
          "aftncn", "fchars", "lchars", "comment", "title", "subject", "author", "operator",
          "keywords", "doccomm", "company", "category", "manager", "hlinkbase", "buptim",
          "creatim", "printim", "revtim", "passwordhash", "protusertbl", "wgrffmtfilter",
          "xmlattrname", "xmlattrvalue", "xmlopen", "xmlclose", "formfield", "datafield",
          "fontemb", "fontfile", "falt", "panose", "leveltext", "levelnumbers", "listname",
          "ud", "expandedcolortbl", "NeXTGraphic", "bkmkcolf", "bkmkcoll"})
      m.Add(s, Kw::SkipDest);
    return m;
  }();
  return table;
}

// Which text the associated keywords (\af, \afs, \ab, \ai) speak of: only
// double-byte text is ours to keep; complex-script properties are dropped.
enum class CharClass : uint8_t { Unset, DoubleByte, Other };

struct CharProps {
  int font = -1;  // -1: the document's default font
  int halfPoints = 24;
  int color = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool hidden = false;
  // Double-byte text's own font, size, bold and italic where the file gives
  // them (-1: as the run's).
  int dbFont = -1;
  int dbHalfPoints = -1;
  int8_t dbBold = -1;
  int8_t dbItalic = -1;
  CharClass mode = CharClass::Unset;  // the last \loch, \hich, \dbch or \rtlch
  bool operator==(const CharProps&) const = default;

  bool HasDoubleByteProps() const {
    return dbFont >= 0 || dbHalfPoints >= 0 || dbBold >= 0 || dbItalic >= 0;
  }
  // The formatting of one class of text, as the document holds it.
  CharProps For(bool doubleByte) const {
    CharProps c = *this;
    if (doubleByte) {
      if (dbFont >= 0) c.font = dbFont;
      if (dbHalfPoints >= 0) c.halfPoints = dbHalfPoints;
      if (dbBold >= 0) c.bold = dbBold;
      if (dbItalic >= 0) c.italic = dbItalic;
    }
    c.dbFont = c.dbHalfPoints = -1;
    c.dbBold = c.dbItalic = -1;
    c.mode = CharClass::Unset;
    return c;
  }
};

struct CharPropsHash {
  size_t operator()(const CharProps& c) const {
    size_t h = std::hash<int>()(c.font);
    h = h * 31 + std::hash<int>()(c.halfPoints);
    h = h * 31 + std::hash<int>()(c.color);
    return h * 32 + (c.bold ? 1 : 0) + (c.italic ? 2 : 0) + (c.underline ? 4 : 0) +
           (c.strike ? 8 : 0) + (c.hidden ? 16 : 0);
  }
};

enum class PnKind : uint8_t { None, Bullet, Numbered, Continue };

struct ParaProps {
  int align = 0;  // 0 left, 1 right, 2 centre, 3 justify
  int fi = 0;     // twips
  int li = 0;
  int ri = 0;
  int ls = 0;
  int ilvl = 0;
  PnKind pn = PnKind::None;
};

// Shape: a shape's or drawing object's group, whose own text is read but
// whose properties are not; FieldInst: a field's instruction, kept aside.
enum class Dest : uint8_t { Text, FontTable, ColorTable, ListTable, ListOverrideTable, Pn, Prefix, Shape, FieldInst };

struct State {
  Dest dest = Dest::Text;
  bool uncounted = false;  // an object's result: its pictures are the object
  int uc = 1;
  CharProps ch;
  ParaProps para;
};

struct FontInfo {
  QString name;
  int charset = -1;  // -1: no \fcharset
  int cpg = 0;
};

inline bool IsLetter(uchar c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool IsDigit(uchar c) { return c >= '0' && c <= '9'; }
inline bool IsAsciiAlnum(char16_t c) { return IsLetter(uchar(c)) || IsDigit(uchar(c)); }

// Whether a character is double-byte text (kana, ideographs, Hangul,
// full-width forms): 1 yes, 0 no, -1 neutral (punctuation, symbols, spaces),
// which follows the class the file declares.
inline int DoubleByteClass(char16_t u) {
  if (u < 0x80) return IsAsciiAlnum(u) ? 0 : -1;
  if (u < 0xC0) return -1;
  if (u < 0x1100) return 0;
  if (u <= 0x11FF) return 1;
  if (u < 0x2E80) return u >= 0x2000 ? -1 : 0;
  if (u <= 0xA4CF || (u >= 0xAC00 && u <= 0xD7AF)) return 1;
  if (u >= 0xD800 && u <= 0xDFFF) return 1;  // supplementary ideographs, emoji
  if ((u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFFEF)) return 1;
  return 0;
}
inline int HexValue(uchar c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Bytes that are plain text in a run: everything printable but the three
// RTF specials (CR and LF are ignored, other controls dropped).
struct PlainTable {
  bool v[256];
  constexpr PlainTable() : v() {
    for (int i = 0; i < 256; ++i) v[i] = i >= 0x20 && i != '\\' && i != '{' && i != '}' && i != 0x7F;
  }
};
constexpr PlainTable kPlain;

bool IsLeadByte(int codePage, uchar b) {
  if (codePage == 932) return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  return b >= 0x81 && b <= 0xFE;
}

class Reader {
 public:
  Reader(QByteArrayView data, QTextDocument* doc)
      : p_(reinterpret_cast<const uchar*>(data.data())),
        end_(reinterpret_cast<const uchar*>(data.data()) + data.size()),
        cursor_(doc) {
    stack_.reserve(kMaxDepth + 1);
    stack_.emplace_back();
  }

  Losses Run() {
    // A byte-order mark and white space before the first group are no text.
    if (end_ - p_ >= 3 && p_[0] == 0xEF && p_[1] == 0xBB && p_[2] == 0xBF) p_ += 3;
    while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\r' || *p_ == '\n')) ++p_;

    cursor_.beginEditBlock();
    cursor_.select(QTextCursor::Document);
    cursor_.removeSelectedText();
    cursor_.setBlockFormat(QTextBlockFormat());
    cursor_.setBlockCharFormat(QTextCharFormat());

    while (p_ < end_ && !done_) {
      switch (*p_) {
        case '{': ++p_; OpenGroup(); break;
        case '}': ++p_; CloseGroup(); break;
        case '\\': ++p_; Control(); break;
        case '\r':
        case '\n': ++p_; break;
        default: TextBytes(); break;
      }
    }
    Finish();
    cursor_.endEditBlock();
    return losses_;
  }

 private:
  State& Top() { return stack_.back(); }

  // ---- groups ----

  void OpenGroup() {
    FlushBytes();
    pendingSkip_ = 0;
    starPending_ = false;
    atGroupStart_ = true;
    if (overflow_ > 0 || stack_.size() > kMaxDepth) {
      ++overflow_;
      return;
    }
    stack_.push_back(stack_.back());
  }

  void CloseGroup() {
    FlushBytes();
    pendingSkip_ = 0;
    starPending_ = false;
    atGroupStart_ = false;
    if (overflow_ > 0) {
      --overflow_;
      return;
    }
    if (stack_.size() <= 1) return;  // a stray '}' before any group
    const size_t depth = stack_.size();
    // A text box's last paragraph ends with the box, not with the anchor's.
    if (stack_.back().dest == Dest::Text && stack_[depth - 2].dest == Dest::Shape &&
        (paraHasContent_ || hasPrefix_))
      EndParagraph();
    const State popped = stack_.back();
    stack_.pop_back();
    State& top = Top();
    if (popped.dest == Dest::FontTable &&
        (depth == entryDepth_ || top.dest != Dest::FontTable))
      CommitFont();
    if (popped.dest == Dest::ListTable && depth == listDepth_) {
      if (listLevels_.size() < kMaxFonts) listLevels_[listId_] = curList_;
      listDepth_ = 0;
    }
    if (popped.dest == Dest::Pn && top.dest != Dest::Pn) top.para.pn = popped.para.pn;
    if (!shapes_.empty() && shapes_.back().depth == depth) {
      const ShapeRec shape = shapes_.back();
      shapes_.pop_back();
      if (!top.uncounted)
        ++losses_[shape.text ? Lost::TextBox : shape.picture ? Lost::Picture : Lost::Shape];
    }
    if (!fields_.empty() && fields_.back().depth == depth) FinishField();
    if (stack_.size() == 1) done_ = true;  // the document's own group is closed
  }

  // Consumes the rest of the current group, its closing brace included.
  void SkipGroup() {
    qsizetype depth = 1;
    while (p_ < end_) {
      const uchar c = *p_++;
      if (c == '}') {
        if (--depth == 0) break;
      } else if (c == '{') {
        ++depth;
      } else if (c == '\\') {
        if (p_ >= end_) break;
        if (!IsLetter(*p_)) {
          ++p_;
          continue;
        }
        const uchar* w = p_;
        while (p_ < end_ && IsLetter(*p_)) ++p_;
        const bool bin = p_ - w == 3 && std::memcmp(w, "bin", 3) == 0;
        if (p_ - w == 4 && std::memcmp(w, "pict", 4) == 0) sawPict_ = true;
        bool has = false;
        const long long n = Number(&has);
        if (bin && n > 0) p_ += std::min<long long>(n, end_ - p_);
      }
    }
    CloseGroup();
  }

  // ---- tokens ----

  // The numeric parameter after a control word, saturated to 32 bits, and its
  // delimiting space.
  long long Number(bool* has) {
    *has = false;
    long long v = 0;
    bool neg = false;
    if (p_ < end_ && *p_ == '-' && p_ + 1 < end_ && IsDigit(p_[1])) {
      neg = true;
      ++p_;
    }
    while (p_ < end_ && IsDigit(*p_)) {
      *has = true;
      if (v < 0x80000000LL) v = v * 10 + (*p_ - '0');
      ++p_;
    }
    if (v > 0x7FFFFFFFLL) v = neg ? 0x80000000LL : 0x7FFFFFFFLL;
    if (p_ < end_ && *p_ == ' ') ++p_;
    return neg ? -v : v;
  }

  void Control() {
    if (p_ >= end_) return;
    const uchar c = *p_;
    if (!IsLetter(c)) {
      ++p_;
      Symbol(c);
      return;
    }
    const uchar* w = p_;
    while (p_ < end_ && IsLetter(*p_)) ++p_;
    const size_t len = size_t(p_ - w);
    bool has = false;
    const long long n = Number(&has);
    Word(Keywords().Find(w, len), has, n);
  }

  void Symbol(uchar c) {
    const bool groupStart = atGroupStart_;
    atGroupStart_ = false;
    starPending_ = false;
    if (c == '*') {
      // Only meaningful right after '{': it marks the group as skippable.
      starPending_ = groupStart;
      atGroupStart_ = groupStart;
      return;
    }
    if (c == '\'') {
      int hi = p_ < end_ ? HexValue(*p_) : -1;
      if (hi < 0) return;
      ++p_;
      int value = hi;
      const int lo = p_ < end_ ? HexValue(*p_) : -1;
      if (lo >= 0) {
        ++p_;
        value = hi * 16 + lo;
      }
      if (pendingSkip_ > 0) {
        --pendingSkip_;
        return;
      }
      if (KeepsBytes(Top().dest)) bytes_.push_back(char(value));
      return;
    }
    if (pendingSkip_ > 0) {
      --pendingSkip_;
      return;
    }
    switch (c) {
      case '\\':
      case '{':
      case '}':
        if (KeepsBytes(Top().dest)) bytes_.push_back(char(c));
        break;
      case '~': FlushBytes(); AppendChar(0x00A0); break;
      case '_': FlushBytes(); AppendChar(u'-'); break;
      case '\t': FlushBytes(); AppendChar(u'\t'); break;
      case '\r':
      case '\n':
        FlushBytes();
        if (Top().dest == Dest::Text) EndParagraph();
        break;
      default: break;  // \- \| \: and unknown symbols
    }
  }

  void Word(Kw kw, bool has, long long n) {
    FlushBytes();
    const bool groupStart = atGroupStart_;
    const bool star = starPending_;
    starPending_ = false;
    atGroupStart_ = false;
    if (kw == Kw::Bin) {
      if (n > 0) p_ += std::min<long long>(n, end_ - p_);
      if (pendingSkip_ > 0) --pendingSkip_;
      return;
    }
    if (pendingSkip_ > 0) {
      --pendingSkip_;
      return;
    }
    State& st = Top();
    const bool isDest = IsDestination(kw);
    // Inside the document's own group a destination would swallow the rest of
    // the file; past the depth cap the state is shared. Skip such groups whole.
    const bool nested = stack_.size() > 2 || overflow_ > 0;
    if (star && !isDest) {
      if (nested) SkipGroup();
      return;
    }
    if (isDest) {
      if (!nested) return;
      if (overflow_ > 0 || kw == Kw::SkipDest) {
        SkipGroup();
        return;
      }
    } else if (overflow_ > 0 && !ProducesText(kw)) {
      return;
    }
    const int v = int(n);
    switch (kw) {
      case Kw::Unknown: case Kw::Bin: case Kw::SkipDest: break;
      case Kw::Ansi: ansiCpg_ = 1252; fontCpCache_ = -2; break;
      case Kw::Mac: ansiCpg_ = 10000; fontCpCache_ = -2; break;
      case Kw::Pc: ansiCpg_ = 437; fontCpCache_ = -2; break;
      case Kw::Pca: ansiCpg_ = 850; fontCpCache_ = -2; break;
      case Kw::AnsiCpg:
        if (has && v > 0) ansiCpg_ = v;
        fontCpCache_ = -2;
        break;
      case Kw::Deff:
        deff_ = has ? v : 0;
        fontCpCache_ = -2;
        formats_.clear();
        break;
      case Kw::Uc: st.uc = has ? std::clamp(v, 0, 16) : 1; break;
      case Kw::U: Unicode(has ? n : 0); break;

      case Kw::FontTbl: st.dest = Dest::FontTable; entryOpen_ = false; break;
      case Kw::ColorTbl:
        st.dest = Dest::ColorTable;
        colors_.clear();
        ResetColor();
        formats_.clear();
        break;
      case Kw::ListTable: st.dest = Dest::ListTable; break;
      case Kw::ListOverrideTable: st.dest = Dest::ListOverrideTable; break;
      case Kw::Pn: st.dest = Dest::Pn; break;
      case Kw::PnText:
      case Kw::ListText:
        if (st.dest != Dest::Text) {
          SkipGroup();
          break;
        }
        if (hasPrefix_) ResolvePrefix();
        st.dest = Dest::Prefix;
        hasPrefix_ = true;
        prefix_.clear();
        prefixProps_ = st.ch;
        break;

      case Kw::F:
        if (st.dest == Dest::FontTable) {
          if (entryOpen_) CommitFont();
          entry_ = FontInfo();
          entryIndex_ = has ? v : 0;
          entryOpen_ = true;
          entryDepth_ = stack_.size();
        } else {
          st.ch.font = has ? v : 0;
        }
        break;
      case Kw::FCharset:
        if (st.dest == Dest::FontTable && entryOpen_) entry_.charset = v;
        break;
      case Kw::Cpg:
        if (st.dest == Dest::FontTable && entryOpen_ && v > 0) entry_.cpg = v;
        break;
      case Kw::Red: red_ = std::clamp(v, 0, 255); colorSet_ = true; break;
      case Kw::Green: green_ = std::clamp(v, 0, 255); colorSet_ = true; break;
      case Kw::Blue: blue_ = std::clamp(v, 0, 255); colorSet_ = true; break;

      case Kw::Plain: st.ch = CharProps(); break;
      case Kw::B: st.ch.bold = !has || v != 0; break;
      case Kw::I: st.ch.italic = !has || v != 0; break;
      case Kw::Ul: st.ch.underline = !has || v != 0; break;
      case Kw::UlNone: st.ch.underline = false; break;
      case Kw::Strike: st.ch.strike = !has || v != 0; break;
      case Kw::Fs:
        if (!has) st.ch.halfPoints = 24;
        else if (v > 0) st.ch.halfPoints = std::clamp(v, 2, 3276);
        break;
      case Kw::Cf: st.ch.color = has ? v : 0; break;
      case Kw::V: st.ch.hidden = !has || v != 0; break;

      case Kw::Pard: st.para = ParaProps(); break;
      case Kw::Ql: st.para.align = 0; break;
      case Kw::Qr: st.para.align = 1; break;
      case Kw::Qc: st.para.align = 2; break;
      case Kw::Qj: st.para.align = 3; break;
      case Kw::Fi: st.para.fi = std::clamp(v, -kMaxTwips, kMaxTwips); break;
      case Kw::Li: st.para.li = std::clamp(v, -kMaxTwips, kMaxTwips); break;
      case Kw::Ri: st.para.ri = std::clamp(v, -kMaxTwips, kMaxTwips); break;
      case Kw::Ls:
        if (st.dest == Dest::ListOverrideTable) {
          if (lsToList_.size() < kMaxFonts) lsToList_[v] = overrideListId_;
        } else {
          st.para.ls = v;
        }
        break;
      case Kw::Ilvl: st.para.ilvl = std::clamp(v, 0, 8); break;

      case Kw::Par:
        if (st.dest == Dest::Text) EndParagraph();
        break;
      case Kw::Line: AppendChar(0x2028); break;
      case Kw::Tab: AppendChar(u'\t'); break;
      case Kw::Cell:
        if (st.dest == Dest::Text) EndParagraph();
        break;
      case Kw::Row:
      case Kw::Page:
      case Kw::Sect:  // how Word ends a section's last paragraph
        if (st.dest == Dest::Text && (paraHasContent_ || hasPrefix_))
          EndParagraph();
        break;
      case Kw::EmDash: AppendChar(0x2014); break;
      case Kw::EnDash: AppendChar(0x2013); break;
      case Kw::Bullet: AppendChar(0x2022); break;
      case Kw::LQuote: AppendChar(0x2018); break;
      case Kw::RQuote: AppendChar(0x2019); break;
      case Kw::LDblQuote: AppendChar(0x201C); break;
      case Kw::RDblQuote: AppendChar(0x201D); break;
      case Kw::EmSpace: AppendChar(0x2003); break;
      case Kw::EnSpace: AppendChar(0x2002); break;
      case Kw::QmSpace: AppendChar(0x2005); break;

      case Kw::PnLvlBlt: st.para.pn = PnKind::Bullet; break;
      case Kw::PnLvlCont: st.para.pn = PnKind::Continue; break;
      case Kw::PnNumbered:
        if (st.para.pn != PnKind::Bullet) st.para.pn = PnKind::Numbered;
        break;

      case Kw::List:
        if (st.dest == Dest::ListTable) {
          curList_.clear();
          listId_ = 0;
          listDepth_ = stack_.size();
        }
        break;
      case Kw::ListLevel:
        if (st.dest == Dest::ListTable && listDepth_ && curList_.size() < 9) curList_.push_back(0);
        break;
      case Kw::LevelNfc:
        if (st.dest == Dest::ListTable && !curList_.empty()) curList_.back() = v;
        break;
      case Kw::ListId:
        if (st.dest == Dest::ListTable) listId_ = v;
        else if (st.dest == Dest::ListOverrideTable) overrideListId_ = v;
        break;

      // Associated properties: only those of double-byte text are kept.
      case Kw::Loch: case Kw::Hich: case Kw::Rtlch: st.ch.mode = CharClass::Other; break;
      case Kw::Dbch: st.ch.mode = CharClass::DoubleByte; break;
      case Kw::Af:
        // A font the table lacks would leave the text in the default font.
        if (st.ch.mode == CharClass::DoubleByte && fonts_.count(has ? v : 0)) st.ch.dbFont = has ? v : 0;
        break;
      case Kw::Afs:
        if (st.ch.mode != CharClass::DoubleByte) break;
        if (!has) st.ch.dbHalfPoints = 24;
        else if (v > 0) st.ch.dbHalfPoints = std::clamp(v, 2, 3276);
        break;
      case Kw::Ab:
        if (st.ch.mode == CharClass::DoubleByte) st.ch.dbBold = !has || v != 0;
        break;
      case Kw::Ai:
        if (st.ch.mode == CharClass::DoubleByte) st.ch.dbItalic = !has || v != 0;
        break;

      // Shapes and drawing objects: their text is kept, their properties and
      // the fallback pictures written beside them (\shprslt) are not.
      case Kw::Shape:
      case Kw::ShapeGroup:
        if (st.dest != Dest::Text && st.dest != Dest::Shape) {
          SkipGroup();
          break;
        }
        // A group of shapes is counted by its members.
        if (kw == Kw::Shape && (shapes_.empty() || shapes_.back().depth != stack_.size()))
          shapes_.push_back(ShapeRec{stack_.size(), false, false});
        st.dest = Dest::Shape;
        break;
      case Kw::ShapeInst:
        if (st.dest != Dest::Shape) SkipGroup();
        break;
      case Kw::DrawText:
        if (!groupStart) break;
        [[fallthrough]];
      case Kw::ShapeText:
        if (st.dest == Dest::Shape) {
          if (!shapes_.empty()) shapes_.back().text = true;
          // The box's paragraphs stand at its anchor, apart from the anchor's text.
          if (paraHasContent_ || hasPrefix_) EndParagraph();
          st.dest = Dest::Text;
        } else if (st.dest != Dest::Text) {
          SkipGroup();
        }
        break;
      case Kw::Sp:
        sawPict_ = false;
        SkipGroup();
        if (sawPict_ && !shapes_.empty()) shapes_.back().picture = true;
        break;

      case Kw::Field:
        if (st.dest == Dest::Text && (fields_.empty() || fields_.back().depth != stack_.size())) {
          FieldRec field;
          field.depth = stack_.size();
          field.mark = bodyChars_;
          fields_.push_back(std::move(field));
        }
        break;
      case Kw::FldInst:
        if (st.dest == Dest::Text && !fields_.empty() && fields_.back().depth + 1 == stack_.size())
          st.dest = Dest::FieldInst;
        else
          SkipGroup();
        break;
      case Kw::Object:
        if (st.dest == Dest::Text && !st.uncounted) {
          ++losses_[Lost::Object];
          st.uncounted = true;
        }
        break;

      case Kw::Pict: case Kw::ShpPict: Skipped(Lost::Picture); break;
      case Kw::Footnote: Skipped(Lost::Footnote); break;
      case Kw::Annotation: Skipped(Lost::Comment); break;
      case Kw::HeaderFooter: Skipped(Lost::HeaderFooter); break;
    }
  }

  // Destinations whose characters are gathered (text, font names, list
  // prefixes, field instructions); the others' are passed over.
  static bool KeepsBytes(Dest d) {
    return d == Dest::Text || d == Dest::FontTable || d == Dest::Prefix || d == Dest::FieldInst;
  }

  static bool IsDestination(Kw kw) {
    switch (kw) {
      case Kw::FontTbl: case Kw::ColorTbl: case Kw::ListTable: case Kw::ListOverrideTable:
      case Kw::Pn: case Kw::PnText: case Kw::ListText: case Kw::SkipDest:
      case Kw::Shape: case Kw::ShapeGroup: case Kw::ShapeInst: case Kw::ShapeText: case Kw::DrawText:
      case Kw::Sp: case Kw::FldInst: case Kw::Pict: case Kw::ShpPict: case Kw::Footnote:
      case Kw::Annotation: case Kw::HeaderFooter:
        return true;
      default:
        return false;
    }
  }

  // A group of content the document cannot hold: counted where it would show.
  void Skipped(Lost kind) {
    if (Top().dest == Dest::Text && !Top().uncounted) ++losses_[kind];
    SkipGroup();
  }

  static bool ProducesText(Kw kw) {
    switch (kw) {
      case Kw::U: case Kw::Par: case Kw::Line: case Kw::Tab: case Kw::Cell: case Kw::Row:
      case Kw::Page: case Kw::EmDash: case Kw::EnDash: case Kw::Bullet: case Kw::LQuote:
      case Kw::RQuote: case Kw::LDblQuote: case Kw::RDblQuote: case Kw::EmSpace:
      case Kw::EnSpace: case Kw::QmSpace: case Kw::Uc:
        return true;
      default:
        return false;
    }
  }

  void TextBytes() {
    atGroupStart_ = false;
    starPending_ = false;
    if (pendingSkip_ > 0) {
      --pendingSkip_;
      ++p_;
      return;
    }
    const Dest d = Top().dest;
    const uchar c = *p_;
    if (d == Dest::FontTable || d == Dest::ColorTable) {
      ++p_;
      if (c == ';') {
        if (d == Dest::FontTable) {
          FlushBytes();
          CommitFont();
        } else {
          CommitColor();
        }
      } else if (d == Dest::FontTable && entryOpen_ && c >= 0x20) {
        bytes_.push_back(char(c));
      }
      return;
    }
    if (!kPlain.v[c]) {
      ++p_;
      if (c == '\t') {
        FlushBytes();
        AppendChar(u'\t');
      }
      return;
    }
    if (!KeepsBytes(d)) {  // the font table's names were taken above
      while (p_ < end_ && kPlain.v[*p_]) ++p_;
      return;
    }
    const int cp = CurrentCodePage();
    const uchar* q = p_;
    if (IsDoubleByteCodePage(cp)) {
      // Raw double-byte text: a trail byte may look like '\', '{' or '}'.
      while (q < end_ && kPlain.v[*q]) {
        if (*q >= 0x81 && q + 1 < end_ && q[1] >= 0x40 && IsLeadByte(cp, *q))
          q += 2;
        else
          ++q;
      }
    } else {
      while (q < end_ && kPlain.v[*q]) ++q;
    }
    bytes_.append(reinterpret_cast<const char*>(p_), size_t(q - p_));
    p_ = q;
  }

  // ---- text ----

  int FontCodePage(int font) {
    if (font == fontCpFont_ && fontCpCache_ != -2) return fontCpCache_;
    int cp = ansiCpg_;
    const auto it = fonts_.find(font);
    if (it != fonts_.end()) {
      if (it->second.cpg > 0) cp = it->second.cpg;
      else if (it->second.charset >= 0) cp = CodePageForCharset(it->second.charset, ansiCpg_);
    }
    fontCpFont_ = font;
    fontCpCache_ = cp;
    return cp;
  }

  int CurrentCodePage() {
    const State& st = Top();
    if (st.dest == Dest::FontTable) {
      // Font names: in their own double-byte code page, else in the document's.
      if (entry_.cpg > 0) return entry_.cpg;
      const int cp = CodePageForCharset(entry_.charset, ansiCpg_);
      return IsDoubleByteCodePage(cp) ? cp : ansiCpg_;
    }
    return FontCodePage(st.ch.font >= 0 ? st.ch.font : deff_);
  }

  void FlushBytes() {
    if (bytes_.empty()) return;
    decoded_.resize(0);
    decoder_.Decode(CurrentCodePage(), bytes_, decoded_);
    bytes_.clear();
    AppendText(decoded_);
  }

  void AppendChar(char16_t ch) { AppendText(QStringView(&ch, 1)); }

  void AppendText(QStringView s) {
    if (pendingHigh_) {
      const char16_t r = 0xFFFD;
      pendingHigh_ = 0;
      EmitText(QStringView(&r, 1));
    }
    EmitText(s);
  }

  void EmitText(QStringView s) {
    State& st = Top();
    switch (st.dest) {
      case Dest::Text: BodyText(s, st.ch); break;
      case Dest::FontTable:
        if (entryOpen_ && entry_.name.size() < 256) entry_.name.append(s);
        break;
      case Dest::Prefix:
        if (prefix_.size() < 256) prefix_.append(s);
        prefixProps_ = st.ch;
        break;
      case Dest::FieldInst:
        if (!fields_.empty()) fields_.back().Add(s, st.ch);
        break;
      default: break;
    }
  }

  void Unicode(long long n) {
    long long v = n < 0 ? n + 65536 : n;
    if (v < 0 || v > 0xFFFF) v = 0xFFFD;
    const char16_t u = char16_t(v);
    if (u != 0) {
      if (QChar::isHighSurrogate(u)) {
        if (pendingHigh_) {
          pendingHigh_ = 0;
          const char16_t r = 0xFFFD;
          EmitText(QStringView(&r, 1));
        }
        pendingHigh_ = u;
      } else if (QChar::isLowSurrogate(u)) {
        if (pendingHigh_) {
          const char16_t pair[2] = {pendingHigh_, u};
          pendingHigh_ = 0;
          EmitText(QStringView(pair, 2));
        } else {
          AppendChar(0xFFFD);
        }
      } else {
        AppendChar(u);
      }
    }
    pendingSkip_ = Top().uc;
  }

  static bool NeedsCare(char16_t u) {
    return u < 0x20 ? (u == 0 || u == '\r' || u == '\n' || u == 0x0B)
                    : (u == 0x2029 || u == 0xFDD0 || u == 0xFDD1);
  }

  // Document text in the given formatting. NUL, CR and LF are dropped (RTF
  // breaks lines with \par and \line, not with bytes), and so are Qt's frame
  // markers; a vertical tab is a line break, as rich-edit controls write it;
  // a paragraph separator ends the paragraph.
  void BodyText(QStringView s, const CharProps& props) {
    if (s.isEmpty() || props.hidden) return;
    if (hasPrefix_) ResolvePrefix();
    if (!props.HasDoubleByteProps()) return BodyRun(s, props.For(false));
    const CharProps latin = props.For(false), asian = props.For(true);
    if (latin == asian) return BodyRun(s, latin);
    // Split by character class; neutral characters go with the declared class.
    const bool neutral = props.mode == CharClass::DoubleByte;
    qsizetype start = 0;
    bool db = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
      const int c = DoubleByteClass(s[i].unicode());
      const bool here = c < 0 ? neutral : c > 0;
      if (i > start && here != db) {
        BodyRun(s.sliced(start, i - start), db ? asian : latin);
        start = i;
      }
      db = here;
    }
    BodyRun(s.sliced(start), db ? asian : latin);
  }

  // Text in one resolved formatting.
  void BodyRun(QStringView s, const CharProps& props) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
      const char16_t u = s[i].unicode();
      if (!NeedsCare(u)) continue;
      AppendRun(s.sliced(start, i - start), props);
      start = i + 1;
      if (u == 0x0B) {
        const char16_t ls = 0x2028;
        AppendRun(QStringView(&ls, 1), props);
      } else if (u == 0x2029) {
        EndParagraph();
      }
    }
    AppendRun(s.sliced(start), props);
  }

  void AppendRun(QStringView s, const CharProps& props) {
    if (s.isEmpty()) return;
    StartBlock(props);
    AppendRaw(s, props);
    paraHasContent_ = true;
    bodyChars_ += size_t(s.size());
  }

  void AppendRaw(QStringView s, const CharProps& props) {
    if (run_.isEmpty()) {
      runProps_ = props;
    } else if (!(runProps_ == props)) {
      FlushRun();
      runProps_ = props;
    }
    run_.append(s);
  }

  // The separator that opens a paragraph travels in the text, in the
  // paragraph's first formatting, which becomes the block's own character
  // format. Paragraphs alike in format thus go in with one insertion.
  void StartBlock(const CharProps& props) {
    if (pendingBlock_) {
      pendingBlock_ = false;
      const char16_t sep = QChar::ParagraphSeparator;
      AppendRaw(QStringView(&sep, 1), props);
    } else if (firstBlock_) {
      firstBlock_ = false;
      cursor_.setBlockCharFormat(FormatFor(props));
    }
  }

  void FlushRun() {
    if (run_.isEmpty()) return;
    cursor_.insertText(run_, FormatFor(runProps_));
    run_.resize(0);
  }

  // ---- paragraphs and lists ----

  bool IsBullet(const ParaProps& para) const {
    switch (para.pn) {
      case PnKind::Bullet: return true;
      case PnKind::Numbered:
      case PnKind::Continue: return false;
      case PnKind::None: break;
    }
    if (para.ls <= 0) return false;
    const auto ls = lsToList_.find(para.ls);
    if (ls == lsToList_.end()) return true;  // no list table: bullets are the common case
    const auto list = listLevels_.find(ls->second);
    if (list == listLevels_.end() || list->second.empty()) return true;
    const size_t level = std::min<size_t>(size_t(para.ilvl), list->second.size() - 1);
    return list->second[level] == 23;
  }

  // The list marker text (\pntext, \listtext): dropped for bullets, which the
  // document draws itself; kept as text for numbered lists.
  void ResolvePrefix() {
    hasPrefix_ = false;
    QString text = std::move(prefix_);
    prefix_ = QString();
    if (text.isEmpty() || IsBullet(TextState().para)) return;
    BodyText(text, prefixProps_);
  }

  // The state that document text is read in: the innermost text group.
  const State& TextState() const {
    for (auto it = stack_.rbegin(); it != stack_.rend(); ++it)
      if (it->dest == Dest::Text) return *it;
    return stack_.front();
  }

  void EndParagraph() {
    if (pendingHigh_) {
      pendingHigh_ = 0;
      AppendChar(0xFFFD);
    }
    if (hasPrefix_) ResolvePrefix();
    const State& st = TextState();
    StartBlock(st.ch.For(false));  // an empty paragraph is a block too
    SetBlockFormat(st.para);
    pendingBlock_ = true;
    paraHasContent_ = false;
  }

  // Blocks made by a separator in inserted text take the format of the block
  // the insertion starts in; the format is set only where a paragraph differs.
  void SetBlockFormat(const ParaProps& para) {
    BlockKey key;
    key.align = para.align;
    key.indents.first = int(std::lround((para.li + para.fi) / 20.0));
    key.indents.left = int(std::lround(-para.fi / 20.0));
    key.indents.right = int(std::lround(para.ri / 20.0));
    const bool bullet = IsBullet(para);
    const bool newList = bullet && !(list_ && lastWasBullet_);
    lastWasBullet_ = bullet;
    if (bullet && !newList) key.list = list_;
    if (haveBlockKey_ && !newList && key == blockKey_) return;
    FlushRun();
    QTextBlockFormat bf;
    switch (para.align) {
      case 1: bf.setAlignment(Qt::AlignRight); break;
      case 2: bf.setAlignment(Qt::AlignHCenter); break;
      case 3: bf.setAlignment(Qt::AlignJustify); break;
      default: bf.setAlignment(Qt::AlignLeft); break;
    }
    textfmt::SetIndents(bf, key.indents);
    cursor_.setBlockFormat(bf);
    if (newList) {
      QTextListFormat lf;
      lf.setStyle(QTextListFormat::ListDisc);
      lf.setIndent(1);
      list_ = cursor_.createList(lf);
      key.list = list_;
    } else if (bullet) {
      list_->add(cursor_.block());
    }
    blockKey_ = key;
    haveBlockKey_ = true;
  }

  void Finish() {
    FlushBytes();
    if (pendingHigh_) {
      pendingHigh_ = 0;
      const char16_t r = 0xFFFD;
      BodyText(QStringView(&r, 1), TextState().ch);
    }
    if (hasPrefix_) ResolvePrefix();
    // A final \par closes the last paragraph; text after it makes one more.
    if (!pendingBlock_) {
      const State& st = TextState();
      StartBlock(st.ch.For(false));
      SetBlockFormat(st.para);
    }
    FlushRun();
  }

  // ---- fields ----

  // A field whose result is empty shows nothing; but a ruby written as an EQ
  // field keeps its base text, since the document cannot hold the ruby.
  void FinishField() {
    const FieldRec field = std::move(fields_.back());
    fields_.pop_back();
    const std::vector<qsizetype> base = RubyBase(field.inst);
    if (base.empty()) return;
    if (!Top().uncounted) ++losses_[Lost::Ruby];
    if (bodyChars_ != field.mark) return;  // the result already shows it
    QString run;
    size_t span = 0;
    for (size_t k = 0; k < base.size(); ++k) {
      size_t sp = span;
      while (sp + 1 < field.spans.size() && field.spans[sp + 1].first <= base[k]) ++sp;
      if (sp != span && !run.isEmpty()) {
        BodyText(run, field.spans[span].second);
        run.clear();
      }
      span = sp;
      run.append(field.inst[base[k]]);
    }
    if (!run.isEmpty()) BodyText(run, field.spans[span].second);
  }

  // Positions of the base text in "EQ \* jc2 \* hps10 \o\ad(\s\up 9(ruby),base)";
  // empty when the instruction is no ruby.
  static std::vector<qsizetype> RubyBase(QStringView inst) {
    const qsizetype n = inst.size();
    qsizetype i = 0;
    while (i < n && inst[i] == u' ') ++i;
    if (!inst.sliced(i).startsWith(u"EQ", Qt::CaseInsensitive)) return {};
    // The overstrike switch, \o, with its alignment switches up to '('.
    for (i += 2; i + 1 < n; ++i) {
      if (inst[i] == u'\\' && (inst[i + 1] == u'o' || inst[i + 1] == u'O') &&
          (i + 2 == n || inst[i + 2] == u'\\' || inst[i + 2] == u'(' || inst[i + 2] == u' '))
        break;
    }
    if (i + 1 >= n) return {};
    for (i += 2; i < n && inst[i] != u'('; ++i)
      if (inst[i] != u'\\' && inst[i] != u' ' && !IsAsciiAlnum(inst[i].unicode())) return {};
    std::vector<qsizetype> base;
    bool ruby = false;
    // Arguments split at commas outside parentheses; "\s" begins the ruby's.
    for (++i; i < n;) {
      qsizetype j = i;
      while (j < n && inst[j] == u' ') ++j;
      const bool isRuby = j + 1 < n && inst[j] == u'\\' && (inst[j + 1] == u's' || inst[j + 1] == u'S');
      ruby = ruby || isRuby;
      int depth = 0;
      for (; j < n; ++j) {
        const QChar c = inst[j];
        if (c == u'\\' && j + 1 < n && QStringView(u",()\\").contains(inst[j + 1])) {
          if (!isRuby) base.push_back(j + 1);
          ++j;
          continue;
        }
        if (depth == 0 && (c == u',' || c == u')')) break;
        if (c == u'(') ++depth;
        if (c == u')') --depth;
        if (!isRuby) base.push_back(j);
      }
      if (j >= n || inst[j] == u')') break;
      i = j + 1;
    }
    if (!ruby) return {};
    return base;
  }

  // ---- tables ----

  void CommitFont() {
    if (!entryOpen_) return;
    entryOpen_ = false;
    if (fonts_.size() >= kMaxFonts) return;
    entry_.name = entry_.name.trimmed();
    fonts_[entryIndex_] = entry_;
    fontCpCache_ = -2;
    formats_.clear();
  }

  void ResetColor() {
    red_ = green_ = blue_ = 0;
    colorSet_ = false;
  }

  void CommitColor() {
    if (colors_.size() < kMaxColors) {
      if (colorSet_) colors_.push_back(qRgb(red_, green_, blue_));
      else colors_.push_back(std::nullopt);
    }
    ResetColor();
    formats_.clear();
  }

  const QTextCharFormat& FormatFor(const CharProps& c) {
    auto it = formats_.find(c);
    if (it != formats_.end()) return it->second;
    QTextCharFormat f;
    const auto font = fonts_.find(c.font >= 0 ? c.font : deff_);
    if (font != fonts_.end()) {
      if (!font->second.name.isEmpty()) f.setFontFamilies(QStringList{font->second.name});
      if (font->second.charset > 1) f.setProperty(textfmt::CharsetProperty, font->second.charset);
    }
    f.setFontPointSize(c.halfPoints / 2.0);
    f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(c.italic);
    f.setFontUnderline(c.underline);
    f.setFontStrikeOut(c.strike);
    if (c.color >= 0 && size_t(c.color) < colors_.size() && colors_[size_t(c.color)])
      f.setForeground(QColor(*colors_[size_t(c.color)]));
    return formats_.emplace(c, f).first->second;
  }

  struct ShapeRec {
    size_t depth = 0;  // of the shape's group
    bool text = false;
    bool picture = false;
  };
  struct FieldRec {
    size_t depth = 0;  // of the field's group
    size_t mark = 0;   // body characters before the field
    QString inst;
    std::vector<std::pair<qsizetype, CharProps>> spans;  // formatting from an offset of inst on
    void Add(QStringView s, const CharProps& props) {
      if (inst.size() + s.size() > 1024) return;  // far beyond any ruby
      if (spans.empty() || !(spans.back().second == props)) spans.emplace_back(inst.size(), props);
      inst.append(s);
    }
  };

  // input
  const uchar* p_;
  const uchar* end_;
  // group state
  std::vector<State> stack_;
  int overflow_ = 0;
  bool done_ = false;
  bool atGroupStart_ = false;
  bool starPending_ = false;
  int pendingSkip_ = 0;
  char16_t pendingHigh_ = 0;
  // document settings and tables
  int ansiCpg_ = 1252;
  int deff_ = 0;
  std::unordered_map<int, FontInfo> fonts_;
  int fontCpFont_ = -1;
  int fontCpCache_ = -2;  // -2: stale
  FontInfo entry_;
  int entryIndex_ = 0;
  bool entryOpen_ = false;
  size_t entryDepth_ = 0;
  std::vector<std::optional<QRgb>> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colorSet_ = false;
  std::unordered_map<int, std::vector<int>> listLevels_;  // \listid -> \levelnfc per level
  std::vector<int> curList_;
  int listId_ = 0;
  size_t listDepth_ = 0;
  std::unordered_map<int, int> lsToList_;  // \ls -> \listid
  int overrideListId_ = 0;
  // text on its way into the document
  std::string bytes_;
  QString decoded_;
  ByteDecoder decoder_;
  QTextCursor cursor_;
  QString run_;
  CharProps runProps_;
  bool pendingBlock_ = false;
  bool firstBlock_ = true;
  bool paraHasContent_ = false;
  QString prefix_;
  CharProps prefixProps_;
  bool hasPrefix_ = false;
  QTextList* list_ = nullptr;
  bool lastWasBullet_ = false;
  struct BlockKey {
    int align = 0;
    textfmt::Indents indents;
    const QTextList* list = nullptr;
    bool operator==(const BlockKey&) const = default;
  };
  BlockKey blockKey_;  // the format of the document's last block
  bool haveBlockKey_ = false;
  std::unordered_map<CharProps, QTextCharFormat, CharPropsHash> formats_;
  // what the document cannot hold
  Losses losses_;
  std::vector<ShapeRec> shapes_;
  std::vector<FieldRec> fields_;
  bool sawPict_ = false;
  size_t bodyChars_ = 0;
};

}  // namespace

Losses Read(QByteArrayView data, QTextDocument* doc) {
  if (!doc) return {};
  Reader reader(data, doc);
  return reader.Run();
}

bool Losses::Any() const {
  return std::any_of(count.begin(), count.end(), [](int n) { return n > 0; });
}

QString Losses::Describe() const {
  static const char* const kNames[] = {"図", "図形", "テキストボックス", "オブジェクト", "脚注",
                                       "コメント", "ヘッダー・フッター", "ルビ"};
  static_assert(std::size(kNames) == size_t(Lost::Kinds));
  QStringList parts;
  for (size_t k = 0; k < count.size(); ++k)
    if (count[k] > 0) parts << QStringLiteral("%1 %2 個").arg(QString::fromUtf8(kNames[k])).arg(count[k]);
  return parts.join(QStringLiteral("、"));
}

}  // namespace rtf
