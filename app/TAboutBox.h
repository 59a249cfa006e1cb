#pragma once
// The About window: product name, version and maker, closed only by OK.
#include <QDialog>

class QPushButton;
namespace Ui { class AboutBox; }

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* owner = nullptr);
  ~TAboutBox() override;

  QPushButton* OKButton = nullptr;

 protected:
  // There is no cancel button, so Escape does nothing; closing the window
  // still closes it.
  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  Ui::AboutBox* ui = nullptr;
};
