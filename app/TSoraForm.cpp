#include "app/TSoraForm.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "app/HelpWindow.h"
#include "app/Startup.h"
#include "app/TAboutBox.h"
#include "app/TOpeningForm.h"
#include "components/Cgauges/Cgauges.h"
#include "document/TSoraChild.h"
#include "platform/FileNames.h"
#include "platform/RichEdit.h"
// The form's object name is the global frame's name, which the generated
// code's parameter shadows.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
#include "ui_TSoraForm.h"
#pragma GCC diagnostic pop

TSoraForm* SoraForm = nullptr;

namespace {

const QString kPickerFormat = QStringLiteral("yyyy年MM月dd日[ddd]");

// A menu entry with its own caption or hint runs its action and follows its
// enabling and icon. The key stays with the action; the entry only shows it.
void LinkMenuEntry(QAction* entry, QAction* action) {
  if (!action->shortcut().isEmpty())
    entry->setText(entry->text() + u'\t' + action->shortcut().toString(QKeySequence::NativeText));
  const auto follow = [entry, action] {
    entry->setIcon(action->icon());
    entry->setEnabled(action->isEnabled());
    entry->setVisible(action->isVisible());
  };
  follow();
  QObject::connect(action, &QAction::changed, entry, follow);
  QObject::connect(entry, &QAction::triggered, action, &QAction::trigger);
}

QStringList LocalPaths(const QMimeData* data) {
  QStringList paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  return paths;
}

}  // namespace

