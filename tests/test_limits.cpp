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

// Written in pieces, so that making the file costs no memory of its own.
void WriteRepeated(const QString& path, const QByteArray& head, const QByteArray& piece, qint64 count,
                   const QByteArray& tail) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(head);
  const qint64 per = std::max<qint64>(1, (1 << 20) / piece.size());
  const QByteArray block = piece.repeated(per);
  for (; count >= per; count -= per) QCOMPARE(f.write(block), block.size());
  f.write(piece.repeated(count));
  f.write(tail);
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
    WriteRepeated(dir.filePath("random.bin"), {}, bytes, 1, {});
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

  void tooLargeIsRefused() {
    const QString huge = dir.filePath("huge.txt");
    {
      QFile f(huge);
      QVERIFY(f.open(QIODevice::WriteOnly));
      QVERIFY(f.resize(qint64(200) << 20));  // sparse: costs no disk
    }
    // Too much text, or one paragraph too long, whether text or RTF.
    const qint64 paragraphPieces = TRichEdit::MaxParagraphChars / 9 + 1;
    WriteRepeated(dir.filePath("many.txt"), {}, "0123456789abcdef\r\n", TRichEdit::MaxTextChars / 17 + 1, {});
    WriteRepeated(dir.filePath("oneline.txt"), {}, "abcdefgh ", paragraphPieces, {});
    WriteRepeated(dir.filePath("oneline.rtf"), "{\\rtf1\\ansi ", "abcdefgh ", paragraphPieces, "}");
    const QString paragraph = QStringLiteral("「%1」は一つの段落（行）が長すぎるため開けません。\n一つの段落は 1048576 文字までです。");
    const QList<std::pair<QString, QString>> cases = {
        {huge, QStringLiteral("「%1」は大きすぎるため開けません。\n開けるのは 64 MB までのファイルです。")},
        {dir.filePath("many.txt"), QStringLiteral("「%1」は大きすぎるため開けません。\n開けるのは 8388608 文字までの文書です。")},
        {dir.filePath("oneline.txt"), paragraph},
        {dir.filePath("oneline.rtf"), paragraph},
    };
    for (const auto& [path, message] : cases) {
      const long before = PeakMb();
      const qsizetype windows = frame->Children().size();
      Dialogs::Script script;
      Open(path, script);
      QCOMPARE(script.Errors, QStringList{message.arg(path)});
      // No window is left bound to the refused file, where a save would
      // overwrite it with nothing.
      QCOMPARE(frame->Children().size(), windows);
      for (TSoraChild* c : frame->Children()) QVERIFY(c->Path() != path);
      if (path == huge) QVERIFY(PeakMb() - before < 100);  // refused before it is read
    }
  }

  // A pipe would hold the program, a device has no end: refused before opening.
  void notARegularFile() {
    const QString fifo = dir.filePath("pipe");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero")}) {
      const qsizetype windows = frame->Children().size();
      Dialogs::Script script;
      Open(path, script);
      QCOMPARE(script.Errors,
               QStringList{QStringLiteral("「%1」は通常のファイルではない（デバイスやパイプなど）ため開けません。").arg(path)});
      QCOMPARE(frame->Children().size(), windows);
    }
  }
};

QTEST_MAIN(TestLimits)
#include "test_limits.moc"
