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
    uint32_t bufferBytes = 256;          // room given to each device-map read
    bool testType = true;                // the values must be REG_SZ
    bool upperCase = false;              // look for "LUMORA" in the upper-cased value
    bool twoHeadFromDriverPath = false;  // look for the "2" in the driver path, not the whole value
    bool readSecondDevice = false;       // look at "\Device\Video1" when the first has one head
};

// Each program's variant names the fields it sets; the others keep their defaults.
constexpr DiscoveryVariant kTrayPresenceDiscovery{};
constexpr DiscoveryVariant kTrayReaderDiscovery = [] {
    DiscoveryVariant v;
    v.bufferBytes = 128;
    return v;
}();
constexpr DiscoveryVariant kAppletDiscovery = [] {
    DiscoveryVariant v;
    v.readSecondDevice = true;
    return v;
}();
constexpr DiscoveryVariant kReminderDiscovery = [] {
    DiscoveryVariant v;
    v.twoHeadFromDriverPath = true;
    return v;
}();
constexpr DiscoveryVariant kControllerDiscovery = [] {
    DiscoveryVariant v;
    v.upperCase = true;
    v.readSecondDevice = true;
    return v;
}();
constexpr DiscoveryVariant kHookDiscovery = [] {
    DiscoveryVariant v;
    v.bufferBytes = 520;
    v.testType = false;
    v.readSecondDevice = true;
    return v;
}();

// The common procedure over the narrow registry calls, as `variant` reads it.
DiscoveryRecord DiscoverAdapters(RegistryReader& reg, const DiscoveryVariant& variant);
// The hook library's procedure, over the wide registry calls.
DiscoveryRecordW DiscoverAdaptersW(RegistryReaderW& reg);

// Tray program: the driver is present only on Windows NT and when the first device names it.
bool TrayDriverPresent(TraySystem& sys, RegistryReader& reg);

enum class SettingsKeyPath { kDriverPath, kServiceDevice0 };
// Tray program: finds the driver afresh and opens its settings key, named by the driver path
// or by the service name + "\Device0". The caller closes the key.
bool OpenTraySettingsKey(RegistryReader& reg, SettingsKeyPath path, RegKey* key);

// Plain, case-sensitive search for `needle` within the first `length` characters of `text`,
// which need not be terminated within them.
bool ContainsText(const char* text, size_t length, const char* needle);

// Tray program: a 4-byte REG_BINARY number of the driver's settings key, opened as `path` says.
bool ReadTrayNumber(RegistryReader& reg, SettingsKeyPath path, const char* name, uint32_t* value);

// Applet: opens "\Device0" (and, for a second adapter, "\Device1") of the first service whose
// name contains the service name. Clears the second-adapter flag when "\Device1" will not open.
// *second is 0 when it was not opened. The caller closes the keys.
bool OpenAppletSettingsKeys(RegistryPort& reg, DiscoveryRecord* record, RegKey* first,
                            RegKey* second);

// Opens HKEY_LOCAL_MACHINE `prefix` + `tail` (e.g. the services prefix + the driver path).
bool OpenJoinedKey(RegistryReader& reg, const char* prefix, const char* tail, RegKey* key);
// The same key opened for `access` only (RegOpenKeyExA): false when it cannot be, the user
// lacking that access among the reasons.
bool OpenJoinedKeyFor(RegistryAccessCheck& reg, const char* prefix, const char* tail,
                      uint32_t access, RegKey* key);

// Hook library: opens the first device's settings key, only on a dual setup.
bool OpenHookSettingsKey(RegistryReaderW& reg, RegKey* key);

// A number: the stored type must be `type` and the value exactly 4 bytes (little-endian).
bool ReadNumber(RegistryReader& reg, RegKey key, const char* name, uint32_t type, uint32_t* value);
// The hook library's number: 4 bytes of any type.
bool ReadNumberW(RegistryReaderW& reg, RegKey key, const char16_t* name, uint32_t* value);
// A string: REG_SZ whose text with its terminator fits `size` bytes. The buffer always ends in
// a zero on success.
bool ReadString(RegistryReader& reg, RegKey key, const char* name, char* buffer, uint32_t size);
