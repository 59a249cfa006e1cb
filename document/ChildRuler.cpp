// Document window: ruler.
#include <QFrame>

#include "document/FrameLink.h"
#include "document/TSoraChild.h"

void TSoraChild::ViewRulerExecute() {
  RulerPanel->setVisible(RulerPanel->isHidden());
  if (frame_) frame_->SetViewRulerChecked(!RulerPanel->isHidden());
}
