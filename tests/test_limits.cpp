// Files at the edges: RTF nested a million groups deep, binary data, files too
// large to edit. Each opens, or is refused with a message, through the real
// frame. With SORAMEMO_LIMITS_FULL=1 the large cases are made for real (a
// 200 MB text, a 50 MB line, the largest text and paragraph accepted) and the
// time to open and draw each, and the memory it took, are printed: run by
// hand, not in CI.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/resource.h>

#include "app/Startup.h"
#include "app/TSoraForm.h"
#include "document/CounterCell.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"

namespace {

bool Full() { return qEnvironmentVariableIntValue("SORAMEMO_LIMITS_FULL") == 1; }

// Peak resident memory of the process so far, in MB.
long PeakMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024;
}

// Writes the file in pieces, so that making it costs no memory of its own.
void WriteRepeated(const QString& path, const QByteArray& head, const QByteArray& piece,
                   qint64 count, const QByteArray& tail) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(head);
  QByteArray block;
  const qint64 per = std::max<qint64>(1, (1 << 20) / std::max<qsizetype>(1, piece.size()));
  for (qint64 i = 0; i < per; ++i) block += piece;
  qint64 left = count;
  while (left >= per) {
    QCOMPARE(f.write(block), block.size());
    left -= per;
  }
  for (qint64 i = 0; i < left; ++i) f.write(piece);
  f.write(tail);
}

}  // namespace

