// lumora2.cpl's entry: the applets it offers the Control Panel, how they are described and
// started, the rights check, and the library's load and unload.
#pragma once

#include <cstdint>

#include "applet/applet_state.h"

constexpr uint32_t CPL_INIT_ = 1;
constexpr uint32_t CPL_GETCOUNT_ = 2;
constexpr uint32_t CPL_INQUIRE_ = 3;
constexpr uint32_t CPL_SELECT_ = 4;
constexpr uint32_t CPL_DBLCLK_ = 5;
constexpr uint32_t CPL_STOP_ = 6;
constexpr uint32_t CPL_EXIT_ = 7;
constexpr uint32_t CPL_NEWINQUIRE_ = 8;

constexpr char kRightsMessage[] =
    "You must have Administrator Rights to change the monitor selection";
constexpr char kRightsCaption[] = "Monitor change - Access rights";
constexpr uint32_t MB_TASKMODAL_ = 0x2000;
constexpr uint32_t kRightsMessageFlags = MB_ICONERROR_ | MB_TASKMODAL_ | MB_TOPMOST_;

// The Control Panel's description of an applet, laid out as NEWCPLINFOA on 32-bit Windows.
struct NewCplInfo {
    uint32_t dwSize;
    uint32_t dwFlags;
    uint32_t dwHelpContext;
    uint32_t lData;
    uint32_t hIcon;
    char szName[32];
    char szInfo[64];
    char szHelpFile[128];
};
static_assert(sizeof(NewCplInfo) == 244, "NEWCPLINFOA is 244 bytes");

struct AppletRow {
    uint32_t icon;
    uint32_t nameId;
    uint32_t infoId;
    int32_t dialogTemplate;
    uint32_t procedure;
};
// Index 0, "orvel Monitor Select", and index 1, "orvelZYNTRA control".
extern const AppletRow kAppletTable[2];

// Process attach and detach.
void AppletLoaded(Applet& applet);
void AppletUnloaded(Applet& applet);

// CPL_GETCOUNT: 0 without the driver, 2 with two screens, else 1.
uint32_t CountApplets(Applet& applet);
// True when the user may write the driver's settings key.
bool CheckAdminRights(Applet& applet);
// CPL_DBLCLK for applet `index`, owned by the Control Panel's window.
void StartApplet(Applet& applet, WindowHandle owner, uintptr_t index);
// CPL_NEWINQUIRE for applet `index`.
void DescribeApplet(Applet& applet, uintptr_t index, NewCplInfo* info);

// CPlApplet: `info` is the record of CPL_NEWINQUIRE (null for other messages).
int32_t AppletMessage(Applet& applet, WindowHandle owner, uint32_t message, uintptr_t index,
                      NewCplInfo* info);
