#include "document/TategakiPreview.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>
#include <cmath>

#include "platform/Dialogs.h"
#include "platform/RichEdit.h"

namespace {

constexpr int kGap = 16;  // pixels between pages and around them
constexpr qreal kZooms[] = {0.25, 0.5, 0.75, 1.0, 1.5, 2.0, 3.0};

}  // namespace

// The pages side by side, the first on the right.
class TPreviewCanvas : public QWidget {
 public:
  explicit TPreviewCanvas(TTategakiPreview* preview) : QWidget(preview), preview_(preview) {
    setObjectName(QStringLiteral("PreviewCanvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter painter(this);
    preview_->PaintCanvas(painter, e->rect());
  }
  void wheelEvent(QWheelEvent* e) override {
    if (e->modifiers() & Qt::ControlModifier) {
      e->angleDelta().y() > 0 ? preview_->ZoomIn() : preview_->ZoomOut();
      e->accept();
      return;
    }
    QWidget::wheelEvent(e);
  }

 private:
  TTategakiPreview* preview_;
};

TTategakiPreview::TTategakiPreview(TRichEdit* edit, const QString& caption, QWidget* parent)
    : QMainWindow(parent, Qt::Window), edit_(edit) {
  setObjectName(QStringLiteral("TategakiPreview"));
  setAttribute(Qt::WA_DeleteOnClose);
  SetCaption(caption);

  QToolBar* bar = addToolBar(QStringLiteral("縦書きプレビュー"));
  bar->setObjectName(QStringLiteral("PreviewBar"));
  bar->setMovable(false);
  ModeBox = new QComboBox(bar);
  ModeBox->setObjectName(QStringLiteral("ModeBox"));
  ModeBox->addItems({QStringLiteral("原稿用紙（20×20・A4横）"), QStringLiteral("縦書きページ（A5）")});
  ModeBox->setToolTip(QStringLiteral("組み方"));
  bar->addWidget(ModeBox);
  CharsBox = new QSpinBox(bar);
  CharsBox->setObjectName(QStringLiteral("CharsBox"));
  CharsBox->setRange(5, 100);
  CharsBox->setValue(40);
  CharsBox->setSuffix(QStringLiteral(" 字"));
  CharsBox->setToolTip(QStringLiteral("1行の字数"));
  bar->addWidget(CharsBox);
  LinesBox = new QSpinBox(bar);
  LinesBox->setObjectName(QStringLiteral("LinesBox"));
  LinesBox->setRange(1, 60);
  LinesBox->setValue(16);
  LinesBox->setSuffix(QStringLiteral(" 行"));
  LinesBox->setToolTip(QStringLiteral("1ページの行数"));
  bar->addWidget(LinesBox);
  bar->addSeparator();

  ZoomBox = new QComboBox(bar);
  ZoomBox->setObjectName(QStringLiteral("ZoomBox"));
  for (const qreal z : kZooms) ZoomBox->addItem(QStringLiteral("%1%").arg(qRound(z * 100)), z);
  ZoomBox->setToolTip(QStringLiteral("倍率"));
  bar->addWidget(ZoomBox);
  QAction* zoomIn = bar->addAction(QStringLiteral("拡大"), this, &TTategakiPreview::ZoomIn);
  zoomIn->setObjectName(QStringLiteral("ZoomInAction"));
  zoomIn->setShortcut(QKeySequence::ZoomIn);
  QAction* zoomOut = bar->addAction(QStringLiteral("縮小"), this, &TTategakiPreview::ZoomOut);
  zoomOut->setObjectName(QStringLiteral("ZoomOutAction"));
  zoomOut->setShortcut(QKeySequence::ZoomOut);
  bar->addSeparator();
  PrintAction = bar->addAction(QStringLiteral("印刷..."), this, [this] {
    Dialogs::ReportFileErrors(this, [this] { PrintExecute(); });
  });
  PrintAction->setObjectName(QStringLiteral("PrintAction"));
  PrintAction->setShortcut(QKeySequence::Print);
  PdfAction = bar->addAction(QStringLiteral("PDF 書き出し..."), this, [this] {
    Dialogs::ReportFileErrors(this, [this] { PdfExecute(); });
  });
  PdfAction->setObjectName(QStringLiteral("PdfAction"));
  bar->addSeparator();
  PageLabel = new QLabel(bar);
  PageLabel->setObjectName(QStringLiteral("PageLabel"));
  bar->addWidget(PageLabel);

  scroll_ = new QScrollArea(this);
  scroll_->setBackgroundRole(QPalette::Dark);
  canvas_ = new TPreviewCanvas(this);
  scroll_->setWidget(canvas_);
  setCentralWidget(scroll_);
  connect(scroll_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TTategakiPreview::UpdatePageLabel);

  UpdateTimer = new QTimer(this);
  UpdateTimer->setSingleShot(true);
  UpdateTimer->setInterval(100);
  connect(UpdateTimer, &QTimer::timeout, this, &TTategakiPreview::Relayout);
  // Restarted by every change: the layout runs once typing pauses.
  connect(edit_->document(), &QTextDocument::contentsChanged, UpdateTimer, qOverload<>(&QTimer::start));
  connect(edit_, &QObject::destroyed, this, &QWidget::close);

  const auto restyle = [this] {
    const int page = CurrentPage();
    ApplyStyle();
    ShowPage(std::min(page, PageCount() - 1));
  };
  connect(ModeBox, &QComboBox::currentIndexChanged, this, restyle);
  connect(CharsBox, &QSpinBox::valueChanged, this, restyle);
  connect(LinesBox, &QSpinBox::valueChanged, this, restyle);
  connect(ZoomBox, &QComboBox::currentIndexChanged, this,
          [this](int i) { SetZoom(ZoomBox->itemData(i).toReal()); });

  ApplyStyle();
  ZoomBox->setCurrentIndex(int(std::find(std::begin(kZooms), std::end(kZooms), 0.75) - std::begin(kZooms)));
  resize(1000, 700);
}

TTategakiPreview::~TTategakiPreview() = default;

void TTategakiPreview::SetCaption(const QString& caption) {
  caption_ = caption;
  setWindowTitle(QStringLiteral("縦書きプレビュー - %1").arg(caption));
}

void TTategakiPreview::ApplyStyle() {
  const bool genkou = ModeBox->currentIndex() == 0;
  CharsBox->setEnabled(!genkou);
  LinesBox->setEnabled(!genkou);
  const tategaki::PageStyle style =
      genkou ? tategaki::PageStyle::Genkou() : tategaki::PageStyle::Plain(CharsBox->value(), LinesBox->value());
  renderer_ = std::make_unique<tategaki::PageRenderer>(style);
  layout_ = std::make_unique<tategaki::DocumentLayout>(style.cellsPerLine, style.linesPerPage);
  Relayout();
}

void TTategakiPreview::Relayout() {
  UpdateTimer->stop();
  if (!edit_) return;
  QScrollBar* h = scroll_->horizontalScrollBar();
  const int fromRight = canvas_->width() - h->value();
  layout_->Update(tategaki::SplitParagraphs(edit_->document()->toRawText()));
  UpdateCanvasSize();
  // Pages grow to the left: keep the view where it was, counted from the first page.
  h->setValue(canvas_->width() - fromRight);
  canvas_->update();
  UpdatePageLabel();
}

int TTategakiPreview::PageCount() const { return std::max(layout_->PageCount(), 1); }

qreal TTategakiPreview::PixelsPerMm() const { return logicalDpiX() / 25.4 * zoom_; }

QRectF TTategakiPreview::PageRect(int page) const {
  const QSizeF mm = renderer_->Style().pageMm;
  const qreal w = mm.width() * PixelsPerMm(), hgt = mm.height() * PixelsPerMm();
  return QRectF(canvas_->width() - (page + 1) * (w + kGap), kGap, w, hgt);
}

void TTategakiPreview::UpdateCanvasSize() {
  const QSizeF mm = renderer_->Style().pageMm;
  const int w = int(std::ceil(PageCount() * (mm.width() * PixelsPerMm() + kGap) + kGap));
  const int h = int(std::ceil(mm.height() * PixelsPerMm() + 2 * kGap));
  canvas_->resize(std::max(w, scroll_->viewport()->width()), std::max(h, scroll_->viewport()->height()));
}

int TTategakiPreview::CurrentPage() const {
  const qreal centre = scroll_->horizontalScrollBar()->value() + scroll_->viewport()->width() / 2.0;
  const qreal step = renderer_->Style().pageMm.width() * PixelsPerMm() + kGap;
  const int page = int((canvas_->width() - centre) / step);
  return std::clamp(page, 0, PageCount() - 1);
}

void TTategakiPreview::ShowPage(int page) {
  const QRectF r = PageRect(std::clamp(page, 0, PageCount() - 1));
  scroll_->horizontalScrollBar()->setValue(int(r.center().x() - scroll_->viewport()->width() / 2.0));
  UpdatePageLabel();
}

void TTategakiPreview::ShowCaretPage() {
  if (!edit_) return;
  const QString before = edit_->document()->toRawText().left(edit_->textCursor().position());
  const QStringList paragraphs = tategaki::SplitParagraphs(before);
  const int line = layout_->LineOfSource(int(paragraphs.size()) - 1, int(paragraphs.last().size()));
  ShowPage(line / renderer_->Style().linesPerPage);
}

void TTategakiPreview::SetZoom(qreal zoom) {
  const int page = CurrentPage();
  zoom_ = zoom;
  UpdateCanvasSize();
  canvas_->update();
  ShowPage(page);
}

void TTategakiPreview::ZoomIn() { ZoomBox->setCurrentIndex(std::min(ZoomBox->currentIndex() + 1, ZoomBox->count() - 1)); }
void TTategakiPreview::ZoomOut() { ZoomBox->setCurrentIndex(std::max(ZoomBox->currentIndex() - 1, 0)); }

void TTategakiPreview::UpdatePageLabel() {
  PageLabel->setText(QStringLiteral("%1 / %2 ページ").arg(CurrentPage() + 1).arg(PageCount()));
}

void TTategakiPreview::PaintCanvas(QPainter& painter, const QRect& exposed) {
  painter.fillRect(exposed, palette().dark());
  painted_.clear();
  const qreal ppm = PixelsPerMm();
  for (int page = 0; page < PageCount(); ++page) {
    const QRectF r = PageRect(page);
    if (!r.intersects(exposed)) continue;
    painted_.append(page);
    painter.fillRect(r, Qt::white);
    painter.save();
    painter.translate(r.topLeft());
    painter.scale(ppm, ppm);
    renderer_->Paint(painter, *layout_, page);
    painter.restore();
  }
}

void TTategakiPreview::PrintExecute() {
  Relayout();
  const tategaki::PageStyle& style = renderer_->Style();
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(caption_);
  printer.setFullPage(true);
  printer.setPageLayout(QPageLayout(QPageSize(style.genkou ? QPageSize::A4 : QPageSize::A5),
                                    style.genkou ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
  if (!Dialogs::Print(this, printer)) return;
  if (!renderer_->PaintAll(printer, *layout_))
    Dialogs::ReportError(this, QStringLiteral("印刷を開始できませんでした。"));
}

void TTategakiPreview::PdfExecute() {
  Relayout();
  TSaveDialog dialog;
  dialog.Filter = QStringLiteral("PDF ファイル (*.pdf)|*.pdf");
  dialog.DefaultExt = QStringLiteral("pdf");
  dialog.FileName = QFileInfo(caption_).completeBaseName() + QStringLiteral(".pdf");
  if (!dialog.Execute(this)) return;
  const QString error = tategaki::WritePdf(dialog.FileName, renderer_->Style(), *layout_, caption_);
  if (!error.isEmpty()) Dialogs::ReportError(this, error);
}
