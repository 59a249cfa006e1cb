// Guards the incremental layout: it breaks, places, draws and hit-tests text exactly as Qt's layout does.
#include <QtTest>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTextList>

#include "platform/FlowLayout.h"
#include "platform/RichEdit.h"
#include "platform/TextFormat.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

const char* const Japanese = "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。";
const char* const Latin = "The quick brown fox jumps over the lazy dog, then naps in the sun until dinner. ";

QTextBlockFormat Para(Qt::Alignment align, textfmt::Indents in = {}) {
  QTextBlockFormat f;
  f.setAlignment(align);
  textfmt::SetIndents(f, in);
  return f;
}

QTextCharFormat Font(const QString& family, int points, bool bold = false) {
  QTextCharFormat f;
  f.setFontFamilies({family});
  f.setFontPointSize(points);
  if (bold) f.setFontWeight(QFont::Bold);
  return f;
}

// Every paragraph kind the program makes, in fonts of several heights.
void FillSample(QTextDocument* doc) {
  doc->setDefaultFont(QFont(QStringLiteral("IPAMincho"), 10));
  QTextCursor c(doc);
  QTextBlockFormat first = Para(Qt::AlignLeft);
  first.setTopMargin(5);  // margins as an HTML paste brings them
  c.setBlockFormat(first);
  c.insertText(U(Japanese), Font("IPAMincho", 10));
  c.insertText(U(Latin), Font("DejaVu Sans", 14, true));
  c.insertText(U(Japanese), Font("IPAGothic", 8));
  c.insertBlock(Para(Qt::AlignHCenter), Font("IPAGothic", 18));
  c.insertText(U("中央揃えの見出し ") + U(Latin));
  QTextBlockFormat spaced = Para(Qt::AlignRight);
  spaced.setTopMargin(12);
  spaced.setBottomMargin(7.5);
  c.insertBlock(spaced, Font("DejaVu Serif", 11));
  c.insertText(U(Latin) + U(Japanese));
  c.insertBlock(Para(Qt::AlignLeft, {20, 0, 30}), Font("IPAMincho", 12));
  c.insertText(U("字下げ：") + U(Japanese));
  c.insertBlock(Para(Qt::AlignLeft, {0, 24, 0}), Font("IPAMincho", 10));  // hanging
  c.insertText(U("ぶら下げ：") + U(Japanese) + U(Latin));
  c.insertBlock(Para(Qt::AlignLeft), Font("DejaVu Sans", 9));
  c.insertText(U("a\tb\tcol\t末尾\t") + U(Latin));
  c.insertBlock(Para(Qt::AlignLeft), Font("IPAMincho", 16));  // an empty paragraph
  for (int i = 0; i < 3; ++i) {
    c.insertBlock(Para(Qt::AlignLeft), Font(i == 1 ? "DejaVu Sans" : "IPAMincho", 10 + 4 * i));
    if (i == 0) {
      QTextListFormat lf;
      lf.setStyle(QTextListFormat::ListDisc);
      lf.setIndent(1);
      c.createList(lf);
    }
    c.insertText(U("箇条書き ") + (i == 1 ? U(Latin) : U(Japanese)));
  }
  c.insertBlock(Para(Qt::AlignHCenter, {10, 0, 10}), Font("IPAPGothic", 12));
  c.insertText(U(Japanese));
}

QTextDocument* Sample(QObject* parent, bool flow, qreal width) {
  auto* doc = new QTextDocument(parent);
  if (flow) doc->setDocumentLayout(new FlowLayout(doc));
  else doc->documentLayout();
  FillSample(doc);
  doc->setPageSize(QSizeF(width, -1));
  return doc;
}

QImage Render(QTextDocument* doc, const QAbstractTextDocumentLayout::PaintContext& ctx, const QSize& size) {
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::white);
  QPainter p(&img);
  doc->documentLayout()->draw(&p, ctx);
  return img;
}

// A plain QTextEdit showing a copy of the same text, with Qt's layout or ours.
QTextEdit* Editor(bool flow, QWidget* parent) {
  auto* e = new QTextEdit(parent);
  if (flow) e->document()->setDocumentLayout(new FlowLayout(e->document()));
  FillSample(e->document());
  e->resize(300, 400);
  return e;
}

}  // namespace

class TestLayout : public QObject {
  Q_OBJECT
 private slots:
  void drawsAsQt_data() {
    QTest::addColumn<qreal>("width");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("preedit");
    for (qreal w : {180.0, 333.5, 560.0}) {
      const QByteArray at = "@" + QByteArray::number(w);
      QTest::newRow("plain" + at) << w << 0 << 0 << -1 << QString();
      QTest::newRow("selection over paragraphs" + at) << w << 40 << 420 << -1 << QString();
      QTest::newRow("caret" + at) << w << 0 << 0 << 250 << QString();
      QTest::newRow("preedit and its caret" + at) << w << 0 << 0 << -3 << U("へんかんちゅう");
    }
  }

