// The device map's "\Device\Video0" and "\Device\Video1" of any type and bytes, read by every
// discovery variant, narrow and wide, and by the settings-key openers built on them.
//
// Input: [Video0 present][value] [Video1 present][value] [keys] [extra service: length, name]
// (values as fuzz::Input::RegistryValue reads them).
#include <cstring>
#include <string>

#include "adapter/discovery.h"
#include "adapter/registry_layout.h"
#include "fuzz/fuzz_input.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"

namespace {

constexpr char kServices[] = "SYSTEM\\CurrentControlSet\\Services\\";

struct Stored {
    bool present = false;
    fuzz::Input::Value value;
};

// The text a reader may see: the stored bytes up to the first zero, upper-cased as the
// controller reads them.
template <class Ch>
std::basic_string<Ch> StoredText(const Stored& stored, bool wide, bool upperCase) {
    std::basic_string<Ch> text;
    const std::vector<uint8_t>& bytes = stored.value.bytes;
    const uint32_t type = stored.value.type;
    const bool widened = wide && (type == REG_SZ_ || type == REG_EXPAND_SZ_ || type == 7);
    if (!wide || widened) {
        for (uint8_t b : bytes)
            text.push_back(static_cast<Ch>(b));
    } else {
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<Ch>(bytes[i] | bytes[i + 1] << 8));
    }
    text = text.substr(0, text.find(Ch(0)));
    if (upperCase) {
        for (Ch& c : text) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<Ch>(c - 'a' + 'A');
        }
    }
    return text;
}

