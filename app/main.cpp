#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

#include "app/Startup.h"

namespace {

// --help and --version are answered on standard output before any window (or
// display) is needed; -1 when neither was asked. Anything the parser does not
// know, "-x" included, is left to the frame, which opens it as a file.
int AnswerCommandLine(int argc, char** argv) {
  // Most starts ask for neither: no second application object for them.
  const auto asked = [&] {
    for (int i = 1; i < argc; ++i)
      if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "--version") == 0) return true;
    return false;
  };
  if (!asked()) return -1;
  int copyArgc = argc;
  const QCoreApplication core(copyArgc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("soramemo"));
  QCoreApplication::setApplicationVersion(QStringLiteral(SORAMEMO_VERSION));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("ソラメモ: 日本語の文章を書くための小さなワープロ"));
  const QCommandLineOption help(QStringLiteral("help"), QStringLiteral("この説明を表示して終了します。"));
  const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("版数を表示して終了します。"));
  parser.addOption(help);
  parser.addOption(version);
  parser.addPositionalArgument(QStringLiteral("ファイル"), QStringLiteral("開くファイル（いくつでも）。"),
                               QStringLiteral("[ファイル...]"));
  if (!parser.parse(QCoreApplication::arguments())) return -1;
  QString text;
  if (parser.isSet(help)) {
    InstallQtJapanese();
    text = parser.helpText();
  } else if (parser.isSet(version)) text = QStringLiteral("soramemo %1\n").arg(QStringLiteral(SORAMEMO_VERSION));
  else return -1;
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.data(), 1, size_t(bytes.size()), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (const int status = AnswerCommandLine(argc, argv); status >= 0) return status;
  QApplication app(argc, argv);
  return RunSoraMemo(app);
}
