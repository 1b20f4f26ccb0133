// A tray program against the simulated board: the ports, a recording window shell, and a menu
// printer that shows the model the way the menu looks.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/sim_board.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_windows.h"
#include "tray/tray_state.h"

class RecordingShell final : public TrayShell, public FaultInjectable {
  public:
    struct Notify {
        uint32_t action;
        std::string tip;
        bool done;
    };
    std::vector<Notify> notifies;  // every call the shell answered, done or refused
    // The notification area as the shell keeps it: an add of an icon it holds is refused, and so
    // are a modify and a delete of one it does not hold. `addsRefused` adds are refused first (no
    // taskbar yet); a test takes the icon away to play a taskbar made anew.
    bool iconShown = false;
    int addsRefused = 0;
    bool started = false;  // the program's run got as far as its window class
    int installs = 0;
    int removals = 0;
    bool menuInstalled = false;  // a menu is in the window's menu bar
    bool installFails = false;
    // Every window action but the icon and menu ones, in order: "menu 500,400", "about",
    // "hide 0x1234", "enddialog 0x1234 1", "quit 0", "button 0x900 at 10,20", "unbutton 0x900",
    // "paint 0x900 135".
    std::vector<std::string> actions;
    std::vector<WindowHandle> buttonsCreated;
    std::vector<WindowHandle> buttonsDestroyed;
    bool classRegistered = false;
    bool mainClassFails = false;
    bool mainWindowFails = false;
    bool buttonWindowFails = false;
    int32_t loopResult = 0;

    uint32_t MenuItemHeight() override { return Fails("shell MenuItemHeight") ? 0 : 19; }
    bool RegisterMainWindowClass() override {
        started = true;
        return !Fails("shell RegisterMainWindowClass") && !mainClassFails;
    }
    // WM_CREATE and WM_DESTROY run inside, when a test gives the procedure; `onLoop` plays the
    // messages of the program's run.
    std::function<void(WindowHandle)> onCreate;
    std::function<void(WindowHandle)> onDestroy;
    std::function<void()> onLoop;
    bool failsAfterCreate = false;  // the creation fails after WM_CREATE ran
    WindowHandle CreateMainWindow() override {
        if (Fails("shell CreateMainWindow") || mainWindowFails)
            return 0;
        if (onCreate)
            onCreate(0x1234);
        return failsAfterCreate ? 0 : 0x1234;
    }
    void DestroyMainWindow(WindowHandle window) override {
        actions.push_back("destroy " + Hex(window));
        if (onDestroy)
            onDestroy(window);
    }
    int32_t RunMessageLoop() override {
        actions.push_back("loop");
        if (onLoop)
            onLoop();
        return loopResult;
    }
    void PostQuit(int32_t code) override { actions.push_back("quit " + std::to_string(code)); }
    void HideWindow(WindowHandle window) override { actions.push_back("hide " + Hex(window)); }
    void EndDialog(WindowHandle window, intptr_t result) override {
        actions.push_back("enddialog " + Hex(window) + " " + std::to_string(result));
    }
    bool NotifyIcon(WindowHandle, uint32_t action, const char* tip) override {
        if (Fails("shell NotifyIcon"))
            return false;
        bool done = iconShown == (action != NIM_ADD_);
        if (done && action == NIM_ADD_ && addsRefused > 0) {
            --addsRefused;
            done = false;
        }
        if (done && action != NIM_MODIFY_)
            iconShown = action == NIM_ADD_;
        notifies.push_back({action, tip, done});
        return done;
    }
    bool InstallTrayMenu(WindowHandle, const TrayMenu&) override {
        if (Fails("shell InstallTrayMenu") || installFails)
            return false;
        ++installs;
        menuInstalled = true;
        return true;
    }
    void RemoveTrayMenu(WindowHandle) override {
        ++removals;
        menuInstalled = false;
    }
    void ShowTrayMenu(WindowHandle, int32_t x, int32_t y) override {
        actions.push_back("menu " + std::to_string(x) + "," + std::to_string(y));
    }
    void ShowAboutBox(WindowHandle) override { actions.push_back("about"); }
    bool RegisterZoomButtonClass() override {
        if (Fails("shell RegisterZoomButtonClass") || classRegistered)
            return false;
        classRegistered = true;
        return true;
    }
    WindowHandle CreateZoomButtonWindow(WindowHandle, int32_t x, int32_t y) override {
        if (Fails("shell CreateZoomButtonWindow") || buttonWindowFails) {
            classRegistered = false;
            return 0;
        }
        buttonsCreated.push_back(0x900 + buttonsCreated.size());
        actions.push_back("button " + Hex(buttonsCreated.back()) + " at " + std::to_string(x) +
                          "," + std::to_string(y));
        return buttonsCreated.back();
    }
    void DestroyZoomButtonWindow(WindowHandle button) override {
        buttonsDestroyed.push_back(button);
        classRegistered = false;
        actions.push_back("unbutton " + Hex(button));
    }
    void PaintZoomButton(WindowHandle button, uint32_t bitmap) override {
        actions.push_back("paint " + Hex(button) + " " + std::to_string(bitmap));
    }

