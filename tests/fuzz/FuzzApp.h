#pragma once
// One offscreen QGuiApplication per fuzz process: QTextDocument needs fonts.
// Qt gets an argv of its own so that it never eats the fuzzer's flags.
#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdlib>

namespace fuzz {

inline void StartApp() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "soramemo-fuzz";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
}

// Stops the run with a message libFuzzer records next to the input.
[[noreturn]] inline void Fail(const char* what, const QString& a, const QString& b) {
  fprintf(stderr, "%s\n  expected: %s\n  got:      %s\n", what,
          a.toUtf8().toPercentEncoding(" ").constData(), b.toUtf8().toPercentEncoding(" ").constData());
  abort();
}

}  // namespace fuzz
