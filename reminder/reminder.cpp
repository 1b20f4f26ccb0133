#include "reminder/reminder.h"

#include "adapter/registry_layout.h"
#include "platform/text_builder.h"

namespace {

// Closes the key when it goes out of scope, on every path.
class KeyCloser {
  public:
    KeyCloser(RegistryReader& reg, RegKey key) : reg_(reg), key_(key) {}
    ~KeyCloser() { reg_.CloseKey(key_); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

  private:
    RegistryReader& reg_;
    RegKey key_;
};

bool HasMonitorName(RegistryReader& reg, RegKey settings, const char* name) {
    char buffer[kMonitorNameBytes];
    return ReadString(reg, settings, name, buffer, sizeof(buffer));
}

}  // namespace

int32_t ReadReminderStage(RegistryReader& reg, const char* driverPath) {
    RegKey key = 0;
    if (!OpenJoinedKey(reg, kMakerSoftwarePrefix, driverPath, &key))
        return kStageNothingDue;
    KeyCloser closer(reg, key);
    uint32_t stage = 0;
    if (!ReadNumber(reg, key, kOrvelIsInstalled, REG_DWORD_, &stage))
        return kStageNothingDue;
    return static_cast<int32_t>(stage);
}

void WriteReminderStage(RegistryWriter& reg, const char* driverPath, int32_t stage) {
    RegKey key = 0;
    if (!OpenJoinedKey(reg, kMakerSoftwarePrefix, driverPath, &key))
        return;
    KeyCloser closer(reg, key);
    const uint32_t word = static_cast<uint32_t>(stage);
    const uint8_t bytes[4] = {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
                              static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 24)};
    reg.SetValue(key, kOrvelIsInstalled, REG_DWORD_, bytes, sizeof(bytes));
}

bool IsMonitorReminderDue(RegistryReader& reg, const DiscoveryRecord& adapter) {
    RegKey settings = 0;
    if (!OpenJoinedKey(reg, kServicesPrefix, adapter.driverPath, &settings))
        return false;
    KeyCloser closer(reg, settings);
    if (ReadReminderStage(reg, adapter.driverPath) != kStageBothDue)
        return false;
    if (!HasMonitorName(reg, settings, kPrimarySelectedMonitor))
        return true;
    if (adapter.twoHead && !HasMonitorName(reg, settings, kSecondarySelectedMonitor))
        return true;
    return false;
}

bool IsTvReminderDue(RegistryReader& reg, const DiscoveryRecord& adapter) {
    RegKey settings = 0;
    if (!OpenJoinedKey(reg, kServicesPrefix, adapter.driverPath, &settings))
        return false;
    KeyCloser closer(reg, settings);
    if (ReadReminderStage(reg, adapter.driverPath) > kStageMonitorDone)
        return false;
    uint32_t available = 0;
    if (!ReadNumber(reg, settings, kAvailableTvSet, REG_BINARY_, &available) || available == 0) {
        return false;
    }
    uint32_t selected = 0;
    if (!ReadNumber(reg, settings, kSelectedTvSet, REG_BINARY_, &selected))
        return true;
    return (selected & available & 3u) == 0;
}

bool MayChooseMonitor(RegistryAccessCheck& rights, const DiscoveryRecord& adapter) {
    RegKey key = 0;
    if (!OpenJoinedKeyFor(rights, kServicesPrefix, adapter.driverPath, KEY_SET_VALUE_, &key))
        return false;
    rights.CloseKey(key);
    return true;
}

bool ReminderCommandLine(ReminderSystem& sys, char* buffer, uint32_t size) {
    // The two texts and the two quotes; the directory's own terminator ends the line.
    constexpr uint32_t kAdded = sizeof(kAppletProgram) + sizeof(kAppletArguments);
    if (size <= kAdded)
        return false;
    const uint32_t length = sys.SystemDirectory(buffer + 1, size - kAdded);
    if (length == 0 || length >= size - kAdded)
        return false;
    buffer[0] = '"';
    TextBuilder(buffer + 1 + length, size - 1 - length)
        .Text(kAppletProgram)
        .Text("\"")
        .Text(kAppletArguments);
    return true;
}

bool HandleReminderCommand(ReminderSystem& sys, int32_t id) {
    if (id != kReminderButton)
        return false;
    char commandLine[300];
    if (ReminderCommandLine(sys, commandLine, sizeof(commandLine))) {
        sys.Launch(commandLine, SW_SHOWNORMAL_);
    }
    return true;
}

int RunReminder(RegistryWriter& reg, RegistryAccessCheck& rights, ReminderSystem& sys,
                ReminderShell& shell) {
    const DiscoveryRecord adapter = DiscoverAdapters(reg, kReminderDiscovery);
    if (!adapter.found)
        return 0;

    uint32_t lastError = 0;
    const SysHandle mutex = sys.CreateNamedMutex(kReminderMutexName, true, &lastError);
    if (lastError != 0 || mutex == 0) {
        if (mutex)
            sys.CloseSysHandle(mutex);
        return 0;
    }
    // A reminder that could not be shown leaves the stage as it was: it comes again next time.
    if (MayChooseMonitor(rights, adapter) && shell.CreateOwnerWindow(kReminderOwnerWindow)) {
        if (IsMonitorReminderDue(reg, adapter) && shell.ShowReminder(kMonitorReminderDialog))
            WriteReminderStage(reg, adapter.driverPath, kStageMonitorDone);
        if (IsTvReminderDue(reg, adapter) && shell.ShowReminder(kTvReminderDialog))
            WriteReminderStage(reg, adapter.driverPath, kStageNothingDue);
    }
    sys.CloseSysHandle(mutex);
    return 0;
}
