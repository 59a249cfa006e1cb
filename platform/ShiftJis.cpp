#include "platform/ShiftJis.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <array>
#include <memory>
#include <mutex>

namespace sjis {
namespace {

struct ConverterDeleter {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterDeleter>;

// Invalid or unmapped bytes decode to U+FFFD rather than ICU's U+001A, which
// would be indistinguishable from a real control character.
void ToUReplacement(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                    UConverterCallbackReason reason, UErrorCode* err) {
  if (reason > UCNV_IRREGULAR) return;
  const UChar fffd = 0xFFFD;
  *err = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &fffd, 1, 0, err);
}

// ICU's own substitution writes nothing for "default ignorable" characters
// (U+200B, U+2060..U+206F, variation selectors ...): they would vanish from a
// saved file while the counters still count them. Every character without a
// mapping gets the substitute.
void FromUSubstitute(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t, UChar32,
                     UConverterCallbackReason reason, UErrorCode* err) {
  if (reason > UCNV_IRREGULAR) return;
  *err = U_ZERO_ERROR;
  ucnv_cbFromUWriteSub(args, 0, err);
}

Converter OpenCp932() {
  UErrorCode err = U_ZERO_ERROR;
  Converter c(ucnv_open("windows-31j", &err));
  if (U_FAILURE(err) || !c) qFatal("ICU has no windows-31j converter");
  ucnv_setToUCallBack(c.get(), ToUReplacement, nullptr, nullptr, nullptr, &err);
  ucnv_setFromUCallBack(c.get(), FromUSubstitute, nullptr, nullptr, nullptr, &err);
  // Best-fit forms such as the wave dash U+301C -> 0x8160 are what Japanese
  // text from other systems needs; measure and encoder share this setting.
  ucnv_setFallback(c.get(), true);
  return c;
}

// Per BMP code point: 1 or 2 bytes, or kUnmapped (2 bytes, the substitute).
// Taken from the converter itself so that the measure and the encoder can
// never disagree.
constexpr quint8 kUnmapped = 3;
const std::array<quint8, 0x10000>& BmpTable() {
  static std::array<quint8, 0x10000> widths;
  static std::once_flag once;
  std::call_once(once, [] {
    Converter c = OpenCp932();
    char out[8];
    for (int cp = 0; cp < 0x10000; ++cp) {
      if (cp < 0x80) { widths[cp] = 1; continue; }
      if (cp >= 0xD800 && cp <= 0xDFFF) { widths[cp] = kUnmapped; continue; }
      const UChar u = UChar(cp);
      UErrorCode err = U_ZERO_ERROR;
      ucnv_resetFromUnicode(c.get());
      const int32_t n = ucnv_fromUChars(c.get(), out, sizeof out, &u, 1, &err);
      const bool sub = n == 2 && out[0] == '\xFC' && out[1] == '\xFC';
      widths[cp] = quint8(n == 1 ? 1 : sub ? kUnmapped : 2);
    }
  });
  return widths;
}

inline int Width(char16_t u) { return BmpTable()[u] == 1 ? 1 : 2; }

}  // namespace

const quint8* BmpWidthTable() { return BmpTable().data(); }

int CodePointWidth(char32_t cp) {
  if (cp < 0x80) return 1;
  if (cp > 0xFFFF) return 2;
  return Width(char16_t(cp));
}

qsizetype ByteLength(QStringView text) {
  const auto& w = BmpTable();
  qsizetype n = 0;
  const qsizetype size = text.size();
  const QChar* d = text.data();
  for (qsizetype i = 0; i < size; ++i) {
    const char16_t u = d[i].unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < size && QChar::isLowSurrogate(d[i + 1].unicode())) {
      ++i;  // the pair is one character, one substitute
      n += 2;
    } else {
      n += w[u] == 1 ? 1 : 2;
    }
  }
  return n;
}

QByteArray Encode(QStringView text) {
  if (text.isEmpty()) return QByteArray();
  thread_local Converter c = OpenCp932();
  ucnv_resetFromUnicode(c.get());
  QByteArray out(ByteLength(text) + 8, Qt::Uninitialized);
  UErrorCode err = U_ZERO_ERROR;
  const int32_t n = ucnv_fromUChars(c.get(), out.data(), int32_t(out.size()),
                                    reinterpret_cast<const UChar*>(text.utf16()),
                                    int32_t(text.size()), &err);
  if (err == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(n + 8);
    err = U_ZERO_ERROR;
    ucnv_resetFromUnicode(c.get());
    ucnv_fromUChars(c.get(), out.data(), int32_t(out.size()),
                    reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()), &err);
  }
  out.resize(U_FAILURE(err) ? 0 : n);
  return out;
}

QString Decode(QByteArrayView bytes) {
  if (bytes.isEmpty()) return QString();
  thread_local Converter c = OpenCp932();
  ucnv_resetToUnicode(c.get());
  // Each byte yields at most one UTF-16 unit in CP932.
  QString out(bytes.size() + 1, Qt::Uninitialized);
  UErrorCode err = U_ZERO_ERROR;
  const int32_t n = ucnv_toUChars(c.get(), reinterpret_cast<UChar*>(out.data()),
                                  int32_t(out.size()), bytes.data(), int32_t(bytes.size()), &err);
  out.resize(U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING ? 0 : n);
  return out;
}

QList<Unencodable> UnencodableChars(QStringView text, int max) {
  QList<Unencodable> found;
  int line = 1;
  const qsizetype size = text.size();
  for (qsizetype i = 0; i < size; ++i) {
    const char16_t u = text[i].unicode();
    if (u == '\r') {
      if (i + 1 < size && text[i + 1] == u'\n') ++i;
      ++line;
      continue;
    }
    if (u == '\n' || u == 0x2029 || u == 0x2028) {
      ++line;
      continue;
    }
    char32_t cp = u;
    const qsizetype at = i;
    bool bad = false;
    if (QChar::isHighSurrogate(u) && i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode())) {
      cp = QChar::surrogateToUcs4(u, text[i + 1].unicode());
      ++i;
      bad = true;
    } else if (QChar::isSurrogate(u)) {
      bad = true;
    } else {
      bad = BmpTable()[u] == kUnmapped;
    }
    if (bad) {
      found.append({cp, at, line});
      if (max >= 0 && found.size() >= max) break;
    }
  }
  return found;
}

}  // namespace sjis

int ByteToCharLen(QByteArrayView s, qsizetype n) {
  if (n <= 0) return 0;
  if (n > s.size()) n = s.size();
  int count = 0;
  qsizetype i = 0;
  while (i < n) {
    const auto b = static_cast<unsigned char>(s[i]);
    ++count;
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    i += (lead && i + 1 < s.size()) ? 2 : 1;
  }
  return count;
}
