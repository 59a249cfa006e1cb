#include "app/TAboutBox.h"

#include <QKeyEvent>
#include <QScreen>

#include "platform/WidgetSetup.h"
#include "ui_TAboutBox.h"

// Resources of a static library are linked in only when referenced.
static void InitAboutResources() { Q_INIT_RESOURCE(about); }

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner), ui(new Ui::AboutBox) {
  InitAboutResources();
  ui->setupUi(this);
  ProgramIcon = ui->ProgramIcon;
  ProductName = ui->ProductName;
  Version = ui->Version;
  OKButton = ui->OKButton;
  // Set here rather than by a style sheet, which costs far more to apply.
  const QString sans = QStringLiteral("MS Sans Serif");
  const QString gothic = QStringLiteral("ＭＳ Ｐゴシック");
  setFont(PixelFont(sans, 11));
  ProductName->setFont(PixelFont(gothic, 16, true));
  Version->setFont(PixelFont(sans, 13));
  ui->Label1->setFont(PixelFont(gothic, 15));
  OKButton->setFont(PixelFont(sans, 12));
  // A fixed dialog border: no resizing, no minimise or maximise box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(size());
}

TAboutBox::~TAboutBox() { delete ui; }

void TAboutBox::keyPressEvent(QKeyEvent* e) {
  if (e->matches(QKeySequence::Cancel)) {
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

void TAboutBox::showEvent(QShowEvent* e) {
  // Centred on the screen every time it is shown, whoever owns it.
  if (QScreen* s = screen()) {
    const QRect area = s->geometry();
    const QSize outer = frameGeometry().size();
    move(area.x() + (area.width() - outer.width()) / 2,
         area.y() + (area.height() - outer.height()) / 2);
  }
  QDialog::showEvent(e);
  OKButton->setFocus(Qt::OtherFocusReason);
}
