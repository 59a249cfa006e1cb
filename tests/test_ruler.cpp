#include <QtTest>

#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <cstring>

#include "DocumentHost.h"
#include "document/FrameLink.h"
#include "document/RulerMarker.h"
#include "document/TSoraChild.h"
#include "platform/RichEdit.h"

namespace {

struct Host : DocumentHost {
  // A document with the ruler shown and the scale 540 pixels wide, the width
  // a ruler has in a window of the form's design size.
  TSoraChild* NewChild(const QString& text = QStringLiteral("first paragraph\r\nsecond")) {
    auto* c = new TSoraChild(area, &marks);
    c->RichEdit1->SetSelText(text);
    c->RichEdit1->SetSelStart(0);
    c->ViewRulerExecute();
    QCoreApplication::processEvents();
    c->Ruler->resize(540, c->Ruler->height());
    c->RichEdit1->SetModified(false);
    return c;
  }
};

struct Indents {
  int first, left, right;
  bool operator==(const Indents&) const = default;
};

Indents Read(TSoraChild* c) {
  TParaAttributes& p = c->RichEdit1->Paragraph();
  return {p.GetFirstIndent(), p.GetLeftIndent(), p.GetRightIndent()};
}

void SetIndents(TSoraChild* c, int first, int left, int right) {
  TParaAttributes& p = c->RichEdit1->Paragraph();
  p.SetFirstIndent(first);
  p.SetLeftIndent(left);
  p.SetRightIndent(right);
  c->RichEdit1SelectionChange();
  c->RichEdit1->SetModified(false);
}

// Presses a marker at its centre, moves the pointer by the given steps and
// releases it, as a user's drag does. The marker follows the pointer, so the
// pointer is back at the marker's centre after each step.
void Drag(TRulerMarker* m, std::initializer_list<int> steps) {
  const QPoint centre(6, 6);
  QTest::mousePress(m, Qt::LeftButton, {}, centre);
  for (int dx : steps) QTest::mouseMove(m, centre + QPoint(dx, 0));
  QTest::mouseRelease(m, Qt::LeftButton, {}, centre);
}

// Rows (top to bottom) of the marker's picture that hold its colour, and
// how many pixels of the colour each has.
QList<int> ColouredRows(TRulerMarker* m) {
  const QImage img = m->grab().toImage();
  const QColor want = ToQColor(m->Color());
  QList<int> widths;
  for (int y = 0; y < img.height(); ++y) {
    int n = 0;
    for (int x = 0; x < img.width(); ++x)
      if (img.pixelColor(x, y) == want) ++n;
    if (n) widths << n;
  }
  return widths;
}

}  // namespace

class TestRuler : public QObject {
  Q_OBJECT
 private slots:
  void scaleConstantAndText();
  void markersLookAndStartingPlaces();
  void placementFromIndents();
  void pressAndReleaseWithoutMovingChangesNothing();
  void firstLineDragKeepsFollowingLinesInPlace();
  void leftMarkerDraggedOntoFirstGivesOnePointRise();
  void rightMarkerDrag();
  void negativeDragsTruncateTowardZero();
  void dragAppliesToEveryTouchedParagraph();
  void resizeWidensScaleButLeavesMarkers();
  void viewRulerTogglesAndMarks();
};

void TestRuler::scaleConstantAndText() {
  const float scale = TSoraChild::RulerScale;
  quint32 bits = 0;
  std::memcpy(&bits, &scale, sizeof bits);
  QCOMPARE(bits, 0x3FAAAAABu);
  Host h;
  TSoraChild* c = h.NewChild();
  const QString expected = QString::fromUtf8(
      "・・・1・・・2・・・3・・・4・・・5・・・6・・・7・・・8・・・9・・・10・・・11・・・12・・・13・・・14・・・"
      "15・・・16・・・17・・・18・・・19・・・20・・・21・・・22・・・23・・・24・・・25・・・26・・・27・・・"
      "28・・・29・・・30");
  auto* ruler = qobject_cast<QLabel*>(c->Ruler);
  QVERIFY(ruler);
  QCOMPARE(ruler->text(), expected);
  // The picture: navy scale, yellow figures on it.
  const QImage img = c->Ruler->grab().toImage();
  QCOMPARE(img.pixelColor(img.width() / 2, 3), ToQColor(clNavy));
  bool yellow = false;
  for (int x = 0; x < 200 && !yellow; ++x)
    for (int y = 0; y < img.height() && !yellow; ++y) yellow = img.pixelColor(x, y) == ToQColor(clYellow);
  QVERIFY(yellow);
}

