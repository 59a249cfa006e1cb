#pragma once
// Rich text format reading and writing for the document control.
#include <QByteArray>
#include <QByteArrayView>

class QTextDocument;

namespace rtf {

// True when the content is RTF: "{\rtf" at the start (leading whitespace and a
// UTF-8 byte-order mark allowed).
bool LooksLikeRtf(QByteArrayView data);

// Replaces the document's content with the RTF's text and formatting, inside
// one edit block. Never throws, never crashes, never recurses without bound:
// a broken file loads as far as it can be read.
void Read(QByteArrayView data, QTextDocument* doc);

// The whole document as RTF (\ansicpg932, font and colour tables, \uN with
// CP932 fallback bytes, character and paragraph properties, bullets).
QByteArray Write(const QTextDocument* doc);

}  // namespace rtf
