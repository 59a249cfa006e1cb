#pragma once
// Plain-text files: the encoding is decided from the bytes.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include "platform/ShiftJis.h"

namespace textdecode {

enum class Encoding { Utf8Bom, Utf16LE, Utf16BE, Utf8, Cp932, EucJp };

// BOM first; then valid UTF-8 (pure ASCII included; a sequence cut off at the
// very end is allowed); then EUC-JP where the bytes are valid EUC-JP and either
// ICU's detector names EUC-JP with confidence or CP932 cannot read them; else CP932.
Encoding Detect(QByteArrayView bytes);

// The text with every line ending (CR LF, LF, CR) turned into "\n". Nothing
// fails: NUL bytes, invalid sequences and lone surrogates become U+FFFD each
// (so a NUL never reaches the document, and nothing is silently dropped).
QString Decode(QByteArrayView bytes, Encoding* used = nullptr);

// The first line break of the bytes as it stands there ("\r\n", "\n" or "\r");
// empty when there is none.
QString LineBreakOf(QByteArrayView bytes, Encoding e);

// The text in the encoding, a BOM first for Utf8Bom and UTF-16. Characters
// the encoding lacks become its substitute.
QByteArray Encode(QStringView text, Encoding e);

// The characters the encoding cannot hold, in text order; at most max of them
// (max < 0: all). None for UTF-8 and UTF-16.
QList<sjis::Unencodable> UnencodableChars(QStringView text, Encoding e, int max = -1);

// The encoding's name as the user knows it.
QString Name(Encoding e);

}  // namespace textdecode
