#include <QPaintEvent>
#include <QPushButton>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include "components/Cgrid/Cgrid.h"
#include "components/Registry.h"

namespace {

const QColor Squares[16] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255},   {255, 255, 255}};

QImage Render(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

QString Inverse(const QColor& c) {
  return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue()).name();
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

// What a marker text looks like, centred on a plain square of that size. The
// combined marker is drawn twice, once for each colour, which thickens it.
QSet<QPoint> ExpectedInk(const QFont& font, const QRect& cell, const QColor& face,
                         const QColor& colour, const QString& text) {
  const int passes = text == "FB" ? 2 : 1;
  QImage img(cell.size(), QImage::Format_RGB32);
  img.fill(face);
  {
    QPainter p(&img);
    p.setFont(font);
    p.setPen(colour);
    for (int i = 0; i < passes; ++i)
      p.drawText(QRect(QPoint(0, 0), cell.size()), Qt::AlignCenter | Qt::TextSingleLine, text);
  }
  return Ink(img, QRect(QPoint(0, 0), cell.size()), colour);
}

QColor MarkerColour(const QColor& c) {
  return QColor(c.red() >= 128 ? 0 : 255, c.green() >= 128 ? 0 : 255, c.blue() >= 128 ? 0 : 255);
}

void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint pos) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent e(type, pos, w->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button,
                held, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

class PaintRecorder : public TCColorGrid {
 public:
  QRegion painted;

 protected:
  void paintEvent(QPaintEvent* e) override {
    painted += e->region();
    TCColorGrid::paintEvent(e);
  }
};

}  // namespace

class TestColorGrid : public QObject {
  Q_OBJECT

 private:
  // Checks which marker the square carries by comparing the ink of its text.
  void CheckMarker(TCColorGrid& g, int square, const QString& text) {
    const QImage img = Render(g);
    const QRect cell = g.CellRect(square);
    const QColor mark = MarkerColour(Squares[square]);
    const QSet<QPoint> ink = Ink(img, cell, mark);
    if (text.isEmpty()) {
      QVERIFY2(ink.isEmpty(), qPrintable(QString("square %1 has a marker").arg(square)));
      return;
    }
    QVERIFY2(!ink.isEmpty(), qPrintable(QString("no marker on square %1").arg(square)));
    QCOMPARE(ink, ExpectedInk(g.font(), cell, Squares[square], mark, text));
  }

 private slots:
  void initTestCase() {
    QFont f = QApplication::font();
    f.setPixelSize(12);
    QApplication::setFont(f);
  }

  void newGridAndColours() {
    TCColorGrid g;
    QCOMPARE(g.size(), QSize(100, 100));
    QCOMPARE(g.CellRect(5), QRect(25, 25, 25, 25));
    QCOMPARE(g.GetSelection(), 0);
    QCOMPARE(g.GetGridOrdering(), TCColorGrid::go4x4);
    CheckMarker(g, 0, "FB");
    for (int i = 0; i < 16; ++i) {
      const QColor c = Squares[i];
      QCOMPARE(g.SquareColor(i), TColor(c.red() | c.green() << 8 | c.blue() << 16));
    }
    g.SetForegroundIndex(12);
    g.SetBackgroundIndex(11);
    QCOMPARE(g.GetForegroundColor(), TColor(0xFF0000));
    QCOMPARE(g.GetBackgroundColor(), TColor(0x00FFFF));
  }

  void markers() {
    TCColorGrid g;
    g.resize(200, 200);
    g.SetForegroundIndex(7);
    g.SetBackgroundIndex(4);
    CheckMarker(g, 7, "FG");  // black on silver
    CheckMarker(g, 4, "BG");  // yellow on navy
    CheckMarker(g, 0, "");
    g.SetForegroundIndex(0);
    g.SetBackgroundIndex(8);
    CheckMarker(g, 0, "FG");  // white on black
    CheckMarker(g, 8, "BG");  // 128 counts as light

    g.SetForegroundIndex(5);
    g.SetBackgroundIndex(5);
    CheckMarker(g, 5, "FB");
    g.EnableBackground(false);
    CheckMarker(g, 5, "FG");
    g.SetBackgroundIndex(2);  // disabled: ignored
    QCOMPARE(g.GetBackgroundIndex(), 5);
    g.EnableForeground(false);
    CheckMarker(g, 5, "");
    g.EnableBackground(true);
    CheckMarker(g, 5, "BG");
  }

