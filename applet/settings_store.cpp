#include "applet/settings_store.h"

#include <cstring>

#include "adapter/registry_layout.h"

namespace {

// A 4-byte little-endian number of the given type; true when it was written.
bool WriteWord(RegistryPort& reg, RegKey key, const char* name, uint32_t type, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return reg.SetValue(key, name, type, bytes, sizeof(bytes)) == ERROR_SUCCESS_;
}

const char* SelectedMonitorName(MonitorRole role) {
    return role == MonitorRole::kPrimary ? kPrimarySelectedMonitor : kSecondarySelectedMonitor;
}

// Raw bytes of a value of any type, as text ended at its first zero or at its stored end.
bool ReadAnyText(RegistryPort& reg, RegKey key, const char* name, char* text, uint32_t size) {
    uint32_t got = size - 1;
    if (reg.QueryValue(key, name, nullptr, reinterpret_cast<uint8_t*>(text), &got) !=
        ERROR_SUCCESS_) {
        text[0] = 0;
        return false;
    }
    text[got < size - 1 ? got : size - 1] = 0;
    return true;
}

// The sizes go first and the name only once they are in: a write that fails never leaves the
// driver a model's name beside another model's sizes.
void WriteNameAndSizes(Applet& applet, RegKey key, MonitorRole role, const char* model) {
    const bool primary = role == MonitorRole::kPrimary;
    uint32_t size = 0;
    const char* path = applet.state.databasePath;
    if (ReadMonitorSize(applet.profile, path, model, kXSizeKey, &size) &&
        !WriteDword(applet.reg, key, primary ? kPrimaryXSize : kSecondaryXSize, size))
        return;
    if (ReadMonitorSize(applet.profile, path, model, kYSizeKey, &size) &&
        !WriteDword(applet.reg, key, primary ? kPrimaryYSize : kSecondaryYSize, size))
        return;
    applet.reg.SetValue(key, SelectedMonitorName(role), REG_SZ_,
                        reinterpret_cast<const uint8_t*>(model),
                        static_cast<uint32_t>(std::strlen(model) + 1));
}

}  // namespace

bool WriteDword(RegistryPort& reg, RegKey key, const char* name, uint32_t value) {
    return WriteWord(reg, key, name, REG_DWORD_, value);
}

bool OpenDeviceKeys(Applet& applet, RegKey* first, RegKey* second) {
    return OpenAppletSettingsKeys(applet.reg, &applet.state.adapter, first, second);
}

void CloseDeviceKeys(RegistryPort& reg, RegKey first, RegKey second) {
    if (second)
        reg.CloseKey(second);
    if (first)
        reg.CloseKey(first);
}

int32_t ReadSide(RegistryPort& reg, RegKey key) {
    uint32_t side = 0;
    if (!ReadNumber(reg, key, kPrimaryIsLeft, REG_DWORD_, &side) || side >= 2)
        return -1;
    return static_cast<int32_t>(side);
}

void WriteSide(RegistryPort& reg, RegKey key, int32_t isLeft) {
    WriteDword(reg, key, kPrimaryIsLeft, static_cast<uint32_t>(isLeft));
}

bool ReadStoredMonitor(RegistryPort& reg, RegKey key, MonitorRole role, char* text) {
    return ReadString(reg, key, SelectedMonitorName(role), text, kStoredNameChars);
}

bool IsPlaceholder(const char* text) {
    return std::strstr(text, kPlaceholderMark) != nullptr;
}

bool PrimaryIsPlaceholder(RegistryPort& reg, RegKey first, RegKey second, char* found) {
    if (!ReadAnyText(reg, first, kPrimarySelectedMonitor, found, kStoredNameChars))
        return false;
    if (IsPlaceholder(found))
        return true;
    return second != 0 &&
           ReadAnyText(reg, second, kPrimarySelectedMonitor, found, kStoredNameChars) &&
           IsPlaceholder(found);
}

void WriteMonitorSelection(Applet& applet, RegKey key, MonitorRole role, const char* model) {
    WriteNameAndSizes(applet, key, role, model);
    if (!applet.state.adapter.secondAdapter)
        return;
    char tail[kDeviceTextChars + sizeof(kSecondDeviceSuffix)];
    const size_t n = std::strlen(applet.state.adapter.serviceName);
    std::memcpy(tail, applet.state.adapter.serviceName, n);
    std::memcpy(tail + n, kSecondDeviceSuffix, sizeof(kSecondDeviceSuffix));
    RegKey second = 0;
    if (!OpenJoinedKey(applet.reg, kServicesPrefix, tail, &second))
        return;
    WriteNameAndSizes(applet, second, role, model);
    applet.reg.CloseKey(second);
}

TvSettings ReadTvSettings(RegistryPort& reg, RegKey key) {
    TvSettings tv;
    tv.selectedRead = ReadNumber(reg, key, kSelectedTvSet, REG_BINARY_, &tv.selected);
    tv.availableRead = ReadNumber(reg, key, kAvailableTvSet, REG_BINARY_, &tv.available);
    return tv;
}

void SaveTvStandard(RegistryPort& reg, RegKey key, const SelectionState& selection) {
    if (selection.boardHasTv && selection.tvBoxTicked) {
        WriteWord(reg, key, kSelectedTvSet, REG_BINARY_, selection.chosenTv);
    } else {
        reg.DeleteValue(key, kSelectedTvSet);
    }
}

bool ReminderProgramCheck(AppletSystem& sys) {
    char path[260 + sizeof(kReminderProgramFile)];
    const uint32_t n = sys.SystemDirectory(path, 261);
    if (n == 0 || n > 260)
        return true;  // no path to look at: nothing found
    std::memcpy(path + n, kReminderProgramFile, sizeof(kReminderProgramFile));
    uint64_t size = 0;
    return !sys.FindFile(path, &size) || size != 0;
}

void WriteInstallState(Applet& applet, bool tvChosen) {
    if (!ReminderProgramCheck(applet.sys))
        return;
    RegKey key = 0;
    if (!OpenJoinedKey(applet.reg, kMakerSoftwarePrefix, applet.state.adapter.driverPath, &key))
        return;
    WriteDword(applet.reg, key, kOrvelIsInstalled, tvChosen ? 2 : 1);
    applet.reg.CloseKey(key);
}

void InvalidateAppletCache(RegistryPort& reg) {
    RegKey key = 0;
    if (reg.OpenKey(HKEY_CURRENT_USER_, kAppletCacheKey, &key) != ERROR_SUCCESS_)
        return;
    WriteDword(reg, key, kCacheValid, 0);
    reg.CloseKey(key);
}
