#include "platform/RichEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>

#include <algorithm>
#include <vector>

#include "platform/FileError.h"
#include "platform/FlowLayout.h"
#include "platform/Rtf.h"
#include "platform/ShiftJis.h"
#include "platform/SjisIndex.h"
#include "platform/TextDecode.h"
#include "platform/TextSearch.h"
#include "platform/WaitCursor.h"

namespace {

// Text as callers see it: paragraph and line separators become CR LF.
QString ToCrLf(QString s) {
  s.replace(QChar(0x2029), QStringLiteral("\r\n"));
  s.replace(QChar(0x2028), QStringLiteral("\r\n"));
  return s;
}

// Text as the document takes it: every line ending becomes one "\n".
QString ToLf(QString s) {
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QChar('\n'));
  return s;
}

QString JapaneseReason(const QFileDevice& f) {
  switch (f.error()) {
    case QFileDevice::ReadError: return QStringLiteral("読み込み中にエラーが発生しました。");
    case QFileDevice::WriteError: return QStringLiteral("書き込み中にエラーが発生しました（ディスクの空き容量が不足している可能性があります）。");
    case QFileDevice::ResourceError: return QStringLiteral("ディスクの空き容量またはシステムの資源が不足しています。");
    case QFileDevice::PermissionsError: return QStringLiteral("アクセス権がありません。");
    case QFileDevice::OpenError: return QStringLiteral("ファイルを開けません（存在しないか、アクセス権がありません）。");
    default: return QStringLiteral("ファイルを操作できません。");
  }
}

}  // namespace

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int y) {
    if (FlowLayout* flow = Flow()) flow->SetAnchor(y);
  });
  setLineWrapMode(QTextEdit::WidgetWidth);
  setAcceptRichText(true);
  AttachDocument();
  connect(this, &QTextEdit::cursorPositionChanged, this, [this] { emit OnSelectionChange(); });
  connect(this, &QTextEdit::selectionChanged, this, [this] {
    // A selection that changes without moving the caret (anchor moves) still counts.
    const QTextCursor c = textCursor();
    if (c.position() == lastCaret_) emit OnSelectionChange();
  });
  connect(this, &QTextEdit::cursorPositionChanged, this, [this] { lastCaret_ = textCursor().position(); });
}

TRichEdit::~TRichEdit() = default;

void TRichEdit::AttachDocument() {
  QTextDocument* doc = document();
  // Before the connections: a new layout reports the whole text as changed.
  if (!Flow()) doc->setDocumentLayout(new FlowLayout(doc));
  FlowLayout* flow = Flow();
  flow->SetAnchor(verticalScrollBar()->value());
  connect(flow, &FlowLayout::AnchorMoved, this, [this](qreal y) { verticalScrollBar()->setValue(qRound(y)); });
  index_ = std::make_unique<SjisIndex>(doc);
  connect(doc, &QTextDocument::contentsChange, this, [this](int pos, int removed, int added) {
    index_->ContentsChange(pos, removed, added);
    if (!loading_ && !composing_) modified_ = true;
  });
  connect(doc, &QTextDocument::contentsChanged, this, [this] {
    if (!loading_ && !composing_) emit OnChange();
  });
}

FlowLayout* TRichEdit::Flow() const { return qobject_cast<FlowLayout*>(document()->documentLayout()); }

// ---- files -----------------------------------------------------------------

