#include "applet/applet_entry.h"

#include <cstring>

#include "adapter/registry_layout.h"
#include "applet/resource.h"
#include "applet/selection_dialog.h"
#include "applet/settings_store.h"

const AppletRow kAppletTable[2] = {
    {IDI_MONITOR_SELECT, IDS_MONITOR_SELECT_NAME, IDS_MONITOR_SELECT_INFO, IDD_SINGLE_SCREEN,
     kSingleScreenProcedure},
    {IDI_TWIN_CONTROL, IDS_TWIN_CONTROL_NAME, IDS_TWIN_CONTROL_INFO, IDD_TWIN_CONTROL,
     kTwinControlProcedure},
};

void AppletLoaded(Applet& applet) {
    InvalidateAppletCache(applet.reg);
    applet.state.alignmentMessage = applet.ui.RegisterMessage(kAlignmentChangeMessage);
}

void AppletUnloaded(Applet& applet) {
    InvalidateAppletCache(applet.reg);
}

uint32_t CountApplets(Applet& applet) {
    AppletState& state = applet.state;
    state.adapter.secondAdapter = false;
    state.selection.restartMode = false;
    state.appletCount = 0;
    state.selection.boardHasTv = false;
    state.adapter = DiscoverAdapters(applet.reg, kAppletDiscovery);
    if (!state.adapter.found)
        return 0;
    state.appletCount = state.adapter.dual ? 2 : 1;

    RegKey key = 0;
    if (OpenJoinedKey(applet.reg, kServicesPrefix, state.adapter.driverPath, &key)) {
        uint32_t available = 0;
        if (ReadNumber(applet.reg, key, kAvailableTvSet, REG_BINARY_, &available))
            state.selection.boardHasTv = (available & 3) != 0;
        applet.reg.CloseKey(key);
    }
    return state.appletCount;
}

bool CheckAdminRights(Applet& applet) {
    RegKey first = 0;
    RegKey second = 0;
    if (!OpenDeviceKeys(applet, &first, &second))
        return false;
    // The value goes back exactly as it was read: the write proves the right, it changes nothing.
    uint8_t id[4] = {};
    uint32_t type = REG_NONE_;
    uint32_t size = sizeof(id);
    bool rights = false;
    if (applet.reg.QueryValue(first, kPrimaryBoardId, &type, id, &size) == ERROR_SUCCESS_ &&
        type == REG_BINARY_)
        rights = applet.reg.SetValue(first, kPrimaryBoardId, type, id, size) == ERROR_SUCCESS_;
    CloseDeviceKeys(applet.reg, first, second);
    return rights;
}

void StartApplet(Applet& applet, WindowHandle owner, uintptr_t index) {
    if (index >= sizeof(kAppletTable) / sizeof(kAppletTable[0]))
        return;
    if (index == 0 && !CheckAdminRights(applet)) {
        applet.ui.ShowMessageBox(owner, kRightsMessage, kRightsCaption, kRightsMessageFlags);
        return;
    }
    if (index == 0 && applet.state.appletCount == 2) {
        applet.ui.RunDialog(owner, IDD_DUAL_SCREEN, kDualScreenProcedure);
        return;
    }
    const AppletRow& row = kAppletTable[index];
    applet.ui.RunDialog(owner, row.dialogTemplate, row.procedure);
}

void DescribeApplet(Applet& applet, uintptr_t index, NewCplInfo* info) {
    if (info == nullptr || index >= sizeof(kAppletTable) / sizeof(kAppletTable[0]))
        return;
    const AppletRow& row = kAppletTable[index];
    std::memset(info, 0, sizeof(*info));
    info->dwSize = sizeof(*info);
    info->hIcon = applet.ui.LoadIconHandle(row.icon);
    applet.ui.LoadText(row.nameId, info->szName, sizeof(info->szName));
    applet.ui.LoadText(row.infoId, info->szInfo, sizeof(info->szInfo));
}

int32_t AppletMessage(Applet& applet, WindowHandle owner, uint32_t message, uintptr_t index,
                      NewCplInfo* info) {
    switch (message) {
        case CPL_INIT_:
            ++applet.state.useCount;
            return 1;
        case CPL_GETCOUNT_:
            return static_cast<int32_t>(CountApplets(applet));
        case CPL_DBLCLK_:
            StartApplet(applet, owner, index);
            return 0;
        case CPL_EXIT_:
            --applet.state.useCount;
            return 0;
        case CPL_NEWINQUIRE_:
            DescribeApplet(applet, index, info);
            return 0;
        default:
            return 0;
    }
}
