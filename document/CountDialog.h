#pragma once
// 文字数カウント: characters, Shift-JIS bytes, paragraphs and 原稿用紙 sheets of
// a document or of its selection.
#include <QDialog>

class QLabel;
class QRadioButton;
class TRichEdit;
namespace Ui { class TCountDialog; }

class TCountDialog : public QDialog {
  Q_OBJECT
 public:
  // Counts the selection when there is one, else the whole document.
  explicit TCountDialog(TRichEdit* edit, QWidget* parent = nullptr);
  ~TCountDialog() override;

  QRadioButton* WholeDocument = nullptr;
  QRadioButton* Selection = nullptr;
  QLabel* Characters = nullptr;
  QLabel* CharactersNoSpaces = nullptr;
  QLabel* SjisBytes = nullptr;
  QLabel* Paragraphs = nullptr;
  QLabel* Sheets = nullptr;
  QLabel* LastSheetLines = nullptr;

 public slots:
  // Counts the whole document or the selection, as the buttons say.
  void Recount();

 private:
  Ui::TCountDialog* ui;
  TRichEdit* edit_;
};