class TestLimits : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  std::unique_ptr<TSoraForm> frame;

  QString Path(const QString& name) const { return dir.filePath(name); }

  // Opens the file as the Open command does, draws the window, and reports
  // the time and memory it took.
  TSoraChild* OpenTimed(const QString& path, Dialogs::Script& script) {
    const long before = PeakMb();
    QElapsedTimer t;
    t.start();
    script.OpenFile(path);
    frame->FileOpen1->trigger();
    TSoraChild* child = frame->ActiveChild();
    if (child) child->repaint();
    QCoreApplication::processEvents();
    qInfo("%s: %lld bytes, opened and drawn in %lld ms, peak memory %ld MB -> %ld MB%s",
          qPrintable(QFileInfo(path).fileName()), QFileInfo(path).size(), t.elapsed(), before,
          PeakMb(), script.Errors.isEmpty() ? "" : " (refused)");
    return child;
  }

  // The counters agree with the text, as after any edit.
  void CheckCounters(TSoraChild* child) {
    const QByteArray bytes = sjis::Encode(child->RichEdit1->GetText());
    QCOMPARE(child->Memo3->text(), QString::number(bytes.size()));
  }

 private slots:
  void initTestCase() {
    InitApplication();
    QVERIFY(dir.isValid());
  }
  void init() {
    frame = std::make_unique<TSoraForm>();
    frame->Params.clear();
    frame->show();
  }
  void cleanup() {
    for (TSoraChild* c : frame->Children()) c->RichEdit1->SetModified(false);
    frame.reset();
  }

  // A million nested groups: no recursion, the text inside still read.
  void deepNesting() {
    const int depth = 1000000;
    WriteRepeated(Path("deep.rtf"), "{\\rtf1\\ansi ", "{", depth, "");
    {
      QFile f(Path("deep.rtf"));
      QVERIFY(f.open(QIODevice::Append));
      f.write("deep\\par text");
      for (int i = 0; i < depth; ++i) f.putChar('}');
      f.write(" after\\par}");
    }
    Dialogs::Script script;
    TSoraChild* child = OpenTimed(Path("deep.rtf"), script);
    QVERIFY(script.Errors.isEmpty());
    QVERIFY(child);
    QCOMPARE(child->RichEdit1->GetText(), QStringLiteral("deep\r\ntext after"));
    QVERIFY(!child->RichEdit1->GetModified());
    CheckCounters(child);
  }

  // Arbitrary bytes load as text: nothing a document cannot hold comes in.
  void binaryFile() {
    QByteArray bytes(4 << 20, Qt::Uninitialized);
    QRandomGenerator rng(7);
    rng.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    {
      QFile f(Path("random.bin"));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(bytes);
    }
    Dialogs::Script script;
    TSoraChild* child = OpenTimed(Path("random.bin"), script);
    QVERIFY(script.Errors.isEmpty());
    QVERIFY(child);
    const QString text = child->RichEdit1->GetText();
    QVERIFY(!text.isEmpty());
    QVERIFY(!text.contains(QChar(0)));
    CheckCounters(child);
    // Typing at the end still works and counts.
    child->RichEdit1->moveCursor(QTextCursor::End);
    QTest::keyClicks(child->RichEdit1, "end");
    CheckCounters(child);
  }

  // A file beyond what the editor takes is refused before it is read: a
  // Japanese message with the limit, no window left half-loaded with it.
  void tooLargeIsRefused() {
    const QString path = Path("huge.txt");
    {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      QVERIFY(f.resize(qint64(200) << 20));  // sparse: costs no disk
    }
    Dialogs::Script script;
    const long before = PeakMb();
    OpenTimed(path, script);
    QCOMPARE(script.Errors.size(), 1);
    QVERIFY2(script.Errors[0].contains(QStringLiteral("大きすぎる")), qPrintable(script.Errors[0]));
    QVERIFY2(script.Errors[0].contains(QString::number(TRichEdit::MaxFileBytes >> 20)),
             qPrintable(script.Errors[0]));
    QVERIFY(PeakMb() - before < 100);  // never read
  }

  // Text the layout could not take in reasonable time is refused once read:
  // one paragraph too long, or too many characters in all.
  void tooLongParagraphIsRefused() {
    WriteRepeated(Path("oneline.txt"), {}, "abcdefgh ", TRichEdit::MaxParagraphChars / 9 + 1, {});
    Dialogs::Script script;
    OpenTimed(Path("oneline.txt"), script);
    QCOMPARE(script.Errors.size(), 1);
    QVERIFY2(script.Errors[0].contains(QStringLiteral("長すぎる")), qPrintable(script.Errors[0]));
    // An RTF paragraph counts the same.
    WriteRepeated(Path("oneline.rtf"), "{\\rtf1\\ansi ", "abcdefgh ", TRichEdit::MaxParagraphChars / 9 + 1, "}");
    Dialogs::Script rtfScript;
    OpenTimed(Path("oneline.rtf"), rtfScript);
    QCOMPARE(rtfScript.Errors.size(), 1);
    QVERIFY(rtfScript.Errors[0].contains(QStringLiteral("長すぎる")));
  }
  void tooMuchTextIsRefused() {
    WriteRepeated(Path("many.txt"), {}, "0123456789abcdef\r\n", TRichEdit::MaxTextChars / 17 + 1, {});
    Dialogs::Script script;
    OpenTimed(Path("many.txt"), script);
    QCOMPARE(script.Errors.size(), 1);
    QVERIFY2(script.Errors[0].contains(QString::number(TRichEdit::MaxTextChars)), qPrintable(script.Errors[0]));
  }

  // By hand: the large cases made for real, with their figures.
  void largeFiles_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<bool>("refused");
    const QString line = QStringLiteral("日本語のテキスト、ASCII text as well. 0123456789\r\n");
    const QByteArray sjisLine = sjis::Encode(line);
    const qint64 lineChars = line.size() - 1;  // CR LF is one paragraph end
    QTest::newRow("200 MB of lines") << "lines200.txt" << sjisLine << qint64(200 << 20) / sjisLine.size() << true;
    QTest::newRow("one line of 50 MB") << "line50.txt" << QByteArray("abcdefgh ") << qint64(50 << 20) / 9 << true;
    QTest::newRow("text just under the limit")
        << "linesmax.txt" << sjisLine << (TRichEdit::MaxTextChars - 1024) / lineChars << false;
    QTest::newRow("one paragraph just under the limit")
        << "linemax.txt" << QByteArray("abcdefgh ") << qint64(TRichEdit::MaxParagraphChars - 16) / 9 << false;
  }
  void largeFiles() {
    if (!Full()) QSKIP("set SORAMEMO_LIMITS_FULL=1 to make and open the large files");
    QFETCH(QString, name);
    QFETCH(QByteArray, piece);
    QFETCH(qint64, count);
    QFETCH(bool, refused);
    WriteRepeated(Path(name), {}, piece, count, {});
    Dialogs::Script script;
    TSoraChild* child = OpenTimed(Path(name), script);
    if (refused) {
      QCOMPARE(script.Errors.size(), 1);
    } else {
      QVERIFY(script.Errors.isEmpty());
      QElapsedTimer t;
      t.start();
      child->RichEdit1->moveCursor(QTextCursor::End);
      QTest::keyClicks(child->RichEdit1, "x");
      qInfo("  a key typed at the end: %lld ms", t.elapsed());
      t.restart();
      QTest::keyClicks(child->RichEdit1, "y");
      qInfo("  the next key: %lld ms", t.elapsed());
      CheckCounters(child);
    }
    QFile::remove(Path(name));
  }
};

QTEST_MAIN(TestLimits)
#include "test_limits.moc"
