#include "platform/TextDecode.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace textdecode {

namespace {

// Strict UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF). A
// sequence cut off by the end of the data still counts as UTF-8.
bool IsUtf8(const unsigned char* p, size_t n) {
  bool multi = false;
  size_t i = 0;
  while (i < n) {
    // Eight ASCII bytes at a time.
    while (i + 8 <= n) {
      uint64_t w;
      std::memcpy(&w, p + i, 8);
      if (w & 0x8080808080808080ULL) break;
      i += 8;
    }
    if (i >= n) break;
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int len;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    for (int k = 1; k < len; ++k) {
      if (i + size_t(k) >= n) return multi;  // cut off at the end
      const unsigned char t = p[i + size_t(k)];
      if (k == 1 ? (t < lo || t > hi) : (t < 0x80 || t > 0xBF)) return false;
    }
    i += size_t(len);
    multi = true;
  }
  return true;
}

// Valid EUC-JP with at least one multi-byte character.
bool IsEucJp(const unsigned char* p, size_t n) {
  bool multi = false;
  size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
    } else if (c == 0x8E) {  // half-width katakana
      if (i + 1 >= n || p[i + 1] < 0xA1 || p[i + 1] > 0xDF) return false;
      i += 2;
      multi = true;
    } else if (c == 0x8F) {  // JIS X 0212
      if (i + 2 >= n || p[i + 1] < 0xA1 || p[i + 1] > 0xFE || p[i + 2] < 0xA1 || p[i + 2] > 0xFE)
        return false;
      i += 3;
      multi = true;
    } else if (c >= 0xA1 && c <= 0xFE) {
      if (i + 1 >= n || p[i + 1] < 0xA1 || p[i + 1] > 0xFE) return false;
      i += 2;
      multi = true;
    } else {
      return false;
    }
  }
  return multi;
}

bool IsCp932(const unsigned char* p, size_t n) {
  size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) {
      ++i;
    } else if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      if (i + 1 >= n) return false;
      const unsigned char t = p[i + 1];
      if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
      i += 2;
    } else {
      return false;
    }
  }
  return true;
}

// Bytes at the end that begin a UTF-8 sequence the data cuts off (0 to 3).
qsizetype CutOffUtf8(QByteArrayView b) {
  const qsizetype n = b.size();
  for (qsizetype k = 1; k <= 3 && k <= n; ++k) {
    const unsigned char c = static_cast<unsigned char>(b[n - k]);
    if (c < 0x80) return 0;
    if (c >= 0xC0) {
      const int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
      return len > k ? k : 0;
    }
  }
  return 0;
}

// UTF-8 the detector accepted; a cut-off last character is one U+FFFD.
QString DecodeUtf8(QByteArrayView bytes) {
  const qsizetype cut = CutOffUtf8(bytes);
  QString s = QString::fromUtf8(bytes.first(bytes.size() - cut));
  if (cut) s += QChar(0xFFFD);
  return s;
}

bool DetectorSaysEucJp(const char* p, size_t n) {
  // The detector's statistics settle long before this much text.
  const int32_t len = int32_t(std::min<size_t>(n, 256 * 1024));
  UErrorCode err = U_ZERO_ERROR;
  UCharsetDetector* det = ucsdet_open(&err);
  if (U_FAILURE(err)) return false;
  bool euc = false;
  ucsdet_setText(det, p, len, &err);
  const UCharsetMatch* m = ucsdet_detect(det, &err);
  if (U_SUCCESS(err) && m) {
    const char* name = ucsdet_getName(m, &err);
    const int32_t confidence = ucsdet_getConfidence(m, &err);
    euc = U_SUCCESS(err) && name && std::strcmp(name, "EUC-JP") == 0 && confidence >= 50;
  }
  ucsdet_close(det);
  return euc;
}

void ToUnicodeReplacement(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                          UConverterCallbackReason reason, UErrorCode* err) {
  if (reason != UCNV_ILLEGAL && reason != UCNV_UNASSIGNED && reason != UCNV_IRREGULAR) return;
  static const UChar kReplacement = 0xFFFD;
  *err = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, err);
}

