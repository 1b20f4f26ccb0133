// The simulated system answers with the Win32 calls' buffer and handle semantics.
#include "platform/sim/sim_system.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_board.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"

namespace {

TEST(SimSystem, BuffersFollowTheWin32Contracts) {
    SimSystem sys;
    sys.systemDirectory = "C:\\WINNT\\system32";
    char small[8];
    EXPECT_EQ(sys.SystemDirectory(small, sizeof(small)), 18u) << "room needed, with the zero";
    char buffer[64];
    EXPECT_EQ(sys.SystemDirectory(buffer, sizeof(buffer)), 17u);
    EXPECT_STREQ(buffer, "C:\\WINNT\\system32");

    sys.environment["SYSTEMROOT"] = "C:\\WINNT";
    EXPECT_EQ(sys.ExpandEnvironment("%SystemRoot%\\x %UNSET% 50%", buffer, sizeof(buffer)), 23u);
    EXPECT_STREQ(buffer, "C:\\WINNT\\x %UNSET% 50%");
    EXPECT_EQ(sys.ExpandEnvironment("%systemroot%", small, sizeof(small)), 9u);

    sys.files["c:\\winnt\\system32\\drivers\\a.ini"] = 1234;
    uint64_t size = 0;
    EXPECT_TRUE(sys.FindFile("C:\\WINNT\\System32\\Drivers\\A.INI", &size));
    EXPECT_EQ(size, 1234u);
    EXPECT_FALSE(sys.FindFile("C:\\WINNT\\b.ini", &size));
}

TEST(SimSystem, NamedMutexesReportAnExistingOwner) {
    SimSystem sys;
    uint32_t error = 99;
    SysHandle first = sys.CreateNamedMutex("M", true, &error);
    EXPECT_EQ(error, 0u);
    SysHandle second = sys.CreateNamedMutex("M", true, &error);
    EXPECT_EQ(error, 183u);
    EXPECT_NE(first, second);
    sys.CloseSysHandle(first);
    sys.CloseSysHandle(second);
    EXPECT_EQ(sys.OpenHandleCount(), 0);
    sys.CreateNamedMutex("M", true, &error);
    EXPECT_EQ(error, 0u) << "the name is free once every handle is closed";
}

TEST(FaultPlan, TheChosenCallFailsOnceAsTheSystemFailsIt) {
    SimRegistry reg;
    SimSystem sys;
    SimBoard board;
    SimProfile profile;
    FaultPlan plan;
    reg.faults = sys.faults = board.faults = profile.faults = &plan;
    reg.SetDword(HKEY_LOCAL_MACHINE_, "Key", "Value", 7);
    profile.SetFile("a.ini", "[S]\nK=v\n");

    plan.FailCall(2);
    RegKey key = 0;
    ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE_, "Key", &key), ERROR_SUCCESS_);
    uint8_t data[4];
    uint32_t size = sizeof(data);
    EXPECT_EQ(reg.QueryValue(key, "Value", nullptr, data, &size), ERROR_FILE_NOT_FOUND_);
    EXPECT_STREQ(plan.failed(), "registry QueryValue");
    EXPECT_EQ(reg.QueryValue(key, "Value", nullptr, data, &size), ERROR_SUCCESS_) << "once";
    EXPECT_EQ(plan.calls(), 3u);

    // Each port's failure, on the first call after FailCall(1).
    const auto fails = [&plan](auto call) {
        plan.FailCall(1);
        return call();
    };
    EXPECT_EQ(fails([&] { return reg.SetValue(key, "Value", REG_DWORD_, data, 4); }),
              ERROR_ACCESS_DENIED_);
    EXPECT_EQ(fails([&] { return reg.CloseKey(key); }), ERROR_INVALID_HANDLE_);
    EXPECT_EQ(reg.OpenKeyCount(), 0) << "a failed close gives the handle back";
    uint32_t error = 0;
    EXPECT_EQ(fails([&] { return sys.CreateNamedMutex("M", true, &error); }), 0u);
    EXPECT_EQ(error, static_cast<uint32_t>(ERROR_ACCESS_DENIED_));
    EXPECT_EQ(fails([&] { return board.GetScreenDc(); }), 0u);
    uint32_t words[8] = {};
    const ScreenDc dc = board.GetScreenDc();
    EXPECT_EQ(fails([&] { return board.Escape(dc, 100, words, 32); }), 0);
    EXPECT_FALSE(board.escapes.back().answered);
    char text[8];
    EXPECT_EQ(fails([&] { return profile.ReadProfileString("S", "K", "dflt", text, 8, "a.ini"); }),
              4u);
    EXPECT_STREQ(text, "dflt") << "as a file that cannot be read";
}

}  // namespace
