#include "app/TOpeningForm.h"

#include "components/Cgauges/Cgauges.h"
#include "platform/WidgetSetup.h"
#include "ui_TOpeningForm.h"

#include <QLabel>

// Nothing of a window's decoration: no caption bar, border or system menu; it
// stays above the frame being set up. Given at construction, since changing
// the flags later re-parents the window, a good part of its cost.
TOpeningForm::TOpeningForm(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus),
      ui(new Ui::OpeningForm) {
  ui->setupUi(this);
  Panel1 = ui->Panel1;
  Label1 = ui->Label1;
  CGauge1 = ui->CGauge1;
  // Set here rather than by a style sheet: that made the splash cost more
  // to build than the rest of the start-up.
  setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
  ui->Panel1Caption->setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 15, true));
  Label1->setFont(PixelFont(QStringLiteral("ＭＳ Ｐ明朝"), 53, true, true));
  // It only shows progress; clicks and keys go elsewhere.
  setAttribute(Qt::WA_ShowWithoutActivating);
  FormCreate();
}

TOpeningForm::~TOpeningForm() { delete ui; }

void TOpeningForm::FormCreate() { update(); }
