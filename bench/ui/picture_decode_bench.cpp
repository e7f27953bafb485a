// Preview decoding of a 3840 x 2160 JPEG into the 344 x 206 picture box: DCT-scaled decoding
// against a full decode followed by scaling.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "tests/ui/test_images.h"
#include "ui/image_codecs.h"
#include "ui/picture_decoder.h"

namespace {

const QSize kBox(344, 206);

const lumeno::ByteSet& Wallpaper() {
    static const lumeno::ByteSet bytes = lumeno::testing::MakeJpeg(
        3840, 2160, QColor(40, 120, 200), lumeno::testing::JpegColours::Rgb, 90);
    return bytes;
}

void DctScaledPreview(benchmark::State& state) {
    for (auto _ : state) {
        QImage image = lumeno::ui::DecodePicture(Wallpaper(), kBox);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel("3840x2160 -> 344x194");
}

void FullDecodeThenScale(benchmark::State& state) {
    for (auto _ : state) {
        QImage image = lumeno::ui::FitPicture(lumeno::ui::DecodeJpeg(Wallpaper(), QSize()), kBox);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel("3840x2160 -> 344x194");
}

BENCHMARK(DctScaledPreview)->Unit(benchmark::kMillisecond);
BENCHMARK(FullDecodeThenScale)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
