// Files at the edges, opened through the real frame: binary data loads as
// text; files too large to edit are refused with a Japanese message.
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include "FrameHost.h"
#include "document/CounterCell.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "tests/ChildParts.h"

namespace {

long PeakMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024;
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QCOMPARE(f.write(bytes), bytes.size());
}

}  // namespace

class TestLimits : public QObject, FrameHost {
  Q_OBJECT


  TSoraChild* Open(const QString& path, Dialogs::Script& script) {
    script.OpenFile(path);
    frame->FileOpen1->trigger();
    TSoraChild* child = frame->ActiveChild();
    if (child) child->repaint();
    return child;
  }

 private slots:
  void initTestCase() { Start(); }
  void cleanupTestCase() { Stop(); }

  // Arbitrary bytes load as text: nothing a document cannot hold comes in.
  void binaryFile() {
    QByteArray bytes(4 << 20, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    Write(dir.filePath("random.bin"), bytes);
    Dialogs::Script script;
    TSoraChild* child = Open(dir.filePath("random.bin"), script);
    QVERIFY(script.Errors.isEmpty());
    QVERIFY(child);
    QVERIFY(!child->Text()->GetText().isEmpty());
    QVERIFY(!child->Text()->GetText().contains(QChar(0)));
    // Typing at the end still works, and the counters follow it.
    child->Text()->moveCursor(QTextCursor::End);
    QTest::keyClicks(child->Text(), "end");
    QVERIFY(child->Text()->GetText().endsWith("end"));
    QCOMPARE(Part<TCounterCell>(child, "Memo3")->text(), QString::number(sjis::Encode(child->Text()->GetText()).size()));
  }

  // Too large, one paragraph too long (text or RTF), or not a file at all: a
  // pipe would hold the program, a device has no end.
  void refused_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    QFile huge(dir.filePath("huge.txt"));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(qint64(200) << 20));  // sparse: costs no disk
    const QByteArray line = QByteArray("abcdefgh ").repeated(TRichEdit::MaxParagraphChars / 9 + 1);
    Write(dir.filePath("many.txt"), QByteArray("0123456789abcdef\r\n").repeated(TRichEdit::MaxTextChars / 17 + 1));
    Write(dir.filePath("oneline.txt"), line);
    Write(dir.filePath("oneline.rtf"), "{\\rtf1\\ansi " + line + "}");
    QCOMPARE(mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
    const QString big = QStringLiteral("「%1」は大きすぎるため開けません。\n開けるのは ");
    const QString paragraph = QStringLiteral("「%1」は一つの段落（行）が長すぎるため開けません。\n一つの段落は 1048576 文字までです。");
    const QString notAFile = QStringLiteral("「%1」は通常のファイルではない（デバイスやパイプなど）ため開けません。");
    QTest::newRow("200 MB") << huge.fileName() << big + QStringLiteral("64 MB までのファイルです。");
    QTest::newRow("too many characters") << dir.filePath("many.txt") << big + QStringLiteral("8388608 文字までの文書です。");
    QTest::newRow("long paragraph") << dir.filePath("oneline.txt") << paragraph;
    QTest::newRow("long RTF paragraph") << dir.filePath("oneline.rtf") << paragraph;
    QTest::newRow("pipe") << dir.filePath("pipe") << notAFile;
    QTest::newRow("device") << QStringLiteral("/dev/zero") << notAFile;
  }
  void refused() {
    QFETCH(QString, path);
    QFETCH(QString, message);
    const long before = PeakMb();
    const qsizetype windows = frame->Children().size();
    Dialogs::Script script;
    Open(path, script);
    QCOMPARE(script.Errors, QStringList{message.arg(path)});
    // No window is left bound to the refused file, where a save would
    // overwrite it with nothing.
    QCOMPARE(frame->Children().size(), windows);
    for (TSoraChild* c : frame->Children()) QVERIFY(c->Path() != path);
    if (path.endsWith("huge.txt")) QVERIFY(PeakMb() - before < 100);  // refused before it is read
  }
};

QTEST_MAIN(TestLimits)
#include "test_limits.moc"
