// Drawing the desktop lyric: a new line across a full-HD screen, at one and at two device
// pixels per logical one, and the same line handed over again on every 10 ms playback tick.
// The lyric window takes its density from the screen: run with QT_SCALE_FACTOR=2 for the
// window's figures on a high-density screen.
#include "desktop_lyric/colour_schemes.h"
#include "desktop_lyric/lyric_renderer.h"
#include "desktop_lyric/lyric_settings.h"
#include "fakes/fake_desktop_services.h"
#include "fakes/fake_screen_geometry.h"
#include "fakes/fake_window_presenter.h"
#include "forms/frm_show.h"
#include "settings/program_settings.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString Lines[] = {
    QStringLiteral("我们一起唱 — sing the desktop lyric along"),
    QStringLiteral("下一句歌词 the next line of the song is here"),
};

LyricStyle fullStyle() {
    return LyricStyle{QStringLiteral("WenQuanYi Micro Hei"), 50.0f, 0xFFFECEFC, 0xFFE144CD};
}

// The argument is the number of device pixels per logical one.
void RenderNewLine_1920x111(benchmark::State& state) {
    const LyricStyle style = fullStyle();
    const auto scale = qreal(state.range(0));
    int line = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            LyricRenderer::render(Lines[line], style, QSize(1920, 111), 1920, scale));
        line ^= 1;
    }
}
BENCHMARK(RenderNewLine_1920x111)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Lines no lyric file should hold: the renderer lays out and outlines only what the window
// can show, which keeps each of these to milliseconds instead of seconds.
void RenderHostileLine_1920x111(benchmark::State& state) {
    const struct {
        const char* name;
        QString text;
        float size;
    } rows[] = {
        {"240k characters at size 1", QStringLiteral("lyric ").repeated(40'000), 1.0f},
        {"240k characters at size 3", QStringLiteral("lyric ").repeated(40'000), 3.0f},
        {"one letter under 100k accents", u'a' + QString(QChar(0x0301)).repeated(100'000), 50.0f},
        {"2M Chinese characters at size 2", QStringLiteral("长").repeated(2'000'000), 2.0f},
    };
    const auto& row = rows[state.range(0)];
    state.SetLabel(row.name);
    LyricStyle style = fullStyle();
    style.fontSize = row.size;
    for (auto _ : state)
        benchmark::DoNotOptimize(LyricRenderer::render(row.text, style, QSize(1920, 111), 1920));
}
BENCHMARK(RenderHostileLine_1920x111)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// A lyric window in the full style on a 1920-pixel screen.
struct StyledLyricWindow {
    StyledLyricWindow() {
        settings.setFont(fullStyle().fontName, fullStyle().fontSize);
        settings.chooseColourScheme(3);
    }
    FakeScreenGeometry screen;
    FakeDialogs dialogs;
    FakeWindowPresenter presenter;
    QTemporaryDir program;
    LyricSettings settings{ProgramSettings::in(program.path()).lyricLook};
    FrmShow window{settings, FrmShowServices{screen, dialogs, presenter, {}}};
};

// The lyric window drawing lines that differ each time: render, the window's shape and a
// repaint request. Without a compositing manager (argument 0) the shape is cut from the
// picture's pixels; under one (1) it is the boxes of the lines.
void DrawTextNewLine(benchmark::State& state) {
    StyledLyricWindow lyric;
    lyric.presenter.compositingManager = state.range(0) != 0;
    int line = 0;
    for (auto _ : state) {
        lyric.window.DrawText(Lines[line]);
        benchmark::DoNotOptimize(lyric.window.picture());
        line ^= 1;
    }
    state.SetLabel(QStringLiteral("%1 device pixels per logical one, %2 cells in the shape")
                       .arg(lyric.window.devicePixelRatio())
                       .arg(lyric.presenter.region.rectCount())
                       .toStdString());
}
BENCHMARK(DrawTextNewLine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void DrawTextSameLineEveryTick(benchmark::State& state) {
    StyledLyricWindow lyric;
    FrmShow& window = lyric.window;
    window.DrawText(Lines[0]);
    for (auto _ : state) {
        // A fresh copy each tick, as the tick hands over a newly read line.
        QString tick = Lines[0];
        tick.detach();
        window.DrawText(tick);
        // The picture is made once the tick is done, when the event loop gets to it.
        QCoreApplication::sendPostedEvents();
    }
}
BENCHMARK(DrawTextSameLineEveryTick)->Unit(benchmark::kNanosecond);

} // namespace
