// The document window's 縦書き commands: the character count and the vertical preview.
#include "document/CountDialog.h"
#include "document/TSoraChild.h"
#include "document/TategakiPreview.h"
#include "platform/Dialogs.h"

void TSoraChild::ViewCharCountExecute() {
  TCountDialog dialog(RichEdit1, this);
  Dialogs::Exec(&dialog);
}

void TSoraChild::ViewTategakiExecute() {
  if (!preview_) {
    preview_ = new TTategakiPreview(RichEdit1, windowTitle(), this);
    connect(this, &QWidget::windowTitleChanged, preview_, &TTategakiPreview::SetCaption);
    preview_->show();
  }
  preview_->ShowCaretPage();
  preview_->raise();
  preview_->activateWindow();
}
