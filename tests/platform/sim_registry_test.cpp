// The simulated registry must answer as Windows does wherever the logic depends on it.
#include "platform/sim/sim_registry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(SimRegistry, QueryReportsTypeAndSizeAndRefusesSmallBuffers) {
    SimRegistry reg;
    reg.SetString(HKEY_LOCAL_MACHINE_, "A\\B", "Name", "hello");
    RegKey key = 0;
    ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE_, "a\\b", &key), ERROR_SUCCESS_);

    uint8_t small[4] = {};
    uint32_t type = 0;
    uint32_t size = sizeof(small);
    EXPECT_EQ(reg.QueryValue(key, "NAME", &type, small, &size), ERROR_MORE_DATA_);
    EXPECT_EQ(type, REG_SZ_);
    EXPECT_EQ(size, 6u);

    char text[6] = {};
    size = sizeof(text);
    EXPECT_EQ(reg.QueryValue(key, "name", &type, reinterpret_cast<uint8_t*>(text), &size),
              ERROR_SUCCESS_);
    EXPECT_STREQ(text, "hello");

    size = 0;
    EXPECT_EQ(reg.QueryValue(key, "name", nullptr, nullptr, &size), ERROR_SUCCESS_);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(reg.QueryValue(key, "other", &type, small, &size), ERROR_FILE_NOT_FOUND_);
    EXPECT_EQ(reg.CloseKey(key), ERROR_SUCCESS_);
    EXPECT_EQ(reg.QueryValue(key, "name", &type, small, &size), ERROR_INVALID_HANDLE_);
}

TEST(SimRegistry, StringsAreKeptExactlyAsStored) {
    SimRegistry reg;
    reg.SetString(HKEY_LOCAL_MACHINE_, "K", "Raw", "abcd", /*terminated=*/false);
    RegKey key = 0;
    ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE_, "K", &key), ERROR_SUCCESS_);
    char buffer[8];
    std::memset(buffer, 'x', sizeof(buffer));
    uint32_t size = sizeof(buffer);
    EXPECT_EQ(reg.QueryValue(key, "Raw", nullptr, reinterpret_cast<uint8_t*>(buffer), &size),
              ERROR_SUCCESS_);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(buffer[4], 'x');  // no terminator added

    // The wide form returns two bytes a character.
    char16_t wide[8] = {};
    size = sizeof(wide);
    uint32_t type = 0;
    EXPECT_EQ(reg.QueryValueW(key, u"raw", &type, reinterpret_cast<uint8_t*>(wide), &size),
              ERROR_SUCCESS_);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(wide[3], u'd');
    reg.CloseKey(key);
}

TEST(SimRegistry, OpenNeverCreatesAndCountsHandles) {
    SimRegistry reg;
    reg.AddKey(HKEY_LOCAL_MACHINE_, "Software\\Maker");
    RegKey key = 0;
    EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE_, "Software\\Maker\\Missing", &key),
              ERROR_FILE_NOT_FOUND_);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE_, "Software\\Maker\\Missing"));
    EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE_, "Software\\\\Maker", &key), ERROR_FILE_NOT_FOUND_);
    EXPECT_EQ(reg.OpenKeyCount(), 0);

    RegKey a = 0;
    RegKey b = 0;
    ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE_, "SOFTWARE", &a), ERROR_SUCCESS_);
    ASSERT_EQ(reg.OpenKey(a, "maker", &b), ERROR_SUCCESS_);
    EXPECT_EQ(reg.OpenKeyCount(), 2);
    reg.CloseKey(a);
    reg.CloseKey(b);
    EXPECT_EQ(reg.OpenKeyCount(), 0);

    ASSERT_EQ(reg.CreateKey(HKEY_CURRENT_USER_, "X\\Y\\Z", &a), ERROR_SUCCESS_);
    EXPECT_TRUE(reg.KeyExists(HKEY_CURRENT_USER_, "x\\y"));
    reg.CloseKey(a);
}

TEST(SimRegistry, EnumeratesSubkeysAndRefusesDeniedWrites) {
    SimRegistry reg;
    reg.AddKey(HKEY_LOCAL_MACHINE_, "S\\Beta\\Device0");
    reg.AddKey(HKEY_LOCAL_MACHINE_, "S\\alpha");
    RegKey key = 0;
    ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE_, "S", &key), ERROR_SUCCESS_);
    char name[16];
    EXPECT_EQ(reg.EnumKey(key, 0, name, sizeof(name)), ERROR_SUCCESS_);
    EXPECT_STREQ(name, "alpha");
    EXPECT_EQ(reg.EnumKey(key, 1, name, sizeof(name)), ERROR_SUCCESS_);
    EXPECT_STREQ(name, "Beta");
    EXPECT_EQ(reg.EnumKey(key, 1, name, 4), ERROR_MORE_DATA_);
    EXPECT_EQ(reg.EnumKey(key, 2, name, sizeof(name)), ERROR_NO_MORE_ITEMS_);

    reg.SetWritable(HKEY_LOCAL_MACHINE_, "s", false);
    const uint8_t one[4] = {1, 0, 0, 0};
    EXPECT_EQ(reg.SetValue(key, "V", REG_DWORD_, one, 4), ERROR_ACCESS_DENIED_);
    EXPECT_FALSE(reg.GetRaw(HKEY_LOCAL_MACHINE_, "S", "V", nullptr, nullptr));
    reg.CloseKey(key);

    // The rule holds for the keys below, up to a nearer one; reading stays open. A key opened
    // for setting values, or a subkey made, is refused where writes are.
    reg.SetWritable(HKEY_LOCAL_MACHINE_, "S\\Beta\\Device0", true);
    RegKey beta = 0, device = 0, made = 0;
    EXPECT_EQ(reg.OpenKeyEx(HKEY_LOCAL_MACHINE_, "S\\Beta", KEY_SET_VALUE_, &beta),
              ERROR_ACCESS_DENIED_);
    EXPECT_EQ(reg.CreateKey(HKEY_LOCAL_MACHINE_, "S\\Beta\\New", &made), ERROR_ACCESS_DENIED_);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE_, "S\\Beta\\New"));
    ASSERT_EQ(reg.OpenKeyEx(HKEY_LOCAL_MACHINE_, "S\\Beta", KEY_READ_, &beta), ERROR_SUCCESS_);
    EXPECT_EQ(reg.SetValue(beta, "V", REG_DWORD_, one, 4), ERROR_ACCESS_DENIED_);
    ASSERT_EQ(reg.OpenKeyEx(HKEY_LOCAL_MACHINE_, "S\\Beta\\Device0", KEY_SET_VALUE_, &device),
              ERROR_SUCCESS_);
    EXPECT_EQ(reg.SetValue(device, "V", REG_DWORD_, one, 4), ERROR_SUCCESS_);
    EXPECT_EQ(reg.CreateKey(device, "Sub", &made), ERROR_SUCCESS_);
    EXPECT_EQ(reg.writes, (std::vector<std::string>{"hklm\\s\\beta\\device0\\v",
                                                    "hklm\\s\\beta\\device0\\sub"}));
    for (RegKey k : {beta, device, made})
        reg.CloseKey(k);
    EXPECT_EQ(reg.OpenKeyCount(), 0);
}

}  // namespace
