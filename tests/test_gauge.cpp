#include <QtTest>

#include <climits>

#include "components/Cgauges/Cgauges.h"
#include "components/Registry.h"

namespace {

// Counts the paints that reach the screen.
class CountingGauge : public TCGauge {
 public:
  using TCGauge::TCGauge;
  int paints = 0;

 protected:
  void Paint(QPainter& canvas) override {
    ++paints;
    TCGauge::Paint(canvas);
  }
};

constexpr QRgb kBlack = 0xFF000000, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00,
               kWhite = 0xFFFFFFFF, kGray = 0xFF808080;

QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y) | 0xFF000000; }

// A gauge with colours that tell the frame, the filled and the empty part apart.
void Colour(TCGauge& g, TCGauge::TCGaugeKind kind, int w, int h) {
  g.resize(w, h);
  g.SeTCGaugeKind(kind);
  g.SetShowText(false);
  g.SetForeColor(clBlue);
  g.SetBackColor(clYellow);
  g.SetColor(clGray);
}

int CountColour(const QImage& img, QRgb c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += At(img, x, y) == c;
  return n;
}

}  // namespace

class TestGauge : public QObject {
  Q_OBJECT

 private slots:
  void defaults() {
    TCGauge g;
    QCOMPARE(g.size(), QSize(100, 100));
    QCOMPARE(g.GetKind(), TCGauge::gkHorizontalBar);
    QVERIFY(g.GetShowText());
    QCOMPARE(g.GetBorderStyle(), TCGauge::bsSingle);
    QCOMPARE(g.GetForeColor(), clBlack);
    QCOMPARE(g.GetBackColor(), clWhite);
    QCOMPARE(g.GetMinValue(), 0);
    QCOMPARE(g.GetMaxValue(), 100);
    QCOMPARE(g.GetProgress(), 0);
    QCOMPARE(g.GetPercentDone(), 0);
    // A fresh gauge is a black frame around white, with "0%" in black on it.
    g.SetShowText(false);
    const QImage img = g.RenderImage();
    QCOMPARE(At(img, 0, 50), kBlack);
    QCOMPARE(At(img, 99, 50), kBlack);
    QCOMPARE(At(img, 50, 0), kBlack);
    QCOMPARE(At(img, 50, 99), kBlack);
    QCOMPARE(CountColour(img, kWhite), 98 * 98);
  }

  void percentDone_data() {
    QTest::addColumn<int>("minValue");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("percent");
    QTest::newRow("300: 1") << 0 << 300 << 1 << 0;
    QTest::newRow("300: 2") << 0 << 300 << 2 << 0;
    QTest::newRow("300: 3") << 0 << 300 << 3 << 1;
    QTest::newRow("300: 299") << 0 << 300 << 299 << 99;
    QTest::newRow("300: 300") << 0 << 300 << 300 << 100;
    QTest::newRow("offset range") << -50 << 50 << 0 << 50;
    QTest::newRow("widest: one short") << 0 << INT_MAX << INT_MAX - 1 << 99;
    QTest::newRow("widest: full") << 0 << INT_MAX << INT_MAX << 100;
    QTest::newRow("widest: 1 %") << 0 << INT_MAX << 21474837 << 1;
    QTest::newRow("widest: just under 1 %") << 0 << INT_MAX << 21474836 << 0;
    QTest::newRow("wider than int: half") << -INT_MAX << INT_MAX << 0 << 50;
    QTest::newRow("wider than int: under half") << -INT_MAX << INT_MAX << -1 << 49;
    QTest::newRow("empty range") << 7 << 7 << 7 << 0;
  }

  void percentDone() {
    QFETCH(int, minValue);
    QFETCH(int, maxValue);
    QFETCH(int, progress);
    QFETCH(int, percent);
    TCGauge g;
    g.SetMaxValue(maxValue);
    g.SetMinValue(minValue);
    g.SetProgress(progress);
    QCOMPARE(g.GetProgress(), progress);
    QCOMPARE(g.GetPercentDone(), percent);
  }

