#include "applet/selection_dialog.h"

#include <cstring>
#include <initializer_list>

#include "applet/resource.h"
#include "applet/settings_store.h"
#include "applet/tv_controls.h"

namespace {

constexpr int32_t IDOK_ = 1;
constexpr int32_t IDCANCEL_ = 2;

// Copies a stored name into a 40-character field, cut to 39 characters.
void CopyName(char* field, const char* text) {
    size_t n = 0;
    while (n < kModelNameChars - 1 && text[n])
        ++n;
    std::memcpy(field, text, n);
    field[n] = 0;
}

// Whether a role's list and choice are the left ones: the primary stands on the left in the
// single dialog and when isLeft is 1, on the right otherwise.
bool RoleOnLeft(const SelectionState& s, MonitorRole role, bool dual) {
    return (!dual || s.isLeft == 1) == (role == MonitorRole::kPrimary);
}
int32_t ListOf(const SelectionState& s, MonitorRole role, bool dual) {
    return RoleOnLeft(s, role, dual) ? IDC_LEFT_LIST : IDC_RIGHT_LIST;
}
char* ChoiceOfList(SelectionState& s, int32_t list) {
    return list == IDC_LEFT_LIST ? s.leftChoice : s.rightChoice;
}
// The role whose name a list is saved under (OK and button 2, where isLeft holds the side).
MonitorRole RoleOfList(const SelectionState& s, int32_t list) {
    const bool left = list == IDC_LEFT_LIST;
    return RoleOnLeft(s, MonitorRole::kPrimary, true) == left ? MonitorRole::kPrimary
                                                              : MonitorRole::kSecondary;
}
const char* OpenedName(const SelectionState& s, MonitorRole role) {
    return role == MonitorRole::kPrimary ? s.openedPrimary : s.openedSecondary;
}

// The selected entry's text into its choice field; false when the list has no selection (or
// its text does not fit the field, which no listed name does).
bool ListSelection(DialogPort& ui, WindowHandle dialog, int32_t list, char* field) {
    const int32_t index = ui.ComboSelection(dialog, list);
    return index != CB_ERR_ && ui.ComboText(dialog, list, index, field, kModelNameChars) != CB_ERR_;
}

void SelectStored(DialogPort& ui, WindowHandle dialog, int32_t list, const char* name) {
    const int32_t index = ui.ComboFindExact(dialog, list, name);
    if (index != CB_ERR_)
        ui.ComboSetSelection(dialog, list, index);
}

// Button 2 becomes "RESTART NOW" under an id of its own, so that Esc and the close box, which
// send id 2, leave the dialog without a restart.
void EnterRestartMode(Applet& applet, WindowHandle dialog) {
    SelectionState& s = applet.state.selection;
    for (int32_t id : {IDC_LEFT_LIST, IDC_RIGHT_LIST, IDC_TV_AVAILABLE, IDC_PAL, IDC_NTSC, IDOK_})
        applet.ui.EnableControl(dialog, id, false);
    applet.ui.SetControlText(dialog, IDCANCEL_, kRestartNowText);
    applet.ui.SetControlId(dialog, IDCANCEL_, IDC_RESTART_NOW);
    s.restartMode = true;
    s.openedIsLeft = 2;
    s.isLeft = 0;
}

void ReadOpeningSide(Applet& applet, WindowHandle dialog) {
    SelectionState& s = applet.state.selection;
    RegKey first = 0;
    RegKey second = 0;
    if (!OpenDeviceKeys(applet, &first, &second))
        return;
    const int32_t side = ReadSide(applet.reg, first);
    CloseDeviceKeys(applet.reg, first, second);
    s.sideSettled = true;
    if (side < 0) {
        EnterRestartMode(applet, dialog);
        return;
    }
    s.openedIsLeft = side;
    s.isLeft = side;
    applet.ui.CheckRadio(dialog, IDC_BOOT_LEFT, IDC_BOOT_RIGHT,
                         side == 1 ? IDC_BOOT_LEFT : IDC_BOOT_RIGHT);
}

void SelectStoredMonitors(Applet& applet, WindowHandle dialog, bool dual) {
    SelectionState& s = applet.state.selection;
    DialogPort& ui = applet.ui;
    RegKey first = 0;
    RegKey second = 0;
    if (!OpenDeviceKeys(applet, &first, &second)) {
        applet.sys.Beep(MB_ICONEXCLAMATION_);
        return;
    }
    char text[kStoredNameChars];
    if (applet.state.adapter.secondAdapter &&
        PrimaryIsPlaceholder(applet.reg, first, second, text)) {
        ui.ComboSelectPrefix(dialog, IDC_LEFT_LIST, kDefaultModelPrefix);
        ui.ComboSelectPrefix(dialog, IDC_RIGHT_LIST, kDefaultModelPrefix);
        CopyName(s.openedPrimary, text);
        CopyName(s.openedSecondary, text);
    } else {
        const MonitorRole primary = MonitorRole::kPrimary;
        if (ReadStoredMonitor(applet.reg, first, primary, text) && !IsPlaceholder(text))
            SelectStored(ui, dialog, ListOf(s, primary, dual), text);
        else
            ui.ComboSelectPrefix(dialog, ListOf(s, primary, dual), kDefaultModelPrefix);
        CopyName(s.openedPrimary, text);
        CopyName(ChoiceOfList(s, ListOf(s, primary, dual)), s.openedPrimary);

        if (dual) {
            const MonitorRole secondary = MonitorRole::kSecondary;
            const RegKey key = applet.state.adapter.secondAdapter && second ? second : first;
            if (ReadStoredMonitor(applet.reg, key, secondary, text))
                SelectStored(ui, dialog, ListOf(s, secondary, dual), text);
            else
                ui.ComboSelectPrefix(dialog, ListOf(s, secondary, dual), kDefaultModelPrefix);
            CopyName(s.openedSecondary, text);
            CopyName(ChoiceOfList(s, ListOf(s, secondary, dual)), s.openedSecondary);
        }
    }
    CloseDeviceKeys(applet.reg, first, second);
}

intptr_t OpenSelectionDialog(Applet& applet, WindowHandle dialog, bool dual) {
    SelectionState& s = applet.state.selection;
    AppletState& state = applet.state;
    s.sideSettled = false;
    if (!ExpandDatabasePath(applet.sys, state.databasePath)) {
        applet.sys.Beep(MB_ICONEXCLAMATION_);
        return 0;
    }
    if (!LoadMonitorList(applet.sys, applet.profile, state.databasePath, !dual, &state.list))
        return 0;
    for (uint32_t i = 0; i < state.list.count; ++i) {
        const int32_t at = static_cast<int32_t>(i);
        applet.ui.ComboInsert(dialog, IDC_LEFT_LIST, at, state.list.Name(i));
        if (dual)
            applet.ui.ComboInsert(dialog, IDC_RIGHT_LIST, at, state.list.Name(i));
    }

    if (dual) {
        ReadOpeningSide(applet, dialog);
    } else {
        s.openedIsLeft = 0;
        s.isLeft = 0;
    }
    SelectStoredMonitors(applet, dialog, dual);
    s.tvBoxTicked = false;
    RefreshTvControls(applet, dialog);
    return 1;
}

void ChooseSide(Applet& applet, WindowHandle dialog, int32_t id) {
    SelectionState& s = applet.state.selection;
    s.isLeft = id == IDC_BOOT_LEFT ? 1 : 0;
    applet.ui.CheckRadio(dialog, IDC_BOOT_LEFT, IDC_BOOT_RIGHT, id);
    for (int32_t control : {IDC_LEFT_LIST, IDC_RIGHT_LIST, IDOK_})
        applet.ui.EnableControl(dialog, control, true);
    applet.ui.SetControlId(dialog, IDC_RESTART_NOW, IDCANCEL_);  // none outside restart mode
    applet.ui.SetControlText(dialog, IDCANCEL_, kCancelText);
    s.restartMode = false;
    s.sideSettled = true;
    RefreshTvControls(applet, dialog);
}

// The restart, asked for once the choices are stored; a refusal is told, since the driver reads
// them only when Windows NT starts again.
void Restart(Applet& applet, WindowHandle dialog) {
    if (!RequestReboot(applet.sys))
        applet.ui.ShowMessageBox(dialog, kRestartFailedText, kRestartFailedCaption,
                                 MB_OK_ | MB_ICONEXCLAMATION_);
}

// Saves a list's selection under the role its position gives it.
void SaveList(Applet& applet, WindowHandle dialog, RegKey key, int32_t list) {
    SelectionState& s = applet.state.selection;
    char* field = ChoiceOfList(s, list);
    if (ListSelection(applet.ui, dialog, list, field))
        WriteMonitorSelection(applet, key, RoleOfList(s, list), field);
}

void ConfirmSelection(Applet& applet, WindowHandle dialog, bool dual) {
    SelectionState& s = applet.state.selection;
    RegKey first = 0;
    RegKey second = 0;
    const bool opened = OpenDeviceKeys(applet, &first, &second);
    if (opened) {
        // The single dialog always stores the primary on the left. The dual one stores a side
        // only when one was read or chosen in this dialog, never the one an earlier opening left.
        if (dual) {
            if (s.restartMode)
                s.isLeft = 1;
            if (s.sideSettled)
                WriteSide(applet.reg, first, s.isLeft);
            SaveList(applet, dialog, first, IDC_RIGHT_LIST);
        } else {
            s.isLeft = 1;
            WriteSide(applet.reg, first, s.isLeft);
        }
        SaveList(applet, dialog, first, IDC_LEFT_LIST);
        SaveTvStandard(applet.reg, first, s);
    }
    WriteInstallState(applet, s.chosenTv != 0);
    CloseDeviceKeys(applet.reg, first, second);
    if (SelectionChanged(s) &&
        applet.ui.RunDialog(dialog, IDD_RESTART, kRestartProcedure) == kRestartNow)
        Restart(applet, dialog);
    applet.ui.EndDialog(dialog, 1);
}

// "RESTART NOW" in restart mode: keeps the lists' choices that differ from the names read at
// opening, then restarts the operating system. A role read without a name (none stored, or of
// another type) keeps whatever its list shows: an empty name is part of no choice.
void RestartFromSelection(Applet& applet, WindowHandle dialog) {
    SelectionState& s = applet.state.selection;
    RegKey first = 0;
    RegKey second = 0;
    if (OpenDeviceKeys(applet, &first, &second)) {
        for (int32_t list : {IDC_LEFT_LIST, IDC_RIGHT_LIST}) {
            char* field = ChoiceOfList(s, list);
            if (!ListSelection(applet.ui, dialog, list, field))
                continue;
            const MonitorRole role = RoleOfList(s, list);
            const char* opened = OpenedName(s, role);
            if (opened[0] == 0 || std::strstr(field, opened) == nullptr)
                WriteMonitorSelection(applet, first, role, field);
        }
    }
    CloseDeviceKeys(applet.reg, first, second);
    Restart(applet, dialog);
    applet.ui.EndDialog(dialog, 1);
}

}  // namespace

