// Finding the board's driver in the device map, in each program's variant.
#include "adapter/discovery.h"

#include <gtest/gtest.h>

#include <string>

#include "adapter/registry_layout.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"

namespace {

const char kOurDevice0[] =
    "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\lumora\\Device0";
const char kOurDevice1[] =
    "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\lumora\\Device1";
const char kOtherDevice[] =
    "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\vgasave\\Device0";

void SetDevice(SimRegistry& reg, const char* name, const std::string& path) {
    reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, name, path);
}

std::string Narrow(const char16_t* text) {
    std::string out;
    for (; *text; ++text)
        out.push_back(static_cast<char>(*text));
    return out;
}

struct Expect {
    bool found;
    const char* driverPath;
    bool twoHead;
    bool secondAdapter;
};

void Check(SimRegistry& reg, const DiscoveryVariant& variant, const Expect& expect,
           const char* what) {
    SCOPED_TRACE(what);
    DiscoveryRecord record = DiscoverAdapters(reg, variant);
    EXPECT_EQ(record.found, expect.found);
    EXPECT_STREQ(record.driverPath, expect.driverPath);
    EXPECT_EQ(record.twoHead, expect.twoHead);
    EXPECT_EQ(record.secondAdapter, expect.secondAdapter);
    EXPECT_EQ(record.dual, expect.twoHead || expect.secondAdapter);
    EXPECT_EQ(reg.OpenKeyCount(), 0) << "a key was left open";
}

TEST(Discovery, FindsTheDriverPathAndServiceName) {
    SimRegistry reg;
    SetDevice(reg, kFirstDeviceValue, kOurDevice0);
    DiscoveryRecord record = DiscoverAdapters(reg, kAppletDiscovery);
    EXPECT_TRUE(record.found);
    EXPECT_STREQ(record.driverPath, "lumora\\Device0");
    EXPECT_STREQ(record.serviceName, "lumora");
    EXPECT_FALSE(record.dual);

    // The first occurrence counts; a path with no backslash after it is its own service name.
    SetDevice(reg, kFirstDeviceValue, "\\x\\lumora_a\\lumora\\Device0");
    record = DiscoverAdapters(reg, kAppletDiscovery);
    EXPECT_STREQ(record.driverPath, "lumora_a\\lumora\\Device0");
    EXPECT_STREQ(record.serviceName, "lumora_a");
    SetDevice(reg, kFirstDeviceValue, "\\Services\\lumora");
    record = DiscoverAdapters(reg, kAppletDiscovery);
    EXPECT_STREQ(record.serviceName, "lumora");
    EXPECT_EQ(reg.OpenKeyCount(), 0);
}

TEST(Discovery, NotFound) {
    SimRegistry reg;
    Check(reg, kAppletDiscovery, {false, "", false, false}, "no device map");
    reg.AddKey(HKEY_LOCAL_MACHINE_, kDeviceMapKey);
    Check(reg, kAppletDiscovery, {false, "", false, false}, "no first device");
    SetDevice(reg, kFirstDeviceValue, kOtherDevice);
    SetDevice(reg, kSecondDeviceValue, kOurDevice1);
    Check(reg, kAppletDiscovery, {false, "", false, false}, "another driver");
    SetDevice(reg, kFirstDeviceValue, std::string("\\Services\\vga\0lumora\\Device0", 28));
    Check(reg, kAppletDiscovery, {false, "", false, false}, "driver name after the terminator");
    reg.SetRaw(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue, REG_EXPAND_SZ_,
               SimRegistry::Bytes(kOurDevice0, kOurDevice0 + sizeof(kOurDevice0)));
    Check(reg, kAppletDiscovery, {false, "", false, false}, "not REG_SZ");
    EXPECT_TRUE(DiscoverAdaptersW(reg).found) << "the hook library does not test the type";
}

TEST(Discovery, UpperCaseDriverNameIsFoundOnlyByTheController) {
    SimRegistry reg;
    SetDevice(reg, kFirstDeviceValue,
              "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\LUMORA\\Device0");
    SetDevice(reg, kSecondDeviceValue, kOurDevice1);
    Check(reg, kAppletDiscovery, {false, "", false, false}, "applet");
    Check(reg, kReminderDiscovery, {false, "", false, false}, "reminder");
    EXPECT_FALSE(DiscoverAdaptersW(reg).found);
    // The controller upper-cases both values: the second device counts too.
    Check(reg, kControllerDiscovery, {true, "LUMORA\\DEVICE0", false, true}, "controller");
}