template <class Ch>
size_t Length(const Ch* text) {
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

// What every record must be, whatever the device map held.
template <class Ch>
void CheckRecord(const BasicDiscoveryRecord<Ch>& record, const Stored& first, bool wide,
                 bool upperCase) {
    FUZZ_CHECK(fuzz::Terminated(record.driverPath, kDeviceTextChars + 1));
    FUZZ_CHECK(fuzz::Terminated(record.serviceName, kDeviceTextChars + 1));
    FUZZ_CHECK(record.dual == (record.twoHead || record.secondAdapter));
    if (!record.found) {
        FUZZ_CHECK(record.driverPath[0] == 0 && record.serviceName[0] == 0);
        FUZZ_CHECK(!record.dual);
        return;
    }
    // The driver path is the end of the stored text, from the driver's name on; the service
    // name is the path up to its first backslash.
    FUZZ_CHECK(first.present);
    const std::basic_string<Ch> text = StoredText<Ch>(first, wide, upperCase);
    const std::basic_string<Ch> path(record.driverPath);
    FUZZ_CHECK(path.size() >= 6 && path.size() <= text.size());
    FUZZ_CHECK(text.compare(text.size() - path.size(), path.size(), path) == 0);
    const char* driver = upperCase ? kDriverNameUpper : kDriverName;
    for (size_t i = 0; i < 6; ++i)
        FUZZ_CHECK(path[i] == static_cast<Ch>(driver[i]));
    const size_t service = Length(record.serviceName);
    FUZZ_CHECK(path.compare(0, service, record.serviceName) == 0);
    FUZZ_CHECK(service == path.size() || path[service] == '\\');
    FUZZ_CHECK(path.find(Ch('\\')) >= service);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    SimRegistry reg;
    SimSystem sys;
    Stored devices[2];
    const char* names[2] = {kFirstDeviceValue, kSecondDeviceValue};
    for (int i = 0; i < 2; ++i) {
        devices[i].present = in.Flag();
        devices[i].value = in.RegistryValue();
        if (devices[i].present)
            reg.SetRaw(HKEY_LOCAL_MACHINE_, kDeviceMapKey, names[i], devices[i].value.type,
                       devices[i].value.bytes);
    }
    // The settings keys that exist: the usual ones, those the device map names, and one more
    // service whose name comes from the input.
    const uint8_t keys = in.Byte();
    if (keys & 1)
        reg.AddKey(HKEY_LOCAL_MACHINE_, std::string(kServices) + "lumora\\Device0");
    if (keys & 2)
        reg.AddKey(HKEY_LOCAL_MACHINE_, std::string(kServices) + "lumora\\Device1");
    if (keys & 4)
        reg.AddKey(HKEY_LOCAL_MACHINE_, kDeviceMapKey);
    if (keys & 8) {
        const DiscoveryRecord named = DiscoverAdapters(reg, kAppletDiscovery);
        if (named.found) {
            reg.AddKey(HKEY_LOCAL_MACHINE_, kServices + std::string(named.driverPath));
            reg.AddKey(HKEY_LOCAL_MACHINE_, kServices + std::string(named.serviceName) +
                                                "\\Device" +
                                                static_cast<char>('0' + (keys >> 4 & 1)));
        }
    }
    const std::vector<uint8_t> extra = in.Bytes(in.Byte() % 40, 40);
    if (!extra.empty()) {
        const std::string name(extra.begin(), extra.end());
        reg.AddKey(HKEY_LOCAL_MACHINE_, kServices + name + "\\Device0");
        reg.AddKey(HKEY_LOCAL_MACHINE_, kServices + name + "\\Device1");
    }
    sys.platformId = keys & 0x80 ? VER_PLATFORM_WIN32_WINDOWS_ : VER_PLATFORM_WIN32_NT_;

    const DiscoveryVariant variants[] = {kTrayPresenceDiscovery, kTrayReaderDiscovery,
                                         kAppletDiscovery,       kReminderDiscovery,
                                         kControllerDiscovery,   kHookDiscovery};
    for (const DiscoveryVariant& variant : variants) {
        const DiscoveryRecord record = DiscoverAdapters(reg, variant);
        CheckRecord(record, devices[0], false, variant.upperCase);
        FUZZ_CHECK(!record.secondAdapter || (variant.readSecondDevice && !record.twoHead));
        FUZZ_CHECK(reg.OpenKeyCount() == 0);
    }
    const DiscoveryRecordW wide = DiscoverAdaptersW(reg);
    CheckRecord(wide, devices[0], true, false);
    FUZZ_CHECK(reg.OpenKeyCount() == 0);

    // The applet (narrow) and the hook library (wide) read the same plain device map alike.
    DiscoveryRecord applet = DiscoverAdapters(reg, kAppletDiscovery);
    bool plain = true;
    for (const Stored& device : devices) {
        plain = plain && (!device.present ||
                          (device.value.type == REG_SZ_ && device.value.bytes.size() <= 256));
    }
    if (plain) {
        FUZZ_CHECK(applet.found == wide.found && applet.twoHead == wide.twoHead &&
                   applet.secondAdapter == wide.secondAdapter);
        const size_t n = std::strlen(applet.driverPath);
        FUZZ_CHECK(n == Length(wide.driverPath));
        for (size_t i = 0; i < n; ++i)
            FUZZ_CHECK(static_cast<uint8_t>(applet.driverPath[i]) == wide.driverPath[i]);
    }

    FUZZ_CHECK(TrayDriverPresent(sys, reg) ==
               (sys.platformId == VER_PLATFORM_WIN32_NT_ &&
                DiscoverAdapters(reg, kTrayPresenceDiscovery).found));
    for (SettingsKeyPath path : {SettingsKeyPath::kDriverPath, SettingsKeyPath::kServiceDevice0}) {
        RegKey key = 0;
        if (OpenTraySettingsKey(reg, path, &key)) {
            FUZZ_CHECK(key != 0 && reg.OpenKeyCount() == 1);
            reg.CloseKey(key);
        }
        FUZZ_CHECK(reg.OpenKeyCount() == 0);
        uint32_t number = 0;
        ReadTrayNumber(reg, path, kAvailableTvSet, &number);
        FUZZ_CHECK(reg.OpenKeyCount() == 0);
    }

    RegKey first = 0;
    RegKey second = 0;
    const bool wasSecond = applet.secondAdapter;
    const bool opened = OpenAppletSettingsKeys(reg, &applet, &first, &second);
    FUZZ_CHECK(opened == (first != 0));
    FUZZ_CHECK(second == 0 || (opened && applet.secondAdapter));
    FUZZ_CHECK(!opened || applet.secondAdapter == (wasSecond && second != 0));
    FUZZ_CHECK(applet.dual == (applet.twoHead || applet.secondAdapter));
    FUZZ_CHECK(reg.OpenKeyCount() == (first != 0) + (second != 0));
    if (second)
        reg.CloseKey(second);
    if (first)
        reg.CloseKey(first);

    RegKey hook = 0;
    if (OpenHookSettingsKey(reg, &hook)) {
        FUZZ_CHECK(wide.found && wide.dual && hook != 0);
        reg.CloseKey(hook);
    }
    FUZZ_CHECK(reg.OpenKeyCount() == 0);
    return 0;
}