// The whole byte string through one ICU conversion.
QString DecodeIcu(const char* converter, QByteArrayView bytes) {
  UErrorCode err = U_ZERO_ERROR;
  UConverter* c = ucnv_open(converter, &err);
  if (U_FAILURE(err) || !c) {
    if (c) ucnv_close(c);
    return QString(bytes.size(), QChar(0xFFFD));
  }
  ucnv_setToUCallBack(c, ToUnicodeReplacement, nullptr, nullptr, nullptr, &err);
  // Neither CP932 nor EUC-JP yields more UTF-16 units than bytes; grow if one does.
  QString out(bytes.size() + 1, Qt::Uninitialized);
  err = U_ZERO_ERROR;
  int32_t n = ucnv_toUChars(c, reinterpret_cast<UChar*>(out.data()), int32_t(out.size()),
                            bytes.data(), int32_t(bytes.size()), &err);
  if (err == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(n + 1);
    err = U_ZERO_ERROR;
    ucnv_resetToUnicode(c);
    n = ucnv_toUChars(c, reinterpret_cast<UChar*>(out.data()), int32_t(out.size()), bytes.data(),
                      int32_t(bytes.size()), &err);
  }
  ucnv_close(c);
  if (U_FAILURE(err)) return QString(bytes.size(), QChar(0xFFFD));
  out.resize(n);
  return out;
}

QString DecodeUtf16(QByteArrayView bytes, bool bigEndian) {
  const qsizetype units = bytes.size() / 2;
  QString out(units + (bytes.size() % 2), Qt::Uninitialized);
  QChar* d = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (qsizetype i = 0; i < units; ++i) {
    const unsigned char a = p[2 * i], b = p[2 * i + 1];
    d[i] = QChar(bigEndian ? char16_t((a << 8) | b) : char16_t((b << 8) | a));
  }
  if (bytes.size() % 2) d[units] = QChar(0xFFFD);  // an odd byte at the end
  return out;
}

// Line endings to "\n"; NUL and lone surrogates to U+FFFD. In place.
void Normalize(QString& s) {
  QChar* d = s.data();
  const qsizetype n = s.size();
  qsizetype w = 0;
  for (qsizetype r = 0; r < n; ++r) {
    char16_t u = d[r].unicode();
    if (u >= 0x20 && (u < 0xD800 || u > 0xDFFF)) {
      d[w++] = QChar(u);
      continue;
    }
    if (u == '\r') {
      if (r + 1 < n && d[r + 1].unicode() == '\n') ++r;
      u = '\n';
    } else if (u == 0) {
      u = 0xFFFD;
    } else if (QChar::isHighSurrogate(u) && r + 1 < n && QChar::isLowSurrogate(d[r + 1].unicode())) {
      d[w++] = QChar(u);
      u = d[++r].unicode();
    } else if (QChar::isSurrogate(u)) {
      u = 0xFFFD;
    }
    d[w++] = QChar(u);
  }
  s.truncate(w);
}

}  // namespace

Encoding Detect(QByteArrayView bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = size_t(bytes.size());
  if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return Encoding::Utf8Bom;
  if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) return Encoding::Utf16LE;
  if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) return Encoding::Utf16BE;
  if (IsUtf8(p, n)) return Encoding::Utf8;
  if (IsEucJp(p, n) && (!IsCp932(p, n) || DetectorSaysEucJp(bytes.data(), n))) return Encoding::EucJp;
  return Encoding::Cp932;
}

QString Decode(QByteArrayView bytes, Encoding* used) {
  const Encoding e = Detect(bytes);
  if (used) *used = e;
  QString s;
  switch (e) {
    case Encoding::Utf8Bom: s = DecodeUtf8(bytes.sliced(3)); break;
    case Encoding::Utf8: s = DecodeUtf8(bytes); break;
    case Encoding::Utf16LE: s = DecodeUtf16(bytes.sliced(2), false); break;
    case Encoding::Utf16BE: s = DecodeUtf16(bytes.sliced(2), true); break;
    case Encoding::Cp932: s = DecodeIcu("windows-31j", bytes); break;
    case Encoding::EucJp: s = DecodeIcu("EUC-JP", bytes); break;
  }
  Normalize(s);
  return s;
}

