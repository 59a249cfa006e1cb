// Guards the colour grid: squares and markers, ordering, hit tests, keys, clicks, drags and redraws.
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "components/Cgrid/Cgrid.h"

namespace {

const QColor Squares[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                            {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                            {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

QImage Render(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

QString Inverse(const QColor& c) { return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue()).name(); }

// The colours of n pixels from `from` on, `step` apart.
QStringList Line(QWidget& w, QPoint from, QPoint step, int n) {
  const QImage img = Render(w);
  QStringList out;
  for (int i = 0; i < n; ++i) out << img.pixelColor(from + i * step).name();
  return out;
}

// Pixels of exactly `colour` inside the square's face (clear of the 3-D frame).
QSet<QPoint> Ink(const QImage& img, const QRect& cell, const QColor& colour) {
  QSet<QPoint> ink;
  const QRect face = cell.adjusted(3, 3, -3, -3);
  for (int y = face.top(); y <= face.bottom(); ++y)
    for (int x = face.left(); x <= face.right(); ++x)
      if (img.pixelColor(x, y) == colour) ink.insert(QPoint(x - cell.left(), y - cell.top()));
  return ink;
}

// The marker each square carries ("-" for none), found by comparing the ink
// of its text with the text centred on a plain square; "FB" is drawn twice.
QString Markers(TCColorGrid& g, const QList<int>& squares) {
  const QImage img = Render(g);
  QStringList out;
  for (int square : squares) {
    const QRect cell = g.CellRect(square);
    const QColor face = Squares[square];
    const QColor mark(face.red() >= 128 ? 0 : 255, face.green() >= 128 ? 0 : 255, face.blue() >= 128 ? 0 : 255);
    const QSet<QPoint> ink = Ink(img, cell, mark);
    out << "?";
    for (const QString text : {"-", "FG", "BG", "FB"}) {
      QImage plain(cell.size(), QImage::Format_RGB32);
      plain.fill(face);
      QPainter p(&plain);
      p.setFont(g.font()); p.setPen(mark);
      for (int i = text == "FB" ? 2 : text == "-" ? 0 : 1; i > 0; --i)
        p.drawText(plain.rect(), Qt::AlignCenter | Qt::TextSingleLine, text);
      p.end();
      if (ink == Ink(plain, plain.rect(), mark) && (text == "-") == ink.isEmpty()) out.last() = text;
    }
  }
  return out.join(u' ');
}

void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint pos) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent e(type, pos, w->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

void Click(QWidget* w, Qt::MouseButton button, QPoint pos) {
  SendMouse(w, QEvent::MouseButtonPress, button, pos); SendMouse(w, QEvent::MouseButtonRelease, button, pos);
}

// The picked colours and the selection, as one value.
QString State(const TCColorGrid& g) {
  return QString("fg %1 bg %2 at %3").arg(g.GetForegroundIndex()).arg(g.GetBackgroundIndex()).arg(g.GetSelection());
}

bool SendKey(QWidget* w, int key) {
  QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "");
  QCoreApplication::sendEvent(w, &e);
  return e.isAccepted();
}

class PaintRecorder : public TCColorGrid {
 public:
  QRegion painted;
 protected:
  void paintEvent(QPaintEvent* e) override { painted += e->region(), TCColorGrid::paintEvent(e); }
};

}  // namespace

class TestColorGrid : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QFont f = QApplication::font();
    f.setPixelSize(12);
    QApplication::setFont(f);
  }

