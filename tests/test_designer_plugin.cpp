// The Qt Designer plugin, loaded as Designer loads it.
#include <QPluginLoader>
#include <QtTest>

#include "components/Registry.h"

#if defined(SORAMEMO_DESIGNER_PLUGIN) && __has_include(<QtUiPlugin/QDesignerCustomWidgetCollectionInterface>)
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#define SORAMEMO_TEST_PLUGIN 1
#endif

namespace {

struct Expected {
  const char* className;
  const char* header;
};

// The components whose units are in the tree.
QList<Expected> ExpectedComponents() {
  QList<Expected> list;
#if __has_include("components/Cgauges/Cgauges.h")
  list << Expected{"TCGauge", "components/Cgauges/Cgauges.h"};
#endif
#if __has_include("components/Ccalendr/Ccalendr.h")
  list << Expected{"TCCalendar", "components/Ccalendr/Ccalendr.h"};
#endif
#if __has_include("components/Cgrid/Cgrid.h")
  list << Expected{"TCColorGrid", "components/Cgrid/Cgrid.h"};
#endif
  list << Expected{"TPerformanceGraph", "components/Perfgrap/Perfgrap.h"};
  return list;
}

}  // namespace

class TestDesignerPlugin : public QObject {
  Q_OBJECT

 private slots:
  void publishesEveryComponent();
};

void TestDesignerPlugin::publishesEveryComponent() {
#ifndef SORAMEMO_TEST_PLUGIN
  QSKIP("the Designer plugin is not built here");
#else
  QPluginLoader loader(QStringLiteral(SORAMEMO_DESIGNER_PLUGIN));
  QObject* instance = loader.instance();
  QVERIFY2(instance, qPrintable(loader.errorString()));
  auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(instance);
  QVERIFY(collection);

  const QList<QDesignerCustomWidgetInterface*> widgets = collection->customWidgets();
  const QList<Expected> expected = ExpectedComponents();
  QCOMPARE(widgets.size(), expected.size());
  for (const Expected& e : expected) {
    QDesignerCustomWidgetInterface* w = nullptr;
    for (QDesignerCustomWidgetInterface* candidate : widgets)
      if (candidate->name() == QLatin1String(e.className)) w = candidate;
    QVERIFY2(w, e.className);
    QCOMPARE(w->group(), LoadStr(101));  // one palette page for all
    QCOMPARE(w->includeFile(), QLatin1String(e.header));
    QVERIFY(!w->isContainer());
    QVERIFY(!w->toolTip().isEmpty());

    const QIcon icon = w->icon();
    QVERIFY2(!icon.isNull(), e.className);
    QCOMPARE(icon.availableSizes(), QList<QSize>{QSize(24, 24)});
    const QImage image = icon.pixmap(QSize(24, 24)).toImage();
    QCOMPARE(image.size(), QSize(24, 24));

    QWidget parent;
    QWidget* created = w->createWidget(&parent);
    QVERIFY2(created, e.className);
    QCOMPARE(created->metaObject()->className(), e.className);
    QCOMPARE(created->parentWidget(), &parent);
    QVERIFY(created->width() > 0 && created->height() > 0);
    QVERIFY(w->domXml().contains(QStringLiteral("class=\"%1\"").arg(QLatin1String(e.className))));
  }

  // A new graph on a form is named after its class and gets its own size.
  for (QDesignerCustomWidgetInterface* w : widgets) {
    if (w->name() != QLatin1String("TPerformanceGraph")) continue;
    QVERIFY(w->domXml().contains(QLatin1String("name=\"PerformanceGraph1\"")));
    QVERIFY(w->domXml().contains(QLatin1String("<width>100</width><height>100</height>")));
  }
#endif
}

QTEST_MAIN(TestDesignerPlugin)
#include "test_designer_plugin.moc"