TEST(Discovery, TwoHeadsAndSecondAdapters) {
    SimRegistry reg;
    SetDevice(reg, kFirstDeviceValue,
              "\\REGISTRY\\Machine\\System\\ControlSet002\\Services\\lumora\\Device0");
    SetDevice(reg, kSecondDeviceValue, kOurDevice1);
    // A "2" anywhere in the first value: two heads, and "\Device\Video1" is not looked at.
    Check(reg, kAppletDiscovery, {true, "lumora\\Device0", true, false}, "2 before the driver");
    // The reminder looks for the "2" in the driver path only, and never at the second device.
    Check(reg, kReminderDiscovery, {true, "lumora\\Device0", false, false}, "reminder");

    SetDevice(reg, kFirstDeviceValue, "\\Services\\lumora\\Device2");
    Check(reg, kReminderDiscovery, {true, "lumora\\Device2", true, false}, "2 in the driver path");

    SetDevice(reg, kFirstDeviceValue, kOurDevice0);
    Check(reg, kAppletDiscovery, {true, "lumora\\Device0", false, true}, "second adapter");
    Check(reg, kControllerDiscovery, {true, "LUMORA\\DEVICE0", false, true}, "controller");
    Check(reg, kTrayPresenceDiscovery, {true, "lumora\\Device0", false, false}, "tray");

    SetDevice(reg, kSecondDeviceValue, kOtherDevice);
    Check(reg, kAppletDiscovery, {true, "lumora\\Device0", false, false}, "other driver second");
    reg.SetRaw(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kSecondDeviceValue, REG_EXPAND_SZ_,
               SimRegistry::Bytes(kOurDevice1, kOurDevice1 + sizeof(kOurDevice1)));
    Check(reg, kAppletDiscovery, {true, "lumora\\Device0", false, false}, "second not REG_SZ");
    DiscoveryRecordW wide = DiscoverAdaptersW(reg);
    EXPECT_TRUE(wide.secondAdapter && wide.dual) << "the hook library does not test the type";
    EXPECT_EQ(Narrow(wide.driverPath), "lumora\\Device0");
    EXPECT_EQ(Narrow(wide.serviceName), "lumora");
    EXPECT_EQ(reg.OpenKeyCount(), 0);
}

TEST(Discovery, LongValuesAreNeverReadPastTheirBuffer) {
    SimRegistry reg;
    // 128 bytes exactly, no terminator: the tray readers take the text that fits.
    std::string exact = std::string(128 - 14, 'x') + "lumora\\Device0";
    ASSERT_EQ(exact.size(), 128u);
    SetDevice(reg, kFirstDeviceValue, "");
    reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue, exact, false);
    Check(reg, kTrayReaderDiscovery, {true, "lumora\\Device0", false, false}, "fills 128");

    // 129 bytes with the terminator: too long for the tray readers, fine for the others.
    reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue, exact, true);
    Check(reg, kTrayReaderDiscovery, {false, "", false, false}, "128 + terminator");
    Check(reg, kTrayPresenceDiscovery, {true, "lumora\\Device0", false, false}, "256 buffer");

    // 256 bytes, no terminator: the text that fits in the 256-byte buffer.
    std::string full = std::string(256 - 14, 'y') + "lumora\\Device0";
    reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue, full, false);
    Check(reg, kAppletDiscovery, {true, "lumora\\Device0", false, false}, "fills 256");
    // 260 wide characters fit the hook library's 520 bytes.
    std::string wide = std::string(260 - 14, 'z') + "lumora\\Device0";
    reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue, wide, false);
    EXPECT_EQ(Narrow(DiscoverAdaptersW(reg).driverPath), "lumora\\Device0");
    Check(reg, kAppletDiscovery, {false, "", false, false}, "260 characters");
}

TEST(Discovery, TrayDriverPresentOnlyOnWindowsNt) {
    SimRegistry reg;
    SimSystem sys;
    SetDevice(reg, kFirstDeviceValue, kOurDevice0);
    EXPECT_TRUE(TrayDriverPresent(sys, reg));
    sys.platformId = VER_PLATFORM_WIN32_WINDOWS_;
    EXPECT_FALSE(TrayDriverPresent(sys, reg));
    sys.platformId = VER_PLATFORM_WIN32_NT_;
    SetDevice(reg, kFirstDeviceValue, kOtherDevice);
    EXPECT_FALSE(TrayDriverPresent(sys, reg));
}

