// Document window: creation, Save, Save As, Print and closing.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMdiArea>
#include <QPrinter>

#include "document/FrameLink.h"
#include "document/TSoraChild.h"
#include "platform/FileNames.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "platform/TextDecode.h"
#include "ui_TSoraChild.h"

namespace {

const QString kSaveFilter = QStringLiteral(
    "書式付ファイル(*.RTF)|*.rtf|テキストファイル(*.TXT)|*.txt|C言語ソースファイル(*.C)|*.c|"
    "HTMLファイル(*.HTM)|*.htm|全てのファイル(*.*)|*.*|テキストファイル UTF-8(*.txt)|*.txt");
// The last type: text in UTF-8, which holds every character.
constexpr int kUtf8Type = 6;

// Lost characters listed in the question before a lossy save; a screenful.
constexpr int kListedLost = 20;

// The default extension Save As leaves for its next run, by the type chosen.
QString DefaultExtFor(int filterIndex) {
  switch (filterIndex) {
    case 1: return QStringLiteral("rtf");
    case 2: return QStringLiteral("txt");
    case 3: return QStringLiteral("c");
    case 4: return QStringLiteral("htm");
    case kUtf8Type: return QStringLiteral("txt");
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

void TSoraChild::SetCloseQuestion(const QString& open, const QString& close, const QString& notSaved) {
  QuoteOpen = open;
  QuoteClose = close;
  NotSavedText = notSaved;
}

void TSoraChild::OpenFile(const QString& path) {
  setWindowTitle(ExtractFileName(path));
  FilePath = path;
  // A device or a pipe goes to loading too, which refuses it with its reason,
  // rather than opening as an empty document bound to it. A folder opens empty.
  if (const QFileInfo info(path); info.exists() && !info.isDir()) RichEdit1->LoadFromFile(path);
  RichEdit1->SetModified(false);
}

void TSoraChild::FormActivate() {
  if (!frame_) return;
  frame_->SetViewCountChecked(!Panel1->isHidden());
  frame_->SetViewButtonChecked(!ToolBar1->isHidden());
  frame_->SetViewRulerChecked(!RulerPanel->isHidden());
}

// One question before a save that loses something: what the file held that
// the document cannot (when it goes back over that file), and characters the
// text encoding lacks. No leaves the file as it is.
bool TSoraChild::ConfirmSave(const QString& target) {
  QString text;
  QString question = QStringLiteral("上書き保存しますか？");
  const rtf::Losses& held = RichEdit1->LostOnLoad;
  if (held.Any() && QFileInfo::exists(target) && QFileInfo(target) == QFileInfo(FilePath))
    text += QStringLiteral("「%1」には、ソラメモで保存できない内容（%2）があります。\n"
                           "上書きすると、これらはファイルから失われます。\n")
                .arg(ExtractFileName(target), held.Describe());
  if (RichEdit1->PlainText) {
    const textdecode::Encoding encoding = RichEdit1->TextEncoding;
    const QList<sjis::Unencodable> lost = textdecode::UnencodableChars(RichEdit1->GetText(), encoding);
    if (!lost.isEmpty()) {
      QString list;
      for (const sjis::Unencodable& u : lost.first(std::min<qsizetype>(lost.size(), kListedLost)))
        list += QStringLiteral("　%1行目「%2」\n").arg(u.line).arg(QString::fromUcs4(&u.ch, 1));
      if (lost.size() > kListedLost) list += QStringLiteral("　ほか %1 文字\n").arg(lost.size() - kListedLost);
      text += QStringLiteral("%1で表せない文字が %2 文字あります。\n%3")
                  .arg(textdecode::Name(encoding))
                  .arg(lost.size())
                  .arg(list);
      question = QStringLiteral("これらの文字を置き換えてテキストとして保存しますか？");
    }
  }
  return text.isEmpty() || Dialogs::AskYesNo(this, text + question);
}

void TSoraChild::FileSaveExecute() {
  const QString ext = ExtractFileExt(FilePath);
  if (ext.isEmpty()) {
    FileSaveAsExecute();
    return;
  }
  RichEdit1->PlainText = ext.compare(QStringLiteral(".rtf"), Qt::CaseInsensitive) != 0;
  if (!ConfirmSave(FilePath)) return;
  RichEdit1->SaveToFile(FilePath);
  RichEdit1->SetModified(false);
  RichEdit1->LostOnLoad = {};
}

void TSoraChild::FileSaveAsExecute() {
  if (!SaveDialog1.Execute(this)) return;
  // Shapes the name from the next run on, as the dialog has already closed.
  SaveDialog1.DefaultExt = DefaultExtFor(SaveDialog1.FilterIndex);
  // The chosen type decides the format, whatever extension the name has.
  RichEdit1->PlainText = SaveDialog1.FilterIndex != 1;
  // A new name starts a new file: Shift-JIS with CR LF, or UTF-8 as Linux keeps it.
  const bool utf8 = SaveDialog1.FilterIndex == kUtf8Type;
  RichEdit1->TextEncoding = utf8 ? textdecode::Encoding::Utf8 : textdecode::Encoding::Cp932;
  RichEdit1->LineBreak = utf8 ? QStringLiteral("\n") : QStringLiteral("\r\n");
  if (!ConfirmSave(SaveDialog1.FileName)) return;
  RichEdit1->SaveToFile(SaveDialog1.FileName);
  RichEdit1->SetModified(false);
  RichEdit1->LostOnLoad = {};
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
