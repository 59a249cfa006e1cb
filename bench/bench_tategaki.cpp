// 縦書き: laying out a 100,000-character novel on 原稿用紙 beside shaping the
// same paragraphs horizontally with QTextLayout; an edit's layout; one page painted.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTextLayout>

#include "bench/SideBySide.h"
#include "tategaki/Genkou.h"
#include "tategaki/Pages.h"
#include "tategaki/Shaper.h"

namespace {

// A novel of about `characters` characters: narration, dialogue, ruby and digits.
QStringList Novel(int characters) {
  const QStringList pieces = {
      QStringLiteral("　吾輩《わがはい》は猫である。名前はまだ無い。どこで生れたかとんと見当《けんとう》がつかぬ。"),
      QStringLiteral("「何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。」"),
      QStringLiteral("　吾輩はここで始めて人間というものを見た。しかもあとで聞くとそれは書生という人間中で一番｜獰悪《どうあく》な種族であったそうだ。"),
      QStringLiteral("　明治38年の冬、『ホトトギス』の編集部にてSokiは原稿を受け取った、と記録にある。"),
  };
  QStringList paragraphs;
  int total = 0;
  for (int i = 0; total < characters; ++i) {
    QString p = pieces[i % pieces.size()];
    if (i % 3 == 0) p += pieces[(i + 1) % pieces.size()];
    paragraphs << p;
    total += int(p.size());
  }
  return paragraphs;
}

void BM_GenkouLayoutNovel100k(benchmark::State& state) {
  const QStringList novel = Novel(100000);
  QFont font(QStringLiteral("IPAMincho"));
  font.setPixelSize(20);
  SideBySide times;
  QElapsedTimer t;
  int sheets = 0;
  for (auto _ : state) {
    t.start();
    tategaki::DocumentLayout layout(20, 20);
    layout.Update(novel);
    sheets = tategaki::CountText(layout).sheets;
    times.program.push_back(double(t.nsecsElapsed()) / 1e6);
    // Qt's horizontal shaping and line breaking of the same paragraphs, 20 em a line.
    t.start();
    int lines = 0;
    for (const QString& p : novel) {
      QTextLayout bare(p, font);
      bare.beginLayout();
      for (QTextLine line = bare.createLine(); line.isValid(); line = bare.createLine()) {
        line.setLineWidth(20 * 20);
        ++lines;
      }
      bare.endLayout();
    }
    benchmark::DoNotOptimize(lines);
    times.bare.push_back(double(t.nsecsElapsed()) / 1e6);
    state.SetIterationTime(times.program.back() / 1e3);
  }
  state.counters["sheets"] = sheets;
  times.Report(state);
}
BENCHMARK(BM_GenkouLayoutNovel100k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// The same with every cell shaped top to bottom by a fresh shaper, as a full
// PDF export does before drawing: the cache fills with the novel's characters.
void BM_GenkouLayoutAndShapeNovel100k(benchmark::State& state) {
  const QStringList novel = Novel(100000);
  for (auto _ : state) {
    tategaki::DocumentLayout layout(20, 20);
    layout.Update(novel);
    tategaki::Shaper shaper(tategaki::DefaultFont());
    qsizetype glyphs = 0;
    for (int i = 0; i < layout.ParagraphCount(); ++i) {
      const tategaki::ParagraphLayout& p = layout.Paragraph(i);
      for (const tategaki::Cell& c : p.cells)
        glyphs += shaper.Vertical(p.text.shown.mid(c.start, c.end - c.start)).glyphs.size();
    }
    benchmark::DoNotOptimize(glyphs);
  }
}
BENCHMARK(BM_GenkouLayoutAndShapeNovel100k)->Unit(benchmark::kMillisecond)->Iterations(10);

// One paragraph typed into: only it is laid out again, the pages after it shift.
void BM_GenkouRelayoutAfterEdit(benchmark::State& state) {
  QStringList novel = Novel(100000);
  tategaki::DocumentLayout layout(20, 20);
  layout.Update(novel);
  const int middle = int(novel.size() / 2);
  for (auto _ : state) {
    novel[middle] += QStringLiteral("あ");
    layout.Update(novel);
  }
}
BENCHMARK(BM_GenkouRelayoutAfterEdit)->Unit(benchmark::kMillisecond)->Iterations(50);

// One sheet painted at screen size, glyphs shaped on first use and cached after.
void BM_GenkouPaintSheet(benchmark::State& state) {
  tategaki::DocumentLayout layout(20, 20);
  layout.Update(Novel(100000));
  tategaki::PageRenderer renderer(tategaki::PageStyle::Genkou());
  const qreal scale = 3.5;  // pixels a millimetre, about 90 dpi
  QImage image((renderer.Style().pageMm * scale).toSize(), QImage::Format_RGB32);
  int page = 0;
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    renderer.Paint(painter, layout, page);
    page = (page + 1) % layout.PageCount();
  }
}
BENCHMARK(BM_GenkouPaintSheet)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace
