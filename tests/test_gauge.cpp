// Guards the gauge: percentage arithmetic, range checks, repaints and the pixels of every kind.
#include <QtTest>

#include <climits>

#include "components/Cgauges/Cgauges.h"

namespace {

class CountingGauge : public TCGauge {
 public:
  int paints = 0;
 protected:
  void Paint(QPainter& canvas) override { ++paints, TCGauge::Paint(canvas); }
};

constexpr QRgb kBlack = 0xFF000000, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00, kWhite = 0xFFFFFFFF,
               kGray = 0xFF808080;

QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y) | 0xFF000000; }

// One letter a pixel: k black, b blue, y yellow, w white, g grey.
QString Pixels(const QImage& img, const QList<QPoint>& at) {
  QString s;
  for (QPoint p : at) {
    const QRgb c = At(img, p.x(), p.y());
    s += c == kBlack ? 'k' : c == kBlue ? 'b' : c == kYellow ? 'y' : c == kWhite ? 'w' : c == kGray ? 'g' : '?';
  }
  return s;
}
QString Line(const QImage& img, QPoint from, QPoint step, int n) {
  QList<QPoint> at;
  for (int i = 0; i < n; ++i) at << from + i * step;
  return Pixels(img, at);
}

// Colours that tell the frame, the filled and the empty part apart.
void Colour(TCGauge& g, TCGauge::TCGaugeKind kind, int w, int h) {
  g.resize(w, h);
  g.SeTCGaugeKind(kind);
  g.SetShowText(false);
  g.SetForeColor(clBlue); g.SetBackColor(clYellow); g.SetColor(clGray);
}

int CountColour(const QImage& img, QRgb c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += At(img, x, y) == c;
  return n;
}

// The text of the EOutOfRange the call throws, which its what() must match.
template <typename F>
QString Refused(F&& call) {
  try { call(); } catch (const EOutOfRange& e) {
    return QString::fromStdString(e.what()) == e.text() ? e.text() : QStringLiteral("what() differs");
  }
  return {};
}

QString Range(const char* low, const char* high) {
  return QString::fromUtf8("値は %1 から %2 の範囲で指定してください。").arg(QLatin1String(low), QLatin1String(high));
}

}  // namespace

class TestGauge : public QObject {
  Q_OBJECT

 private slots:
  void percentDone() {
    // Exact for ranges up to 2^31 - 1 and beyond, rounding down; min, max, progress, percent.
    const int table[][4] = {
        {0, 300, 2, 0},          {0, 300, 3, 1},           {0, 300, 299, 99},
        {0, 300, 300, 100},      {-50, 50, 0, 50},         {0, INT_MAX, INT_MAX - 1, 99},
        {0, INT_MAX, INT_MAX, 100}, {0, INT_MAX, 21474837, 1}, {0, INT_MAX, 21474836, 0},
        {-INT_MAX, INT_MAX, 0, 50}, {-INT_MAX, INT_MAX, -1, 49}, {7, 7, 7, 0}};
    QList<QList<int>> got, want;
    for (const auto& [minValue, maxValue, progress, percent] : table) {
      TCGauge g;
      g.SetMaxValue(maxValue); g.SetMinValue(minValue); g.SetProgress(progress);
      got << QList<int>{minValue, maxValue, g.GetProgress(), g.GetPercentDone()};
      want << QList<int>{minValue, maxValue, progress, percent};
    }
    QCOMPARE(got, want);
  }

  void clampingAndSaturation() {
    TCGauge g;
    // A bound moved past the progress drags it along; a sum past the int range does not wrap.
    QList<int> got;
    g.SetMaxValue(300), g.SetProgress(370), got << g.GetProgress();
    g.SetProgress(-1), got << g.GetProgress();
    g.SetProgress(200), g.SetMaxValue(150), got << g.GetProgress();
    g.SetMinValue(120), g.SetProgress(130), g.SetMinValue(140), got << g.GetProgress();
    g.AddProgress(-1000), got << g.GetProgress();
    g.AddProgress(INT_MAX), got << g.GetProgress();
    g.SetMinValue(INT_MIN), g.SetProgress(-5), g.AddProgress(INT_MIN), got << g.GetProgress();
    QCOMPARE(got, QList<int>({300, 0, 150, 140, 140, 150, INT_MIN}));
  }

