// Nudgel's Win32 shell: the hidden owner window and the reminder dialogs around the logic.
#include <windows.h>

#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "reminder/reminder.h"

static_assert(LTGRAY_BRUSH == 1 && WS_CAPTION == 0x00C00000 && SWP_NOSIZE == 0x0001,
              "the owner window's values are the system's");

namespace {

HINSTANCE g_instance;
Win32ReminderSystem g_system;

LRESULT CALLBACK OwnerWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE)
        return 0;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK ReminderDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (HandleReminderCommand(g_system, LOWORD(wParam)))
                EndDialog(dialog, 1);
            return TRUE;
        default:
            return FALSE;
    }
}

class Win32ReminderShell final : public ReminderShell {
  public:
    bool CreateOwnerWindow(const OwnerWindow& window) override {
        WNDCLASSA wc = {};
        wc.style = window.classStyle;
        wc.lpfnWndProc = OwnerWndProc;
        wc.hInstance = g_instance;
        wc.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(window.iconId));
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(window.backgroundBrush));
        wc.lpszClassName = MAKEINTATOM(window.classAtom);
        if (!RegisterClassA(&wc))
            return false;
        owner_ = CreateWindowExA(0, MAKEINTATOM(window.classAtom), window.title, window.style,
                                 window.x, window.y, window.width, window.height, nullptr, nullptr,
                                 g_instance, nullptr);
        if (!owner_)
            return false;
        UpdateWindow(owner_);
        SetWindowPos(owner_, HWND_TOPMOST, window.x, window.y, 0, 0, window.positionFlags);
        return true;
    }

    // The dialog ends only through its button, with 1; -1 or 0 mean it was never shown.
    bool ShowReminder(int dialogId) override {
        return DialogBoxParamA(g_instance, MAKEINTRESOURCEA(dialogId), owner_, ReminderDlgProc, 0) >
               0;
    }

  private:
    HWND owner_ = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_instance = instance;
    Win32ReminderRegistry registry;
    Win32ReminderShell shell;
    return RunReminder(registry, registry, g_system, shell);
}
