#pragma once
// Rich text format reading and writing for the document control.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

class QTextDocument;

namespace rtf {

// True when the content is RTF: "{\rtf" at the start (leading whitespace and a
// UTF-8 byte-order mark allowed).
bool LooksLikeRtf(QByteArrayView data);

// What a file held that the document cannot, by kind.
enum class Lost : int { Picture, Shape, TextBox, Object, Footnote, Comment, HeaderFooter, Ruby, Kinds };

struct Losses {
  std::array<int, size_t(Lost::Kinds)> count{};
  int& operator[](Lost kind) { return count[size_t(kind)]; }
  int operator[](Lost kind) const { return count[size_t(kind)]; }
  bool Any() const;
  // "図 3 個、脚注 2 個": the kinds found, in a fixed order; empty when none.
  QString Describe() const;
};

// Replaces the document's content with the RTF's text and formatting, inside
// one edit block, and counts what it could not keep. Never throws, never
// crashes, never recurses without bound: a broken file loads as far as it can be read.
Losses Read(QByteArrayView data, QTextDocument* doc);

// The whole document as RTF (\ansicpg932, font and colour tables, \uN with
// CP932 fallback bytes, character and paragraph properties, bullets).
QByteArray Write(const QTextDocument* doc);

}  // namespace rtf
