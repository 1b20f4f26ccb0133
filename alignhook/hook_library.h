// The alignment hook library: its per-process state, the settings it reads, the hook procedure
// that runs inside every process of the desktop, and its start and stop.
#pragma once

#include <cstdint>

#include "alignhook/placement.h"
#include "platform/hook.h"
#include "platform/registry.h"

// The block shared by every process that loads the library: the hook handle in bytes 0 to 3,
// the rest zero.
constexpr char16_t kSharedBlockName[] = u"keldhookmemfilemap";
constexpr uint32_t kSharedBlockBytes = 4096;
// Broadcast by the alignment options when the control flags change.
constexpr char16_t kAlignmentChangeMessage[] = u"orvelAlignmentChange";

constexpr uint32_t WM_GETMINMAXINFO_ = 0x0024;
constexpr uint32_t WM_WINDOWPOSCHANGING_ = 0x0046;

// The message records as the hook receives them; on the 32-bit target these are exactly
// CWPSTRUCT, MINMAXINFO and WINDOWPOS.
struct HookMessageRecord {
    intptr_t lParam;
    uintptr_t wParam;
    uint32_t message;
    uintptr_t window;
};
struct PointRecord {
    int32_t x;
    int32_t y;
};
struct MinMaxInfoRecord {
    PointRecord reserved;
    PointRecord maxSize;
    PointRecord maxPosition;
    PointRecord minTrackSize;
    PointRecord maxTrackSize;
};
struct WindowPosRecord {
    uintptr_t window;
    uintptr_t insertAfter;
    int32_t x;
    int32_t y;
    int32_t cx;
    int32_t cy;
    uint32_t flags;
};

// One process's copy of the library's state.
struct HookLibrary {
    HookHandle hook = 0;      // as last read from, or written to, the shared block
    uintptr_t module = 0;     // the library's module handle
    SharedBlock block = 0;    // this process's handle to the shared block
    uint8_t* view = nullptr;  // where the block is mapped here
    uint32_t changeMessage = 0;
    AlignmentSettings settings;  // as read at attach
};

// Fills the settings from the registry: the four sizes from the first device's settings key
// (only on a dual setup), the control flags from the user's "TwinControlFlag" AND 3. The
// control flags are 0 unless every value was found.
void ReadAlignmentSettings(RegistryReaderW& reg, AlignmentSettings* settings);

// Process attach: creates or opens the shared block (zeroing it only when it is new), maps it,
// registers the change message and reads the settings. False, with nothing left open, when the
// block cannot be made or mapped: the library must not load then.
bool AttachHookLibrary(HookPort& port, RegistryReaderW& reg, uintptr_t module, HookLibrary* lib);
// Process detach: unmaps and closes the block. Safe after a failed attach.
void DetachHookLibrary(HookPort& port, HookLibrary* lib);

// Installs the hook for every thread of the desktop and publishes its handle (0 when the
// installation failed) in the shared block. Returns 1.
int32_t StartHooking(HookPort& port, HookLibrary* lib);
// Removes the hook whose handle the shared block holds. Returns 1.
int32_t StopHooking(HookPort& port, HookLibrary* lib);

// The hook procedure of a WH_CALLWNDPROC hook. Negative codes are passed on at once, positive
// ones answered with 0; with HC_ACTION the change message and WM_GETMINMAXINFO /
// WM_WINDOWPOSCHANGING read the settings afresh, the latter two edit the structure that lParam
// points to as the settings say, and every message is passed on. Nothing else touches the
// registry or allocates.
intptr_t AlignmentHookProc(const HookLibrary& lib, HookPort& port, RegistryReaderW& reg,
                           int32_t code, uintptr_t sent, HookMessageRecord* record);
