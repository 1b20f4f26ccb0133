// The simulated system answers with the Win32 calls' buffer and handle semantics.
#include "platform/sim/sim_system.h"

#include <gtest/gtest.h>

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

}  // namespace
