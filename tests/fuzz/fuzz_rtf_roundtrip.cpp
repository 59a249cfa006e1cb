// Fuzz target: the RTF write-then-read round trip of RoundTrip.h.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/FuzzApp.h"
#include "tests/fuzz/RoundTrip.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartApp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString failure =
      roundtrip::Check(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
  if (!failure.isEmpty()) {
    fprintf(stderr, "%s\n", failure.toUtf8().constData());
    abort();
  }
  return 0;
}
