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

QStringList Sorted(QStringList l) { return l.sort(), l; }

// One line per component: its name, palette page, header, icon size, and
// whether it was made as that class on the given parent.
QString Entry(const QString& name, const QString& page, const QString& header, QSize icon, bool made) {
  return QStringLiteral("%1 on %2 from %3, icon %4x%5, made %6").arg(name, page, header).arg(icon.width())
      .arg(icon.height()).arg(made);
}
bool Made(const QWidget* w, const QString& name, const QWidget* parent) {
  return w && w->metaObject()->className() == name && w->parentWidget() == parent;
}

// Every component once, on one palette page for all.
QStringList Expected() {
  QStringList out;
  for (const auto& [name, header] : Components) out << Entry(name, QString::fromUtf8("ソラメモ"), header, QSize(24, 24), true);
  return Sorted(out);
}

}  // namespace

class TestDesignerPlugin : public QObject {
  Q_OBJECT

 private slots:
  void collectionHoldsEachComponentOnce() {
    Cgauges::Register(); Cgauges::Register();  // twice: still one entry
    Ccalendr::Register(); Cgrid::Register(); Perfgrap::Register();
    QStringList got;
    for (const TRegisteredComponent& r : RegisteredComponents()) {
      QWidget parent;
      const QWidget* w = r.cls.create(&parent);
      got << Entry(r.cls.className, r.page, r.cls.header, QImage(r.cls.iconPath).size(), Made(w, r.cls.className, &parent));
    }
    QCOMPARE(Sorted(got), Expected());
  }

  void pluginPublishesEveryComponent() {
#ifndef SORAMEMO_TEST_PLUGIN
    QSKIP("the Designer plugin is not built here");
#else
    QPluginLoader loader(QStringLiteral(SORAMEMO_DESIGNER_PLUGIN));
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    QVERIFY2(collection, qPrintable(loader.errorString()));
    QStringList got;
    for (QDesignerCustomWidgetInterface* w : collection->customWidgets()) {
      QWidget parent;
      const QWidget* created = w->createWidget(&parent);
      const QList<QSize> icons = w->icon().availableSizes();
      got << Entry(w->name(), w->group(), w->includeFile(), icons.size() == 1 ? icons[0] : QSize(),
                   Made(created, w->name(), &parent));
      QVERIFY(!w->isContainer());
      // A new component on a form is named after its class and gets its own size.
      const QString object = w->name().mid(1) + QLatin1Char('1');
      QVERIFY2(w->domXml().contains(QStringLiteral("class=\"%1\" name=\"%2\"").arg(w->name(), object)), qPrintable(w->domXml()));
      QVERIFY(w->domXml().contains(
          QStringLiteral("<width>%1</width><height>%2</height>").arg(created->width()).arg(created->height())));
    }
    QCOMPARE(Sorted(got), Expected());
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
    QCOMPARE(KeyAndDragEvents(grid).join(u'|'), common + "start|end none");
    TCCalendar calendar, docked;
    QCOMPARE(KeyAndDragEvents(calendar).join(u'|'), common + "start|end none");
    docked.SetDragKind(TCCalendar::dkDock);
    QStringList seen;
    QObject::connect(&docked, &TCCalendar::OnStartDock, [&seen] { seen << QStringLiteral("dock"); });
    QObject::connect(&docked, &TCCalendar::OnEndDock, [&seen](QObject* target, int, int) {
      seen << (target ? QStringLiteral("end dock on target") : QStringLiteral("end dock none"));
    });
    QCOMPARE(KeyAndDragEvents(docked, &seen).join(u'|'), common + "dock|end dock none");
  }
};

QTEST_MAIN(TestDesignerPlugin)
#include "test_designer_plugin.moc"
