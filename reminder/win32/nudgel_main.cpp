// Nudgel's Win32 shell: the hidden owner window and the reminder dialogs around the logic.
#include <windows.h>

#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "reminder/reminder.h"

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
    bool CreateOwnerWindow() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = OwnerWndProc;
        wc.hInstance = g_instance;
        wc.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_NUDGEL));
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
        wc.lpszClassName = MAKEINTATOM(kReminderWindowClassAtom);
        if (!RegisterClassA(&wc))
            return false;
        owner_ = CreateWindowExA(0, MAKEINTATOM(kReminderWindowClassAtom), kReminderWindowTitle,
                                 WS_CAPTION, 0, 0, 0, 0, nullptr, nullptr, g_instance, nullptr);
        if (!owner_)
            return false;
        UpdateWindow(owner_);
        SetWindowPos(owner_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
        return true;
    }

    void ShowReminder(int dialogId) override {
        DialogBoxParamA(g_instance, MAKEINTRESOURCEA(dialogId), owner_, ReminderDlgProc, 0);
    }

  private:
    HWND owner_ = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_instance = instance;
    Win32RegistryWriter registry;
    Win32ReminderShell shell;
    return RunReminder(registry, g_system, shell);
}
