#include "components/Registry.h"

QString LoadStr(int id) {
  switch (id) {
    case 101: return QStringLiteral("ソラメモ");
    default: return QString();
  }
}

static QList<TRegisteredComponent>& Collection() {
  static QList<TRegisteredComponent> list;
  return list;
}

void RegisterComponents(const QString& page, const QList<TComponentClass>& classes) {
  for (const TComponentClass& c : classes) {
    bool known = false;
    for (const TRegisteredComponent& r : Collection())
      known = known || r.cls.className == c.className;
    if (!known) Collection().append({page, c});
  }
}

const QList<TRegisteredComponent>& RegisteredComponents() { return Collection(); }
