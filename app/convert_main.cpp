// soramemo-convert IN OUT: loads IN as a document window does and saves OUT by
// the Save rule (".rtf" in any letter case: rich text; else text, Shift-JIS
// with CR LF unless --encoding=utf8 asks for UTF-8 with LF).
// soramemo-convert --count IN prints the character count as one JSON object;
// --genkou IN OUT.pdf and --tategaki[=CxL] IN OUT.pdf write vertical pages.
#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <cstring>

#include "platform/FileError.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "platform/TextDecode.h"
#include "tategaki/Genkou.h"
#include "tategaki/Pages.h"

namespace {

const char kUsage[] =
    "使い方: soramemo-convert [--lossy] [--encoding=sjis|utf8] 入力ファイル 出力ファイル\n"
    "  入力ファイルを読み込み、出力ファイルの拡張子が .rtf なら書式付き (RTF) で、\n"
    "  それ以外ならテキストで保存します。\n"
    "  --encoding=sjis  テキストをシフトJIS・CR LF で保存します (既定)\n"
    "  --encoding=utf8  テキストを UTF-8・LF で保存します\n"
    "  --lossy          シフトJISで表せない文字を置き換えて保存します\n"
    "  --help           この説明を表示します\n"
    "使い方: soramemo-convert --count 入力ファイル\n"
    "  文字数を JSON で表示します\n"
    "使い方: soramemo-convert --genkou 入力ファイル 出力ファイル.pdf\n"
    "  原稿用紙 (20字×20行) の縦書きで PDF に書き出します\n"
    "使い方: soramemo-convert --tategaki[=40x16] 入力ファイル 出力ファイル.pdf\n"
    "  字数×行数を指定した縦書きの A5 ページで PDF に書き出します\n";

int Fail(const QString& message) {
  const QByteArray text = ("soramemo-convert: " + message + "\n").toUtf8();
  std::fwrite(text.data(), 1, size_t(text.size()), stderr);
  return 1;
}

// The numbers of the 文字数カウント dialog, in its order.
int PrintCount(const QString& in) {
  TRichEdit edit;
  edit.LoadFromFile(in);
  const tategaki::Count c = tategaki::CountText(edit.GetText());
  std::printf("{\"characters\": %d, \"characters_no_spaces\": %d, \"sjis_bytes\": %d, "
              "\"paragraphs\": %d, \"genkou_sheets\": %d, \"genkou_last_lines\": %d}\n",
              c.characters, c.charactersNoSpaces, edit.GetTextLen(), c.paragraphs, c.sheets,
              c.lastSheetLines);
  return 0;
}

// 原稿用紙 sheets, or plain pages of the given characters × lines.
int WritePages(const QString& in, const QString& out, const tategaki::PageStyle& style) {
  TRichEdit edit;
  edit.LoadFromFile(in);
  tategaki::DocumentLayout layout(style.cellsPerLine, style.linesPerPage);
  layout.Update(tategaki::SplitParagraphs(edit.GetText()));
  const QString error = tategaki::WritePdf(out, style, layout, QFileInfo(in).fileName());
  return error.isEmpty() ? 0 : Fail(error);
}

// "--tategaki" or "--tategaki=40x16"; false when the size is malformed.
bool ParsePlainStyle(const QString& option, tategaki::PageStyle& style) {
  style = tategaki::PageStyle::Plain();
  const qsizetype eq = option.indexOf('=');
  if (eq < 0) return true;
  const QStringList parts = option.mid(eq + 1).split(QChar('x'));
  bool ok1 = false, ok2 = false;
  if (parts.size() != 2) return false;
  const int chars = parts[0].toInt(&ok1), lines = parts[1].toInt(&ok2);
  if (!ok1 || !ok2 || chars < 5 || chars > 100 || lines < 1 || lines > 60) return false;
  style = tategaki::PageStyle::Plain(chars, lines);
  return true;
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
  if (!args.isEmpty() && args[0] == QLatin1String("--count")) {
    if (args.size() != 2) return Fail(QStringLiteral("使い方: soramemo-convert --count 入力ファイル"));
    if (!QFileInfo::exists(args[1])) return Fail(QStringLiteral("「%1」が見つかりません。").arg(args[1]));
    try {
      return PrintCount(args[1]);
    } catch (const EFileError& e) {
      return Fail(QString(e.text()).replace('\n', ' '));
    }
  }
  if (!args.isEmpty() && (args[0] == QLatin1String("--genkou") || args[0].startsWith(QLatin1String("--tategaki")))) {
    tategaki::PageStyle style = tategaki::PageStyle::Genkou();
    if (args[0] != QLatin1String("--genkou") &&
        (!(args[0] == QLatin1String("--tategaki") || args[0].startsWith(QLatin1String("--tategaki="))) ||
         !ParsePlainStyle(args[0], style)))
      return Fail(QStringLiteral("「%1」: 字数×行数は --tategaki=40x16 のように 5〜100 字、1〜60 行で指定してください。")
                      .arg(args[0]));
    if (args.size() != 3)
      return Fail(QStringLiteral("使い方: soramemo-convert %1 入力ファイル 出力ファイル.pdf").arg(args[0]));
    if (!QFileInfo::exists(args[1])) return Fail(QStringLiteral("「%1」が見つかりません。").arg(args[1]));
    try {
      return WritePages(args[1], args[2], style);
    } catch (const EFileError& e) {
      return Fail(QString(e.text()).replace('\n', ' '));
    }
  }
  if (args.size() != 2)
    return Fail(QStringLiteral("使い方: soramemo-convert [--lossy] [--encoding=sjis|utf8] 入力ファイル 出力ファイル"));
  const QString in = args[0], out = args[1];
  if (!QFileInfo::exists(in)) return Fail(QStringLiteral("「%1」が見つかりません。").arg(in));

  try {
    TRichEdit edit;
    edit.LoadFromFile(in);
    if (edit.LostOnLoad.Any()) {
      const QByteArray warning = QStringLiteral("soramemo-convert: 警告: 「%1」の次の内容は出力に含まれません: %2\n")
                                     .arg(in, edit.LostOnLoad.Describe())
                                     .toUtf8();
      std::fwrite(warning.data(), 1, size_t(warning.size()), stderr);
    }
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
