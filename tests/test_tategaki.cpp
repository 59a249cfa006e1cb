// Guards vertical writing as users get it: glyph forms and places, the PDF pages, the converter's count, the preview and the count dialog.
#include <QComboBox>
#include <QGlyphRun>
#include <QLabel>
#include <QMdiArea>
#include <QPainter>
#include <QProcess>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QtTest>

#include "FrameHost.h"
#include "document/CountDialog.h"
#include "document/TategakiPreview.h"
#include "tategaki/Pages.h"
#include "tategaki/Shaper.h"

using namespace tategaki;

namespace {

constexpr int kCell = 100;

// One shaped text drawn black on white in a kCell square.
QImage Render(const QRawFont& font, const ShapedText& s, QPointF origin) {
  QImage image(kCell, kCell, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QGlyphRun run;
  run.setRawFont(font);
  run.setGlyphIndexes(s.glyphs);
  QList<QPointF> positions;
  for (const QPointF& p : s.positions) positions.append(origin + p * kCell);
  run.setPositions(positions);
  painter.drawGlyphRun(QPointF(0, 0), run);
  return image;
}

QRect Ink(const QImage& image) {
  QRect ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
  return ink;
}

// Pages of a PDF, counted from its page objects.
int CountPdfPages(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QString bytes = QString::fromLatin1(f.readAll());
  return int(bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))));
}

