// Guards the calendar component: its month layout, date steps and limits, mouse and keys, and drawing.
#include <QSignalSpy>
#include <QtTest>

#include "components/Ccalendr/Ccalendr.h"

using Ccalendr::EConvertError;

namespace {

// A calendar on a date, with the changes it raises recorded.
struct Calendar {
  TCCalendar cal;
  QSignalSpy changes{&cal, &TCCalendar::OnChange};
  explicit Calendar(QDate date) { Set(date); }
  void Set(QDate date) { cal.SeTCCalendarDate(date), changes.clear(); }
  QPoint CellOf(int day) const {
    for (int r = 1; r < 7; ++r)
      for (int c = 0; c < 7; ++c)
        if (cal.GetCellText(c, r) == QString::number(day)) return {c, r};
    return {-1, -1};
  }
  QPoint Current() const { return {cal.GetCol(), cal.GetRow()}; }
  // The date and the changes raised since it was set, as one value.
  QString State() const { return cal.GetCalendarDate().toString(Qt::ISODate) + QString(", %1 changes").arg(changes.count()); }
};

class LeaplessCalendar : public TCCalendar {
 public:
  bool IsLeapYear(int) const override { return false; }
};

}  // namespace

class TestCalendar : public QObject {
  Q_OBJECT

 private slots:
  // Every month of years chosen for their leap rules, from each first weekday.
  void layout() {
    const QStringList names = QString::fromUtf8("日 月 火 水 木 金 土").split(' ');
    TCCalendar cal;
    QStringList got, want;
    for (int year : {1, 4, 1899, 1900, 2000, 2024, 2025, 2026, 2100, 9999})
      for (int month = 1; month <= 12; ++month)
        for (short sow = 1; sow <= 7; ++sow) {
          const QDate date(year, month, 1);
          cal.SetStartOfWeek(sow);
          cal.SeTCCalendarDate(date);
          const int first = (date.dayOfWeek() - sow + 7) % 7;  // column of the 1st
          QString g = QString("%1 from %2: at %3,%4 ").arg(date.toString(Qt::ISODate)).arg(sow).arg(cal.GetCol()).arg(cal.GetRow());
          QString w = QString("%1 from %2: at %3,1 ").arg(date.toString(Qt::ISODate)).arg(sow).arg(first);
          for (int i = 0; i < 49; ++i) {
            const int day = i - 7 - first + 1;
            g += cal.GetCellText(i % 7, i / 7) + ',';
            w += (i < 7 ? names[(sow + i) % 7] : day >= 1 && day <= date.daysInMonth() ? QString::number(day) : "") + ',';
          }
          got << g, want << w;
        }
    QCOMPARE(got, want);
    // A start outside 1..7 means Monday.
    QList<short> starts;
    for (short bad : {0, 8, -3}) cal.SetStartOfWeek(4), cal.SetStartOfWeek(bad), starts << cal.GetStartOfWeek();
    QCOMPARE(starts, QList<short>(3, 1));
  }

  void newCalendarShowsToday() {
    TCCalendar cal;
    const QDate today = QDate::currentDate();
    QCOMPARE(cal.GetCalendarDate(), today);
    QVERIFY(cal.GetUseCurrentDate());
    QVERIFY(!cal.StoreCalendarDate());
    QSignalSpy changes(&cal, &TCCalendar::OnChange);
    cal.SetDay(today.day() == 1 ? 2 : 1);  // clears the switch, as dateElements() shows
    cal.SeTCCalendarDate(QDate(2001, 7, 4));
    // Switching back to today raises nothing; a set date then keeps the switch.
    cal.SetUseCurrentDate(true);
    QCOMPARE(cal.GetCalendarDate(), today);
    QCOMPARE(changes.count(), 2);
    cal.SeTCCalendarDate(QDate(2001, 7, 4));
    QVERIFY(cal.GetUseCurrentDate());
    cal.SetUseCurrentDate(false);
    QCOMPARE(cal.GetCalendarDate(), QDate(2001, 7, 4));
  }

  void monthAndYearSteps() {
    // From, step, to, changes raised.
    const std::tuple<QDate, void (TCCalendar::*)(), QDate, int> rows[] = {
        {{2025, 1, 31}, &TCCalendar::NextMonth, {2025, 2, 28}, 1},
        {{2025, 1, 15}, &TCCalendar::PrevMonth, {2024, 12, 15}, 1},
        {{2024, 12, 31}, &TCCalendar::NextMonth, {2025, 1, 31}, 1},
        // From 29 February, first to the 28th, then the year: two changes.
        {{2024, 2, 29}, &TCCalendar::NextYear, {2025, 2, 28}, 2},
        {{1, 5, 5}, &TCCalendar::PrevYear, {1, 5, 5}, 0},  // year 0 is no year
    };
    for (const auto& [from, step, to, changes] : rows) {
      Calendar c(from);
      (c.cal.*step)();
      QCOMPARE(c.State(), to.toString(Qt::ISODate) + QString(", %1 changes").arg(changes));
      // A month step leaves "use today's date" alone; the day change of a
      // year step from 29 February clears it.
      const bool month = step == &TCCalendar::NextMonth || step == &TCCalendar::PrevMonth;
      if (month || changes == 2) QCOMPARE(c.cal.GetUseCurrentDate(), month);
    }
  }

