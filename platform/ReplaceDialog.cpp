#include "platform/ReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TReplaceDialog::TReplaceDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ReplaceDialog1");
  setWindowTitle(QStringLiteral("置換"));
  setModal(false);

  auto* findLabel = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
  auto* replaceLabel = new QLabel(QStringLiteral("置換後の文字列(&P):"), this);
  findEdit_ = new QLineEdit(this);
  findEdit_->setObjectName("FindEdit");
  replaceEdit_ = new QLineEdit(this);
  replaceEdit_->setObjectName("ReplaceEdit");
  findLabel->setBuddy(findEdit_);
  replaceLabel->setBuddy(replaceEdit_);
  wholeWord_ = new QCheckBox(QStringLiteral("単語単位で探す(&W)"), this);
  matchCase_ = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
  auto* direction = new QGroupBox(QStringLiteral("方向"), this);
  up_ = new QRadioButton(QStringLiteral("上へ(&U)"), direction);
  down_ = new QRadioButton(QStringLiteral("下へ(&D)"), direction);
  auto* dirLayout = new QHBoxLayout(direction);
  dirLayout->addWidget(up_);
  dirLayout->addWidget(down_);

  findButton_ = new QPushButton(QStringLiteral("次を検索(&F)"), this);
  findButton_->setObjectName("FindNextButton");
  replaceButton_ = new QPushButton(QStringLiteral("置換して次に(&R)"), this);
  replaceButton_->setObjectName("ReplaceButton");
  replaceAllButton_ = new QPushButton(QStringLiteral("すべて置換(&A)"), this);
  replaceAllButton_->setObjectName("ReplaceAllButton");
  cancelButton_ = new QPushButton(QStringLiteral("キャンセル"), this);
  cancelButton_->setObjectName("CancelButton");
  findButton_->setDefault(true);

  auto* grid = new QGridLayout;
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(findEdit_, 0, 1);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(replaceEdit_, 1, 1);
  auto* left = new QVBoxLayout;
  left->addLayout(grid);
  left->addWidget(wholeWord_);
  left->addWidget(matchCase_);
  left->addWidget(direction);
  left->addStretch();
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(findButton_);
  buttons->addWidget(replaceButton_);
  buttons->addWidget(replaceAllButton_);
  buttons->addWidget(cancelButton_);
  buttons->addStretch();
  auto* top = new QHBoxLayout(this);
  top->addLayout(left, 1);
  top->addLayout(buttons);

  // Nothing to find without a find text.
  const auto enable = [this] {
    const bool any = !findEdit_->text().isEmpty();
    findButton_->setEnabled(any);
    replaceButton_->setEnabled(any);
    replaceAllButton_->setEnabled(any);
  };
  connect(findEdit_, &QLineEdit::textChanged, this, enable);
  enable();

  connect(wholeWord_, &QCheckBox::toggled, this, [this](bool on) {
    options_ = on ? (options_ | frWholeWord) : (options_ & ~frWholeWord);
  });
  connect(matchCase_, &QCheckBox::toggled, this, [this](bool on) {
    options_ = on ? (options_ | frMatchCase) : (options_ & ~frMatchCase);
  });
  connect(down_, &QRadioButton::toggled, this, [this](bool on) {
    options_ = on ? (options_ | frDown) : (options_ & ~frDown);
  });
  connect(findButton_, &QPushButton::clicked, this, [this] {
    options_ &= ~(frReplace | frReplaceAll);
    emit OnFind();
  });
  connect(replaceButton_, &QPushButton::clicked, this, [this] {
    options_ = (options_ | frReplace) & ~frReplaceAll;
    emit OnReplace();
  });
  connect(replaceAllButton_, &QPushButton::clicked, this, [this] {
    options_ = (options_ | frReplaceAll) & ~frReplace;
    emit OnReplace();
  });
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  SyncOptionWidgets();
}

QString TReplaceDialog::GetFindText() const { return findEdit_->text(); }
void TReplaceDialog::SetFindText(const QString& text) { findEdit_->setText(text); }
QString TReplaceDialog::GetReplaceText() const { return replaceEdit_->text(); }
void TReplaceDialog::SetReplaceText(const QString& text) { replaceEdit_->setText(text); }
int TReplaceDialog::GetOptions() const { return options_; }

void TReplaceDialog::SetOptions(int options) {
  options_ = options;
  SyncOptionWidgets();
}

void TReplaceDialog::SyncOptionWidgets() {
  const QSignalBlocker b1(wholeWord_), b2(matchCase_), b3(down_), b4(up_);
  wholeWord_->setChecked(options_ & frWholeWord);
  matchCase_->setChecked(options_ & frMatchCase);
  down_->setChecked(options_ & frDown);
  up_->setChecked(!(options_ & frDown));
  wholeWord_->setEnabled(!(options_ & frDisableWholeWord));
  matchCase_->setEnabled(!(options_ & frDisableMatchCase));
  up_->setEnabled(!(options_ & frDisableUpDown));
  down_->setEnabled(!(options_ & frDisableUpDown));
}

void TReplaceDialog::Execute() {
  if (hasPosition_) move(position_);
  show();
  raise();
  activateWindow();
  findEdit_->setFocus();
}