void TRichEdit::LoadFromFile(const QString& path) {
  const QFileInfo info(path);
  if (info.isDir())
    throw EFileError(QStringLiteral("「%1」はフォルダーです。ファイルを指定してください。").arg(path));
  const auto tooLarge = [&] {
    return EFileError(QStringLiteral("「%1」は大きすぎるため開けません。\n開けるのは %2 MB までのファイルです。")
                          .arg(path)
                          .arg(MaxFileBytes >> 20));
  };
  // A pipe would hold the program until someone writes to it, a device can be
  // endless: only regular files are documents.
  if (info.exists() && !info.isFile())
    throw EFileError(QStringLiteral("「%1」は通常のファイルではない（デバイスやパイプなど）ため開けません。").arg(path));
  if (info.size() > MaxFileBytes) throw tooLarge();
  const WaitCursor wait;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    throw EFileError(QStringLiteral("「%1」を開けません。\n%2").arg(path, JapaneseReason(f)));
  // The size the file claims is not trusted: reading stops once past the limit.
  QByteArray bytes;
  bytes.reserve(qsizetype(std::min(info.size(), MaxFileBytes)) + 1);
  char chunk[1 << 16];
  for (qint64 n; bytes.size() <= MaxFileBytes && (n = f.read(chunk, sizeof chunk)) > 0;) bytes.append(chunk, n);
  if (f.error() != QFileDevice::NoError)
    throw EFileError(QStringLiteral("「%1」を読み込めません。\n%2").arg(path, JapaneseReason(f)));
  if (bytes.size() > MaxFileBytes) throw tooLarge();
  f.close();

  const auto tooMuchText = [&] {
    return EFileError(QStringLiteral("「%1」は大きすぎるため開けません。\n開けるのは %2 文字までの文書です。")
                          .arg(path)
                          .arg(MaxTextChars));
  };
  const auto tooLongParagraph = [&] {
    return EFileError(QStringLiteral("「%1」は一つの段落（行）が長すぎるため開けません。\n一つの段落は %2 文字までです。")
                          .arg(path)
                          .arg(MaxParagraphChars));
  };

  // Fill a detached document, then hand it over: no layout runs while it fills,
  // and the undo history starts empty.
  std::unique_ptr<QTextDocument> doc(new QTextDocument);
  doc->setDefaultFont(document()->defaultFont());
  doc->setUndoRedoEnabled(false);
  textdecode::Encoding encoding = textdecode::Encoding::Cp932;
  QString lineBreak = QStringLiteral("\r\n");
  rtf::Losses lost;
  if (rtf::LooksLikeRtf(bytes)) {
    lost = rtf::Read(bytes, doc.get());
    if (doc->characterCount() > MaxTextChars) throw tooMuchText();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
      if (b.length() > MaxParagraphChars) throw tooLongParagraph();
  } else {
    const QString text = textdecode::Decode(bytes, &encoding);
    // Plain ASCII reads as UTF-8 but is Shift-JIS as much: it stays the program's own.
    const auto ascii = [](char c) { return (c & 0x80) == 0; };
    if (encoding == textdecode::Encoding::Utf8 && std::all_of(bytes.begin(), bytes.end(), ascii))
      encoding = textdecode::Encoding::Cp932;
    // Shift-JIS text is always written with CR LF; the others keep their own
    // breaks (none in the file: LF where that is the custom, else CR LF).
    if (encoding != textdecode::Encoding::Cp932) lineBreak = textdecode::LineBreakOf(bytes, encoding);
    if (lineBreak.isEmpty()) lineBreak = encoding == textdecode::Encoding::Utf8 ? "\n" : "\r\n";
    if (text.size() > MaxTextChars) throw tooMuchText();
    for (qsizetype at = 0, next; at <= text.size(); at = next + 1) {
      next = text.indexOf(QChar('\n'), at);
      if (next < 0) next = text.size();
      if (next - at > MaxParagraphChars) throw tooLongParagraph();
    }
    doc->setPlainText(text);
  }
  doc->setUndoRedoEnabled(true);
  // Once filled, and before the control sees the document, which would lay it
  // all out with Qt's layout.
  doc->setDocumentLayout(new FlowLayout(doc.get()));
  doc->setParent(this);
  QPointer<QTextDocument> old = document();
  loading_ = true;
  setDocument(doc.get());
  loading_ = false;
  if (old && old->parent() == this) old->deleteLater();
  setTextCursor(QTextCursor(doc.release()));  // at the top, in the format of the first character
  AttachDocument();
  TextEncoding = encoding;
  LineBreak = lineBreak;
  LostOnLoad = lost;
  modified_ = true;  // the content changed; callers clear it
  emit OnChange();
  emit OnSelectionChange();
}

