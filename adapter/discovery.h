// Finding the board's display driver in the device map, and its settings keys.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/registry.h"
#include "platform/system.h"

// Longest text kept from a device-map value: 260 characters (520 bytes in wide characters).
constexpr size_t kDeviceTextChars = 260;

template <class Ch>
struct BasicDiscoveryRecord {
    bool found = false;
    Ch driverPath[kDeviceTextChars + 1] = {};   // e.g. lumora\Device0
    Ch serviceName[kDeviceTextChars + 1] = {};  // e.g. lumora
    bool twoHead = false;        // one board with two heads: a "2" in the first device's path
    bool secondAdapter = false;  // a second device driven by the same driver
    bool dual = false;           // twoHead || secondAdapter
};
using DiscoveryRecord = BasicDiscoveryRecord<char>;
using DiscoveryRecordW = BasicDiscoveryRecord<char16_t>;

// How a program reads the device map.
struct DiscoveryVariant {
    uint32_t bufferBytes;        // room given to each device-map read
    bool testType;               // the values must be REG_SZ
    bool upperCase;              // look for "LUMORA" in the upper-cased value
    bool twoHeadFromDriverPath;  // look for the "2" in the driver path, not in the whole value
    bool readSecondDevice;       // look at "\Device\Video1" when the first device has one head
};

constexpr DiscoveryVariant kTrayPresenceDiscovery{256, true, false, false, false};
constexpr DiscoveryVariant kTrayReaderDiscovery{128, true, false, false, false};
constexpr DiscoveryVariant kAppletDiscovery{256, true, false, false, true};
constexpr DiscoveryVariant kReminderDiscovery{256, true, false, true, false};
constexpr DiscoveryVariant kControllerDiscovery{256, true, true, false, true};
constexpr DiscoveryVariant kHookDiscovery{520, false, false, false, true};

// The common procedure over the narrow registry calls, as `variant` reads it.
DiscoveryRecord DiscoverAdapters(RegistryPort& reg, const DiscoveryVariant& variant);
// The hook library's procedure, over the wide registry calls.
DiscoveryRecordW DiscoverAdaptersW(RegistryPort& reg);

// Tray program: the driver is present only on Windows NT and when the first device names it.
bool TrayDriverPresent(SystemPort& sys, RegistryPort& reg);

enum class SettingsKeyPath { kDriverPath, kServiceDevice0 };
// Tray program: finds the driver afresh and opens its settings key, named by the driver path
// or by the service name + "\Device0". The caller closes the key.
bool OpenTraySettingsKey(RegistryPort& reg, SettingsKeyPath path, RegKey* key);

// Plain, case-sensitive search for `needle` within the first `length` characters of `text`,
// which need not be terminated within them.
bool ContainsText(const char* text, size_t length, const char* needle);

// Tray program: a 4-byte REG_BINARY number of the driver's settings key, opened as `path` says.
bool ReadTrayNumber(RegistryPort& reg, SettingsKeyPath path, const char* name, uint32_t* value);

// Applet: opens "\Device0" (and, for a second adapter, "\Device1") of the first service whose
// name contains the service name. Clears the second-adapter flag when "\Device1" will not open.
// *second is 0 when it was not opened. The caller closes the keys.
bool OpenAppletSettingsKeys(RegistryPort& reg, DiscoveryRecord* record, RegKey* first,
                            RegKey* second);

// Opens HKEY_LOCAL_MACHINE `prefix` + `tail` (e.g. the services prefix + the driver path).
bool OpenJoinedKey(RegistryPort& reg, const char* prefix, const char* tail, RegKey* key);

// Hook library: opens the first device's settings key, only on a dual setup.
bool OpenHookSettingsKey(RegistryPort& reg, RegKey* key);

// A number: the stored type must be `type` and the value exactly 4 bytes (little-endian).
bool ReadNumber(RegistryPort& reg, RegKey key, const char* name, uint32_t type, uint32_t* value);
// The hook library's number: 4 bytes of any type.
bool ReadNumberW(RegistryPort& reg, RegKey key, const char16_t* name, uint32_t* value);
// A string: REG_SZ whose text with its terminator fits `size` bytes. The buffer always ends in
// a zero on success.
bool ReadString(RegistryPort& reg, RegKey key, const char* name, char* buffer, uint32_t size);
