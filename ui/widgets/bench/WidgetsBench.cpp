// SPDX-License-Identifier: MIT
// Times the image button's two costly steps against a plain QPushButton painted in the same run, and prints
// the ratios the toolbar's responsiveness rests on: an outline build and one face paint.
#include "base/testing/RatioReporter.h"
#include "ui/widgets/ImageBtn.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace brelmont;

// A 32x35 toolbar picture: a disc with a notch, on white.
TBitmap24 ToolbarPicture() {
    TBitmap24 picture(32, 35);
    for (int y = 0; y < 35; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int dx = 2 * x - 31;
            const int dy = 2 * y - 34;
            const bool disc = dx * dx + dy * dy <= 31 * 31;
            const bool notch = x > 12 && x < 19 && y < 12;
            picture.SetPixel(x, y, disc && !notch ? 0x3366CC : clWhite);
        }
    }
    return picture;
}

void ShapeBuild(benchmark::State& state) {
    const TBitmap24 picture = ToolbarPicture();
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildShape(picture, 32, 35, clNone));
    }
}
BENCHMARK(ShapeBuild);

void PaintInto(benchmark::State& state, QWidget& widget) {
    QImage target(widget.size(), QImage::Format_RGB32);
    QPainter painter(&target);
    widget.render(&painter);
    for (auto _ : state) {
        widget.render(&painter);
    }
}

void ImageBtnFacePaint(benchmark::State& state) {
    QWidget form;
    auto* button = new TImageBtn(&form);
    button->setGeometry(0, 0, 32, 35);
    button->setImage(ToolbarPicture());
    form.show();
    PaintInto(state, *button);
}
BENCHMARK(ImageBtnFacePaint);

void PushButtonPaint(benchmark::State& state) {
    QWidget form;
    auto* button = new QPushButton(QStringLiteral("OK"), &form);
    button->setGeometry(0, 0, 32, 35);
    form.show();
    PaintInto(state, *button);
}
BENCHMARK(PushButtonPaint);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    brelmont::testing::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // CPU time is printed beside wall time because the build machine is shared.
    for (auto* times : {&reporter.RealNs, &reporter.CpuNs}) {
        const double build = (*times)["ShapeBuild"];
        const double face = (*times)["ImageBtnFacePaint"];
        const double plain = (*times)["PushButtonPaint"];
        if (build > 0 && face > 0 && plain > 0) {
            std::printf("%s: shape build of a 32x35 picture %.2f us (goal < 100 us); face paint %.2f us, "
                        "QPushButton paint %.2f us, ratio %.2f (goal <= 2)\n",
                        times == &reporter.RealNs ? "wall" : "cpu", build / 1000.0, face / 1000.0,
                        plain / 1000.0, face / plain);
        }
    }
    benchmark::Shutdown();
    return 0;
}
