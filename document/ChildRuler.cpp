// Document window: the ruler and its indent markers.
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <climits>
#include <cmath>

#include "document/ChildAction.h"
#include "document/EventHook.h"
#include "document/FrameLink.h"
#include "document/RulerMarker.h"
#include "document/TSoraChild.h"
#include "platform/RichEdit.h"
#include "platform/WidgetSetup.h"

namespace {

const QString kScale = [] {
  QString s;
  for (int n = 1; n <= 30; ++n) s += QStringLiteral("・・・") + QString::number(n);
  return s;
}();

// Both directions multiply or divide at full precision and truncate toward
// zero; results beyond int keep to its ends.
int Truncated(double v) {
  if (v >= double(INT_MAX)) return INT_MAX;
  if (v <= double(INT_MIN)) return INT_MIN;
  return int(std::trunc(v));
}
int ToPixels(double points) { return Truncated(points * double(TSoraChild::RulerScale)); }
int ToPoints(double pixels) { return Truncated(pixels / double(TSoraChild::RulerScale)); }

}  // namespace

void TSoraChild::CreateRuler() {
  RulerPanel->setFixedHeight(36);
  RulerPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  RulerPanel->setLineWidth(1);
  RulerPanel->setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
  SetHint(RulerPanel, QStringLiteral("ルーラー"), QStringLiteral("余白の設定をします。"));

  auto* ruler = new QLabel(kScale, RulerPanel);
  ruler->setObjectName(QStringLiteral("Ruler"));
  ruler->setGeometry(1, 11, 600, 14);
  ruler->setAutoFillBackground(true);
  QPalette pal = ruler->palette();
  pal.setColor(QPalette::Window, ToQColor(clNavy));
  pal.setColor(QPalette::WindowText, ToQColor(clYellow));
  ruler->setPalette(pal);
  ruler->setFont(PixelFont(QStringLiteral("ＭＳ ゴシック"), 12));
  ruler->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ruler->setIndent(1);
  ruler->setWordWrap(false);
  ruler->setTextFormat(Qt::PlainText);
  Ruler = ruler;

  RulerLine = new QFrame(Ruler);
  RulerLine->setObjectName(QStringLiteral("RulerLine"));
  RulerLine->setGeometry(1, 1, 598, 12);
  RulerLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  RulerLine->setLineWidth(1);
  SetHint(RulerLine, QStringLiteral("目盛"), QStringLiteral("余白設定時の目盛です。"));

  const auto marker = [this](const char* name, TRulerMarker::TDirection dir, TColor color, int left,
                             int top, const QString& hintShort, const QString& hintLong) {
    auto* m = new TRulerMarker(dir, color, RulerPanel);
    m->setObjectName(QLatin1String(name));
    m->setGeometry(left, top, 12, 12);
    SetHint(m, hintShort, hintLong);
    m->raise();
    connect(m, &TRulerMarker::OnMouseDown, this,
            [this, m](Qt::MouseButton, int x) { RulerItemMouseDown(m, x); });
    connect(m, &TRulerMarker::OnMouseMove, this, [this, m](int x) { RulerItemMouseMove(m, x); });
    return m;
  };
  FirstInd = marker("FirstInd", TRulerMarker::Down, clRed, 2, 1, QStringLiteral("左余白"),
                    QStringLiteral("最初の行と改行時の左余白を設定します。"));
  LeftInd = marker("LeftInd", TRulerMarker::Up, clBlue, 2, 23, QStringLiteral("左余白"),
                   QStringLiteral("連続入力時の左余白を設定します。"));
  RightInd = marker("RightInd", TRulerMarker::Up, clFuchsia, 498, 23, QStringLiteral("右余白"),
                    QStringLiteral("右の余白を設定します。"));
  connect(FirstInd, &TRulerMarker::OnMouseUp, this, &TSoraChild::FirstIndMouseUp);
  connect(LeftInd, &TRulerMarker::OnMouseUp, this, &TSoraChild::LeftIndMouseUp);
  connect(RightInd, &TRulerMarker::OnMouseUp, this, &TSoraChild::RightIndMouseUp);

  const auto onResize = [](QObject* target, std::function<void()> fn) {
    new TEventHook(target, [fn](QEvent* e) {
      if (e->type() == QEvent::Resize) fn();
      return false;
    });
  };
  onResize(RulerPanel, [this] { RulerPanelResize(); });
  onResize(Ruler, [this] { RulerResize(); });
  onResize(this, [this] { FormResize(); });
  // Hidden, the ruler keeps the width of the form as designed until it is
  // first shown; the markers are placed against that width meanwhile.
  RulerPanel->resize(RulerPanel->parentWidget()->width(), RulerPanel->height());
  RulerPanelResize();
  RulerResize();

  ViewRuler = MakeChildAction(this, "ViewRuler", QStringLiteral("ルーラー"), QStringLiteral("ルーラー表示"),
                              QStringLiteral("ルーラーを表示します。"), QStringLiteral("表示"),
                              &TSoraChild::ViewRulerExecute);
}

