// Fuzz target: plain-text decoding with encoding detection. Nothing may fail,
// and the result must be text the document can hold: no CR, no NUL, no lone
// surrogate; pure ASCII comes through unchanged; the Shift-JIS measure the
// counters use agrees with the encoder.
#include <cstddef>
#include <cstdint>

#include "platform/ShiftJis.h"
#include "platform/TextDecode.h"
#include "tests/fuzz/FuzzApp.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartApp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  textdecode::Encoding used;
  const QString s = textdecode::Decode(bytes, &used);
  if (textdecode::Detect(bytes) != used) abort();
  for (qsizetype i = 0; i < s.size(); ++i) {
    const char16_t u = s[i].unicode();
    if (u == '\r' || u == 0) fuzz::Fail("CR or NUL in decoded text", QString(), s);
    if (QChar::isHighSurrogate(u)) {
      if (i + 1 >= s.size() || !QChar::isLowSurrogate(s[i + 1].unicode()))
        fuzz::Fail("lone high surrogate", QString(), s);
      ++i;
    } else if (QChar::isLowSurrogate(u)) {
      fuzz::Fail("lone low surrogate", QString(), s);
    }
  }
  bool plainAscii = true;
  for (uint8_t b : QByteArrayView(bytes)) plainAscii &= b < 0x80 && b != 0 && b != '\r';
  if (plainAscii && s != QString::fromLatin1(bytes)) fuzz::Fail("ASCII changed", QString::fromLatin1(bytes), s);
  const QByteArray encoded = sjis::Encode(s);
  if (sjis::ByteLength(s) != encoded.size())
    fuzz::Fail("measure and encoder disagree", QString::number(encoded.size()),
               QString::number(sjis::ByteLength(s)));
  return 0;
}
