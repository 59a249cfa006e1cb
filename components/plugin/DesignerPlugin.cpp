// Qt Designer plugin: every class of the form-designer collection becomes a
// custom widget on the collection's palette page.
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QObject>
#include <QWidget>
#include <memory>

#include "components/Registry.h"

#include "components/Ccalendr/Ccalendr.h"
#include "components/Cgauges/Cgauges.h"
#include "components/Cgrid/Cgrid.h"
#include "components/Perfgrap/Perfgrap.h"

namespace {

class TDesignerWidget : public QObject, public QDesignerCustomWidgetInterface {
  Q_OBJECT
  Q_INTERFACES(QDesignerCustomWidgetInterface)

 public:
  TDesignerWidget(const TRegisteredComponent& entry, QObject* parent)
      : QObject(parent), FEntry(entry) {}

  QString name() const override { return FEntry.cls.className; }
  QString group() const override { return FEntry.page; }
  QString toolTip() const override { return FEntry.cls.toolTip; }
  QString whatsThis() const override { return FEntry.cls.toolTip; }
  QString includeFile() const override { return FEntry.cls.header; }
  QIcon icon() const override { return QIcon(FEntry.cls.iconPath); }
  bool isContainer() const override { return false; }
  QWidget* createWidget(QWidget* parent) override {
    return FEntry.cls.create ? FEntry.cls.create(parent) : nullptr;
  }
  bool isInitialized() const override { return FInitialized; }
  void initialize(QDesignerFormEditorInterface*) override { FInitialized = true; }

  // A new component is named like the class without its T ("PerformanceGraph1")
  // and placed at the size its constructor gives it.
  QString domXml() const override {
    QString object = name();
    if (object.startsWith(QLatin1Char('T'))) object.remove(0, 1);
    object += QLatin1Char('1');
    QString geometry;
    if (FEntry.cls.create) {
      std::unique_ptr<QWidget> probe(FEntry.cls.create(nullptr));
      if (probe) {
        geometry = QStringLiteral(
                       "<property name=\"geometry\"><rect><x>0</x><y>0</y>"
                       "<width>%1</width><height>%2</height></rect></property>")
                       .arg(probe->width())
                       .arg(probe->height());
      }
    }
    return QStringLiteral("<ui language=\"c++\"><widget class=\"%1\" name=\"%2\">%3</widget></ui>")
        .arg(name(), object, geometry);
  }

 private:
  TRegisteredComponent FEntry;
  bool FInitialized = false;
};

class TSoramemoComponents : public QObject, public QDesignerCustomWidgetCollectionInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QDesignerCustomWidgetCollectionInterface_iid)
  Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

 public:
  explicit TSoramemoComponents(QObject* parent = nullptr) : QObject(parent) {
    Cgauges::Register();
    Ccalendr::Register();
    Cgrid::Register();
    Perfgrap::Register();
    for (const TRegisteredComponent& entry : RegisteredComponents())
      FWidgets.append(new TDesignerWidget(entry, this));
  }

  QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return FWidgets; }

 private:
  QList<QDesignerCustomWidgetInterface*> FWidgets;
};

}  // namespace

#include "DesignerPlugin.moc"
