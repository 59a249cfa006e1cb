#include "document/CountDialog.h"

#include <QLocale>

#include "platform/RichEdit.h"
#include "tategaki/Genkou.h"
#include "ui_TCountDialog.h"

TCountDialog::TCountDialog(TRichEdit* edit, QWidget* parent)
    : QDialog(parent), ui(new Ui::TCountDialog), edit_(edit) {
  ui->setupUi(this);
  WholeDocument = ui->WholeDocument;
  Selection = ui->Selection;
  Characters = ui->Characters;
  CharactersNoSpaces = ui->CharactersNoSpaces;
  SjisBytes = ui->SjisBytes;
  Paragraphs = ui->Paragraphs;
  Sheets = ui->Sheets;
  LastSheetLines = ui->LastSheetLines;

  const bool hasSelection = edit_->GetSelLength() > 0;
  Selection->setEnabled(hasSelection);
  (hasSelection ? Selection : WholeDocument)->setChecked(true);
  connect(WholeDocument, &QRadioButton::toggled, this, &TCountDialog::Recount);
  Recount();
}

TCountDialog::~TCountDialog() { delete ui; }

void TCountDialog::Recount() {
  const bool selection = Selection->isChecked();
  const tategaki::Count c = tategaki::CountText(selection ? edit_->GetSelText() : edit_->GetText());
  const int bytes = selection ? edit_->GetSelLength() : edit_->GetTextLen();
  const QLocale locale(QLocale::Japanese, QLocale::Japan);
  Characters->setText(locale.toString(c.characters));
  CharactersNoSpaces->setText(locale.toString(c.charactersNoSpaces));
  SjisBytes->setText(locale.toString(bytes));
  Paragraphs->setText(locale.toString(c.paragraphs));
  Sheets->setText(QStringLiteral("%1 枚").arg(locale.toString(c.sheets)));
  LastSheetLines->setText(QStringLiteral("%1 行").arg(c.lastSheetLines));
}
