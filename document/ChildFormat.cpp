// Document window: format toolbar.
#include <QToolBar>

#include "document/FrameLink.h"
#include "document/TSoraChild.h"

void TSoraChild::ViewToolBarExecute() {
  ToolBar1->setVisible(ToolBar1->isHidden());
  if (frame_) frame_->SetViewButtonChecked(!ToolBar1->isHidden());
}
