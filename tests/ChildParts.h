#pragma once
// The document window's parts, found by object name as a user finds them on screen.
#include <QObject>

template <class T>
T* Part(const QObject* window, const char* name) {
  T* part = window->findChild<T*>(QString::fromLatin1(name));
  if (!part) qWarning("no part %s", name);
  return part;
}