QPoint TSoraForm::CentredOrigin(QSize screen, QSize window) {
  // C++ integer division truncates toward zero, as the placement needs.
  return {(screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2};
}

// The resources live in the core library; a static library registers them only when asked.
static void InitFrameResources() { Q_INIT_RESOURCE(frame); }

TSoraForm::TSoraForm(QWidget* parent) : QMainWindow(parent), ui(new Ui::TSoraForm) {
  InitFrameResources();
  ui->setupUi(this);
  MdiClient = ui->MdiClient;
  ToolBar2 = ui->ToolBar2;
  StatusBar = ui->StatusBar;
  Window1 = ui->Window1;
  FileNew1 = ui->FileNew1;
  FileOpen1 = ui->FileOpen1;
  FileClose1 = ui->FileClose1;
  FileSave1 = ui->FileSave1;
  FileSaveAs1 = ui->FileSaveAs1;
  FilePrint = ui->FilePrint;
  FileExit1 = ui->FileExit1;
  EditUndo1 = ui->EditUndo1;
  EditCut1 = ui->EditCut1;
  EditCopy1 = ui->EditCopy1;
  EditPaste1 = ui->EditPaste1;
  EditReplace1 = ui->EditReplace1;
  EditSelectAll = ui->EditSelectAll;
  EditFontD = ui->EditFontD;
  EditDateWa = ui->EditDateWa;
  EditDateJwa = ui->EditDateJwa;
  EditDateSei = ui->EditDateSei;
  ViewCount = ui->ViewCount;
  ViewButton = ui->ViewButton;
  ViewRuler = ui->ViewRuler;
  ViewTategaki = ui->ViewTategaki;
  ViewCharCount = ui->ViewCharCount;
  WindowCascade1 = ui->WindowCascade1;
  WindowTileHorizontal1 = ui->WindowTileHorizontal1;
  WindowTileVertical1 = ui->WindowTileVertical1;
  WindowMinimizeAll1 = ui->WindowMinimizeAll1;
  WindowArrangeAll1 = ui->WindowArrangeAll1;
  ActHelp = ui->ActHelp;
  HelpAbout1 = ui->HelpAbout1;

  NewNamePrefix = QStringLiteral("新規作成 ");
  QuoteOpen = QStringLiteral(" 『 ");
  QuoteClose = QStringLiteral(" 』 ");
  NotSavedText = QStringLiteral("は、保存されていません。終了しても宜しいですか？");
  setAcceptDrops(true);
  Params = QCoreApplication::arguments().mid(1);
  OpenDialog.Filter = QStringLiteral("すべてのファイル(*.*)|*.*");

  MdiClient->setBackground(ToQColor(clAppWorkSpace));
  QFont statusFont = StatusBar->font();
  statusFont.setPixelSize(11);
  StatusBar->setFont(statusFont);
  StatusBar->setFixedHeight(19);

  // A top-level menu shows its hint in the status line like any entry.
  for (QMenu* menu : ui->MainMenu1->findChildren<QMenu*>()) {
    menu->menuAction()->setToolTip(menu->toolTip());
    menu->menuAction()->setStatusTip(menu->statusTip());
  }
  SetUpIcons();
  LinkMenuEntry(ui->FileSave1Item, FileSave1);
  LinkMenuEntry(ui->FileSaveAs1Item, FileSaveAs1);
  LinkMenuEntry(ui->EditCut1Item, EditCut1);
  LinkMenuEntry(ui->EditFontDItem, EditFontD);
  LinkMenuEntry(ui->EditDateJwaItem, EditDateJwa);

  SetUpToolBar();
  SetUpEditActions();

  const auto command = [this](QAction* action, void (TSoraForm::*handler)()) {
    connect(action, &QAction::triggered, this,
            [this, handler] { Dialogs::ReportFileErrors(this, [&] { (this->*handler)(); }); });
  };
  command(FileNew1, &TSoraForm::FileNew1Execute);
  command(FileOpen1, &TSoraForm::FileOpen1Execute);
  command(FileClose1, &TSoraForm::FileClose1Execute);
  command(FileExit1, &TSoraForm::FileExit1Execute);
  command(FileSave1, &TSoraForm::FileSave1Execute);
  command(FileSaveAs1, &TSoraForm::FileSaveAs1Execute);
  command(FilePrint, &TSoraForm::FilePrintExecute);
  command(EditUndo1, &TSoraForm::EditUndo1Execute);
  command(EditSelectAll, &TSoraForm::EditSelectAllExecute);
  command(EditReplace1, &TSoraForm::EditReplace1Execute);
  command(EditFontD, &TSoraForm::EditFontDExecute);
  command(EditDateWa, &TSoraForm::EditDateWaExecute);
  command(EditDateJwa, &TSoraForm::EditDateJwaExecute);
  command(EditDateSei, &TSoraForm::EditDateSeiExecute);
  command(ActHelp, &TSoraForm::ActHelpExecute);
  command(HelpAbout1, &TSoraForm::HelpAbout1Execute);
  command(ViewTategaki, &TSoraForm::ViewTategakiExecute);
  command(ViewCharCount, &TSoraForm::ViewCharCountExecute);
  command(WindowCascade1, &TSoraForm::WindowCascade1Execute);
  command(WindowTileHorizontal1, &TSoraForm::WindowTileHorizontal1Execute);
  command(WindowTileVertical1, &TSoraForm::WindowTileVertical1Execute);
  command(WindowMinimizeAll1, &TSoraForm::WindowMinimizeAll1Execute);
  command(WindowArrangeAll1, &TSoraForm::WindowArrangeAll1Execute);

  // The View marks belong to the document windows: undo the toggle Qt makes
  // on a click, then let the active document set them.
  const auto view = [this](QAction* action, void (TSoraForm::*handler)()) {
    connect(action, &QAction::triggered, this, [this, action, handler](bool checked) {
      action->setChecked(!checked);
      if (handler) (this->*handler)();
    });
  };
  view(ViewCount, &TSoraForm::ViewCountExecute);
  view(ViewButton, &TSoraForm::ViewButtonExecute);
  view(ViewRuler, &TSoraForm::ViewRulerExecute);

  connect(MdiClient, &QMdiArea::subWindowActivated, this, [this] {
    UpdateWindowActions();
    UpdateEditActions();
  });
  connect(Window1, &QMenu::aboutToShow, this, &TSoraForm::FillWindowList);
  // Files dropped anywhere on the frame, documents included, open as documents.
  qApp->installEventFilter(this);
  UpdateWindowActions();

  FormCreate();
}

TSoraForm::~TSoraForm() {
  // The documents go while the frame is whole: closing them activates other
  // windows and moves the focus, which the frame follows. After that nothing
  // may reach this half-destroyed frame from the widgets QWidget tears down.
  qDeleteAll(Children());
  disconnect(MdiClient, nullptr, this, nullptr);
  disconnect(qApp, nullptr, this, nullptr);
  if (watchedText_) disconnect(watchedText_, nullptr, this, nullptr);
  qApp->removeEventFilter(this);
  delete ui;
}

void TSoraForm::SetUpIcons() {
  // One strip holds every picture, in this order: decoding fourteen small
  // files took a third of the frame's set-up. A theme's own icon comes first.
  const struct {
    QAction* action;
    const char* theme;
  } pictures[] = {
      {FileNew1, "document-new"}, {FileOpen1, "document-open"}, {FileSave1, "document-save"},
      {FilePrint, "document-print"}, {EditUndo1, "edit-undo"}, {EditCut1, "edit-cut"},
      {EditCopy1, "edit-copy"}, {EditPaste1, "edit-paste"}, {EditReplace1, "edit-find-replace"},
      {EditSelectAll, "edit-select-all"}, {WindowCascade1, nullptr}, {WindowTileHorizontal1, nullptr},
      {WindowTileVertical1, nullptr}, {ActHelp, "help-contents"},
  };
  constexpr int kSide = 16;
  const QImage strip(QStringLiteral(":/icons/frame_actions.png"), "PNG");
  // The double-size strip only where the screen has more than one pixel per point.
  const bool sharp = qApp->devicePixelRatio() > 1;
  const QImage strip2 = sharp ? QImage(QStringLiteral(":/icons/frame_actions@2x.png"), "PNG") : QImage();
  int index = 0;
  for (const auto& picture : pictures) {
    QIcon icon(QPixmap::fromImage(strip.copy(index * kSide, 0, kSide, kSide)));
    if (sharp) {
      QPixmap big = QPixmap::fromImage(strip2.copy(index * 2 * kSide, 0, 2 * kSide, 2 * kSide));
      big.setDevicePixelRatio(2);
      icon.addPixmap(big);
    }
    ++index;
    picture.action->setIcon(icon);
  }
  for (const auto& picture : pictures)
    if (picture.theme) themeIcons_.append({picture.action, QLatin1String(picture.theme)});
}

void TSoraForm::ApplyThemeIcons() {
  for (const auto& [action, name] : std::as_const(themeIcons_))
    if (QIcon::hasThemeIcon(name)) action->setIcon(QIcon::fromTheme(name));
}

void TSoraForm::SetUpToolBar() {
  ToolBar2->setFixedHeight(30);
  ToolBar2->setContentsMargins(5, 0, 0, 0);
  for (QAction* action : ToolBar2->actions())
    if (QWidget* button = ToolBar2->widgetForAction(action); button && !action->isSeparator())
      button->setFixedWidth(27);

  DateTimePicker1 = new QDateEdit(ToolBar2);
  DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
  DateTimePicker1->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
  DateTimePicker1->setCalendarPopup(true);
  DateTimePicker1->setFixedSize(154, 22);
  QFont pickerFont = DateTimePicker1->font();
  pickerFont.setPixelSize(13);
  DateTimePicker1->setFont(pickerFont);
  DateTimePicker1->setCursor(Qt::ArrowCursor);
  DateTimePicker1->setToolTip(QStringLiteral("日付"));
  DateTimePicker1->setStatusTip(QStringLiteral("文書に貼り付ける日付を設定します。"));
  ToolBar2->addWidget(DateTimePicker1);
}

void TSoraForm::FormCreate() {
  auto* splash = new TOpeningForm;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenSize = screen ? screen->geometry().size() : QSize(680, 510);
  splash->move(CentredOrigin(screenSize, splash->size()));
  splash->show();
  splash->repaint();
  // Read once: every reading of the clock consults the time zone file, and
  // the loop lasts milliseconds.
  const QDate today = QDate::currentDate();
  for (int i = 0; i < 370; ++i) {
    PlaceFrame(screenSize);
    setAcceptDrops(true);
    // Setting an unchanged date would still convert it through the time zone.
    if (DateTimePicker1->date() != today) DateTimePicker1->setDate(today);
    // Every pass gives the same result; reparsing an unchanged format would
    // only cost time.
    if (DateTimePicker1->displayFormat() != kPickerFormat) DateTimePicker1->setDisplayFormat(kPickerFormat);
    splash->CGauge1->SetProgress(i);
    // Paint what is waiting now, as the window's Update does; the gauge has
    // already drawn itself when its percentage changed.
    QCoreApplication::sendPostedEvents(splash, QEvent::UpdateRequest);
  }
  splash->deleteLater();
}

// 680 × 510 is the outer size, frame included, and the outer rectangle is
// centred. The frame's decorations are known only once a window manager has
// framed the window; until then they count as nothing.
void TSoraForm::PlaceFrame(QSize screen) {
  const QSize outer(680, 510);
  resize(outer - (frameGeometry().size() - size()));
  // A window's position is its frame's.
  move(CentredOrigin(screen, outer));
}

bool TSoraForm::event(QEvent* e) {
  const bool result = QMainWindow::event(e);
  // The first showing or geometry change that reveals the window manager's
  // frame (on X11 it comes as the frame is mapped, before the first paint
  // reaches the screen) takes the decorations off the size, once: later
  // sizes are the user's.
  const QEvent::Type type = e->type();
  if (!framePlaced_ && (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) &&
      isVisible() && frameGeometry().size() != size()) {
    framePlaced_ = true;
    const QScreen* s = screen();
    PlaceFrame(s ? s->geometry().size() : QSize(680, 510));
  }
  return result;
}

void TSoraForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!shown_) {
    shown_ = true;
    // A theme's own icons replace the built-in ones a moment after the frame
    // is on the screen: looking them up cost more than building the toolbar.
    // A timer, not a posted call, which the splash's showing would run.
    QTimer::singleShot(kAfterShown, this, &TSoraForm::ApplyThemeIcons);
    FormShow();
  }
}