  void coloursAndMarkers() {
    TCColorGrid g;
    QCOMPARE(Markers(g, {0}), "FB");  // white on black
    g.resize(200, 200);
    g.SetForegroundIndex(12); g.SetBackgroundIndex(11);
    QCOMPARE(g.GetForegroundColor(), TColor(0xFF0000));  // blue, as the square shows it
    QCOMPARE(g.GetBackgroundColor(), TColor(0x00FFFF));
    // 128 counts as light; each channel of the mark is set on its own: yellow on navy.
    g.SetForegroundIndex(8); g.SetBackgroundIndex(4);
    QCOMPARE(Markers(g, {8, 4, 0}), "FG BG -");

    g.SetForegroundIndex(5); g.SetBackgroundIndex(5);
    QStringList seen{Markers(g, {5})};
    g.EnableBackground(false);
    seen << Markers(g, {5});
    g.SetBackgroundIndex(2);  // disabled: ignored
    QCOMPARE(g.GetBackgroundIndex(), 5);
    g.EnableForeground(false);
    seen << Markers(g, {5});
    g.EnableBackground(true);
    seen << Markers(g, {5});
    QCOMPARE(seen.join(u' '), "FB FG - BG");

    // Indices that name no square: no colour, no marker anywhere.
    g.EnableForeground(true);
    g.SetForegroundIndex(20); g.SetBackgroundIndex(-1);
    g.SetSelection(-3);
    QCOMPARE(g.GetForegroundColor(), TCColorGrid::NoColor);
    QCOMPARE(g.GetBackgroundColor(), TCColorGrid::NoColor);
    QCOMPARE(Markers(g, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}), QStringList(16, "-").join(u' '));
  }

  void shrinksToWholeSquares() {
    QStringList squares;
    for (const QColor& c : Squares) squares << c.name();
    TCColorGrid g;
    g.SetCtl3D(false); g.SetGridOrdering(TCColorGrid::go16x1);
    QCOMPARE(g.size(), QSize(96, 100));
    QCOMPARE(Line(g, {0, 10}, {6, 0}, 16), QStringList(16, "#000000"));
    QCOMPARE(Line(g, {3, 10}, {6, 0}, 16), squares);
    g.SetGridOrdering(TCColorGrid::go1x16);
    QCOMPARE(g.size(), QSize(96, 96));
    // Squares keep their numbers when the layout changes: 9 is column 1 of row 1.
    g.SetGridOrdering(TCColorGrid::go8x2);
    QCOMPARE(g.CellRect(9), QRect(12, 48, 12, 48));
    QCOMPARE(Line(g, {18, 72}, {}, 1), QStringList{squares[9]});
    for (int bad : {5, 7, 255}) g.SetGridOrdering(TCColorGrid::TGridOrdering(bad));  // no such ordering
    QCOMPARE(g.GetGridOrdering(), TCColorGrid::go8x2);
  }

  void squareStylesAndFocus() {
    QWidget top;
    TCColorGrid* g = new TCColorGrid(&top);
    QPushButton* other = new QPushButton("x", &top);
    other->move(0, 120);
    top.show();
    QVERIFY(QTest::qWaitForWindowActive(&top));
    g->SetSelection(9);  // cell 25..49 x 50..74, red
    const QString red = Squares[9].name(), inverse = Inverse(Squares[9]), dark = g->palette().color(QPalette::Dark).name();
    QCOMPARE(Line(*g, {25, 62}, {1, 0}, 4), QStringList({ToQColor(clBtnFace).name(), dark, dark, red}));
    QCOMPARE(Line(*g, {47, 62}, {}, 1), QStringList{g->palette().color(QPalette::Light).name()});
    // Unfocused: no dotted rectangle on the selection; focused, every other pixel or so.
    QCOMPARE(Line(*g, {29, 54}, {1, 0}, 17), QStringList(17, red));
    g->setFocus();
    const QStringList dotted = Line(*g, {29, 54}, {1, 0}, 17);
    QCOMPARE(dotted.count(red) + dotted.count(inverse), 17);
    QVERIFY2(dotted.count(inverse) >= 7 && dotted.count(inverse) <= 10, qPrintable(dotted.join(' ')));

    // Flat style: a 2-pixel inverted ring around a black outline.
    g->SetCtl3D(false);
    QCOMPARE(Line(*g, {25, 62}, {1, 0}, 4), QStringList({"#ffffff", inverse, "#000000", red}));
    QCOMPARE(Line(*g, {24, 37}, {}, 1), QStringList{"#000000"});  // square 4, plain outline
    other->setFocus();
    QCOMPARE(Line(*g, {25, 62}, {1, 0}, 2), QStringList({"#000000", red}));

    // A press takes the focus only when the grid is a tab stop.
    QTest::mouseClick(g, Qt::LeftButton, {}, QPoint(30, 30));
    QVERIFY(!g->hasFocus());
    g->SetTabStop(true);
    QTest::mouseClick(g, Qt::LeftButton, {}, QPoint(80, 30));
    QVERIFY(g->hasFocus());
  }

  void hitTestIsClamped() {
    TCColorGrid g;
    QCOMPARE(g.SquareFromPos(99, 0), 3);
    Click(&g, Qt::LeftButton, QPoint(-5, 200));
    Click(&g, Qt::RightButton, QPoint(60, 60));
    QCOMPARE(State(g), "fg 12 bg 10 at 10");

    // A size limit keeps the control from shrinking to whole squares: the
    // edge beyond the last square counts as the last square.
    TCColorGrid big;
    big.setMinimumSize(110, 110); big.resize(110, 110);
    SendMouse(&big, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(109, 109));
    QCOMPARE(big.GetForegroundIndex(), 15);
    Render(big);

    // Smaller than the grid: the squares have no size, the mouse is ignored.
    TCColorGrid tiny;
    tiny.setMinimumSize(3, 3); tiny.resize(3, 3);
    SendMouse(&tiny, QEvent::MouseButtonPress, Qt::RightButton, QPoint(2, 2));
    SendMouse(&tiny, QEvent::MouseMove, Qt::RightButton, QPoint(1, 1));
    SendMouse(&tiny, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(1, 1));
    QCOMPARE(State(tiny), "fg 0 bg 0 at 0");
    Render(tiny);
  }

  void keyboard() {
    // Ordering, from, key, to: the arrows wrap to the next or previous column,
    // move the selection and pick no colour.
    const int g44 = TCColorGrid::go4x4, g16 = TCColorGrid::go16x1, g28 = TCColorGrid::go2x8;
    const int table[][4] = {{g44, 0, Qt::Key_Up, 15},     {g44, 15, Qt::Key_Down, 0},   {g44, 15, Qt::Key_Right, 0},
                            {g44, 14, Qt::Key_Space, 15}, {g44, 0, Qt::Key_Left, 15},   {g44, 9, Qt::Key_Home, 0},
                            {g44, 9, Qt::Key_End, 15},    {g16, 4, Qt::Key_Down, 5},    {g16, 4, Qt::Key_Up, 3},
                            {g28, 14, Qt::Key_Down, 1},   {g28, 1, Qt::Key_Up, 14}};
    QStringList got, want;
    for (const auto& [ordering, from, key, to] : table) {
      TCColorGrid g;
      g.SetGridOrdering(TCColorGrid::TGridOrdering(ordering));
      g.SetSelection(from);
      QSignalSpy changes(&g, &TCColorGrid::OnChange);
      const bool accepted = SendKey(&g, key);
      const QString row = QString("ordering %1, %2, key %3: ").arg(ordering).arg(from).arg(key, 0, 16);
      got << row + QString("%1 accepted %2 changes %3").arg(g.GetSelection()).arg(accepted).arg(changes.count());
      want << row + QString("%1 accepted 1 changes 0").arg(to);
    }
    QCOMPARE(got, want);
  }

  void pickingKeys() {
    TCColorGrid g;
    g.SetSelection(6);
    // Keys not for the grid pass on to the parent.
    QCOMPARE(QList<bool>({SendKey(&g, Qt::Key_PageUp), SendKey(&g, Qt::Key_6), SendKey(&g, Qt::Key_A)}),
             QList<bool>(3, false));
    QCOMPARE(g.GetSelection(), 6);
    QStringList order;
    connect(&g, &TCColorGrid::OnKeyDown,
            [&](int key, Qt::KeyboardModifiers) { order << "key " + QKeySequence(key).toString(); });
    connect(&g, &TCColorGrid::OnChange, [&](QObject* s) { order << (s == &g ? "change" : "?"); });
    connect(&g, &TCColorGrid::OnClick, [&] { order << "click"; });
    QTest::keyClick(&g, Qt::Key_F);
    QTest::keyClick(&g, Qt::Key_F);  // same square: a click, no change
    QCOMPARE(order, QStringList({"key F", "change", "click", "key F", "click"}));
    QCOMPARE(g.GetForegroundIndex(), 6);

    // B, keypad 6 and keypad 2 pick too.
    g.SetSelection(9);
    QTest::keyClick(&g, Qt::Key_B);
    g.SetSelection(10);
    QTest::keyClick(&g, Qt::Key_6, Qt::KeypadModifier);
    g.SetSelection(11);
    QTest::keyClick(&g, Qt::Key_2, Qt::KeypadModifier);
    QCOMPARE(State(g), "fg 10 bg 11 at 11");
  }

  void clickEnablesColor() {
    TCColorGrid g;
    QSignalSpy changes(&g, &TCColorGrid::OnChange);
    g.EnableForeground(false); g.EnableBackground(false);
    Click(&g, Qt::LeftButton, QPoint(60, 10));
    QCOMPARE(State(g), "fg 0 bg 0 at 2");
    QCOMPARE(changes.count(), 0);
    g.SetClickEnablesColor(true);
    Click(&g, Qt::LeftButton, QPoint(60, 10));
    QCOMPARE(g.GetForegroundIndex(), 2);
    QCOMPARE(changes.count(), 1);
    // Switched on in place: the same square still counts as a change.
    g.EnableForeground(false);
    Click(&g, Qt::LeftButton, QPoint(60, 10));
    QCOMPARE(changes.count(), 2);
    g.SetSelection(0);
    QTest::keyClick(&g, Qt::Key_B);
    QCOMPARE(changes.count(), 3);
    QCOMPARE(Markers(g, {0, 2}), "BG FG");

    // Dragging on does not switch a colour back on.
    SendMouse(&g, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(10, 30));
    g.EnableForeground(false);
    SendMouse(&g, QEvent::MouseMove, Qt::LeftButton, QPoint(10, 60));
    QCOMPARE(State(g), "fg 4 bg 0 at 8");
    QVERIFY(!g.GetForegroundEnabled());
  }

  void dragAndChangeEvents() {
    TCColorGrid g;
    QSignalSpy changes(&g, &TCColorGrid::OnChange);
    // Only the colour indices raise OnChange.
    g.SetForegroundIndex(0); g.SetSelection(4);
    g.EnableBackground(false); g.EnableBackground(true);
    g.SetGridOrdering(TCColorGrid::go8x2); g.SetGridOrdering(TCColorGrid::go4x4);
    QCOMPARE(changes.count(), 0);

    SendMouse(&g, QEvent::MouseButtonPress, Qt::RightButton, QPoint(5, 5));
    for (QPoint p : {QPoint(30, 30), QPoint(35, 35), QPoint(130, 35)})  // the last outside: clamped
      SendMouse(&g, QEvent::MouseMove, Qt::RightButton, p);
    QCOMPARE(changes.count(), 2);  // 0 -> 5 -> 7
    SendMouse(&g, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(130, 35));
    SendMouse(&g, QEvent::MouseMove, Qt::NoButton, QPoint(80, 80));
    QCOMPARE(State(g), "fg 0 bg 7 at 7");
    QCOMPARE(changes.count(), 2);
  }

  void redrawsOnlyTheSquaresConcerned() {
    QWidget top;
    auto* g = new PaintRecorder;
    g->setParent(&top);
    top.resize(300, 300);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    const auto settle = [&] { QCoreApplication::processEvents(); return std::exchange(g->painted, QRegion()); };
    settle();
    g->SetSelection(6);
    QCOMPARE(settle(), QRegion(g->CellRect(0)) + g->CellRect(6));
    g->SetForegroundIndex(9);
    QCOMPARE(settle(), QRegion(g->CellRect(0)) + g->CellRect(9));
    g->SetCtl3D(false);
    QCOMPARE(settle(), QRegion(g->rect()));
  }
};

QTEST_MAIN(TestColorGrid)
#include "test_colorgrid.moc"
