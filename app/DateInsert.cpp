// The frame's date commands: the picker's date in three notations.
#include <QDateEdit>

#include "app/TSoraForm.h"
#include "document/TSoraChild.h"
#include "platform/FormatDateTime.h"

namespace {
const QString kWareki = QStringLiteral("ggge'年'mmmmd'日'[aaaa]");
const QString kSeireki1 = QStringLiteral("dddddd[aaaa]");
const QString kSeireki2 = QStringLiteral("ddddd(aaa)");
}  // namespace

void TSoraForm::EditDateWaExecute() { InsertDate(kWareki); }
void TSoraForm::EditDateJwaExecute() { InsertDate(kSeireki1); }
void TSoraForm::EditDateSeiExecute() { InsertDate(kSeireki2); }

void TSoraForm::InsertDate(const QString& format) {
  TSoraChild* child = ActiveChild();
  if (!child) return;
  child->InsertDate(FormatDateTime(format, DateTimePicker1->date()));
}
