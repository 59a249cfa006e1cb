// Guards the text control: byte positions, undo and Modified, display lines, loading and the caret's format.
#include <QtTest>

#include "platform/FileError.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  QFile f(dir.filePath(name));
  if (f.open(QIODevice::WriteOnly)) f.write(bytes);
  return f.fileName();
}

void Select(TRichEdit& e, int start, int length) { e.SetSelStart(start), e.SetSelLength(length); }

}  // namespace

class TestRichEdit : public QObject {
  Q_OBJECT
 private slots:
  void bytePositions() {
    TRichEdit e;
    e.SetSelText(U("漢字abｱ\r\n二行目"));
    QCOMPARE(e.GetText(), U("漢字abｱ\r\n二行目"));
    QCOMPARE(e.GetSelStart(), 15);  // after the inserted text
    // Inside a double-byte character counts it; before and past the text, clamped.
    const QByteArray sj = sjis::Encode(e.GetText());
    for (int n = -1; n <= sj.size() + 2; ++n) QCOMPARE(e.CharsBefore(n), ByteToCharLen(sj, n));
    e.SetSelStart(1000);  // past the end: the end
    QCOMPARE(e.GetSelStart(), 15);

    e.SelectAll();
    e.SetSelText(U("あいうabc"));
    Select(e, 2, 5);
    QCOMPARE(e.GetSelText(), U("いうa"));
    e.SetSelText("X");
    QCOMPARE(e.GetText(), U("あXbc"));
  }

  void undoAndModified() {
    TRichEdit e;
    e.SetSelText("first line\r\nsecond");
    e.SetModified(false);
    Select(e, 0, 5);
    e.SetSelText(U("最初\r\nの"));
    e.Undo();  // one step
    QCOMPARE(e.GetText(), QString("first line\r\nsecond"));
    QVERIFY(e.GetModified());  // back at the saved text, still modified: only the program clears it
  }

  // Display lines, not paragraphs; their exact places against Qt's layout are the layout test's.
  void displayLines() {
    TRichEdit e;
    e.resize(220, 200); e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    e.SetSelText("first\r\n" + U("これは折り返される長い段落です。").repeated(8) + "\r\nlast");
    const int last = e.LineFromChar(e.GetTextLen());
    QVERIFY2(last > 3, "the paragraph should wrap");
    QCOMPARE(e.LineIndex(last), e.GetTextLen() - 4);
    QCOMPARE(e.LineIndex(last + 1), -1);
    e.resize(150, 200);  // narrower: more lines
    QCoreApplication::processEvents();
    QVERIFY(e.LineFromChar(e.GetTextLen()) > last);

    // Typed: Shift+Enter makes a paragraph break, measured as CR LF.
    QTest::keyClicks(&e, "a");
    QTest::keyClick(&e, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&e, "b");
    QCOMPARE(e.GetText().right(8), QString("lasta\r\nb"));
    QCOMPARE(e.document()->blockCount(), 4);
  }

  void loading() {
    QTemporaryDir dir;
    TRichEdit e;
    e.SetSelText("old");
    e.LoadFromFile(WriteFile(dir, "in.txt", sjis::Encode(U("一行目\r\n二行目\nthird\rｶﾅ"))));
    const QString lines = U("一行目\r\n二行目\r\nthird\r\nｶﾅ");
    QCOMPARE(e.GetText(), lines);
    e.Undo();  // loading starts a new undo history
    QCOMPARE(e.GetText(), lines);

    // \line is a line break inside the paragraph that measures as CR LF, two characters.
    e.LoadFromFile(WriteFile(dir, "line.rtf", "{\\rtf1 a\\line b\\par c}"));
    QCOMPARE(e.document()->toRawText(), QString("a") + QChar(0x2028) + "b" + QChar(0x2029) + "c");
    QCOMPARE(e.GetText(), QString("a\r\nb\r\nc"));
    QCOMPARE(e.CharsBefore(3), 3);

    // After loading, the caret takes the first character's format, not the default.
    e.LoadFromFile(WriteFile(dir, "start.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\b\\fs40 Big\\b0\\fs20  small\\par}"));
    QCOMPARE(e.SelAttributes().GetSize(), 20);
    e.SetSelStart(5); e.SetSelStart(0);
    QCOMPARE(e.SelAttributes().GetSize(), 20);
    e.SetSelText("A"); e.SetSelStart(1);  // typed text takes the format it stands in
    QCOMPARE(e.SelAttributes().GetSize(), 20);
    Select(e, 3, 4);  // a mixed selection answers for its first character
    QCOMPARE(e.SelAttributes().GetSize(), 20);
  }

  void loadErrors() {
    QTemporaryDir dir;
    TRichEdit e;
    e.SetSelText("text");
    const auto error = [&](const QString& path) {
      try {
        e.LoadFromFile(path);
      } catch (const EFileError& err) {
        return err.text();
      }
      return QStringLiteral("no error");
    };
    QCOMPARE(error(dir.path()), U("「%1」はフォルダーです。ファイルを指定してください。").arg(dir.path()));
    const QString missing = dir.filePath("missing.txt");
    QCOMPARE(error(missing), U("「%1」を開けません。\nファイルを開けません（存在しないか、アクセス権がありません）。").arg(missing));
    QCOMPARE(e.GetText(), QString("text"));
  }
};

QTEST_MAIN(TestRichEdit)
#include "test_richedit.moc"
