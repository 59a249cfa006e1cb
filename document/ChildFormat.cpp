// Document window: format toolbar.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QToolBar>

#include "document/FrameLink.h"
#include "document/TSoraChild.h"
#include "platform/RichEdit.h"

void TSoraChild::EditFontExecute() {
  FontDialog1.Font = RichEdit1->SelAttributes().ToFont(&FontDialog1.Color);
  FontDialog1.OnApply = [this](const QFont& font, TColor color) {
    FontDialog1.Font = font;
    FontDialog1.Color = color;
    FontDialog1Apply();
  };
  if (FontDialog1.Execute(this)) RichEdit1->SelAttributes().Assign(FontDialog1.Font, FontDialog1.Color);
}

void TSoraChild::FontDialog1Apply() {
  // The control of this window that last held the focus; the edit inside a
  // combo box counts as the combo box.
  QWidget* active = focusWidget();
  if (active && qobject_cast<QComboBox*>(active->parentWidget())) active = active->parentWidget();
  if (active && active->metaObject() == &QLineEdit::staticMetaObject) {
    auto* edit = static_cast<QLineEdit*>(active);
    edit->setFont(FontDialog1.Font);
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Text, ToQColor(FontDialog1.Color));
    edit->setPalette(pal);
  } else if (active && active->metaObject() == &TRichEdit::staticMetaObject) {
    static_cast<TRichEdit*>(active)->SelAttributes().Assign(FontDialog1.Font, FontDialog1.Color);
  } else {
    QApplication::beep();
  }
}

void TSoraChild::ViewToolBarExecute() {
  ToolBar1->setVisible(ToolBar1->isHidden());
  if (frame_) frame_->SetViewButtonChecked(!ToolBar1->isHidden());
}
