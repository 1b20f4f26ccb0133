// The applet's state, one instance for as long as the library is loaded, and the ports it works
// through.
#pragma once

#include <cstdint>

#include "adapter/discovery.h"
#include "applet/monitor_database.h"
#include "platform/dialog.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/system.h"

// The monitor choices of the selection dialogs, with the TV part. Not cleared when a dialog
// opens: what an opening does not set keeps its value.
struct SelectionState {
    char openedPrimary[kModelNameChars] = {};    // primary's name as read at opening
    char openedSecondary[kModelNameChars] = {};  // secondary's name as read at opening
    int32_t openedIsLeft = 0;  // side read at opening: 1 left, 0 right, 2 restart mode
    char leftChoice[kModelNameChars] = {};
    char rightChoice[kModelNameChars] = {};
    int32_t isLeft = 0;        // current side of the primary: 1 left, 0 right
    bool restartMode = false;  // the dual dialog found no valid side
    // The dual dialog's opening read a side or the user chose one: only then does OK store it.
    bool sideSettled = false;

    bool boardHasTv = false;   // "AvailableTVSet" had bit 0 or 1 at the last count query
    bool tvBoxTicked = false;  // "TV Set Available"
    uint32_t offeredTv = 0;    // standards the user may choose: bit 0 PAL, bit 1 NTSC
    uint32_t chosenTv = 0;     // 0 none, 1 PAL, 2 NTSC
};

struct AppletState {
    DiscoveryRecord adapter;        // from the last count query
    uint32_t appletCount = 0;       // 0, 1 or 2
    int32_t useCount = 0;           // CPL_INIT less CPL_EXIT
    uint32_t alignmentMessage = 0;  // "orvelAlignmentChange"
    SelectionState selection;
    uint32_t twinFlags = 0;        // working copy of "TwinControlFlag"
    uint32_t twinFlagsAtOpen = 0;  // as read at the last opening
    char databasePath[kDatabasePathChars] = {};
    MonitorList list;  // the names loaded at the latest opening
};

// What every operation of the applet works with.
struct Applet {
    RegistryPort& reg;
    AppletSystem& sys;
    ProfilePort& profile;
    DialogPort& ui;
    AppletState& state;
};
