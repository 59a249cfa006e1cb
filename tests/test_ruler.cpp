// Guards the ruler: marker placement from the indents and indents from marker drags.
#include <QtTest>

#include <QLabel>

#include "DocumentHost.h"
#include "document/RulerMarker.h"
#include "document/TSoraChild.h"
#include "platform/RichEdit.h"
#include "tests/ChildParts.h"

namespace {

struct Host : DocumentHost {
  // A document with the ruler shown and the scale 540 pixels wide, the width
  // a ruler has in a window of the form's design size.
  TSoraChild* NewChild(const QString& text = QStringLiteral("first paragraph\r\nsecond")) {
    auto* c = new TSoraChild(area, &marks);
    c->Text()->SetSelText(text);
    c->Text()->SetSelStart(0);
    c->ViewRulerExecute();
    QCoreApplication::processEvents();
    Part<QFrame>(c, "Ruler")->resize(540, Part<QFrame>(c, "Ruler")->height());
    c->Text()->SetModified(false);
    return c;
  }
};

using Indents = QList<int>;  // first line, left, right

Indents Read(TSoraChild* c) {
  TParaAttributes& p = c->Text()->Paragraph();
  return {p.GetFirstIndent(), p.GetLeftIndent(), p.GetRightIndent()};
}

void SetIndents(TSoraChild* c, const Indents& in) {
  TParaAttributes& p = c->Text()->Paragraph();
  p.SetFirstIndent(in[0]); p.SetLeftIndent(in[1]); p.SetRightIndent(in[2]);
  c->RichEdit1SelectionChange();
  c->Text()->SetModified(false);
}

QList<int> Xs(TSoraChild* c) { return {Part<TRulerMarker>(c, "FirstInd")->x(), Part<TRulerMarker>(c, "LeftInd")->x(), Part<TRulerMarker>(c, "RightInd")->x()}; }

// Presses a marker at its centre, moves the pointer by the given steps and
// releases it, as a user's drag does. The marker follows the pointer, so the
// pointer is back at the marker's centre after each step.
void Drag(TRulerMarker* m, const QList<int>& steps) {
  const QPoint centre(6, 6);
  QTest::mousePress(m, Qt::LeftButton, {}, centre);
  for (int dx : steps) QTest::mouseMove(m, centre + QPoint(dx, 0));
  QTest::mouseRelease(m, Qt::LeftButton, {}, centre);
}

// Pixel counts of the marker's colour in each row that holds it, top to bottom.
QList<int> ColouredRows(TRulerMarker* m) {
  const QImage img = m->grab().toImage();
  QList<int> widths;
  for (int y = 0; y < img.height(); ++y) {
    int n = 0;
    for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y) == ToQColor(m->Color());
    if (n) widths << n;
  }
  return widths;
}

}  // namespace

class TestRuler : public QObject {
  Q_OBJECT
 private slots:
  void scaleMarkersAndToggle() {
    Host h;
    auto* c = new TSoraChild(h.area, &h.marks);
    QVERIFY(Part<QFrame>(c, "RulerPanel")->isHidden());
    c->ViewRulerExecute();
    QVERIFY(!Part<QFrame>(c, "RulerPanel")->isHidden());
    QCOMPARE(h.marks.ruler, 1);
    const QString scale = qobject_cast<QLabel*>(Part<QFrame>(c, "Ruler"))->text();
    QCOMPARE(scale.left(8) + ' ' + scale.right(7), QStringLiteral("・・・1・・・2 29・・・30"));
    // Navy scale with yellow figures; red marker pointing down, blue and
    // fuchsia pointing up (rows narrow toward the point).
    const QImage img = Part<QFrame>(c, "Ruler")->grab().toImage();
    QCOMPARE(img.pixelColor(img.width() / 2, 3), ToQColor(clNavy));
    bool yellow = false;
    for (int x = 0; x < 200 && !yellow; ++x)
      for (int y = 0; y < img.height() && !yellow; ++y) yellow = img.pixelColor(x, y) == ToQColor(clYellow);
    QVERIFY(yellow);
    QStringList shapes;
    for (const char* name : {"FirstInd", "LeftInd", "RightInd"}) {
      const QList<int> rows = ColouredRows(Part<TRulerMarker>(c, name));
      shapes << ToQColor(Part<TRulerMarker>(c, name)->Color()).name() +
                    (rows.size() < 3 ? " flat" : rows.first() > rows.last() ? " down" : " up");
    }
    QCOMPARE(shapes.join(u' '), QStringLiteral("#ff0000 down #0000ff up #ff00ff up"));
    Part<QAction>(c, "ViewRuler")->trigger();
    QVERIFY(Part<QFrame>(c, "RulerPanel")->isHidden());
    QCOMPARE(h.marks.ruler, 0);
  }

  // Points to pixels, truncated toward zero: 2 + first, 2 + first + left, 534 - (right + 6).
  void placement_data() {
    QTest::addColumn<Indents>("indents");
    QTest::addColumn<QList<int>>("xs");
    QTest::newRow("first line") << Indents{18, 0, 0} << QList<int>{26, 26, 526};
    QTest::newRow("13 points: 17.33 pixels") << Indents{3, 10, 7} << QList<int>{4 + 2, 17 + 2, 534 - 17};
    QTest::newRow("-3 points: -4 pixels") << Indents{-6, 0, -9} << QList<int>{-8 + 2, -8 + 2, 534 + 4};
  }
  void placement() {
    QFETCH(Indents, indents);
    Host h;
    TSoraChild* c = h.NewChild();
    SetIndents(c, indents);
    QTEST(Xs(c), "xs");
    // Placement runs whether or not the ruler is shown.
    c->ViewRulerExecute();
    SetIndents(c, {30, 0, 0});
    QCOMPARE(Part<TRulerMarker>(c, "FirstInd")->x(), 40 + 2);
  }

