// Document window: the format toolbar, the colour and font dialogs, and the
// reflection of the caret's formatting into the toolbar and the ruler.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

#include "document/ChildAction.h"
#include "document/EventHook.h"
#include "document/FrameLink.h"
#include "document/TSoraChild.h"
#include "document/UpDown.h"
#include "platform/RichEdit.h"
#include "platform/WidgetSetup.h"

static void InitFormatResources() { Q_INIT_RESOURCE(format); }

namespace {

// A field's background shows a colour.
void ShowColor(QLineEdit* field, TColor color) {
  if (field->palette().color(QPalette::Base) == ToQColor(color)) return;  // no repaint for nothing
  QPalette pal = field->palette();
  pal.setColor(QPalette::Base, ToQColor(color));
  field->setPalette(pal);
}

void SetTextColor(QWidget* w, TColor color) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Text, ToQColor(color));
  w->setPalette(pal);
}

// Keeps the text cursor of an edit out of sight until the edit loses the focus.
class CaretHider : public QObject {
 public:
  explicit CaretHider(QLineEdit* edit) : QObject(edit), edit_(edit) {
    edit->setReadOnly(true);
    edit->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::FocusOut) {
      edit_->removeEventFilter(this);
      edit_->setReadOnly(false);
      deleteLater();
    }
    return false;
  }

 private:
  QLineEdit* edit_;
};

// Hides the caret of the control that holds the focus.
void HideCaret() {
  auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  if (edit && !edit->isReadOnly()) new CaretHider(edit);
}

// Focus for the control; false, and nothing done, when it cannot take it.
bool TakeFocus(QWidget* w) {
  if (!w->isVisible() || !w->isEnabled()) return false;
  w->setFocus();
  return true;
}

// Calls press on any button press and click on a left click (press and
// release inside the control).
void HookClicks(QWidget* w, std::function<void()> press, std::function<void()> click) {
  new TEventHook(w, [w, press, click](QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress) {
      press();
    } else if (e->type() == QEvent::MouseButtonRelease) {
      auto* me = static_cast<QMouseEvent*>(e);
      if (me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint())) click();
    }
    return false;
  });
}

// A gap between groups of buttons, with an etched line when wide enough.
QWidget* Separator(const char* name, int width) {
  auto* s = new QWidget;
  s->setObjectName(QLatin1String(name));
  s->setFixedSize(width, 22);
  if (width >= 8) {
    new TEventHook(s, [s](QEvent* e) {
      if (e->type() == QEvent::Paint) {
        QPainter p(s);
        QStyleOption opt;
        opt.initFrom(s);
        opt.state |= QStyle::State_Horizontal;
        s->style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &opt, &p, s);
        return true;
      }
      return false;
    });
  }
  return s;
}

}  // namespace

