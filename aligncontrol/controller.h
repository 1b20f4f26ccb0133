// Keldor, the alignment controller: keeps the alignment hook installed for as long as it runs,
// on a dual setup of the board only, one copy at a time, with one hidden window.
#pragma once

#include <cstdint>

#include "platform/registry.h"
#include "platform/system.h"

constexpr char kControllerMutexName[] = "Orvelcom AG mutex - KELDOR";
constexpr char kControllerClassName[] = "Keldor";
constexpr char kControllerTitle[] = "orvelZYNTRA control";
constexpr char kControllerIconName[] = "KELDOR";
// WS_MINIMIZE | WS_SYSMENU; the window is never shown.
constexpr uint32_t kControllerWindowStyle = 0x20080000;
constexpr int32_t kControllerBackground = 6;  // COLOR_WINDOW + 1

constexpr uint32_t WM_SYSCOMMAND_ = 0x0112;
constexpr uintptr_t SC_RESTORE_ = 0xF120;

using ControllerWindow = uintptr_t;  // 0 is none

// The window, the message loop and the hook library, as the controller uses them.
class ControllerShell {
  public:
    // Registers the class "Keldor" (style 0, the "KELDOR" icon, the arrow cursor, the window
    // colour as background, no menu).
    virtual bool RegisterControllerClass() = 0;
    // Creates the hidden, minimised window titled "orvelZYNTRA control" at 0, 0, 0 x 0; its
    // WM_CREATE reaches ControllerWndProc before this returns. 0 on failure.
    virtual ControllerWindow CreateControllerWindow() = 0;
    // UpdateWindow, then ShowWindow with SW_HIDE.
    virtual void HideControllerWindow(ControllerWindow window) = 0;
    // Gets and dispatches messages until WM_QUIT; returns its wParam.
    virtual int32_t RunMessageLoop() = 0;
    virtual void PostQuit(int32_t exitCode) = 0;
    virtual intptr_t DefaultWindowProc(ControllerWindow window, uint32_t message, uintptr_t wParam,
                                       intptr_t lParam) = 0;
    // The hook library's exports.
    virtual void StartHooking() = 0;
    virtual void StopHooking() = 0;

  protected:
    ~ControllerShell() = default;
};

// Whether the controller has work here: Windows NT, and the board's driver on the first
// display device in a dual setup (two heads, or a second device of the same driver).
bool ControllerSetupIsDual(ControllerSystem& sys, RegistryReader& reg);

// The whole program. The exit code: 0 on every early end, else the wParam of WM_QUIT (0 from
// the window's own WM_CLOSE).
int32_t RunAlignmentController(ControllerSystem& sys, RegistryReader& reg, ControllerShell& shell);

// The controller window's procedure.
intptr_t ControllerWndProc(ControllerShell& shell, ControllerWindow window, uint32_t message,
                           uintptr_t wParam, intptr_t lParam);