void TSoraForm::FormShow() {
  OpenDocuments(Params);
}

TSoraChild* TSoraForm::OpenDocument(const QString& path) {
  auto* child = new TSoraChild(MdiClient, this);
  child->SetCloseQuestion(QuoteOpen, QuoteClose, NotSavedText);
  try {
    child->OpenFile(path);
  } catch (const EFileError&) {
    // An empty window bound to a file it could not read would overwrite
    // that file on the first save: it goes, and the error is reported.
    delete child;
    throw;
  }
  return child;
}

TSoraChild* TSoraForm::ActiveChild() const {
  return qobject_cast<TSoraChild*>(MdiClient->currentSubWindow());
}

QList<TSoraChild*> TSoraForm::Children() const {
  QList<TSoraChild*> children;
  for (QMdiSubWindow* w : MdiClient->subWindowList(QMdiArea::CreationOrder))
    if (auto* child = qobject_cast<TSoraChild*>(w)) children << child;
  return children;
}

void TSoraForm::WMDropFiles(const QStringList& paths) { OpenDocuments(paths); }

// A file that fails is reported and the others still open.
void TSoraForm::OpenDocuments(const QStringList& paths) {
  for (const QString& path : paths) Dialogs::ReportFileErrors(this, [&] { OpenDocument(path); });
}

