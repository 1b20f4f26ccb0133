// Zenpick's Win32 shell: the hidden main window, the tray icon, the rendered menu, the About box
// and the pan-stop button window around the logic.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include "platform/win32/win32_display.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "tray/tray_program.h"
#include "tray/win32/board_escape.h"
#include "tray/zoom_button.h"

namespace {

// NOTIFYICONDATAA as the first shell versions know it, up to the end of its 64-character tip:
// 88 bytes on 32-bit Windows.
constexpr DWORD kNotifyIconDataSize = offsetof(NOTIFYICONDATAA, szTip) + 64;
#ifndef _WIN64
static_assert(kNotifyIconDataSize == 88, "tray icon record");
#endif

HINSTANCE g_instance;
Tray* g_tray;

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (MainWndProc(*g_tray, Handle(hwnd), message, wParam, lParam))
        return 0;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return AboutDlgProc(*g_tray, Handle(dialog), message, wParam);
}

// Never reaches the default window procedure: the whole window is client area.
LRESULT CALLBACK ZoomButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ZoomButtonWndProc(*g_tray, Handle(hwnd), message, wParam, lParam);
}

// The menu model as Windows menus; 0 when a menu or an item could not be made. The root is made
// as an empty menu (CreateMenu), the submenus as popups.
HMENU RenderMenu(const TrayMenu& model) {
    HMENU menus[kMaxTrayMenus] = {};
    const uint16_t count = model.menuCount < kMaxTrayMenus ? model.menuCount : kMaxTrayMenus;
    for (uint16_t i = 0; i < count; ++i) {
        menus[i] = i == 0 ? CreateMenu() : CreatePopupMenu();
        if (!menus[i]) {
            for (uint16_t j = 0; j < i; ++j)
                DestroyMenu(menus[j]);
            return nullptr;
        }
    }
    // A submenu is attached once its popup item is in; on failure every menu not attached is
    // destroyed, and takes the menus attached to it along.
    bool attached[kMaxTrayMenus] = {};
    bool ok = count > 0;
    for (const MenuItem& item : model.items) {
        if (!ok)
            break;
        if (item.menu >= count || (item.kind == MenuItemKind::kPopup && item.submenu >= count)) {
            ok = false;
            break;
        }
        UINT flags = 0;
        UINT_PTR id = item.id;
        if (item.kind == MenuItemKind::kSeparator) {
            flags = MF_SEPARATOR;
        } else {
            flags = MF_STRING;
            if (item.kind == MenuItemKind::kPopup) {
                flags |= MF_POPUP;
                id = reinterpret_cast<UINT_PTR>(menus[item.submenu]);
            }
            if (item.checked)
                flags |= MF_CHECKED;
            if (item.grayed)
                flags |= MF_GRAYED;
            if (item.disabled)
                flags |= MF_DISABLED;
        }
        ok = AppendMenuA(menus[item.menu], flags, id, item.text) != 0;
        if (ok && item.kind == MenuItemKind::kPopup)
            attached[item.submenu] = true;
    }
    if (!ok) {
        for (uint16_t i = 0; i < count; ++i) {
            if (!attached[i])
                DestroyMenu(menus[i]);
        }
        return nullptr;
    }
    return menus[0];
}

// Both of the program's classes: no style, icon 102, the arrow cursor, the light grey brush.
bool RegisterWindowClass(WNDPROC procedure, const char* name, const char* menu) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.hInstance = g_instance;
    wc.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_ZENPICK));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszMenuName = menu;
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

class Win32TrayShell final : public TrayShell {
  public:
    uint32_t MenuItemHeight() override {
        return static_cast<uint32_t>(GetSystemMetrics(SM_CYMENU));
    }

    bool RegisterMainWindowClass() override {
        return RegisterWindowClass(MainWindowProc, MAKEINTATOM(kMainWindowClassAtom),
                                   MAKEINTRESOURCEA(IDM_ZENPICK));
    }

    WindowHandle CreateMainWindow() override {
        HWND window =
            CreateWindowExA(0, MAKEINTATOM(kMainWindowClassAtom), kMainWindowTitle,
                            kMainWindowStyle, 0, 0, 0, 0, nullptr, nullptr, g_instance, nullptr);
        if (!window)
            return 0;
        UpdateWindow(window);
        ShowWindow(window, SW_HIDE);
        return Handle(window);
    }

    void DestroyMainWindow(WindowHandle window) override { DestroyWindow(Hwnd(window)); }

    int32_t RunMessageLoop() override {
        MSG msg = {};  // a GetMessageA that fails at once ends the program with 0
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return static_cast<int32_t>(msg.wParam);
    }