  void drawsAsQt() {
    QFETCH(qreal, width);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    QFETCH(int, caret);
    QFETCH(QString, preedit);
    QObject owner;
    QImage images[2];
    for (int flow = 0; flow < 2; ++flow) {
      QTextDocument* doc = Sample(&owner, flow, width);
      QAbstractTextDocumentLayout::PaintContext ctx;
      ctx.cursorPosition = caret;
      ctx.palette.setColor(QPalette::Text, Qt::black);
      if (selEnd > selStart) {
        QTextCursor sel(doc);
        sel.setPosition(selStart);
        sel.setPosition(selEnd, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setBackground(QColor(0, 120, 215));
        f.setForeground(Qt::white);
        ctx.selections.append({sel, f});
      }
      if (!preedit.isEmpty()) {
        const QTextBlock b = doc->findBlockByNumber(3);
        b.layout()->setPreeditArea(5, preedit);
        doc->markContentsDirty(b.position(), b.length());
      }
      images[flow] = Render(doc, ctx, QSize(int(width) + 20, 1000));
    }
    QVERIFY2(images[1] == images[0], "the drawings differ");
  }

  // Where each paragraph sits and how many lines it has, against Qt's
  // layout of the same text, after random edits and a full layout.
  void randomEditsMatchQt_data() {
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {3u, 17u, 2026u}) QTest::newRow(qPrintable(QString::number(seed))) << seed;
  }

  void randomEditsMatchQt() {
    QFETCH(quint32, seed);
    QRandomGenerator rng(seed);
    QTextDocument doc;
    auto* flow = new FlowLayout(&doc);
    doc.setDocumentLayout(flow);
    FillSample(&doc);
    doc.setPageSize(QSizeF(260, -1));
    const QStringList pieces = {U("漢字かな"), U(Latin), "\n", U("改行\n\n二つ"), "x", U("\t")};
    for (int step = 0; step < 150; ++step) {
      QTextCursor c(&doc);
      c.setPosition(int(rng.bounded(doc.characterCount())));
      c.setPosition(std::min(doc.characterCount() - 1, c.position() + int(rng.bounded(30))),
                    QTextCursor::KeepAnchor);
      switch (rng.bounded(5)) {
        case 0: c.removeSelectedText(); break;
        case 1: c.mergeBlockFormat(Para(rng.bounded(2) ? Qt::AlignHCenter : Qt::AlignLeft, {int(rng.bounded(30)), 0, 0})); break;
        case 2: c.mergeCharFormat(Font(rng.bounded(2) ? "DejaVu Sans" : "IPAGothic", 8 + int(rng.bounded(16)))); break;
        default: c.insertText(pieces[int(rng.bounded(pieces.size()))]); break;
      }
      if (step % 50 == 49) doc.setPageSize(QSizeF(200 + rng.bounded(300), -1));
      // What the view draws is laid out as the edits go; the rest may wait.
      QImage img(300, 200, QImage::Format_ARGB32_Premultiplied);
      QPainter p(&img);
      QAbstractTextDocumentLayout::PaintContext ctx;
      ctx.clip = QRectF(0, rng.bounded(400), 300, 200);
      flow->draw(&p, ctx);
    }
    flow->LayOutAll();
    std::unique_ptr<QTextDocument> qt(doc.clone());
    qt->setPageSize(doc.pageSize());
    qt->documentLayout()->documentSize();  // all laid out
    QCOMPARE(flow->documentSize(), qt->documentLayout()->documentSize());
    QCOMPARE(doc.blockCount(), qt->blockCount());
    QStringList mismatches;
    int line = 0;
    for (QTextBlock a = doc.begin(), b = qt->begin(); a.isValid(); a = a.next(), b = b.next()) {
      const QRectF ra = flow->blockBoundingRect(a), rb = qt->documentLayout()->blockBoundingRect(b);
      if (ra != rb || a.layout()->lineCount() != b.layout()->lineCount() || a.firstLineNumber() != line)
        mismatches << QStringLiteral("paragraph %1 at %2,%3 (%4 lines) against %5,%6 (%7 lines)")
                          .arg(a.blockNumber())
                          .arg(ra.x()).arg(ra.y()).arg(a.layout()->lineCount())
                          .arg(rb.x()).arg(rb.y()).arg(b.layout()->lineCount());
      line += b.layout()->lineCount();
    }
    QCOMPARE(mismatches.join(','), QString());
    QCOMPARE(doc.lineCount(), line);
  }

