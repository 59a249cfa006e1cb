// Document window: editing commands and the text's pop-up menu.
#include <QAction>
#include <QMenu>
#include <QToolBar>

#include "document/ChildAction.h"
#include "document/FrameLink.h"
#include "document/TSoraChild.h"
#include "platform/RichEdit.h"

void TSoraChild::CreateEditing() {
  const QString edit = QStringLiteral("編集");
  EditUndo = MakeChildAction(this, "EditUndo", QStringLiteral("レスキュー"), QStringLiteral("レスキュー"),
                             QStringLiteral("１回前の操作の状態に戻します。"), edit, &TSoraChild::EditUndoExecute);
  EditSelectAll = MakeChildAction(this, "EditSelectAll", QStringLiteral("全てを選択"), QStringLiteral("全てを選択"),
                                  QStringLiteral("全ての文字列を選択状態にします。"), edit,
                                  &TSoraChild::EditSelectAllExecute);
  EditCut = MakeChildAction(this, "EditCut", QStringLiteral("切り取り"), QStringLiteral("切り取り"),
                            QStringLiteral("選択部分を切り取りクリップボードにコピーします。"), edit,
                            &TSoraChild::EditCutExecute);
  EditCopy = MakeChildAction(this, "EditCopy", QStringLiteral("コピー"), QStringLiteral("コピー"),
                             QStringLiteral("選択部分をクリップボードにコピーします。"), edit,
                             &TSoraChild::EditCopyExecute);
  EditPaste = MakeChildAction(this, "EditPaste", QStringLiteral("貼り付け"), QStringLiteral("貼付"),
                              QStringLiteral("クリップボードの内容をカーソル位置に貼り付けます。"), edit,
                              &TSoraChild::EditPasteExecute);
  // Ctrl+X, Ctrl+C and Ctrl+V belong to the frame's actions of the same meaning
  // (one owner per key); the menu shows them beside these entries.
  EditCut->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
  EditCopy->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
  EditPaste->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
  for (QAction* a : {EditCut, EditCopy, EditPaste}) a->setShortcutContext(Qt::WidgetShortcut);
}

void TSoraChild::BuildPopupMenu() {
  PopupMenu1->addAction(EditUndo);
  PopupMenu1->addSeparator();
  // Owned by the window, not the menu: a pop-up menu's hint goes to the entry's
  // parent, and only from the window does it reach the frame's status line.
  const auto entryFor = [this](QAction* action, const char* name) {
    auto* entry = new QAction(action->text(), this);
    entry->setObjectName(QLatin1String(name));
    PopupMenu1->addAction(entry);
    return entry;
  };
  Cut1 = entryFor(EditCut, "Cut1");
  Copy1 = entryFor(EditCopy, "Copy1");
  Paste1 = entryFor(EditPaste, "Paste1");
  for (auto [entry, action] : {std::pair{Cut1, EditCut}, {Copy1, EditCopy}, {Paste1, EditPaste}}) {
    entry->setStatusTip(action->statusTip());
    entry->setShortcut(action->shortcut());
    entry->setShortcutContext(Qt::WidgetShortcut);  // shown, not bound
    connect(entry, &QAction::triggered, action, &QAction::trigger);
  }
  PopupMenu1->addSeparator();

  Show1 = PopupMenu1->addMenu(QStringLiteral("表示"));
  Show1->setObjectName(QStringLiteral("Show1"));
  Show1->addAction(ViewCounter);
  Show1->addAction(ViewToolBar);
  Show1->addAction(ViewRuler);
  for (QAction* a : {ViewCounter, ViewToolBar, ViewRuler})
    if (a) a->setCheckable(true);
  // The marks show the bars as they are when the menu opens.
  connect(Show1, &QMenu::aboutToShow, this, [this] {
    const std::pair<QAction*, QWidget*> marks[] = {
        {ViewCounter, Panel1}, {ViewToolBar, ToolBar1}, {ViewRuler, RulerPanel}};
    for (auto [action, bar] : marks)
      if (action) action->setChecked(!bar->isHidden());
  });
  PopupMenu1->addSeparator();

  QMenu* dates = PopupMenu1->addMenu(QStringLiteral("日付の貼付"));
  dates->setObjectName(QStringLiteral("DateMenu"));
  Wareki = dates->addAction(QStringLiteral("和暦"));
  Wareki->setObjectName(QStringLiteral("Wareki"));
  Seireki1 = dates->addAction(QStringLiteral("西暦（１）"));
  Seireki1->setObjectName(QStringLiteral("Seireki1"));
  Seireki2 = dates->addAction(QStringLiteral("西暦（２）"));
  Seireki2->setObjectName(QStringLiteral("Seireki2"));
  connect(Wareki, &QAction::triggered, this, &TSoraChild::WarekiClick);
  connect(Seireki1, &QAction::triggered, this, &TSoraChild::Seireki1Click);
  connect(Seireki2, &QAction::triggered, this, &TSoraChild::Seireki2Click);
  PopupMenu1->addSeparator();

  QAction* font = PopupMenu1->addAction(QStringLiteral("フォントの設定"));
  font->setObjectName(QStringLiteral("FontSetting1"));
  connect(font, &QAction::triggered, this, &TSoraChild::EditFontExecute);
  PopupMenu1->addSeparator();

  QMenu* colours = PopupMenu1->addMenu(QStringLiteral("色の設定"));
  colours->setObjectName(QStringLiteral("ColorMenu"));
  colours->addAction(EditCharColor);
  colours->addAction(EditBackColor);
}

void TSoraChild::EditUndoExecute() { RichEdit1->Undo(); }
void TSoraChild::EditSelectAllExecute() { RichEdit1->SelectAll(); }
void TSoraChild::EditCutExecute() { RichEdit1->CutToClipboard(); }
void TSoraChild::EditCopyExecute() { RichEdit1->CopyToClipboard(); }
void TSoraChild::EditPasteExecute() { RichEdit1->PasteFromClipboard(); }

// A date in Japanese is written in the Shift-JIS character set.
void TSoraChild::InsertDate(const QString& text) {
  RichEdit1->SelAttributes().SetCharset(textfmt::ShiftJisCharset);
  RichEdit1->SetSelText(text);
}

// The pop-up's date entries run the frame's commands, which act on whichever
// document window is active.
void TSoraChild::WarekiClick() {
  if (frame_) frame_->EditDateWaExecute();
}
void TSoraChild::Seireki1Click() {
  if (frame_) frame_->EditDateJwaExecute();
}
void TSoraChild::Seireki2Click() {
  if (frame_) frame_->EditDateSeiExecute();
}