    void PostQuit(int32_t code) override { PostQuitMessage(code); }
    void HideWindow(WindowHandle window) override { ShowWindow(Hwnd(window), SW_HIDE); }
    void EndDialog(WindowHandle window, intptr_t result) override {
        ::EndDialog(Hwnd(window), result);
    }

    bool NotifyIcon(WindowHandle window, uint32_t action, const char* tip) override {
        NOTIFYICONDATAA icon = {};
        icon.cbSize = kNotifyIconDataSize;
        icon.hWnd = Hwnd(window);
        icon.uID = kTrayIconId;
        icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        icon.uCallbackMessage = kTrayCallbackMessage;
        icon.hIcon = static_cast<HICON>(LoadImageA(g_instance, MAKEINTRESOURCEA(IDI_ZENPICK_TRAY),
                                                   IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        lstrcpynA(icon.szTip, tip, 64);
        const bool done = Shell_NotifyIconA(action, &icon) != 0;
        if (icon.hIcon)
            DestroyIcon(icon.hIcon);
        return done;
    }

    bool InstallTrayMenu(WindowHandle window, const TrayMenu& menu) override {
        HMENU popup = RenderMenu(menu);
        if (!popup)
            return false;
        if (!InsertMenuA(GetMenu(Hwnd(window)), 0, MF_BYPOSITION | MF_POPUP,
                         reinterpret_cast<UINT_PTR>(popup), kResolutionsMenuText)) {
            DestroyMenu(popup);
            return false;
        }
        popup_ = popup;
        DrawMenuBar(Hwnd(window));
        return true;
    }

    void RemoveTrayMenu(WindowHandle window) override {
        // Only what InstallTrayMenu put there: after a failed build, position 0 is the bar's own.
        if (!popup_)
            return;
        RemoveMenu(GetMenu(Hwnd(window)), 0, MF_BYPOSITION);
        DestroyMenu(popup_);
        popup_ = nullptr;
        DrawMenuBar(Hwnd(window));
    }

    void ShowTrayMenu(WindowHandle window, int32_t x, int32_t y) override {
        SetForegroundWindow(Hwnd(window));
        if (popup_)
            TrackPopupMenu(popup_, TPM_RIGHTBUTTON, x, y, 0, Hwnd(window), nullptr);
        PostMessageA(Hwnd(window), WM_USER, 0, 0);
    }

    void ShowAboutBox(WindowHandle window) override {
        SetWindowPos(Hwnd(window), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE);
        DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_ABOUT), Hwnd(window), AboutDialogProc, 0);
    }

    bool RegisterZoomButtonClass() override {
        return RegisterWindowClass(ZoomButtonProc, kZoomButtonClass, nullptr);
    }

    WindowHandle CreateZoomButtonWindow(WindowHandle owner, int32_t x, int32_t y) override {
        HWND button = CreateWindowExA(0, kZoomButtonClass, kZoomButtonTitle, kZoomButtonStyle, x, y,
                                      0, 0, Hwnd(owner), nullptr, g_instance, nullptr);
        if (!button) {
            UnregisterClassA(kZoomButtonClass, g_instance);
            return 0;
        }
        ShowWindow(button, SW_SHOWNORMAL);
        SetWindowPos(button, HWND_TOPMOST, 0, 0, kZoomButtonWidth, kZoomButtonHeight, SWP_NOMOVE);
        return Handle(button);
    }

    void DestroyZoomButtonWindow(WindowHandle button) override {
        DestroyWindow(Hwnd(button));
        UnregisterClassA(kZoomButtonClass, g_instance);
    }

    void PaintZoomButton(WindowHandle button, uint32_t bitmap) override {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(Hwnd(button), &paint);
        HBITMAP picture = LoadBitmapA(g_instance, MAKEINTRESOURCEA(bitmap));
        HDC memory = dc ? CreateCompatibleDC(dc) : nullptr;
        if (picture && memory) {
            HGDIOBJ old = SelectObject(memory, picture);
            BITMAP size = {};
            GetObjectA(picture, sizeof(size), &size);
            BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
        }
        if (picture)
            DeleteObject(picture);
        if (memory)
            DeleteDC(memory);
        EndPaint(Hwnd(button), &paint);
    }

  private:
    HMENU popup_ = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_instance = instance;
    Win32TraySystem system;
    Win32RegistryReader registry;
    Win32Display display;
    Win32Windows windows;
    Win32TrayShell shell;
    Tray tray(TrayPorts{system, registry, display, BoardEscape(), windows, shell});
    g_tray = &tray;
    return RunTrayProgram(tray);
}
