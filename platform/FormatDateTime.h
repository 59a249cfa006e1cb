#pragma once
// Date formatting with the Japanese locale and era calendar. Tokens: runs of
// g (era name; one g gives its first character), e (year in the era), y
// (yy, yyyy), m (m, mm, mmm short month name, mmmm long month name), d (d, dd,
// ddd, dddd day names, ddddd short date, dddddd long date), aaa and aaaa (short
// and long day names). Text in single or double quotes is copied without them;
// every other character as it stands. Letters are matched without regard to case.
#include <QDate>
#include <QString>

QString FormatDateTime(const QString& format, const QDate& date);
