// Keldor's Win32 shell: the hidden window and its message loop around the controller's logic.
// The program imports StartHooking and StopHooking from Keldhook.dll, so the system loads the
// library before any of this runs.
#include <windows.h>

#include "aligncontrol/controller.h"
#include "alignhook/keldhook.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"

namespace {

HINSTANCE g_instance;

class Win32ControllerShell final : public ControllerShell {
  public:
    bool RegisterControllerClass() override;
    ControllerWindow CreateControllerWindow() override {
        return reinterpret_cast<ControllerWindow>(
            CreateWindowExA(0, kControllerClassName, kControllerTitle, kControllerWindowStyle, 0, 0,
                            0, 0, nullptr, nullptr, g_instance, nullptr));
    }
    void HideControllerWindow(ControllerWindow window) override {
        UpdateWindow(Hwnd(window));
        ShowWindow(Hwnd(window), SW_HIDE);
    }
    int32_t RunMessageLoop() override {
        MSG msg = {};  // a failing first GetMessageA leaves it untouched: exit code 0
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return static_cast<int32_t>(msg.wParam);
    }
    void PostQuit(int32_t exitCode) override { PostQuitMessage(exitCode); }
    intptr_t DefaultWindowProc(ControllerWindow window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) override {
        return DefWindowProcA(Hwnd(window), message, wParam, lParam);
    }
    void StartHooking() override { ::StartHooking(); }
    void StopHooking() override { ::StopHooking(); }

  private:
    static HWND Hwnd(ControllerWindow window) { return reinterpret_cast<HWND>(window); }
};

Win32ControllerShell g_shell;

LRESULT CALLBACK ControllerWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ControllerWndProc(g_shell, reinterpret_cast<ControllerWindow>(hwnd), msg, wParam,
                             lParam);
}

bool Win32ControllerShell::RegisterControllerClass() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ControllerWindowProc;
    wc.hInstance = g_instance;
    wc.hIcon = LoadIconA(g_instance, kControllerIconName);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(kControllerBackground));
    wc.lpszClassName = kControllerClassName;
    return RegisterClassA(&wc) != 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_instance = instance;
    Win32ControllerSystem system;
    Win32RegistryReader registry;
    return RunAlignmentController(system, registry, g_shell);
}
