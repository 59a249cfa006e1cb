// The performance graph, checked on the picture it paints.
#include <QSignalSpy>
#include <QtTest>
#include <climits>

#include "components/Perfgrap/Perfgrap.h"
#include "ui_test_perfgraph.h"

namespace {

QImage Shot(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

QRgb Rgb(TColor c) { return ToQColor(c).rgb(); }

// A distinct colour per step, for telling the steps apart on the picture.
TColor StepColor(int i) { return TColor(0x102030 + i * 0x040507); }

// Rows of column x, or columns of row y, that hold the colour.
QList<int> RowsOf(const QImage& img, int x, TColor c, bool columns = false) {
  QList<int> at;
  for (int i = 0; i < (columns ? img.width() : img.height()); ++i)
    if (img.pixel(columns ? i : x, columns ? x : i) == Rgb(c)) at << i;
  return at;
}
QList<int> ColumnsOf(const QImage& img, int y, TColor c) { return RowsOf(img, y, c, true); }

// Per colour, the rows of column x it fills: "first..last", or "-" for none.
QString Bar(const QImage& img, int x, std::initializer_list<TColor> colours) {
  QStringList out;
  for (TColor c : colours) {
    const QList<int> at = RowsOf(img, x, c);
    const bool run = !at.isEmpty() && at.last() - at.first() + 1 == at.size();
    out << (at.isEmpty() ? QString("-") : run ? QString("%1..%2").arg(at.first()).arg(at.last()) : QString("gaps"));
  }
  return out.join(u' ');
}

void Step(TPerformanceGraph& g, std::initializer_list<std::pair<TColor, int>> points) {
  for (const auto& [c, v] : points) g.DataPoint(c, v);
  g.Update();
}

// A bar graph of 100 x 100 with the scale 100.
struct Bars : TPerformanceGraph {
  explicit Bars(int scale = 100) { SetGraphKind(pgBar), SetScale(scale); }
};

}  // namespace

class TestPerfgraph : public QObject {
  Q_OBJECT

 private slots:
  void gridScrollsWithTheSteps() {
    TPerformanceGraph g;
    QImage img = Shot(g);
    QCOMPARE(ColumnsOf(img, 5, clGreen), QList<int>({14, 29, 44, 59, 74, 89}));
    QCOMPARE(RowsOf(img, 5, clGreen), QList<int>({15, 30, 45, 60, 75, 90}));
    // The next grid line is 4 pixels beyond the edge: two 3-pixel steps bring it in at 98.
    g.Update(); g.Update();
    img = Shot(g);
    QCOMPARE(ColumnsOf(img, 5, clGreen), QList<int>({8, 23, 38, 53, 68, 83, 98}));
    QCOMPARE(ColumnsOf(img, 45, clGreen).mid(94), QList<int>({94, 95, 96, 97, 98, 99}));
    // A replay keeps the grid in phase with the scrolled one.
    g.SetGridlines(false); g.SetGridlines(true);
    QCOMPARE(Shot(g), img);
    // The finished step is drawn in x = 97..99.
    g.SetGraphKind(pgBar);
    Step(g, {{clRed, 500}});
    img = Shot(g);
    QCOMPARE(ColumnsOf(img, 99, clRed), QList<int>({97, 98, 99}));
  }

  void roundUp() {
    const int table[][3] = {{250, 100, 300}, {300, 100, 300}, {0, 100, 0},         {7, 0, 7},
                            {1, 100, 100},   {INT_MAX - 5, 100, INT_MAX}, {INT_MIN, -1, INT_MIN}};
    QList<int> got, want;
    for (const auto& [value, granularity, expected] : table) got << TPerformanceGraph::RoundUp(value, granularity), want << expected;
    QCOMPARE(got, want);
  }

  void scaleFollowsHistory() {
    Bars g(1000);
    QSignalSpy spy(&g, &TPerformanceGraph::OnScaleChange);
    Step(g, {{clRed, 250}});
    QCOMPARE(g.GetScale(), 300);
    QCOMPARE(spy.count(), 1);
    // The 250 stays in the ring of 35 records for 34 more steps.
    for (int i = 0; i < 33; ++i) Step(g, {{clBlue, 80}});
    QCOMPARE(g.GetScale(), 300);
    Step(g, {{clBlue, 80}});
    QCOMPARE(g.GetScale(), 100);
    QCOMPARE(spy.count(), 2);
    // The replay drew the history at the new scale: 80 of 100 reaches row 19.
    const QImage img = Shot(g);
    for (int y = 0; y < 100; ++y) QCOMPARE(ColumnsOf(img, y, clRed), QList<int>());
    QCOMPARE(Bar(img, 98, {clBlue}), "19..99");
  }

