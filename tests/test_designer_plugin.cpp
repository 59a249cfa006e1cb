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
};

QTEST_MAIN(TestDesignerPlugin)
#include "test_designer_plugin.moc"
