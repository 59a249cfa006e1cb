#pragma once
// The form-designer collection: each component unit's Register() adds its
// classes here, and the designer plugin publishes whatever was added.
#include <QIcon>
#include <QList>
#include <QString>
#include <functional>

class QWidget;

struct TComponentClass {
  QString className;   // "TCGauge"
  QString header;      // include path used by uic, "components/Cgauges/Cgauges.h"
  QString iconPath;    // 24 x 24 palette bitmap, a Qt resource path
  QString toolTip;
  std::function<QWidget*(QWidget*)> create;
};

// The palette page string resource 101 names the page all four components share.
QString LoadStr(int id);

// Adds the classes to the collection under the given palette page. Registering a
// class twice keeps the first entry.
void RegisterComponents(const QString& page, const QList<TComponentClass>& classes);

struct TRegisteredComponent {
  QString page;
  TComponentClass cls;
};
const QList<TRegisteredComponent>& RegisteredComponents();