void TSoraChild::CreateFormatToolBar() {
  InitFormatResources();

  const QString edit = QStringLiteral("編集");
  EditB = MakeChildAction(this, "EditB", QStringLiteral("太文字処理"), QStringLiteral("太字"),
                          QStringLiteral("選択部分を太字にします。"), edit, &TSoraChild::EditBExecute);
  EditI = MakeChildAction(this, "EditI", QStringLiteral("傾斜文字の処理"), QStringLiteral("斜字"),
                          QStringLiteral("選択部分を斜字にします。"), edit, &TSoraChild::EditIExecute);
  EditU = MakeChildAction(this, "EditU", QStringLiteral("下線の処理"), QStringLiteral("下線"),
                          QStringLiteral("選択部分に下線を付けます。"), edit, &TSoraChild::EditUExecute);
  EditAlignL = MakeChildAction(this, "EditAlignL", QStringLiteral("左寄せ"), QStringLiteral("左寄せ"),
                               QStringLiteral("文字列を左に寄せます。"), edit, &TSoraChild::EditAlignLExecute);
  EditAlignC = MakeChildAction(this, "EditAlignC", QStringLiteral("中央寄せ"), QStringLiteral("中央寄せ"),
                               QStringLiteral("文字列を中央に寄せます。"), edit, &TSoraChild::EditAlignCExecute);
  EditAlignR = MakeChildAction(this, "EditAlignR", QStringLiteral("右寄せ"), QStringLiteral("右寄せ"),
                               QStringLiteral("文字列を右に寄せます。"), edit, &TSoraChild::EditAlignRExecute);
  EditNum = MakeChildAction(this, "EditNum", QStringLiteral("ナンバリングの処理"), QStringLiteral("ナンバリング"),
                            QStringLiteral("行の最初に黒丸を付けます。"), edit, &TSoraChild::EditNumExecute);
  EditCharColor = MakeChildAction(this, "EditCharColor", QStringLiteral("文字色の設定"), QStringLiteral("文字色"),
                                  QStringLiteral("文字色を設定します。"), edit, &TSoraChild::EditCharColorExecute);
  EditBackColor = MakeChildAction(this, "EditBackColor", QStringLiteral("背景色の設定"), QStringLiteral("背景色"),
                                  QStringLiteral("背景色を設定します。"), edit, &TSoraChild::EditBackColorExecute);
  EditFont = MakeChildAction(this, "EditFont", QStringLiteral("フォントの設定"), QStringLiteral("フォントの設定"),
                             QStringLiteral("フォント設定ダイアログを表示します。"), edit,
                             &TSoraChild::EditFontExecute);
  ViewToolBar = MakeChildAction(this, "ViewToolBar", QStringLiteral("ボタン"), QStringLiteral("ツール表示"),
                                QStringLiteral("ツールバーを表示します。"), QStringLiteral("表示"),
                                &TSoraChild::ViewToolBarExecute);
  for (QAction* a : {EditB, EditI, EditU, EditAlignL, EditAlignC, EditAlignR, EditNum})
    a->setCheckable(true);
  auto* alignment = new QActionGroup(this);
  alignment->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  for (QAction* a : {EditAlignL, EditAlignC, EditAlignR}) alignment->addAction(a);
  // Ctrl+F only while the focus is in this document window: every window has one.
  EditFont->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  EditFont->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addAction(EditFont);

  // ---- the bar: 23 x 22 buttons side by side, 2 pixels from the top ----
  ToolBar1->setIconSize(QSize(16, 16));
  ToolBar1->setContentsMargins(0, 0, 0, 0);
  // No margins: the 22-pixel items centre in the 26-pixel bar, 2 from its top.
  ToolBar1->layout()->setContentsMargins(0, 0, 0, 0);
  ToolBar1->layout()->setSpacing(0);
  ToolBar1->setFixedHeight(26);

  const auto button = [this](const char* name, QAction* a, const char* glyph) {
    auto* b = new QToolButton;
    b->setObjectName(QLatin1String(name));
    a->setIcon(QIcon(QStringLiteral(":/icons/format_%1.png").arg(QLatin1String(glyph))));
    b->setDefaultAction(a);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(23, 22);
    ToolBar1->addWidget(b);
    return b;
  };
  const auto field = [this](const char* name, const QString& text, TColor background,
                            TColor textColor, const QString& hintShort, const QString& hintLong) {
    auto* f = new QLineEdit(text);
    f->setObjectName(QLatin1String(name));
    f->setReadOnly(true);
    f->setFixedSize(45, 22);
    f->setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 13));
    ShowColor(f, background);
    SetTextColor(f, textColor);
    SetHint(f, hintShort, hintLong);
    ToolBar1->addWidget(f);
    return f;
  };

  BoldButton = button("BoldButton", EditB, "bold");
  ItalicButton = button("ItalicButton", EditI, "italic");
  UnderlineButton = button("UnderlineButton", EditU, "underline");
  ToolBar1->addWidget(Separator("ToolButton4", 8));
  LeftAlign = button("LeftAlign", EditAlignL, "left");
  CenterAlign = button("CenterAlign", EditAlignC, "center");
  RightAlign = button("RightAlign", EditAlignR, "right");
  ToolBar1->addWidget(Separator("ToolButton8", 8));
  BulletsButton = button("BulletsButton", EditNum, "bullets");
  ToolBar1->addWidget(Separator("ToolButton12", 8));

  // Undo belongs to the editing commands; the button runs their action.
  ToolButton11 = new QToolButton;
  ToolButton11->setObjectName(QStringLiteral("ToolButton11"));
  ToolButton11->setIcon(QIcon(QStringLiteral(":/icons/format_undo.png")));
  ToolButton11->setText(EditUndo->text());
  ToolButton11->setToolTip(EditUndo->toolTip());
  ToolButton11->setStatusTip(EditUndo->statusTip());
  ToolButton11->setAutoRaise(true);
  ToolButton11->setFocusPolicy(Qt::NoFocus);
  ToolButton11->setFixedSize(23, 22);
  connect(ToolButton11, &QToolButton::clicked, EditUndo, &QAction::trigger);
  ToolBar1->addWidget(ToolButton11);
  ToolBar1->addWidget(Separator("ToolButton1", 8));

  FontCol = field("FontCol", QStringLiteral("文字色"), clBlack, clWhite, QStringLiteral("文字色"),
                  QStringLiteral("カーソル位置の文字色を表示します。　　クリックする事により文字色の設定が出来ます。"));
  // A hidden separator takes no room on the bar.
  QAction* gap = ToolBar1->addWidget(Separator("ToolButton2", 4));
  gap->setVisible(false);
  BackCol = field("BackCol", QStringLiteral("背景色"), RichEdit1->GetColor(), clWindowText,
                  QStringLiteral("背景色"),
                  QStringLiteral("背景色を表示します。　　クリックする事により背景色の設定が出来ます。"));
  ToolBar1->addWidget(Separator("ToolButton3", 4));

  Panel4 = new QFrame;
  Panel4->setObjectName(QStringLiteral("Panel4"));
  Panel4->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel4->setLineWidth(1);
  Panel4->setFixedSize(199, 22);
  Panel4->setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
  ToolBar1->addWidget(Panel4);

  FontN = new QComboBox(Panel4);
  FontN->setObjectName(QStringLiteral("FontN"));
  FontN->setEditable(true);
  FontN->setInsertPolicy(QComboBox::NoInsert);
  FontN->setCompleter(nullptr);
  FontN->setGeometry(1, 1, 145, 20);
  FontN->setFocusPolicy(Qt::ClickFocus);  // no tab stop
  SetHint(FontN, QStringLiteral("フォント"), QStringLiteral("現在のフォント名を表示します。"));

  FontS = new QLineEdit(QStringLiteral("0"), Panel4);
  FontS->setObjectName(QStringLiteral("FontS"));
  FontS->setGeometry(150, 1, 30, 20);
  SetHint(FontS, QStringLiteral("文字サイズ"), QStringLiteral("カーソル位置の文字サイズを表示します。"));

  UpDown1 = new TUpDown(Panel4);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  UpDown1->setGeometry(180, 1, 15, 20);
  UpDown1->SetAssociate(FontS);
  SetHint(UpDown1, QStringLiteral("サイズ変更"), QStringLiteral("文字サイズを変更します。"));

  // The fields show the arrow and no pop-up menu of their own.
  for (QWidget* w : {static_cast<QWidget*>(FontCol), static_cast<QWidget*>(BackCol),
                     static_cast<QWidget*>(FontN), static_cast<QWidget*>(FontN->lineEdit()),
                     static_cast<QWidget*>(FontS)}) {
    w->setCursor(Qt::ArrowCursor);
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint& pos) {
      if (!PopupMenu2->isEmpty()) PopupMenu2->popup(w->mapToGlobal(pos));
    });
  }

  HookClicks(FontCol, [this] { FontColMouseDown(); }, [this] { EditCharColorExecute(); });
  HookClicks(BackCol, [this] { BackColMouseDown(); }, [this] { EditBackColorExecute(); });
  HookClicks(FontS, [this] { FontSMouseDown(); }, [this] { FontSClick(); });
  connect(FontN, &QComboBox::activated, this, [this] {
    FontNClick();
    FontNChange();
  });
  connect(FontN->lineEdit(), &QLineEdit::textEdited, this, &TSoraChild::FontNChange);
  for (QObject* target : {static_cast<QObject*>(FontN), static_cast<QObject*>(FontN->lineEdit())}) {
    new TEventHook(target, [this](QEvent* e) {
      if (e->type() == QEvent::KeyPress) FontNKeyDown();
      return false;
    });
  }
  connect(UpDown1, &TUpDown::OnClick, this, &TSoraChild::UpDown1Click);

  FontDialog1.Font = PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12);
  FontDialog1.Color = clWindowText;
  FontDialog1.OnApply = [this](const QFont& font, TColor color) {
    FontDialog1.Font = font;
    FontDialog1.Color = color;
    FontDialog1Apply();
  };

  connect(RichEdit1, &TRichEdit::OnSelectionChange, this, &TSoraChild::RichEdit1SelectionChange);
}

