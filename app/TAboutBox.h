#pragma once
// The About window: product name, version and maker, closed by OK.
#include <QDialog>

class QPushButton;
class QLabel;
namespace Ui { class AboutBox; }

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* owner = nullptr);
  ~TAboutBox() override;

  QLabel* ProgramIcon = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QPushButton* OKButton = nullptr;

 protected:
  // There is no cancel button, so Escape does nothing; closing the window
  // still closes it.
  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  Ui::AboutBox* ui;
};