void TestRuler::markersLookAndStartingPlaces() {
  Host h;
  auto* c = new TSoraChild(h.area, &h.marks);
  // Design places until the first selection change.
  QCOMPARE(c->FirstInd->geometry(), QRect(2, 1, 12, 12));
  QCOMPARE(c->LeftInd->geometry(), QRect(2, 23, 12, 12));
  QCOMPARE(c->RightInd->geometry(), QRect(498, 23, 12, 12));
  QVERIFY(!c->Dragging);
  // Red pointing down; blue and fuchsia pointing up (rows narrow toward the point).
  QCOMPARE(c->FirstInd->Color(), clRed);
  QCOMPARE(c->LeftInd->Color(), clBlue);
  QCOMPARE(c->RightInd->Color(), clFuchsia);
  const QList<int> down = ColouredRows(c->FirstInd);
  QVERIFY2(down.size() >= 3 && down.first() > down.last(), qPrintable(QString::number(down.size())));
  for (TRulerMarker* m : {c->LeftInd, c->RightInd}) {
    const QList<int> up = ColouredRows(m);
    QVERIFY(up.size() >= 3 && up.first() < up.last());
  }
}

void TestRuler::placementFromIndents() {
  Host h;
  TSoraChild* c = h.NewChild();
  SetIndents(c, 18, 0, 0);
  QCOMPARE(c->FirstInd->x(), 26);
  QCOMPARE(c->LeftInd->x(), 26);
  QCOMPARE(c->RightInd->x(), 526);
  // Multiples of 3 points convert to exactly 4/3 pixels; others truncate.
  SetIndents(c, 3, 10, 7);
  QCOMPARE(c->FirstInd->x(), 4 + 2);
  QCOMPARE(c->LeftInd->x(), 17 + 2);                   // 13 points: 17.33
  QCOMPARE(c->RightInd->x(), 534 - 17);                // 13 points again
  SetIndents(c, -6, 0, -9);
  QCOMPARE(c->FirstInd->x(), -8 + 2);
  QCOMPARE(c->RightInd->x(), 534 - (-4));              // -3 points: -4 pixels
  // Placement runs whether or not the ruler is shown.
  c->ViewRulerExecute();
  QVERIFY(c->RulerPanel->isHidden());
  SetIndents(c, 30, 0, 0);
  QCOMPARE(c->FirstInd->x(), 40 + 2);
}

void TestRuler::pressAndReleaseWithoutMovingChangesNothing() {
  Host h;
  TSoraChild* c = h.NewChild();
  for (int first : {0, 3, 10}) {
    SetIndents(c, first, 0, 0);
    const QPoint before = c->FirstInd->pos();
    QTest::mouseClick(c->FirstInd, Qt::LeftButton, {}, QPoint(6, 6));
    QCOMPARE(Read(c), (Indents{first, 0, 0}));
    QCOMPARE(c->FirstInd->pos(), before);
    QVERIFY(!c->Dragging);
    QVERIFY(!c->RichEdit1->GetModified());
  }
  // Off centre the press pulls the marker under the pointer; the release
  // without movement puts it back.
  SetIndents(c, 0, 0, 0);
  QTest::mousePress(c->RightInd, Qt::LeftButton, {}, QPoint(1, 6));
  QCOMPARE(c->RightInd->x(), 526 - 5);
  QVERIFY(c->Dragging);
  QCOMPARE(c->DragOffset, 6);
  QTest::mouseRelease(c->RightInd, Qt::LeftButton, {}, QPoint(6, 6));
  QCOMPARE(c->RightInd->x(), 526);
  QCOMPARE(Read(c), (Indents{0, 0, 0}));
  QVERIFY(!c->RichEdit1->GetModified());
  // A move back to where the press left it still counts as a drag, with the
  // release rule's one-point rise.
  Drag(c->LeftInd, {5, -5});
  QCOMPARE(Read(c), (Indents{0, 1, 0}));
  QVERIFY(c->RichEdit1->GetModified());
}

void TestRuler::firstLineDragKeepsFollowingLinesInPlace() {
  Host h;
  TSoraChild* c = h.NewChild();
  SetIndents(c, 0, 0, 0);
  QCOMPARE(c->FirstInd->x(), 2);
  Drag(c->FirstInd, {10, 14});
  QCOMPARE(Read(c), (Indents{19, -18, 0}));
  // Markers snap to the indents now in force.
  QCOMPARE(c->FirstInd->x(), 25 + 2);
  QCOMPARE(c->LeftInd->x(), 1 + 2);
  QVERIFY(!c->Dragging);
  QVERIFY(c->RichEdit1->GetModified());
  // The reflection ran again: the text has the focus back.
  QVERIFY(c->RichEdit1->hasFocus() || !QGuiApplication::focusWindow());
}