// ---- commands of the frame ----

void TSoraForm::FileNew1Execute() {
  OpenDocument(NewNamePrefix + QString::number(Children().size() + 1));
}

void TSoraForm::FileOpen1Execute() {
  if (OpenDialog.Execute(this)) OpenDocument(OpenDialog.FileName);
}

// Closes the whole frame, not only the active document.
void TSoraForm::FileClose1Execute() { close(); }
void TSoraForm::FileExit1Execute() { close(); }

void TSoraForm::HelpAbout1Execute() {
  if (!AboutBox) AboutBox = new TAboutBox;
  Dialogs::Exec(AboutBox);
}

void TSoraForm::ActHelpExecute() {
  if (!help_) help_ = new THelpWindow(this);
  if (!help_->ShowContents(Application().HelpFile))
    Dialogs::ReportError(this, QStringLiteral("ヘルプファイル「%1」が見つかりません。")
                                   .arg(Application().HelpFile));
}

void TSoraForm::FormKeyUp(int, Qt::KeyboardModifiers) {
  if (TSoraChild* child = ActiveChild()) child->UpdateCaretCounters();
}

void TSoraForm::keyReleaseEvent(QKeyEvent* e) {
  // Releases the documents and the date picker leave unhandled travel up to
  // the frame; they are not the frame's own.
  QWidget* focus = QApplication::focusWidget();
  const bool theirs = focus && focus != this &&
                      (MdiClient->isAncestorOf(focus) || DateTimePicker1->isAncestorOf(focus) ||
                       focus == DateTimePicker1);
  if (!theirs) FormKeyUp(e->key(), e->modifiers());
  QMainWindow::keyReleaseEvent(e);
}

