// Document windows: creation, Save, Save As, Print and the close question.
#include <QFile>
#include <QFrame>
#include <QMdiArea>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>

#include "DocumentHost.h"
#include "document/FrameLink.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/FileNames.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool IsRtf(const QByteArray& bytes) { return bytes.startsWith("{\\rtf"); }

}  // namespace

class TestChildFiles : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  QMdiArea* area = nullptr;
  FrameMarks marks;

  QString Path(const QString& name) const { return dir.filePath(name); }

  // What the frame does for a path: caption, path, message pieces, load, Modified cleared.
  TSoraChild* Open(const QString& path) {
    auto* child = new TSoraChild(area, &marks);
    child->setWindowTitle(ExtractFileName(path));
    child->FilePath = path;
    child->QuoteOpen = QStringLiteral(" 『 ");
    child->QuoteClose = QStringLiteral(" 』 ");
    child->NotSavedText = QStringLiteral("は、保存されていません。終了しても宜しいですか？");
    if (QFile::exists(path)) child->RichEdit1->LoadFromFile(path);
    child->RichEdit1->SetModified(false);
    return child;
  }
  TSoraChild* OpenWith(const QString& name, const QString& text) {
    TSoraChild* child = Open(Path(name));
    child->RichEdit1->setPlainText(text);
    return child;
  }
  void MakeBold(TSoraChild* child) {
    child->RichEdit1->SelectAll();
    child->RichEdit1->SelAttributes().SetStyle(TFontStyles{}.With(TFontStyle::fsBold));
  }

 private slots:
  void init() {
    QVERIFY(dir.isValid());
    area = new QMdiArea;
    area->resize(800, 600);
    area->show();
  }
  void cleanup() {
    delete area;
    area = nullptr;
  }

  void fileNameParts_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ext");
    QTest::newRow("plain") << "/home/u/memo.txt" << "memo.txt" << ".txt";
    QTest::newRow("upper") << "A.RTF" << "A.RTF" << ".RTF";
    QTest::newRow("last period") << "a.b.c" << "a.b.c" << ".c";
    QTest::newRow("trailing period") << "dir/memo." << "memo." << ".";
    QTest::newRow("period in folder") << "old.docs/memo" << "memo" << "";
    QTest::newRow("no extension") << "新規作成 1" << "新規作成 1" << "";
    QTest::newRow("folder path") << "/a/b/" << "" << "";
    QTest::newRow("japanese") << "/文書/日記.htm" << "日記.htm" << ".htm";
  }
  void fileNameParts() {
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(QString, ext);
    QCOMPARE(ExtractFileName(path), name);
    QCOMPARE(ExtractFileExt(path), ext);
  }

  void creation() {
    TSoraChild* child = new TSoraChild(area, &marks);
    QCOMPARE(child->objectName(), QStringLiteral("SoraChild"));
    QCOMPARE(child->windowTitle(), QStringLiteral("ソラメモ　Ver 1.5　カゼノ舎"));
    QCOMPARE(child->size(), QSize(560, 300));
    QVERIFY(child->isVisible());
    QCOMPARE(area->currentSubWindow(), child);
    QVERIFY(child->FilePath.isEmpty() && child->QuoteOpen.isEmpty() && child->NotSavedText.isEmpty());
    // The bars stand above the text in this order, all hidden.
    auto* layout = qobject_cast<QVBoxLayout*>(child->RichEdit1->parentWidget()->layout());
    QVERIFY(layout);
    QCOMPARE(layout->indexOf(child->Panel1), 0);
    QCOMPARE(layout->indexOf(child->ToolBar1), 1);
    QCOMPARE(layout->indexOf(child->RulerPanel), 2);
    QCOMPARE(layout->indexOf(child->RichEdit1), 3);
    QVERIFY(child->Panel1->isHidden() && child->ToolBar1->isHidden() && child->RulerPanel->isHidden());
    QCOMPARE(child->Panel1->height(), 20);
    QCOMPARE(child->RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(child->RichEdit1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(child->RichEdit1->lineWrapMode(), QTextEdit::WidgetWidth);
    QCOMPARE(child->SaveDialog1.DefaultExt, QStringLiteral("txt"));
  }

  void activationMirrorsBars() {
    TSoraChild* a = Open(Path("a.txt"));
    a->ViewRulerExecute();
    QCOMPARE(marks.ruler, 1);
    TSoraChild* b = Open(Path("b.txt"));
    QCOMPARE(marks.count, 0);
    QCOMPARE(marks.button, 0);
    QCOMPARE(marks.ruler, 0);
    b->ViewToolBarExecute();
    QCOMPARE(marks.button, 1);
    area->setActiveSubWindow(a);
    QCOMPARE(marks.button, 0);
    QCOMPARE(marks.ruler, 1);
    a->ViewRulerExecute();
    QVERIFY(a->RulerPanel->isHidden());
    QCOMPARE(marks.ruler, 0);
  }

  void saveByExtension_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("rich");
    QTest::newRow("rtf") << "a.rtf" << true;
    QTest::newRow("RTF, any case") << "A.RTF" << true;
    QTest::newRow("Rtf") << "b.Rtf" << true;
    QTest::newRow("txt") << "c.txt" << false;
    QTest::newRow("c source") << "d.c" << false;
    QTest::newRow("htm") << "e.htm" << false;
    QTest::newRow("trailing period") << "memo." << false;
    QTest::newRow("rtf in a folder name") << "x.rtf.d/f.txt" << false;
  }
  void saveByExtension() {
    QFETCH(QString, name);
    QFETCH(bool, rich);
    QVERIFY(QDir(dir.path()).mkpath(QFileInfo(Path(name)).path()));
    Dialogs::Script script;
    TSoraChild* child = OpenWith(name, QStringLiteral("日本語\nテキスト"));
    MakeBold(child);
    QVERIFY(child->RichEdit1->GetModified());
    child->FileSaveExecute();
    QVERIFY(script.SaveRuns.isEmpty());
    const QByteArray bytes = ReadAll(Path(name));
    QCOMPARE(IsRtf(bytes), rich);
    if (!rich) QCOMPARE(bytes, sjis::Encode(u"日本語\r\nテキスト"));
    QVERIFY(!child->RichEdit1->GetModified());
    QCOMPARE(child->FilePath, Path(name));
    QCOMPARE(child->windowTitle(), ExtractFileName(name));
    QVERIFY(script.Unexpected.isEmpty());
  }

  void saveWithoutExtensionGoesToSaveAs_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("new document") << "新規作成 1";
    QTest::newRow("period only in the folder") << "old.docs/memo";
  }
  void saveWithoutExtensionGoesToSaveAs() {
    QFETCH(QString, name);
    Dialogs::Script script;
    TSoraChild* child = OpenWith(name, QStringLiteral("abc"));
    script.CancelSave();
    child->FileSaveExecute();
    QCOMPARE(script.SaveRuns.size(), 1);
    QVERIFY(child->RichEdit1->GetModified());
    QCOMPARE(child->FilePath, Path(name));

    // After a Save As, Save writes to the chosen path with no dialog.
    script.SaveFile(Path("chosen.txt"), 2);
    child->FileSaveExecute();
    QCOMPARE(script.SaveRuns.size(), 2);
    QCOMPARE(child->FilePath, Path("chosen.txt"));
    QCOMPARE(child->windowTitle(), QStringLiteral("chosen.txt"));
    QCOMPARE(ReadAll(Path("chosen.txt")), QByteArray("abc"));
    child->RichEdit1->SetSelText(QStringLiteral("d"));
    child->FileSaveExecute();
    QCOMPARE(script.SaveRuns.size(), 2);
    QCOMPARE(ReadAll(Path("chosen.txt")), QByteArray("dabc"));
    QVERIFY(script.Unexpected.isEmpty());
  }

  void saveAsFollowsTheChosenType() {
    Dialogs::Script script;
    TSoraChild* child = OpenWith("src.txt", QStringLiteral("書式"));
    MakeBold(child);

    // First type and a name ending in .txt: rich text in the .txt file...
    script.SaveFile(Path("rich.txt"), 1);
    child->FileSaveAsExecute();
    QVERIFY(IsRtf(ReadAll(Path("rich.txt"))));
    QCOMPARE(child->windowTitle(), QStringLiteral("rich.txt"));
    // ...and a later Save goes by the extension: plain text.
    child->FileSaveExecute();
    QCOMPARE(ReadAll(Path("rich.txt")), sjis::Encode(u"書式"));

    // Text type and a name ending in .rtf: plain text, then a Save writes rich text.
    script.SaveFile(Path("plain.rtf"), 2);
    child->FileSaveAsExecute();
    QCOMPARE(ReadAll(Path("plain.rtf")), sjis::Encode(u"書式"));
    child->FileSaveExecute();
    QVERIFY(IsRtf(ReadAll(Path("plain.rtf"))));

    // The C, HTML and all-files types write the plain text too.
    for (int index : {3, 4, 5}) {
      const QString name = QStringLiteral("t%1.htm").arg(index);
      script.SaveFile(Path(name), index);
      child->FileSaveAsExecute();
      QCOMPARE(ReadAll(Path(name)), sjis::Encode(u"書式"));
    }
    QVERIFY(!child->RichEdit1->GetModified());
    QVERIFY(script.Unexpected.isEmpty());
  }

  void saveAsDialogCarriesItsState() {
    Dialogs::Script script;
    TSoraChild* child = OpenWith("s.txt", QStringLiteral("x"));
    const int expected[] = {1, 2, 3, 4, 5, 2};
    const char* exts[] = {"rtf", "txt", "c", "htm", "", "txt"};
    for (int i = 0; i < 6; ++i) script.SaveFile(Path(QStringLiteral("f%1").arg(i)), expected[i]);
    for (int i = 0; i < 6; ++i) child->FileSaveAsExecute();
    QCOMPARE(script.SaveRuns.size(), 6);
    // The first run has the resource's "txt"; each later one the extension of
    // the type chosen the time before, with the previous name and type preset.
    QCOMPARE(script.SaveRuns[0].DefaultExt, QStringLiteral("txt"));
    QCOMPARE(script.SaveRuns[0].FilterIndex, 1);
    QVERIFY(script.SaveRuns[0].FileName.isEmpty());
    QVERIFY(script.SaveRuns[0].Filter.startsWith(QStringLiteral("書式付ファイル(*.RTF)|*.rtf|")));
    for (int i = 1; i < 6; ++i) {
      QCOMPARE(script.SaveRuns[i].DefaultExt, QString::fromLatin1(exts[i - 1]));
      QCOMPARE(script.SaveRuns[i].FilterIndex, expected[i - 1]);
      QCOMPARE(script.SaveRuns[i].FileName, Path(QStringLiteral("f%1").arg(i - 1)));
    }
    // A cancelled run changes nothing.
    script.CancelSave();
    child->RichEdit1->SetSelText(QStringLiteral("y"));
    child->FileSaveAsExecute();
    QCOMPARE(child->FilePath, Path("f5"));
    QVERIFY(child->RichEdit1->GetModified());
    QCOMPARE(child->SaveDialog1.DefaultExt, QStringLiteral("txt"));
  }

  void unencodableCharactersAreAskedAbout() {
    Dialogs::Script script;
    TSoraChild* child = OpenWith("u.txt", QStringLiteral("一行目\n二行目に한글"));
    script.Answer(false);
    child->FileSaveExecute();
    QCOMPARE(script.Questions.size(), 1);
    QVERIFY(script.Questions[0].contains(QStringLiteral("「한」（2行目）")));
    QVERIFY(!QFile::exists(Path("u.txt")));
    QVERIFY(child->RichEdit1->GetModified());

    script.Answer(true);
    child->FileSaveExecute();
    QCOMPARE(script.Questions.size(), 2);
    QVERIFY(QFile::exists(Path("u.txt")));
    QVERIFY(!child->RichEdit1->GetModified());

    // Save As with a text type asks too; with rich text nothing is lost, so nothing is asked.
    script.SaveFile(Path("u2.c"), 3).Answer(false);
    child->FileSaveAsExecute();
    QCOMPARE(script.Questions.size(), 3);
    QVERIFY(!QFile::exists(Path("u2.c")));
    QCOMPARE(child->FilePath, Path("u.txt"));
    script.SaveFile(Path("u3.rtf"), 1);
    child->FileSaveAsExecute();
    QCOMPARE(script.Questions.size(), 3);
    QVERIFY(IsRtf(ReadAll(Path("u3.rtf"))));
    QVERIFY(script.Unexpected.isEmpty());
  }

  void failedSaveChangesNothing() {
    Dialogs::Script script;
    TSoraChild* child = OpenWith("missing-folder/m.txt", QStringLiteral("abc"));
    child->FileSave->trigger();
    QCOMPARE(script.Errors.size(), 1);
    QVERIFY(!script.Errors[0].isEmpty());
    QVERIFY(child->RichEdit1->GetModified());
    QCOMPARE(child->FilePath, Path("missing-folder/m.txt"));
    QCOMPARE(child->windowTitle(), QStringLiteral("m.txt"));

    // Save As to a bad place: path and caption stay, the dialog's extension has moved on.
    script.SaveFile(Path("missing-folder/n.rtf"), 1);
    child->FileSaveAs->trigger();
    QCOMPARE(script.Errors.size(), 2);
    QCOMPARE(child->FilePath, Path("missing-folder/m.txt"));
    QCOMPARE(child->windowTitle(), QStringLiteral("m.txt"));
    QVERIFY(child->RichEdit1->GetModified());
    QCOMPARE(child->SaveDialog1.DefaultExt, QStringLiteral("rtf"));
    QVERIFY(script.Unexpected.isEmpty());
  }

  void printUsesTheCaptionAsTitle() {
    Dialogs::Script script;
    TSoraChild* child = OpenWith("sub/print-me.txt", QStringLiteral("印刷する文章"));
    script.CancelPrint();
    child->FilePrintExecute();
    QCOMPARE(script.PrintRuns, 1);

    const QString pdf = Path("out.pdf");
    script.PrintAnswers.push_back([pdf](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    });
    child->FilePrintExecute();
    const QByteArray bytes = ReadAll(pdf);
    QVERIFY(bytes.startsWith("%PDF"));
    // The job title is the caption, not the whole path.
    const QString title = QStringLiteral("print-me.txt");
    QByteArray utf16("\xFE\xFF");
    for (QChar c : title) utf16 += char(c.unicode() >> 8), utf16 += char(c.unicode() & 0xFF);
    QVERIFY(bytes.contains(utf16) || bytes.contains(title.toLatin1()));
    QVERIFY(!bytes.contains(QByteArray("sub/print-me")));
    QVERIFY(script.Unexpected.isEmpty());
  }

  void closeQuestion() {
    const QString path = Path("keep.txt");
    {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("on disk");
    }
    Dialogs::Script script;
    TSoraChild* clean = Open(path);
    QPointer<TSoraChild> watch = clean;
    QVERIFY(clean->close());
    QVERIFY(script.Questions.isEmpty());
    QTRY_VERIFY(!watch);

    TSoraChild* child = Open(path);
    watch = child;
    child->RichEdit1->SetSelText(QStringLiteral("changed "));
    script.Answer(false);
    QVERIFY(!child->close());
    QCOMPARE(script.Questions,
             QStringList{QStringLiteral(" 『 keep.txt 』 は、保存されていません。終了しても宜しいですか？")});
    QVERIFY(watch && child->isVisible() && child->RichEdit1->GetModified());
    QCOMPARE(area->subWindowList().size(), 1);

    script.Answer(true);
    QVERIFY(child->close());
    QCOMPARE(area->subWindowList().size(), 0);
    QTRY_VERIFY(!watch);
    QCOMPARE(ReadAll(path), QByteArray("on disk"));
    QVERIFY(script.Unexpected.isEmpty());
  }
};

QTEST_MAIN(TestChildFiles)
#include "test_child_files.moc"
