#include "adapter/discovery.h"

#include <cstring>

#include "adapter/registry_layout.h"

namespace {

// The registry calls and names in each character width.
template <class Ch>
struct Width;

template <>
struct Width<char> {
    using Registry = RegistryReader;
    static constexpr const char* deviceMap = kDeviceMapKey;
    static constexpr const char* firstDevice = kFirstDeviceValue;
    static constexpr const char* secondDevice = kSecondDeviceValue;
    static constexpr const char* driver = kDriverName;
    static constexpr const char* driverUpper = kDriverNameUpper;
    static int32_t Open(Registry& reg, RegKey parent, const char* path, RegKey* key) {
        return reg.OpenKey(parent, path, key);
    }
    static int32_t Query(Registry& reg, RegKey key, const char* name, uint32_t* type, uint8_t* data,
                         uint32_t* size) {
        return reg.QueryValue(key, name, type, data, size);
    }
};

template <>
struct Width<char16_t> {
    using Registry = RegistryReaderW;
    static constexpr const char16_t* deviceMap = kDeviceMapKeyW;
    static constexpr const char16_t* firstDevice = kFirstDeviceValueW;
    static constexpr const char16_t* secondDevice = kSecondDeviceValueW;
    static constexpr const char16_t* driver = kDriverNameW;
    static constexpr const char16_t* driverUpper = kDriverNameUpperW;
    static int32_t Open(Registry& reg, RegKey parent, const char16_t* path, RegKey* key) {
        return reg.OpenKeyW(parent, path, key);
    }
    static int32_t Query(Registry& reg, RegKey key, const char16_t* name, uint32_t* type,
                         uint8_t* data, uint32_t* size) {
        return reg.QueryValueW(key, name, type, data, size);
    }
};

template <class Ch>
size_t Length(const Ch* text) {
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

// Plain, case-sensitive substring search within the first `length` characters of `text`.
template <class Ch>
const Ch* Find(const Ch* text, size_t length, const Ch* needle) {
    const size_t n = Length(needle);
    for (size_t i = 0; n <= length && i <= length - n; ++i) {
        size_t j = 0;
        while (j < n && text[i + j] == needle[j])
            ++j;
        if (j == n)
            return text + i;
    }
    return nullptr;
}

template <class Ch>
bool Contains(const Ch* text, size_t length, Ch c) {
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == c)
            return true;
    }
    return false;
}

// Reads a device-map value into `text` (room for kDeviceTextChars + 1 characters). The text is
// what the value holds up to its first zero or up to the end of what was read, whichever comes
// first: a value that fills its buffer or lacks its terminator is never read past its end.
template <class Ch>
bool ReadDeviceText(typename Width<Ch>::Registry& reg, RegKey map, const Ch* name,
                    const DiscoveryVariant& variant, Ch* text, size_t* length) {
    uint32_t bytes = variant.bufferBytes;
    if (bytes > kDeviceTextChars * sizeof(Ch))
        bytes = kDeviceTextChars * sizeof(Ch);
    uint32_t type = REG_NONE_;
    uint32_t size = bytes;
    if (Width<Ch>::Query(reg, map, name, &type, reinterpret_cast<uint8_t*>(text), &size) !=
        ERROR_SUCCESS_) {
        return false;
    }
    if (variant.testType && type != REG_SZ_)
        return false;
    size_t chars = (size < bytes ? size : bytes) / sizeof(Ch);
    size_t n = 0;
    while (n < chars && text[n])
        ++n;
    text[n] = 0;
    if (variant.upperCase) {
        for (size_t i = 0; i < n; ++i) {
            if (text[i] >= 'a' && text[i] <= 'z')
                text[i] = static_cast<Ch>(text[i] - 'a' + 'A');
        }
    }
    *length = n;
    return true;
}