namespace {

QString CannotSave(const QString& path, const QString& why) {
  return QStringLiteral("「%1」に保存できません。\n%2").arg(path, why);
}

QString FolderNotWritable(const QString& path) {
  return QStringLiteral("保存先のフォルダー「%1」に書き込めません（アクセス権がありません）。")
      .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
}

// For a file whose folder takes no new file beside it: written over in place.
// A write that fails puts the old bytes back.
void WriteInPlace(const QString& path, const QByteArray& data) {
  QFile f(path);
  // Unbuffered: a failed write must leave nothing queued to spoil the restore.
  if (!f.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
    throw EFileError(CannotSave(path, FolderNotWritable(path)));
  const QByteArray old = f.readAll();
  if (f.error() != QFileDevice::NoError || !f.seek(0))
    throw EFileError(CannotSave(path, FolderNotWritable(path)));
  const bool written = f.write(data) == data.size() && f.flush() && f.resize(data.size());
  if (written) return;
  const bool restored = f.seek(0) && f.write(old) == old.size() && f.flush() && f.resize(old.size());
  throw EFileError(CannotSave(
      path, FolderNotWritable(path) + QStringLiteral("\nファイルに直接書き込みましたが、途中で失敗しました。") +
                (restored ? QStringLiteral("ファイルは元の内容に戻しました。")
                          : QStringLiteral("ファイルを元の内容に戻せませんでした。"))));
}

}  // namespace

void TRichEdit::SaveToFile(const QString& path) {
  const QFileInfo info(path);
  if (info.isDir())
    throw EFileError(QStringLiteral("「%1」はフォルダーです。保存できません。").arg(path));
  const QFileInfo dir(info.absolutePath());
  if (!dir.exists())
    throw EFileError(QStringLiteral("「%1」に保存できません。\n保存先のフォルダー「%2」がありません。")
                         .arg(path, QDir::toNativeSeparators(info.absolutePath())));
  QByteArray bytes;
  if (PlainText) {
    QString text = document()->toRawText();
    text.replace(QChar(0x2029), LineBreak);
    text.replace(QChar(0x2028), LineBreak);
    bytes = textdecode::Encode(text, TextEncoding);
    if (bytes.isEmpty() && !text.isEmpty())
      throw EFileError(CannotSave(path, QStringLiteral("文字コード（%1）に変換できません。").arg(textdecode::Name(TextEncoding))));
  } else {
    bytes = rtf::Write(document());
  }
  const auto fail = [&](const QFileDevice& f) { throw EFileError(CannotSave(path, JapaneseReason(f))); };
  if (info.exists() && !info.isFile()) {
    // A device or pipe cannot be replaced by renaming; write to it directly.
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) fail(f);
    if (f.write(bytes) != bytes.size() || !f.flush()) fail(f);
    f.close();
    if (f.error() != QFileDevice::NoError) fail(f);
    return;
  }
  // Written beside the file and renamed into place: a failure leaves the old file whole.
  QSaveFile f(path);
  if (f.open(QIODevice::WriteOnly)) {
    // Qt can report a short write (file size limit, full disk) as success, so
    // the bytes that reached the file are counted before it replaces the old one.
    if (f.write(bytes) != bytes.size() || !f.flush() || f.size() != bytes.size()) {
      f.cancelWriting();
      throw EFileError(CannotSave(
          path, QStringLiteral("書き込みが途中で失敗しました（ディスクの空き容量が不足している可能性があります）。")));
    }
    if (!f.commit()) fail(f);
    return;
  }
  // Nothing can be made beside the file: the folder refuses it.
  if (info.exists() && !info.isWritable())
    throw EFileError(CannotSave(path, QStringLiteral("ファイルが書き込み禁止です。")));
  if (info.exists()) return WriteInPlace(path, bytes);
  if (!dir.isWritable()) throw EFileError(CannotSave(path, FolderNotWritable(path)));
  fail(f);
}

// ---- text and positions ------------------------------------------------------

bool TRichEdit::GetModified() const { return modified_; }
void TRichEdit::SetModified(bool modified) {
  modified_ = modified;
  document()->setModified(modified);
}

QString TRichEdit::GetText() const { return ToCrLf(document()->toRawText()); }
int TRichEdit::GetTextLen() const { return int(index_->TotalBytes()); }
int TRichEdit::GetCharCount() const { return int(index_->TotalChars()); }

int TRichEdit::BytePosOf(int docPos) const { return index_->BytePos(docPos); }
int TRichEdit::DocPosOf(int bytePos) const { return index_->DocPos(bytePos); }
int TRichEdit::CharsBefore(int bytePos) const {
  if (bytePos <= 0) return 0;
  if (bytePos >= GetTextLen()) return int(index_->TotalChars());
  // A position inside a double-byte character still counts that character.
  const int doc = index_->DocPos(bytePos);
  int chars = index_->CharPos(doc);
  if (index_->BytePos(doc) < bytePos) ++chars;
  return chars;
}

