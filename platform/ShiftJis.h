#pragma once
// Shift-JIS (CP932) measure and conversion. Texts live as QString; only their
// measure is Shift-JIS: a character CP932 cannot encode measures 2, the width
// of its substitute.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

namespace sjis {

// Bytes the code point takes in CP932: 1 or 2.
int CodePointWidth(char32_t cp);
// The same for every BMP code point at once, for loops over long texts: an
// entry of 1 means one byte, any other value two.
const quint8* BmpWidthTable();
// Byte length of the text in CP932 (line breaks as they stand in the text).
qsizetype ByteLength(QStringView text);

// CP932 through ICU; unencodable characters become the converter's substitute.
QByteArray Encode(QStringView text);
// CP932 to text; invalid sequences become U+FFFD, never an error.
QString Decode(QByteArrayView bytes);

struct Unencodable {
  char32_t ch;        // the character
  qsizetype index;    // UTF-16 index in the text
  int line;           // 1-based line ("\r\n", "\n", "\r" end a line)
};
// The characters CP932 cannot encode, in text order; at most max of them (max < 0: all).
QList<Unencodable> UnencodableChars(QStringView text, int max = -1);

}  // namespace sjis

// The number of characters whose first byte lies within the first n bytes of a
// Shift-JIS string s (n clipped to s's length; 0 when n <= 0). A lead byte
// 0x81-0x9F or 0xE0-0xFC followed by its trail byte counts once.
int ByteToCharLen(QByteArrayView s, qsizetype n);
