#pragma once
// The document window: one per open document, an MDI child of the main frame.
// Its code is split by concern:
//   ChildFiles.cpp   lifecycle, Save, Save As, Print, the close question
//   ChildCounters.cpp counter bar
//   ChildFind.cpp    find and replace
//   ChildEdit.cpp    editing commands
//   ChildFormat.cpp  format toolbar
//   ChildRuler.cpp   ruler
#include <QMdiSubWindow>
#include <QString>

#include "platform/Dialogs.h"

class QAction;
class QFrame;
class QMenu;
class TCounterCell;
class TReplaceDialog;
class QMdiArea;
class QToolBar;
class TRichEdit;
struct IFrameLink;
namespace Ui { class TSoraChild; }

class TSoraChild : public QMdiSubWindow {
  Q_OBJECT
 public:
  // Joins the frame's MDI area, visible and active. The frame fills in the
  // caption, FilePath and the three message pieces afterwards.
  TSoraChild(QMdiArea* owner, IFrameLink* frame);
  ~TSoraChild() override;

  // ---- lifecycle and files ----
  QString FilePath;      // as opened or last saved; a new document's generated name
  QString QuoteOpen;     // the close question is QuoteOpen + caption + QuoteClose + NotSavedText
  QString QuoteClose;
  QString NotSavedText;

  TSaveDialog SaveDialog1;  // keeps its file name and type from one run to the next

  // Sets CanClose to false when the user wants to keep a modified document.
  void FormCloseQuery(bool& CanClose);

  // ---- controls of the form ----
  TRichEdit* RichEdit1 = nullptr;
  QFrame* Panel1 = nullptr;      // counter bar
  QToolBar* ToolBar1 = nullptr;  // format toolbar
  QFrame* RulerPanel = nullptr;  // ruler
  QAction* FileSave = nullptr;
  QAction* FileSaveAs = nullptr;
  QAction* FilePrint = nullptr;

  // ---- counter bar ----
  bool CountInChars = false;  // offset and length in characters (true) or bytes
  TCounterCell* Memo1 = nullptr;  // line
  TCounterCell* Memo2 = nullptr;  // column
  TCounterCell* Memo3 = nullptr;  // length number
  TCounterCell* Memo4 = nullptr;  // length unit
  TCounterCell* Memo5 = nullptr;  // caret offset number
  TCounterCell* Memo6 = nullptr;  // caret offset unit
  QAction* ViewCounter = nullptr;
  QMenu* PopupMenu1 = nullptr;    // the text's pop-up menu
  QMenu* PopupMenu2 = nullptr;    // empty: fields that show no menu

  // ---- find and replace ----
  TReplaceDialog* ReplaceDialog1 = nullptr;
  QAction* EditReplace = nullptr;

 public slots:
  // ---- lifecycle and files ----
  void FileSaveExecute();
  void FileSaveAsExecute();
  void FilePrintExecute();
  void FormActivate();

  // ---- counter bar ----
  void UpdateCaretCounters();
  void UpdateLengthCounter();
  void RichEdit1Change();
  void RichEdit1KeyUp(int key, Qt::KeyboardModifiers shift);
  void RichEdit1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void Memo1Click();
  void Memo2Click();
  void Memo3Click();
  void Memo4Click();
  void ViewCounterExecute();

  // ---- find and replace ----
  void EditReplaceExecute();
  void ReplaceDialog1Find();
  void ReplaceDialog1Replace();
  int FindNextMatch();

  // ---- editing ----
  void EditUndoExecute();
  void EditSelectAllExecute();

  // ---- format toolbar ----
  void ViewToolBarExecute();

  // ---- ruler ----
  void ViewRulerExecute();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void FormCreate();
  void CreateCounters();
  void CreateFindReplace();
  void ReplaceAll();
  void FormClose();
  // Before plain text is written: true when nothing would be lost, or the
  // user agreed to have the characters Shift-JIS lacks replaced.
  bool AcceptUnencodable();

  Ui::TSoraChild* ui = nullptr;
  IFrameLink* frame_ = nullptr;
};
