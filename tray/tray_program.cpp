#include "tray/tray_program.h"

#include "adapter/discovery.h"
#include "platform/text_builder.h"
#include "platform/wrap32.h"
#include "tray/display_state.h"
#include "tray/escape_client.h"
#include "tray/mode_catalogue.h"
#include "tray/mode_switch.h"
#include "tray/tray_menu.h"
#include "tray/tv_switch.h"
#include "tray/zoom_button.h"

void FormatTrayTip(Tray& tray, char* tip) {
    const DisplayState& state = tray.state;
    TextBuilder text(tip, kTrayTipSize);
    text.Number(static_cast<int32_t>(state.width))
        .Text(" x ")
        .Number(static_cast<int32_t>(state.height))
        .Text(", ")
        .Number(static_cast<int32_t>(state.bitsPerPixel))
        .Text(" Bpp");
    if (state.refreshRate > 1 && TrayDriverPresent(tray.ports.sys, tray.ports.reg)) {
        text.Text(" @ ").Number(static_cast<int32_t>(state.refreshRate), 2).Text(" Hz");
        if (state.hardwareZoomOn)
            text.Text(" - Zoom ON");
    }
}

bool UpdateTrayIcon(Tray& tray, WindowHandle window, uint32_t action) {
    RefreshDisplayState(tray, window);
    char tip[kTrayTipSize];
    FormatTrayTip(tray, tip);
    return tray.ports.shell.NotifyIcon(window, action, tip);
}

void RefreshAll(Tray& tray, WindowHandle window) {
    UpdateTrayIcon(tray, window, NIM_MODIFY_);
    BuildModeCatalogue(tray, window);
    DestroyTrayMenu(tray, window);
    BuildTrayMenu(tray, window);
}

int32_t RunTrayProgram(Tray& tray) {
    TraySystem& sys = tray.ports.sys;
    TrayShell& shell = tray.ports.shell;
    uint32_t error = 0;
    const SysHandle mutex = sys.CreateNamedMutex(kTrayMutexName, true, &error);
    if (error == static_cast<uint32_t>(ERROR_ALREADY_EXISTS_)) {
        sys.Beep(MB_ICONEXCLAMATION_);
        sys.CloseSysHandle(mutex);
        return -1;
    }
    if (error != 0 || !mutex) {
        sys.CloseSysHandle(mutex);
        return 1;
    }
    tray.aboutBoxOpen = false;
    tray.state.panStopOn = false;
    tray.menuItemHeight = shell.MenuItemHeight();
    tray.taskbarCreated = tray.ports.windows.RegisterMessage(kTaskbarCreatedMessage);
    if (!shell.RegisterMainWindowClass()) {
        sys.CloseSysHandle(mutex);
        return 2;
    }
    if (!shell.CreateMainWindow()) {
        sys.CloseSysHandle(mutex);
        return 3;
    }
    tray.menuItemHeight = shell.MenuItemHeight();
    const int32_t code = shell.RunMessageLoop();
    sys.CloseSysHandle(mutex);
    return code;
}

void CheckDisplayChange(Tray& tray, WindowHandle window) {
    DisplayPort& display = tray.ports.display;
    const ScreenDc dc = display.GetScreenDc();
    const ScreenMode screen = ReadScreenMode(tray, dc);
    if (dc)
        display.ReleaseScreenDc(dc);
    const DisplayState& state = tray.state;
    if (screen.bitsPerPixel != state.bitsPerPixel || screen.width != state.width ||
        screen.height != state.height || screen.refreshRate != state.refreshRate) {
        RefreshAll(tray, window);
    }
}

void OpenDisplayProperties(Tray& tray) {
    TraySystem& sys = tray.ports.sys;
    constexpr uint32_t kPathRoom = 260;
    char command[kPathRoom + sizeof(kDisplayPropertiesCommand) +
                 sizeof(kDisplayPropertiesArguments)];
    const uint32_t length = sys.SystemDirectory(command, kPathRoom);
    if (length == 0 || length >= kPathRoom)
        return;
    TextBuilder line(command + length, sizeof(command) - length);
    line.Text(kDisplayPropertiesCommand);
    uint64_t size = 0;
    if (!sys.FindFile(command, &size) || size == 0)
        return;
    line.Text(kDisplayPropertiesArguments);
    sys.Launch(command, SW_SHOW_);
}

void HandleTrayCommand(Tray& tray, WindowHandle window, uint32_t id) {
    const uint32_t count = tray.catalogue.entries.size();
    if (id >= kFirstModeId && id - kFirstModeId < count) {
        ApplyMode(tray, id - kFirstModeId, window);
        return;
    }
    if (id < kFirstModeId + count)
        return;  // the headers (32877), the one-depth name (0) and other ids below the modes
    const uint32_t command = id - (kFirstModeId + count);
    switch (command) {
        case kDisplaySettingsCommand:
            OpenDisplayProperties(tray);
            break;
        case kHardwareZoomCommand:
            if (QueryHardwareZoom(tray)) {
                ToggleHardwareZoom(tray);
                RefreshAll(tray, window);
            }
            break;
        case kVideoOptimizationOnCommand:
        case kVideoOptimizationOffCommand:
        case kVideoOptimizationAutoCommand:
            if (!IsTvOutputActive(tray)) {
                static constexpr VideoOptimization kChoices[] = {
                    VideoOptimization::kOn, VideoOptimization::kOff, VideoOptimization::kAuto};
                SetVideoOptimization(tray, kChoices[command - kVideoOptimizationOnCommand]);
                RefreshAll(tray, window);
            }
            break;
        case kFlickerFixingCommand:
            if (IsTvSetAvailable(tray)) {
                SetFlickerFixing(tray, !tray.state.flickerFixingOn);
                RefreshAll(tray, window);
            }
            break;
        case kTvModeCommand:
            // No refresh here: the display-change check after the command sees the new mode.
            if (IsTvSetAvailable(tray) && IsTvSetSelected(tray))
                SwitchTvOutput(tray, !tray.state.tvOutputOn);
            break;
        case kGrayscaleCommand:
            if (QueryGrayscale(tray)) {
                ToggleGrayscale(tray);
                RefreshAll(tray, window);
            }
            break;
        default:
            break;
    }
}