template <class Ch>
BasicDiscoveryRecord<Ch> Discover(typename Width<Ch>::Registry& reg,
                                  const DiscoveryVariant& variant) {
    using W = Width<Ch>;
    BasicDiscoveryRecord<Ch> record;
    RegKey map = 0;
    if (W::Open(reg, HKEY_LOCAL_MACHINE_, W::deviceMap, &map) != ERROR_SUCCESS_)
        return record;

    const Ch* driver = variant.upperCase ? W::driverUpper : W::driver;
    Ch text[kDeviceTextChars + 1];
    size_t length = 0;
    const Ch* at = nullptr;
    if (ReadDeviceText(reg, map, W::firstDevice, variant, text, &length)) {
        at = Find(text, length, driver);
    }
    if (at) {
        record.found = true;
        const size_t pathLength = length - static_cast<size_t>(at - text);
        std::memcpy(record.driverPath, at, pathLength * sizeof(Ch));
        record.driverPath[pathLength] = 0;
        size_t serviceLength = 0;
        while (serviceLength < pathLength && at[serviceLength] != '\\')
            ++serviceLength;
        std::memcpy(record.serviceName, at, serviceLength * sizeof(Ch));
        record.serviceName[serviceLength] = 0;

        record.twoHead = variant.twoHeadFromDriverPath
                             ? Contains(record.driverPath, pathLength, static_cast<Ch>('2'))
                             : Contains(text, length, static_cast<Ch>('2'));
        if (!record.twoHead && variant.readSecondDevice) {
            record.secondAdapter =
                ReadDeviceText(reg, map, W::secondDevice, variant, text, &length) &&
                Find(text, length, driver) != nullptr;
        }
        record.dual = record.twoHead || record.secondAdapter;
    }
    reg.CloseKey(map);
    return record;
}

}  // namespace

DiscoveryRecord DiscoverAdapters(RegistryReader& reg, const DiscoveryVariant& variant) {
    return Discover<char>(reg, variant);
}

DiscoveryRecordW DiscoverAdaptersW(RegistryReaderW& reg) {
    return Discover<char16_t>(reg, kHookDiscovery);
}

bool TrayDriverPresent(TraySystem& sys, RegistryReader& reg) {
    return sys.PlatformId() == VER_PLATFORM_WIN32_NT_ &&
           DiscoverAdapters(reg, kTrayPresenceDiscovery).found;
}

namespace {

constexpr size_t kJoinedPathSize = 2 * (kDeviceTextChars + 1) + 64;

bool JoinKeyPath(const char* prefix, const char* tail, char (&path)[kJoinedPathSize]) {
    const size_t a = std::strlen(prefix);
    const size_t b = std::strlen(tail);
    if (a + b + 1 > sizeof(path))
        return false;
    std::memcpy(path, prefix, a);
    std::memcpy(path + a, tail, b + 1);
    return true;
}

}  // namespace

bool OpenJoinedKey(RegistryReader& reg, const char* prefix, const char* tail, RegKey* key) {
    char path[kJoinedPathSize];
    RegKey opened = 0;
    if (!JoinKeyPath(prefix, tail, path) ||
        reg.OpenKey(HKEY_LOCAL_MACHINE_, path, &opened) != ERROR_SUCCESS_)
        return false;
    *key = opened;
    return true;
}

bool OpenJoinedKeyFor(RegistryAccessCheck& reg, const char* prefix, const char* tail,
                      uint32_t access, RegKey* key) {
    char path[kJoinedPathSize];
    RegKey opened = 0;
    if (!JoinKeyPath(prefix, tail, path) ||
        reg.OpenKeyEx(HKEY_LOCAL_MACHINE_, path, access, &opened) != ERROR_SUCCESS_)
        return false;
    *key = opened;
    return true;
}

bool OpenTraySettingsKey(RegistryReader& reg, SettingsKeyPath path, RegKey* key) {
    DiscoveryRecord record = DiscoverAdapters(reg, kTrayReaderDiscovery);
    if (!record.found)
        return false;
    if (path == SettingsKeyPath::kDriverPath) {
        return OpenJoinedKey(reg, kServicesPrefix, record.driverPath, key);
    }
    char tail[kDeviceTextChars + sizeof(kFirstDeviceSuffix)];
    const size_t n = std::strlen(record.serviceName);
    std::memcpy(tail, record.serviceName, n);
    std::memcpy(tail + n, kFirstDeviceSuffix, sizeof(kFirstDeviceSuffix));
    return OpenJoinedKey(reg, kServicesPrefix, tail, key);
}

bool ContainsText(const char* text, size_t length, const char* needle) {
    size_t n = 0;
    while (n < length && text[n])
        ++n;
    return Find(text, n, needle) != nullptr;
}

