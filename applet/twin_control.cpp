#include "applet/twin_control.h"

#include "adapter/registry_layout.h"
#include "applet/resource.h"
#include "applet/settings_store.h"

namespace {

// Reading and writing happen only with two screens and the driver's keys at hand.
bool GatePasses(Applet& applet) {
    if (applet.state.appletCount != 2)
        return false;
    RegKey first = 0;
    RegKey second = 0;
    const bool opened = OpenDeviceKeys(applet, &first, &second);
    CloseDeviceKeys(applet.reg, first, second);
    return opened;
}

intptr_t OpenTwinControl(Applet& applet, WindowHandle dialog) {
    if (!GatePasses(applet))
        return 1;
    AppletState& state = applet.state;
    // A key that can be neither opened nor created reads as 0, as a missing value does: never the
    // flags of an earlier opening.
    state.twinFlags = 0;
    RegKey key = 0;
    if (applet.reg.CreateKey(HKEY_CURRENT_USER_, kAlignmentKey, &key) == ERROR_SUCCESS_) {
        uint32_t flags = 0;
        if (ReadNumber(applet.reg, key, kTwinControlFlag, REG_DWORD_, &flags))
            state.twinFlags = flags & kTwinFlagsKept;
        applet.reg.CloseKey(key);
    }
    state.twinFlagsAtOpen = state.twinFlags;
    applet.ui.CheckButton(dialog, IDC_MAXIMIZE_ALIGNMENT, state.twinFlags & kMaximizeAlignmentBit);
    applet.ui.CheckButton(dialog, IDC_DIALOG_ALIGNMENT, state.twinFlags & kDialogAlignmentBit);
    return 1;
}

void FollowBox(Applet& applet, WindowHandle dialog, int32_t id, uint32_t bit) {
    if (applet.ui.IsButtonChecked(dialog, id))
        applet.state.twinFlags |= bit;
    else
        applet.state.twinFlags &= ~bit;
}

void ConfirmTwinControl(Applet& applet, WindowHandle dialog) {
    AppletState& state = applet.state;
    if (GatePasses(applet)) {
        RegKey key = 0;
        if (applet.reg.OpenKey(HKEY_CURRENT_USER_, kAlignmentKey, &key) == ERROR_SUCCESS_) {
            WriteDword(applet.reg, key, kTwinControlFlag, state.twinFlags);
            applet.reg.CloseKey(key);
        }
    }
    const uint32_t alignment = kMaximizeAlignmentBit | kDialogAlignmentBit;
    // A message that could not be registered is not sent: it would be WM_NULL.
    if ((state.twinFlags & alignment) != (state.twinFlagsAtOpen & alignment) &&
        state.alignmentMessage != 0)
        applet.ui.BroadcastMessage(state.alignmentMessage, 0, 0, SMTO_ABORTIFHUNG_,
                                   kAlignmentBroadcastTimeout);
    applet.ui.EndDialog(dialog, 1);
}

}  // namespace

intptr_t TwinControlDlgProc(Applet& applet, WindowHandle dialog, uint32_t message,
                            uintptr_t wParam) {
    if (message == WM_INITDIALOG_)
        return OpenTwinControl(applet, dialog);
    if (message != WM_COMMAND_)
        return 0;
    switch (static_cast<int32_t>(LowWord(wParam))) {
        case IDC_MAXIMIZE_ALIGNMENT:
            FollowBox(applet, dialog, IDC_MAXIMIZE_ALIGNMENT, kMaximizeAlignmentBit);
            return 1;
        case IDC_DIALOG_ALIGNMENT:
            FollowBox(applet, dialog, IDC_DIALOG_ALIGNMENT, kDialogAlignmentBit);
            return 1;
        case IDC_TWIN_OK:
            ConfirmTwinControl(applet, dialog);
            return 1;
        case IDC_TWIN_CANCEL:
            applet.ui.EndDialog(dialog, 1);
            return 1;
        default:
            return 0;
    }
}
