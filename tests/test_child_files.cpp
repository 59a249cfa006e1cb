// Document windows: creation, Save, Save As, Print and the close question.
#include <QPrinter>
#include <QStringEncoder>
#include <QtTest>
#include <QtWidgets>

#include "DocumentHost.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "tests/ChildParts.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QCOMPARE(f.write(bytes), bytes.size());
}

bool IsRtf(const QString& path) { return ReadAll(path).startsWith("{\\rtf"); }

// Long enough for the detector to tell EUC-JP.
QByteArray EucText(const QString& tail = {}) {
  return QStringEncoder("EUC-JP").encode(QStringLiteral("日本語の文章です。\nこれは試験のための文書です。\n").repeated(4) + tail);
}

// A print dialog answered with a PDF file as the printer.
auto ToPdf(const QString& path) {
  return [path](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return true;
  };
}

}  // namespace

class TestChildFiles : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  std::unique_ptr<QMdiArea> area;
  FrameMarks marks;
  std::unique_ptr<Dialogs::Script> script;  // every dialog a test did not answer fails it

  QString Path(const QString& name) const { return dir.filePath(name); }

  // What the frame does for a path, then the text set and made bold.
  TSoraChild* Open(const QString& name, const QString& text = {}, bool bold = false) {
    auto* child = new TSoraChild(area.get(), &marks);
    child->OpenFile(Path(name));
    if (!text.isEmpty()) child->Text()->setPlainText(text);
    if (bold) {
      child->Text()->SelectAll();
      child->Text()->SelAttributes().SetStyle(TFontStyles{}.With(TFontStyle::fsBold));
    }
    return child;
  }

 private slots:
  void init() {
    QVERIFY(dir.isValid());
    script = std::make_unique<Dialogs::Script>();
    area = std::make_unique<QMdiArea>();
    area->resize(800, 600);
    area->show();
  }
  void cleanup() {
    QCOMPARE(script->Unexpected, QStringList());
    script.reset();
    area.reset();
  }

  void creation() {
    auto* child = new TSoraChild(area.get(), &marks);
    QCOMPARE(child->windowTitle(), QStringLiteral("ソラメモ　Ver 1.5　カゼノ舎"));
    QCOMPARE(child->size(), QSize(560, 300));
    QCOMPARE(area->currentSubWindow(), child);
    // The three bars stand above the text in this order, all hidden.
    auto* layout = qobject_cast<QVBoxLayout*>(child->Text()->parentWidget()->layout());
    QVERIFY(layout);
    QStringList bars;
    for (QWidget* w : QList<QWidget*>{Part<QFrame>(child, "Panel1"), Part<QToolBar>(child, "ToolBar1"),
                                      Part<QFrame>(child, "RulerPanel"), child->Text()})
      bars << QString::number(layout->indexOf(w)) + (w->isHidden() ? " hidden" : " shown");
    QCOMPARE(bars, QStringList({"0 hidden", "1 hidden", "2 hidden", "3 shown"}));
  }

  // The extension decides rich or plain text, whatever its case; a period in
  // the folder or at the end of the name is no ".rtf".
  void saveByExtension_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("rich");
    for (const char* name : {"a.b.rtf", "A.RTF", "b.Rtf"}) QTest::newRow(name) << name << true;
    for (const char* name : {"c.txt", "d.c", "memo.", "x.rtf.d/f.txt"}) QTest::newRow(name) << name << false;
  }
  void saveByExtension() {
    QFETCH(QString, name);
    QFETCH(bool, rich);
    QVERIFY(QDir(dir.path()).mkpath("x.rtf.d"));
    TSoraChild* child = Open(name, QStringLiteral("日本語\nテキスト"), true);
    child->FileSaveExecute();
    QCOMPARE(IsRtf(Path(name)), rich);
    if (!rich) QCOMPARE(ReadAll(Path(name)), sjis::Encode(u"日本語\r\nテキスト"));
    QCOMPARE(child->Text()->GetModified(), false);
  }

  void saveAsDialog() {
    // A period in the folder is no extension: Save goes to Save As, here cancelled.
    TSoraChild* child = Open("old.docs/memo", QStringLiteral("x"));
    const int types[] = {1, 2, 3, 4, 5, 2};
    script->CancelSave();
    for (int i = 0; i < 6; ++i) script->SaveFile(Path(QStringLiteral("f%1.txt").arg(i)), types[i]);
    script->CancelSave().CancelSave();
    child->FileSaveExecute();
    QVERIFY(child->Text()->GetModified());
    QCOMPARE(child->Path(), Path("old.docs/memo"));
    for (int i = 0; i < 8; ++i) child->FileSaveAsExecute();
    QCOMPARE(script->SaveRuns[0].Filter, QStringLiteral("書式付ファイル(*.RTF)|*.rtf|テキストファイル(*.TXT)|*.txt|"
                                                        "C言語ソースファイル(*.C)|*.c|HTMLファイル(*.HTM)|*.htm|"
                                                        "全てのファイル(*.*)|*.*|テキストファイル UTF-8(*.txt)|*.txt"));
    // Each run has the extension of the type chosen the time before (the
    // resource's "txt" at first), with the previous name and type preset; a
    // cancelled run (the first, the eighth) changes nothing.
    QStringList runs;
    for (const auto& r : script->SaveRuns)
      runs << QStringLiteral("%1 %2 %3").arg(r.DefaultExt).arg(r.FilterIndex).arg(r.FileName.section(u'/', -1));
    QCOMPARE(runs, QStringList({"txt 1 ", "txt 1 ", "rtf 1 f0.txt", "txt 2 f1.txt", "c 3 f2.txt", "htm 4 f3.txt",
                                " 5 f4.txt", "txt 2 f5.txt", "txt 2 f5.txt"}));
    // After a Save As, Save writes to the chosen path with no dialog.
    QCOMPARE(child->windowTitle(), QStringLiteral("f5.txt"));
    child->Text()->SetSelText(QStringLiteral("d"));
    child->FileSaveExecute();
    QCOMPARE(ReadAll(Path("f5.txt")), QByteArray("dx"));
    // The rich type writes rich text whatever the name; every other type plain text.
    QList<bool> rich;
    for (int i = 0; i < 5; ++i) rich << IsRtf(Path(QStringLiteral("f%1.txt").arg(i)));
    QCOMPARE(rich, QList<bool>({true, false, false, false, false}));

    // A later Save goes by the extension, whatever type the Save As chose.
    child = Open("src.txt", QStringLiteral("書式"), true);
    rich.clear();
    for (const auto& [name, type] : {std::pair("rich.txt", 1), {"plain.rtf", 2}}) {
      script->SaveFile(Path(name), type);
      child->FileSaveAsExecute();
      child->FileSaveExecute();
      rich << IsRtf(Path(name));
    }
    QCOMPARE(rich, QList<bool>({false, true}));
  }
  // Save writes a text file back as it came: encoding, BOM and line breaks.
  void saveKeepsTheFileEncoding_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");  // with 空 typed at the end
    const auto utf16 = [](QStringView text, QStringConverter::Encoding e) {
      return QByteArray(QStringEncoder(e, QStringConverter::Flag::WriteBom).encode(text));
    };
    QTest::newRow("UTF-8, LF") << QByteArray("a\n\xE4\xB8\x80\n") << QByteArray("a\n\xE4\xB8\x80\n\xE7\xA9\xBA");
    QTest::newRow("UTF-8 with BOM, CR LF") << QByteArray("\xEF\xBB\xBF\xE4\xB8\x80\r\n")
                                          << QByteArray("\xEF\xBB\xBF\xE4\xB8\x80\r\n\xE7\xA9\xBA");
    QTest::newRow("UTF-16 LE") << utf16(u"一\r\n", QStringConverter::Utf16LE) << utf16(u"一\r\n空", QStringConverter::Utf16LE);
    QTest::newRow("UTF-16 BE, LF") << utf16(u"一\n", QStringConverter::Utf16BE) << utf16(u"一\n空", QStringConverter::Utf16BE);
    QTest::newRow("EUC-JP, LF") << EucText() << EucText(QStringLiteral("空"));
    QTest::newRow("Shift-JIS: CR LF as always") << sjis::Encode(u"一\n") << sjis::Encode(u"一\r\n空");
  }
  void saveKeepsTheFileEncoding() {
    QFETCH(QByteArray, before);
    WriteFile(Path("enc.txt"), before);
    TSoraChild* child = Open("enc.txt");
    child->Text()->moveCursor(QTextCursor::End);
    child->Text()->SetSelText(QStringLiteral("空"));
    child->FileSaveExecute();
    QTEST(ReadAll(Path("enc.txt")), "after");
  }

  void unencodableCharactersAreAskedAbout() {
    TSoraChild* child = Open("u.txt", QStringLiteral("一行目\n二行目に한글"));
    script->Answer(false);
    child->FileSaveExecute();
    QCOMPARE(script->Questions.value(0), QStringLiteral("シフトJISで表せない文字が 2 文字あります。\n　2行目「한」\n　2行目「글」\n"
                                                      "これらの文字を置き換えてテキストとして保存しますか？"));
    QVERIFY(!QFile::exists(Path("u.txt")));
    QVERIFY(child->Text()->GetModified());
    script->Answer(true);
    child->FileSaveExecute();
    QVERIFY(QFile::exists(Path("u.txt")));
    QVERIFY(!child->Text()->GetModified());

    // Save As with a text type asks too; rich text loses nothing, so nothing is asked.
    script->SaveFile(Path("u2.c"), 3).Answer(false);
    child->FileSaveAsExecute();
    QVERIFY(!QFile::exists(Path("u2.c")));
    QCOMPARE(child->Path(), Path("u.txt"));
    script->SaveFile(Path("u3.rtf"), 1);
    child->FileSaveAsExecute();
    QVERIFY(IsRtf(Path("u3.rtf")));
    // The UTF-8 type keeps what Shift-JIS lacks, without a question, and Save keeps to it.
    script->SaveFile(Path("k.txt"), 6);
    child->FileSaveAsExecute();
    child->Text()->SetSelText(QStringLiteral("x"));
    child->FileSaveExecute();
    QCOMPARE(ReadAll(Path("k.txt")), QStringLiteral("x一行目\n二行目に한글").toUtf8());

    // A screenful of them is listed, with the rest counted.
    TSoraChild* many = Open("many.txt", QStringLiteral("①한\n").repeated(23));
    script->Answer(false);
    many->FileSaveExecute();
    const QString listed = script->Questions.value(3);
    QVERIFY2(listed.contains(QStringLiteral("文字が 23 文字")), qPrintable(listed));
    QVERIFY2(listed.contains(QStringLiteral("　20行目「한」\n　ほか 3 文字\n")), qPrintable(listed));
    // EUC-JP asks about what EUC-JP lacks.
    WriteFile(Path("e.txt"), EucText());
    TSoraChild* euc = Open("e.txt");
    euc->Text()->SetSelText(QStringLiteral("한"));
    script->Answer(false);
    euc->FileSaveExecute();
    QVERIFY(script->Questions.value(4).startsWith(QStringLiteral("EUC-JPで表せない文字が 1 文字あります。\n　1行目「한」")));
  }

  // Save over an RTF file names what the document could not hold; No keeps the file.
  void lossesOfAnRtfFileAreAskedAbout() {
    const QByteArray original = "{\\rtf1 text{\\pict 00}{\\pict 00}{\\pict 00}{\\footnote a}{\\footnote b}\\par}";
    WriteFile(Path("f.rtf"), original);
    TSoraChild* child = Open("f.rtf");
    child->Text()->SetSelText(QStringLiteral("new "));
    script->Answer(false);
    child->FileSaveExecute();
    QCOMPARE(script->Questions.value(0),
             QStringLiteral("「f.rtf」には、ソラメモで保存できない内容（図 3 個、脚注 2 個）があります。\n"
                            "上書きすると、これらはファイルから失われます。\n上書き保存しますか？"));
    QCOMPARE(ReadAll(Path("f.rtf")), original);
    QCOMPARE(child->Text()->GetModified(), true);

    // Another name loses nothing of the file; once saved, there is nothing more to ask.
    script->SaveFile(Path("g.rtf"), 1);
    child->FileSaveAsExecute();
    child->FileSaveExecute();

    TSoraChild* again = Open("f.rtf");
    script->Answer(true);
    again->FileSaveExecute();
    QCOMPARE(script->Questions.size(), 2);
    QCOMPARE(ReadAll(Path("f.rtf")).contains("pict"), false);
  }

  void printUsesTheCaptionAsTitle() {
    TSoraChild* child = Open("sub/print-me.txt", QStringLiteral("印刷する文章"));
    const QString pdf = Path("out.pdf");
    script->CancelPrint();
    script->PrintAnswers.push_back(ToPdf(pdf));
    child->FilePrintExecute();
    QVERIFY(!QFile::exists(pdf));
    child->FilePrintExecute();
    const QByteArray bytes = ReadAll(pdf);
    const QByteArray utf16 = QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom).encode(u"print-me.txt");
    QVERIFY(bytes.contains(utf16) || bytes.contains("print-me.txt"));
    QVERIFY(!bytes.contains("sub/print-me"));

    // A print that cannot be made is reported once, not dropped.
    script->PrintAnswers.push_back(ToPdf(Path("missing/out.pdf")));
    Part<QAction>(child, "FilePrint")->trigger();
    QCOMPARE(script->Errors.size(), 1);
    QVERIFY2(script->Errors[0].contains(QStringLiteral("「print-me.txt」を印刷できません。")), qPrintable(script->Errors[0]));
  }

  // Yes to the close question closes a changed window unsaved; the question
  // itself, and No, are the frame's test.
  void closeQuestion() {
    WriteFile(Path("keep.txt"), "on disk");
    QPointer<TSoraChild> child = Open("keep.txt");
    child->Text()->SetSelText(QStringLiteral("changed "));
    script->Answer(true);
    QVERIFY(child->close());
    QTRY_VERIFY(!child);
    QCOMPARE(script->Questions.size(), 1);
    QCOMPARE(ReadAll(Path("keep.txt")), QByteArray("on disk"));
  }
};

QTEST_MAIN(TestChildFiles)
#include "test_child_files.moc"
