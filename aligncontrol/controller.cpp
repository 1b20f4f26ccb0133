#include "aligncontrol/controller.h"

#include "adapter/discovery.h"
#include "platform/windows.h"

bool ControllerSetupIsDual(ControllerSystem& sys, RegistryReader& reg) {
    if (sys.PlatformId() != VER_PLATFORM_WIN32_NT_)
        return false;
    const DiscoveryRecord record = DiscoverAdapters(reg, kControllerDiscovery);
    return record.found && record.dual;
}

int32_t RunAlignmentController(ControllerSystem& sys, RegistryReader& reg, ControllerShell& shell) {
    if (!ControllerSetupIsDual(sys, reg))
        return 0;

    uint32_t error = 0;
    const SysHandle mutex = sys.CreateNamedMutex(kControllerMutexName, true, &error);
    if (!mutex)
        return 0;
    if (error != 0) {
        if (error == static_cast<uint32_t>(ERROR_ALREADY_EXISTS_))
            sys.Beep(MB_ICONEXCLAMATION_);
        sys.CloseSysHandle(mutex);
        return 0;
    }
    if (!shell.RegisterControllerClass()) {
        sys.CloseSysHandle(mutex);
        return 0;
    }
    const ControllerWindow window = shell.CreateControllerWindow();
    if (!window) {
        sys.CloseSysHandle(mutex);
        return 0;
    }
    shell.HideControllerWindow(window);
    const int32_t exitCode = shell.RunMessageLoop();
    sys.CloseSysHandle(mutex);
    return exitCode;
}

intptr_t ControllerWndProc(ControllerShell& shell, ControllerWindow window, uint32_t message,
                           uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case WM_CREATE_:
            shell.StartHooking();
            return 0;
        case WM_CLOSE_:
            // The window stays: it goes with the thread once the loop has ended.
            shell.StopHooking();
            shell.PostQuit(0);
            return 0;
        case WM_SYSCOMMAND_:
            if (wParam == SC_RESTORE_)
                return 0;  // stays minimised and hidden
            break;
        default:
            break;
    }
    return shell.DefaultWindowProc(window, message, wParam, lParam);
}
