// The X11 window host's own cost, under a private Xvfb: opening and closing
// an editor-sized window, and the editor thread's share of one core at 30
// ticks a second while nothing, a small area or the whole window changes.
#include "graphics/IGraphics.h"
#include "graphics/WindowClient.h"
#include "graphics/WindowHost.h"
#include "support/XvfbServer.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <fstream>
#include <thread>

namespace sorel {
namespace {

constexpr int kWidth = 1000, kHeight = 565;

class ChangingClient : public WindowClient {
public:
    explicit ChangingClient(IRECT changing) : canvas_(kWidth, kHeight), changing_(changing) {}
    void OnMouseDown(int, int, const IMouseMod&) override {}
    void OnMouseUp(int, int, const IMouseMod&) override {}
    void OnMouseDrag(int, int, int, int, const IMouseMod&) override {}
    bool OnMouseDblClick(int, int, const IMouseMod&) override { return false; }
    bool OnMouseOver(int, int, const IMouseMod&) override { return false; }
    void OnMouseOut() override {}
    void OnMouseWheel(int, int, const IMouseMod&, int) override {}
    bool OnKeyDown(int, int, int, const IMouseMod&) override { return false; }
    void OnTimer() override { ++ticks; }
    IRECT DirtyArea() override { return changing_; }
    void DrawArea(const IRECT& area) override { canvas_.FillIRect({255, ticks % 256, 80, 120}, area); }
    IGraphics& Canvas() override { return canvas_; }
    void OnTextEntryDone(bool, const std::string&) override {}
    std::atomic<int> ticks{0};

private:
    IGraphics canvas_;
    IRECT changing_;
};

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string key; status >> key;) {
        double kib = 0;
        if (key == "VmRSS:" && status >> kib) return kib / 1024.0;
    }
    return 0;
}

bool HaveX(benchmark::State& state) {
    if (testing::XvfbServer::Instance().Running()) return true;
    state.SkipWithError("no X server could be started");
    return false;
}

void BM_OpenAndCloseEditorWindow(benchmark::State& state) {
    if (!HaveX(state)) return;
    ChangingClient client({});
    WindowHost host(client);
    for (auto _ : state) {
        host.Open(0, kWidth, kHeight, 1);
        host.Close();
    }
}
BENCHMARK(BM_OpenAndCloseEditorWindow)->Unit(benchmark::kMillisecond);

// Arg: 0 nothing changes, 1 a 200 x 40 area every tick, 2 the whole window every tick.
void BM_EditorThreadShareOfACore(benchmark::State& state) {
    if (!HaveX(state)) return;
    const IRECT changing[] = {{}, {100, 100, 300, 140}, {0, 0, kWidth, kHeight}};
    ChangingClient client(changing[state.range(0)]);
    WindowHost host(client);
    const double before = ResidentMiB();
    host.Open(0, kWidth, kHeight, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    state.counters["resident_MiB_added"] = ResidentMiB() - before;
    for (auto _ : state) {
        const double cpu = ProcessCpuSeconds();
        const auto wall = std::chrono::steady_clock::now();
        const int ticks = client.ticks;
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
        state.counters["cpu_percent"] = 100.0 * (ProcessCpuSeconds() - cpu) / seconds;
        state.counters["ticks_per_s"] = (client.ticks - ticks) / seconds;
    }
    host.Close();
}
BENCHMARK(BM_EditorThreadShareOfACore)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace sorel

BENCHMARK_MAIN();
