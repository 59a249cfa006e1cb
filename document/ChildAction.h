#pragma once
// An action of the document window with its name, caption, hint and category.
#include <QAction>

inline QAction* MakeChildAction(QObject* owner, const char* name, const QString& caption,
                                const QString& shortHint, const QString& longHint,
                                const QString& category) {
  auto* a = new QAction(caption, owner);
  a->setObjectName(QString::fromLatin1(name));
  a->setToolTip(shortHint);
  a->setStatusTip(longHint);
  a->setProperty("Category", category);
  return a;
}