intptr_t MonitorSelectDlgProc(Applet& applet, WindowHandle dialog, uint32_t message,
                              uintptr_t wParam, bool dual) {
    if (message == WM_INITDIALOG_)
        return OpenSelectionDialog(applet, dialog, dual);
    if (message != WM_COMMAND_)
        return 0;
    const int32_t id = static_cast<int32_t>(LowWord(wParam));
    switch (id) {
        case IDC_BOOT_LEFT:
        case IDC_BOOT_RIGHT:
            ChooseSide(applet, dialog, id);
            return 1;
        case IDC_PAL:
            HandlePalCommand(applet, dialog);
            return 1;
        case IDC_NTSC:
            HandleNtscCommand(applet, dialog);
            return 1;
        case IDC_TV_AVAILABLE:
            HandleTvBoxCommand(applet, dialog);
            return 1;
        case IDC_LEFT_LIST:
        case IDC_RIGHT_LIST:
            return 1;  // a changed selection counts only on OK
        case IDOK_:
            ConfirmSelection(applet, dialog, dual);
            return 1;
        case IDC_RESTART_NOW:
            if (!applet.state.selection.restartMode)
                return 0;
            RestartFromSelection(applet, dialog);
            return 1;
        case IDCANCEL_:
            // "&Cancel", "CANCEL", Esc and the close box: nothing is written.
            applet.ui.EndDialog(dialog, 1);
            return 1;
        default:
            return 0;
    }
}