  void shrinksToWholeSquares() {
    TCColorGrid g;
    g.SetCtl3D(false);
    g.SetGridOrdering(TCColorGrid::go16x1);
    QCOMPARE(g.size(), QSize(96, 100));
    QImage img = Render(g);
    // Sampled clear of the marker on square 0, which spills over narrow squares.
    for (int i = 0; i < 16; ++i) {
      QCOMPARE(img.pixelColor(6 * i, 10), QColor(Qt::black));
      QCOMPARE(img.pixelColor(6 * i + 3, 10), Squares[i]);
    }
    TCColorGrid h;
    h.SetCtl3D(false);
    h.SetGridOrdering(TCColorGrid::go1x16);
    QCOMPARE(h.size(), QSize(100, 96));
    img = Render(h);
    for (int i = 0; i < 16; ++i) QCOMPARE(img.pixelColor(10, 6 * i + 3), Squares[i]);
    // Squares keep their numbers when the layout changes: 9 is column 1 of row 1.
    h.SetGridOrdering(TCColorGrid::go8x2);
    QCOMPARE(h.size(), QSize(96, 96));
    QCOMPARE(h.CellRect(9), QRect(12, 48, 12, 48));
    QCOMPARE(Render(h).pixelColor(18, 72), Squares[9]);
    h.SetGridOrdering(TCColorGrid::TGridOrdering(7));  // no such ordering
    QCOMPARE(h.GetGridOrdering(), TCColorGrid::go8x2);
  }

  void squareStylesAndFocus() {
    QWidget top;
    TCColorGrid* g = new TCColorGrid(&top);
    QPushButton* other = new QPushButton("x", &top);
    other->move(0, 120);
    top.show();
    QVERIFY(QTest::qWaitForWindowActive(&top));
    g->SetSelection(9);  // cell 25..49 x 50..74, red
    const QString face = ToQColor(clBtnFace).name(), dark = g->palette().color(QPalette::Dark).name(),
                  light = g->palette().color(QPalette::Light).name(), red = Squares[9].name(),
                  black = "#000000", white = "#ffffff";
    auto at = [](const QImage& img, int x, int y) { return img.pixelColor(x, y).name(); };
    QImage img = Render(*g);
    const int y = 62;
    QCOMPARE(at(img, 25, y), face);
    QCOMPARE(at(img, 26, y), dark);
    QCOMPARE(at(img, 27, y), dark);
    QCOMPARE(at(img, 28, y), red);
    QCOMPARE(at(img, 47, y), light);
    QCOMPARE(at(img, 49, y), face);
    // Unfocused: no dotted rectangle on the selection.
    for (int x = 29; x <= 45; ++x) QCOMPARE(at(img, x, 54), red);

    g->setFocus();
    QVERIFY(g->hasFocus());
    img = Render(*g);
    int dots = 0;
    for (int x = 29; x <= 45; ++x) {
      const QString c = at(img, x, 54);
      QVERIFY(c == red || c == Inverse(Squares[9]));
      dots += c == Inverse(Squares[9]);
    }
    QVERIFY2(dots >= 7 && dots <= 10, qPrintable(QString::number(dots)));
    QCOMPARE(at(img, 37, 62), red);

    // Flat style: a 2-pixel inverted ring around a black outline.
    g->SetCtl3D(false);
    img = Render(*g);
    QCOMPARE(at(img, 25, y), white);  // inverted black outline
    QCOMPARE(at(img, 26, y), Inverse(Squares[9]));
    QCOMPARE(at(img, 27, y), black);
    QCOMPARE(at(img, 28, y), red);
    QCOMPARE(at(img, 24, 37), black);  // square 4, plain outline
    QCOMPARE(at(img, 49, y), white);

    other->setFocus();
    QVERIFY(!g->hasFocus());
    img = Render(*g);
    QCOMPARE(at(img, 25, y), black);
    QCOMPARE(at(img, 26, y), red);

    // A press takes the focus only when the grid is a tab stop.
    QTest::mouseClick(g, Qt::LeftButton, {}, QPoint(30, 30));
    QVERIFY(!g->hasFocus());
    QCOMPARE(g->GetForegroundIndex(), 5);
    g->SetTabStop(true);
    QTest::mouseClick(g, Qt::LeftButton, {}, QPoint(80, 30));
    QVERIFY(g->hasFocus());
  }

