#include <QSignalSpy>
#include <QtTest>

#include "components/Ccalendr/Ccalendr.h"
#include "components/Registry.h"

using Ccalendr::EConvertError;

namespace {

// Weekday by Zeller's congruence, 0 = Sunday ... 6 = Saturday.
int Weekday(int y, int m, int d) {
  if (m < 3) {
    m += 12;
    y -= 1;
  }
  const int K = y % 100, J = y / 100;
  const int h = (d + 13 * (m + 1) / 5 + K + K / 4 + J / 4 + 5 * J) % 7;  // 0 = Saturday
  return (h + 6) % 7;
}

int MonthLength(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return days[m - 1] + (m == 2 && leap ? 1 : 0);
}

const QStringList NamesFromSunday = {"日", "月", "火", "水", "木", "金", "土"};

struct Calendar {
  TCCalendar cal;
  explicit Calendar(QDate date = QDate(), short startOfWeek = 1) {
    cal.SetStartOfWeek(startOfWeek);
    if (date.isValid()) cal.SeTCCalendarDate(date);
  }
  QPoint CellOf(int day) const {
    for (int r = 1; r < 7; ++r)
      for (int c = 0; c < 7; ++c)
        if (cal.GetCellText(c, r) == QString::number(day)) return {c, r};
    return {-1, -1};
  }
  QPoint Current() const { return {cal.GetCol(), cal.GetRow()}; }
};

class LeaplessCalendar : public TCCalendar {
 public:
  bool IsLeapYear(int) const override { return false; }
};

}  // namespace

class TestCalendar : public QObject {
  Q_OBJECT

 private slots:
  void layoutAgainstZeller() {
    TCCalendar cal;
    for (int year : {1, 4, 1899, 1900, 2000, 2024, 2025, 2026, 2100, 9999}) {
      for (int month = 1; month <= 12; ++month) {
        for (short sow = 1; sow <= 7; ++sow) {
          cal.SetStartOfWeek(sow);
          cal.SeTCCalendarDate(QDate(year, month, 1));
          const int firstColumnDay = sow % 7;  // weekday of column 0, Sunday = 0
          const int first = (Weekday(year, month, 1) - firstColumnDay + 7) % 7;
          const QString where = QString("%1-%2 start %3").arg(year).arg(month).arg(sow);
          for (int c = 0; c < 7; ++c)
            QCOMPARE(cal.GetCellText(c, 0), NamesFromSunday[(firstColumnDay + c) % 7]);
          for (int r = 1; r < 7; ++r) {
            for (int c = 0; c < 7; ++c) {
              const int day = 7 * (r - 1) + c - first + 1;
              const QString expected =
                  day >= 1 && day <= MonthLength(year, month) ? QString::number(day) : QString();
              if (cal.GetCellText(c, r) != expected)
                QFAIL(qPrintable(where + QString(" cell %1,%2: '%3', expected '%4'")
                                             .arg(c).arg(r).arg(cal.GetCellText(c, r), expected)));
            }
          }
          QCOMPARE(QPoint(cal.GetCol(), cal.GetRow()), QPoint(first, 1));
        }
      }
    }
  }

  void startOfWeekOutOfRange() {
    for (short bad : {0, 8, -3}) {
      TCCalendar cal;
      cal.SetStartOfWeek(4);
      cal.SetStartOfWeek(bad);
      QCOMPARE(cal.GetStartOfWeek(), short(1));
      QCOMPARE(cal.GetCellText(0, 0), QString("月"));
    }
  }

  void newCalendarShowsToday() {
    TCCalendar cal;
    const QDate today = QDate::currentDate();
    QCOMPARE(cal.GetCalendarDate(), today);
    QVERIFY(cal.GetUseCurrentDate());
    QVERIFY(!cal.StoreCalendarDate());
    QCOMPARE(cal.GetStartOfWeek(), short(1));
    QCOMPARE(cal.GetCellText(0, 0), QString("月"));
    QCOMPARE(cal.GetCellText(cal.GetCol(), cal.GetRow()), QString::number(today.day()));
  }

