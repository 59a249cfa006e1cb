#pragma once
// The 原稿用紙 line breaker and counter: ruby notation, cells, 禁則, lines and
// sheets. Pure text logic; the preview, the PDF and the count all lay out
// through it, so they cannot disagree.
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <vector>

namespace tategaki {

struct Ruby {
  int start = 0;   // base, as an index range of the shown text (UTF-16)
  int length = 0;
  QString text;
};

// A paragraph with its notation resolved: the text as shown and its ruby.
struct ParsedParagraph {
  QString shown;
  QList<Ruby> rubies;
  std::vector<int> source;  // for each shown UTF-16 unit, its index in the source text
};

// ｜親文字《るび》, 漢字《るび》 and ［＃…］ within one paragraph; notation that is
// not well formed stays as ordinary text.
ParsedParagraph ParseParagraph(QStringView text);

// One cell of the grid: a range of the shown text. A cell normally holds one
// character or two half-width letters and digits; the last cell of a line may
// also carry a hanging run of closing characters (hangStart..end).
struct Cell {
  int start = 0;
  int end = 0;
  int hangStart = -1;  // -1: nothing hangs here
  int TextEnd() const { return hangStart < 0 ? end : hangStart; }
};

struct Line {
  int firstCell = 0;  // into ParagraphLayout::cells
  int cellCount = 0;
};

struct ParagraphLayout {
  ParsedParagraph text;
  std::vector<Cell> cells;
  std::vector<Line> lines;  // at least one, even for an empty paragraph
  int characters = 0;       // code points shown
  int charactersNoSpaces = 0;
};

// Breaks one paragraph into lines of cellsPerLine cells.
ParagraphLayout LayOutParagraph(QStringView text, int cellsPerLine);

// Whether a shown character is a half-width ASCII letter or digit (two share a cell).
bool IsHalfWidthAlnum(char32_t c);

// A whole document as paragraphs, laid out once each: an update lays out
// again only the paragraphs whose text changed, and shifts the rest.
class DocumentLayout {
 public:
  explicit DocumentLayout(int cellsPerLine = 20, int linesPerPage = 20);

  int CellsPerLine() const { return cellsPerLine_; }
  int LinesPerPage() const { return linesPerPage_; }

  // The document's paragraphs in order. Returns the index of the first
  // paragraph that changed (ParagraphCount() when none did).
  int Update(const QStringList& paragraphs);

  int ParagraphCount() const { return int(paragraphs_.size()); }
  const ParagraphLayout& Paragraph(int i) const { return *paragraphs_[size_t(i)]; }
  // First line of paragraph i in the document.
  int FirstLine(int i) const { return firstLine_[size_t(i)]; }

  // Trailing empty paragraphs take no lines.
  int LineCount() const { return lineCount_; }
  int PageCount() const { return (lineCount_ + linesPerPage_ - 1) / linesPerPage_; }
  // Lines on the last page (0 for an empty document).
  int LastPageLines() const { return lineCount_ ? lineCount_ - (PageCount() - 1) * linesPerPage_ : 0; }

  struct LineRef {
    int paragraph = -1;
    int line = -1;  // within the paragraph
  };
  // The paragraph and its line for a document line (paragraph -1 past the end).
  LineRef Locate(int documentLine) const;
  // The document line that shows the character at sourceIndex of the paragraph's source text.
  int LineOfSource(int paragraph, int sourceIndex) const;

  // Paragraphs laid out since construction: after an edit, only the changed ones are.
  long LayoutRuns() const { return layoutRuns_; }

 private:
  void Reindex(int from);

  int cellsPerLine_;
  int linesPerPage_;
  QStringList sources_;
  std::vector<std::shared_ptr<const ParagraphLayout>> paragraphs_;
  std::vector<int> firstLine_;
  int lineCount_ = 0;
  long layoutRuns_ = 0;
};

// The numbers of the character count, for a document or a selection.
struct Count {
  int characters = 0;
  int charactersNoSpaces = 0;
  int paragraphs = 0;  // holding at least one character other than a space
  int sheets = 0;
  int lastSheetLines = 0;
};
Count CountText(const DocumentLayout& layout);
// The count of a text with any line breaks, on 20 × 20 sheets.
Count CountText(QStringView text);
// Splits text with CR LF, LF or CR line breaks into paragraphs.
QStringList SplitParagraphs(QStringView text);

}  // namespace tategaki
