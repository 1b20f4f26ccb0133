// The applet's registry layer: the settings keys and every value the dialogs read and write.
#pragma once

#include <cstdint>

#include "applet/applet_state.h"

constexpr char kAlignmentChangeMessage[] = "orvelAlignmentChange";
constexpr char kReminderProgramFile[] = "\\drivers\\orvel\\tools\\nudgel.exe";
// Room for a stored model name read from the registry.
constexpr uint32_t kStoredNameChars = 5120;
constexpr char kPlaceholderMark[] = "000";

enum class MonitorRole { kPrimary, kSecondary };

// A REG_DWORD value, 4 bytes little-endian; true when it was written.
bool WriteDword(RegistryPort& reg, RegKey key, const char* name, uint32_t value);

// The settings key and, with the second-adapter flag, the second settings key (0 when not
// opened). A second key that will not open clears the flag until the next count query. True when
// the settings key opened; the caller closes both with CloseDeviceKeys.
bool OpenDeviceKeys(Applet& applet, RegKey* first, RegKey* second);
void CloseDeviceKeys(RegistryPort& reg, RegKey first, RegKey second);

// "Primary.IsLeft": 0 or 1, or -1 when missing, of another type or 2 and more.
int32_t ReadSide(RegistryPort& reg, RegKey key);
void WriteSide(RegistryPort& reg, RegKey key, int32_t isLeft);

// A role's model name (REG_SZ) into `text` (kStoredNameChars); false when missing or of another
// type, with `text` empty.
bool ReadStoredMonitor(RegistryPort& reg, RegKey key, MonitorRole role, char* text);
bool IsPlaceholder(const char* text);
// With a second adapter: no model chosen yet when the settings key's primary name, or the second
// settings key's, contains the placeholder (types not tested). The text in which it was found is
// copied into `found` (kStoredNameChars).
bool PrimaryIsPlaceholder(RegistryPort& reg, RegKey first, RegKey second, char* found);

// The name with its two sizes from the database into `key` and, with the second-adapter flag,
// into the second settings key. The name is written only after its sizes were.
void WriteMonitorSelection(Applet& applet, RegKey key, MonitorRole role, const char* model);

// "SelectedTVSet" and "AvailableTVSet" (4-byte REG_BINARY); false for each when missing.
struct TvSettings {
    bool selectedRead = false;
    uint32_t selected = 0;
    bool availableRead = false;
    uint32_t available = 0;
};
TvSettings ReadTvSettings(RegistryPort& reg, RegKey key);
// Writes the chosen standard with TV output present and the box ticked; else deletes it.
void SaveTvStandard(RegistryPort& reg, RegKey key, const SelectionState& selection);

// False only when the reminder program exists and is empty.
bool ReminderProgramCheck(AppletSystem& sys);
// "OrvelIsInstalled" = 2 with a standard chosen, else 1, when the maker's key exists.
void WriteInstallState(Applet& applet, bool tvChosen);
// "Cache Valid" = 0 under "Control Panel\Cache", when that key exists.
void InvalidateAppletCache(RegistryPort& reg);