void TSoraChild::RichEdit1SelectionChange() {
  Updating = true;
  PlaceRulerMarkers();
  TTextAttributes& sel = RichEdit1->SelAttributes();
  const TFontStyles style = sel.GetStyle();
  // A button's state carries over to its action (and through it to the group).
  BoldButton->setChecked(style.Contains(TFontStyle::fsBold));
  ItalicButton->setChecked(style.Contains(TFontStyle::fsItalic));
  UnderlineButton->setChecked(style.Contains(TFontStyle::fsUnderline));
  BulletsButton->setChecked(RichEdit1->Paragraph().GetNumbering() != nsNone);
  const QString size = QString::number(sel.GetSize());
  if (FontS->text() != size) FontS->setText(size);
  // Names compare without regard to letter case, as the list's search does.
  FontN->setCurrentIndex(FontN->findText(sel.GetName(), Qt::MatchFixedString));
  ShowColor(FontCol, sel.GetColor());
  // A text that cannot take the focus leaves the alignment buttons as they were.
  if (TakeFocus(RichEdit1)) {
    switch (RichEdit1->Paragraph().GetAlignment()) {
      case taLeftJustify: LeftAlign->setChecked(true); break;
      case taRightJustify: RightAlign->setChecked(true); break;
      case taCenter: CenterAlign->setChecked(true); break;
    }
  }
  Updating = false;
}

