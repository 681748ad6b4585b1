// One 10 ms tick of the water over the main window's picture: at rest, rippling after a
// press, and with the pointer moving over it.
#include "forms/water_ripple.h"

#include <QImage>
#include <benchmark/benchmark.h>

static QImage windowPicture() {
    return QImage(QStringLiteral(":/skin/Picture1.bmp"));
}

namespace {

void WaterTick_AtRest(benchmark::State& state) {
    WaterRipple water;
    water.WaterInit(windowPicture());
    for (auto _ : state)
        benchmark::DoNotOptimize(water.WaterTimer());
}
BENCHMARK(WaterTick_AtRest);

// A fresh press every 200 ticks keeps rings crossing the whole picture; the first 100 ticks
// let the first ring spread before timing starts.
void WaterTick_RipplingAfterPress(benchmark::State& state) {
    WaterRipple water;
    water.WaterInit(windowPicture());
    water.WaterMouseAction(164, 48, 60, 500);
    for (int i = 0; i < 100; ++i)
        water.WaterTimer();
    int tick = 0;
    for (auto _ : state) {
        if (++tick % 200 == 0)
            water.WaterMouseAction(164, 48, 60, 500);
        benchmark::DoNotOptimize(water.WaterTimer());
    }
}
BENCHMARK(WaterTick_RipplingAfterPress)->Unit(benchmark::kMicrosecond);

// The pointer sweeps back and forth across the picture, one move per tick.
void WaterTick_PointerMoving(benchmark::State& state) {
    WaterRipple water;
    water.WaterInit(windowPicture());
    int tick = 0;
    for (auto _ : state) {
        const int sweep = tick++ % 600;
        const int x = 14 + (sweep < 300 ? sweep : 599 - sweep);
        water.WaterMouseAction(x, 30 + sweep % 40, 5, 80);
        benchmark::DoNotOptimize(water.WaterTimer());
    }
}
BENCHMARK(WaterTick_PointerMoving)->Unit(benchmark::kMicrosecond);

} // namespace