  void hitTest() {
    TCColorGrid g;
    QCOMPARE(g.SquareFromPos(-5, 200), 12);
    QCOMPARE(g.SquareFromPos(99, 0), 3);
    QCOMPARE(g.SquareFromPos(100, 100), 15);
    SendMouse(&g, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(-5, 200));
    SendMouse(&g, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(-5, 200));
    QCOMPARE(g.GetForegroundIndex(), 12);
    QCOMPARE(g.GetSelection(), 12);
    SendMouse(&g, QEvent::MouseButtonPress, Qt::RightButton, QPoint(60, 60));
    SendMouse(&g, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(60, 60));
    QCOMPARE(g.GetBackgroundIndex(), 10);
    QCOMPARE(g.GetForegroundIndex(), 12);
    QCOMPARE(g.GetSelection(), 10);
  }

  void sizeNotRounded() {
    // Size limits keep the control from shrinking to whole squares.
    TCColorGrid g;
    g.setMinimumSize(110, 110);
    g.resize(110, 110);
    QCOMPARE(g.size(), QSize(110, 110));
    SendMouse(&g, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(109, 109));
    QCOMPARE(g.GetForegroundIndex(), 15);
    QCOMPARE(g.GetForegroundColor(), TColor(0xFFFFFF));
    Render(g);

    // Smaller than the grid: the squares have no size, the mouse is ignored.
    TCColorGrid tiny;
    tiny.setMinimumSize(3, 3);
    tiny.resize(3, 3);
    QSignalSpy changes(&tiny, &TCColorGrid::OnChange);
    QCOMPARE(tiny.SquareFromPos(1, 1), -1);
    SendMouse(&tiny, QEvent::MouseButtonPress, Qt::RightButton, QPoint(2, 2));
    SendMouse(&tiny, QEvent::MouseMove, Qt::RightButton, QPoint(1, 1));
    SendMouse(&tiny, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(1, 1));
    QCOMPARE(tiny.GetBackgroundIndex(), 0);
    QCOMPARE(changes.count(), 0);
    Render(tiny);
  }

  void outOfRangeIndices() {
    TCColorGrid g;
    g.resize(200, 200);
    g.SetForegroundIndex(20);
    g.SetBackgroundIndex(-1);
    g.SetSelection(-3);
    QCOMPARE(g.GetForegroundIndex(), 20);
    QCOMPARE(g.GetForegroundColor(), TCColorGrid::NoColor);
    QCOMPARE(g.GetBackgroundColor(), TCColorGrid::NoColor);
    for (int i = 0; i < 16; ++i) CheckMarker(g, i, "");
  }

  void keyboard_data() {
    QTest::addColumn<int>("ordering");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    const int g44 = TCColorGrid::go4x4, g16 = TCColorGrid::go16x1, g28 = TCColorGrid::go2x8;
    QTest::newRow("up 0") << g44 << 0 << int(Qt::Key_Up) << 15;
    QTest::newRow("up 2") << g44 << 2 << int(Qt::Key_Up) << 13;
    QTest::newRow("down 15") << g44 << 15 << int(Qt::Key_Down) << 0;
    QTest::newRow("down 13") << g44 << 13 << int(Qt::Key_Down) << 2;
    QTest::newRow("right 15") << g44 << 15 << int(Qt::Key_Right) << 0;
    QTest::newRow("space 15") << g44 << 15 << int(Qt::Key_Space) << 0;
    QTest::newRow("left 0") << g44 << 0 << int(Qt::Key_Left) << 15;
    QTest::newRow("home") << g44 << 9 << int(Qt::Key_Home) << 0;
    QTest::newRow("end") << g44 << 9 << int(Qt::Key_End) << 15;
    QTest::newRow("16x1 down") << g16 << 4 << int(Qt::Key_Down) << 5;
    QTest::newRow("16x1 up") << g16 << 4 << int(Qt::Key_Up) << 3;
    QTest::newRow("2x8 down 14") << g28 << 14 << int(Qt::Key_Down) << 1;
    QTest::newRow("2x8 up 1") << g28 << 1 << int(Qt::Key_Up) << 14;
  }