void TSoraChild::PlaceRulerMarkers() {
  TParaAttributes& para = RichEdit1->Paragraph();
  const double first = para.GetFirstIndent();
  const double left = para.GetLeftIndent();
  const double right = para.GetRightIndent();
  FirstInd->move(Truncated(double(ToPixels(first)) + 2), FirstInd->y());
  LeftInd->move(Truncated(double(ToPixels(left + first)) + 2), LeftInd->y());
  RightInd->move(Truncated(double(Ruler->width() - 6) - ToPixels(right + 6)), RightInd->y());
}

void TSoraChild::RulerItemMouseDown(TRulerMarker* Sender, int X) {
  DragOffset = Sender->width() / 2;
  Sender->move(Sender->x() + X - DragOffset, Sender->y());
  Dragging = true;
  dragMoved_ = false;
}

void TSoraChild::RulerItemMouseMove(TRulerMarker* Sender, int X) {
  if (!Dragging || X == DragOffset) return;
  Sender->move(Sender->x() + X - DragOffset, Sender->y());
  dragMoved_ = true;
}

// A release that ends a drag during which the marker moved sets the indent;
// any other release (a press without movement, or a second button let go)
// sets nothing, and the reflection puts the markers back where the indents say.
bool TSoraChild::EndDrag() {
  const bool moved = Dragging && dragMoved_;
  Dragging = false;
  dragMoved_ = false;
  return moved;
}

void TSoraChild::ApplyLeftInd() {
  TParaAttributes& para = RichEdit1->Paragraph();
  const int total = ToPoints(double(LeftInd->x()) + DragOffset - 6);
  para.SetLeftIndent(Truncated(double(total) - para.GetFirstIndent()));
}

void TSoraChild::FirstIndMouseUp() {
  if (EndDrag()) {
    RichEdit1->Paragraph().SetFirstIndent(ToPoints(double(FirstInd->x()) + DragOffset - 6));
    // The following lines keep their place on the ruler against the new first line.
    ApplyLeftInd();
  }
  RichEdit1SelectionChange();
}

void TSoraChild::LeftIndMouseUp() {
  if (EndDrag()) ApplyLeftInd();
  RichEdit1SelectionChange();
}

void TSoraChild::RightIndMouseUp() {
  if (EndDrag()) {
    const int points = ToPoints(double(Ruler->width()) - RightInd->x() + DragOffset - 2);
    RichEdit1->Paragraph().SetRightIndent(Truncated(double(points) - 12));
  }
  RichEdit1SelectionChange();
}

void TSoraChild::RulerPanelResize() {
  Ruler->resize(RulerPanel->width() - 2 * Ruler->x(), Ruler->height());
}

void TSoraChild::RulerResize() {
  RulerLine->resize(Ruler->width() - 2 * RulerLine->x(), RulerLine->height());
}

// The markers stay where they are until the next selection change.
void TSoraChild::FormResize() {}

void TSoraChild::ViewRulerExecute() {
  RulerPanel->setVisible(RulerPanel->isHidden());
  if (frame_) frame_->SetViewRulerChecked(!RulerPanel->isHidden());
}
