#pragma once
// Plain-text files: the encoding is decided from the bytes.
#include <QByteArrayView>
#include <QString>

namespace textdecode {

enum class Encoding { Utf8Bom, Utf16LE, Utf16BE, Utf8, Cp932, EucJp };

// BOM first; then valid UTF-8; then EUC-JP where the detector is sure; else CP932.
Encoding Detect(QByteArrayView bytes);

// The text with every line ending (CR LF, LF, CR) turned into "\n". NUL and
// invalid sequences never fail: they become U+FFFD (NUL stays out of the text).
QString Decode(QByteArrayView bytes, Encoding* used = nullptr);

}  // namespace textdecode