struct Run {
  int code = -1;
  QString out, err;
};
Run Convert(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(SORAMEMO_BIN_DIR "/soramemo-convert"), args);
  p.waitForFinished(60000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace

class TestTategaki : public QObject {
  Q_OBJECT
  FrameHost host;

  QString WriteText(const QString& name, const QString& text) {
    const QString path = host.dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text.toUtf8());
    return path;
  }

  TSoraChild* OpenText(const QString& name, const QString& text) {
    TSoraChild* child = host.frame->OpenDocument(WriteText(name, text));
    host.frame->MdiClient->setActiveSubWindow(child);
    return child;
  }

  static QString Sheets(int n) { return QStringLiteral("あいうえおかきくけこ\n").repeated(n * 20); }

 private slots:
  void initTestCase() { host.Start(); }
  void cleanupTestCase() { host.Stop(); }
  void cleanup() { host.CloseDocuments(); }

  void verticalForms() {
    Shaper shaper(DefaultFont());
    QVERIFY(shaper.IsValid());
    QRawFont font = shaper.Font();
    font.setPixelSize(kCell);
    const QImage vertical = Render(font, shaper.Vertical(QStringLiteral("「")), QPointF(kCell / 2, 0));
    const QImage horizontal = Render(font, shaper.Horizontal(QStringLiteral("「")), QPointF(0, kCell * 0.88));
    QVERIFY(vertical != horizontal);
    QVERIFY(!Ink(vertical).isEmpty());
    // 。 in the upper right of its cell.
    const QRect stop = Ink(Render(font, shaper.Vertical(QStringLiteral("。")), QPointF(kCell / 2, 0)));
    QCOMPARE(QList<bool>({stop.center().x() > kCell / 2, stop.center().y() < kCell / 2}), QList<bool>({true, true}));
  }

  void halfWidthCells_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("upright");
    QTest::newRow("Latin turned") << "ab" << false;
    QTest::newRow("two digits upright") << "12" << true;
    QTest::newRow("digits of a longer run turned") << "123" << false;
  }
  // Upright text of two half-width characters is wider than tall; turned, taller than wide.
  void halfWidthCells() {
    QFETCH(QString, text);
    QFETCH(bool, upright);
    PageRenderer renderer(PageStyle::Plain(10, 4));
    DocumentLayout layout(10, 4);
    layout.Update({QStringLiteral("あ") + text});
    const qreal scale = 20;  // pixels a millimetre
    QImage page((renderer.Style().pageMm * scale).toSize(), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.scale(scale, scale);
    renderer.Paint(painter, layout, 0);
    painter.end();
    const QRectF cell = renderer.CellRect(0, 1);
    const QRect ink = Ink(page.copy(QRectF(cell.topLeft() * scale, cell.size() * scale).toRect()));
    QCOMPARE(ink.width() > ink.height(), upright);
  }

  void pdfPagesAreSheets_data() {
    QTest::addColumn<int>("sheets");
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
  }
  void pdfPagesAreSheets() {
    QFETCH(int, sheets);
    const QString in = WriteText("sheets.txt", Sheets(sheets).chopped(1) + QStringLiteral("\n\n"));
    const QString out = host.dir.filePath("sheets.pdf");
    const Run r = Convert({"--genkou", in, out});
    QCOMPARE(r.code, 0);
    QCOMPARE(CountPdfPages(out), sheets);
  }

  void converter_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");
    QTest::newRow("count")
        << QStringList{"--count", "IN"} << 0
        << "{\"characters\": 10, \"characters_no_spaces\": 8, \"sjis_bytes\": 41, \"paragraphs\": 2, "
           "\"genkou_sheets\": 1, \"genkou_last_lines\": 3}\n";
    QTest::newRow("plain pages") << QStringList{"--tategaki=10x2", "IN", "OUT"} << 0 << "";
    QTest::newRow("malformed size") << QStringList{"--tategaki=10by2", "IN", "OUT"} << 1 << "";
    QTest::newRow("missing input") << QStringList{"--count", "nothing-here.txt"} << 1 << "";
  }
  void converter() {
    QFETCH(QStringList, args);
    // 10 characters shown: ruby and annotation are not; 2 lines of 20 + one empty line.
    const QString in = WriteText("count.txt", QStringLiteral("漢字《かんじ》 ab　\r\n\r\nか［＃注］な漢字\r\n"));
    args.replaceInStrings("IN", in).replaceInStrings("OUT", host.dir.filePath("plain.pdf"));
    const Run r = Convert(args);
    QTEST(r.code, "code");
    QTEST(r.out, "out");
    QCOMPARE(r.err.contains(QStringLiteral("soramemo-convert:")), r.code != 0);
  }

  void previewFollowsTheDocument() {
    TSoraChild* child = OpenText("long.txt", Sheets(3));
    QTextCursor cursor = child->Text()->textCursor();
    cursor.movePosition(QTextCursor::End);
    child->Text()->setTextCursor(cursor);
    host.frame->ViewTategaki->trigger();
    auto* preview = child->findChild<TTategakiPreview*>();
    QVERIFY(preview);
    QVERIFY(QTest::qWaitForWindowExposed(preview));
    QCOMPARE(QList<int>({preview->PageCount(), preview->CurrentPage()}), QList<int>({3, 2}));

    // Only the pages in view are painted.
    preview->ZoomBox->setCurrentIndex(preview->ZoomBox->count() - 1);
    auto* scroll = preview->findChild<QScrollArea*>();
    scroll->viewport()->repaint();
    QVERIFY(!preview->PaintedPages().isEmpty());
    QVERIFY(preview->PaintedPages().size() < preview->PageCount());

    // An edit shows once typing stops.
    cursor.insertText(Sheets(1));
    QCOMPARE(preview->PageCount(), 3);
    QTRY_COMPARE_WITH_TIMEOUT(preview->PageCount(), 4, 1000);

    // Plain pages of 16 lines: the 80 short lines fill five.
    preview->ModeBox->setCurrentIndex(1);
    QCOMPARE(preview->PageCount(), 5);
  }

  void previewPrintsAndExports() {
    TSoraChild* child = OpenText("print.txt", Sheets(2));
    child->ViewTategakiExecute();
    auto* preview = child->findChild<TTategakiPreview*>();
    Dialogs::Script script;
    const QString printed = host.dir.filePath("printed.pdf");
    QString title;
    script.PrintAnswers.push_back([&](QPrinter& printer) {
      title = printer.docName();
      printer.setOutputFileName(printed);  // a .pdf name makes a PDF printer
      return true;
    });
    preview->PrintAction->trigger();
    QCOMPARE(title, child->windowTitle());
    QCOMPARE(CountPdfPages(printed), 2);

    const QString exported = host.dir.filePath("exported.pdf");
    script.SaveFile(exported, 1);
    preview->PdfAction->trigger();
    QCOMPARE(CountPdfPages(exported), 2);
    QVERIFY(script.Errors.isEmpty());

    // A folder that cannot be written: the message, and nothing else happens.
    script.SaveFile(host.dir.filePath("no/such/folder/x.pdf"), 1);
    preview->PdfAction->trigger();
    QCOMPARE(script.Errors.size(), 1);
  }

  void countDialog_data() {
    QTest::addColumn<int>("selectFrom");  // -1: no selection
    QTest::addColumn<QStringList>("counts");  // characters, Shift-JIS bytes, sheets
    QTest::newRow("whole document") << -1 << QStringList{"7", "14", "1 枚"};
    QTest::newRow("selection") << 4 << QStringList{"3", "7", "1 枚"};
  }
  void countDialog() {
    QFETCH(int, selectFrom);
    TSoraChild* child = OpenText("dialog.txt", QStringLiteral("あい う\nえおa"));
    if (selectFrom >= 0) {
      QTextCursor c = child->Text()->textCursor();
      c.setPosition(selectFrom);
      c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
      child->Text()->setTextCursor(c);
    }
    Dialogs::Script script;
    script.ExecAnswers.push_back(0);
    host.frame->ViewCharCount->trigger();
    QCOMPARE(script.Executed.size(), 1);
    // The frame's dialog is gone with its command: its numbers through one of the same kind.
    TCountDialog dialog(child->Text());
    QCOMPARE(dialog.Selection->isChecked(), selectFrom >= 0);
    QTEST(QStringList({dialog.Characters->text(), dialog.SjisBytes->text(), dialog.Sheets->text()}), "counts");
  }
};

QTEST_MAIN(TestTategaki)
#include "test_tategaki.moc"
