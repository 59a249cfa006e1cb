#pragma once
// Plain-text files: the encoding is decided from the bytes.
#include <QByteArrayView>
#include <QString>

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

}  // namespace textdecode
