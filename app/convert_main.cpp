// soramemo-convert IN OUT: loads IN as a document window does and saves OUT by
// the Save rule (".rtf" in any letter case: rich text; else Shift-JIS text).
#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

#include "platform/FileError.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"

namespace {

int Fail(const QString& message) {
  const QByteArray text = ("soramemo-convert: " + message + "\n").toUtf8();
  std::fwrite(text.data(), 1, size_t(text.size()), stderr);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  // A command-line tool: no window is ever shown, so no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  QStringList args = app.arguments().mid(1);
  const bool lossy = args.removeAll(QStringLiteral("--lossy")) > 0;
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::printf("usage: soramemo-convert [--lossy] IN OUT\n");
    return 0;
  }
  if (args.size() != 2)
    return Fail(QStringLiteral("使い方: soramemo-convert [--lossy] 入力ファイル 出力ファイル"));
  const QString in = args[0], out = args[1];
  if (!QFileInfo::exists(in)) return Fail(QStringLiteral("「%1」が見つかりません。").arg(in));

  try {
    TRichEdit edit;
    edit.LoadFromFile(in);
    edit.PlainText = QFileInfo(out).suffix().compare("rtf", Qt::CaseInsensitive) != 0;
    if (edit.PlainText && !lossy) {
      const QList<sjis::Unencodable> bad = sjis::UnencodableChars(edit.GetText(), 1);
      if (!bad.isEmpty()) {
        const char32_t ch = bad.first().ch;
        return Fail(QStringLiteral("%1 行目の文字「%2」(U+%3) は Shift-JIS で表せません。"
                                   "置き換えて保存するには --lossy を付けてください。")
                        .arg(bad.first().line)
                        .arg(QString::fromUcs4(&ch, 1))
                        .arg(QString::number(uint(ch), 16).toUpper().rightJustified(4, '0')));
      }
    }
    edit.SaveToFile(out);
  } catch (const EFileError& e) {
    return Fail(QString(e.text()).replace('\n', ' '));
  }
  return 0;
}
