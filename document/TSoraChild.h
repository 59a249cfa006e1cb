#pragma once
// The document window: one per open document, an MDI child of the main frame.
// Its code is split by concern:
//   ChildFiles.cpp   lifecycle, Save, Save As, Print, the close question
//   ChildEdit.cpp    editing commands
//   ChildFormat.cpp  format toolbar
//   ChildRuler.cpp   ruler
#include <QMdiSubWindow>
#include <QString>

#include "platform/Dialogs.h"

class QAction;
class QFrame;
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

 public slots:
  // ---- lifecycle and files ----
  void FileSaveExecute();
  void FileSaveAsExecute();
  void FilePrintExecute();
  void FormActivate();

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
  void FormClose();
  // Before plain text is written: true when nothing would be lost, or the
  // user agreed to have the characters Shift-JIS lacks replaced.
  bool AcceptUnencodable();

  Ui::TSoraChild* ui = nullptr;
  IFrameLink* frame_ = nullptr;
};
