#include "components/Ccalendr/Ccalendr.h"

#include <QFontMetrics>
#include <QPainter>
#include <QResizeEvent>

#include "components/Registry.h"

namespace Ccalendr {

const char* const ShortDayNames[7] = {"日", "月", "火", "水", "木", "金", "土"};

QDate EncodeDate(int Year, int Month, int Day) {
  const QDate date(Year, Month, Day);
  if (Year < 1 || Year > 9999 || !date.isValid())
    throw EConvertError(QStringLiteral("%1年%2月%3日という日付はありません")
                            .arg(Year)
                            .arg(Month)
                            .arg(Day));
  return date;
}

int DayOfWeek(const QDate& date) { return date.dayOfWeek() % 7 + 1; }

}  // namespace Ccalendr

using Ccalendr::EncodeDate;

namespace {

const int MonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// The zero of the date arithmetic the calendar is laid out for before it
// takes today's date.
const QDate ZeroDate(1899, 12, 30);

}  // namespace

TCCalendar::TCCalendar(QWidget* parent) : TCustomGrid(parent) {
  FCalendarDate = ZeroDate;
  FUseCurrentDate = true;
  SetFixedCols(0);
  SetFixedRows(1);
  SetColCount(7);
  SetRowCount(7);
  SetStartOfWeek(1);
  FCalendarDate = QDate::currentDate();
  FOptions = (FOptions & ~goRangeSelect) | goDrawFocusSelected;
  UpdateCalendar();
}

bool TCCalendar::IsLeapYear(int AYear) const {
  return AYear % 4 == 0 && (AYear % 100 != 0 || AYear % 400 == 0);
}

int TCCalendar::DaysPerMonth(int AYear, int AMonth) const {
  if (AMonth < 1 || AMonth > 12) return 0;
  int days = MonthDays[AMonth - 1];
  if (AMonth == 2 && IsLeapYear(AYear)) ++days;
  return days;
}

int TCCalendar::DaysThisMonth() const {
  return DaysPerMonth(FCalendarDate.year(), FCalendarDate.month());
}

QString TCCalendar::GetCellText(int ACol, int ARow) const {
  if (ARow == 0)
    return QString::fromUtf8(Ccalendr::ShortDayNames[((FStartOfWeek + ACol) % 7 + 7) % 7]);
  const int day = FDayOffset + ACol + 7 * (ARow - 1);
  if (day < 1 || day > DaysThisMonth()) return QString();
  return QString::number(day);
}

int TCCalendar::GetDateElement(int Index) const {
  switch (Index) {
    case 1: return FCalendarDate.year();
    case 2: return FCalendarDate.month();
    case 3: return FCalendarDate.day();
    default: return -1;
  }
}

void TCCalendar::SetDateElement(int Index, int Value) {
  if (Value <= 0) return;
  int y, m, d;
  FCalendarDate.getDate(&y, &m, &d);
  bool changed = false;
  switch (Index) {
    case 1:
      changed = Value != y;
      if (changed) y = Value;
      break;
    case 2:
      changed = Value <= 12 && Value != m;
      if (changed) m = Value;
      break;
    case 3:
      changed = Value <= DaysThisMonth() && Value != d;
      if (changed) d = Value;
      break;
    default:
      break;
  }
  if (!changed) return;
  FCalendarDate = EncodeDate(y, m, d);  // throws before anything is touched
  FUseCurrentDate = false;
  UpdateCalendar();
  Change();
}

void TCCalendar::SeTCCalendarDate(const QDate& value) {
  if (!value.isValid() || value.year() < 1 || value.year() > 9999)
    throw Ccalendr::EConvertError(QStringLiteral("日付が範囲外です"));
  FCalendarDate = value;
  UpdateCalendar();
  Change();
}

void TCCalendar::ChangeMonth(int Delta) {
  int y, m, d;
  FCalendarDate.getDate(&y, &m, &d);
  const int d0 = d;
  QDate edge = EncodeDate(y, m, Delta > 0 ? DaysPerMonth(y, m) : 1);
  // Past year 1 or 9999 this gives a date EncodeDate refuses below.
  edge = edge.addDays(Delta);
  edge.getDate(&y, &m, &d);
  const int last = DaysPerMonth(y, m);
  d = last > d0 ? d0 : last;
  SeTCCalendarDate(EncodeDate(y, m, d));
}

