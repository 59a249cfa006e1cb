#include "app/TOpeningForm.h"

#include "components/Cgauges/Cgauges.h"
#include "ui_TOpeningForm.h"

TOpeningForm::TOpeningForm(QWidget* owner) : QWidget(owner), ui(new Ui::OpeningForm) {
  ui->setupUi(this);
  Panel1 = ui->Panel1;
  Label1 = ui->Label1;
  CGauge1 = ui->CGauge1;
  // It only shows progress; clicks and keys go elsewhere.
  setAttribute(Qt::WA_ShowWithoutActivating);
  FormCreate();
}

TOpeningForm::~TOpeningForm() { delete ui; }

void TOpeningForm::FormCreate() {
  // Nothing of a window's decoration remains: no caption bar, border or
  // system menu; it stays above the frame being set up.
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                 Qt::WindowDoesNotAcceptFocus);
  update();
}
