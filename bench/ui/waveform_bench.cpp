// How long the T box's tooltip takes to draw its waveform: the drawing alone,
// and with the PNG the tooltip carries it in, at 100 % and at 200 %.
#include "ui/application.h"
#include "ui/waveform.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

// The audio tone: T1 = 540.5 μs, T2 = 471.2 μs.
constexpr double T1 = 0.00054054, T2 = 0.00047124;

void BM_DrawWaveform(benchmark::State &state)
{
    const qreal scale = qreal(state.range(0));
    for (auto _ : state) {
        QImage image = ferolune::ui::drawWaveform(T1, T2, scale);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_DrawWaveform)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_WaveformHtml(benchmark::State &state)
{
    const qreal scale = qreal(state.range(0));
    for (auto _ : state) {
        QString html = ferolune::ui::waveformHtml(T1, T2, scale);
        benchmark::DoNotOptimize(html);
    }
}
BENCHMARK(BM_WaveformHtml)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char *argv[])
{
    benchmark::Initialize(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The program's face, which the labels are drawn in.
    ferolune::ui::setUpApplication(app);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