int TRichEdit::GetSelStart() const { return BytePosOf(textCursor().selectionStart()); }
int TRichEdit::GetSelLength() const {
  const QTextCursor c = textCursor();
  return BytePosOf(c.selectionEnd()) - BytePosOf(c.selectionStart());
}

// A fresh cursor: moving the caret drops any insertion format set at the old
// place, so text typed next takes the format of the text around it.
void TRichEdit::SetSelStart(int bytePos) {
  QTextCursor c(document());
  c.setPosition(DocPosOf(bytePos));
  setTextCursor(c);
}

void TRichEdit::SetSelLength(int byteLen) {
  QTextCursor c(document());
  const int start = GetSelStart();
  c.setPosition(DocPosOf(start));
  c.setPosition(DocPosOf(std::max(0, start + byteLen)), QTextCursor::KeepAnchor);
  setTextCursor(c);
}

QString TRichEdit::GetSelText() const { return ToCrLf(textCursor().selectedText()); }

void TRichEdit::SetSelText(const QString& text) {
  QTextCursor c = textCursor();
  // The new text takes the format at the cursor's position: turned to the
  // selection's end, a leftward selection gives the same as a rightward one.
  if (c.position() < c.anchor()) {
    const int start = c.position(), end = c.anchor();
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
  }
  c.beginEditBlock();
  c.insertText(ToLf(text));
  c.endEditBlock();
  setTextCursor(c);
}

int TRichEdit::FindText(const QString& text, int start, int length, int searchTypes) const {
  const TextSearch search(text, searchTypes);
  if (search.IsEmpty() || length <= 0) return -1;
  const int total = GetTextLen();
  if (start < 0) start = 0;
  if (start >= total) return -1;
  const qint64 endByte = std::min<qint64>(qint64(start) + length, total);
  // A start inside a double-byte character begins the search after it.
  int from = DocPosOf(start);
  if (BytePosOf(from) < start) ++from;
  const int at = int(search.IndexIn(document()->toRawText(), from, DocPosOf(int(endByte))));
  return at < 0 ? -1 : BytePosOf(at);
}

int TRichEdit::LineFromChar(int bytePos) const {
  const int doc = DocPosOf(std::clamp(bytePos, 0, GetTextLen()));
  const QTextBlock b = document()->findBlock(doc);
  if (!b.isValid()) return 0;
  const qint64 before = Flow()->LinesBefore(b.blockNumber());
  const QTextLayout* layout = b.layout();
  int line = 0;
  if (layout) {
    const int rel = doc - b.position();
    for (int i = 0; i < layout->lineCount(); ++i)
      if (layout->lineAt(i).textStart() <= rel) line = i;
  }
  return int(before + line);
}

int TRichEdit::LineIndex(int line) const {
  if (line < 0) return -1;
  const int k = Flow()->BlockOfLine(line);
  if (k < 0) return -1;
  const QTextBlock b = document()->findBlockByNumber(k);
  const int inBlock = int(line - Flow()->LinesBefore(k));
  const QTextLayout* layout = b.layout();
  int rel = 0;
  if (layout && inBlock < layout->lineCount()) rel = layout->lineAt(inBlock).textStart();
  return BytePosOf(b.position() + rel);
}

// ---- commands ------------------------------------------------------------------

void TRichEdit::Undo() { undo(); }
void TRichEdit::ScrollCaret() { ensureCursorVisible(); }
void TRichEdit::SelectAll() { selectAll(); }
void TRichEdit::CutToClipboard() { cut(); }
void TRichEdit::CopyToClipboard() { copy(); }
void TRichEdit::PasteFromClipboard() { paste(); }

