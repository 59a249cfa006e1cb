// soramemo-convert IN OUT: loads IN as a document window does and saves OUT by
// the Save rule (".rtf" in any letter case: rich text; else text, Shift-JIS
// with CR LF unless --encoding=utf8 asks for UTF-8 with LF).
#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <cstring>

#include "platform/FileError.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "platform/TextDecode.h"

namespace {

const char kUsage[] =
    "使い方: soramemo-convert [--lossy] [--encoding=sjis|utf8] 入力ファイル 出力ファイル\n"
    "  入力ファイルを読み込み、出力ファイルの拡張子が .rtf なら書式付き (RTF) で、\n"
    "  それ以外ならテキストで保存します。\n"
    "  --encoding=sjis  テキストをシフトJIS・CR LF で保存します (既定)\n"
    "  --encoding=utf8  テキストを UTF-8・LF で保存します\n"
    "  --lossy          シフトJISで表せない文字を置き換えて保存します\n"
    "  --help           この説明を表示します\n";

int Fail(const QString& message) {
  const QByteArray text = ("soramemo-convert: " + message + "\n").toUtf8();
  std::fwrite(text.data(), 1, size_t(text.size()), stderr);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  // Usage before anything of Qt's starts, whatever display there is.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  // A command-line tool: no window is ever shown, so no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  QStringList args = app.arguments().mid(1);
  const bool lossy = args.removeAll(QStringLiteral("--lossy")) > 0;
  bool utf8 = false;
  for (qsizetype i = args.size() - 1; i >= 0; --i) {
    if (!args[i].startsWith(QStringLiteral("--encoding="))) continue;
    const QString name = args.takeAt(i).mid(11);
    if (name != QStringLiteral("sjis") && name != QStringLiteral("utf8"))
      return Fail(QStringLiteral("文字コード「%1」は使えません。sjis か utf8 を指定してください。").arg(name));
    utf8 = name == QStringLiteral("utf8");
  }
  if (args.size() != 2)
    return Fail(QStringLiteral("使い方: soramemo-convert [--lossy] [--encoding=sjis|utf8] 入力ファイル 出力ファイル"));
  const QString in = args[0], out = args[1];
  if (!QFileInfo::exists(in)) return Fail(QStringLiteral("「%1」が見つかりません。").arg(in));

  try {
    TRichEdit edit;
    edit.LoadFromFile(in);
    edit.PlainText = QFileInfo(out).suffix().compare("rtf", Qt::CaseInsensitive) != 0;
    edit.TextEncoding = utf8 ? textdecode::Encoding::Utf8 : textdecode::Encoding::Cp932;
    edit.LineBreak = utf8 ? QStringLiteral("\n") : QStringLiteral("\r\n");
    if (edit.PlainText && !utf8 && !lossy) {
      const QList<sjis::Unencodable> bad = sjis::UnencodableChars(edit.GetText(), 1);
      if (!bad.isEmpty()) {
        const char32_t ch = bad.first().ch;
        return Fail(QStringLiteral("%1 行目の文字「%2」(U+%3) は Shift-JIS で表せません。"
                                   "置き換えて保存するには --lossy を、そのまま保存するには "
                                   "--encoding=utf8 を付けてください。")
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
