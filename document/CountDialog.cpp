#include "document/CountDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/RichEdit.h"
#include "tategaki/Genkou.h"

TCountDialog::TCountDialog(TRichEdit* edit, QWidget* parent) : QDialog(parent), edit_(edit) {
  setObjectName(QStringLiteral("CountDialog"));
  setWindowTitle(QStringLiteral("文字数カウント"));
  WholeDocument = new QRadioButton(QStringLiteral("文書全体(&D)"), this);
  WholeDocument->setObjectName(QStringLiteral("WholeDocument"));
  Selection = new QRadioButton(QStringLiteral("選択範囲(&S)"), this);
  Selection->setObjectName(QStringLiteral("Selection"));
  const bool hasSelection = edit_->GetSelLength() > 0;
  Selection->setEnabled(hasSelection);
  (hasSelection ? Selection : WholeDocument)->setChecked(true);

  auto* scope = new QHBoxLayout;
  scope->addWidget(WholeDocument);
  scope->addWidget(Selection);
  scope->addStretch();

  auto* form = new QFormLayout;
  const auto value = [this, form](QLabel*& label, const char* name, const QString& caption) {
    label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(caption, label);
  };
  value(Characters, "Characters", QStringLiteral("文字数（スペースを含む、改行を除く）:"));
  value(CharactersNoSpaces, "CharactersNoSpaces", QStringLiteral("文字数（スペース・改行を除く）:"));
  value(SjisBytes, "SjisBytes", QStringLiteral("バイト数（Shift-JIS）:"));
  value(Paragraphs, "Paragraphs", QStringLiteral("段落数:"));
  value(Sheets, "Sheets", QStringLiteral("原稿用紙（400字詰め）:"));
  value(LastSheetLines, "LastSheetLines", QStringLiteral("最後の1枚の行数:"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(scope);
  layout->addLayout(form);
  layout->addWidget(buttons);

  connect(WholeDocument, &QRadioButton::toggled, this, &TCountDialog::Recount);
  Recount();
}

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
