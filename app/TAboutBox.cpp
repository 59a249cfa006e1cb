#include "app/TAboutBox.h"

#include <QKeyEvent>

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner) {}
TAboutBox::~TAboutBox() = default;
void TAboutBox::keyPressEvent(QKeyEvent* e) { QDialog::keyPressEvent(e); }
void TAboutBox::showEvent(QShowEvent* e) { QDialog::showEvent(e); }
