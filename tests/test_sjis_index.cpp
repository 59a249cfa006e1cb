// Guards the Shift-JIS position index: after any sequence of edits it agrees with a recount.
#include <QAbstractTextDocumentLayout>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include "platform/ShiftJis.h"
#include "platform/SjisIndex.h"

class SjisIndexTest : public QObject {
  Q_OBJECT

  // The document's text as the counters read it: paragraph breaks as CR LF.
  static QString CrLfText(const QTextDocument& doc) {
    QString s = doc.toPlainText();
    s.replace(QChar('\n'), QStringLiteral("\r\n"));
    return s;
  }

 private slots:
  void randomEditsAgreeWithRecount_data() {
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 3u, 42u, 2026u}) QTest::newRow(qPrintable(QString::number(seed))) << seed;
  }

  void randomEditsAgreeWithRecount() {
    QFETCH(quint32, seed);
    QRandomGenerator rng(seed);
    // Single-byte, double-byte, a surrogate pair, a character CP932 lacks, breaks.
    const QStringList pieces = {QStringLiteral("a"), QStringLiteral("ｱ"), QStringLiteral("漢字"),
                                QStringLiteral("\U0001F600"), QStringLiteral("\u00E9"),
                                QStringLiteral("\n"), QStringLiteral("x\ny"), QStringLiteral("\n\n")};
    QTextDocument doc;
    doc.documentLayout();  // a document without a layout reports no changes
    SjisIndex index(&doc);
    QObject::connect(&doc, &QTextDocument::contentsChange, &doc,
                     [&](int p, int r, int a) { index.ContentsChange(p, r, a); });
    QTextCursor c(&doc);
    for (int step = 0; step < 400; ++step) {
      const int len = doc.characterCount() - 1;
      c.setPosition(int(rng.bounded(len + 1)));
      if (rng.bounded(3) == 0 && len > 0) {
        c.setPosition(std::min(len, c.position() + int(rng.bounded(6)) + 1), QTextCursor::KeepAnchor);
        c.removeSelectedText();
      } else {
        c.insertText(pieces[int(rng.bounded(pieces.size()))]);
      }
      QCOMPARE(index.TotalBytes(), sjis::ByteLength(CrLfText(doc)));
    }
    // Every position, against the measure of the text before it.
    const QString plain = doc.toPlainText();
    for (int pos = 0; pos <= plain.size(); ++pos) {
      if (pos > 0 && pos < plain.size() && plain[pos].isLowSurrogate() && plain[pos - 1].isHighSurrogate()) continue;
      const QString before = plain.left(pos);
      const int breaks = int(before.count(QChar('\n')));
      const int bytes = int(sjis::ByteLength(before)) + breaks;
      QCOMPARE(index.BytePos(pos), bytes);
      QCOMPARE(index.DocPos(bytes), pos);
    }
    QCOMPARE(index.TotalChars(), qint64(plain.toUcs4().size() + plain.count(QChar('\n'))));
  }
};

QTEST_MAIN(SjisIndexTest)
#include "test_sjis_index.moc"