  void keyboard() {
    QFETCH(int, ordering);
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);
    TCColorGrid g;
    g.SetGridOrdering(TCColorGrid::TGridOrdering(ordering));
    g.SetSelection(from);
    QSignalSpy changes(&g, &TCColorGrid::OnChange);
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "");
    QCoreApplication::sendEvent(&g, &e);
    QVERIFY(e.isAccepted());
    QCOMPARE(g.GetSelection(), to);
    QCOMPARE(changes.count(), 0);
  }

  void unhandledKeysPassOn() {
    TCColorGrid g;
    g.SetSelection(5);
    for (int key : {int(Qt::Key_PageUp), int(Qt::Key_PageDown), int(Qt::Key_6), int(Qt::Key_A)}) {
      QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
      QCoreApplication::sendEvent(&g, &e);
      QVERIFY2(!e.isAccepted(), qPrintable(QString::number(key, 16)));
    }
    QCOMPARE(g.GetSelection(), 5);
    QCOMPARE(g.GetForegroundIndex(), 0);
  }

  void foregroundAndBackgroundKeys() {
    TCColorGrid g;
    g.SetSelection(6);
    QStringList order;
    connect(&g, &TCColorGrid::OnKeyDown, [&](int key, Qt::KeyboardModifiers) {
      order << QString("key %1").arg(QKeySequence(key).toString());
    });
    connect(&g, &TCColorGrid::OnChange, [&](QObject* s) { order << (s == &g ? "change" : "?"); });
    connect(&g, &TCColorGrid::OnClick, [&] { order << "click"; });
    QTest::keyClick(&g, Qt::Key_F);
    QCOMPARE(order, QStringList({"key F", "change", "click"}));
    QCOMPARE(g.GetForegroundIndex(), 6);
    order.clear();
    QTest::keyClick(&g, Qt::Key_F);  // same square: a click, no change
    QCOMPARE(order, QStringList({"key F", "click"}));

    g.SetSelection(9);
    QTest::keyClick(&g, Qt::Key_B);
    QCOMPARE(g.GetBackgroundIndex(), 9);
    g.SetSelection(10);
    QTest::keyClick(&g, Qt::Key_6, Qt::KeypadModifier);
    QCOMPARE(g.GetForegroundIndex(), 10);
    g.SetSelection(11);
    QTest::keyClick(&g, Qt::Key_2, Qt::KeypadModifier);
    QCOMPARE(g.GetBackgroundIndex(), 11);
    QCOMPARE(g.GetSelection(), 11);
  }

  void clickEnablesColor() {
    TCColorGrid g;
    QSignalSpy changes(&g, &TCColorGrid::OnChange);
    g.EnableForeground(false);
    g.EnableBackground(false);
    SendMouse(&g, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(60, 10));
    SendMouse(&g, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(60, 10));
    QCOMPARE(g.GetSelection(), 2);
    QCOMPARE(g.GetForegroundIndex(), 0);
    QVERIFY(!g.GetForegroundEnabled());
    QCOMPARE(changes.count(), 0);

    g.SetClickEnablesColor(true);
    SendMouse(&g, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(60, 10));
    SendMouse(&g, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(60, 10));
    QVERIFY(g.GetForegroundEnabled());
    QCOMPARE(g.GetForegroundIndex(), 2);
    QCOMPARE(changes.count(), 1);

    // Switched on in place: the same square still counts as a change.
    g.EnableForeground(false);
    SendMouse(&g, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(60, 10));
    SendMouse(&g, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(60, 10));
    QCOMPARE(g.GetForegroundIndex(), 2);
    QCOMPARE(changes.count(), 2);
    g.SetSelection(0);
    QTest::keyClick(&g, Qt::Key_B);
    QVERIFY(g.GetBackgroundEnabled());
    QCOMPARE(g.GetBackgroundIndex(), 0);
    QCOMPARE(changes.count(), 3);
    CheckMarker(g, 0, "BG");
    CheckMarker(g, 2, "FG");

    // Dragging on does not switch a colour back on.
    SendMouse(&g, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(10, 30));
    QCOMPARE(g.GetForegroundIndex(), 4);
    g.EnableForeground(false);
    SendMouse(&g, QEvent::MouseMove, Qt::LeftButton, QPoint(10, 60));
    QCOMPARE(g.GetSelection(), 8);
    QVERIFY(!g.GetForegroundEnabled());
    QCOMPARE(g.GetForegroundIndex(), 4);
  }

  void dragAndChangeEvents() {
    TCColorGrid g;
    QSignalSpy changes(&g, &TCColorGrid::OnChange);
    g.SetForegroundIndex(0);
    g.SetSelection(4);
    g.EnableBackground(false);
    g.EnableBackground(true);
    g.SetGridOrdering(TCColorGrid::go8x2);
    g.SetGridOrdering(TCColorGrid::go4x4);
    QCOMPARE(changes.count(), 0);

    SendMouse(&g, QEvent::MouseButtonPress, Qt::RightButton, QPoint(5, 5));
    SendMouse(&g, QEvent::MouseMove, Qt::RightButton, QPoint(30, 30));
    SendMouse(&g, QEvent::MouseMove, Qt::RightButton, QPoint(35, 35));
    SendMouse(&g, QEvent::MouseMove, Qt::RightButton, QPoint(130, 35));  // outside: clamped
    QCOMPARE(g.GetBackgroundIndex(), 7);
    QCOMPARE(g.GetSelection(), 7);
    QCOMPARE(g.GetForegroundIndex(), 0);
    QCOMPARE(changes.count(), 2);  // 0 -> 5 -> 7
    SendMouse(&g, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(130, 35));
    SendMouse(&g, QEvent::MouseMove, Qt::NoButton, QPoint(80, 80));
    QCOMPARE(g.GetBackgroundIndex(), 7);
    QCOMPARE(changes.count(), 2);
  }

  void redrawsOnlyTheSquaresConcerned() {
    QWidget top;
    PaintRecorder* g = new PaintRecorder;
    g->setParent(&top);
    top.resize(300, 300);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    auto settle = [&] {
      QCoreApplication::processEvents();
      const QRegion r = g->painted;
      g->painted = QRegion();
      return r;
    };
    settle();
    g->SetSelection(6);
    QCOMPARE(settle(), QRegion(g->CellRect(0)) + g->CellRect(6));
    g->SetForegroundIndex(9);
    QCOMPARE(settle(), QRegion(g->CellRect(0)) + g->CellRect(9));
    g->EnableBackground(false);
    QCOMPARE(settle(), QRegion(g->CellRect(0)));
    g->SetCtl3D(false);
    QCOMPARE(settle(), QRegion(g->rect()));
  }

  void registers() {
    Cgrid::Register();
    const TRegisteredComponent* found = nullptr;
    for (const TRegisteredComponent& r : RegisteredComponents())
      if (r.cls.className == "TCColorGrid") found = &r;
    QVERIFY(found);
    QCOMPARE(found->page, LoadStr(101));
    QCOMPARE(QImage(found->cls.iconPath).size(), QSize(24, 24));
    QWidget parent;
    QWidget* w = found->cls.create(&parent);
    QVERIFY(qobject_cast<TCColorGrid*>(w));
    QCOMPARE(w->parent(), &parent);
  }
};

QTEST_MAIN(TestColorGrid)
#include "test_colorgrid.moc"