// ---- forwarders ----

void TSoraForm::FileSave1Execute() {
  if (TSoraChild* child = ActiveChild()) child->FileSaveExecute();
}
void TSoraForm::FileSaveAs1Execute() {
  if (TSoraChild* child = ActiveChild()) child->FileSaveAsExecute();
}
void TSoraForm::FilePrintExecute() {
  if (TSoraChild* child = ActiveChild()) child->FilePrintExecute();
}
void TSoraForm::EditUndo1Execute() {
  if (TSoraChild* child = ActiveChild()) child->EditUndoExecute();
}
void TSoraForm::EditSelectAllExecute() {
  if (TSoraChild* child = ActiveChild()) child->EditSelectAllExecute();
}
void TSoraForm::ViewButtonExecute() {
  if (TSoraChild* child = ActiveChild()) child->ViewToolBarExecute();
}
void TSoraForm::ViewCountExecute() {
  if (TSoraChild* child = ActiveChild()) child->ViewCounterExecute();
}

void TSoraForm::EditReplace1Execute() {
  if (TSoraChild* child = ActiveChild()) child->EditReplaceExecute();
}
void TSoraForm::EditFontDExecute() {
  if (TSoraChild* child = ActiveChild()) child->EditFontExecute();
}

void TSoraForm::ViewRulerExecute() {
  if (TSoraChild* child = ActiveChild()) child->ViewRulerExecute();
}
void TSoraForm::ViewTategakiExecute() {
  if (TSoraChild* child = ActiveChild()) child->ViewTategakiExecute();
}
void TSoraForm::ViewCharCountExecute() {
  if (TSoraChild* child = ActiveChild()) child->ViewCharCountExecute();
}

void TSoraForm::SetViewCountChecked(bool checked) { ViewCount->setChecked(checked); }
void TSoraForm::SetViewButtonChecked(bool checked) { ViewButton->setChecked(checked); }
void TSoraForm::SetViewRulerChecked(bool checked) { ViewRuler->setChecked(checked); }

// ---- window commands ----

void TSoraForm::WindowCascade1Execute() { MdiClient->cascadeSubWindows(); }

namespace {
// The document windows that take part in tiling: the ones not minimised.
QList<QMdiSubWindow*> Tileable(QMdiArea* area) {
  QList<QMdiSubWindow*> list;
  for (QMdiSubWindow* w : area->subWindowList(QMdiArea::CreationOrder))
    if (!w->isHidden() && !w->isMinimized()) list << w;
  return list;
}
}  // namespace

