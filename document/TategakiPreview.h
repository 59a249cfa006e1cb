#pragma once
// 縦書きプレビュー: the document's pages in vertical writing, as 原稿用紙 sheets
// or as plain pages, following the document as it is edited.
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "tategaki/Genkou.h"
#include "tategaki/Pages.h"

class QAction;
class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;
class QTimer;
class TRichEdit;

class TTategakiPreview : public QMainWindow {
  Q_OBJECT
 public:
  // caption: the document window's caption, the print job's title.
  TTategakiPreview(TRichEdit* edit, const QString& caption, QWidget* parent = nullptr);
  ~TTategakiPreview() override;

  QComboBox* ModeBox = nullptr;  // 原稿用紙 or plain pages
  QSpinBox* CharsBox = nullptr;  // characters a line on plain pages
  QSpinBox* LinesBox = nullptr;  // lines a page on plain pages
  QComboBox* ZoomBox = nullptr;
  QAction* PrintAction = nullptr;
  QAction* PdfAction = nullptr;
  QLabel* PageLabel = nullptr;
  QTimer* UpdateTimer = nullptr;  // single shot: lays out again once typing stops

  const tategaki::DocumentLayout& Layout() const { return *layout_; }
  const tategaki::PageStyle& Style() const { return renderer_->Style(); }
  int PageCount() const;
  // The page at the centre of the view.
  int CurrentPage() const;
  void ShowPage(int page);
  qreal Zoom() const { return zoom_; }
  // Pages painted by the last paint of the view.
  const QList<int>& PaintedPages() const { return painted_; }

  // The caption changes with Save As.
  void SetCaption(const QString& caption);

 public slots:
  // Lays out what changed since the last run and repaints.
  void Relayout();
  // The page that holds the document's caret.
  void ShowCaretPage();
  void PrintExecute();
  void PdfExecute();
  void ZoomIn();
  void ZoomOut();

 private:
  friend class TPreviewCanvas;
  void ApplyStyle();
  void SetZoom(qreal zoom);
  void UpdateCanvasSize();
  void UpdatePageLabel();
  QRectF PageRect(int page) const;  // in canvas pixels
  qreal PixelsPerMm() const;
  void PaintCanvas(QPainter& painter, const QRect& exposed);

  QPointer<TRichEdit> edit_;
  QString caption_;
  QScrollArea* scroll_ = nullptr;
  QWidget* canvas_ = nullptr;
  std::unique_ptr<tategaki::DocumentLayout> layout_;
  std::unique_ptr<tategaki::PageRenderer> renderer_;
  qreal zoom_ = 1.0;
  QList<int> painted_;
};