  void limitsOfTheDateRange() {
    Calendar c(QDate(9999, 12, 31));
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.NextYear());
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.NextMonth());
    QCOMPARE(c.cal.GetCalendarDate(), QDate(9999, 12, 31));
    c.Set(QDate(1, 1, 20));
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.PrevMonth());
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.SeTCCalendarDate(QDate()));
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.SeTCCalendarDate(QDate(10000, 1, 1)));
    QCOMPARE(c.State(), "0001-01-20, 0 changes");
  }

  void dateElements() {
    Calendar c(QDate(2025, 4, 15));
    // Out of range or unchanged: ignored.
    c.cal.SetMonth(13); c.cal.SetDay(0); c.cal.SetDay(31);  // April has 30
    c.cal.SetYear(-5); c.cal.SetDay(15); c.cal.SetDateElement(4, 3);
    QCOMPARE(c.State(), "2025-04-15, 0 changes");
    QCOMPARE(c.cal.GetDateElement(4), -1);
    // An impossible date raises, and nothing moves.
    c.cal.SeTCCalendarDate(QDate(2025, 1, 31));
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.SetMonth(2));
    QCOMPARE(c.cal.GetCalendarDate(), QDate(2025, 1, 31));
    QVERIFY(c.cal.GetUseCurrentDate());
    c.changes.clear();
    c.cal.SetDay(30); c.cal.SetMonth(6); c.cal.SetYear(1999);
    QCOMPARE(c.State(), "1999-06-30, 3 changes");
    QVERIFY(!c.cal.GetUseCurrentDate());
    QVERIFY(c.cal.StoreCalendarDate());
    QCOMPARE(c.Current(), c.CellOf(30));
    c.Set(QDate(2024, 2, 29));
    QVERIFY_THROWS_EXCEPTION(EConvertError, c.cal.SetYear(2023));
    QCOMPARE(c.State(), "2024-02-29, 0 changes");

    // The leap-year rule can be replaced.
    LeaplessCalendar leapless;
    leapless.SeTCCalendarDate(QDate(2024, 2, 10));
    QCOMPARE(leapless.DaysThisMonth(), 28);
    leapless.SetDay(29);
    QCOMPARE(leapless.GetDay(), 10);
    QCOMPARE(leapless.GetCellText(3, 5), QString());  // Monday first: 29 would stand in the 5th row
  }

  void mouseAndKeyboard() {
    Calendar c(QDate(2024, 9, 10));  // Monday first: 1 at column 6, 10 at (1, 3)
    c.cal.resize(360, 260);
    c.cal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.cal));
    QSignalSpy clicks(&c.cal, &TCCalendar::OnClick);
    const auto clickOn = [&](QPoint cell) {
      QTest::mouseClick(&c.cal, Qt::LeftButton, {}, c.cal.CellRect(cell.x(), cell.y()).center());
    };
    clickOn(c.CellOf(18));
    clickOn(QPoint(0, 1));  // empty, before the 1st
    clickOn(QPoint(3, 0));  // weekday heading
    QCOMPARE(c.State(), "2024-09-18, 1 changes");
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(c.Current(), c.CellOf(18));

    c.cal.setFocus();
    QList<int> days;
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Down}) QTest::keyClick(&c.cal, key), days << c.cal.GetDay();
    QCOMPARE(days, QList<int>({19, 26, 26}));
    c.cal.SetDay(1);
    QTest::keyClick(&c.cal, Qt::Key_Left);  // empty cell
    QTest::keyClick(&c.cal, Qt::Key_Up);    // heading row
    QCOMPARE(c.Current(), QPoint(6, 1));

    c.cal.SetReadOnly(true);
    clickOn(c.CellOf(20));
    QTest::keyClick(&c.cal, Qt::Key_Down);
    QCOMPARE(c.cal.GetDay(), 1);
    c.cal.SetDay(12);
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
    QCOMPARE(QList<int>({c.cal.GetDefaultColWidth(), c.cal.GetDefaultRowHeight()}), QList<int>({42, 27}));
    QCOMPARE(c.cal.CellRect(1, 1).left() - c.cal.CellRect(0, 1).left(), 43);

    const QImage img = c.cal.grab().toImage();
    const QRect current = c.cal.CellRect(c.cal.GetCol(), c.cal.GetRow());
    QCOMPARE(img.pixelColor(current.topLeft() + QPoint(2, 2)), c.cal.palette().color(QPalette::Highlight));
    const QRect heading = c.cal.CellRect(2, 0);
    QCOMPARE(img.pixelColor(heading.center().x(), heading.top() + 2), ToQColor(clBtnFace));
    // A day number sits in the middle of its cell.
    const QRect cell = c.cal.CellRect(c.CellOf(30).x(), c.CellOf(30).y());
    const QColor back = img.pixelColor(cell.topLeft() + QPoint(2, 2));
    QRect ink;
    for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
      for (int x = cell.left() + 2; x < cell.right() - 1; ++x)
        if (img.pixelColor(x, y) != back) ink |= QRect(x, y, 1, 1);
    QVERIFY(qAbs((ink.left() + ink.right() - cell.left() - cell.right()) / 2.0) <= 1.5);
    QVERIFY(qAbs((ink.top() + ink.bottom() - cell.top() - cell.bottom()) / 2.0) <= 4);
    c.cal.SetGridLineWidth(2);
    c.cal.resize(c.cal.size() + QSize(1, 1));
    QCOMPARE(QList<int>({c.cal.GetDefaultColWidth(), c.cal.GetDefaultRowHeight()}), QList<int>({41, 27}));
  }
};

QTEST_MAIN(TestCalendar)
#include "test_calendar.moc"