// Laid out and drawn here rather than by QTextDocument::print, which gives no
// word when the printer or the PDF file cannot be opened.
void TRichEdit::Print(const QString& title, QPrinter* printer) {
  if (!printer) return;
  printer->setDocName(title);
  const auto failed = [&] {
    const QString target = printer->outputFileName().isEmpty()
                               ? QStringLiteral("プリンター「%1」").arg(printer->printerName())
                               : QStringLiteral("「%1」").arg(printer->outputFileName());
    return EFileError(QStringLiteral("「%1」を印刷できません。\n%2に出力できません（プリンターがないか、"
                                     "出力先に書き込めないか、印刷を受け付けられませんでした）。")
                          .arg(title, target));
  };
  QPainter painter;
  if (!painter.begin(printer)) throw failed();
  std::unique_ptr<QTextDocument> doc(document()->clone());
  doc->documentLayout()->setPaintDevice(printer);
  // A margin of 2 cm around the text, within the printable area.
  const double margin = printer->logicalDpiY() * 2 / 2.54;
  QTextFrameFormat frame = doc->rootFrame()->frameFormat();
  frame.setMargin(margin);
  doc->rootFrame()->setFrameFormat(frame);
  const QRectF page(QPointF(0, 0), QSizeF(printer->width(), printer->height()));
  doc->setPageSize(page.size());
  const int pages = doc->pageCount();
  const int first = printer->fromPage() > 0 ? printer->fromPage() : 1;
  const int last = printer->toPage() > 0 ? std::min(printer->toPage(), pages) : pages;
  for (int i = first; i <= last; ++i) {
    if (i > first) printer->newPage();
    painter.save();
    painter.translate(0, -(i - 1) * page.height());
    doc->drawContents(&painter, page.translated(0, (i - 1) * page.height()));
    painter.restore();
  }
  // The job goes to the printer here, which may still refuse it.
  if (!painter.end()) throw failed();
}

TColor TRichEdit::GetColor() const { return color_; }
void TRichEdit::SetColor(TColor color) {
  color_ = color;
  QPalette pal = palette();
  pal.setColor(QPalette::Base, ToQColor(color));
  setPalette(pal);
}

// ---- input -------------------------------------------------------------------------

void TRichEdit::keyPressEvent(QKeyEvent* e) {
  // Shift+Enter would make a line break inside the paragraph; the document
  // knows only paragraphs, as the files do.
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
      (e->modifiers() & Qt::ShiftModifier)) {
    QKeyEvent plain(e->type(), e->key(), e->modifiers() & ~Qt::ShiftModifier, e->text(),
                    e->isAutoRepeat(), ushort(e->count()));
    QTextEdit::keyPressEvent(&plain);
    e->setAccepted(plain.isAccepted());
    return;
  }
  QTextEdit::keyPressEvent(e);
}

void TRichEdit::inputMethodEvent(QInputMethodEvent* e) {
  // Qt reports a new preedit text as a change of its paragraph, though it lives
  // in the layout only. It becomes a change when the input method commits it,
  // or when composing starts over a selection, which deletes the selection.
  const QTextCursor c = textCursor();
  const bool edits = !e->commitString().isEmpty() || e->replacementLength() > 0 ||
                     (c.hasSelection() && e->preeditString() != c.block().layout()->preeditAreaText());
  composing_ = !edits;
  QTextEdit::inputMethodEvent(e);
  composing_ = false;
}

void TRichEdit::keyReleaseEvent(QKeyEvent* e) {
  QTextEdit::keyReleaseEvent(e);
  emit OnKeyUp(e->key(), e->modifiers());
}

// Without a button held, the text control would search the whole document
// for a link under the mouse on every move: there are none to find.
void TRichEdit::mouseMoveEvent(QMouseEvent* e) {
  if (e->buttons() == Qt::NoButton) {
    e->accept();
    return;
  }
  QTextEdit::mouseMoveEvent(e);
}

void TRichEdit::mousePressEvent(QMouseEvent* e) {
  QTextEdit::mousePressEvent(e);
  const QPoint p = e->position().toPoint();
  emit OnMouseDown(e->button(), e->modifiers(), p.x(), p.y());
}

void TRichEdit::contextMenuEvent(QContextMenuEvent* e) {
  // The owner shows its own menu from OnMouseDown.
  e->accept();
}

void TRichEdit::insertFromMimeData(const QMimeData* source) {
  if (!source) return;
  if (source->hasHtml()) {
    // Keep formatted pastes that are plain runs and paragraphs; anything with
    // tables or images comes in as text, so every position stays a character.
    const QTextDocumentFragment frag = QTextDocumentFragment::fromHtml(source->html(), document());
    QTextDocument probe;
    QTextCursor(&probe).insertFragment(frag);
    const bool simple = probe.rootFrame()->childFrames().isEmpty() &&
                        !probe.toRawText().contains(QChar::ObjectReplacementCharacter);
    if (simple) {
      QTextCursor c = textCursor();
      c.beginEditBlock();
      c.insertFragment(frag);
      c.endEditBlock();
      setTextCursor(c);
      return;
    }
  }
  if (source->hasText()) {
    QTextCursor c = textCursor();
    c.beginEditBlock();
    c.insertText(ToLf(source->text()));
    c.endEditBlock();
    setTextCursor(c);
  }
}

