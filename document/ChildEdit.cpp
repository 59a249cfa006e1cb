// Document window: editing commands.
#include "document/TSoraChild.h"
#include "platform/RichEdit.h"

void TSoraChild::EditUndoExecute() { RichEdit1->Undo(); }

void TSoraChild::EditSelectAllExecute() { RichEdit1->SelectAll(); }
