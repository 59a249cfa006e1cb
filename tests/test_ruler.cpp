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

const char* const Markers[] = {"FirstInd", "LeftInd", "RightInd"};

QList<int> Xs(TSoraChild* c) {
  QList<int> xs;
  for (const char* m : Markers) xs << Part<TRulerMarker>(c, m)->x();
  return xs;
}

// Presses a marker at its centre, moves the pointer by the given steps and
// releases it, as a user's drag does. The marker follows the pointer, so the
// pointer is back at the marker's centre after each step.
void Drag(TRulerMarker* m, const QList<int>& steps) {
  const QPoint centre(6, 6);
  QTest::mousePress(m, Qt::LeftButton, {}, centre);
  for (int dx : steps) QTest::mouseMove(m, centre + QPoint(dx, 0));
  QTest::mouseRelease(m, Qt::LeftButton, {}, centre);
}

}  // namespace

class TestRuler : public QObject {
  Q_OBJECT
 private slots:
  void scaleMarkersAndToggle() {
    Host h;
    TSoraChild* c = h.NewChild();
    QVERIFY(!Part<QFrame>(c, "RulerPanel")->isHidden());
    QCOMPARE(h.marks.ruler, 1);
    const QString scale = qobject_cast<QLabel*>(Part<QFrame>(c, "Ruler"))->text();
    QCOMPARE(scale.left(8) + ' ' + scale.right(7), QStringLiteral("・・・1・・・2 29・・・30"));
    // Navy scale with yellow figures.
    const QImage img = Part<QFrame>(c, "Ruler")->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(img.pixel(img.width() / 2, 3), ToQColor(clNavy).rgb());
    const auto* px = reinterpret_cast<const QRgb*>(img.constBits());
    QVERIFY(std::count(px, px + img.sizeInBytes() / 4, ToQColor(clYellow).rgb()) > 0);
    // Red marker pointing down, blue and fuchsia pointing up: the end of the
    // wide row is coloured, that of the narrow row is not.
    QStringList shapes;
    for (const char* m : Markers) {
      const QImage marker = Part<TRulerMarker>(c, m)->grab().toImage();
      shapes << marker.pixelColor(2, 4).name() + ' ' + marker.pixelColor(2, 7).name();
    }
    QCOMPARE(shapes.join(u' '), QString("#ff0000 %1 %1 #0000ff %1 #ff00ff").arg(ToQColor(clBtnFace).name()));
    Part<QAction>(c, "ViewRuler")->trigger();
    QVERIFY(Part<QFrame>(c, "RulerPanel")->isHidden());
    QCOMPARE(h.marks.ruler, 0);
    // Placement runs whether or not the ruler is shown.
    SetIndents(c, {30, 0, 0});
    QCOMPARE(Part<TRulerMarker>(c, "FirstInd")->x(), 40 + 2);
  }

