// Fuzz target: any bytes through the RTF reader. Whatever the reader makes of
// them must also survive our own writer: written and read back, the text
// stays the same.
#include <cstddef>
#include <cstdint>

#include "platform/Rtf.h"
#include "tests/fuzz/FuzzApp.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartApp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QTextDocument doc;
  rtf::Read(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), &doc);
  const QString text = doc.toRawText();
  QTextDocument again;
  rtf::Read(rtf::Write(&doc), &again);
  if (again.toRawText() != text) fuzz::Fail("read, written, read: text differs", text, again.toRawText());
  return 0;
}
