// Nudgel, the setup reminder: shows the monitor and the TV reminders that are still due, once
// per stage, and opens the monitor selection applet from them.
#pragma once

#include <cstdint>

#include "adapter/discovery.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "reminder/resource.h"

constexpr char kReminderMutexName[] = "Orvelcom Mutex - Nudgel";

// The hidden, topmost window that owns the reminder dialogs. It is never shown.
struct OwnerWindow {
    uint16_t classAtom;  // the class is registered under this atom, with no name
    uint32_t classStyle;
    int32_t iconId;           // the program's icon resource
    int32_t backgroundBrush;  // a stock object (GetStockObject)
    const char* title;
    uint32_t style;
    int32_t x, y, width, height;
    uint32_t positionFlags;  // SetWindowPos into the topmost band
};
constexpr OwnerWindow kReminderOwnerWindow = {
    1015,        // class atom
    0,           // class style
    IDI_NUDGEL,  // icon 129
    1,           // LTGRAY_BRUSH
    "Nudgel",
    0x00C00000,           // WS_CAPTION
    0,          0, 0, 0,  // at 0, 0, size 0 x 0
    0x0001,               // SWP_NOSIZE
};
constexpr int kMonitorReminderDialog = IDD_MONITOR_REMINDER;
constexpr int kTvReminderDialog = IDD_TV_REMINDER;
constexpr int kReminderButton = IDC_START_SELECTION;  // "Start Monitorselection"
constexpr char kAppletProgram[] = "\\control.exe";
constexpr char kAppletArguments[] = " lumora2.cpl";

// Stages of "OrvelIsInstalled".
constexpr int32_t kStageBothDue = 0;
constexpr int32_t kStageMonitorDone = 1;
constexpr int32_t kStageNothingDue = 2;

// Room for each monitor name read: presence is all that counts, but it must fit.
constexpr uint32_t kMonitorNameBytes = 64;

// The stage; a missing key or value, or one of another type than REG_DWORD, reads as 2.
int32_t ReadReminderStage(RegistryReader& reg, const char* driverPath);
// Sets the stage in the maker's software key if that key exists (it is never created here).
void WriteReminderStage(RegistryWriter& reg, const char* driverPath, int32_t stage);

bool IsMonitorReminderDue(RegistryReader& reg, const DiscoveryRecord& adapter);
bool IsTvReminderDue(RegistryReader& reg, const DiscoveryRecord& adapter);

// Whether this user can act on a reminder: the applet, which the reminder opens, stores the
// choices in the settings key and refuses a user who may not. The key is opened for setting
// values (which writes nothing) and closed again.
bool MayChooseMonitor(RegistryAccessCheck& rights, const DiscoveryRecord& adapter);

// The command line that opens the monitor selection applet: "<system directory>\control.exe"
// in quotes, then " lumora2.cpl". Unquoted, a system directory with a space in its path would
// have Windows try the shorter paths first. False when it does not fit `size` bytes.
bool ReminderCommandLine(ReminderSystem& sys, char* buffer, uint32_t size);

// A WM_COMMAND in a reminder dialog. The button (or Enter) starts the applet and the dialog ends
// with 1: the result is true. Any other id (Escape among them) changes nothing.
bool HandleReminderCommand(ReminderSystem& sys, int32_t id);

// The windows the reminder needs from its shell.
class ReminderShell {
  public:
    // Registers the window class, creates the owner window as `window` describes it, updates it
    // and puts it into the topmost band.
    virtual bool CreateOwnerWindow(const OwnerWindow& window) = 0;
    // Shows dialog `dialogId` modally, owned by that window, until it ends; false when the
    // dialog could not be shown.
    virtual bool ShowReminder(int dialogId) = 0;

  protected:
    ~ReminderShell() = default;
};

// The whole program, from discovery to the end; the exit code, which is always 0. `rights` is
// the registry seen through RegOpenKeyExA (the same registry as `reg`). A user who may not
// choose the monitor is shown nothing and the stage stays, for the next user who may.
int RunReminder(RegistryWriter& reg, RegistryAccessCheck& rights, ReminderSystem& sys,
                ReminderShell& shell);