bool SelectionChanged(const SelectionState& s) {
    // Containment, not equality: a choice that is part of the name read counts as the same.
    // The choices are set against the names of their roles.
    const char* primary = s.isLeft == 1 ? s.leftChoice : s.rightChoice;
    const char* secondary = s.isLeft == 1 ? s.rightChoice : s.leftChoice;
    return std::strstr(s.openedPrimary, primary) == nullptr ||
           std::strstr(s.openedSecondary, secondary) == nullptr || s.chosenTv != s.offeredTv ||
           s.isLeft != s.openedIsLeft;
}

intptr_t RestartDlgProc(DialogPort& ui, WindowHandle dialog, uint32_t message, uintptr_t wParam) {
    if (message != WM_COMMAND_)
        return 0;
    if (wParam == IDOK_ || wParam == IDCANCEL_) {
        ui.EndDialog(dialog, kRestartLater);
        return 1;
    }
    if (wParam == IDC_RESTART_NOW) {
        ui.EndDialog(dialog, kRestartNow);
        return 1;
    }
    return 0;
}

bool RequestReboot(AppletSystem& sys) {
    // Without the privilege ExitWindowsEx fails: it is not asked then.
    return sys.EnablePrivilege(kShutdownPrivilege) && sys.ExitSession(EWX_REBOOT_, 0);
}
