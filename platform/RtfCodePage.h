#pragma once
// Byte <-> text conversions the RTF reader and writer share.
#include <QString>
#include <QStringView>
#include <memory>
#include <string_view>

namespace rtf {

// The Windows code page of an RTF \fcharset; ansiCodePage for the default
// charset (1) and for charsets with no code page of their own.
int CodePageForCharset(int charset, int ansiCodePage);

// True for the double-byte code pages of East Asia (932, 936, 949, 950, 1361).
bool IsDoubleByteCodePage(int codePage);

// Decodes byte runs through ICU, one cached converter per code page. Invalid
// or unmapped bytes become U+FFFD; unknown code pages decode as 1252.
class ByteDecoder {
 public:
  ByteDecoder();
  ~ByteDecoder();
  ByteDecoder(const ByteDecoder&) = delete;
  ByteDecoder& operator=(const ByteDecoder&) = delete;

  // Appends the decoded bytes to out.
  void Decode(int codePage, std::string_view bytes, QString& out);

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// The CP932 bytes of a BMP code unit: returns 1 or 2 and fills bytes, or 0 when
// CP932 has no mapping for it. Lone surrogates have none.
int Cp932Bytes(char16_t ch, unsigned char bytes[2]);

}  // namespace rtf