namespace {

// The selection follows the style button: the style is added when the button
// is down and removed when it is up; the other styles are written back as read.
void FollowStyleButton(TRichEdit* edit, QToolButton* button, TFontStyle style) {
  TTextAttributes& sel = edit->SelAttributes();
  const TFontStyles s = sel.GetStyle();
  sel.SetStyle(button->isChecked() ? s.With(style) : s.Without(style));
}

}  // namespace

void TSoraChild::EditBExecute() {
  if (!Updating) FollowStyleButton(RichEdit1, BoldButton, TFontStyle::fsBold);
}
void TSoraChild::EditIExecute() {
  if (!Updating) FollowStyleButton(RichEdit1, ItalicButton, TFontStyle::fsItalic);
}
void TSoraChild::EditUExecute() {
  if (!Updating) FollowStyleButton(RichEdit1, UnderlineButton, TFontStyle::fsUnderline);
}

void TSoraChild::EditAlignLExecute() { RichEdit1->Paragraph().SetAlignment(taLeftJustify); }
void TSoraChild::EditAlignCExecute() { RichEdit1->Paragraph().SetAlignment(taCenter); }
void TSoraChild::EditAlignRExecute() { RichEdit1->Paragraph().SetAlignment(taRightJustify); }

void TSoraChild::EditNumExecute() {
  if (Updating) return;
  RichEdit1->Paragraph().SetNumbering(BulletsButton->isChecked() ? nsBullet : nsNone);
}

void TSoraChild::EditCharColorExecute() {
  RichEdit1->setFocus();
  TTextAttributes& sel = RichEdit1->SelAttributes();
  ColorDialog2.Color = sel.GetColor();
  if (!ColorDialog2.Execute(this)) return;
  sel.SetColor(ColorDialog2.Color);
  ShowColor(FontCol, sel.GetColor());
  RichEdit1->setFocus();
}

void TSoraChild::EditBackColorExecute() {
  RichEdit1->setFocus();
  ColorDialog1.Color = RichEdit1->GetColor();
  if (!ColorDialog1.Execute(this)) return;
  RichEdit1->SetColor(ColorDialog1.Color);
  ShowColor(BackCol, RichEdit1->GetColor());
  RichEdit1->setFocus();
}

// A name is applied only when chosen from the list; typing sends the focus back.
void TSoraChild::FontNClick() {
  RichEdit1->SelAttributes().SetName(FontN->currentText());
  HideCaret();
  RichEdit1->setFocus();
}
void TSoraChild::FontNChange() { RichEdit1->setFocus(); }
void TSoraChild::FontNKeyDown() { HideCaret(); }

// Sizes come from the arrows only.
void TSoraChild::FontSClick() { RichEdit1->setFocus(); }
void TSoraChild::FontSMouseDown() { HideCaret(); }
void TSoraChild::FontColMouseDown() { HideCaret(); }
void TSoraChild::BackColMouseDown() { HideCaret(); }

void TSoraChild::UpDown1Click() {
  TTextAttributes& sel = RichEdit1->SelAttributes();
  sel.SetSize(UpDown1->GetPosition());
  // 0 lies within the arrows' range but no text takes it, and the text
  // does not change: the bar is reflected again, so that the field shows the
  // size the text kept rather than one it does not have.
  if (sel.GetSize() != UpDown1->GetPosition()) RichEdit1SelectionChange();
}

void TSoraChild::EditFontExecute() {
  FontDialog1.Font = RichEdit1->SelAttributes().ToFont(&FontDialog1.Color);
  if (FontDialog1.Execute(this)) RichEdit1->SelAttributes().Assign(FontDialog1.Font, FontDialog1.Color);
}

void TSoraChild::FontDialog1Apply() {
  // The control of this window that last held the focus; the edit inside a
  // combo box counts as the combo box.
  QWidget* active = focusWidget();
  if (active && qobject_cast<QComboBox*>(active->parentWidget())) active = active->parentWidget();
  if (active && active->metaObject() == &QLineEdit::staticMetaObject) {
    active->setFont(FontDialog1.Font);
    SetTextColor(active, FontDialog1.Color);
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