  void clamping() {
    TCGauge g;
    g.SetMaxValue(300);
    g.SetProgress(370);
    QCOMPARE(g.GetProgress(), 300);
    g.SetProgress(-1);
    QCOMPARE(g.GetProgress(), 0);

    // Moving a bound past the progress drags the progress along.
    g.SetProgress(200);
    g.SetMaxValue(150);
    QCOMPARE(g.GetProgress(), 150);
    g.SetMinValue(120);
    g.SetProgress(130);
    g.SetMinValue(140);
    QCOMPARE(g.GetProgress(), 140);

    // AddProgress clamps too, and a sum past the int range does not wrap.
    g.AddProgress(-1000);
    QCOMPARE(g.GetProgress(), 140);
    g.AddProgress(INT_MAX);
    QCOMPARE(g.GetProgress(), 150);
    g.SetMinValue(INT_MIN);
    g.SetProgress(-5);
    g.AddProgress(INT_MIN);
    QCOMPARE(g.GetProgress(), INT_MIN);
  }

  void rangeChecks() {
    TCGauge g;
    // The maximum 0 is ignored, even where it would be out of range.
    g.SetMaxValue(0);
    QCOMPARE(g.GetMaxValue(), 100);
    g.SetMinValue(10);
    g.SetMaxValue(0);
    QCOMPARE(g.GetMaxValue(), 100);

    try {
      g.SetMinValue(150);
      QFAIL("SetMinValue(150) with MaxValue 100 was accepted");
    } catch (const EOutOfRange& e) {
      QCOMPARE(e.Low(), -2147483647LL);
      QCOMPARE(e.High(), 99LL);
      QVERIFY(e.text().indexOf("-2147483647") < e.text().indexOf("99"));
      QVERIFY(e.text().contains(QString::fromUtf8("範囲")));
      QCOMPARE(QString::fromStdString(e.what()), e.text());
    }
    QCOMPARE(g.GetMinValue(), 10);

    try {
      g.SetMaxValue(5);
      QFAIL("SetMaxValue(5) with MinValue 10 was accepted");
    } catch (const EOutOfRange& e) {
      QCOMPARE(e.Low(), 11LL);
      QCOMPARE(e.High(), 2147483647LL);
      QVERIFY(e.text().indexOf("11") < e.text().indexOf("2147483647"));
    }
    QCOMPARE(g.GetMaxValue(), 100);

    // Equal bounds are accepted, and the gauge then shows 0 % throughout.
    g.SetMinValue(100);
    QCOMPARE(g.GetProgress(), 100);
    QCOMPARE(g.GetPercentDone(), 0);
    g.SetMaxValue(50 + 50);
    QCOMPARE(g.GetPercentDone(), 0);

    // Bounds at the ends of the int range are reported, not wrapped.
    TCGauge low;
    low.SetMinValue(INT_MIN);
    low.SetMaxValue(INT_MIN);
    try {
      low.SetMinValue(5);
      QFAIL("SetMinValue(5) with MaxValue INT_MIN was accepted");
    } catch (const EOutOfRange& e) {
      QCOMPARE(e.High(), qint64(INT_MIN) - 1);
    }
    TCGauge high;
    high.SetMaxValue(INT_MAX);
    high.SetMinValue(INT_MAX);
    try {
      high.SetMaxValue(5);
      QFAIL("SetMaxValue(5) with MinValue INT_MAX was accepted");
    } catch (const EOutOfRange& e) {
      QCOMPARE(e.Low(), qint64(INT_MAX) + 1);
    }
  }