void TestRuler::leftMarkerDraggedOntoFirstGivesOnePointRise() {
  Host h;
  TSoraChild* c = h.NewChild();
  SetIndents(c, 18, 12, 0);
  QCOMPARE(c->FirstInd->x(), 26);
  QCOMPARE(c->LeftInd->x(), 42);
  Drag(c->LeftInd, {-16});
  QCOMPARE(Read(c), (Indents{18, 1, 0}));
  QCOMPARE(c->LeftInd->x(), 26 + 1);
  // 4 pixels make 2 points, not 3: the scale lies just above 4/3.
  SetIndents(c, 0, 0, 0);
  Drag(c->FirstInd, {2});
  QCOMPARE(c->RichEdit1->Paragraph().GetFirstIndent(), 2);
  QCOMPARE(c->RichEdit1->Paragraph().GetLeftIndent(), 1 - 2);
}

void TestRuler::rightMarkerDrag() {
  Host h;
  TSoraChild* c = h.NewChild();
  SetIndents(c, 0, 0, 0);
  QCOMPARE(c->RightInd->x(), 526);
  Drag(c->RightInd, {-20});
  // (540 - 506 + 6 - 2) / scale = 28.49..., less 12.
  QCOMPARE(Read(c), (Indents{0, 0, 16}));
  QCOMPARE(c->RightInd->x(), 534 - 29);
  // Dragged right past the end of the scale: a negative indent.
  SetIndents(c, 0, 0, 0);
  Drag(c->RightInd, {30});
  // (540 - 556 + 6 - 2) / scale = -8.99..., truncated to -8, less 12.
  QCOMPARE(c->RichEdit1->Paragraph().GetRightIndent(), -20);
}

void TestRuler::negativeDragsTruncateTowardZero() {
  Host h;
  TSoraChild* c = h.NewChild();
  SetIndents(c, 0, 0, 0);
  // To left -10: trunc(-10 / 1.3333334) is -7, not -8.
  Drag(c->FirstInd, {-12});
  QCOMPARE(c->RichEdit1->Paragraph().GetFirstIndent(), -7);
  // LeftInd stayed at 2: 1 point in all, so 8 from the new first line.
  QCOMPARE(c->RichEdit1->Paragraph().GetLeftIndent(), 8);
  QCOMPARE(c->FirstInd->x(), -9 + 2);
  QCOMPARE(c->LeftInd->x(), 1 + 2);
  // Dragged far past the left end of the ruler.
  SetIndents(c, 0, 0, 0);
  Drag(c->LeftInd, {-100});
  QCOMPARE(c->RichEdit1->Paragraph().GetLeftIndent(), -73);
}

void TestRuler::dragAppliesToEveryTouchedParagraph() {
  Host h;
  TSoraChild* c = h.NewChild(QStringLiteral("one\r\ntwo\r\nthree"));
  c->RichEdit1->SelectAll();
  SetIndents(c, 0, 0, 0);
  c->RichEdit1->SetSelStart(2);
  c->RichEdit1->SetSelLength(6);  // "e", the break, "two", the break: two paragraphs
  Drag(c->FirstInd, {24});
  QCOMPARE(Read(c), (Indents{19, -18, 0}));
  c->RichEdit1->SetSelStart(6);
  QCOMPARE(Read(c), (Indents{19, -18, 0}));
  c->RichEdit1->SetSelStart(12);
  QCOMPARE(Read(c), (Indents{0, 0, 0}));
  // The caret's move placed the markers for the third paragraph.
  QCOMPARE(c->FirstInd->x(), 2);
}

void TestRuler::resizeWidensScaleButLeavesMarkers() {
  Host h;
  TSoraChild* c = h.NewChild();
  SetIndents(c, 0, 0, 0);
  const int right = c->RightInd->x();
  c->resize(700, 300);
  QTRY_COMPARE(c->Ruler->width(), c->RulerPanel->width() - 2);
  QCOMPARE(c->RulerLine->width(), c->Ruler->width() - 2);
  QVERIFY(c->Ruler->width() > 600);
  QCOMPARE(c->RightInd->x(), right);
  c->RichEdit1->SetSelStart(3);
  QCOMPARE(c->RightInd->x(), c->Ruler->width() - 6 - 8);
  const int placed = c->RightInd->x();
  c->resize(400, 300);
  QTRY_COMPARE(c->Ruler->width(), c->RulerPanel->width() - 2);
  QCOMPARE(c->RulerLine->width(), c->Ruler->width() - 2);
  QVERIFY(c->Ruler->width() < 400);
  QCOMPARE(c->RightInd->x(), placed);
}

void TestRuler::viewRulerTogglesAndMarks() {
  Host h;
  auto* c = new TSoraChild(h.area, &h.marks);
  QVERIFY(c->RulerPanel->isHidden());
  c->ViewRulerExecute();
  QVERIFY(!c->RulerPanel->isHidden());
  QCOMPARE(h.marks.ruler, 1);
  c->ViewRuler->trigger();
  QVERIFY(c->RulerPanel->isHidden());
  QCOMPARE(h.marks.ruler, 0);
  QCOMPARE(c->ViewRuler->text(), QString::fromUtf8("ルーラー"));
}

QTEST_MAIN(TestRuler)
#include "test_ruler.moc"
