#include "tray/mode_switch.h"

#include "tray/tray_program.h"

int32_t ApplyAndStoreMode(Tray& tray, const DevMode& mode, bool* sessionOnly) {
    DisplayPort& display = tray.ports.display;
    const int32_t stored = display.ChangeSettings(mode, CDS_UPDATEREGISTRY_);
    if (stored != DISP_CHANGE_NOTUPDATED_)
        return stored;
    const int32_t session = display.ChangeSettings(mode, 0);
    if (session == DISP_CHANGE_SUCCESSFUL_)
        *sessionOnly = true;
    return session;
}

void TellSessionMode(Tray& tray, WindowHandle owner) {
    if (tray.sessionModeTold)
        return;
    tray.sessionModeTold = true;
    tray.ports.windows.ShowMessageBox(owner, kSessionModeText, kAlertCaption,
                                      MB_TOPMOST_ | MB_ICONINFORMATION_ | MB_OK_);
}

void ApplyMode(Tray& tray, uint32_t index, WindowHandle owner) {
    ModeCatalogue& catalogue = tray.catalogue;
    const uint32_t count = catalogue.entries.size();
    if (index >= count)
        return;  // no such entry: a command from a menu older than the catalogue
    const uint32_t previous = catalogue.selected;
    catalogue.selected = index;
    if (!(catalogue.entries[index].dmFields & kDisplayFieldMask)) {
        catalogue.selected = previous;
        if (previous >= count)
            return;
    }
    // A copy: the change notification may run while the record is in use.
    const DevMode mode = catalogue.entries[catalogue.selected];

    DisplayPort& display = tray.ports.display;
    const int32_t test = display.ChangeSettings(mode, CDS_TEST_);
    if (test == DISP_CHANGE_RESTART_) {
        tray.ports.windows.ShowMessageBox(
            owner, "This mode requires a reboot which\nis not supported in this program.",
            kAlertCaption, MB_TOPMOST_ | MB_ICONERROR_ | MB_OK_);
        catalogue.selected = previous;
        return;
    }
    if (test != DISP_CHANGE_SUCCESSFUL_)
        return;
    bool sessionOnly = false;
    if (ApplyAndStoreMode(tray, mode, &sessionOnly) != DISP_CHANGE_SUCCESSFUL_)
        return;
    tray.state.hardwareZoomOn = false;
    tray.state.panStopOn = false;
    RefreshAll(tray, owner);
    if (sessionOnly)
        TellSessionMode(tray, owner);
}
