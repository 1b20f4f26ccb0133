// The system's profile reader and the simulated one answer alike on the same files, wherever the
// monitor database relies on the answer: key order, case, counts, cuts and the 5118 mark.
#include "platform/win32/win32_profile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "applet/monitor_database.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_system.h"

namespace {

class Win32ProfileTest : public ::testing::Test {
  protected:
    void TearDown() override {
        for (const std::string& path : paths_)
            DeleteFileA(path.c_str());
    }

    // Writes `text` to a new temporary file and gives the simulation the same file.
    std::string Put(const std::string& text) {
        char dir[MAX_PATH];
        char path[MAX_PATH];
        EXPECT_NE(GetTempPathA(MAX_PATH, dir), 0u);
        EXPECT_NE(GetTempFileNameA(dir, "dtp", 0, path), 0u);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        EXPECT_EQ(written, text.size());
        paths_.push_back(path);
        sim_.SetFile(path, text);
        return path;
    }

    // One query to both readers: the same count, and the same characters up to and including
    // the one at the count (the list's last zero, or the value's terminator).
    void ExpectSame(const std::string& path, const char* section, const char* key,
                    const char* defaultText, uint32_t size) {
        std::vector<char> real(size + 1, '#');
        std::vector<char> sim(size + 1, '#');
        const uint32_t realCount =
            real_.ReadProfileString(section, key, defaultText, real.data(), size, path.c_str());
        const uint32_t simCount =
            sim_.ReadProfileString(section, key, defaultText, sim.data(), size, path.c_str());
        SCOPED_TRACE(::testing::Message()
                     << "[" << section << "] " << (key ? key : "(keys)") << " size " << size);
        ASSERT_EQ(simCount, realCount);
        ASSERT_LT(realCount, size);
        EXPECT_EQ(std::string(sim.data(), simCount + 1), std::string(real.data(), realCount + 1));
        EXPECT_EQ(real[size], '#') << "the system's reader wrote past the buffer";
    }

    Win32Profile real_;
    SimProfile sim_;
    std::vector<std::string> paths_;
};

TEST_F(Win32ProfileTest, ReadersAgreeOnKeysValuesAndCuts) {
    const std::string path =
        Put("[Other]\r\n"
            "a=1\r\n"
            "  [ monitor ]  \r\n"
            "  Zeta = \"one\" \r\n"
            "alpha\t=\t'two'\r\n"
            "noequals\r\n"
            ";beta=3\r\n"
            "[broken\r\n"
            "ZETA=dup\n"
            "x=4\r"
            "[MONITOR]\n"
            "late=1\n"
            "[Last]\r\n"
            "y= 5 ");
    for (uint32_t size = 2; size <= 24; ++size) {
        ExpectSame(path, "MONITOR", nullptr, "", size);
        ExpectSame(path, "Other", nullptr, "", size);
    }
    ExpectSame(path, "Missing", nullptr, "", 16);
    // Quoted values are compared whole: how a cut falls on the closing quote is not relied on.
    ExpectSame(path, "MONITOR", "zeta", "", 16);
    ExpectSame(path, "monitor", "ALPHA", "", 16);
    const char* const keys[][2] = {{"Monitor", "x"}, {"MONITOR", "late"}, {"MONITOR", "noequals"},
                                   {"Last", "y"},    {"Other", "zeta"},   {"Missing", "a"}};
    for (const auto& key : keys) {
        for (uint32_t size = 1; size <= 6; ++size)
            ExpectSame(path, key[0], key[1], "999  ", size);
    }

    const std::string missing = path + ".none";
    ExpectSame(missing, "MONITOR", nullptr, "", 8);
    ExpectSame(missing, "MONITOR", "x", "999", 8);
}

TEST_F(Win32ProfileTest, ReadersAgreeOnTheMonitorListAroundTheMark) {
    for (uint32_t count = 5114; count <= 5122; ++count) {
        // Names of 39 characters and a last one that brings the list to `count` characters.
        std::string text = "[MONITOR]\r\n";
        uint32_t left = count;
        for (unsigned i = 0; left > 80; ++i, left -= 40) {
            std::string name = "M" + std::to_string(i);
            name.resize(39, '0');
            text += name + "=1\r\n";
        }
        text += std::string(left / 2 - 1, 'y') + "=1\r\n" + std::string(left - left / 2 - 1, 'z') +
                "=1\r\n";
        const std::string path = Put(text);
        ExpectSame(path, kMonitorSection, nullptr, "", kKeyListChars);

        SimSystem realSys;
        SimSystem simSys;
        MonitorList realList;
        MonitorList simList;
        const bool realLoaded = LoadMonitorList(realSys, real_, path.c_str(), false, &realList);
        EXPECT_EQ(LoadMonitorList(simSys, sim_, path.c_str(), false, &simList), realLoaded);
        EXPECT_EQ(realLoaded, count < kKeyListChars - 2) << count;
        EXPECT_EQ(realSys.beeps, simSys.beeps) << count;
        ASSERT_EQ(realList.count, simList.count) << count;
        for (uint32_t i = 0; i < realList.count; ++i)
            EXPECT_STREQ(realList.Name(i), simList.Name(i));
    }
}

TEST_F(Win32ProfileTest, SizesConvertAsTheRuntimesStrtoul) {
    const char* const texts[] = {"640",         "320abc",       "abc",
                                 "+768 x",      "-5",           "- 5",
                                 "4294967295",  "4294967296",   "-4294967295",
                                 "-4294967296", "-99999999999", "99999999999999999999"};
    for (const char* text : texts) {
        const std::string path = Put(std::string("[M]\r\nX_SIZE=") + text + "\r\n");
        uint32_t size = 0;
        ASSERT_TRUE(ReadMonitorSize(real_, path.c_str(), "M", kXSizeKey, &size)) << text;
        EXPECT_EQ(size, static_cast<uint32_t>(std::strtoul(text, nullptr, 10))) << text;
    }
}

}  // namespace