    static std::string Hex(uintptr_t value) { return SimWindows::Hex(value); }
};

constexpr WindowHandle kMainWindow = 0x1234;

// The board seen through ports that note every mode number asked for and leave a mark in words
// 0 and 1 of every escape reply, as a driver may: a request built in a reply's buffer sets them
// again.
struct WatchedBoard final : DisplayPort, EscapePort {
    static constexpr uint32_t kReplyMark = 0xBAD;
    explicit WatchedBoard(SimBoard& watched) : board(watched) {}
    SimBoard& board;
    std::vector<uint32_t> enumerated;

    bool EnumMode(uint32_t index, DevMode* mode) override {
        enumerated.push_back(index);
        return board.EnumMode(index, mode);
    }
    int32_t ChangeSettings(const DevMode& mode, uint32_t flags) override {
        return board.ChangeSettings(mode, flags);
    }
    ScreenDc GetScreenDc() override { return board.GetScreenDc(); }
    void ReleaseScreenDc(ScreenDc dc) override { board.ReleaseScreenDc(dc); }
    int32_t DeviceCaps(ScreenDc dc, int32_t index) override { return board.DeviceCaps(dc, index); }
    bool ProbeWhitePixel(uint16_t* pixel) override { return board.ProbeWhitePixel(pixel); }
    int32_t Escape(ScreenDc dc, uint32_t code, uint32_t* words, uint32_t bytes) override {
        const int32_t answered = board.Escape(dc, code, words, bytes);
        words[0] = words[1] = kReplyMark;
        return answered;
    }
};

struct TrayRig {
    SimRegistry reg;
    SimSystem sys;
    SimBoard board;
    SimWindows windows;
    RecordingShell shell;
    Tray tray{TrayPorts{sys, reg, board, board, windows, shell}};
    FaultPlan faults;  // every port counts its calls on it

    TrayRig() {
        board.Install(reg);
        reg.faults = sys.faults = board.faults = windows.faults = shell.faults = &faults;
    }
    // A run of the program leaves no icon behind, unless the shell refused to take it away.
    ~TrayRig() {
        const char* failed = faults.failed();
        if (shell.started && !(failed && std::string(failed) == "shell NotifyIcon")) {
            EXPECT_FALSE(shell.iconShown) << "the program ended with its icon still in the tray";
        }
    }
    // Re-writes the board's registry values after a test changed them.
    void Reinstall() { board.Install(reg); }
    // Every device context and registry key taken has been given back.
    void ExpectAllReleased() {
        EXPECT_EQ(board.OpenDcCount(), 0) << "a device context was left taken";
        EXPECT_EQ(board.badReleases, 0u);
        EXPECT_EQ(reg.OpenKeyCount(), 0) << "a registry key was left open";
    }
    // The escapes sent so far with this code, and then forgets them all.
    std::vector<SimBoard::EscapeCall> TakeEscapes() {
        std::vector<SimBoard::EscapeCall> calls;
        calls.swap(board.escapes);
        return calls;
    }
};

// The menu as its rows: "text #id [checked] [grayed] [disabled]", separators as "---", a popup's
// items indented below it.
inline void PrintMenu(const TrayMenu& menu, uint16_t which, const std::string& indent,
                      std::vector<std::string>* rows) {
    for (const MenuItem& item : menu.items) {
        if (item.menu != which)
            continue;
        if (item.kind == MenuItemKind::kSeparator) {
            rows->push_back(indent + "---");
            continue;
        }
        std::string row = indent + item.text;
        if (item.kind == MenuItemKind::kCommand)
            row += " #" + std::to_string(item.id);
        if (item.checked)
            row += " [checked]";
        if (item.grayed)
            row += " [grayed]";
        if (item.disabled)
            row += " [disabled]";
        if (item.kind == MenuItemKind::kPopup) {
            rows->push_back(row + " >");
            PrintMenu(menu, item.submenu, indent + "  ", rows);
        } else {
            rows->push_back(row);
        }
    }
}

inline std::vector<std::string> MenuRows(const TrayMenu& menu) {
    std::vector<std::string> rows;
    if (menu.menuCount)
        PrintMenu(menu, 0, "", &rows);
    return rows;
}
