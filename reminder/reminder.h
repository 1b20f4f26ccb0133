// Nudgel, the setup reminder: shows the monitor and the TV reminders that are still due, once
// per stage, and opens the monitor selection applet from them.
#pragma once

#include <cstdint>

#include "adapter/discovery.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "reminder/resource.h"

constexpr char kReminderMutexName[] = "Orvelcom Mutex - Nudgel";
constexpr char kReminderWindowTitle[] = "Nudgel";
constexpr uint16_t kReminderWindowClassAtom = 1015;
constexpr int kMonitorReminderDialog = IDD_MONITOR_REMINDER;
constexpr int kTvReminderDialog = IDD_TV_REMINDER;
constexpr int kReminderButton = IDC_START_SELECTION;  // "Start Monitorselection"
constexpr char kAppletCommand[] = "\\control.exe lumora2.cpl";

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

// The command line that opens the monitor selection applet: the system directory followed by
// "\control.exe lumora2.cpl". False when it does not fit `size` bytes.
bool ReminderCommandLine(ReminderSystem& sys, char* buffer, uint32_t size);

// A WM_COMMAND in a reminder dialog. The button (or Enter) starts the applet and the dialog ends
// with 1: the result is true. Any other id (Escape among them) changes nothing.
bool HandleReminderCommand(ReminderSystem& sys, int32_t id);

// The windows the reminder needs from its shell.
class ReminderShell {
  public:
    // Registers the window class, creates the hidden topmost owner window.
    virtual bool CreateOwnerWindow() = 0;
    // Shows dialog `dialogId` modally, owned by that window, until it ends.
    virtual void ShowReminder(int dialogId) = 0;

  protected:
    ~ReminderShell() = default;
};

// The whole program, from discovery to the end; the exit code, which is always 0.
int RunReminder(RegistryWriter& reg, ReminderSystem& sys, ReminderShell& shell);
