#include "platform/FormatDateTime.h"

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <memory>

namespace {

QString FromIcu(const icu::UnicodeString& s) {
  return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

// Noon UTC of the day, formatted in UTC: the time of day and the machine's
// zone never move the date.
UDate ToUDate(const QDate& date) {
  return UDate(QDateTime(date, QTime(12, 0), Qt::UTC).toMSecsSinceEpoch());
}

class Formatter {
 public:
  explicit Formatter(const QDate& date) : date_(date), when_(ToUDate(date)) {}

  QString Pattern(const char* pattern, const char* locale = "ja_JP") const {
    UErrorCode err = U_ZERO_ERROR;
    icu::SimpleDateFormat f(icu::UnicodeString(pattern, -1, US_INV), icu::Locale(locale), err);
    if (U_FAILURE(err)) return QString();
    f.adoptTimeZone(icu::TimeZone::createTimeZone("UTC"));
    icu::UnicodeString out;
    f.format(when_, out);
    return FromIcu(out);
  }

  QString Style(icu::DateFormat::EStyle style) const {
    std::unique_ptr<icu::DateFormat> f(icu::DateFormat::createDateInstance(style, icu::Locale("ja_JP")));
    if (!f) return QString();
    f->adoptTimeZone(icu::TimeZone::createTimeZone("UTC"));
    icu::UnicodeString out;
    f->format(when_, out);
    return FromIcu(out);
  }

  int EraYear() const {
    UErrorCode err = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> cal(
        icu::Calendar::createInstance(icu::TimeZone::createTimeZone("UTC"),
                                      icu::Locale("ja_JP@calendar=japanese"), err));
    if (U_FAILURE(err)) return date_.year();
    cal->setTime(when_, err);
    const int year = cal->get(UCAL_YEAR, err);
    return U_FAILURE(err) ? date_.year() : year;
  }

  QString EraName() const { return Pattern("GGGG", "ja_JP@calendar=japanese"); }

  const QDate& date() const { return date_; }

 private:
  QDate date_;
  UDate when_;
};

QString Token(const Formatter& f, QChar letter, int count) {
  const QDate& d = f.date();
  switch (letter.toLower().unicode()) {
    case 'g': {
      const QString era = f.EraName();
      return count == 1 ? era.left(1) : era;
    }
    case 'e': {
      const int y = f.EraYear();
      return count >= 2 ? QString::number(y).rightJustified(2, '0') : QString::number(y);
    }
    case 'y':
      return count <= 2 ? QString::number(d.year() % 100).rightJustified(2, '0')
                        : QString::number(d.year()).rightJustified(4, '0');
    case 'm':
      if (count == 1) return QString::number(d.month());
      if (count == 2) return QString::number(d.month()).rightJustified(2, '0');
      if (count == 3) return f.Pattern("MMM");
      return f.Pattern("MMMM");
    case 'd':
      switch (count) {
        case 1: return QString::number(d.day());
        case 2: return QString::number(d.day()).rightJustified(2, '0');
        case 3: return f.Pattern("EEE");
        case 4: return f.Pattern("EEEE");
        case 5: return f.Style(icu::DateFormat::kShort);
        default: return f.Style(icu::DateFormat::kLong);
      }
    case 'a':
      return count >= 4 ? f.Pattern("EEEE") : f.Pattern("EEE");
    default:
      return QString(count, letter);
  }
}

}  // namespace

QString FormatDateTime(const QString& format, const QDate& date) {
  const Formatter f(date);
  QString out;
  const qsizetype n = format.size();
  for (qsizetype i = 0; i < n;) {
    const QChar c = format[i];
    if (c == '\'' || c == '"') {
      const qsizetype close = format.indexOf(c, i + 1);
      const qsizetype end = close < 0 ? n : close;
      out += format.mid(i + 1, end - i - 1);
      i = close < 0 ? n : close + 1;
      continue;
    }
    const char16_t lower = c.toLower().unicode();
    if (lower == 'g' || lower == 'e' || lower == 'y' || lower == 'm' || lower == 'd' || lower == 'a') {
      qsizetype j = i;
      while (j < n && format[j].toLower() == c.toLower()) ++j;
      const int count = int(j - i);
      if (lower == 'a' && count < 3) {
        out += format.mid(i, count);  // "a" and "aa" are no tokens
      } else {
        out += Token(f, c, count);
      }
      i = j;
      continue;
    }
    out += c;
    ++i;
  }
  return out;
}
