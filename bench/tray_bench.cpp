// How long the tray program takes to build its catalogue and menu from the driver's mode list,
// for boards that enumerate 200, 2,000 and 20,000 modes (many refresh rates per size and
// depth). Prints the best of several runs of each step.
#include <chrono>
#include <cstdio>

#include "platform/sim/sim_board.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_windows.h"
#include "tray/mode_catalogue.h"
#include "tray/tray_menu.h"

namespace {

class NullShell final : public TrayShell {
  public:
    uint32_t MenuItemHeight() override { return 19; }
    bool RegisterMainWindowClass() override { return true; }
    WindowHandle CreateMainWindow() override { return 1; }
    int32_t RunMessageLoop() override { return 0; }
    void DestroyMainWindow(WindowHandle) override {}
    void PostQuit(int32_t) override {}
    void HideWindow(WindowHandle) override {}
    void EndDialog(WindowHandle, intptr_t) override {}
    bool NotifyIcon(WindowHandle, uint32_t, const char*) override { return true; }
    bool InstallTrayMenu(WindowHandle, const TrayMenu&) override { return true; }
    void RemoveTrayMenu(WindowHandle) override {}
    void ShowTrayMenu(WindowHandle, int32_t, int32_t) override {}
    void ShowAboutBox(WindowHandle) override {}
    bool RegisterZoomButtonClass() override { return true; }
    WindowHandle CreateZoomButtonWindow(WindowHandle, int32_t, int32_t) override { return 1; }
    void DestroyZoomButtonWindow(WindowHandle) override {}
    void PaintZoomButton(WindowHandle, uint32_t) override {}
};

constexpr uint32_t kRates[] = {60, 65, 70, 72, 75, 80, 85, 90, 100, 120};
constexpr uint32_t kDepthsOffered[] = {4, 8, 15, 16, 24, 32};

// `count` modes: every size at every depth and rate, the rates ascending through the
// enumeration so that merging keeps overwriting entries.
void Offer(SimBoard& board, uint32_t count) {
    for (uint32_t i = 0; board.modes.size() < count; ++i) {
        const uint32_t rate = kRates[i % 10];
        const uint32_t depth = kDepthsOffered[(i / 10) % 6];
        const uint32_t size = i / 60;
        board.AddMode(640 + 16 * size, 480 + 12 * size, depth, rate);
    }
    board.screen = {16, 640, 480, 120};
}

double Millis(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main() {
    std::printf("%8s %8s %8s %14s %12s %12s\n", "modes", "entries", "items", "catalogue ms",
                "menu ms", "total ms");
    for (uint32_t count : {200u, 2000u, 20000u}) {
        SimRegistry reg;
        SimSystem sys;
        SimBoard board;
        SimWindows windows;
        NullShell shell;
        board.Install(reg);
        Offer(board, count);
        Tray tray(TrayPorts{sys, reg, board, board, windows, shell});
        double bestCatalogue = 1e9;
        double bestMenu = 1e9;
        double bestTotal = 1e9;
        for (int run = 0; run < 5; ++run) {
            board.escapes.clear();
            const auto t0 = std::chrono::steady_clock::now();
            BuildModeCatalogue(tray, 0);
            const auto t1 = std::chrono::steady_clock::now();
            BuildTrayMenu(tray, 0);
            const auto t2 = std::chrono::steady_clock::now();
            bestCatalogue = std::min(bestCatalogue, Millis(t1 - t0));
            bestMenu = std::min(bestMenu, Millis(t2 - t1));
            bestTotal = std::min(bestTotal, Millis(t2 - t0));
        }
        std::printf("%8u %8u %8u %14.3f %12.3f %12.3f\n", count, tray.catalogue.entries.size(),
                    tray.menu.items.size(), bestCatalogue, bestMenu, bestTotal);
    }
    return 0;
}