namespace {

// EUC-JP through ICU; unencodable characters become its substitute.
QByteArray EncodeEucJp(QStringView text) {
  UErrorCode err = U_ZERO_ERROR;
  std::unique_ptr<UConverter, decltype(&ucnv_close)> c(ucnv_open("EUC-JP", &err), ucnv_close);
  if (U_FAILURE(err)) return {};
  const auto* src = reinterpret_cast<const UChar*>(text.utf16());
  const int32_t n = int32_t(text.size());
  QByteArray out(qsizetype(n) * 3 + 16, Qt::Uninitialized);
  int32_t len = ucnv_fromUChars(c.get(), out.data(), int32_t(out.size()), src, n, &err);
  if (err == U_BUFFER_OVERFLOW_ERROR) {  // never expected: three bytes a unit is EUC-JP's most
    out.resize(len + 1);
    err = U_ZERO_ERROR;
    ucnv_resetFromUnicode(c.get());
    len = ucnv_fromUChars(c.get(), out.data(), int32_t(out.size()), src, n, &err);
  }
  out.resize(U_FAILURE(err) ? 0 : len);
  return out;
}

// Whether EUC-JP holds each BMP character, worked out once.
const std::vector<bool>& EucJpBmp() {
  static const std::vector<bool> table = [] {
    std::vector<bool> ok(0x10000, false);
    UErrorCode err = U_ZERO_ERROR;
    std::unique_ptr<UConverter, decltype(&ucnv_close)> c(ucnv_open("EUC-JP", &err), ucnv_close);
    if (U_FAILURE(err)) return ok;
    ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    char buf[8];
    for (char32_t u = 0; u < 0x10000; ++u) {
      if (QChar::isSurrogate(u)) continue;
      const UChar ch = UChar(u);
      err = U_ZERO_ERROR;
      ucnv_resetFromUnicode(c.get());
      ucnv_fromUChars(c.get(), buf, sizeof buf, &ch, 1, &err);
      ok[u] = U_SUCCESS(err) || err == U_STRING_NOT_TERMINATED_WARNING;
    }
    return ok;
  }();
  return table;
}

}  // namespace

QString LineBreakOf(QByteArrayView bytes, Encoding e) {
  const bool wide = e == Encoding::Utf16LE || e == Encoding::Utf16BE;
  const qsizetype step = wide ? 2 : 1;
  const qsizetype begin = wide ? 2 : e == Encoding::Utf8Bom ? 3 : 0;
  const auto unit = [&](qsizetype i) -> int {
    if (!wide) return static_cast<unsigned char>(bytes[i]);
    const int a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return e == Encoding::Utf16LE ? a | (b << 8) : (a << 8) | b;
  };
  for (qsizetype i = begin; i + step <= bytes.size(); i += step) {
    const int u = unit(i);
    if (u == '\n') return QStringLiteral("\n");
    if (u == '\r')
      return i + 2 * step <= bytes.size() && unit(i + step) == '\n' ? QStringLiteral("\r\n")
                                                                     : QStringLiteral("\r");
  }
  return {};
}

QByteArray Encode(QStringView text, Encoding e) {
  switch (e) {
    case Encoding::Utf8: return text.toUtf8();
    case Encoding::Utf8Bom: return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
      const bool big = e == Encoding::Utf16BE;
      QByteArray out;
      out.reserve(2 * text.size() + 2);
      QString all(1, QChar(0xFEFF));
      all += text;
      for (const QChar c : all) {
        const char16_t u = c.unicode();
        const char hi = char(u >> 8), lo = char(u & 0xFF);
        out += big ? hi : lo;
        out += big ? lo : hi;
      }
      return out;
    }
    case Encoding::EucJp: return EncodeEucJp(text);
    case Encoding::Cp932: break;
  }
  return sjis::Encode(text);
}

QList<sjis::Unencodable> UnencodableChars(QStringView text, Encoding e, int max) {
  if (e == Encoding::Cp932) return sjis::UnencodableChars(text, max);
  QList<sjis::Unencodable> found;
  if (e != Encoding::EucJp) return found;
  const std::vector<bool>& ok = EucJpBmp();
  int line = 1;
  const qsizetype size = text.size();
  for (qsizetype i = 0; i < size && (max < 0 || found.size() < max); ++i) {
    const char16_t u = text[i].unicode();
    if (u == '\r' || u == '\n' || u == 0x2029 || u == 0x2028) {
      if (u == '\r' && i + 1 < size && text[i + 1] == u'\n') ++i;
      ++line;
      continue;
    }
    if (QChar::isHighSurrogate(u) && i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode())) {
      found.append({QChar::surrogateToUcs4(u, text[i + 1].unicode()), i, line});  // EUC-JP is BMP only
      ++i;
    } else if (QChar::isSurrogate(u) || !ok[u]) {
      found.append({u, i, line});
    }
  }
  return found;
}

QString Name(Encoding e) {
  switch (e) {
    case Encoding::Utf8:
    case Encoding::Utf8Bom: return QStringLiteral("UTF-8");
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: return QStringLiteral("UTF-16");
    case Encoding::EucJp: return QStringLiteral("EUC-JP");
    case Encoding::Cp932: break;
  }
  return QStringLiteral("シフトJIS");
}

}  // namespace textdecode
