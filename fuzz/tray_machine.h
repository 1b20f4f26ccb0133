// The tray program against the simulated board, for the fuzz targets: the ports, a window shell
// that only keeps what the logic relies on, and the check that everything taken was given back.
#pragma once

#include "fuzz/fuzz_input.h"
#include "platform/sim/sim_board.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_windows.h"
#include "tray/tray_state.h"

namespace fuzz {

constexpr WindowHandle kMainWindow = 0x1234;
constexpr WindowHandle kButton = 0x900;

class QuietShell final : public TrayShell {
  public:
    uint32_t installs = 0;
    bool buttonClass = false;

    uint32_t MenuItemHeight() override { return 19; }
    bool RegisterMainWindowClass() override { return true; }
    WindowHandle CreateMainWindow() override { return kMainWindow; }
    int32_t RunMessageLoop() override { return 0; }
    void DestroyMainWindow(WindowHandle) override {}
    void PostQuit(int32_t) override {}
    void HideWindow(WindowHandle) override {}
    void EndDialog(WindowHandle, intptr_t) override {}
    bool NotifyIcon(WindowHandle, uint32_t, const char* tip) override {
        FUZZ_CHECK(Terminated(tip, 64));
        return true;
    }
    bool InstallTrayMenu(WindowHandle, const TrayMenu&) override {
        ++installs;
        return true;
    }
    void RemoveTrayMenu(WindowHandle) override {}
    void ShowTrayMenu(WindowHandle, int32_t, int32_t) override {}
    void ShowAboutBox(WindowHandle) override {}
    bool RegisterZoomButtonClass() override {
        if (buttonClass)
            return false;
        buttonClass = true;
        return true;
    }
    WindowHandle CreateZoomButtonWindow(WindowHandle, int32_t, int32_t) override { return kButton; }
    void DestroyZoomButtonWindow(WindowHandle) override { buttonClass = false; }
    void PaintZoomButton(WindowHandle, uint32_t) override {}
};

// The board's registry values installed, the escapes answered by the board unless the target
// gives its own driver.
struct TrayMachine {
    SimRegistry reg;
    SimSystem sys;
    SimBoard board;
    SimWindows windows;
    QuietShell shell;
    Tray tray;

    explicit TrayMachine(EscapePort* escape = nullptr)
        : tray(TrayPorts{sys, reg, board, escape ? *escape : board, windows, shell}) {
        board.Install(reg);
    }

    // Every device context and registry key taken has been given back.
    void CheckReleased() const {
        FUZZ_CHECK(board.OpenDcCount() == 0);
        FUZZ_CHECK(board.badReleases == 0);
        FUZZ_CHECK(reg.OpenKeyCount() == 0);
    }
};

}  // namespace fuzz