void TSoraForm::WindowTileHorizontal1Execute() {
  const QList<QMdiSubWindow*> list = Tileable(MdiClient);
  if (list.isEmpty()) return;
  const QRect area = MdiClient->viewport()->rect();
  const int n = int(list.size());
  for (int i = 0; i < n; ++i) {
    const int top = area.height() * i / n, bottom = area.height() * (i + 1) / n;
    list[i]->showNormal();
    list[i]->setGeometry(0, top, area.width(), bottom - top);
  }
}

void TSoraForm::WindowTileVertical1Execute() {
  const QList<QMdiSubWindow*> list = Tileable(MdiClient);
  if (list.isEmpty()) return;
  const QRect area = MdiClient->viewport()->rect();
  const int n = int(list.size());
  for (int i = 0; i < n; ++i) {
    const int left = area.width() * i / n, right = area.width() * (i + 1) / n;
    list[i]->showNormal();
    list[i]->setGeometry(left, 0, right - left, area.height());
  }
}

void TSoraForm::WindowMinimizeAll1Execute() {
  for (QMdiSubWindow* w : MdiClient->subWindowList(QMdiArea::CreationOrder)) w->showMinimized();
}

void TSoraForm::WindowArrangeAll1Execute() {
  // Minimised windows in rows along the bottom edge, left to right.
  const QRect area = MdiClient->viewport()->rect();
  int x = 0, y = area.bottom() + 1, rowHeight = 0;
  for (QMdiSubWindow* w : MdiClient->subWindowList(QMdiArea::CreationOrder)) {
    if (!w->isMinimized()) continue;
    const QSize s = w->size();
    if (x > 0 && x + s.width() > area.width()) {
      x = 0;
      y -= rowHeight;
      rowHeight = 0;
    }
    rowHeight = qMax(rowHeight, s.height());
    if (x == 0) y = qMin(y, area.bottom() + 1);
    w->move(x, y - s.height());
    x += s.width();
  }
}

void TSoraForm::FillWindowList() {
  qDeleteAll(windowList_);
  windowList_.clear();
  const QList<TSoraChild*> children = Children();
  if (children.isEmpty()) return;
  windowList_ << Window1->addSeparator();
  const TSoraChild* active = ActiveChild();
  int number = 0;
  for (TSoraChild* child : children) {
    ++number;
    QString caption = child->windowTitle();
    caption.replace(u'&', QStringLiteral("&&"));
    QAction* entry = Window1->addAction(
        number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(caption) : caption);
    entry->setCheckable(true);
    entry->setChecked(child == active);
    connect(entry, &QAction::triggered, this, [this, child = QPointer<TSoraChild>(child)] {
      if (child) MdiClient->setActiveSubWindow(child);
    });
    windowList_ << entry;
  }
}

void TSoraForm::UpdateWindowActions() {
  const bool any = !Children().isEmpty();
  FileClose1->setEnabled(ActiveChild() != nullptr);
  for (QAction* a : {WindowCascade1, WindowTileHorizontal1, WindowTileVertical1,
                     WindowMinimizeAll1, WindowArrangeAll1})
    a->setEnabled(any);
}

// ---- cut, copy and paste on the focused text ----

