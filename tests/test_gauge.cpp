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
const QPoint Across(1, 0), Down(0, 1);

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
    const int table[][4] = {{0, INT_MAX, INT_MAX - 1, 99}, {0, INT_MAX, INT_MAX, 100}, {0, INT_MAX, 21474837, 1},
                            {0, INT_MAX, 21474836, 0},     {-INT_MAX, INT_MAX, -1, 49}, {7, 7, 7, 0}};
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
    QCOMPARE(QList<int>({g.GetMinValue(), g.GetMaxValue()}), QList<int>({10, 100}));
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
    for (const QSize size : {QSize(0, 20), QSize(20, 0)})
      for (int kind = TCGauge::gkText; kind <= TCGauge::gkNeedle; ++kind) {
        g.SeTCGaugeKind(TCGauge::TCGaugeKind(kind)); g.resize(size);
        drawn << !g.RenderImage().isNull();
        g.grab();
      }
    QCOMPARE(drawn, QList<bool>(drawn.size(), false));
  }

  // A line of pixels across or down a bar drawn after a pie. Lengths in whole numbers: 0.29 * 100
  // in floating point falls a pixel short.
  void bars_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("step");
    QTest::addColumn<QString>("pixels");
    const int h = TCGauge::gkHorizontalBar, v = TCGauge::gkVerticalBar;
    const QSize wide(320, 25), tall(40, 100), square(99, 99);  // without a frame R is W = H = 100 there
    const auto n = [](int count, char c) { return QString(count, c); };
    QTest::newRow("half: R 318 wide, W 319") << h << wide << 50 << true << QPoint(0, 12) << Across
                                             << 'k' + n(158, 'b') + n(160, 'y') + 'k';
    QTest::newRow("full: R across") << h << wide << 100 << true << QPoint(0, 12) << Across << 'k' + n(318, 'b') + 'k';
    QTest::newRow("full: R down") << h << wide << 100 << true << QPoint(160, 0) << Down << 'k' + n(23, 'b') + 'k';
    QTest::newRow("full without a frame") << h << wide << 100 << false << QPoint(0, 0) << Across << n(320, 'b');
    QTest::newRow("half without a frame") << h << wide << 50 << false << QPoint(159, 0) << Across << "by";
    QTest::newRow("29 %") << h << square << 29 << false << QPoint(28, 5) << Across << "by";
    QTest::newRow("vertical half: H 99, 49 rows up from 99") << v << tall << 50 << true << QPoint(20, 1) << Down
                                                             << n(49, 'y') + n(49, 'b');
    QTest::newRow("vertical empty") << v << tall << 0 << true << QPoint(20, 0) << Down << 'k' + n(98, 'y') + 'k';
    QTest::newRow("vertical full") << v << tall << 100 << true << QPoint(20, 0) << Down << 'k' + n(98, 'b') + 'k';
    QTest::newRow("vertical full without a frame: a row short") << v << tall << 100 << false << QPoint(20, 0) << Down
                                                                << 'y' + n(99, 'b');
    QTest::newRow("vertical 29 %") << v << square << 29 << false << QPoint(5, 70) << Down << "yb";
    QTest::newRow("unknown kind: black") << 42 << QSize(30, 20) << 60 << true << QPoint(0, 10) << Across << n(30, 'k');
  }
  void bars() {
    QFETCH(int, kind); QFETCH(QSize, size); QFETCH(int, percent); QFETCH(bool, frame);
    QFETCH(QPoint, from); QFETCH(QPoint, step); QFETCH(QString, pixels);
    TCGauge g;
    Colour(g, TCGauge::gkPie, size.width(), size.height());
    g.SetBorderStyle(frame ? TCGauge::bsSingle : TCGauge::bsNone);
    g.SetProgress(percent);
    g.RenderImage();  // a picture of another kind first: nothing of it may stay
    g.SeTCGaugeKind(TCGauge::TCGaugeKind(kind));
    QCOMPARE(Line(g.RenderImage(), from, step, pixels.size()), pixels);
  }

  void pie() {
    TCGauge g;
    Colour(g, TCGauge::gkPie, 100, 100);
    // 0 %: the outlined dial on the gauge's colour, nothing filled.
    QCOMPARE(Pixels(g.RenderImage(), {{50, 50}, {3, 3}, {0, 0}, {49, 1}}), QStringLiteral("ygkb"));
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
    int notInverse = 0, onFrame = 0;
    QSet<QRgb> under;  // colours the text was drawn over
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 160; ++x) {
        if (At(text, x, y) == At(plain, x, y)) continue;
        under << At(plain, x, y);
        notInverse += At(text, x, y) != (At(plain, x, y) ^ 0x00FFFFFFu);
        onFrame += x == 0 || y == 0 || x == 159 || y == 59;  // the text is clipped to R
      }
    QCOMPARE(notInverse, 0);
    QCOMPARE(onFrame, 0);
    QVERIFY(under.contains(kYellow));
    QCOMPARE(under.contains(kBlue), kind != TCGauge::gkText);
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
