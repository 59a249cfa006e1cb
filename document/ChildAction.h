#pragma once
// The one way the document window makes an action: its name, caption, hints
// and category, and the handler it runs.
#include <QAction>

template <class Owner>
QAction* MakeChildAction(Owner* owner, const char* name, const QString& caption, const QString& shortHint,
                         const QString& longHint, const QString& category, void (Owner::*handler)()) {
  auto* a = new QAction(caption, owner);
  a->setObjectName(QString::fromLatin1(name));
  a->setToolTip(shortHint);
  a->setStatusTip(longHint);
  a->setProperty("Category", category);
  QObject::connect(a, &QAction::triggered, owner, handler);
  return a;
}