  // A form sets the published properties by name, range first.
  void publishedProperties() {
    TCGauge g;
    QVERIFY(g.setProperty("MinValue", 10));
    QVERIFY(g.setProperty("MaxValue", 310));
    QVERIFY(g.setProperty("Progress", 160));
    QVERIFY(g.setProperty("Kind", "gkPie"));
    QVERIFY(g.setProperty("BorderStyle", int(TCGauge::bsNone)));
    QVERIFY(g.setProperty("ForeColor", 0xFF0000u));
    QCOMPARE(g.GetPercentDone(), 50);
    QCOMPARE(g.property("PercentDone").toInt(), 50);
    QCOMPARE(g.GetKind(), TCGauge::gkPie);
    QCOMPARE(g.GetBorderStyle(), TCGauge::bsNone);
    QCOMPARE(g.GetForeColor(), clBlue);
    QVERIFY_THROWS_EXCEPTION(EOutOfRange, g.setProperty("MinValue", 400));
    QCOMPARE(g.GetMinValue(), 10);
  }

  void repaints() {
    CountingGauge g;
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    auto count = [&](auto&& step) {
      g.paints = 0;
      step();
      return g.paints;
    };
    // Each setter paints at once, and only when the value changes.
    QCOMPARE(count([&] { g.SetForeColor(clBlue); }), 1);
    QCOMPARE(count([&] { g.SetForeColor(clBlue); }), 0);
    QCOMPARE(count([&] { g.SetBackColor(clYellow); }), 1);
    QCOMPARE(count([&] { g.SetBackColor(clYellow); }), 0);
    QCOMPARE(count([&] { g.SetShowText(false); }), 1);
    QCOMPARE(count([&] { g.SetShowText(false); }), 0);
    QCOMPARE(count([&] { g.SetBorderStyle(TCGauge::bsNone); }), 1);
    QCOMPARE(count([&] { g.SetBorderStyle(TCGauge::bsNone); }), 0);
    QCOMPARE(count([&] { g.SeTCGaugeKind(TCGauge::gkPie); }), 1);
    QCOMPARE(count([&] { g.SeTCGaugeKind(TCGauge::gkPie); }), 0);
    QCOMPARE(count([&] { g.SetMinValue(0); }), 0);
    QCOMPARE(count([&] { g.SetMaxValue(0); }), 0);
    // The same non-zero maximum is set, and painted, again.
    QCOMPARE(count([&] { g.SetMaxValue(100); }), 1);
    QCOMPARE(count([&] { g.SetMaxValue(300); }), 1);

    // Progress paints only when the whole percentage moves.
    QCOMPARE(count([&] { g.SetProgress(1); }), 0);
    QCOMPARE(count([&] { g.SetProgress(2); }), 0);
    QCOMPARE(count([&] { g.SetProgress(3); }), 1);
    QCOMPARE(count([&] { g.SetProgress(3); }), 0);
    QCOMPARE(count([&] { g.SetProgress(1000); }), 1);
    QCOMPARE(count([&] { g.SetProgress(1000); }), 0);
    g.SetProgress(0);
    QCOMPARE(count([&] {
               for (int i = 0; i <= 300; ++i) g.SetProgress(i);
             }),
             100);
    // AddProgress paints even when nothing changed.
    QCOMPARE(count([&] { g.AddProgress(0); }), 1);
    QCOMPARE(count([&] { g.AddProgress(1); }), 1);
  }

  void screenShowsTheImage() {
    TCGauge g;
    Colour(g, TCGauge::gkPie, 80, 60);
    g.SetShowText(true);
    g.SetProgress(40);
    QCOMPARE(g.grab().toImage().convertToFormat(QImage::Format_RGB32),
             g.RenderImage().convertToFormat(QImage::Format_RGB32));
  }