void TCCalendar::PrevYear() {
  if (IsLeapYear(GetYear()) && GetMonth() == 2 && GetDay() == 29) SetDateElement(3, 28);
  SetDateElement(1, GetYear() - 1);
}

void TCCalendar::NextYear() {
  if (IsLeapYear(GetYear()) && GetMonth() == 2 && GetDay() == 29) SetDateElement(3, 28);
  SetDateElement(1, GetYear() + 1);
}

void TCCalendar::SetStartOfWeek(short value) {
  if (value < 1 || value > 7) value = 1;
  if (value == FStartOfWeek) return;
  FStartOfWeek = value;
  UpdateCalendar();
}

void TCCalendar::SetUseCurrentDate(bool value) {
  if (value == FUseCurrentDate) return;
  FUseCurrentDate = value;
  if (value) {
    FCalendarDate = QDate::currentDate();
    UpdateCalendar();
  }
}

void TCCalendar::UpdateCalendar() {
  struct LayoutScope {
    bool& flag;
    explicit LayoutScope(bool& f) : flag(f) { flag = true; }
    ~LayoutScope() { flag = false; }
  } scope(FInLayout);

  int y, m, d;
  FCalendarDate.getDate(&y, &m, &d);
  const int first = Ccalendr::DayOfWeek(QDate(y, m, 1));
  FDayOffset = 2 - ((first - FStartOfWeek + 7) % 7);
  if (FDayOffset == 2) FDayOffset = -5;  // day 1 always in the first week row
  MoveColRow((d - FDayOffset) % 7, (d - FDayOffset) / 7 + 1, false, false);
  update();
}

void TCCalendar::Change() { emit OnChange(this); }

bool TCCalendar::SelectCell(int ACol, int ARow) {
  if (!FInLayout && FReadOnly) return false;
  if (GetCellText(ACol, ARow).isEmpty()) return false;
  return TCustomGrid::SelectCell(ACol, ARow);
}

void TCCalendar::Click() {
  const QString text = GetCellText(GetCol(), GetRow());
  if (!text.isEmpty()) SetDateElement(3, text.toInt());
  // Laying out moves the current cell too; only other moves count as clicks.
  if (!FInLayout) emit OnClick();
}

void TCCalendar::DrawCell(QPainter& Canvas, int ACol, int ARow, const QRect& ARect,
                          TGridDrawState) {
  const QString text = GetCellText(ACol, ARow);
  const QFontMetrics fm(Canvas.font());
  const int x = ARect.left() + (ARect.width() - fm.horizontalAdvance(text)) / 2;
  const int y = ARect.top() + (ARect.height() - fm.height()) / 2;
  Canvas.save();
  Canvas.setClipRect(ARect, Qt::IntersectClip);
  Canvas.fillRect(ARect, Canvas.brush());
  Canvas.drawText(x, y + fm.ascent(), text);
  Canvas.restore();
}

void TCCalendar::resizeEvent(QResizeEvent*) {
  const QRect client = contentsRect();
  SetDefaultColWidth((client.width() - 6 * GetGridLineWidth()) / 7);
  SetDefaultRowHeight((client.height() - 6 * GetGridLineWidth()) / 7);
}

static void InitCcalendrResources() { Q_INIT_RESOURCE(cgrid); }

namespace Ccalendr {

void Register() {
  InitCcalendrResources();
  RegisterComponents(LoadStr(101),
                     {TComponentClass{QStringLiteral("TCCalendar"),
                                      QStringLiteral("components/Ccalendr/Ccalendr.h"),
                                      QStringLiteral(":/icons/ccalendr_TCCalendar.png"),
                                      QStringLiteral("月のカレンダー"),
                                      [](QWidget* parent) -> QWidget* {
                                        return new TCCalendar(parent);
                                      }}});
}

}  // namespace Ccalendr
