#pragma once
// The main frame: hosts the document windows, carries the menus, the toolbar,
// the status line and the date picker, and forwards the document commands to
// the active document window.
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <utility>

#include "document/FrameLink.h"
#include "platform/Dialogs.h"

class QAction;
class QDateEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class QToolBar;
class TSoraChild;
class THelpWindow;
namespace Ui { class TSoraForm; }

class TSoraForm : public QMainWindow, public IFrameLink {
  Q_OBJECT
 public:
  // Runs FormCreate: the splash window and the set-up loop.
  explicit TSoraForm(QWidget* parent = nullptr);
  ~TSoraForm() override;

  // Set in the constructor, never changed.
  QString NewNamePrefix;
  QString QuoteOpen;
  QString QuoteClose;
  QString NotSavedText;

  // The documents to open when the frame is first shown: the command line
  // without the program's own path, unless set otherwise before showing.
  QStringList Params;

  TOpenDialog OpenDialog;  // keeps its folder from one run to the next

  // The one routine that creates document windows.
  TSoraChild* OpenDocument(const QString& path);
  // The frame's active document window, or nullptr.
  TSoraChild* ActiveChild() const;
  // The open document windows, in the order they were created.
  QList<TSoraChild*> Children() const;

  // Opens each path in order, as dropped files are; a file that fails to load
  // is reported and the rest still open.
  void WMDropFiles(const QStringList& paths);

  // IFrameLink
  void SetViewCountChecked(bool checked) override;
  void SetViewButtonChecked(bool checked) override;
  void SetViewRulerChecked(bool checked) override;

  // Date insertion into the active document window (also the pop-up entries').
  void EditDateWaExecute() override;
  void EditDateJwaExecute() override;
  void EditDateSeiExecute() override;

  // Controls and actions of the form, by their names.
  QMdiArea* MdiClient = nullptr;
  QToolBar* ToolBar2 = nullptr;
  QDateEdit* DateTimePicker1 = nullptr;
  QStatusBar* StatusBar = nullptr;
  QMenu* Window1 = nullptr;
  QAction *FileNew1, *FileOpen1, *FileClose1, *FileSave1, *FileSaveAs1, *FilePrint, *FileExit1;
  QAction *EditUndo1, *EditCut1, *EditCopy1, *EditPaste1, *EditReplace1, *EditSelectAll, *EditFontD;
  QAction *EditDateWa, *EditDateJwa, *EditDateSei;
  QAction *ViewCount, *ViewButton, *ViewRuler;
  QAction *ViewTategaki, *ViewCharCount;
  QAction *WindowCascade1, *WindowTileHorizontal1, *WindowTileVertical1, *WindowMinimizeAll1,
      *WindowArrangeAll1;
  QAction *ActHelp, *HelpAbout1;

  // Where a window of the given size stands centred on a screen of the given
  // size; the halves truncate toward zero.
  static QPoint CentredOrigin(QSize screen, QSize window);

  // Milliseconds after the frame is first shown when what the first window
  // can do without (the icon theme's pictures, the full window icon) follows.
  static constexpr int kAfterShown = 20;

 signals:
  // The frame has closed: the application ends.
  void Closed();

 public slots:
  void FileNew1Execute();
  void FileOpen1Execute();
  void FileClose1Execute();
  void FileExit1Execute();
  void HelpAbout1Execute();
  void ActHelpExecute();
  // A key released on the frame itself refreshes the active document's caret counters.
  void FormKeyUp(int key, Qt::KeyboardModifiers shift);

  // Forwarders to the active document window; nothing without one.
  void FileSave1Execute();
  void FileSaveAs1Execute();
  void FilePrintExecute();
  void EditUndo1Execute();
  void EditSelectAllExecute();
  void ViewButtonExecute();
  void ViewRulerExecute();
  void ViewCountExecute();
  void EditReplace1Execute();
  void EditFontDExecute();
  void ViewTategakiExecute();
  void ViewCharCountExecute();

  // Window commands.
  void WindowCascade1Execute();
  void WindowTileHorizontal1Execute();
  void WindowTileVertical1Execute();
  void WindowMinimizeAll1Execute();
  void WindowArrangeAll1Execute();

  // Rebuilds the list of document windows at the end of Window1.
  void FillWindowList();

 protected:
  // Puts the picker's date, formatted, in place of the active document's selection.
  void InsertDate(const QString& format);
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void FormCreate();
  void FormShow();
  void PlaceFrame(QSize screen);
  void OpenDocuments(const QStringList& paths);
  void SetUpIcons();
  void ApplyThemeIcons();
  void SetUpToolBar();
  void SetUpEditActions();
  void UpdateEditActions();
  void UpdateWindowActions();
  QWidget* FocusedText() const;

  Ui::TSoraForm* ui = nullptr;
  bool shown_ = false;
  bool framePlaced_ = false;
  QList<QAction*> windowList_;
  QPointer<QWidget> watchedText_;  // the text whose selection cut and copy follow
  THelpWindow* help_ = nullptr;
  QList<std::pair<QAction*, QString>> themeIcons_;  // actions a theme may picture
};

// The main frame of the running program.
extern TSoraForm* SoraForm;