bool ReadTrayNumber(RegistryReader& reg, SettingsKeyPath path, const char* name, uint32_t* value) {
    RegKey key = 0;
    if (!OpenTraySettingsKey(reg, path, &key))
        return false;
    const bool read = ReadNumber(reg, key, name, REG_BINARY_, value);
    reg.CloseKey(key);
    return read;
}

bool OpenAppletSettingsKeys(RegistryPort& reg, DiscoveryRecord* record, RegKey* first,
                            RegKey* second) {
    *first = 0;
    *second = 0;
    if (!record->found)
        return false;
    RegKey services = 0;
    if (reg.OpenKey(HKEY_LOCAL_MACHINE_, kServicesKey, &services) != ERROR_SUCCESS_)
        return false;

    // Room for a subkey name of 260 characters plus the device suffix.
    char name[kDeviceTextChars + sizeof(kFirstDeviceSuffix) + 1];
    for (uint32_t index = 0;; ++index) {
        int32_t rc = reg.EnumKey(services, index, name, kDeviceTextChars + 1);
        if (rc == ERROR_MORE_DATA_)
            continue;  // a name too long to hold: not ours
        if (rc != ERROR_SUCCESS_)
            break;
        const size_t n = std::strlen(name);
        if (Find(name, n, record->serviceName) == nullptr)
            continue;
        std::memcpy(name + n, kFirstDeviceSuffix, sizeof(kFirstDeviceSuffix));
        if (reg.OpenKey(services, name, first) != ERROR_SUCCESS_) {
            *first = 0;
            continue;
        }
        if (record->secondAdapter) {
            std::memcpy(name + n, kSecondDeviceSuffix, sizeof(kSecondDeviceSuffix));
            if (reg.OpenKey(services, name, second) != ERROR_SUCCESS_) {
                *second = 0;
                record->secondAdapter = false;
                record->dual = record->twoHead;
            }
        }
        break;
    }
    reg.CloseKey(services);
    return *first != 0;
}

bool OpenHookSettingsKey(RegistryReaderW& reg, RegKey* key) {
    DiscoveryRecordW record = DiscoverAdaptersW(reg);
    if (!record.found || !record.dual)
        return false;
    char16_t path[sizeof(kServicesPrefixW) / sizeof(char16_t) + kDeviceTextChars];
    const size_t a = sizeof(kServicesPrefixW) / sizeof(char16_t) - 1;
    const size_t b = Length(record.driverPath);
    std::memcpy(path, kServicesPrefixW, a * sizeof(char16_t));
    std::memcpy(path + a, record.driverPath, (b + 1) * sizeof(char16_t));
    RegKey opened = 0;
    if (reg.OpenKeyW(HKEY_LOCAL_MACHINE_, path, &opened) != ERROR_SUCCESS_)
        return false;
    *key = opened;
    return true;
}

bool ReadNumber(RegistryReader& reg, RegKey key, const char* name, uint32_t type, uint32_t* value) {
    uint8_t bytes[4] = {};
    uint32_t stored = REG_NONE_;
    uint32_t size = sizeof(bytes);
    if (reg.QueryValue(key, name, &stored, bytes, &size) != ERROR_SUCCESS_)
        return false;
    if (stored != type || size != sizeof(bytes))
        return false;
    *value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
}

bool ReadNumberW(RegistryReaderW& reg, RegKey key, const char16_t* name, uint32_t* value) {
    uint8_t bytes[4] = {};
    uint32_t size = sizeof(bytes);
    if (reg.QueryValueW(key, name, nullptr, bytes, &size) != ERROR_SUCCESS_)
        return false;
    if (size != sizeof(bytes))
        return false;
    *value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
}

bool ReadString(RegistryReader& reg, RegKey key, const char* name, char* buffer, uint32_t size) {
    if (size == 0)
        return false;
    uint32_t type = REG_NONE_;
    uint32_t got = size;
    if (reg.QueryValue(key, name, &type, reinterpret_cast<uint8_t*>(buffer), &got) !=
            ERROR_SUCCESS_ ||
        type != REG_SZ_) {
        buffer[0] = 0;
        return false;
    }
    // The text runs to its first zero; it fits only when that zero lies within the buffer.
    uint32_t n = 0;
    while (n < got && n < size && buffer[n])
        ++n;
    if (n >= size) {
        buffer[0] = 0;
        return false;
    }
    buffer[n] = 0;
    return true;
}