  void monthSteps_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("step");
    QTest::addColumn<QDate>("to");
    QTest::newRow("31 Jan next") << QDate(2025, 1, 31) << 1 << QDate(2025, 2, 28);
    QTest::newRow("31 Jan leap next") << QDate(2024, 1, 31) << 1 << QDate(2024, 2, 29);
    QTest::newRow("31 Mar prev") << QDate(2025, 3, 31) << -1 << QDate(2025, 2, 28);
    QTest::newRow("15 Jan prev") << QDate(2025, 1, 15) << -1 << QDate(2024, 12, 15);
    QTest::newRow("31 Dec next") << QDate(2024, 12, 31) << 1 << QDate(2025, 1, 31);
    QTest::newRow("30 Apr next") << QDate(2025, 4, 30) << 1 << QDate(2025, 5, 30);
  }

  void monthSteps() {
    QFETCH(QDate, from);
    QFETCH(int, step);
    QFETCH(QDate, to);
    Calendar c(from);
    QSignalSpy changes(&c.cal, &TCCalendar::OnChange);
    if (step > 0)
      c.cal.NextMonth();
    else
      c.cal.PrevMonth();
    QCOMPARE(c.cal.GetCalendarDate(), to);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(c.Current(), c.CellOf(to.day()));
    QVERIFY(c.cal.GetUseCurrentDate());  // the steps leave it alone
  }

  void yearSteps() {
    Calendar c(QDate(2024, 2, 29));
    QSignalSpy changes(&c.cal, &TCCalendar::OnChange);
    c.cal.NextYear();
    QCOMPARE(c.cal.GetCalendarDate(), QDate(2025, 2, 28));
    QCOMPARE(changes.count(), 2);
    QVERIFY(!c.cal.GetUseCurrentDate());

    c.cal.SeTCCalendarDate(QDate(2024, 2, 29));
    changes.clear();
    c.cal.PrevYear();
    QCOMPARE(c.cal.GetCalendarDate(), QDate(2023, 2, 28));
    QCOMPARE(changes.count(), 2);

    c.cal.SeTCCalendarDate(QDate(2024, 3, 10));
    changes.clear();
    c.cal.NextYear();
    QCOMPARE(c.cal.GetCalendarDate(), QDate(2025, 3, 10));
    QCOMPARE(changes.count(), 1);

    c.cal.SeTCCalendarDate(QDate(1, 5, 5));
    changes.clear();
    c.cal.PrevYear();
    QCOMPARE(c.cal.GetCalendarDate(), QDate(1, 5, 5));
    QCOMPARE(changes.count(), 0);
  }

  void limitsOfTheDateRange() {
    Calendar c(QDate(9999, 12, 31));
    QSignalSpy changes(&c.cal, &TCCalendar::OnChange);
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.NextYear());
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.NextMonth());
    QCOMPARE(c.cal.GetCalendarDate(), QDate(9999, 12, 31));
    c.cal.SeTCCalendarDate(QDate(1, 1, 20));
    changes.clear();
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.PrevMonth());
    QCOMPARE(c.cal.GetCalendarDate(), QDate(1, 1, 20));
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.SeTCCalendarDate(QDate()));
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.SeTCCalendarDate(QDate(10000, 1, 1)));
    QCOMPARE(c.cal.GetCalendarDate(), QDate(1, 1, 20));
    QCOMPARE(changes.count(), 0);
  }

  void elementsOutOfRangeAreIgnored() {
    Calendar c(QDate(2025, 4, 15));
    QSignalSpy changes(&c.cal, &TCCalendar::OnChange);
    c.cal.SetMonth(13);
    c.cal.SetDay(0);
    c.cal.SetDay(31);  // April has 30
    c.cal.SetYear(-5);
    c.cal.SetDay(15);  // unchanged value
    c.cal.SetDateElement(4, 3);
    QCOMPARE(c.cal.GetCalendarDate(), QDate(2025, 4, 15));
    QCOMPARE(changes.count(), 0);
    QVERIFY(c.cal.GetUseCurrentDate());
    QCOMPARE(c.cal.GetDateElement(4), -1);

    c.cal.SetDay(30);
    c.cal.SetMonth(6);
    c.cal.SetYear(1999);
    QCOMPARE(c.cal.GetCalendarDate(), QDate(1999, 6, 30));
    QCOMPARE(changes.count(), 3);
    QVERIFY(!c.cal.GetUseCurrentDate());
    QVERIFY(c.cal.StoreCalendarDate());
    QCOMPARE(c.Current(), c.CellOf(30));
  }

  void impossibleDateRaisesConvertError() {
    Calendar c(QDate(2025, 1, 31));
    const QPoint cell = c.Current();
    QSignalSpy changes(&c.cal, &TCCalendar::OnChange);
    try {
      c.cal.SetMonth(2);
      QFAIL("no error");
    } catch (const EConvertError& e) {
      QVERIFY(!e.text().isEmpty());
    }
    QCOMPARE(c.cal.GetCalendarDate(), QDate(2025, 1, 31));
    QVERIFY(c.cal.GetUseCurrentDate());
    QCOMPARE(c.Current(), cell);
    QCOMPARE(c.CellOf(31), cell);

    c.cal.SeTCCalendarDate(QDate(2024, 2, 29));
    changes.clear();
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.SetYear(2023));
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.SetYear(10000));
    QCOMPARE(c.cal.GetCalendarDate(), QDate(2024, 2, 29));
    QCOMPARE(changes.count(), 0);
  }

  void useCurrentDate() {
    TCCalendar cal;
    const QDate today = QDate::currentDate();
    QSignalSpy changes(&cal, &TCCalendar::OnChange);
    cal.SetDay(today.day() == 1 ? 2 : 1);
    QVERIFY(!cal.GetUseCurrentDate());
    QCOMPARE(changes.count(), 1);
    cal.SeTCCalendarDate(QDate(2001, 7, 4));
    QVERIFY(!cal.GetUseCurrentDate());
    cal.SetUseCurrentDate(true);
    QCOMPARE(cal.GetCalendarDate(), today);
    QCOMPARE(cal.GetCellText(cal.GetCol(), cal.GetRow()), QString::number(today.day()));
    QCOMPARE(changes.count(), 2);  // switching on raises nothing
    cal.SeTCCalendarDate(QDate(2001, 7, 4));
    QVERIFY(cal.GetUseCurrentDate());
    cal.SetUseCurrentDate(false);
    QCOMPARE(cal.GetCalendarDate(), QDate(2001, 7, 4));
    cal.SetStartOfWeek(3);
    QCOMPARE(changes.count(), 3);
  }

  void overridesReachEveryCalculation() {
    LeaplessCalendar cal;
    cal.SeTCCalendarDate(QDate(2024, 2, 10));
    QCOMPARE(cal.DaysThisMonth(), 28);
    cal.SetDay(29);
    QCOMPARE(cal.GetDay(), 10);
    for (int r = 1; r < 7; ++r)
      for (int c = 0; c < 7; ++c) QVERIFY(cal.GetCellText(c, r) != "29");
  }

  void mouseAndKeyboard() {
    Calendar c(QDate(2024, 9, 10));  // Monday first: 1 at column 6, 10 at (1, 3)
    c.cal.resize(360, 260);
    c.cal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.cal));
    QSignalSpy changes(&c.cal, &TCCalendar::OnChange);
    QSignalSpy clicks(&c.cal, &TCCalendar::OnClick);
    auto clickOn = [&](QPoint cell) {
      QTest::mouseClick(&c.cal, Qt::LeftButton, {}, c.cal.CellRect(cell.x(), cell.y()).center());
    };

    clickOn(c.CellOf(18));
    QCOMPARE(c.cal.GetDay(), 18);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(!c.cal.GetUseCurrentDate());
    clickOn(QPoint(0, 1));  // empty, before the 1st
    clickOn(QPoint(3, 0));  // weekday heading
    QCOMPARE(c.cal.GetDay(), 18);
    QCOMPARE(c.Current(), c.CellOf(18));
    QCOMPARE(changes.count(), 1);

    c.cal.setFocus();
    QTest::keyClick(&c.cal, Qt::Key_Right);
    QCOMPARE(c.cal.GetDay(), 19);
    QTest::keyClick(&c.cal, Qt::Key_Down);
    QCOMPARE(c.cal.GetDay(), 26);
    QTest::keyClick(&c.cal, Qt::Key_Down);  // 33 does not exist
    QCOMPARE(c.cal.GetDay(), 26);
    c.cal.SetDay(1);
    QTest::keyClick(&c.cal, Qt::Key_Left);  // empty cell
    QTest::keyClick(&c.cal, Qt::Key_Up);    // heading row
    QCOMPARE(c.cal.GetDay(), 1);
    QCOMPARE(c.Current(), QPoint(6, 1));

    c.cal.SetReadOnly(true);
    clickOn(c.CellOf(20));
    QTest::keyClick(&c.cal, Qt::Key_Down);
    QCOMPARE(c.cal.GetDay(), 1);
    c.cal.SetDay(12);
    QCOMPARE(c.Current(), c.CellOf(12));
    c.cal.NextMonth();
    QCOMPARE(c.cal.GetCalendarDate(), QDate(2024, 10, 12));
    QCOMPARE(c.Current(), c.CellOf(12));
  }

  void cellSizesAndDrawing() {
    Calendar c(QDate(2024, 9, 18));
    const QMargins frame = c.cal.contentsMargins();
    c.cal.resize(300 + frame.left() + frame.right(), 200 + frame.top() + frame.bottom());
    c.cal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.cal));
    QCOMPARE(c.cal.contentsRect().size(), QSize(300, 200));
    QCOMPARE(c.cal.GetDefaultColWidth(), 42);
    QCOMPARE(c.cal.GetDefaultRowHeight(), 27);
    QCOMPARE(c.cal.CellRect(1, 1).left() - c.cal.CellRect(0, 1).left(), 43);

    const QImage img = c.cal.grab().toImage();
    const QPalette pal = c.cal.palette();
    const QRect current = c.cal.CellRect(c.cal.GetCol(), c.cal.GetRow());
    QCOMPARE(img.pixelColor(current.topLeft() + QPoint(2, 2)), pal.color(QPalette::Highlight));
    const QRect heading = c.cal.CellRect(2, 0);
    QCOMPARE(img.pixelColor(heading.center().x(), heading.top() + 2), ToQColor(clBtnFace));

    // Day numbers sit in the middle of their cells.
    for (int day : {5, 18, 30}) {
      const QPoint at = c.CellOf(day);
      const QRect cell = c.cal.CellRect(at.x(), at.y());
      const QColor back = img.pixelColor(cell.topLeft() + QPoint(2, 2));
      int left = cell.right(), right = cell.left(), top = cell.bottom(), bottom = cell.top();
      for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
        for (int x = cell.left() + 2; x < cell.right() - 1; ++x)
          if (img.pixelColor(x, y) != back) {
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
          }
      QVERIFY2(left < right, qPrintable(QString("no text for %1").arg(day)));
      QVERIFY(qAbs((left + right) / 2.0 - (cell.left() + cell.right()) / 2.0) <= 1.5);
      QVERIFY(qAbs((top + bottom) / 2.0 - (cell.top() + cell.bottom()) / 2.0) <= 4);
    }

    c.cal.SetGridLineWidth(2);
    c.cal.resize(c.cal.size() + QSize(1, 1));
    QCOMPARE(c.cal.GetDefaultColWidth(), (301 - 12) / 7);
    QCOMPARE(c.cal.GetDefaultRowHeight(), (201 - 12) / 7);
  }

  void registers() {
    Ccalendr::Register();
    const TRegisteredComponent* found = nullptr;
    for (const TRegisteredComponent& r : RegisteredComponents())
      if (r.cls.className == "TCCalendar") found = &r;
    QVERIFY(found);
    QCOMPARE(found->page, LoadStr(101));
    QCOMPARE(QImage(found->cls.iconPath).size(), QSize(24, 24));
    QWidget parent;
    QWidget* w = found->cls.create(&parent);
    QVERIFY(qobject_cast<TCCalendar*>(w));
    QCOMPARE(w->parent(), &parent);
  }
};

QTEST_MAIN(TestCalendar)
#include "test_calendar.moc"