  void barsStack() {
    Bars g;
    Step(g, {{clRed, 30}, {clBlue, 70}});
    // Red to 30 from the bottom, blue on it to 70, nothing in the column before; a replay agrees.
    const QString stacked = QStringLiteral("70..99 29..69 - -");
    QCOMPARE(Bar(Shot(g), 98, {clRed, clBlue}) + ' ' + Bar(Shot(g), 96, {clRed, clBlue}), stacked);
    g.SetBackColor(clNavy);
    QCOMPARE(Bar(Shot(g), 98, {clRed, clBlue}) + ' ' + Bar(Shot(g), 96, {clRed, clBlue}), stacked);
    // A point below the level before it adds nothing on top; a zero neither
    // draws nor resets the level the next bar stacks on.
    Step(g, {{clRed, 70}, {clBlue, 30}});
    QCOMPARE(Bar(Shot(g), 98, {clRed, clBlue}), "29..99 -");
    Step(g, {{clRed, 30}, {clLime, 0}, {clBlue, 70}});
    QCOMPARE(Bar(Shot(g), 98, {clRed, clLime, clBlue}), "70..99 - 29..69");
  }

  void linesFollowTheirSeries() {
    TPerformanceGraph g;
    g.SetPenWidth(1); g.SetScale(100);
    // No red in the previous step: the segment rises from 0, the bottom edge.
    Step(g, {{clRed, 50}});
    QImage img = Shot(g);
    QCOMPARE(RowsOf(img, 97, clRed).last(), 99);
    QVERIFY(RowsOf(img, 99, clRed).last() < 80 && RowsOf(img, 99, clRed).first() >= 50);
    // Red continues from 50; blue is new and starts at 0.
    Step(g, {{clBlue, 20}, {clRed, 50}});
    img = Shot(g);
    for (int x = 97; x < 100; ++x) QCOMPARE(RowsOf(img, x, clRed), QList<int>{50});
    QCOMPARE(RowsOf(img, 97, clBlue).last(), 99);
    // The first red of the previous step counts, at whatever position it was.
    Step(g, {{clRed, 30}, {clRed, 60}}); Step(g, {{clBlue, 10}, {clRed, 80}});
    img = Shot(g);
    QVERIFY(RowsOf(img, 97, clRed).last() >= 68 && RowsOf(img, 97, clRed).last() <= 70);
    // A wider pen widens the segments.
    g.SetPenWidth(4);
    QCOMPARE(RowsOf(Shot(g), 92, clRed).size(), 4);
    // As a line, a zero runs down to the bottom: it is not drawn.
    Step(g, {{clLime, 50}}); Step(g, {{clLime, 0}});
    img = Shot(g);
    QVERIFY(!RowsOf(img, 95, clLime).isEmpty());
    for (int x = 97; x < 100; ++x) QVERIFY(RowsOf(img, x, clLime).isEmpty());
  }

  void seventeenthPointRaises() {
    Bars g(1000);
    for (int i = 0; i < 16; ++i) g.DataPoint(StepColor(i), (i + 1) * 5);
    QVERIFY_THROWS_EXCEPTION(ERangeError, g.DataPoint(clWhite, 150));
    g.Update();
    QCOMPARE(g.GetScale(), 100);  // 150 would have made it 200
    QCOMPARE(RowsOf(Shot(g), 98, StepColor(15)).first(), 19);
    g.DataPoint(clRed, 1);  // the new step takes points again
  }

  void settersClampAndSkipEqualValues() {
    TPerformanceGraph g;
    g.SetStepSize(-4);
    QCOMPARE(g.GetStepSize(), 1);
    QCOMPARE(g.GetBandCount(), 100);
    g.setProperty("GridSize", -3);
    QCOMPARE(g.GetGridSize(), 2);
    // Column 0 shows the oldest step only as long as nothing replays, so
    // setting equal values must not replay.
    Bars h(1000);
    for (int i = 0; i < 40; ++i) Step(h, {{clRed, 50}});
    QSignalSpy spy(&h, &TPerformanceGraph::OnScaleChange);
    h.SetGraphKind(pgBar); h.SetForeColor(clGreen); h.SetBackColor(clBlack); h.SetGridSize(15);
    h.SetStepSize(3); h.SetScale(100); h.SetGradient(100); h.SetGridlines(true); h.SetPenWidth(2);
    QCOMPARE(Shot(h).pixel(0, 99), Rgb(clRed));
    QCOMPARE(spy.count(), 0);
    h.SetBackColor(clNavy);
    QCOMPARE(Shot(h).pixel(0, 99), Rgb(clNavy));
  }