void TSoraForm::SetUpEditActions() {
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    // Menus and other windows take the focus for a moment; the text the
    // commands act on stays the one last focused in this frame.
    if (!now || !isAncestorOf(now)) return;
    if (watchedText_) disconnect(watchedText_, nullptr, this, nullptr);
    watchedText_ = FocusedText();
    if (auto* text = qobject_cast<QTextEdit*>(watchedText_))
      connect(text, &QTextEdit::selectionChanged, this, &TSoraForm::UpdateEditActions);
    else if (auto* line = qobject_cast<QLineEdit*>(watchedText_))
      connect(line, &QLineEdit::selectionChanged, this, &TSoraForm::UpdateEditActions);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(watchedText_))
      connect(plain, &QPlainTextEdit::selectionChanged, this, &TSoraForm::UpdateEditActions);
    UpdateEditActions();
  });
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
          &TSoraForm::UpdateEditActions);

  connect(EditCut1, &QAction::triggered, this, [this] {
    if (auto* rich = qobject_cast<TRichEdit*>(watchedText_)) rich->CutToClipboard();
    else if (auto* text = qobject_cast<QTextEdit*>(watchedText_)) text->cut();
    else if (auto* line = qobject_cast<QLineEdit*>(watchedText_)) line->cut();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(watchedText_)) plain->cut();
  });
  connect(EditCopy1, &QAction::triggered, this, [this] {
    if (auto* rich = qobject_cast<TRichEdit*>(watchedText_)) rich->CopyToClipboard();
    else if (auto* text = qobject_cast<QTextEdit*>(watchedText_)) text->copy();
    else if (auto* line = qobject_cast<QLineEdit*>(watchedText_)) line->copy();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(watchedText_)) plain->copy();
  });
  connect(EditPaste1, &QAction::triggered, this, [this] {
    if (auto* rich = qobject_cast<TRichEdit*>(watchedText_)) rich->PasteFromClipboard();
    else if (auto* text = qobject_cast<QTextEdit*>(watchedText_)) text->paste();
    else if (auto* line = qobject_cast<QLineEdit*>(watchedText_)) line->paste();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(watchedText_)) plain->paste();
  });
  UpdateEditActions();
}

QWidget* TSoraForm::FocusedText() const {
  QWidget* w = QApplication::focusWidget();
  if (!w || !isAncestorOf(w)) return nullptr;
  if (qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) return w;
  // The date picker's own line edit is not a text the edit commands serve.
  if (qobject_cast<QLineEdit*>(w) && !qobject_cast<QAbstractSpinBox*>(w->parentWidget())) return w;
  return nullptr;
}

void TSoraForm::UpdateEditActions() {
  bool selection = false, writable = false;
  if (auto* text = qobject_cast<QTextEdit*>(watchedText_)) {
    selection = text->textCursor().hasSelection();
    writable = !text->isReadOnly();
  } else if (auto* line = qobject_cast<QLineEdit*>(watchedText_)) {
    selection = line->hasSelectedText();
    writable = !line->isReadOnly();
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(watchedText_)) {
    selection = plain->textCursor().hasSelection();
    writable = !plain->isReadOnly();
  }
  const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
  EditCut1->setEnabled(selection && writable);
  EditCopy1->setEnabled(selection);
  EditPaste1->setEnabled(writable && clip && clip->hasText());
}

// ---- closing ----

void TSoraForm::closeEvent(QCloseEvent* e) {
  // Every document is asked first, the top one first; one kept open keeps the
  // frame and every document open.
  const QList<QMdiSubWindow*> stack = MdiClient->subWindowList(QMdiArea::StackingOrder);
  for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
    if (auto* child = qobject_cast<TSoraChild*>(*it)) {
      bool canClose = true;
      child->FormCloseQuery(canClose);
      if (!canClose) {
        e->ignore();
        return;
      }
    }
  }
  e->accept();
  if (help_) help_->close();
  emit Closed();
}

// ---- dropped files ----

void TSoraForm::dragEnterEvent(QDragEnterEvent* e) {
  if (!LocalPaths(e->mimeData()).isEmpty()) e->acceptProposedAction();
}

void TSoraForm::dropEvent(QDropEvent* e) {
  const QStringList paths = LocalPaths(e->mimeData());
  if (paths.isEmpty()) return;
  e->acceptProposedAction();
  WMDropFiles(paths);
}

bool TSoraForm::eventFilter(QObject* watched, QEvent* e) {
  const QEvent::Type type = e->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
    return QMainWindow::eventFilter(watched, e);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget == this || !isAncestorOf(widget)) return false;
  auto* drop = static_cast<QDropEvent*>(e);
  if (LocalPaths(drop->mimeData()).isEmpty()) return false;  // text drags stay with the text
  if (type == QEvent::Drop) dropEvent(drop);
  else drop->acceptProposedAction();
  return true;
}