  void caretMovesAsQt_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    for (int start : {0, 30, 75, 200, 330, 460, 590}) {
      const QByteArray at = "@" + QByteArray::number(start);
      QTest::newRow("down" + at) << start << int(Qt::Key_Down);
      QTest::newRow("up" + at) << start << int(Qt::Key_Up);
      QTest::newRow("home" + at) << start << int(Qt::Key_Home);
      QTest::newRow("end" + at) << start << int(Qt::Key_End);
    }
  }

  void caretMovesAsQt() {
    QFETCH(int, start);
    QFETCH(int, key);
    QWidget top;
    QTextEdit* edits[2] = {Editor(false, &top), Editor(true, &top)};
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    int after[2];
    for (int k = 0; k < 2; ++k) {
      QTextCursor c = edits[k]->textCursor();
      c.setPosition(start);
      edits[k]->setTextCursor(c);
      QTest::keyClick(edits[k], Qt::Key(key));
      QTest::keyClick(edits[k], Qt::Key(key));  // from a line reached by moving
      after[k] = edits[k]->textCursor().position();
    }
    QCOMPARE(after[1], after[0]);
  }

  void clicksHitAsQt_data() {
    QTest::addColumn<QPoint>("at");
    for (QPoint p : {QPoint(10, 10), QPoint(150, 30), QPoint(290, 60), QPoint(5, 120), QPoint(140, 200),
                     QPoint(60, 260), QPoint(200, 330), QPoint(150, 395), QPoint(2, 2)})
      QTest::newRow(qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y()))) << p;
  }

  void clicksHitAsQt() {
    QFETCH(QPoint, at);
    QWidget top;
    QTextEdit* edits[2] = {Editor(false, &top), Editor(true, &top)};
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    int pos[2];
    for (int k = 0; k < 2; ++k) {
      edits[k]->verticalScrollBar()->setValue(40);
      QTest::mouseClick(edits[k]->viewport(), Qt::LeftButton, {}, at);
      pos[k] = edits[k]->textCursor().position();
    }
    QCOMPARE(pos[1], pos[0]);
  }

  // The counters' line number and line start are exact while idle layout
  // has not reached the caret yet.
  void lineNumbersExactBeforeIdleLayout_data() {
    QTest::addColumn<double>("at");  // where in the text, as a fraction
    QTest::newRow("top") << 0.0;
    QTest::newRow("two thirds") << 0.67;
    QTest::newRow("end") << 1.0;
  }

  void lineNumbersExactBeforeIdleLayout() {
    QFETCH(double, at);
    TRichEdit e;
    e.resize(300, 200);
    QStringList paras;
    for (int i = 0; i < 4000; ++i) paras << U(Japanese).left(1 + i * 7 % 71) + U(Latin).left(i % 13);
    e.setPlainText(paras.join('\n'));
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    QVERIFY(qobject_cast<FlowLayout*>(e.document()->documentLayout())->Pending());
    const int byte = int(e.GetTextLen() * at);
    const int line = e.LineFromChar(byte);

    std::unique_ptr<QTextDocument> qt(e.document()->clone());
    qt->setPageSize(e.document()->pageSize());
    qt->documentLayout()->documentSize();
    const int pos = e.DocPosOf(byte);
    int expected = 0;
    QTextBlock b = qt->begin();
    for (; b.isValid() && !b.contains(pos); b = b.next()) expected += b.layout()->lineCount();
    int inBlock = 0;
    for (int k = 0; k < b.layout()->lineCount(); ++k)
      if (b.layout()->lineAt(k).textStart() <= pos - b.position()) inBlock = k;
    QCOMPARE(line, expected + inBlock);
    const int start = b.position() + b.layout()->lineAt(inBlock).textStart();
    QCOMPARE(e.LineIndex(line), e.BytePosOf(start));
  }

  // Idle layout corrects the estimated heights above the view: the text in
  // the view stays where it is, in the document windows' control.
  void idleLayoutKeepsTheViewStill() {
    TRichEdit e;
    e.resize(300, 200);
    QStringList paras;
    for (int i = 0; i < 40000; ++i) paras << U("あ").repeated(i % 5 == 0 ? 90 : 2) + QString::number(i);
    e.setPlainText(paras.join('\n'));
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    auto* flow = qobject_cast<FlowLayout*>(e.document()->documentLayout());
    QVERIFY(flow);
    e.verticalScrollBar()->setValue(e.verticalScrollBar()->maximum() / 2);
    e.viewport()->repaint();
    const int top = e.cursorForPosition(QPoint(2, 2)).position();
    QVERIFY(flow->Pending());
    QElapsedTimer clock;
    clock.start();
    while (flow->Pending() && clock.elapsed() < 60000) QApplication::processEvents();
    QCOMPARE(e.cursorForPosition(QPoint(2, 2)).position(), top);
  }
};

QTEST_MAIN(TestLayout)
#include "test_layout.moc"
