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

namespace {

void StopIconRetries(Tray& tray, WindowHandle window) {
    if (tray.iconRetrying) {
        tray.ports.windows.KillTimer(window, kIconRetryTimerId);
        tray.iconRetrying = false;
    }
}

}  // namespace

bool NotifyTrayIcon(Tray& tray, WindowHandle window, uint32_t action) {
    TrayShell& shell = tray.ports.shell;
    bool done = shell.NotifyIcon(window, action, tray.iconTip);
    if (action == NIM_DELETE_) {
        StopIconRetries(tray, window);
        return done;
    }
    if (!done && action == NIM_MODIFY_)
        done = shell.NotifyIcon(window, NIM_ADD_, tray.iconTip);
    if (done) {
        StopIconRetries(tray, window);
        tray.iconRetriesLeft = kIconRetries;
    } else if (!tray.iconRetrying && tray.iconRetriesLeft > 0) {
        // At logon the taskbar may not be there yet, and a busy shell times out.
        tray.iconRetrying = true;
        tray.ports.windows.SetTimer(window, kIconRetryTimerId, kIconRetryPeriod);
    }
    return done;
}

bool UpdateTrayIcon(Tray& tray, WindowHandle window, uint32_t action) {
    RefreshDisplayState(tray, window);
    FormatTrayTip(tray, tray.iconTip);
    return NotifyTrayIcon(tray, window, action);
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
        // A window whose WM_CREATE ran (and added the icon) and that was not destroyed when its
        // creation failed is destroyed here, and takes the icon along.
        if (tray.mainWindow)
            shell.DestroyMainWindow(tray.mainWindow);
        sys.CloseSysHandle(mutex);
        return 3;
    }
    tray.menuItemHeight = shell.MenuItemHeight();
    const int32_t code = shell.RunMessageLoop();
    // The About box's EXIT ends the loop with the window still there; WM_CLOSE destroyed it.
    if (tray.mainWindow)
        shell.DestroyMainWindow(tray.mainWindow);
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
    // The program's path stands in quotes, so that a system directory with a space in its path
    // does not have Windows try the shorter paths first. The texts' terminators make room for
    // the two quotes; the directory's ends the line.
    char command[kPathRoom + sizeof(kDisplayPropertiesCommand) +
                 sizeof(kDisplayPropertiesArguments)];
    char* const program = command + 1;
    const uint32_t length = sys.SystemDirectory(program, kPathRoom);
    if (length == 0 || length >= kPathRoom)
        return;
    TextBuilder line(program + length, sizeof(command) - 1 - length);
    line.Text(kDisplayPropertiesCommand);
    uint64_t size = 0;
    if (!sys.FindFile(program, &size) || size == 0)
        return;
    command[0] = '"';
    line.Text("\"").Text(kDisplayPropertiesArguments);
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
            tray.mainWindow = window;
            tray.catalogue.entries.Clear();
            BuildModeCatalogue(tray, window);
            BuildTrayMenu(tray, window);
            tray.iconRetriesLeft = kIconRetries;
            UpdateTrayIcon(tray, window, NIM_ADD_);
            UpdateTrayIcon(tray, window, NIM_MODIFY_);
            tray.ports.windows.SetTimer(window, kIconCheckTimerId, kIconCheckPeriod);
            tray.state.hardwareZoomOn = false;
            return true;
        case WM_DESTROY_:
            tray.mainWindow = 0;
            tray.ports.windows.KillTimer(window, kIconCheckTimerId);
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
        case WM_TIMER_:
            // The unchanged icon again: no display refresh, so the pan-stop button stays.
            if (wParam == kIconRetryTimerId) {
                if (tray.iconRetriesLeft > 0)
                    --tray.iconRetriesLeft;
                if (!NotifyTrayIcon(tray, window, NIM_MODIFY_) && tray.iconRetriesLeft == 0)
                    StopIconRetries(tray, window);
                return true;
            }
            if (wParam == kIconCheckTimerId) {
                NotifyTrayIcon(tray, window, NIM_MODIFY_);
                return true;
            }
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
