// The performance graph, checked on the picture it paints.
#include <QSignalSpy>
#include <QtTest>
#include <climits>
#include <memory>

#include "components/Perfgrap/Perfgrap.h"
#include "components/Registry.h"
#include "ui_test_perfgraph.h"

namespace {

QImage Shot(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

QRgb Rgb(TColor c) { return ToQColor(c).rgb(); }

// A distinct colour per step, for telling the steps apart on the picture.
TColor StepColor(int i) { return TColor(0x102030 + i * 0x040507); }

// Rows of column x that hold the colour.
QList<int> RowsOf(const QImage& img, int x, TColor c) {
  QList<int> rows;
  for (int y = 0; y < img.height(); ++y)
    if (img.pixel(x, y) == Rgb(c)) rows << y;
  return rows;
}

// Background or grid: no step drew here.
bool IsGround(QRgb px, TColor back) { return px == Rgb(back) || px == Rgb(clGreen); }

void Step(TPerformanceGraph& g, std::initializer_list<std::pair<TColor, int>> points) {
  for (const auto& [c, v] : points) g.DataPoint(c, v);
  g.Update();
}

}  // namespace

class TestPerfgraph : public QObject {
  Q_OBJECT

 private slots:
  void newGraph();
  void roundUp_data();
  void roundUp();
  void scaleFollowsHistory();
  void stackedBars();
  void zeroValues();
  void linesFollowTheirSeries();
  void seventeenthPointRaises();
  void settersClampAndSkipEqualValues();
  void replayMatchesStepping_data();
  void replayMatchesStepping();
  void resizeKeepsNewestSteps();
  void refreshNeverAdvances();
  void hostileSizesAndValues();
  void registration();
  void designedForm();
};

void TestPerfgraph::newGraph() {
  TPerformanceGraph g;
  QCOMPARE(g.size(), QSize(100, 100));
  QCOMPARE(g.GetBandCount(), 33);
  QCOMPARE(g.GetScale(), 1000);

  const QList<int> columns{14, 29, 44, 59, 74, 89}, rows{15, 30, 45, 60, 75, 90};
  QImage img = Shot(g);
  for (int i = 0; i < 100; ++i) {
    QCOMPARE(img.pixel(i, 5), Rgb(columns.contains(i) ? clGreen : clBlack));
    QCOMPARE(img.pixel(5, i), Rgb(rows.contains(i) ? clGreen : clBlack));
  }

  // The next grid line is 4 pixels beyond the edge: two 3-pixel steps bring it in at 98.
  g.Update();
  g.Update();
  img = Shot(g);
  const QList<int> moved{8, 23, 38, 53, 68, 83, 98};
  for (int x = 0; x < 100; ++x) QCOMPARE(img.pixel(x, 5), Rgb(moved.contains(x) ? clGreen : clBlack));
  for (int x = 94; x < 100; ++x) QCOMPARE(img.pixel(x, 45), Rgb(clGreen));

  // A replay keeps the grid in phase with the scrolled one.
  g.SetGridlines(false);
  QCOMPARE(Shot(g).pixel(98, 5), Rgb(clBlack));
  g.SetGridlines(true);
  QCOMPARE(Shot(g), img);

  // The finished step is drawn in x = 97..99.
  g.SetGraphKind(pgBar);
  Step(g, {{clRed, 500}});
  img = Shot(g);
  for (int x = 90; x < 100; ++x) QCOMPARE(img.pixel(x, 99) == Rgb(clRed), x >= 97);
}

void TestPerfgraph::roundUp_data() {
  QTest::addColumn<int>("value");
  QTest::addColumn<int>("granularity");
  QTest::addColumn<int>("expected");
  QTest::newRow("250/100") << 250 << 100 << 300;
  QTest::newRow("300/100") << 300 << 100 << 300;
  QTest::newRow("0/100") << 0 << 100 << 0;
  QTest::newRow("7/0") << 7 << 0 << 7;
  QTest::newRow("1/100") << 1 << 100 << 100;
  QTest::newRow("past INT_MAX") << INT_MAX - 5 << 100 << INT_MAX;
  QTest::newRow("INT_MIN/-1") << INT_MIN << -1 << INT_MIN;
}

void TestPerfgraph::roundUp() {
  QFETCH(int, value);
  QFETCH(int, granularity);
  QFETCH(int, expected);
  QCOMPARE(TPerformanceGraph::RoundUp(value, granularity), expected);
}

void TestPerfgraph::scaleFollowsHistory() {
  TPerformanceGraph g;
  g.SetGraphKind(pgBar);
  QSignalSpy spy(&g, &TPerformanceGraph::OnScaleChange);
  Step(g, {{clRed, 250}});
  QCOMPARE(g.GetScale(), 300);
  QCOMPARE(spy.count(), 1);
  QCOMPARE(spy.at(0).at(0).value<QObject*>(), &g);

  // The 250 stays in the ring of 35 records for 34 more steps.
  for (int i = 0; i < 33; ++i) Step(g, {{clBlue, 80}});
  QCOMPARE(g.GetScale(), 300);
  QCOMPARE(spy.count(), 1);
  Step(g, {{clBlue, 80}});
  QCOMPARE(g.GetScale(), 100);
  QCOMPARE(spy.count(), 2);

  // The replay drew the history at the new scale: 80 of 100 reaches row 19.
  const QImage img = Shot(g);
  QCOMPARE(RowsOf(img, 98, clBlue).first(), 19);
  QCOMPARE(RowsOf(img, 98, clBlue).size(), 81);
  for (int x = 0; x < 100; ++x) {
    QVERIFY(RowsOf(img, x, clRed).isEmpty());
    QVERIFY(img.pixel(x, 18) != Rgb(clBlue));
  }
}

void TestPerfgraph::stackedBars() {
  TPerformanceGraph g;
  g.SetGraphKind(pgBar);
  g.SetScale(100);
  Step(g, {{clRed, 30}, {clBlue, 70}});
  QCOMPARE(g.GetScale(), 100);
  auto check = [](const QImage& img) {
    for (int x = 97; x < 100; ++x) {
      for (int y = 0; y < 100; ++y) {
        const QRgb px = img.pixel(x, y);
        if (y >= 70) QCOMPARE(px, Rgb(clRed));
        else if (y >= 29) QCOMPARE(px, Rgb(clBlue));
        else QVERIFY(px != Rgb(clRed) && px != Rgb(clBlue));
      }
    }
    QVERIFY(RowsOf(img, 96, clRed).isEmpty());
    QVERIFY(RowsOf(img, 96, clBlue).isEmpty());
  };
  check(Shot(g));
  g.SetBackColor(clNavy);  // replays
  check(Shot(g));

  // A point below the level before it adds nothing on top.
  Step(g, {{clRed, 70}, {clBlue, 30}});
  const QImage img = Shot(g);
  QCOMPARE(RowsOf(img, 98, clRed).first(), 29);
  QVERIFY(RowsOf(img, 98, clBlue).isEmpty());
}

void TestPerfgraph::zeroValues() {
  TPerformanceGraph g;
  g.SetGraphKind(pgBar);
  g.SetScale(100);
  // The zero neither draws nor resets the level the blue bar stacks on.
  Step(g, {{clRed, 30}, {clLime, 0}, {clBlue, 70}});
  QImage img = Shot(g);
  QCOMPARE(RowsOf(img, 98, clLime).size(), 0);
  QCOMPARE(RowsOf(img, 98, clBlue).first(), 29);
  QCOMPARE(RowsOf(img, 98, clBlue).last(), 69);

  // As a line, a zero would run down to the bottom.
  g.SetGraphKind(pgLine);
  Step(g, {{clLime, 50}});
  Step(g, {{clLime, 0}});
  img = Shot(g);
  QVERIFY(!RowsOf(img, 95, clLime).isEmpty());
  for (int x = 97; x < 100; ++x) QVERIFY(RowsOf(img, x, clLime).isEmpty());
}

void TestPerfgraph::linesFollowTheirSeries() {
  TPerformanceGraph g;
  g.SetPenWidth(1);
  g.SetScale(100);
  // No red in the previous step: the segment rises from 0, the bottom edge.
  Step(g, {{clRed, 50}});
  QImage img = Shot(g);
  QCOMPARE(RowsOf(img, 97, clRed).last(), 99);  // y = 100 is just below the image
  QVERIFY(RowsOf(img, 99, clRed).last() < 80);
  QVERIFY(RowsOf(img, 99, clRed).first() >= 50);

  // Red continues from 50; blue is new and starts at 0.
  Step(g, {{clBlue, 20}, {clRed, 50}});
  img = Shot(g);
  for (int x = 97; x < 100; ++x) QCOMPARE(RowsOf(img, x, clRed), QList<int>{50});
  QCOMPARE(RowsOf(img, 97, clBlue).last(), 99);
  QVERIFY(RowsOf(img, 99, clBlue).first() >= 80);

  // The first red of the previous step counts, at whatever position it was.
  Step(g, {{clRed, 30}, {clRed, 60}});
  Step(g, {{clBlue, 10}, {clRed, 80}});
  img = Shot(g);
  QVERIFY(RowsOf(img, 97, clRed).last() >= 68 && RowsOf(img, 97, clRed).last() <= 70);
  QVERIFY(RowsOf(img, 99, clRed).first() >= 20);
  QVERIFY(RowsOf(img, 99, clRed).last() < 50);

  // A wider pen widens the segments: the level red step now two steps back.
  QCOMPARE(RowsOf(img, 92, clRed), QList<int>{50});
  g.SetPenWidth(4);
  QCOMPARE(RowsOf(Shot(g), 92, clRed).size(), 4);
}

void TestPerfgraph::seventeenthPointRaises() {
  TPerformanceGraph g;
  g.SetGraphKind(pgBar);
  for (int i = 0; i < 16; ++i) g.DataPoint(StepColor(i), (i + 1) * 5);
  bool raised = false;
  try {
    g.DataPoint(clWhite, 150);
  } catch (const ERangeError& e) {
    raised = !e.text().isEmpty();
  }
  QVERIFY(raised);
  g.Update();
  QCOMPARE(g.GetScale(), 100);  // 150 would have made it 200
  const QImage img = Shot(g);
  QVERIFY(RowsOf(img, 98, clWhite).isEmpty());
  QCOMPARE(RowsOf(img, 98, StepColor(15)).first(), 19);
  // The new step takes points again.
  g.DataPoint(clRed, 1);
}

void TestPerfgraph::settersClampAndSkipEqualValues() {
  TPerformanceGraph g;
  g.SetStepSize(0);
  QCOMPARE(g.GetStepSize(), 1);
  QCOMPARE(g.GetBandCount(), 100);
  g.SetStepSize(-4);
  QCOMPARE(g.GetStepSize(), 1);
  g.SetGridSize(1);
  QCOMPARE(g.GetGridSize(), 2);
  g.setProperty("GridSize", -3);
  QCOMPARE(g.property("GridSize").toInt(), 2);
  g.SetGradient(100);
  g.SetScale(250);  // rounded up to the gradient
  QCOMPARE(g.GetScale(), 300);

  // Column 0 shows the oldest step only as long as nothing replays: a replay
  // leaves the oldest step in the ring out.
  TPerformanceGraph h;
  h.SetGraphKind(pgBar);
  for (int i = 0; i < 40; ++i) Step(h, {{clRed, 50}});
  QCOMPARE(Shot(h).pixel(0, 99), Rgb(clRed));
  QSignalSpy spy(&h, &TPerformanceGraph::OnScaleChange);
  h.SetGraphKind(pgBar);
  h.SetForeColor(clGreen);
  h.SetBackColor(clBlack);
  h.SetGridSize(15);
  h.SetStepSize(3);
  h.SetScale(100);
  h.SetGradient(100);
  h.SetGridlines(true);
  h.SetPenWidth(2);
  QCOMPARE(Shot(h).pixel(0, 99), Rgb(clRed));
  QCOMPARE(spy.count(), 0);
  h.SetBackColor(clNavy);
  QImage img = Shot(h);
  QCOMPARE(img.pixel(0, 99), Rgb(clNavy));
  QCOMPARE(img.pixel(1, 99), Rgb(clRed));
}

void TestPerfgraph::replayMatchesStepping_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<int>("stepSize");
  QTest::addColumn<int>("gridSize");
  QTest::addColumn<int>("width");
  QTest::newRow("bars") << int(pgBar) << 3 << 15 << 100;
  QTest::newRow("lines") << int(pgLine) << 3 << 15 << 100;
  QTest::newRow("lines, odd width") << int(pgLine) << 7 << 10 << 131;
  // Steps wider than the grid, and a remainder larger than the band count.
  QTest::newRow("wide steps") << int(pgBar) << 30 << 15 << 100;
  QTest::newRow("steps past grid") << int(pgLine) << 20 << 15 << 100;
}

