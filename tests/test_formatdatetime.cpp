#include <QtTest>

#include "platform/FormatDateTime.h"

namespace {
const QString kWareki = QString::fromUtf8("ggge'年'mmmmd'日'[aaaa]");
const QString kSeireki1 = QString::fromUtf8("dddddd[aaaa]");
const QString kSeireki2 = QString::fromUtf8("ddddd(aaa)");
}  // namespace

class TestFormatDateTime : public QObject {
  Q_OBJECT
 private slots:
  void threeNotations();
  void eraBoundaries_data();
  void eraBoundaries();
  void tokensAndLiterals();
};

void TestFormatDateTime::threeNotations() {
  const QDate d(2026, 12, 6);
  QCOMPARE(FormatDateTime(kWareki, d), QString::fromUtf8("令和8年12月6日[日曜日]"));
  QCOMPARE(FormatDateTime(kSeireki1, d), QString::fromUtf8("2026年12月6日[日曜日]"));
  QCOMPARE(FormatDateTime(kSeireki2, d), QString::fromUtf8("2026/12/06(日)"));
  const QDate leap(2024, 2, 29);
  QCOMPARE(FormatDateTime(kWareki, leap), QString::fromUtf8("令和6年2月29日[木曜日]"));
  QCOMPARE(FormatDateTime(kSeireki2, QDate(2001, 1, 1)), QString::fromUtf8("2001/01/01(月)"));
}

void TestFormatDateTime::eraBoundaries_data() {
  QTest::addColumn<QDate>("date");
  QTest::addColumn<QString>("expected");
  QTest::newRow("meiji last") << QDate(1912, 7, 29) << QString::fromUtf8("明治45年7月29日[月曜日]");
  QTest::newRow("taisho first") << QDate(1912, 7, 30) << QString::fromUtf8("大正1年7月30日[火曜日]");
  QTest::newRow("taisho last") << QDate(1926, 12, 24) << QString::fromUtf8("大正15年12月24日[金曜日]");
  QTest::newRow("showa first") << QDate(1926, 12, 25) << QString::fromUtf8("昭和1年12月25日[土曜日]");
  QTest::newRow("showa last") << QDate(1989, 1, 7) << QString::fromUtf8("昭和64年1月7日[土曜日]");
  QTest::newRow("heisei first") << QDate(1989, 1, 8) << QString::fromUtf8("平成1年1月8日[日曜日]");
  QTest::newRow("heisei last") << QDate(2019, 4, 30) << QString::fromUtf8("平成31年4月30日[火曜日]");
  QTest::newRow("reiwa first") << QDate(2019, 5, 1) << QString::fromUtf8("令和1年5月1日[水曜日]");
  QTest::newRow("reiwa 2") << QDate(2020, 1, 1) << QString::fromUtf8("令和2年1月1日[水曜日]");
}

void TestFormatDateTime::eraBoundaries() {
  QFETCH(QDate, date);
  QFETCH(QString, expected);
  QCOMPARE(FormatDateTime(kWareki, date), expected);
}

void TestFormatDateTime::tokensAndLiterals() {
  const QDate d(2019, 5, 1);
  QCOMPARE(FormatDateTime("g", d), QString::fromUtf8("令"));
  QCOMPARE(FormatDateTime("GGG", d), QString::fromUtf8("令和"));
  QCOMPARE(FormatDateTime("ee", d), QString("01"));
  QCOMPARE(FormatDateTime("yyyy/mm/dd", d), QString("2019/05/01"));
  QCOMPARE(FormatDateTime("m-d", d), QString("5-1"));
  QCOMPARE(FormatDateTime("'ggg' \"d\" x", d), QString("ggg d x"));
  QCOMPARE(FormatDateTime("[aaa](aaaa)", d), QString::fromUtf8("[水](水曜日)"));
  QCOMPARE(FormatDateTime("'unterminated", d), QString("unterminated"));
}

QTEST_MAIN(TestFormatDateTime)
#include "test_formatdatetime.moc"
