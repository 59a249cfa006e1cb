#include "app/TOpeningForm.h"

#include "components/Cgauges/Cgauges.h"

TOpeningForm::TOpeningForm(QWidget* owner) : QWidget(owner) {
  CGauge1 = new TCGauge(this);
}
TOpeningForm::~TOpeningForm() = default;
void TOpeningForm::FormCreate() {}