void TestPerfgraph::replayMatchesStepping() {
  QFETCH(int, kind);
  QFETCH(int, stepSize);
  QFETCH(int, gridSize);
  QFETCH(int, width);
  TPerformanceGraph g;
  g.resize(width, 80);
  g.SetGraphKind(TGraphKind(kind));
  g.SetStepSize(stepSize);
  g.SetGridSize(gridSize);
  for (int i = 0; i < 60; ++i)
    Step(g, {{clRed, (i * 37) % 90 + 1}, {clYellow, (i * 53) % 90 + 5}, {StepColor(i % 3), 40}});
  const QImage stepped = Shot(g);
  g.SetForeColor(clTeal);
  g.SetForeColor(clGreen);
  const QImage replayed = Shot(g);
  // Left of the first whole step the stepped picture still holds the oldest step.
  const int from = width % stepSize;
  for (int y = 0; y < 80; ++y)
    for (int x = from; x < width; ++x)
      if (stepped.pixel(x, y) != replayed.pixel(x, y))
        QFAIL(qPrintable(QStringLiteral("differs at %1,%2").arg(x).arg(y)));
  QVERIFY(!RowsOf(stepped, width - 1, clRed).isEmpty());
}

void TestPerfgraph::resizeKeepsNewestSteps() {
  TPerformanceGraph g;
  g.SetGraphKind(pgBar);
  for (int i = 1; i <= 40; ++i) Step(g, {{StepColor(i), 50}});

  // Shrink, and step before anything paints: 17 steps fit, the newest at 49..51.
  g.resize(52, 100);
  Step(g, {{StepColor(41), 50}});
  QCOMPARE(g.GetBandCount(), 17);
  QImage img = Shot(g);
  QCOMPARE(img.size(), QSize(52, 100));
  QCOMPARE(img.pixel(50, 99), Rgb(StepColor(41)));
  QCOMPARE(img.pixel(47, 99), Rgb(StepColor(40)));
  QCOMPARE(img.pixel(2, 99), Rgb(StepColor(25)));

  // Grow: the kept steps stay at the right edge, older places are empty.
  g.resize(100, 100);
  img = Shot(g);
  QCOMPARE(img.pixel(98, 99), Rgb(StepColor(41)));
  QCOMPARE(img.pixel(50, 99), Rgb(StepColor(25)));
  QCOMPARE(img.pixel(47, 99), Rgb(StepColor(24)));
  QVERIFY(IsGround(img.pixel(44, 99), clBlack));
  Step(g, {{StepColor(42), 50}});
  img = Shot(g);
  QCOMPARE(img.pixel(98, 99), Rgb(StepColor(42)));
  QCOMPARE(img.pixel(95, 99), Rgb(StepColor(41)));
  // A replay agrees with the stepped picture.
  g.SetBackColor(clNavy);
  img = Shot(g);
  QCOMPARE(img.pixel(95, 99), Rgb(StepColor(41)));
  QCOMPARE(img.pixel(44, 99), Rgb(StepColor(24)));
  QVERIFY(IsGround(img.pixel(41, 99), clNavy));

  // A property set between a resize and the next paint still resizes the ring.
  g.resize(52, 100);
  g.SetBackColor(clBlack);
  QCOMPARE(Shot(g).pixel(50, 99), Rgb(StepColor(42)));
}