// ---- attributes ---------------------------------------------------------------------

QTextCharFormat TTextAttributes::Current() const {
  const QTextCursor sel = owner_->textCursor();
  if (!sel.hasSelection()) return owner_->currentCharFormat();
  QTextCursor c(owner_->document());
  c.setPosition(sel.selectionStart() + 1);
  return c.charFormat();
}

void TTextAttributes::Merge(const QTextCharFormat& f) { owner_->mergeCurrentCharFormat(f); }

QString TTextAttributes::GetName() const {
  const QTextCharFormat f = Current();
  const QStringList fam = f.fontFamilies().toStringList();
  if (!fam.isEmpty() && !fam.first().isEmpty()) return fam.first();
  return owner_->document()->defaultFont().family();
}
void TTextAttributes::SetName(const QString& name) {
  QTextCharFormat f;
  f.setFontFamilies({name});
  Merge(f);
}

int TTextAttributes::GetSize() const {
  const double pt = Current().fontPointSize();
  if (pt > 0) return int(std::lround(pt));
  const QFont d = owner_->document()->defaultFont();
  return d.pointSize() > 0 ? d.pointSize() : int(std::lround(d.pointSizeF()));
}
void TTextAttributes::SetSize(int points) {
  // A size the font system cannot take leaves the text as it was.
  if (points <= 0) return;
  QTextCharFormat f;
  f.setFontPointSize(points);
  Merge(f);
}

TColor TTextAttributes::GetColor() const {
  const QTextCharFormat f = Current();
  if (f.foreground().style() == Qt::NoBrush) return FromQColor(owner_->palette().color(QPalette::Text));
  return FromQColor(f.foreground().color());
}
void TTextAttributes::SetColor(TColor color) {
  QTextCharFormat f;
  f.setForeground(ToQColor(color));
  Merge(f);
}

TFontStyles TTextAttributes::GetStyle() const {
  const QTextCharFormat f = Current();
  TFontStyles s;
  if (f.fontWeight() >= QFont::DemiBold) s = s.With(TFontStyle::fsBold);
  if (f.fontItalic()) s = s.With(TFontStyle::fsItalic);
  if (f.fontUnderline()) s = s.With(TFontStyle::fsUnderline);
  if (f.fontStrikeOut()) s = s.With(TFontStyle::fsStrikeOut);
  return s;
}
void TTextAttributes::SetStyle(TFontStyles style) {
  QTextCharFormat f;
  f.setFontWeight(style.Contains(TFontStyle::fsBold) ? QFont::Bold : QFont::Normal);
  f.setFontItalic(style.Contains(TFontStyle::fsItalic));
  f.setFontUnderline(style.Contains(TFontStyle::fsUnderline));
  f.setFontStrikeOut(style.Contains(TFontStyle::fsStrikeOut));
  Merge(f);
}

void TTextAttributes::SetCharset(int charset) {
  QTextCharFormat f;
  f.setProperty(textfmt::CharsetProperty, charset);
  Merge(f);
}

void TTextAttributes::Assign(const QFont& font, TColor color) {
  QTextCharFormat f;
  f.setFontFamilies({font.family()});
  if (font.pointSize() > 0) f.setFontPointSize(font.pointSize());
  f.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
  f.setFontItalic(font.italic());
  f.setFontUnderline(font.underline());
  f.setFontStrikeOut(font.strikeOut());
  f.setForeground(ToQColor(color));
  Merge(f);
}

QFont TTextAttributes::ToFont(TColor* color) const {
  QFont font(GetName());
  font.setPointSize(std::max(1, GetSize()));
  const TFontStyles s = GetStyle();
  font.setBold(s.Contains(TFontStyle::fsBold));
  font.setItalic(s.Contains(TFontStyle::fsItalic));
  font.setUnderline(s.Contains(TFontStyle::fsUnderline));
  font.setStrikeOut(s.Contains(TFontStyle::fsStrikeOut));
  if (color) *color = GetColor();
  return font;
}

