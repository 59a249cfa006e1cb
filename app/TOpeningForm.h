#pragma once
// The splash window shown while the main frame is being set up.
#include <QWidget>

class TCGauge;
class QFrame;
class QLabel;
namespace Ui { class OpeningForm; }

class TOpeningForm : public QWidget {
  Q_OBJECT
 public:
  explicit TOpeningForm(QWidget* owner = nullptr);
  ~TOpeningForm() override;

  QFrame* Panel1 = nullptr;
  QLabel* Label1 = nullptr;
  TCGauge* CGauge1 = nullptr;

 private slots:
  void FormCreate();

 private:
  Ui::OpeningForm* ui;
};