void TestPerfgraph::refreshNeverAdvances() {
  TPerformanceGraph g;
  g.SetGraphKind(pgBar);
  g.show();
  QVERIFY(QTest::qWaitForWindowExposed(&g));
  Step(g, {{clRed, 50}});
  const QImage before = Shot(g);
  g.Refresh();
  g.repaint();
  QCoreApplication::processEvents();
  QCOMPARE(Shot(g), before);
  Step(g, {{clBlue, 50}});
  const QImage after = Shot(g);
  QCOMPARE(after.pixel(95, 99), Rgb(clRed));
  QCOMPARE(after.pixel(92, 99), Rgb(clBlack));
}

void TestPerfgraph::hostileSizesAndValues() {
  // Narrower than one step: no band fits.
  TPerformanceGraph g;
  g.SetGraphKind(pgBar);
  g.resize(2, 50);
  Step(g, {{clRed, 50}});
  QCOMPARE(g.GetBandCount(), 0);
  QCOMPARE(Shot(g).size(), QSize(2, 50));
  g.SetStepSize(INT_MAX);
  g.SetGridSize(INT_MAX);
  Step(g, {{clRed, INT_MAX}, {clBlue, INT_MIN}});
  g.resize(0, 0);
  Step(g, {{clRed, 5}});
  g.grab();
  g.resize(100, 100);
  g.SetStepSize(3);
  g.SetGridSize(15);

  // Only negative values: the scale drops to 0 and nothing is drawn.
  for (int i = 0; i < 40; ++i) Step(g, {{clRed, -50}});
  QCOMPARE(g.GetScale(), 0);
  QVERIFY(RowsOf(Shot(g), 98, clRed).isEmpty());
  g.SetScale(-300);
  g.SetGraphKind(pgLine);
  QVERIFY(RowsOf(Shot(g), 98, clRed).isEmpty());

  // A bar above a negative point still reaches its own level.
  g.SetGraphKind(pgBar);
  Step(g, {{clRed, -20}, {clBlue, 30}});
  QCOMPARE(g.GetScale(), 100);
  const QImage img = Shot(g);
  QCOMPARE(RowsOf(img, 98, clBlue).first(), 69);
  QCOMPARE(RowsOf(img, 98, clBlue).last(), 99);

  // A scale far below the data draws off the image without harm.
  g.SetGradient(0);
  g.SetScale(1);
  QCOMPARE(g.GetScale(), 1);
  g.SetGraphKind(pgLine);
  QCOMPARE(Shot(g).size(), QSize(100, 100));
}

