#pragma once
// Calls a function for every event a widget receives, for the form's handlers
// that Qt delivers only to virtual functions (presses, clicks, resizes).
#include <QEvent>
#include <QObject>
#include <functional>
#include <utility>

class TEventHook : public QObject {
 public:
  // fn returns true to consume the event. The hook lives as long as target.
  TEventHook(QObject* target, std::function<bool(QEvent*)> fn)
      : QObject(target), fn_(std::move(fn)) {
    target->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override { return fn_(e); }

 private:
  std::function<bool(QEvent*)> fn_;
};
