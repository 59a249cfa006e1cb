// RTF reading and writing, and plain-text decoding, on large inputs.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTextDocument>

#include "platform/Rtf.h"
#include "platform/RtfCodePage.h"
#include "platform/TextDecode.h"

namespace {

// The corpus text (Shift-JIS, CR LF), or a stand-in when the corpus is absent.
QByteArray CorpusSjis() {
  QFile f(QStringLiteral(SORAMEMO_CORPUS "/text/chukiichiran_kinyurei.sjis.txt"));
  if (f.open(QIODevice::ReadOnly)) return f.readAll();
  // "日本語の文章、ｶﾀｶﾅ、ASCII text." as CP932, in lines.
  const QByteArray line =
      "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x95\xb6\x8f\xcd\x81\x41\xb6\xc0\xb6\xc5\x81\x41"
      "ASCII text.\r\n";
  QByteArray out;
  while (out.size() < 32 * 1024) out += line;
  return out;
}

// At least `bytes` of the corpus, whole copies.
QByteArray Repeated(const QByteArray& unit, qsizetype bytes) {
  QByteArray out;
  out.reserve(bytes + unit.size());
  while (out.size() < bytes) out += unit;
  return out;
}

// RTF shaped like LibreOffice's export of a Japanese text file: a long
// property run per paragraph, every non-ASCII character as \uN plus its
// two-byte fallback under \uc2.
QByteArray LibreOfficeStyleRtf(const QString& text) {
  QByteArray out =
      "{\\rtf1\\ansi\\deff4\\adeflang1025\n"
      "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\froman\\fprq2\\fcharset2 "
      "Symbol;}{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}{\\f3\\froman\\fprq2\\fcharset0 Liberation "
      "Serif{\\*\\falt Times New Roman};}{\\f4\\fnil\\fprq2\\fcharset0 Noto Sans CJK JP;}}\n"
      "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\n"
      "{\\stylesheet{\\s0\\snext0\\rtlch\\af4\\afs24\\alang1081 \\ltrch\\lang1033\\langfe1041"
      "\\hich\\af3\\loch\\widctlpar\\hyphpar0\\ltrpar\\cf0\\f3\\fs24\\lang1033\\kerning1\\dbch\\af4"
      "\\langfe1041 Default Paragraph Style;}}\n"
      "{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}"
      "{\\info{\\creatim\\yr2024\\mo5\\dy1\\hr10\\min0}}\\deftab709\n"
      "\\hyphauto1\\viewscale100\\formshade\\paperh16838\\paperw11906\\margl1134\\margr1134"
      "\\margt1134\\margb1134\\sectd\\sbknone\\sftnnar\\saftnnrlc\\sectunlocked1\\pgwsxn11906"
      "\\pghsxn16838\\marglsxn1134\\margrsxn1134\\margtsxn1134\\margbsxn1134\\ftnbj\\ftnstart1"
      "\\ftnrstcont\\ftnnar\\aenddoc\\aftnrstcont\\aftnstart1\\aftnnrlc\\htmautsp\n"
      "{\\*\\ftnsep\\chftnsep}\\pgndec";
  const QByteArray para =
      "\\pard\\plain \\s0\\widctlpar\\hyphpar0\\ltrpar\\cf0\\f3\\fs24\\lang1033\\kerning1\\dbch"
      "\\af4\\langfe1041\\dbch\\af4\\afs24\\alang1081\\loch\\f3\\hich\\af3\\fs24\\lang1033"
      "{\\rtlch \\ltrch\\loch\\uc2 ";
  out.reserve(text.size() * 16);
  out += para;
  int column = 0;
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u == '\n') {
      out += "}\n\\par ";
      out += para;
      column = 0;
      continue;
    }
    if (column++ > 60) {  // LibreOffice wraps its lines
      out += '\n';
      column = 0;
    }
    if (u < 0x80) {
      if (u == '\\' || u == '{' || u == '}') out += '\\';
      out += char(u);
      continue;
    }
    unsigned char b[2];
    const int n = rtf::Cp932Bytes(u, b);
    out += "\\u";
    out += QByteArray::number(int(u));
    for (int i = 0; i < 2; ++i) {
      static const char kHex[] = "0123456789abcdef";
      const unsigned char x = i < n ? b[i] : '?';
      out += "\\'";
      out += kHex[x >> 4];
      out += kHex[x & 15];
    }
  }
  out += "}\n\\par }";
  return out;
}

// About 1 MB of Japanese text in UTF-8, as LibreOffice would export it.
const QByteArray& LargeRtf() {
  static const QByteArray rtf = [] {
    const QString unit = textdecode::Decode(CorpusSjis());
    const qsizetype unitUtf8 = unit.toUtf8().size();
    QString text;
    for (qsizetype size = 0; size < 1024 * 1024; size += unitUtf8) text += unit;
    return LibreOfficeStyleRtf(text);
  }();
  return rtf;
}

void BM_RtfReadLibreOffice1MB(benchmark::State& state) {
  const QByteArray& rtf = LargeRtf();
  for (auto _ : state) {
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    rtf::Read(rtf, &doc);
    benchmark::DoNotOptimize(doc.characterCount());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
  state.counters["rtf_MB"] = double(rtf.size()) / (1024 * 1024);
}
BENCHMARK(BM_RtfReadLibreOffice1MB)->Unit(benchmark::kMillisecond);

// The same with undo recording on, as a document window's control has it.
void BM_RtfReadLibreOffice1MBUndo(benchmark::State& state) {
  const QByteArray& rtf = LargeRtf();
  for (auto _ : state) {
    QTextDocument doc;
    rtf::Read(rtf, &doc);
    benchmark::DoNotOptimize(doc.characterCount());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
}
BENCHMARK(BM_RtfReadLibreOffice1MBUndo)->Unit(benchmark::kMillisecond);

void BM_RtfWrite1MB(benchmark::State& state) {
  QTextDocument doc;
  doc.setUndoRedoEnabled(false);
  rtf::Read(LargeRtf(), &doc);
  qint64 bytes = 0;
  for (auto _ : state) {
    const QByteArray out = rtf::Write(&doc);
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["rtf_MB"] = double(bytes) / (1024 * 1024);
}
BENCHMARK(BM_RtfWrite1MB)->Unit(benchmark::kMillisecond);

void BM_TextDecodeCp932_10MB(benchmark::State& state) {
  const QByteArray bytes = Repeated(CorpusSjis(), 10 * 1024 * 1024);
  for (auto _ : state) {
    const QString text = textdecode::Decode(bytes);
    benchmark::DoNotOptimize(text.constData());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(BM_TextDecodeCp932_10MB)->Unit(benchmark::kMillisecond);

void BM_TextDecodeUtf8_10MB(benchmark::State& state) {
  const QByteArray bytes = Repeated(textdecode::Decode(CorpusSjis()).toUtf8(), 10 * 1024 * 1024);
  for (auto _ : state) {
    const QString text = textdecode::Decode(bytes);
    benchmark::DoNotOptimize(text.constData());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(BM_TextDecodeUtf8_10MB)->Unit(benchmark::kMillisecond);

}  // namespace