void TestPerfgraph::registration() {
  Perfgrap::Register();
  int found = 0;
  for (const TRegisteredComponent& r : RegisteredComponents()) {
    if (r.cls.className != QLatin1String("TPerformanceGraph")) continue;
    ++found;
    QCOMPARE(r.page, LoadStr(101));
    QCOMPARE(r.cls.header, QStringLiteral("components/Perfgrap/Perfgrap.h"));
    QCOMPARE(QImage(r.cls.iconPath).size(), QSize(24, 24));
    std::unique_ptr<QWidget> w(r.cls.create(nullptr));
    QVERIFY(qobject_cast<TPerformanceGraph*>(w.get()));
  }
  QCOMPARE(found, 1);
}

// A form laid out in Designer compiles through uic and sets every property.
void TestPerfgraph::designedForm() {
  QWidget form;
  Ui::PerfgraphForm ui;
  ui.setupUi(&form);
  TPerformanceGraph* g = ui.PerformanceGraph1;
  QCOMPARE(g->objectName(), QStringLiteral("PerformanceGraph1"));
  QCOMPARE(g->GetKind(), pgBar);
  QCOMPARE(g->GetForeColor(), clAqua);
  QCOMPARE(g->GetBackColor(), clNavy);
  QCOMPARE(g->GetGridSize(), 20);
  QCOMPARE(g->GetStepSize(), 5);
  QCOMPARE(g->GetScale(), 500);  // rounded to the gradient in force when it was set
  QCOMPARE(g->GetGradient(), 50);
  QVERIFY(!g->GetGridlines());
  QCOMPARE(g->GetPenWidth(), 3);
  QCOMPARE(g->GetBandCount(), 40);
  const QImage img = Shot(*g);
  QCOMPARE(img.size(), QSize(200, 120));
  QCOMPARE(img.pixel(0, 0), Rgb(clNavy));
}

QTEST_MAIN(TestPerfgraph)
#include "test_perfgraph.moc"