TEST(SettingsKeys, TrayOpensByDriverPathOrServiceName) {
    SimRegistry reg;
    SetDevice(reg, kFirstDeviceValue, "\\Services\\lumora\\Device3");
    reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device3",
                      "Which", 3);
    reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device0",
                      "Which", 0);
    uint32_t which = 99;
    RegKey key = 0;
    ASSERT_TRUE(OpenTraySettingsKey(reg, SettingsKeyPath::kDriverPath, &key));
    EXPECT_TRUE(ReadNumber(reg, key, "Which", REG_BINARY_, &which));
    EXPECT_EQ(which, 3u);
    reg.CloseKey(key);
    ASSERT_TRUE(OpenTraySettingsKey(reg, SettingsKeyPath::kServiceDevice0, &key));
    EXPECT_TRUE(ReadNumber(reg, key, "Which", REG_BINARY_, &which));
    EXPECT_EQ(which, 0u);
    reg.CloseKey(key);

    reg.RemoveKey(HKEY_LOCAL_MACHINE_, "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device3");
    EXPECT_FALSE(OpenTraySettingsKey(reg, SettingsKeyPath::kDriverPath, &key));
    SetDevice(reg, kFirstDeviceValue, kOtherDevice);
    EXPECT_FALSE(OpenTraySettingsKey(reg, SettingsKeyPath::kServiceDevice0, &key));
    EXPECT_EQ(reg.OpenKeyCount(), 0);
}

TEST(SettingsKeys, AppletTakesTheFirstServiceContainingTheName) {
    SimRegistry reg;
    const std::string services = "SYSTEM\\CurrentControlSet\\Services\\";
    SetDevice(reg, kFirstDeviceValue, kOurDevice0);
    SetDevice(reg, kSecondDeviceValue, kOurDevice1);
    reg.AddKey(HKEY_LOCAL_MACHINE_, services + "alumora");              // no Device0: passed over
    reg.AddKey(HKEY_LOCAL_MACHINE_, services + std::string(261, 'l'));  // too long to hold
    reg.SetDword(HKEY_LOCAL_MACHINE_, services + "bLUMORA\\Device0", "Mark", 1);  // case differs
    reg.SetDword(HKEY_LOCAL_MACHINE_, services + "lumora\\Device0", "Mark", 2);
    reg.SetDword(HKEY_LOCAL_MACHINE_, services + "lumora\\Device1", "Mark", 3);
    reg.SetDword(HKEY_LOCAL_MACHINE_, services + "lumora2\\Device0", "Mark", 4);

    DiscoveryRecord record = DiscoverAdapters(reg, kAppletDiscovery);
    ASSERT_TRUE(record.secondAdapter);
    RegKey first = 0;
    RegKey second = 0;
    ASSERT_TRUE(OpenAppletSettingsKeys(reg, &record, &first, &second));
    uint32_t mark = 0;
    EXPECT_TRUE(ReadNumber(reg, first, "Mark", REG_DWORD_, &mark));
    EXPECT_EQ(mark, 2u);
    ASSERT_NE(second, 0u);
    EXPECT_TRUE(ReadNumber(reg, second, "Mark", REG_DWORD_, &mark));
    EXPECT_EQ(mark, 3u);
    reg.CloseKey(first);
    reg.CloseKey(second);

    // Without "\Device1" the second adapter is dropped.
    reg.RemoveKey(HKEY_LOCAL_MACHINE_, services + "lumora\\Device1");
    ASSERT_TRUE(OpenAppletSettingsKeys(reg, &record, &first, &second));
    EXPECT_EQ(second, 0u);
    EXPECT_FALSE(record.secondAdapter);
    EXPECT_FALSE(record.dual);
    reg.CloseKey(first);

    // No service with a "\Device0": nothing opens.
    reg.RemoveKey(HKEY_LOCAL_MACHINE_, services + "lumora");
    reg.RemoveKey(HKEY_LOCAL_MACHINE_, services + "lumora2");
    EXPECT_FALSE(OpenAppletSettingsKeys(reg, &record, &first, &second));

    // A service name of 260 characters, the first subkey, is read whole.
    reg.AddKey(HKEY_LOCAL_MACHINE_, services + "aalumora" + std::string(252, 'x') + "\\Device0");
    EXPECT_TRUE(OpenAppletSettingsKeys(reg, &record, &first, &second));
    reg.CloseKey(first);
    EXPECT_EQ(reg.OpenKeyCount(), 0);

    // Nothing opens for a driver not found, or without the services key.
    DiscoveryRecord none;
    EXPECT_FALSE(OpenAppletSettingsKeys(reg, &none, &first, &second));
    SimRegistry bare;
    EXPECT_FALSE(OpenAppletSettingsKeys(bare, &record, &first, &second));
}