  void pressAndReleaseWithoutMovingChangesNothing() {
    Host h;
    TSoraChild* c = h.NewChild();
    SetIndents(c, {10, 0, 0});
    const QList<int> before = Xs(c);
    QTest::mouseClick(Part<TRulerMarker>(c, "FirstInd"), Qt::LeftButton, {}, QPoint(6, 6));
    QCOMPARE(Read(c), (Indents{10, 0, 0}));
    QCOMPARE(Xs(c), before);
    QVERIFY(!c->Text()->GetModified());
    // Off centre the press pulls the marker under the pointer; the release
    // without movement puts it back.
    SetIndents(c, {0, 0, 0});
    QTest::mousePress(Part<TRulerMarker>(c, "RightInd"), Qt::LeftButton, {}, QPoint(1, 6));
    QCOMPARE(Part<TRulerMarker>(c, "RightInd")->x(), 526 - 5);
    QTest::mouseRelease(Part<TRulerMarker>(c, "RightInd"), Qt::LeftButton, {}, QPoint(6, 6));
    QCOMPARE(Part<TRulerMarker>(c, "RightInd")->x(), 526);
    QCOMPARE(Read(c), (Indents{0, 0, 0}));
    QVERIFY(!c->Text()->GetModified());
  }

  void drags_data() {
    QTest::addColumn<int>("marker");  // 0 first line, 1 left, 2 right
    QTest::addColumn<Indents>("before");
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<Indents>("after");
    QTest::addColumn<QList<int>>("xs");  // snapped to the indents now in force
    QTest::newRow("following lines keep their place") << 0 << Indents{0, 0, 0} << QList<int>{10, 14} << Indents{19, -18, 0} << QList<int>{27, 3, 526};
    QTest::newRow("4 pixels make 2 points, not 3") << 0 << Indents{0, 0, 0} << QList<int>{2} << Indents{2, -1, 0} << QList<int>{4, 3, 526};
    QTest::newRow("trunc(-10 / 1.3333334) is -7") << 0 << Indents{0, 0, 0} << QList<int>{-12} << Indents{-7, 8, 0} << QList<int>{-7, 3, 526};
    QTest::newRow("dropped on the first-line marker rises a point") << 1 << Indents{18, 12, 0} << QList<int>{-16} << Indents{18, 1, 0} << QList<int>{26, 27, 526};
    QTest::newRow("moved back still a drag") << 1 << Indents{0, 0, 0} << QList<int>{5, -5} << Indents{0, 1, 0} << QList<int>{2, 3, 526};
    QTest::newRow("left, far") << 1 << Indents{0, 0, 0} << QList<int>{-100} << Indents{0, -73, 0} << QList<int>{2, -95, 526};
    QTest::newRow("right: 28.49 less 12") << 2 << Indents{0, 0, 0} << QList<int>{-20} << Indents{0, 0, 16} << QList<int>{2, 2, 534 - 29};
    QTest::newRow("right: -8.99 truncated, less 12") << 2 << Indents{0, 0, 0} << QList<int>{30} << Indents{0, 0, -20} << QList<int>{2, 2, 534 + 18};
  }
  void drags() {
    QFETCH(int, marker);
    QFETCH(Indents, before);
    QFETCH(QList<int>, steps);
    Host h;
    TSoraChild* c = h.NewChild();
    SetIndents(c, before);
    Drag(Part<TRulerMarker>(c, QList<const char*>{"FirstInd", "LeftInd", "RightInd"}[marker]), steps);
    QTEST(Read(c), "after");
    QTEST(Xs(c), "xs");
    QVERIFY(c->Text()->GetModified());
  }

  void dragAppliesToEveryTouchedParagraph() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("one\r\ntwo\r\nthree"));
    c->Text()->SelectAll();
    SetIndents(c, {0, 0, 0});
    c->Text()->SetSelStart(2); c->Text()->SetSelLength(6);  // "e", the break, "two", the break
    Drag(Part<TRulerMarker>(c, "FirstInd"), {24});
    Indents seen = Read(c);
    for (int pos : {6, 12}) c->Text()->SetSelStart(pos), seen += Read(c);
    QCOMPARE(seen, (Indents{19, -18, 0, 19, -18, 0, 0, 0, 0}));
    QCOMPARE(Part<TRulerMarker>(c, "FirstInd")->x(), 2);
  }

  void resizeWidensScaleButLeavesMarkers() {
    Host h;
    TSoraChild* c = h.NewChild();
    SetIndents(c, {0, 0, 0});
    int placed = Part<TRulerMarker>(c, "RightInd")->x();
    for (int width : {700, 400}) {
      c->resize(width, 300);
      QTRY_COMPARE(Part<QFrame>(c, "Ruler")->width(), Part<QFrame>(c, "RulerPanel")->width() - 2);
      QCOMPARE(Part<QFrame>(c, "RulerLine")->width(), Part<QFrame>(c, "Ruler")->width() - 2);
      QVERIFY(qAbs(Part<QFrame>(c, "Ruler")->width() - width) < 100);
      // The markers stay until the next selection change.
      QCOMPARE(Part<TRulerMarker>(c, "RightInd")->x(), placed);
      c->Text()->SetSelStart(width == 700 ? 3 : 4);
      QCOMPARE(Part<TRulerMarker>(c, "RightInd")->x(), Part<QFrame>(c, "Ruler")->width() - 6 - 8);
      placed = Part<TRulerMarker>(c, "RightInd")->x();
    }
  }
};

QTEST_MAIN(TestRuler)
#include "test_ruler.moc"
