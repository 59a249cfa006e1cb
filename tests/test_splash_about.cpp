#include <QtTest>

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include "app/Startup.h"
#include "app/TAboutBox.h"
#include "app/TOpeningForm.h"
#include "components/Cgauges/Cgauges.h"

namespace {

class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    paints += e->type() == QEvent::Paint;
    return false;
  }
};

int CountColour(const QImage& img, const QRect& area, QRgb c) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += (img.pixel(x, y) | 0xFF000000) == c;
  return n;
}

QPoint CentreOn(const QScreen* s, const QSize& outer) {
  const QRect area = s->geometry();
  return QPoint(area.x() + (area.width() - outer.width()) / 2,
                area.y() + (area.height() - outer.height()) / 2);
}

}  // namespace

class TestSplashAbout : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The program's font substitutions, among the rest of its start-up settings.
    InitApplication();
  }

  // The gauge's settings show in the start-up test's pixels; here the window.
  void splashForm() {
    TOpeningForm splash;
    QCOMPARE(splash.size(), QSize(393, 225));
    const Qt::WindowFlags flags = splash.windowFlags();
    QVERIFY(flags & Qt::FramelessWindowHint);
    QVERIFY(flags & Qt::WindowStaysOnTopHint);
    QVERIFY(!(flags & (Qt::WindowTitleHint | Qt::WindowSystemMenuHint)));
    QVERIFY(splash.isWindow());
    QCOMPARE(splash.findChild<QFrame*>("Panel1"), splash.Panel1);
    QCOMPARE(splash.findChild<QLabel*>("Label1"), splash.Label1);
    QCOMPARE(splash.findChild<TCGauge*>("CGauge1"), splash.CGauge1);
    // The form's fonts are pixel sizes, as it gives them.
    splash.Label1->ensurePolished();
    const QFont title = splash.Label1->font();
    QCOMPARE(title.pixelSize(), 53);
    QVERIFY(title.bold() && title.italic());
    QCOMPARE(title.family(), QStringLiteral("ＭＳ Ｐ明朝"));
  }

  // The frame's set-up loop, as it drives the splash.
  void splashDuringStartUp() {
    QPointer<TOpeningForm> splash = new TOpeningForm;
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    const QRect bar(0, 0, 320, 25);
    PaintCounter counter;
    splash->CGauge1->installEventFilter(&counter);
    int paintsTo300 = 0;
    for (int i = 0; i < 370; ++i) {
      splash->CGauge1->SetProgress(i);
      const QImage img = splash->CGauge1->grab().toImage();
      const int blue = CountColour(img, bar, 0xFF0000FF);
      if (i < 300) {
        QVERIFY2(blue < 320 * 25, qPrintable(QString::number(i)));
      } else {
        QVERIFY2(blue == 320 * 25, qPrintable(QString::number(i)));
      }
      if (i == 300) paintsTo300 = counter.paints;
    }
    // grab() paints once per pass; the setter added a paint per percentage
    // point up to 300 and none for the last 69 passes.
    QCOMPARE(paintsTo300, 301 + 100);
    QCOMPARE(counter.paints, 370 + 100);

    // Black panel and border, red name, lime notice, blue bar.
    const QImage shot = splash->grab().toImage();
    QCOMPARE(shot.pixel(20, 120) | 0xFF000000, 0xFF000000u);
    QCOMPARE(CountColour(shot, QRect(5, 5, 382, 1), 0xFF000000), 382);
    QCOMPARE(shot.pixel(5 + 34 + 160, 5 + 160 + 12) | 0xFF000000, 0xFF0000FFu);
    QVERIFY(CountColour(shot, QRect(5 + 34, 5 + 24, 309, 53), 0xFFFF0000) > 200);
    QVERIFY(CountColour(shot, QRect(10, 80, 372, 60), 0xFF00FF00) > 50);

    // Released, it goes once the queued events have been handled.
    splash->deleteLater();
    QVERIFY(splash);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!splash);
  }

  void aboutForm() {
    TAboutBox box;
    QCOMPARE(box.objectName(), QStringLiteral("AboutBox"));
    QVERIFY(!box.isVisible());
    QCOMPARE(box.size(), QSize(298, 218));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(box.findChild<QLabel*>("ProgramIcon"), box.ProgramIcon);
    QCOMPARE(box.findChild<QLabel*>("ProductName"), box.ProductName);
    QCOMPARE(box.findChild<QLabel*>("Version"), box.Version);
    QCOMPARE(box.findChild<QPushButton*>("OKButton"), box.OKButton);
    QVERIFY(box.OKButton->isDefault());

    // The picture comes from the library's resources, its background clear.
    const QImage picture = box.ProgramIcon->pixmap().toImage();
    QCOMPARE(picture.size(), QSize(210, 105));
    QCOMPARE(qAlpha(picture.pixel(0, 104)), 0);
    QCOMPARE(qAlpha(picture.pixel(100, 50)), 255);
  }

  // Shown twice in a row: the same window, centred each time, OK focused;
  // Escape leaves it open, Enter and a click on OK close it.
  void aboutShownTwice() {
    TAboutBox box;
    for (int round = 0; round < 2; ++round) {
      box.move(3 + round * 40, 5);
      bool checked = false;
      QTimer::singleShot(0, &box, [&] {
        QVERIFY(box.isVisible());
        QCOMPARE(box.frameGeometry().topLeft(), CentreOn(box.screen(), box.frameGeometry().size()));
        QCOMPARE(box.focusWidget(), box.OKButton);
        QTest::keyClick(box.OKButton, Qt::Key_Escape);
        QCoreApplication::processEvents();
        QVERIFY(box.isVisible());
        checked = true;
        if (round == 0)
          QTest::keyClick(box.OKButton, Qt::Key_Return);
        else
          QTest::mouseClick(box.OKButton, Qt::LeftButton);
      });
      QTimer::singleShot(5000, &box, [&] { box.done(-1); });  // never hang
      QCOMPARE(box.exec(), int(QDialog::Accepted));
      QVERIFY(checked);
      QVERIFY(!box.isVisible());
    }
  }

  void aboutClosedByItsWindow() {
    TAboutBox box;
    QTimer::singleShot(0, &box, [&] { box.close(); });
    QTimer::singleShot(5000, &box, [&] { box.done(-1); });
    QCOMPARE(box.exec(), int(QDialog::Rejected));
    QVERIFY(!box.isVisible());
  }
};

QTEST_MAIN(TestSplashAbout)
#include "test_splash_about.moc"
