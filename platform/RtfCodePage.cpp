#include "platform/RtfCodePage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace rtf {

int CodePageForCharset(int charset, int ansiCodePage) {
  switch (charset) {
    case 0: return 1252;
    case 77: return 10000;     // Mac Roman
    case 78: return 932;       // Mac Japanese: Shift-JIS for our purposes
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    case 2: return 1252;       // symbol fonts: their glyphs sit on the 1252 bytes
    default: return ansiCodePage;
  }
}

bool IsDoubleByteCodePage(int codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
         codePage == 1361;
}

namespace {

// Every invalid or unmapped input becomes U+FFFD (ICU's own substitute for
// some code pages is U+001A, a control character).
void ToUnicodeReplacement(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                          UConverterCallbackReason reason, UErrorCode* err) {
  if (reason != UCNV_ILLEGAL && reason != UCNV_UNASSIGNED && reason != UCNV_IRREGULAR) return;
  static const UChar kReplacement = 0xFFFD;
  *err = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, err);
}

UConverter* OpenConverter(int codePage) {
  std::vector<std::string> names;
  switch (codePage) {
    case 932: names = {"windows-31j"}; break;
    case 10000: names = {"macintosh"}; break;
    case 65001: names = {"UTF-8"}; break;
    default:
      names = {"windows-" + std::to_string(codePage), "ibm-" + std::to_string(codePage),
               "cp" + std::to_string(codePage)};
  }
  for (const std::string& name : names) {
    UErrorCode err = U_ZERO_ERROR;
    UConverter* c = ucnv_open(name.c_str(), &err);
    if (U_SUCCESS(err) && c) {
      err = U_ZERO_ERROR;
      ucnv_setToUCallBack(c, ToUnicodeReplacement, nullptr, nullptr, nullptr, &err);
      return c;
    }
    if (c) ucnv_close(c);
  }
  return nullptr;
}

}  // namespace

struct ByteDecoder::Impl {
  std::unordered_map<int, UConverter*> converters;
  std::vector<UChar> buffer;

  UConverter* Get(int codePage) {
    auto it = converters.find(codePage);
    if (it != converters.end()) return it->second;
    UConverter* c = OpenConverter(codePage);
    if (!c && codePage != 1252) c = Get(1252);
    converters.emplace(codePage, c);
    return c;
  }

  ~Impl() {
    std::vector<UConverter*> seen;
    for (auto& [cp, c] : converters) {
      if (!c || std::find(seen.begin(), seen.end(), c) != seen.end()) continue;
      seen.push_back(c);
      ucnv_close(c);
    }
  }
};

ByteDecoder::ByteDecoder() : d_(std::make_unique<Impl>()) {}
ByteDecoder::~ByteDecoder() = default;

void ByteDecoder::Decode(int codePage, std::string_view bytes, QString& out) {
  if (bytes.empty()) return;
  bool ascii = true;
  for (char b : bytes) {
    if (static_cast<unsigned char>(b) >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii && codePage != 65001) {
    out.append(QLatin1StringView(bytes.data(), qsizetype(bytes.size())));
    return;
  }
  UConverter* c = d_->Get(codePage);
  if (!c) {
    out.append(QString(qsizetype(bytes.size()), QChar(0xFFFD)));
    return;
  }
  // No code page yields more UTF-16 units than bytes, except UTF-8's 4-byte
  // sequences (2 units for 4 bytes); leave room anyway.
  const size_t cap = bytes.size() * 2 + 2;
  if (d_->buffer.size() < cap) d_->buffer.resize(cap);
  UErrorCode err = U_ZERO_ERROR;
  ucnv_resetToUnicode(c);
  const int32_t n = ucnv_toUChars(c, d_->buffer.data(), int32_t(d_->buffer.size()), bytes.data(),
                                  int32_t(bytes.size()), &err);
  if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING) {
    out.append(QString(qsizetype(bytes.size()), QChar(0xFFFD)));
    return;
  }
  out.append(reinterpret_cast<const QChar*>(d_->buffer.data()), n);
}

namespace {

// For every BMP code unit: 0 when CP932 cannot encode it, else the length in
// bits 16..17 and the bytes in bits 0..15 (lead byte high).
std::vector<uint32_t> BuildCp932Table() {
  std::vector<uint32_t> table(0x10000, 0);
  UErrorCode err = U_ZERO_ERROR;
  UConverter* c = ucnv_open("windows-31j", &err);
  if (U_FAILURE(err) || !c) return table;
  err = U_ZERO_ERROR;
  ucnv_setFromUCallBack(c, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
  for (uint32_t u = 0; u < 0x10000; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    const UChar ch = UChar(u);
    char out[8];
    err = U_ZERO_ERROR;
    ucnv_resetFromUnicode(c);
    const int32_t n = ucnv_fromUChars(c, out, sizeof out, &ch, 1, &err);
    if (U_FAILURE(err) || n < 1 || n > 2) continue;
    const uint32_t b0 = static_cast<unsigned char>(out[0]);
    const uint32_t b1 = n == 2 ? static_cast<unsigned char>(out[1]) : 0;
    table[u] = (uint32_t(n) << 16) | (b0 << 8) | b1;
  }
  ucnv_close(c);
  return table;
}

}  // namespace

int Cp932Bytes(char16_t ch, unsigned char bytes[2]) {
  if (ch < 0x80) {
    bytes[0] = static_cast<unsigned char>(ch);
    return 1;
  }
  static const std::vector<uint32_t> table = BuildCp932Table();
  const uint32_t e = table[ch];
  const int n = int(e >> 16);
  if (n == 0) return 0;
  bytes[0] = static_cast<unsigned char>((e >> 8) & 0xFF);
  if (n == 2) bytes[1] = static_cast<unsigned char>(e & 0xFF);
  return n;
}

}  // namespace rtf