  // No steps: placement alone. Points to pixels, truncated toward zero:
  // 2 + first, 2 + first + left, 534 - (right + 6).
  void drags_data() {
    QTest::addColumn<int>("marker");  // 0 first line, 1 left, 2 right
    QTest::addColumn<Indents>("before");
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<Indents>("after");
    QTest::addColumn<QList<int>>("xs");  // snapped to the indents now in force
    QTest::addColumn<bool>("modified");
    QTest::newRow("13 points: 17.33 pixels") << 0 << Indents{3, 10, 7} << QList<int>{} << Indents{3, 10, 7} << QList<int>{4 + 2, 17 + 2, 534 - 17} << false;
    QTest::newRow("-3 points: -4 pixels") << 0 << Indents{-6, 0, -9} << QList<int>{} << Indents{-6, 0, -9} << QList<int>{-8 + 2, -8 + 2, 534 + 4} << false;
    QTest::newRow("following lines keep their place") << 0 << Indents{0, 0, 0} << QList<int>{10, 14} << Indents{19, -18, 0} << QList<int>{27, 3, 526} << true;
    QTest::newRow("4 pixels make 2 points, not 3") << 0 << Indents{0, 0, 0} << QList<int>{2} << Indents{2, -1, 0} << QList<int>{4, 3, 526} << true;
    QTest::newRow("trunc(-10 / 1.3333334) is -7") << 0 << Indents{0, 0, 0} << QList<int>{-12} << Indents{-7, 8, 0} << QList<int>{-7, 3, 526} << true;
    QTest::newRow("dropped on the first-line marker rises a point") << 1 << Indents{18, 12, 0} << QList<int>{-16} << Indents{18, 1, 0} << QList<int>{26, 27, 526} << true;
    QTest::newRow("moved back still a drag") << 1 << Indents{0, 0, 0} << QList<int>{5, -5} << Indents{0, 1, 0} << QList<int>{2, 3, 526} << true;
    QTest::newRow("right: 28.49 less 12") << 2 << Indents{0, 0, 0} << QList<int>{-20} << Indents{0, 0, 16} << QList<int>{2, 2, 534 - 29} << true;
    QTest::newRow("right: -8.99 truncated, less 12") << 2 << Indents{0, 0, 0} << QList<int>{30} << Indents{0, 0, -20} << QList<int>{2, 2, 534 + 18} << true;
  }
  void drags() {
    QFETCH(int, marker);
    QFETCH(Indents, before);
    QFETCH(QList<int>, steps);
    Host h;
    TSoraChild* c = h.NewChild();
    SetIndents(c, before);
    Drag(Part<TRulerMarker>(c, Markers[marker]), steps);
    QTEST(Read(c), "after");
    QTEST(Xs(c), "xs");
    QTEST(c->Text()->GetModified(), "modified");
  }

  void dragAppliesToEveryTouchedParagraph() {
    Host h;
    TSoraChild* c = h.NewChild(QStringLiteral("one\r\ntwo\r\nthree"));
    c->Text()->SetSelStart(2); c->Text()->SetSelLength(6);  // "e", the break, "two", the break
    Drag(Part<TRulerMarker>(c, "FirstInd"), {24});
    Indents seen = Read(c);
    for (int pos : {6, 12}) c->Text()->SetSelStart(pos), seen += Read(c);
    QCOMPARE(seen, (Indents{19, -18, 0, 19, -18, 0, 0, 0, 0}));
    QCOMPARE(Part<TRulerMarker>(c, "FirstInd")->x(), 2);
  }

  void pressWithoutMovingAndResize() {
    Host h;
    TSoraChild* c = h.NewChild();
    // Off centre the press pulls the marker under the pointer; the release
    // without movement puts it back.
    SetIndents(c, {0, 0, 0});
    auto* right = Part<TRulerMarker>(c, "RightInd");
    QTest::mousePress(right, Qt::LeftButton, {}, QPoint(1, 6));
    QCOMPARE(right->x(), 526 - 5);
    QTest::mouseRelease(right, Qt::LeftButton, {}, QPoint(6, 6));
    QCOMPARE(right->x(), 526);
    QCOMPARE(Read(c), (Indents{0, 0, 0}));
    QVERIFY(!c->Text()->GetModified());
    // The scale follows the window; the markers stay until the selection moves.
    c->resize(700, 300);
    QTRY_COMPARE(Part<QFrame>(c, "Ruler")->width(), Part<QFrame>(c, "RulerPanel")->width() - 2);
    QCOMPARE(Part<QFrame>(c, "RulerLine")->width(), Part<QFrame>(c, "Ruler")->width() - 2);
    QVERIFY(qAbs(Part<QFrame>(c, "Ruler")->width() - 700) < 100);
    QCOMPARE(right->x(), 526);
    c->Text()->SetSelStart(3);
    QCOMPARE(right->x(), Part<QFrame>(c, "Ruler")->width() - 6 - 8);
  }
};

QTEST_MAIN(TestRuler)
#include "test_ruler.moc"