int32_t TrayMenuTop(Tray& tray, int32_t cursorY) {
    // On the TV the taskbar's corner may be outside the part of the picture the set shows.
    if (!IsTvOutputActive(tray) || tray.state.width == 640 || tray.state.height == 480)
        return cursorY;
    // The cursor's place comes from the window system: computed as the 32-bit program did.
    const int32_t above = WrapAdd(static_cast<int32_t>(MenuHeightEstimate(tray)), 75);
    const int32_t y = WrapSub(cursorY, above);
    return y < 40 ? 40 : y;
}

namespace {

// After a command and a minimised window: the button upkeep, the display-change check.
void AfterCommand(Tray& tray, WindowHandle window) {
    UpdateZoomButton(tray, window, true);
    CheckDisplayChange(tray, window);
}

void TrayNotification(Tray& tray, WindowHandle window, uintptr_t iconId, intptr_t mouse) {
    CheckDisplayChange(tray, window);
    if (mouse == WM_LBUTTONDOWN_) {
        int32_t x = 0;
        int32_t y = 0;
        tray.ports.windows.CursorPos(&x, &y);
        tray.ports.shell.ShowTrayMenu(window, x, TrayMenuTop(tray, y));
    } else if (mouse == WM_RBUTTONDOWN_ && iconId == kTrayIconId && !tray.aboutBoxOpen) {
        tray.ports.shell.ShowAboutBox(window);
    }
}

}  // namespace

bool MainWndProc(Tray& tray, WindowHandle window, uint32_t message, uintptr_t wParam,
                 intptr_t lParam) {
    TrayShell& shell = tray.ports.shell;
    // A registered message has a number only known at run time; 0 would be WM_NULL.
    if (message == tray.taskbarCreated && message != 0) {
        UpdateTrayIcon(tray, window, NIM_ADD_);
        return true;
    }
    switch (message) {
        case WM_CREATE_:
            tray.catalogue.entries.Clear();
            BuildModeCatalogue(tray, window);
            BuildTrayMenu(tray, window);
            UpdateTrayIcon(tray, window, NIM_ADD_);
            UpdateTrayIcon(tray, window, NIM_MODIFY_);
            tray.state.hardwareZoomOn = false;
            return true;
        case WM_DESTROY_:
            UpdateTrayIcon(tray, window, NIM_DELETE_);
            tray.catalogue.entries.Clear();
            DestroyTrayMenu(tray, window);
            DestroyZoomButton(tray);
            shell.PostQuit(0);
            return true;
        case WM_DISPLAYCHANGE_:
            // The catalogue stays: only the menu and the tooltip follow the new mode.
            RefreshDisplayState(tray, window);
            DestroyTrayMenu(tray, window);
            BuildTrayMenu(tray, window);
            UpdateTrayIcon(tray, window, NIM_MODIFY_);
            tray.state.hardwareZoomOn = false;
            return true;
        case WM_COMMAND_: {
            const uint32_t id = LowWord(wParam);
            if (id == kCloseDialogCommand || id == kHideCommand) {
                if (id == kCloseDialogCommand)
                    shell.EndDialog(window, 1);
                else
                    shell.HideWindow(window);
                CheckDisplayChange(tray, window);
                return false;
            }
            HandleTrayCommand(tray, window, id);
            AfterCommand(tray, window);
            return false;
        }
        case WM_SIZE_:
            if (wParam == SIZE_MINIMIZED_) {
                shell.HideWindow(window);
                AfterCommand(tray, window);
            }
            return false;
        case kTrayCallbackMessage:
            TrayNotification(tray, window, wParam, lParam);
            return false;
        default:
            return false;
    }
}

intptr_t AboutDlgProc(Tray& tray, WindowHandle dialog, uint32_t message, uintptr_t wParam) {
    switch (message) {
        case WM_INITDIALOG_:
            tray.aboutBoxOpen = true;
            return 1;
        case WM_COMMAND_: {
            const uint32_t id = LowWord(wParam);
            if (id == 1 || id == IDC_ABOUT_EXIT) {
                tray.ports.shell.EndDialog(dialog, 1);
                tray.aboutBoxOpen = false;
                if (id == IDC_ABOUT_EXIT)
                    tray.ports.shell.PostQuit(0);
            }
            return 1;  // any other command, Escape's too, leaves the box open
        }
        default:
            return 0;
    }
}
