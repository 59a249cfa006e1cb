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

const std::pair<const char*, const char*> Components[] = {
    {"TCGauge", "components/Cgauges/Cgauges.h"},
    {"TCCalendar", "components/Ccalendr/Ccalendr.h"},
    {"TCColorGrid", "components/Cgrid/Cgrid.h"},
    {"TPerformanceGraph", "components/Perfgrap/Perfgrap.h"},
};

// What a form sees of a component's key and drag events, in order: a typed
// key, drags over it (refused until a handler takes them), a drop, and a drag
// from it cancelled with Escape. Events recorded elsewhere go into log.
template <class W>
QStringList KeyAndDragEvents(W& w, QStringList* log = nullptr) {
  QStringList own;
  QStringList& seen = log ? *log : own;
  QObject::connect(&w, &W::OnKeyPress, [&seen](QChar& key) { seen << QStringLiteral("key ") + key; });
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
  QObject::connect(&w, &W::OnDragOver, [&seen](QObject*, int x, int y, bool& accept) {
    seen << QStringLiteral("over %1,%2").arg(x).arg(y);
    accept = x < 10;
  });
  over(QPoint(5, 6));
  over(QPoint(20, 6));
  QObject::connect(&w, &W::OnDragDrop, [&seen](QObject*, int x, int y) { seen << QStringLiteral("drop %1,%2").arg(x).arg(y); });
  QDropEvent drop(QPointF(5, 6), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  QObject::connect(&w, &W::OnStartDrag, [&seen] { seen << QStringLiteral("start"); });
  QObject::connect(&w, &W::OnEndDrag, [&seen](QObject* target, int, int) {
    seen << (target ? QStringLiteral("end on target") : QStringLiteral("end none"));
  });
  QTimer::singleShot(50, &w, [&w] { QTest::keyClick(&w, Qt::Key_Escape); });
  w.BeginDrag();
  return log ? QStringList(*log) : own;
}

}  // namespace

class TestDesignerPlugin : public QObject {
  Q_OBJECT

 private slots:
  void collectionHoldsEachComponentOnce() {
    Cgauges::Register(); Cgauges::Register();  // twice: still one entry
    Ccalendr::Register(); Cgrid::Register(); Perfgrap::Register();
    QCOMPARE(RegisteredComponents().size(), int(std::size(Components)));
    for (const auto& [name, header] : Components) {
      const TRegisteredComponent* r = nullptr;
      for (const TRegisteredComponent& entry : RegisteredComponents())
        if (entry.cls.className == QLatin1String(name)) r = &entry;
      QVERIFY2(r, name);
      QCOMPARE(r->page, QString::fromUtf8("ソラメモ"));  // one palette page for all
      QCOMPARE(r->cls.header, QLatin1String(header));
      QCOMPARE(QImage(r->cls.iconPath).size(), QSize(24, 24));
      QWidget parent;
      QWidget* w = r->cls.create(&parent);
      QCOMPARE(w->metaObject()->className(), name);
      QCOMPARE(w->parentWidget(), &parent);
    }
  }

  void pluginPublishesEveryComponent() {
#ifndef SORAMEMO_TEST_PLUGIN
    QSKIP("the Designer plugin is not built here");
#else
    QPluginLoader loader(QStringLiteral(SORAMEMO_DESIGNER_PLUGIN));
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    QVERIFY2(collection, qPrintable(loader.errorString()));
    const QList<QDesignerCustomWidgetInterface*> widgets = collection->customWidgets();
    QCOMPARE(widgets.size(), int(std::size(Components)));
    for (const auto& [name, header] : Components) {
      QDesignerCustomWidgetInterface* w = nullptr;
      for (QDesignerCustomWidgetInterface* candidate : widgets)
        if (candidate->name() == QLatin1String(name)) w = candidate;
      QVERIFY2(w, name);
      QCOMPARE(w->group(), QString::fromUtf8("ソラメモ"));
      QCOMPARE(w->includeFile(), QLatin1String(header));
      QVERIFY(!w->isContainer());
      QCOMPARE(w->icon().availableSizes(), QList<QSize>{QSize(24, 24)});
      QWidget parent;
      QWidget* created = w->createWidget(&parent);
      QVERIFY2(created, name);
      QCOMPARE(created->metaObject()->className(), name);
      QCOMPARE(created->parentWidget(), &parent);
      // A new component on a form is named after its class and gets its own size.
      const QString object = QLatin1String(name + 1) + QLatin1Char('1');
      QVERIFY(w->domXml().contains(QStringLiteral("class=\"%1\" name=\"%2\"").arg(QLatin1String(name), object)));
      QVERIFY(w->domXml().contains(
          QStringLiteral("<width>%1</width><height>%2</height>").arg(created->width()).arg(created->height())));
    }
#endif
  }

  // The calendar shows in the designer what it publishes, and not the base
  // grid's shape, which would break its seven by seven layout.
  void calendarDesignerProperties_data() {
    QTest::addColumn<QString>("property");
    QTest::addColumn<bool>("designable");
    for (const char* hidden : {"ColCount", "RowCount", "FixedCols", "FixedRows", "DefaultColWidth",
                               "DefaultRowHeight", "Col", "Row", "Options"})
      QTest::newRow(hidden) << hidden << false;
    for (const char* shown : {"GridLineWidth", "BorderStyle", "Color", "StartOfWeek", "UseCurrentDate", "DragKind"})
      QTest::newRow(shown) << shown << true;
  }

  void calendarDesignerProperties() {
    QFETCH(QString, property);
    QFETCH(bool, designable);
    const QMetaObject& meta = TCCalendar::staticMetaObject;
    const int index = meta.indexOfProperty(property.toLatin1());
    QVERIFY(index >= 0);
    QCOMPARE(meta.property(index).isDesignable(), designable);
  }

  // Key presses and drags reach the form through the components' own events.
  void keyAndDragEvents_data() {
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("expected");
    const QString common = QStringLiteral("key a|refused|over 5,6|accepted|over 20,6|refused|drop 5,6|");
    QTest::newRow("calendar") << "calendar" << common + "start|end none";
    QTest::newRow("calendar docked") << "dock" << common + "dock|end dock none";
    QTest::newRow("colour grid") << "grid" << common + "start|end none";
  }

  void keyAndDragEvents() {
    QFETCH(QString, component);
    QFETCH(QString, expected);
    QStringList seen;
    if (component == QLatin1String("grid")) {
      TCColorGrid grid;
      seen = KeyAndDragEvents(grid);
    } else {
      TCCalendar calendar;
      if (component == QLatin1String("dock")) calendar.SetDragKind(TCCalendar::dkDock);
      QObject::connect(&calendar, &TCCalendar::OnStartDock, [&seen] { seen << QStringLiteral("dock"); });
      QObject::connect(&calendar, &TCCalendar::OnEndDock, [&seen](QObject* target, int, int) {
        seen << (target ? QStringLiteral("end dock on target") : QStringLiteral("end dock none"));
      });
      seen = KeyAndDragEvents(calendar, &seen);
    }
    QCOMPARE(seen.join(u'|'), expected);
  }
};

QTEST_MAIN(TestDesignerPlugin)
#include "test_designer_plugin.moc"