  void rangeChecks() {
    TCGauge g;
    // The maximum 0 is ignored, even where it would be out of range.
    g.SetMinValue(10); g.SetMaxValue(0);
    QCOMPARE(Refused([&] { g.SetMinValue(150); }), Range("-2147483647", "99"));
    QCOMPARE(Refused([&] { g.SetMaxValue(5); }), Range("11", "2147483647"));
    QCOMPARE(Refused([&] { g.setProperty("MinValue", 400); }), Range("-2147483647", "99"));
    QCOMPARE(g.GetMinValue(), 10);
    QCOMPARE(g.GetMaxValue(), 100);
    // Equal bounds are accepted (shown as 0 %, see percentDone).
    g.SetMinValue(100);
    QCOMPARE(g.GetProgress(), 100);
    // Bounds at the ends of the int range are reported, not wrapped.
    TCGauge low, high;
    low.SetMinValue(INT_MIN); low.SetMaxValue(INT_MIN);
    QCOMPARE(Refused([&] { low.SetMinValue(5); }), Range("-2147483647", "-2147483649"));
    high.SetMaxValue(INT_MAX); high.SetMinValue(INT_MAX);
    QCOMPARE(Refused([&] { high.SetMaxValue(5); }), Range("2147483648", "2147483647"));
  }

  void repaints() {
    CountingGauge g;
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    const auto paints = [&](const std::function<void()>& step) { return g.paints = 0, step(), g.paints; };
    // Each setter paints at once, and only when the value changes; the same
    // non-zero maximum paints again.
    const std::function<void()> setters[] = {
        [&] { g.SetForeColor(clBlue); },          [&] { g.SetBackColor(clYellow); },
        [&] { g.SetShowText(false); },            [&] { g.SetBorderStyle(TCGauge::bsNone); },
        [&] { g.SeTCGaugeKind(TCGauge::gkPie); }, [&] { g.SetColor(clGray); },
        [&] { g.SetProgress(3); },                [&] { g.SetProgress(1000); },
        [&] { g.SetMaxValue(300); }};
    QList<int> got;
    for (const auto& set : setters) got << paints(set) << paints(set);
    QCOMPARE(got, QList<int>({1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 1}));
    // The maximum 0 is ignored; progress paints only when the whole percentage
    // moves; AddProgress paints even when nothing changed.
    QCOMPARE(paints([&] { g.SetMaxValue(0); }), 0);
    g.SetProgress(0);
    QCOMPARE(paints([&] { for (int p = 0; p <= 300; ++p) g.SetProgress(p); }), 100);
    QCOMPARE(paints([&] { g.AddProgress(0); }), 1);
  }

  void freshGaugeScreenAndZeroSize() {
    // A black frame around white; the screen shows exactly the rendered image.
    TCGauge g;
    g.SetShowText(false);
    QCOMPARE(CountColour(g.RenderImage(), kWhite), 98 * 98);
    QCOMPARE(CountColour(g.RenderImage(), kBlack), 100 * 100 - 98 * 98);
    Colour(g, TCGauge::gkPie, 80, 60);
    g.SetShowText(true); g.SetProgress(40);
    QCOMPARE(g.grab().toImage().convertToFormat(QImage::Format_RGB32),
             g.RenderImage().convertToFormat(QImage::Format_RGB32));
    // A gauge without pixels draws nothing, whatever its kind.
    QList<bool> drawn;
    for (const QSize size : {QSize(0, 0), QSize(0, 20), QSize(20, 0)})
      for (int kind = TCGauge::gkText; kind <= TCGauge::gkNeedle; ++kind) {
        g.SeTCGaugeKind(TCGauge::TCGaugeKind(kind)); g.resize(size);
        drawn << !g.RenderImage().isNull();
        g.grab();
      }
    QCOMPARE(drawn, QList<bool>(drawn.size(), false));
  }