  void replayMatchesStepping() {
    // Kind, step, grid, width; then steps wider than the grid, and a remainder
    // larger than the band count.
    const int table[][4] = {{pgBar, 3, 15, 100}, {pgLine, 7, 10, 131}, {pgBar, 30, 15, 100}, {pgLine, 20, 15, 100}};
    for (const auto& [kind, stepSize, gridSize, width] : table) {
      TPerformanceGraph g;
      g.resize(width, 80);
      g.SetGraphKind(TGraphKind(kind)); g.SetStepSize(stepSize); g.SetGridSize(gridSize);
      for (int i = 0; i < 60; ++i)
        Step(g, {{clRed, (i * 37) % 90 + 1}, {clYellow, (i * 53) % 90 + 5}, {StepColor(i % 3), 40}});
      const QImage stepped = Shot(g);
      g.SetForeColor(clTeal); g.SetForeColor(clGreen);
      // Left of the first whole step the stepped picture still holds the oldest step.
      const QRect compared(width % stepSize, 0, width - width % stepSize, 80);
      QVERIFY2(stepped.copy(compared) == Shot(g).copy(compared), qPrintable(QString("step %1").arg(stepSize)));
      QVERIFY(!RowsOf(stepped, width - 1, clRed).isEmpty());
    }
  }

  void resizeKeepsNewestSteps() {
    Bars g(1000);
    for (int i = 1; i <= 40; ++i) Step(g, {{StepColor(i), 50}});
    // Shrink, and step before anything paints: 17 steps fit, the newest at 49..51.
    g.resize(52, 100);
    Step(g, {{StepColor(41), 50}});
    QImage img = Shot(g);
    QCOMPARE(img.pixel(50, 99), Rgb(StepColor(41)));
    QCOMPARE(img.pixel(2, 99), Rgb(StepColor(25)));
    // Grow: the kept steps stay at the right edge, older places are empty.
    g.resize(100, 100);
    img = Shot(g);
    QCOMPARE(img.pixel(50, 99), Rgb(StepColor(25)));
    QCOMPARE(img.pixel(44, 99), Rgb(clBlack));
    Step(g, {{StepColor(42), 50}});
    QCOMPARE(Shot(g).pixel(95, 99), Rgb(StepColor(41)));
    // A replay agrees with the stepped picture.
    g.SetBackColor(clNavy);
    img = Shot(g);
    QCOMPARE(img.pixel(44, 99), Rgb(StepColor(24)));
    QCOMPARE(img.pixel(41, 99), Rgb(clNavy));
    // A property set between a resize and the next paint still resizes the ring.
    g.resize(52, 100); g.SetBackColor(clBlack);
    QCOMPARE(Shot(g).pixel(50, 99), Rgb(StepColor(42)));
  }

  void refreshNeverAdvances() {
    Bars g(1000);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    Step(g, {{clRed, 50}});
    const QImage before = Shot(g);
    g.Refresh(); g.repaint();
    QCoreApplication::processEvents();
    QCOMPARE(Shot(g), before);
    Step(g, {{clBlue, 50}});
    QCOMPARE(Shot(g).pixel(95, 99), Rgb(clRed));
  }

  void hostileSizesAndValues() {
    // Narrower than one step: no band fits.
    Bars g(1000);
    g.resize(2, 50);
    Step(g, {{clRed, 50}});
    QCOMPARE(g.GetBandCount(), 0);
    QCOMPARE(Shot(g).size(), QSize(2, 50));
    g.SetStepSize(INT_MAX); g.SetGridSize(INT_MAX);
    Step(g, {{clRed, INT_MAX}, {clBlue, INT_MIN}});
    g.resize(0, 0); Step(g, {{clRed, 5}}); g.grab();
    g.resize(100, 100); g.SetStepSize(3); g.SetGridSize(15);
    // Only negative values: the scale drops to 0 and nothing is drawn.
    for (int i = 0; i < 40; ++i) Step(g, {{clRed, -50}});
    QCOMPARE(g.GetScale(), 0);
    QVERIFY(RowsOf(Shot(g), 98, clRed).isEmpty());
    g.SetScale(-300); g.SetGraphKind(pgLine);
    QVERIFY(RowsOf(Shot(g), 98, clRed).isEmpty());
    // A bar above a negative point still reaches its own level.
    g.SetGraphKind(pgBar);
    Step(g, {{clRed, -20}, {clBlue, 30}});
    QCOMPARE(Bar(Shot(g), 98, {clBlue}), "69..99");
    // A scale far below the data draws off the image without harm.
    g.SetGradient(0); g.SetScale(1); g.SetGraphKind(pgLine);
    QCOMPARE(Shot(g).size(), QSize(100, 100));
  }

  // A form laid out in Designer compiles through uic and sets every property.
  void designedForm() {
    QWidget form;
    Ui::PerfgraphForm ui;
    ui.setupUi(&form);
    TPerformanceGraph* g = ui.PerformanceGraph1;
    // The scale is rounded to the gradient in force when it was set.
    QCOMPARE(QList<qint64>({g->GetKind(), g->GetForeColor(), g->GetBackColor(), g->GetGridSize(), g->GetStepSize(),
                            g->GetScale(), g->GetGradient(), g->GetGridlines(), g->GetPenWidth()}),
             QList<qint64>({pgBar, clAqua, clNavy, 20, 5, 500, 50, false, 3}));
    QCOMPARE(Shot(*g).pixel(0, 0), Rgb(clNavy));
  }
};

QTEST_MAIN(TestPerfgraph)
#include "test_perfgraph.moc"
