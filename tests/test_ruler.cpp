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

struct Indents {
  int first, left, right;
  bool operator==(const Indents&) const = default;
};

Indents Read(TSoraChild* c) {
  TParaAttributes& p = c->Text()->Paragraph();
  return {p.GetFirstIndent(), p.GetLeftIndent(), p.GetRightIndent()};
}

void SetIndents(TSoraChild* c, Indents in) {
  TParaAttributes& p = c->Text()->Paragraph();
  p.SetFirstIndent(in.first); p.SetLeftIndent(in.left); p.SetRightIndent(in.right);
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
    QCOMPARE(scale.left(8), QStringLiteral("・・・1・・・2"));
    QCOMPARE(scale.right(7), QStringLiteral("29・・・30"));
    // Navy scale with yellow figures; red marker pointing down, blue and
    // fuchsia pointing up (rows narrow toward the point).
    const QImage img = Part<QFrame>(c, "Ruler")->grab().toImage();
    QCOMPARE(img.pixelColor(img.width() / 2, 3), ToQColor(clNavy));
    bool yellow = false;
    for (int x = 0; x < 200 && !yellow; ++x)
      for (int y = 0; y < img.height() && !yellow; ++y) yellow = img.pixelColor(x, y) == ToQColor(clYellow);
    QVERIFY(yellow);
    const std::pair<TRulerMarker*, TColor> markers[] = {{Part<TRulerMarker>(c, "FirstInd"), clRed}, {Part<TRulerMarker>(c, "LeftInd"), clBlue}, {Part<TRulerMarker>(c, "RightInd"), clFuchsia}};
    for (const auto& [m, colour] : markers) {
      QCOMPARE(m->Color(), colour);
      const QList<int> rows = ColouredRows(m);
      QVERIFY(rows.size() >= 3);
      QCOMPARE(rows.first() > rows.last(), m == Part<TRulerMarker>(c, "FirstInd"));
    }
    Part<QAction>(c, "ViewRuler")->trigger();
    QVERIFY(Part<QFrame>(c, "RulerPanel")->isHidden());
    QCOMPARE(h.marks.ruler, 0);
  }

  void placementTruncatesTowardZero() {
    Host h;
    TSoraChild* c = h.NewChild();
    // Points to pixels: 2 + first, 2 + first + left, 534 - (right + 6).
    const std::pair<Indents, QList<int>> table[] = {
        {{18, 0, 0}, {26, 26, 526}},
        {{3, 10, 7}, {4 + 2, 17 + 2, 534 - 17}},  // 13 points: 17.33 pixels
        {{-6, 0, -9}, {-8 + 2, -8 + 2, 534 + 4}},  // -3 points: -4 pixels
    };
    for (const auto& [in, xs] : table) {
      SetIndents(c, in);
      QCOMPARE(Xs(c), xs);
    }
    // Placement runs whether or not the ruler is shown.
    c->ViewRulerExecute();
    SetIndents(c, {30, 0, 0});
    QCOMPARE(Part<TRulerMarker>(c, "FirstInd")->x(), 40 + 2);
  }

  void pressAndReleaseWithoutMovingChangesNothing() {
    Host h;
    TSoraChild* c = h.NewChild();
    for (int first : {0, 3, 10}) {
      SetIndents(c, {first, 0, 0});
      const QList<int> before = Xs(c);
      QTest::mouseClick(Part<TRulerMarker>(c, "FirstInd"), Qt::LeftButton, {}, QPoint(6, 6));
      QCOMPARE(Read(c), (Indents{first, 0, 0}));
      QCOMPARE(Xs(c), before);
      QVERIFY(!c->Text()->GetModified());
    }
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

  void drags() {
    const std::tuple<int, Indents, QList<int>, Indents, QList<int>> rows[] = {
        // Marker (0 first line, 1 left, 2 right), indents, steps, indents, marker places.
        // The following lines keep their place on the ruler against the new first line.
        {0, {0, 0, 0}, {10, 14}, {19, -18, 0}, {27, 3, 526}},
        // 4 pixels make 2 points, not 3: the scale lies just above 4/3.
        {0, {0, 0, 0}, {2}, {2, -1, 0}, {4, 3, 526}},
        // To left -10: trunc(-10 / 1.3333334) is -7, not -8.
        {0, {0, 0, 0}, {-12}, {-7, 8, 0}, {-7, 3, 526}},
        // Dropped on the first-line marker: the release rule's one-point rise.
        {1, {18, 12, 0}, {-16}, {18, 1, 0}, {26, 27, 526}},
        // A move back to where the press left it still counts as a drag.
        {1, {0, 0, 0}, {5, -5}, {0, 1, 0}, {2, 3, 526}},
        {1, {0, 0, 0}, {-100}, {0, -73, 0}, {2, -95, 526}},
        // (540 - 506 + 6 - 2) / scale = 28.49..., less 12.
        {2, {0, 0, 0}, {-20}, {0, 0, 16}, {2, 2, 534 - 29}},
        // (540 - 556 + 6 - 2) / scale = -8.99..., truncated to -8, less 12.
        {2, {0, 0, 0}, {30}, {0, 0, -20}, {2, 2, 534 + 18}},
    };
    for (const auto& [marker, before, steps, after, xs] : rows) {
      Host h;
      TSoraChild* c = h.NewChild();
      SetIndents(c, before);
      Drag(QList<TRulerMarker*>{Part<TRulerMarker>(c, "FirstInd"), Part<TRulerMarker>(c, "LeftInd"), Part<TRulerMarker>(c, "RightInd")}[marker], steps);
      QCOMPARE(Read(c), after);
      QCOMPARE(Xs(c), xs);  // snapped to the indents now in force
      QVERIFY(c->Text()->GetModified());
    }
  }

  void dragAppliesToEveryTouchedParagraph() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("one\r\ntwo\r\nthree"));
    c->Text()->SelectAll();
    SetIndents(c, {0, 0, 0});
    c->Text()->SetSelStart(2); c->Text()->SetSelLength(6);  // "e", the break, "two", the break
    Drag(Part<TRulerMarker>(c, "FirstInd"), {24});
    QCOMPARE(Read(c), (Indents{19, -18, 0}));
    c->Text()->SetSelStart(6);
    QCOMPARE(Read(c), (Indents{19, -18, 0}));
    c->Text()->SetSelStart(12);
    QCOMPARE(Read(c), (Indents{0, 0, 0}));
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
