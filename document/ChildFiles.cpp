// Document window: creation, Save, Save As, Print and closing.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMdiArea>
#include <QPrinter>

#include "document/FrameLink.h"
#include "document/TSoraChild.h"
#include "platform/FileNames.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "ui_TSoraChild.h"

namespace {

const QString kSaveFilter = QStringLiteral(
    "書式付ファイル(*.RTF)|*.rtf|テキストファイル(*.TXT)|*.txt|C言語ソースファイル(*.C)|*.c|"
    "HTMLファイル(*.HTM)|*.htm|全てのファイル(*.*)|*.*");

// The default extension Save As leaves for its next run, by the type chosen.
QString DefaultExtFor(int filterIndex) {
  switch (filterIndex) {
    case 1: return QStringLiteral("rtf");
    case 2: return QStringLiteral("txt");
    case 3: return QStringLiteral("c");
    case 4: return QStringLiteral("htm");
    default: return {};
  }
}

}  // namespace

// The window icon is the application's, set at start-up.
TSoraChild::TSoraChild(QMdiArea* owner, IFrameLink* frame)
    : QMdiSubWindow(nullptr), ui(new Ui::TSoraChild), frame_(frame) {
  setObjectName(QStringLiteral("SoraChild"));
  auto* client = new QWidget;
  client->setObjectName(QStringLiteral("SoraChildClient"));
  ui->setupUi(client);
  setWidget(client);
  setWindowTitle(client->windowTitle());

  RichEdit1 = ui->RichEdit1;
  Panel1 = ui->Panel1;
  ToolBar1 = ui->ToolBar1;
  RulerPanel = ui->RulerPanel;
  FileSave = ui->FileSave;
  FileSaveAs = ui->FileSaveAs;
  FilePrint = ui->FilePrint;
  addActions({FileSave, FileSaveAs, FilePrint});
  CreateCounters();
  CreateFindReplace();
  CreateEditing();
  CreateFormatToolBar();
  CreateRuler();

  SaveDialog1.Filter = kSaveFilter;
  SaveDialog1.DefaultExt = QStringLiteral("txt");

  // A file error ends the command and is reported; the steps after it do not run.
  connect(FileSave, &QAction::triggered, this,
          [this] { Dialogs::ReportFileErrors(this, [this] { FileSaveExecute(); }); });
  connect(FileSaveAs, &QAction::triggered, this,
          [this] { Dialogs::ReportFileErrors(this, [this] { FileSaveAsExecute(); }); });
  connect(FilePrint, &QAction::triggered, this,
          [this] { Dialogs::ReportFileErrors(this, [this] { FilePrintExecute(); }); });
  connect(this, &QMdiSubWindow::aboutToActivate, this, &TSoraChild::FormActivate);

  // After every part has made its actions: the pop-up menu collects them.
  BuildPopupMenu();
  FormCreate();
  owner->addSubWindow(this);
  show();
  RichEdit1->setFocus();
}

TSoraChild::~TSoraChild() { delete ui; }

void TSoraChild::FormCreate() {
  FontN->addItems(QFontDatabase::families());
  const QFont font = RichEdit1->document()->defaultFont();
  FontN->setEditText(font.family());
  FontS->setText(QString::number(font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF())));
  resize(560, 300);
}

void TSoraChild::FormActivate() {
  if (!frame_) return;
  frame_->SetViewCountChecked(!Panel1->isHidden());
  frame_->SetViewButtonChecked(!ToolBar1->isHidden());
  frame_->SetViewRulerChecked(!RulerPanel->isHidden());
}

bool TSoraChild::AcceptUnencodable() {
  const QList<sjis::Unencodable> lost = sjis::UnencodableChars(RichEdit1->GetText(), 1);
  if (lost.isEmpty()) return true;
  const sjis::Unencodable& first = lost.constFirst();
  const QString text =
      QStringLiteral("「%1」（%2行目）など、シフトJISで表せない文字があります。\n"
                     "これらの文字を置き換えてテキストとして保存しますか？")
          .arg(QString::fromUcs4(&first.ch, 1))
          .arg(first.line);
  return Dialogs::AskYesNo(this, text);
}

void TSoraChild::FileSaveExecute() {
  const QString ext = ExtractFileExt(FilePath);
  if (ext.isEmpty()) {
    FileSaveAsExecute();
    return;
  }
  RichEdit1->PlainText = ext.compare(QStringLiteral(".rtf"), Qt::CaseInsensitive) != 0;
  if (RichEdit1->PlainText && !AcceptUnencodable()) return;
  RichEdit1->SaveToFile(FilePath);
  RichEdit1->SetModified(false);
}

void TSoraChild::FileSaveAsExecute() {
  if (!SaveDialog1.Execute(this)) return;
  // Shapes the name from the next run on, as the dialog has already closed.
  SaveDialog1.DefaultExt = DefaultExtFor(SaveDialog1.FilterIndex);
  // The chosen type decides the format, whatever extension the name has.
  RichEdit1->PlainText = SaveDialog1.FilterIndex != 1;
  if (RichEdit1->PlainText && !AcceptUnencodable()) return;
  RichEdit1->SaveToFile(SaveDialog1.FileName);
  RichEdit1->SetModified(false);
  FilePath = SaveDialog1.FileName;
  setWindowTitle(ExtractFileName(FilePath));
}

void TSoraChild::FilePrintExecute() {
  QPrinter printer;
  if (!Dialogs::Print(this, printer)) return;
  RichEdit1->Print(windowTitle(), &printer);
}

void TSoraChild::FormCloseQuery(bool& CanClose) {
  if (!RichEdit1->GetModified()) return;
  const QString question = QuoteOpen + windowTitle() + QuoteClose + NotSavedText;
  if (!Dialogs::AskYesNo(this, question)) CanClose = false;
}

void TSoraChild::FormClose() {
  setAttribute(Qt::WA_DeleteOnClose);
}

void TSoraChild::closeEvent(QCloseEvent* e) {
  bool canClose = true;
  FormCloseQuery(canClose);
  if (!canClose) {
    e->ignore();
    return;
  }
  FormClose();
  QMdiSubWindow::closeEvent(e);
}