  void horizontalBar() {
    TCGauge g;
    Colour(g, TCGauge::gkHorizontalBar, 320, 25);
    g.SetProgress(50);
    QImage img = g.RenderImage();
    // R is 318 wide and W = 319: half of it ends before x = 159.
    for (int x = 0; x < 320; ++x) {
      const QRgb want = x == 0 || x == 319 ? kBlack : x <= 158 ? kBlue : kYellow;
      QCOMPARE(At(img, x, 12), want);
    }
    for (int x = 0; x < 320; ++x) {
      QCOMPARE(At(img, x, 0), kBlack);
      QCOMPARE(At(img, x, 24), kBlack);
    }

    g.SetProgress(0);
    img = g.RenderImage();
    QCOMPARE(CountColour(img, kYellow), 318 * 23);

    // Full with a frame: exactly R.
    g.SetProgress(100);
    img = g.RenderImage();
    QCOMPARE(CountColour(img, kBlue), 318 * 23);
    QCOMPARE(CountColour(img, kBlack), 320 * 25 - 318 * 23);

    // Full without a frame: every pixel.
    g.SetBorderStyle(TCGauge::bsNone);
    img = g.RenderImage();
    QCOMPARE(CountColour(img, kBlue), 320 * 25);
    g.SetProgress(50);
    img = g.RenderImage();
    QCOMPARE(At(img, 159, 0), kBlue);
    QCOMPARE(At(img, 160, 0), kYellow);
  }

  void verticalBar() {
    TCGauge g;
    Colour(g, TCGauge::gkVerticalBar, 40, 100);
    g.SetProgress(50);
    QImage img = g.RenderImage();
    // H = 99: half of it, 49 rows, counted up from row 99, so from row 50.
    for (int y = 1; y < 99; ++y) QCOMPARE(At(img, 20, y), y >= 50 ? kBlue : kYellow);
    QCOMPARE(At(img, 20, 0), kBlack);
    QCOMPARE(At(img, 20, 99), kBlack);
    QCOMPARE(At(img, 0, 70), kBlack);

    g.SetProgress(0);
    img = g.RenderImage();
    QCOMPARE(CountColour(img, kBlue), 0);

    g.SetProgress(100);
    img = g.RenderImage();
    QCOMPARE(CountColour(img, kBlue), 38 * 98);
    QCOMPARE(At(img, 20, 0), kBlack);

    // Without a frame the full bar stops one row short of the top.
    g.SetBorderStyle(TCGauge::bsNone);
    img = g.RenderImage();
    QCOMPARE(CountColour(img, kBlue), 40 * 99);
    QCOMPARE(At(img, 20, 0), kYellow);
  }

  void pie() {
    TCGauge g;
    Colour(g, TCGauge::gkPie, 100, 100);
    QImage img = g.RenderImage();
    // 0 %: the outlined dial on the gauge's colour, nothing filled.
    QCOMPARE(At(img, 50, 50), kYellow);
    QCOMPARE(At(img, 3, 3), kGray);
    QCOMPARE(At(img, 0, 0), kBlack);
    QCOMPARE(At(img, 49, 1), kBlue);
    QVERIFY(CountColour(img, kBlue) < 400);  // the outline only

    // 25 %: the upper right quarter.
    g.SetProgress(25);
    img = g.RenderImage();
    QCOMPARE(At(img, 70, 30), kBlue);
    QCOMPARE(At(img, 55, 10), kBlue);
    QCOMPARE(At(img, 90, 45), kBlue);
    QCOMPARE(At(img, 30, 30), kYellow);
    QCOMPARE(At(img, 70, 70), kYellow);
    QCOMPARE(At(img, 30, 70), kYellow);
    QCOMPARE(At(img, 3, 3), kGray);

    // 75 %: all but the upper left quarter.
    g.SetProgress(75);
    img = g.RenderImage();
    QCOMPARE(At(img, 70, 30), kBlue);
    QCOMPARE(At(img, 70, 70), kBlue);
    QCOMPARE(At(img, 30, 70), kBlue);
    QCOMPARE(At(img, 30, 30), kYellow);

    // 100 %: the whole dial, though start and end lie a pixel apart.
    g.SetProgress(100);
    img = g.RenderImage();
    QCOMPARE(CountColour(img, kYellow), 0);
    QCOMPARE(At(img, 3, 3), kGray);
  }