TEST(SettingsKeys, HookOpensOnlyOnADualSetup) {
    SimRegistry reg;
    SetDevice(reg, kFirstDeviceValue, kOurDevice0);
    reg.AddKey(HKEY_LOCAL_MACHINE_, "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device0");
    RegKey key = 0;
    EXPECT_FALSE(OpenHookSettingsKey(reg, &key));
    SetDevice(reg, kSecondDeviceValue, kOurDevice1);
    ASSERT_TRUE(OpenHookSettingsKey(reg, &key));
    reg.CloseKey(key);
    reg.RemoveKey(HKEY_LOCAL_MACHINE_, "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device0");
    EXPECT_FALSE(OpenHookSettingsKey(reg, &key));
    EXPECT_EQ(reg.OpenKeyCount(), 0);
}

TEST(ValueReaders, NumbersNeedTheirTypeAndFourBytes) {
    SimRegistry reg;
    const char path[] = "K";
    reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, path, "Bin", 0x80000002u);
    reg.SetDword(HKEY_LOCAL_MACHINE_, path, "Dword", 7);
    reg.SetRaw(HKEY_LOCAL_MACHINE_, path, "Short", REG_BINARY_, {1, 0});
    reg.SetRaw(HKEY_LOCAL_MACHINE_, path, "Long", REG_BINARY_, {1, 0, 0, 0, 0});
    RegKey key = 0;
    ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE_, path, &key), ERROR_SUCCESS_);
    uint32_t value = 0;
    EXPECT_TRUE(ReadNumber(reg, key, "Bin", REG_BINARY_, &value));
    EXPECT_EQ(value, 0x80000002u);
    EXPECT_FALSE(ReadNumber(reg, key, "Dword", REG_BINARY_, &value));
    EXPECT_FALSE(ReadNumber(reg, key, "Bin", REG_DWORD_, &value));
    EXPECT_FALSE(ReadNumber(reg, key, "Short", REG_BINARY_, &value));
    EXPECT_FALSE(ReadNumber(reg, key, "Long", REG_BINARY_, &value));
    EXPECT_FALSE(ReadNumber(reg, key, "Missing", REG_BINARY_, &value));
    EXPECT_TRUE(ReadNumberW(reg, key, u"Dword", &value));
    EXPECT_EQ(value, 7u);
    EXPECT_FALSE(ReadNumberW(reg, key, u"Short", &value));
    reg.CloseKey(key);
}

TEST(ValueReaders, StringsMustBeTextThatFitsWithItsTerminator) {
    SimRegistry reg;
    const char path[] = "K";
    reg.SetString(HKEY_LOCAL_MACHINE_, path, "Fits", std::string(63, 'a'));
    reg.SetString(HKEY_LOCAL_MACHINE_, path, "TooLong", std::string(64, 'a'));
    reg.SetString(HKEY_LOCAL_MACHINE_, path, "FullNoZero", std::string(64, 'a'), false);
    reg.SetString(HKEY_LOCAL_MACHINE_, path, "ShortNoZero", "abc", false);
    reg.SetString(HKEY_LOCAL_MACHINE_, path, "Empty", "");
    reg.SetRaw(HKEY_LOCAL_MACHINE_, path, "Binary", REG_BINARY_, {'a', 0});
    RegKey key = 0;
    ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE_, path, &key), ERROR_SUCCESS_);
    char buffer[64];
    EXPECT_TRUE(ReadString(reg, key, "Fits", buffer, sizeof(buffer)));
    EXPECT_EQ(std::string(buffer), std::string(63, 'a'));
    EXPECT_FALSE(ReadString(reg, key, "TooLong", buffer, sizeof(buffer)));
    EXPECT_FALSE(ReadString(reg, key, "FullNoZero", buffer, sizeof(buffer)));
    EXPECT_TRUE(ReadString(reg, key, "ShortNoZero", buffer, sizeof(buffer)));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_TRUE(ReadString(reg, key, "Empty", buffer, sizeof(buffer)));
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(ReadString(reg, key, "Binary", buffer, sizeof(buffer)));
    EXPECT_FALSE(ReadString(reg, key, "Missing", buffer, sizeof(buffer)));
    reg.CloseKey(key);
}

}  // namespace
