// Changing the desktop to a catalogue entry and storing it as the default.
#pragma once

#include <cstdint>

#include "tray/tray_state.h"

// The fields a mode record must name for it to be applied.
constexpr uint32_t kDisplayFieldMask =
    DM_BITSPERPEL_ | DM_PELSWIDTH_ | DM_PELSHEIGHT_ | DM_DISPLAYFLAGS_ | DM_DISPLAYFREQUENCY_;

// Tests and applies catalogue entry `index` (menu command id - 32878); a mode that needs a
// restart is refused with the "Zenpick Alert" box owned by `owner`. After a change the zoom and
// pan-stop flags are cleared and everything is refreshed.
void ApplyMode(Tray& tray, uint32_t index, WindowHandle owner);
