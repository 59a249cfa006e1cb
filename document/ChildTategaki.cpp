// The document window's 縦書き commands: the character count and the vertical preview.
#include "document/CountDialog.h"
#include "document/TSoraChild.h"
#include "platform/Dialogs.h"

void TSoraChild::ViewCharCountExecute() {
  TCountDialog dialog(RichEdit1, this);
  Dialogs::Exec(&dialog);
}