namespace {

// Runs f on the block format of every paragraph the selection touches, as one undo step.
template <typename F>
void ForEachTouchedBlock(TRichEdit* edit, F f) {
  const QTextCursor sel = edit->textCursor();
  QTextDocument* doc = edit->document();
  QTextBlock b = doc->findBlock(sel.selectionStart());
  const QTextBlock last = doc->findBlock(sel.selectionEnd());
  QTextCursor c(doc);
  c.beginEditBlock();
  for (; b.isValid(); b = b.next()) {
    QTextBlockFormat fmt = b.blockFormat();
    f(fmt);
    c.setPosition(b.position());
    c.setBlockFormat(fmt);
    if (b == last) break;
  }
  c.endEditBlock();
}

QTextBlock SelectionBlock(const TRichEdit* edit) {
  return edit->document()->findBlock(edit->textCursor().selectionStart());
}

}  // namespace

TAlignment TParaAttributes::GetAlignment() const {
  const Qt::Alignment a = SelectionBlock(owner_).blockFormat().alignment();
  if (a & Qt::AlignRight) return taRightJustify;
  if (a & Qt::AlignHCenter) return taCenter;
  return taLeftJustify;
}
void TParaAttributes::SetAlignment(TAlignment a) {
  const Qt::Alignment qa = a == taRightJustify ? Qt::AlignRight
                         : a == taCenter       ? Qt::AlignHCenter
                                               : Qt::AlignLeft;
  ForEachTouchedBlock(owner_, [qa](QTextBlockFormat& f) { f.setAlignment(qa); });
}

int TParaAttributes::GetFirstIndent() const { return textfmt::GetIndents(SelectionBlock(owner_).blockFormat()).first; }
int TParaAttributes::GetLeftIndent() const { return textfmt::GetIndents(SelectionBlock(owner_).blockFormat()).left; }
int TParaAttributes::GetRightIndent() const { return textfmt::GetIndents(SelectionBlock(owner_).blockFormat()).right; }

void TParaAttributes::SetFirstIndent(int points) {
  ForEachTouchedBlock(owner_, [points](QTextBlockFormat& f) {
    textfmt::Indents in = textfmt::GetIndents(f);
    in.first = points;
    textfmt::SetIndents(f, in);
  });
}
void TParaAttributes::SetLeftIndent(int points) {
  ForEachTouchedBlock(owner_, [points](QTextBlockFormat& f) {
    textfmt::Indents in = textfmt::GetIndents(f);
    in.left = points;
    textfmt::SetIndents(f, in);
  });
}
void TParaAttributes::SetRightIndent(int points) {
  ForEachTouchedBlock(owner_, [points](QTextBlockFormat& f) {
    textfmt::Indents in = textfmt::GetIndents(f);
    in.right = points;
    textfmt::SetIndents(f, in);
  });
}

TNumberingStyle TParaAttributes::GetNumbering() const {
  const QTextList* list = SelectionBlock(owner_).textList();
  return list && list->format().style() == QTextListFormat::ListDisc ? nsBullet : nsNone;
}

void TParaAttributes::SetNumbering(TNumberingStyle n) {
  QTextCursor sel = owner_->textCursor();
  QTextDocument* doc = owner_->document();
  sel.beginEditBlock();
  if (n == nsBullet) {
    QTextBlock b = doc->findBlock(sel.selectionStart());
    const QTextBlock last = doc->findBlock(sel.selectionEnd());
    QTextList* list = nullptr;
    for (; b.isValid(); b = b.next()) {
      if (!b.textList()) {
        if (!list) {
          QTextCursor c(b);
          QTextListFormat lf;
          lf.setStyle(QTextListFormat::ListDisc);
          lf.setIndent(1);
          list = c.createList(lf);
        } else {
          list->add(b);
        }
      } else {
        list = b.textList();
      }
      if (b == last) break;
    }
  } else {
    QTextBlock b = doc->findBlock(sel.selectionStart());
    const QTextBlock last = doc->findBlock(sel.selectionEnd());
    for (; b.isValid(); b = b.next()) {
      if (QTextList* list = b.textList()) {
        list->remove(b);
        QTextCursor c(b);
        QTextBlockFormat f = b.blockFormat();
        f.setIndent(0);
        f.setObjectIndex(-1);
        c.setBlockFormat(f);
      }
      if (b == last) break;
    }
  }
  sel.endEditBlock();
}
