// Guards the chunked prefix sums: after any inserts, erases and changes they agree with a plain recount.
#include <QRandomGenerator>
#include <QtTest>

#include <numeric>

#include "platform/ChunkedSums.h"

class TestChunkedSums : public QObject {
  Q_OBJECT
 private slots:
  void randomEditsAgreeWithRecount_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("start");  // values at the start; chunks split and empty out around 2048
    QTest::newRow("empty") << 1u << 0;
    QTest::newRow("one chunk") << 2u << 300;
    QTest::newRow("many chunks") << 3u << 9000;
  }

  void randomEditsAgreeWithRecount() {
    QFETCH(quint32, seed);
    QFETCH(int, start);
    QRandomGenerator rng(seed);
    std::vector<qint32> plain(static_cast<size_t>(start), 0);
    for (qint32& v : plain) v = qint32(rng.bounded(5));
    ChunkedSums<qint32> sums;
    sums.Assign(plain);
    QStringList wrong;
    for (int step = 0; step < 400; ++step) {
      const size_t at = rng.bounded(quint32(plain.size() + 1));
      const size_t removed = std::min(plain.size() - at, size_t(rng.bounded(step % 50 == 0 ? 5000 : 4)));
      const size_t added = rng.bounded(step % 70 == 0 ? 5000 : 4);
      const qint32 fill = qint32(rng.bounded(3));
      plain.erase(plain.begin() + at, plain.begin() + at + removed);
      plain.insert(plain.begin() + at, added, fill);
      sums.Replace(at, removed, added, fill);
      if (!plain.empty() && rng.bounded(2)) {
        const size_t i = rng.bounded(quint32(plain.size()));
        plain[i] = qint32(rng.bounded(7));
        sums.Set(i, plain[i]);
      }
      const size_t n = rng.bounded(quint32(plain.size() + 1));
      const qint64 prefix = std::accumulate(plain.begin(), plain.begin() + n, qint64(0));
      size_t found = 0;  // the largest count whose sum stays within the prefix
      for (qint64 s = 0; found < plain.size() && s + plain[found] <= prefix; ++found) s += plain[found];
      if (sums.size() != plain.size() || sums.Prefix(n) != prefix || sums.Search(prefix) != found)
        wrong << QString::number(step);
    }
    QCOMPARE(wrong.join(','), QString());
    QCOMPARE(sums.Total(), std::accumulate(plain.begin(), plain.end(), qint64(0)));
  }
};

QTEST_MAIN(TestChunkedSums)
#include "test_chunked_sums.moc"
