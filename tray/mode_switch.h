// Changing the desktop to a catalogue entry and storing it as the default.
#pragma once

#include <cstdint>

#include "tray/tray_state.h"

// The fields a mode record must name for it to be applied.
constexpr uint32_t kDisplayFieldMask =
    DM_BITSPERPEL_ | DM_PELSWIDTH_ | DM_PELSHEIGHT_ | DM_DISPLAYFLAGS_ | DM_DISPLAYFREQUENCY_;

// Told once per run, at the first mode that the system set for the session only.
constexpr char kSessionModeText[] =
    "This mode stays until Windows NT restarts.\nOnly an administrator can make it the default.";
constexpr char kAlertCaption[] = "Zenpick Alert";

// Applies `mode` and stores it as the default (CDS_UPDATEREGISTRY). A user who may not write the
// display's defaults gets DISP_CHANGE_NOTUPDATED, the mode left as it was: the same record then
// goes again with flags 0, a change for the session that every user may make, and *sessionOnly
// is set when that succeeds. Returns the system's answer to the last change asked for.
int32_t ApplyAndStoreMode(Tray& tray, const DevMode& mode, bool* sessionOnly);

// The notice that a mode was set for the session only, owned by `owner`: once per run.
void TellSessionMode(Tray& tray, WindowHandle owner);

// Tests and applies catalogue entry `index` (menu command id - 32878); a mode that needs a
// restart is refused with the "Zenpick Alert" box owned by `owner`. After a change the zoom and
// pan-stop flags are cleared and everything is refreshed; a change for the session only is then
// told.
void ApplyMode(Tray& tray, uint32_t index, WindowHandle owner);
