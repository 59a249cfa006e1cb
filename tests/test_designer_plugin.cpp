// The four components in the form-designer collection, and the Qt Designer
// plugin that publishes them, loaded as Designer loads it.
#include <QPluginLoader>
#include <QtTest>

#include "components/Ccalendr/Ccalendr.h"
#include "components/Cgauges/Cgauges.h"
#include "components/Cgrid/Cgrid.h"
#include "components/Perfgrap/Perfgrap.h"
#include "components/Registry.h"

#if defined(SORAMEMO_DESIGNER_PLUGIN) && __has_include(<QtUiPlugin/QDesignerCustomWidgetCollectionInterface>)
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#define SORAMEMO_TEST_PLUGIN 1
#endif

namespace {

QStringList seen;  // what the form saw, in order

// What a form sees of a component's key and drag events, in order: a typed
// key, drags over it (refused until a handler takes them), a drop, and a drag
// from it cancelled with Escape.
template <class W>
QString KeyAndDragEvents(W& w) {
  seen.clear();
  QObject::connect(&w, &W::OnKeyPress, [](QChar& key) { seen << QStringLiteral("key ") + key; });
  QTest::keyClick(&w, Qt::Key_Left);  // types nothing
  QTest::keyClick(&w, Qt::Key_A);
  QMimeData data;
  data.setText(QStringLiteral("x"));
  const auto over = [&](QPoint at) {
    QDragEnterEvent e(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
    seen << (e.isAccepted() ? QStringLiteral("accepted") : QStringLiteral("refused"));
  };
  over(QPoint(5, 6));
  QObject::connect(&w, &W::OnDragOver, [](QObject*, int x, int y, bool& accept) {
    seen << QStringLiteral("over %1,%2").arg(x).arg(y);
    accept = x < 10;
  });
  over(QPoint(5, 6));
  over(QPoint(20, 6));
  QObject::connect(&w, &W::OnDragDrop, [](QObject*, int x, int y) { seen << QString("drop %1,%2").arg(x).arg(y); });
  QDropEvent drop(QPointF(5, 6), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  QObject::connect(&w, &W::OnStartDrag, [] { seen << QStringLiteral("start"); });
  QObject::connect(&w, &W::OnEndDrag, [](QObject* on, int, int) { seen << (on ? "end on target" : "end none"); });
  QTimer::singleShot(50, &w, [&w] { QTest::keyClick(&w, Qt::Key_Escape); });
  w.BeginDrag();
  return seen.join(u'|');
}

// One line per component: its name, palette page, header, icon size, and
// whether it was made as that class on the given parent; sorted.
QString Entry(const QString& name, const QString& page, const QString& header, QSize icon, const QWidget* made,
              const QWidget* parent) {
  return QStringLiteral("%1 on %2 from %3, icon %4x%5, made %6").arg(name, page, header).arg(icon.width())
      .arg(icon.height()).arg(made && made->metaObject()->className() == name && made->parentWidget() == parent);
}
QString Sorted(QStringList l) { return l.sort(), l.join(u'\n'); }

// Every component once, on one palette page for all.
const QString Expected = QString::fromUtf8(
    "TCCalendar on ソラメモ from components/Ccalendr/Ccalendr.h, icon 24x24, made 1\n"
    "TCColorGrid on ソラメモ from components/Cgrid/Cgrid.h, icon 24x24, made 1\n"
    "TCGauge on ソラメモ from components/Cgauges/Cgauges.h, icon 24x24, made 1\n"
    "TPerformanceGraph on ソラメモ from components/Perfgrap/Perfgrap.h, icon 24x24, made 1");

}  // namespace

class TestDesignerPlugin : public QObject {
  Q_OBJECT

 private slots:
  // The collection holds each component once; the plugin publishes it as Designer wants it.
  void collectionAndPlugin() {
    Cgauges::Register(); Cgauges::Register();  // twice: still one entry
    Ccalendr::Register(); Cgrid::Register(); Perfgrap::Register();
    QStringList got;
    for (const TRegisteredComponent& r : RegisteredComponents()) {
      QWidget parent;
      const QSize icon = QImage(r.cls.iconPath).size();
      got << Entry(r.cls.className, r.page, r.cls.header, icon, r.cls.create(&parent), &parent);
    }
    QCOMPARE(Sorted(got), Expected);
#ifndef SORAMEMO_TEST_PLUGIN
    QSKIP("the Designer plugin is not built here");
#else
    QPluginLoader loader(QStringLiteral(SORAMEMO_DESIGNER_PLUGIN));
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    QVERIFY2(collection, qPrintable(loader.errorString()));
    got.clear();
    for (QDesignerCustomWidgetInterface* w : collection->customWidgets()) {
      QWidget parent;
      const QWidget* made = w->createWidget(&parent);
      const QList<QSize> icons = w->icon().availableSizes();
      // A new component on a form is named after its class and gets its own size.
      const QString name = QStringLiteral("class=\"%1\" name=\"%2\"").arg(w->name(), w->name().mid(1) + '1');
      const QString size = QString("<width>%1</width><height>%2</height>").arg(made->width()).arg(made->height());
      got << Entry(w->name(), w->group(), w->includeFile(), icons.size() == 1 ? icons[0] : QSize(), made, &parent) +
                 (w->isContainer() ? ", a container" : "") + (w->domXml().contains(name) ? "" : ", " + w->domXml()) +
                 (w->domXml().contains(size) ? "" : ", " + w->domXml());
    }
    QCOMPARE(Sorted(got), Expected);
#endif
  }

  // The calendar shows in the designer what it publishes, and not the base
  // grid's shape, which would break its seven by seven layout.
  void calendarDesignerProperties() {
    const QMetaObject& meta = TCCalendar::staticMetaObject;
    QStringList shown;
    for (const char* p : {"ColCount", "RowCount", "FixedCols", "FixedRows", "DefaultColWidth", "DefaultRowHeight", "Col",
                          "Row", "Options", "GridLineWidth", "BorderStyle", "Color", "StartOfWeek", "UseCurrentDate", "DragKind"})
      if (meta.property(meta.indexOfProperty(p)).isDesignable()) shown << p;
    QCOMPARE(shown, QStringList({"GridLineWidth", "BorderStyle", "Color", "StartOfWeek", "UseCurrentDate", "DragKind"}));
  }

  // Key presses and drags reach the form through the components' own events.
  void keyAndDragEvents() {
    const QString common = QStringLiteral("key a|refused|over 5,6|accepted|over 20,6|refused|drop 5,6|");
    TCColorGrid grid;
    QCOMPARE(KeyAndDragEvents(grid), common + "start|end none");
    TCCalendar calendar, docked;
    QCOMPARE(KeyAndDragEvents(calendar), common + "start|end none");
    docked.SetDragKind(TCCalendar::dkDock);
    QObject::connect(&docked, &TCCalendar::OnStartDock, [] { seen << QStringLiteral("dock"); });
    QObject::connect(&docked, &TCCalendar::OnEndDock, [](QObject* target, int, int) {
      seen << (target ? "end dock on target" : "end dock none");
    });
    QCOMPARE(KeyAndDragEvents(docked), common + "dock|end dock none");
  }
};

QTEST_MAIN(TestDesignerPlugin)
#include "test_designer_plugin.moc"
