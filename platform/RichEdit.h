#pragma once
// The document control: a QTextEdit that answers in Shift-JIS byte units.
// Positions and lengths are byte offsets into the text with CR LF line breaks:
// a double-byte character counts 2, a single-byte one 1, a line break 2.
#include <QString>
#include <QTextEdit>
#include <memory>

#include "platform/Colors.h"
#include "platform/Rtf.h"
#include "platform/TextDecode.h"
#include "platform/TextFormat.h"

class QPrinter;
class TRichEdit;
class FlowLayout;
class SjisIndex;

enum class TFontStyle { fsBold = 0, fsItalic = 1, fsUnderline = 2, fsStrikeOut = 3 };

// A set of TFontStyle, bits 0..3.
struct TFontStyles {
  unsigned bits = 0;
  bool Contains(TFontStyle s) const { return bits & (1u << int(s)); }
  TFontStyles With(TFontStyle s) const { return {bits | (1u << int(s))}; }
  TFontStyles Without(TFontStyle s) const { return {bits & ~(1u << int(s))}; }
  bool operator==(const TFontStyles&) const = default;
};

enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
enum TNumberingStyle { nsNone = 0, nsBullet = 1 };
enum TSearchType { stWholeWord = 1, stMatchCase = 2 };

// Character attributes of the selection, or of the caret's insertion point
// when nothing is selected. Reading a mixed selection answers for its first character.
class TTextAttributes {
 public:
  explicit TTextAttributes(TRichEdit* owner) : owner_(owner) {}
  QString GetName() const;       void SetName(const QString& name);
  int GetSize() const;           void SetSize(int points);
  TColor GetColor() const;       void SetColor(TColor color);
  TFontStyles GetStyle() const;  void SetStyle(TFontStyles style);
  void SetCharset(int charset);  // write only (textfmt::ShiftJisCharset, ...)
  // Name, size, style, colour (and charset when the font names one) from a font.
  void Assign(const QFont& font, TColor color);
  // The attributes as a font; colour through the out-parameter.
  QFont ToFont(TColor* color = nullptr) const;

 private:
  QTextCharFormat Current() const;
  void Merge(const QTextCharFormat& f);
  TRichEdit* owner_;
};

// Paragraph attributes of the paragraph holding the selection's start; setting
// applies to every paragraph the selection touches. Indents in whole points.
class TParaAttributes {
 public:
  explicit TParaAttributes(TRichEdit* owner) : owner_(owner) {}
  TAlignment GetAlignment() const;       void SetAlignment(TAlignment a);
  int GetFirstIndent() const;            void SetFirstIndent(int points);
  int GetLeftIndent() const;             void SetLeftIndent(int points);
  int GetRightIndent() const;            void SetRightIndent(int points);
  TNumberingStyle GetNumbering() const;  void SetNumbering(TNumberingStyle n);

 private:
  TRichEdit* owner_;
};

class TRichEdit : public QTextEdit {
  Q_OBJECT
 public:
  explicit TRichEdit(QWidget* parent = nullptr);
  ~TRichEdit() override;

  // Rich text when the file's content is RTF, else plain text (encoding detected).
  // Throws EFileError. Replaces the document; clears the undo history.
  // Anything but a regular file is refused before it is opened, files above
  // MaxFileBytes before they are read (and whatever grows past it while being
  // read); texts above MaxTextChars, or with a paragraph above MaxParagraphChars, after.
  void LoadFromFile(const QString& path);
  // Beyond these the layout would hold the window for many seconds on opening
  // and on each key (about a second per million characters of one paragraph)
  // and take gigabytes: files no one edits by hand.
  static constexpr qint64 MaxFileBytes = qint64(64) << 20;
  static constexpr int MaxTextChars = 8 << 20;
  static constexpr int MaxParagraphChars = 1 << 20;
  // RTF, or text in TextEncoding with LineBreak when PlainText. Throws
  // EFileError; the file already on disk is left as it was when the save fails.
  void SaveToFile(const QString& path);
  bool PlainText = false;
  // How plain text is written. LoadFromFile takes them from a text file, so
  // that Save gives the file back as it was; RTF and new documents: CP932, CR LF.
  textdecode::Encoding TextEncoding = textdecode::Encoding::Cp932;
  QString LineBreak = QStringLiteral("\r\n");
  // What the loaded RTF file held that the document cannot (pictures,
  // footnotes, ...); empty for text. Whoever saves the document clears it.
  rtf::Losses LostOnLoad;

  bool GetModified() const;
  void SetModified(bool modified);

  QString GetText() const;   // the whole text, line breaks as "\r\n"
  int GetTextLen() const;    // its byte length

  int GetSelStart() const;
  void SetSelStart(int bytePos);          // empties the selection there
  int GetSelLength() const;
  void SetSelLength(int byteLen);         // extends from the selection start
  QString GetSelText() const;             // line breaks as "\r\n"
  void SetSelText(const QString& text);   // replaces the selection; one undo step

  // First byte position of text in [start, start + length), clipped at the end; -1 if none.
  int FindText(const QString& text, int start, int length, int searchTypes) const;

  int CharsBefore(int bytePos) const;     // ByteToCharLen(Text, bytePos)
  int GetCharCount() const;               // ByteToCharLen(Text, GetTextLen())
  int LineFromChar(int bytePos) const;    // 0-based display line holding the position
  int LineIndex(int line) const;          // byte position of a display line's start; -1 past the end

  void Undo();                            // one user action back
  void ScrollCaret();
  void SelectAll();
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  // Throws EFileError when the printer (or the PDF file) cannot be opened.
  void Print(const QString& title, QPrinter* printer);

  TTextAttributes& SelAttributes() { return selAttributes_; }
  TParaAttributes& Paragraph() { return paragraph_; }

  TColor GetColor() const;                // background of the whole control
  void SetColor(TColor color);

  // Document position (UTF-16 index in QTextDocument) <-> byte offset.
  int BytePosOf(int docPos) const;
  int DocPosOf(int bytePos) const;

 signals:
  void OnChange();
  void OnSelectionChange();
  void OnKeyUp(int key, Qt::KeyboardModifiers shift);
  void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void insertFromMimeData(const QMimeData* source) override;
  void inputMethodEvent(QInputMethodEvent* e) override;

 private:
  void AttachDocument();
  friend class TTextAttributes;
  friend class TParaAttributes;
  std::unique_ptr<SjisIndex> index_;
  // The document's layout, ours from AttachDocument on.
  FlowLayout* Flow() const;
  TTextAttributes selAttributes_{this};
  TParaAttributes paragraph_{this};
  TColor color_ = clWindow;
  bool modified_ = false;
  bool loading_ = false;
  bool composing_ = false;  // the input method is only updating its preedit text
  int lastCaret_ = 0;
};
