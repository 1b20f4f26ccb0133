// The alignment options dialog (template 403): "TwinControlFlag" under the user's alignment key,
// and the broadcast that tells the hook library of a change.
#pragma once

#include <cstdint>

#include "applet/applet_state.h"

constexpr uint32_t kMaximizeAlignmentBit = 1;
constexpr uint32_t kDialogAlignmentBit = 2;
// Bit 2 has no control but is written back as it was read; the others are dropped on reading.
constexpr uint32_t kTwinFlagsKept = 7;
// How long the change's broadcast waits for each window; one that stopped taking messages is
// skipped at once, so a hung program cannot hold the dialog.
constexpr uint32_t kAlignmentBroadcastTimeout = 3000;  // milliseconds

intptr_t TwinControlDlgProc(Applet& applet, WindowHandle dialog, uint32_t message,
                            uintptr_t wParam);