  void needle() {
    TCGauge g;
    Colour(g, TCGauge::gkNeedle, 200, 100);
    g.SetBorderStyle(TCGauge::bsNone);
    const int M = 100;

    QImage img = g.RenderImage();
    // 0 %: the half dial on the gauge's colour, no needle.
    QCOMPARE(At(img, 100, 50), kYellow);
    QCOMPARE(At(img, 2, 2), kGray);
    QCOMPARE(At(img, 198, 2), kGray);
    for (int y = 10; y < 95; ++y) QCOMPARE(At(img, M, y), kYellow);
    const int outline = CountColour(img, kBlue);

    // 50 %: straight up from the pivot, ending on row 0 at M - 1.
    g.SetProgress(50);
    img = g.RenderImage();
    for (int y = 5; y < 95; ++y)
      QVERIFY2(At(img, M, y) == kBlue || At(img, M - 1, y) == kBlue, qPrintable(QString::number(y)));
    QCOMPARE(At(img, M + 3, 50), kYellow);
    QCOMPARE(At(img, M - 4, 50), kYellow);

    // 100 %: flat to the right, one row above the pivot's row at the far end.
    g.SetProgress(100);
    img = g.RenderImage();
    QVERIFY(CountColour(img, kBlue) > outline + 40);
    QCOMPARE(At(img, M, 50), kYellow);
    for (int x = 150; x < 2 * M; ++x) QCOMPARE(At(img, x, 98), kBlue);
    QCOMPARE(At(img, 40, 98), kYellow);
  }

  void textIsTheComplement() {
    for (auto kind : {TCGauge::gkHorizontalBar, TCGauge::gkVerticalBar, TCGauge::gkText}) {
      TCGauge g;
      Colour(g, kind, 160, 60);
      QFont f = g.font();
      f.setPixelSize(36);
      g.setFont(f);
      g.SetProgress(50);
      const QImage plain = g.RenderImage();
      g.SetShowText(true);
      const QImage text = g.RenderImage();
      int inverted = 0, overFore = 0, overBack = 0;
      for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 160; ++x) {
          const QRgb under = At(plain, x, y), shown = At(text, x, y);
          if (shown == under) continue;
          QCOMPARE(shown, under ^ 0x00FFFFFFu);
          // The text is clipped to R: the frame stays black.
          QVERIFY(x > 0 && y > 0 && x < 159 && y < 59);
          ++inverted;
          overFore += under == kBlue;
          overBack += under == kYellow;
        }
      QVERIFY(inverted > 100);
      QVERIFY(overBack > 0);
      if (kind != TCGauge::gkText) QVERIFY(overFore > 0);
    }
  }

  void plainField() {
    TCGauge g;
    Colour(g, TCGauge::gkText, 50, 30);
    g.SetProgress(70);
    const QImage img = g.RenderImage();
    QCOMPARE(CountColour(img, kYellow), 48 * 28);
    QCOMPARE(CountColour(img, kBlack), 50 * 30 - 48 * 28);
  }

  void colourFollowsTheParent() {
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, Qt::black);
    parent.setPalette(pal);
    auto* g = new TCGauge(&parent);
    Colour(*g, TCGauge::gkPie, 40, 40);
    g->SetParentColor(true);
    QCOMPARE(At(g->RenderImage(), 2, 2), kBlack);
    g->SetColor(clGray);
    QVERIFY(!g->GetParentColor());
    QCOMPARE(At(g->RenderImage(), 2, 2), kGray);
  }

  void registration() {
    Cgauges::Register();
    Cgauges::Register();
    int found = 0;
    for (const TRegisteredComponent& r : RegisteredComponents()) {
      if (r.cls.className != "TCGauge") continue;
      ++found;
      QCOMPARE(r.page, LoadStr(101));
      QCOMPARE(r.cls.header, QStringLiteral("components/Cgauges/Cgauges.h"));
      const QImage icon(r.cls.iconPath);
      QCOMPARE(icon.size(), QSize(24, 24));
      QWidget parent;
      QWidget* w = r.cls.create(&parent);
      QVERIFY(qobject_cast<TCGauge*>(w));
      QCOMPARE(w->parent(), &parent);
    }
    QCOMPARE(found, 1);
  }
};

QTEST_MAIN(TestGauge)
#include "test_gauge.moc"