  void horizontalBar() {
    TCGauge g;
    Colour(g, TCGauge::gkHorizontalBar, 320, 25);
    g.SetProgress(50);
    // R is 318 wide and W = 319: half of it ends before x = 159.
    QCOMPARE(Line(g.RenderImage(), {0, 12}, {1, 0}, 320), 'k' + QString(158, 'b') + QString(160, 'y') + 'k');
    g.SetProgress(0);
    QCOMPARE(CountColour(g.RenderImage(), kYellow), 318 * 23);
    // Full with a frame: exactly R; without a frame: every pixel.
    g.SetProgress(100);
    QCOMPARE(CountColour(g.RenderImage(), kBlue), 318 * 23);
    g.SetBorderStyle(TCGauge::bsNone);
    QCOMPARE(CountColour(g.RenderImage(), kBlue), 320 * 25);
    g.SetProgress(50);
    QCOMPARE(Line(g.RenderImage(), {159, 0}, {1, 0}, 2), QStringLiteral("by"));
  }

  void verticalBar() {
    TCGauge g;
    Colour(g, TCGauge::gkVerticalBar, 40, 100);
    g.SetProgress(50);
    // H = 99: half of it, 49 rows, counted up from row 99, so from row 50.
    QCOMPARE(Line(g.RenderImage(), {20, 1}, {0, 1}, 98), QString(49, 'y') + QString(49, 'b'));
    g.SetProgress(0);
    QCOMPARE(CountColour(g.RenderImage(), kBlue), 0);
    g.SetProgress(100);
    QCOMPARE(CountColour(g.RenderImage(), kBlue), 38 * 98);
    // Without a frame the full bar stops one row short of the top.
    g.SetBorderStyle(TCGauge::bsNone);
    QCOMPARE(CountColour(g.RenderImage(), kBlue), 40 * 99);
  }

