#pragma once
// TCCalendar: one month as a 7 x 7 grid, the weekday names on top and the day
// numbers below, the held day as the current cell.
#include <QDate>
#include <QString>
#include <stdexcept>

#include "platform/CustomGrid.h"

namespace Ccalendr {

// A year, month and day that make no date. text() is the message the user sees.
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const QString& text)
      : std::runtime_error(text.toStdString()), text_(text) {}
  const QString& text() const { return text_; }

 private:
  QString text_;
};

// Gregorian dates of the years 1 to 9999; anything else throws EConvertError.
QDate EncodeDate(int Year, int Month, int Day);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(const QDate& date);
// Short weekday names, Sunday first.
extern const char* const ShortDayNames[7];

void Register();

}  // namespace Ccalendr

class TCCalendar : public TCustomGrid {
  Q_OBJECT
  Q_PROPERTY(int Day READ GetDay WRITE SetDay STORED false)
  Q_PROPERTY(int Month READ GetMonth WRITE SetMonth STORED false)
  Q_PROPERTY(bool ReadOnly READ GetReadOnly WRITE SetReadOnly)
  Q_PROPERTY(short StartOfWeek READ GetStartOfWeek WRITE SetStartOfWeek)
  Q_PROPERTY(bool UseCurrentDate READ GetUseCurrentDate WRITE SetUseCurrentDate)
  Q_PROPERTY(int Year READ GetYear WRITE SetYear STORED false)
  // Not for the designer: a form keeps the date only when StoreCalendarDate says so.
  Q_PROPERTY(QDate CalendarDate READ GetCalendarDate WRITE SeTCCalendarDate DESIGNABLE false
                 STORED false)

 public:
  explicit TCCalendar(QWidget* parent = nullptr);

  int GetDay() const { return GetDateElement(3); }
  int GetMonth() const { return GetDateElement(2); }
  int GetYear() const { return GetDateElement(1); }
  void SetDay(int value) { SetDateElement(3, value); }
  void SetMonth(int value) { SetDateElement(2, value); }
  void SetYear(int value) { SetDateElement(1, value); }
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }
  short GetStartOfWeek() const { return FStartOfWeek; }
  void SetStartOfWeek(short value);
  bool GetUseCurrentDate() const { return FUseCurrentDate; }
  void SetUseCurrentDate(bool value);
  QDate GetCalendarDate() const { return FCalendarDate; }
  // Always lays out and raises OnChange, even for the date already held. A
  // date outside the years 1 to 9999 throws EConvertError and changes nothing.
  void SeTCCalendarDate(const QDate& value);
  bool StoreCalendarDate() const { return !FUseCurrentDate; }

  virtual bool IsLeapYear(int AYear) const;
  // 0 for a month outside 1..12.
  virtual int DaysPerMonth(int AYear, int AMonth) const;
  virtual int DaysThisMonth() const;

  QString GetCellText(int ACol, int ARow) const;
  // 1 = year, 2 = month, 3 = day; -1 for any other element.
  int GetDateElement(int Index) const;
  // Ignores values <= 0, months above 12 and days beyond the month. Throws
  // EConvertError, leaving everything as it was, when the result is no date.
  void SetDateElement(int Index, int Value);

 public slots:
  void ChangeMonth(int Delta);
  void PrevMonth() { ChangeMonth(-1); }
  void NextMonth() { ChangeMonth(1); }
  void PrevYear();
  void NextYear();
  virtual void UpdateCalendar();

 signals:
  void OnChange(QObject* Sender);

 protected:
  virtual void Change();
  bool SelectCell(int ACol, int ARow) override;
  void Click() override;
  void DrawCell(QPainter& Canvas, int ACol, int ARow, const QRect& ARect,
                TGridDrawState AState) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QDate FCalendarDate;
  int FDayOffset = 0;
  bool FInLayout = false;
  bool FReadOnly = false;
  short FStartOfWeek = 0;
  bool FUseCurrentDate = true;
};
