// Drags as the grids publish them: a typed character, and drags over, onto and
// from the control. Qt's drag and drop carries them; the control emits its own
// events from what is here.
#pragma once

#include <QChar>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QWidget>

namespace controldrag {

// The typed character of a key press, or a null character for keys that type
// nothing (arrows, function keys): those raise no key-press event.
inline QChar Typed(const QKeyEvent* e) { return e->text().isEmpty() ? QChar() : e->text().front(); }

// A drag over the control is accepted when a handler is connected to its
// OnDragOver (which only the control can tell) and leaves its accept flag set;
// without a handler nothing is accepted. The source is the widget the drag
// came from (nullptr: another program).
template <class Control>
void DragOver(Control* control, QDragMoveEvent* e, bool handled) {
  bool accept = handled;
  const QPoint p = e->position().toPoint();
  if (handled) emit control->OnDragOver(e->source(), p.x(), p.y(), accept);
  if (accept) e->acceptProposedAction();
  else e->ignore();
}

// A drop on the control: its OnDragDrop, with the point in the control.
template <class Control>
void Drop(Control* control, QDropEvent* e) {
  const QPoint p = e->position().toPoint();
  e->acceptProposedAction();
  emit control->OnDragDrop(e->source(), p.x(), p.y());
}

// Where a drag of the control ended: the widget it was dropped on (nullptr when
// cancelled or dropped nowhere) and the drop point in that widget.
struct End {
  QObject* target = nullptr;
  QPoint at;
};

// Drags the control itself until the button is released or Escape is pressed.
inline End Run(QWidget* control) {
  auto* drag = new QDrag(control);
  auto* data = new QMimeData;
  data->setData(QStringLiteral("application/x-soramemo-control"), control->objectName().toUtf8());
  drag->setMimeData(data);
  const Qt::DropAction done = drag->exec(Qt::MoveAction | Qt::CopyAction);
  End end;
  if (done != Qt::IgnoreAction) {
    if (auto* target = qobject_cast<QWidget*>(drag->target())) {
      end.target = target;
      end.at = target->mapFromGlobal(QCursor::pos());
    }
  }
  return end;
}

}  // namespace controldrag
