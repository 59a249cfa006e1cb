// Every input the fuzzers ever broke on, and the seeds they start from, run
// through the real loading code: the RTF reader and the plain-text decoder
// behind TRichEdit::LoadFromFile, and the write-then-read round trip.
#include <QDir>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTest>

#include "platform/Rtf.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "platform/TextDecode.h"
#include "tests/fuzz/RoundTrip.h"

namespace {

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Each file of the given folders of tests/fuzz as one data row.
void AddRows(const QStringList& subs) {
  QTest::addColumn<QString>("path");
  for (const QString& sub : subs) {
    const QDir dir(QStringLiteral(SORAMEMO_SOURCE_DIR "/tests/fuzz/") + sub);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
      QTest::newRow(qPrintable(sub + '/' + name)) << dir.filePath(name);
  }
}

// What the counters show must be what a save writes.
void LoadAndCheckMeasure(TRichEdit& e, const QString& path) {
  e.LoadFromFile(path);
  const QByteArray sjisBytes = sjis::Encode(e.GetText());
  QCOMPARE(e.GetTextLen(), int(sjisBytes.size()));
  QCOMPARE(e.GetCharCount(), ByteToCharLen(sjisBytes, sjisBytes.size()));
}

}  // namespace

class TestFuzzRegressions : public QObject {
  Q_OBJECT

 private slots:
  void rtfFiles_data() { AddRows({"regressions/rtf", "seeds/rtf"}); }
  void rtfFiles() {
    QFETCH(QString, path);
    TRichEdit e;
    LoadAndCheckMeasure(e, path);
    QTextDocument back;  // what the reader made survives our writer
    rtf::Read(rtf::Write(e.document()), &back);
    QCOMPARE(back.toRawText(), e.document()->toRawText());
  }

  void textFiles_data() { AddRows({"regressions/text", "seeds/text"}); }
  void textFiles() {
    QFETCH(QString, path);
    const QByteArray bytes = ReadFile(path);
    textdecode::Encoding used;
    const QString s = textdecode::Decode(bytes, &used);
    QCOMPARE(textdecode::Detect(bytes), used);
    QVERIFY(!s.contains(QChar('\r')) && !s.contains(QChar(0)));
    QCOMPARE(sjis::ByteLength(s), sjis::Encode(s).size());
    TRichEdit e, again;
    LoadAndCheckMeasure(e, path);
    if (!sjis::UnencodableChars(e.GetText(), 1).isEmpty()) return;
    QTemporaryDir dir;  // saved as text, the file reads back to the same text
    e.PlainText = true;
    e.SaveToFile(dir.filePath("out.txt"));
    again.LoadFromFile(dir.filePath("out.txt"));
    QCOMPARE(again.GetText(), e.GetText());
  }

  void roundTrips_data() { AddRows({"regressions/roundtrip", "seeds/roundtrip"}); }
  void roundTrips() {
    QFETCH(QString, path);
    const QString failure = roundtrip::Check(ReadFile(path));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
  }

  // U+FFFC read from a file is a character like any other; only an embedded
  // object behind it (which RTF saving leaves out) is not written.
  void objectReplacementCharacter() {
    QTextDocument doc, back;
    QTextCursor c(&doc);
    c.insertText(QString::fromUtf16(u"a\uFFFCb"));
    QTextImageFormat image;
    image.setName(QStringLiteral("picture.png"));
    c.insertImage(image);
    c.insertText(QStringLiteral("c"));
    rtf::Read(rtf::Write(&doc), &back);
    QCOMPARE(back.toRawText(), QString::fromUtf16(u"a\uFFFCbc"));
  }
};

QTEST_MAIN(TestFuzzRegressions)
#include "test_fuzz_regressions.moc"
