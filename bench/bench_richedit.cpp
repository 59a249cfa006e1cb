// Document control: position operations on a 10 MB document and loading.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>

#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"
#include "platform/TextDecode.h"

namespace {

// The corpus Shift-JIS text repeated to about `bytes`; a generated Japanese
// text when the corpus is absent.
QByteArray ShiftJisSample(qsizetype bytes) {
  QByteArray unit;
  QDir dir(QStringLiteral(SORAMEMO_CORPUS "/text"));
  for (const QString& name : dir.entryList({"*.txt"}, QDir::Files)) {
    QFile f(dir.filePath(name));
    if (f.open(QIODevice::ReadOnly)) unit += f.readAll();
  }
  if (unit.isEmpty())
    unit = sjis::Encode(QString::fromUtf8("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。ABC ｶﾅ\r\n").repeated(200));
  QByteArray out;
  out.reserve(bytes + unit.size());
  while (out.size() < bytes) out += unit;
  return out;
}

// Widgets must go before the application object does; the benchmark's
// documents live until the process ends and are never destroyed.
struct BigDocument {
  QTemporaryDir dir;
  QString path;
  TRichEdit& edit = *new TRichEdit;
  BigDocument() {
    path = dir.filePath("big.txt");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(ShiftJisSample(10 * 1024 * 1024));
    f.close();
    edit.resize(560, 300);
    edit.show();
    edit.LoadFromFile(path);
    edit.LineFromChar(edit.GetTextLen());  // lays the whole document out once
  }
};

BigDocument& Big() {
  static BigDocument doc;
  return doc;
}

void BM_GetTextLen10MB(benchmark::State& state) {
  TRichEdit& e = Big().edit;
  for (auto _ : state) benchmark::DoNotOptimize(e.GetTextLen());
}
BENCHMARK(BM_GetTextLen10MB);

void BM_SetSelStartAtEnd10MB(benchmark::State& state) {
  TRichEdit& e = Big().edit;
  const int end = e.GetTextLen() - 3;
  for (auto _ : state) e.SetSelStart(end);
}
BENCHMARK(BM_SetSelStartAtEnd10MB);

void BM_GetSelStartAtEnd10MB(benchmark::State& state) {
  TRichEdit& e = Big().edit;
  e.SetSelStart(e.GetTextLen() - 3);
  for (auto _ : state) benchmark::DoNotOptimize(e.GetSelStart());
}
BENCHMARK(BM_GetSelStartAtEnd10MB);

void BM_CharsBeforeAtEnd10MB(benchmark::State& state) {
  TRichEdit& e = Big().edit;
  const int end = e.GetTextLen() - 3;
  for (auto _ : state) benchmark::DoNotOptimize(e.CharsBefore(end));
}
BENCHMARK(BM_CharsBeforeAtEnd10MB);

void BM_LineFromCharAtEnd10MB(benchmark::State& state) {
  TRichEdit& e = Big().edit;
  const int end = e.GetTextLen() - 3;
  for (auto _ : state) benchmark::DoNotOptimize(e.LineFromChar(end));
}
BENCHMARK(BM_LineFromCharAtEnd10MB);

// The naive refresh the index replaces: copy the text and count it.
void BM_NaiveCountWholeText10MB(benchmark::State& state) {
  TRichEdit& e = Big().edit;
  for (auto _ : state) {
    const QByteArray sj = sjis::Encode(e.GetText());
    benchmark::DoNotOptimize(ByteToCharLen(sj, sj.size()));
  }
}
BENCHMARK(BM_NaiveCountWholeText10MB)->Unit(benchmark::kMillisecond);

// Loading 10 MB of Shift-JIS text, beside Qt's own setPlainText of the same
// decoded text.
void BM_LoadShiftJis10MB(benchmark::State& state) {
  const QString path = Big().path;
  for (auto _ : state) {
    TRichEdit e;
    e.LoadFromFile(path);
    benchmark::DoNotOptimize(e.GetTextLen());
  }
}
BENCHMARK(BM_LoadShiftJis10MB)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_QtSetPlainText10MB(benchmark::State& state) {
  QFile f(Big().path);
  f.open(QIODevice::ReadOnly);
  const QString text = textdecode::Decode(f.readAll());
  for (auto _ : state) {
    QTextDocument doc;
    doc.setPlainText(text);
    benchmark::DoNotOptimize(doc.characterCount());
  }
}
BENCHMARK(BM_QtSetPlainText10MB)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