  // Lengths in whole numbers: 0.29 * 100 in floating point falls a pixel short.
  void barLengthIsExact_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QPoint>("lastFilled");
    QTest::addColumn<QPoint>("firstEmpty");
    QTest::newRow("horizontal 29") << int(TCGauge::gkHorizontalBar) << 29 << QPoint(28, 5) << QPoint(29, 5);
    QTest::newRow("horizontal 58") << int(TCGauge::gkHorizontalBar) << 58 << QPoint(57, 5) << QPoint(58, 5);
    QTest::newRow("vertical 29") << int(TCGauge::gkVerticalBar) << 29 << QPoint(5, 71) << QPoint(5, 70);
    QTest::newRow("vertical 58") << int(TCGauge::gkVerticalBar) << 58 << QPoint(5, 42) << QPoint(5, 41);
  }
  void barLengthIsExact() {
    QFETCH(int, kind); QFETCH(int, percent); QFETCH(QPoint, lastFilled); QFETCH(QPoint, firstEmpty);
    TCGauge g;
    // Without a frame R is one pixel longer than the widget: W = H = 100.
    Colour(g, TCGauge::TCGaugeKind(kind), 99, 99);
    g.SetBorderStyle(TCGauge::bsNone);
    g.SetProgress(percent);
    QCOMPARE(Pixels(g.RenderImage(), {lastFilled, firstEmpty}), QStringLiteral("by"));
  }

  void unknownKindLeavesBlack() {
    TCGauge g;
    Colour(g, TCGauge::gkHorizontalBar, 30, 20);
    g.SetProgress(60);
    g.RenderImage();
    g.SeTCGaugeKind(TCGauge::TCGaugeKind(42));
    QCOMPARE(CountColour(g.RenderImage(), kBlack), 30 * 20);
  }

  void pie() {
    TCGauge g;
    Colour(g, TCGauge::gkPie, 100, 100);
    // 0 %: the outlined dial on the gauge's colour, nothing filled.
    QCOMPARE(Pixels(g.RenderImage(), {{50, 50}, {3, 3}, {0, 0}, {49, 1}}), QStringLiteral("ygkb"));
    QVERIFY(CountColour(g.RenderImage(), kBlue) < 400);  // the outline only
    // 25 %: the upper right quarter.
    g.SetProgress(25);
    QCOMPARE(Pixels(g.RenderImage(), {{70, 30}, {90, 45}, {30, 30}, {70, 70}}), QStringLiteral("bbyy"));
    // 100 %: the whole dial, though start and end lie a pixel apart.
    g.SetProgress(100);
    QCOMPARE(CountColour(g.RenderImage(), kYellow), 0);
    QCOMPARE(Pixels(g.RenderImage(), {{3, 3}}), QStringLiteral("g"));
  }

  void needle() {
    TCGauge g;
    Colour(g, TCGauge::gkNeedle, 200, 100);
    g.SetBorderStyle(TCGauge::bsNone);
    // 0 %: the half dial on the gauge's colour, no needle.
    QCOMPARE(Pixels(g.RenderImage(), {{2, 2}, {198, 2}}), QStringLiteral("gg"));
    QCOMPARE(Line(g.RenderImage(), {100, 10}, {0, 1}, 85), QString(85, 'y'));
    // 50 %: straight up from the pivot, a line one or two pixels wide.
    g.SetProgress(50);
    QImage img = g.RenderImage();
    QString up;
    for (int y = 5; y < 95; ++y) up += At(img, 100, y) == kBlue || At(img, 99, y) == kBlue ? 'b' : '-';
    QCOMPARE(up, QString(90, 'b'));
    QCOMPARE(Pixels(img, {{103, 50}, {96, 50}}), QStringLiteral("yy"));
    // 100 %: flat to the right, one row above the pivot's row at the far end.
    g.SetProgress(100);
    img = g.RenderImage();
    QCOMPARE(Pixels(img, {{100, 50}, {40, 98}}), QStringLiteral("yy"));
    QCOMPARE(Line(img, {150, 98}, {1, 0}, 50), QString(50, 'b'));
  }

  void textIsTheComplement_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("horizontal") << int(TCGauge::gkHorizontalBar);
    QTest::newRow("vertical") << int(TCGauge::gkVerticalBar);
    QTest::newRow("text") << int(TCGauge::gkText);
  }
  void textIsTheComplement() {
    QFETCH(int, kind);
    TCGauge g;
    Colour(g, TCGauge::TCGaugeKind(kind), 160, 60);
    QFont f = g.font();
    f.setPixelSize(36);
    g.setFont(f); g.SetProgress(50);
    const QImage plain = g.RenderImage();
    if (kind == TCGauge::gkText)  // without text, a plain field of the back colour in the frame
      QCOMPARE(CountColour(plain, kYellow), 158 * 58);
    g.SetShowText(true);
    const QImage text = g.RenderImage();
    int inverted = 0, notInverse = 0, onFrame = 0, overFore = 0, overBack = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 160; ++x) {
        const QRgb under = At(plain, x, y), shown = At(text, x, y);
        if (shown == under) continue;
        ++inverted;
        notInverse += shown != (under ^ 0x00FFFFFFu);
        onFrame += x == 0 || y == 0 || x == 159 || y == 59;  // the text is clipped to R
        overFore += under == kBlue;
        overBack += under == kYellow;
      }
    QCOMPARE(notInverse, 0);
    QCOMPARE(onFrame, 0);
    QVERIFY(inverted > 100);
    QVERIFY(overBack > 0);
    if (kind != TCGauge::gkText) QVERIFY(overFore > 0);
  }

  void colourFollowsTheParent() {
    QWidget parent;
    parent.setPalette(QPalette(Qt::black, Qt::black));
    auto* g = new TCGauge(&parent);
    Colour(*g, TCGauge::gkPie, 40, 40);
    g->SetParentColor(true);
    QCOMPARE(At(g->RenderImage(), 2, 2), kBlack);
    g->SetColor(clGray);
    QCOMPARE(At(g->RenderImage(), 2, 2), kGray);
  }
};

QTEST_MAIN(TestGauge)
#include "test_gauge.moc"
