#include "support/fakehost.h"
#include "app/windowlogic.h"
#include "core/windowstate.h"

#include <benchmark/benchmark.h>

using namespace quorvane;

// Every mouse move over a button sets its hover image and its neighbours'
// normal images again; over the background all twenty normal images. Setting
// an image already shown must cost next to nothing and notify no view.
static void BM_ToolbarHoverSameButton(benchmark::State &s)
{
    FakeHost host;
    WindowState state;
    WindowLogic logic(state, host, Config{});
    const QString button = QStringLiteral("Picture6");
    logic.buttonHover(button);
    const quint64 revision = state.revision();
    for (auto _ : s)
        logic.buttonHover(button);
    if (state.revision() != revision)
        s.SkipWithError("a repeated hover notified the view");
}
BENCHMARK(BM_ToolbarHoverSameButton);

static void BM_ToolbarBackgroundMove(benchmark::State &s)
{
    FakeHost host;
    WindowState state;
    WindowLogic logic(state, host, Config{});
    for (auto _ : s)
        logic.backgroundHover();
}
BENCHMARK(BM_ToolbarBackgroundMove);

// Moving along the whole toolbar and off it again: the changing case.
static void BM_ToolbarSweep(benchmark::State &s)
{
    FakeHost host;
    WindowState state;
    WindowLogic logic(state, host, Config{});
    const QStringList buttons = {"Picture2", "Picture3", "Picture4", "Picture5", "Picture6", "Picture8", "Picture9",
                                 "Picture10", "Picture11", "Picture14", "Picture15", "Picture19", "Picture20",
                                 "Picture21", "Picture23", "Picture24", "Picture241", "Picture26", "Picture27",
                                 "Picture28"};
    for (auto _ : s) {
        for (const QString &b : buttons)
            logic.buttonHover(b);
        logic.backgroundHover();
    }
}
BENCHMARK(BM_ToolbarSweep);
