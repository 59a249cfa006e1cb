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
#include <QPointer>
#include <QString>
#include <bit>

#include "platform/Dialogs.h"

class QAction;
class QComboBox;
class QFrame;
class QLineEdit;
class QMenu;
class QToolButton;
class TRulerMarker;
class TUpDown;
class TCounterCell;
class TReplaceDialog;
class QMdiArea;
class QToolBar;
class TRichEdit;
class TTategakiPreview;
struct IFrameLink;
namespace Ui { class TSoraChild; }

class TSoraChild : public QMdiSubWindow {
  Q_OBJECT
 public:
  // Joins the frame's MDI area, visible and active, as an empty document.
  TSoraChild(QMdiArea* owner, IFrameLink* frame);
  ~TSoraChild() override;

  // The close question reads open + caption + close + notSaved.
  void SetCloseQuestion(const QString& open, const QString& close, const QString& notSaved);
  // Binds the window to path, captioned with its file name, and loads the file
  // when there is one (a folder or a new name opens empty); the document starts
  // unmodified. A file that cannot be read throws EFileError.
  void OpenFile(const QString& path);
  // As opened or last saved; a new document's generated name.
  const QString& Path() const { return FilePath; }
  // The document's text control.
  TRichEdit* Text() const { return RichEdit1; }
  // Puts text in place of the selection, in the Shift-JIS character set.
  void InsertDate(const QString& text);

  // Sets CanClose to false when the user wants to keep a modified document.
  void FormCloseQuery(bool& CanClose);

  // Pixels per point: 4/3 as a single-precision number, which lies just above 4/3.
  static constexpr float RulerScale = std::bit_cast<float>(0x3FAAAAABu);

 public slots:
  // ---- commands, also forwarded by the frame ----
  void FileSaveExecute();
  void FileSaveAsExecute();
  void FilePrintExecute();
  // The frame's View marks follow this window's bars.
  void FormActivate();
  void EditUndoExecute();
  void EditSelectAllExecute();
  void EditCutExecute();
  void EditCopyExecute();
  void EditPasteExecute();
  void EditReplaceExecute();
  void EditFontExecute();
  void ViewCounterExecute();
  void ViewToolBarExecute();
  void ViewRulerExecute();
  // Opens the vertical preview of this document, or brings it to the front.
  void ViewTategakiExecute();
  // The 文字数カウント dialog, for the selection when there is one.
  void ViewCharCountExecute();

  // ---- counter bar ----
  void UpdateCaretCounters();
  void RichEdit1Change();
  void Memo1Click();
  void Memo2Click();
  void Memo3Click();
  void Memo4Click();

  // ---- find and replace ----
  void ReplaceDialog1Find();
  void ReplaceDialog1Replace();

  // ---- pop-up date entries ----
  void WarekiClick();
  void Seireki1Click();
  void Seireki2Click();

  // ---- format toolbar ----
  void RichEdit1SelectionChange();
  void EditBExecute();
  void EditIExecute();
  void EditUExecute();
  void EditAlignLExecute();
  void EditAlignCExecute();
  void EditAlignRExecute();
  void EditNumExecute();
  void EditCharColorExecute();
  void EditBackColorExecute();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private slots:
  void UpdateLengthCounter();
  void RichEdit1KeyUp(int key, Qt::KeyboardModifiers shift);
  void RichEdit1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  int FindNextMatch();
  void FontNClick();
  void FontNChange();
  void FontNKeyDown();
  void FontSClick();
  void FontSMouseDown();
  void FontColMouseDown();
  void BackColMouseDown();
  void UpDown1Click();
  void FontDialog1Apply();
  void RulerItemMouseDown(TRulerMarker* Sender, int X);
  void RulerItemMouseMove(TRulerMarker* Sender, int X);
  void FirstIndMouseUp();
  void LeftIndMouseUp();
  void RightIndMouseUp();
  void RulerPanelResize();
  void RulerResize();
  void FormResize();

 private:
  // ---- lifecycle and files ----
  QString FilePath;
  QString QuoteOpen;
  QString QuoteClose;
  QString NotSavedText;
  TSaveDialog SaveDialog1;  // keeps its file name and type from one run to the next

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

  // ---- editing and the pop-up menu ----
  QAction* EditUndo = nullptr;
  QAction* EditSelectAll = nullptr;
  QAction* EditCut = nullptr;
  QAction* EditCopy = nullptr;
  QAction* EditPaste = nullptr;
  QAction* Cut1 = nullptr;
  QAction* Copy1 = nullptr;
  QAction* Paste1 = nullptr;
  QMenu* Show1 = nullptr;
  QAction* Wareki = nullptr;
  QAction* Seireki1 = nullptr;
  QAction* Seireki2 = nullptr;

  // ---- find and replace ----
  TReplaceDialog* ReplaceDialog1 = nullptr;
  QAction* EditReplace = nullptr;

  // ---- format toolbar ----
  bool Updating = false;  // true only while RichEdit1SelectionChange runs
  QAction* EditB = nullptr;
  QAction* EditI = nullptr;
  QAction* EditU = nullptr;
  QAction* EditAlignL = nullptr;
  QAction* EditAlignC = nullptr;
  QAction* EditAlignR = nullptr;
  QAction* EditNum = nullptr;
  QAction* EditCharColor = nullptr;
  QAction* EditBackColor = nullptr;
  QAction* EditFont = nullptr;
  QAction* ViewToolBar = nullptr;
  QToolButton* BoldButton = nullptr;
  QToolButton* ItalicButton = nullptr;
  QToolButton* UnderlineButton = nullptr;
  QToolButton* LeftAlign = nullptr;
  QToolButton* CenterAlign = nullptr;
  QToolButton* RightAlign = nullptr;
  QToolButton* BulletsButton = nullptr;
  QToolButton* ToolButton11 = nullptr;  // undo
  QLineEdit* FontCol = nullptr;         // shows the caret's text colour
  QLineEdit* BackCol = nullptr;         // shows the control's background colour
  QFrame* Panel4 = nullptr;
  QComboBox* FontN = nullptr;
  QLineEdit* FontS = nullptr;
  TUpDown* UpDown1 = nullptr;
  TColorDialog ColorDialog1;  // background colour
  TColorDialog ColorDialog2;  // text colour
  TFontDialog FontDialog1;

  // ---- ruler ----
  bool Dragging = false;  // from the press on a marker until its release
  int DragOffset = 0;     // half the width of the marker last pressed
  QFrame* Ruler = nullptr;      // the navy scale
  QFrame* RulerLine = nullptr;  // its frame
  TRulerMarker* FirstInd = nullptr;
  TRulerMarker* LeftInd = nullptr;
  TRulerMarker* RightInd = nullptr;
  QAction* ViewRuler = nullptr;

  QPointer<TTategakiPreview> preview_;
  void FormCreate();
  void CreateCounters();
  void CreateFindReplace();
  void CreateEditing();
  void BuildPopupMenu();
  void CreateFormatToolBar();
  void CreateRuler();
  void PlaceRulerMarkers();
  bool EndDrag();
  void ApplyLeftInd();
  void ReplaceAll();
  void FormClose();
  // Before a save to target: true when nothing would be lost, or the user
  // agreed to lose it (what the file held that the document cannot, when
  // target is that file; characters the text encoding lacks).
  bool ConfirmSave(const QString& target);

  Ui::TSoraChild* ui = nullptr;
  IFrameLink* frame_ = nullptr;
  bool dragMoved_ = false;  // the pressed marker has moved since the press
};
