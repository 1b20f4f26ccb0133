// The monitor timing database: the model lists of the selection dialogs and the model sizes.
#include "applet/monitor_database.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_system.h"

namespace {

constexpr char kPath[] = "C:\\WINNT\\system32\\drivers\\orvel\\timing\\monitor.ini";

std::vector<std::string> Names(const MonitorList& list) {
    std::vector<std::string> names;
    for (uint32_t i = 0; i < list.count; ++i)
        names.push_back(list.Name(i));
    return names;
}

TEST(MonitorDatabase, SingleAdapterListLeavesOutOnlyTheTwoMarkerSpellings) {
    SimSystem sys;
    SimProfile profile;
    profile.SetFile(kPath,
                    "[MONITOR]\r\n"
                    "31kHz Standard VGA=1\r\n"
                    "Wide single 1600=1\r\n"
                    "Wide SINGLE 1280=1\r\n"
                    "Single Desk 1024=1\r\n"
                    "[31kHz Standard VGA]\r\n"
                    "X_SIZE=640\r\n");
    MonitorList list;
    ASSERT_TRUE(LoadMonitorList(sys, profile, kPath, /*singleDialog=*/true, &list));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"31kHz Standard VGA", "Single Desk 1024"}));
    ASSERT_TRUE(LoadMonitorList(sys, profile, kPath, /*singleDialog=*/false, &list));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"31kHz Standard VGA", "Wide single 1600",
                                                     "Wide SINGLE 1280", "Single Desk 1024"}));
    EXPECT_TRUE(sys.beeps.empty());
}

// A "MONITOR" section whose key list takes exactly `count` characters without its final zero:
// distinct names of at most 39 characters, each with its zero.
std::string SectionOfCount(uint32_t count, std::vector<std::string>* names) {
    std::vector<uint32_t> lengths;
    uint32_t left = count;
    for (; left > 80; left -= 40)
        lengths.push_back(39);
    if (left <= 40) {
        lengths.push_back(left - 1);
    } else {
        lengths.push_back(left / 2 - 1);
        lengths.push_back(left - left / 2 - 1);
    }
    std::string text = "[MONITOR]\n";
    for (size_t i = 0; i < lengths.size(); ++i) {
        char id[8];
        std::snprintf(id, sizeof(id), "M%04u", static_cast<unsigned>(i));
        names->push_back(id + std::string(lengths[i] - std::strlen(id), 'x'));
        text += names->back() + "=1\n";
    }
    return text;
}

TEST(MonitorDatabase, KeyListAtTheReadersCutMarkIsRejectedWhole) {
    struct Case {
        uint32_t count;
        bool accepted;
    } const cases[] = {{5117, true}, {5118, false}, {5119, false}, {5120, false}, {9000, false}};
    for (const Case& c : cases) {
        SimSystem sys;
        SimProfile profile;
        std::vector<std::string> names;
        profile.SetFile(kPath, SectionOfCount(c.count, &names));
        MonitorList list;
        EXPECT_EQ(LoadMonitorList(sys, profile, kPath, false, &list), c.accepted) << c.count;
        if (c.accepted) {
            EXPECT_EQ(Names(list), names) << c.count;
            EXPECT_TRUE(sys.beeps.empty()) << c.count;
        } else {
            EXPECT_EQ(list.count, 0u) << c.count;
            EXPECT_EQ(sys.beeps, std::vector<uint32_t>{MB_ICONEXCLAMATION_}) << c.count;
        }
    }
}

TEST(MonitorDatabase, UnreadableDatabaseBeepsOnceAndListsNothing) {
    struct Case {
        const char* what;
        const char* text;  // null: no file
    } const cases[] = {
        {"missing file", nullptr},
        {"no MONITOR section", "[Other]\nA=1\n"},
        {"empty MONITOR section", "[MONITOR]\n[Other]\nA=1\n"},
        {"no key lines", "[MONITOR]\n; A=1\nplain line\n"},
    };
    for (const Case& c : cases) {
        SimSystem sys;
        SimProfile profile;
        if (c.text)
            profile.SetFile(kPath, c.text);
        MonitorList list;
        EXPECT_FALSE(LoadMonitorList(sys, profile, kPath, true, &list)) << c.what;
        EXPECT_EQ(list.count, 0u) << c.what;
        EXPECT_EQ(sys.beeps, std::vector<uint32_t>{MB_ICONEXCLAMATION_}) << c.what;
    }
}

TEST(MonitorDatabase, NamesTooLongForTheSelectionAreNeverListed) {
    const std::string name39(39, 'a');
    const std::string name40 = "31kHz" + std::string(35, 'b');
    SimSystem sys;
    SimProfile profile;
    profile.SetFile(kPath, "[MONITOR]\n" + name40 + "=1\n" + name39 + "=1\nX=1\n" +
                               std::string(3000, 'c') + "=1\n" + name39 + "single=1\n");
    for (bool singleDialog : {true, false}) {
        MonitorList list;
        ASSERT_TRUE(LoadMonitorList(sys, profile, kPath, singleDialog, &list));
        EXPECT_EQ(Names(list), (std::vector<std::string>{name39, "X"}));
    }
    EXPECT_TRUE(sys.beeps.empty());
}

TEST(MonitorDatabase, SizeTextReadsAsTheRuntimesUnsignedConversion) {
    struct Case {
        std::string text;
        bool present;
        uint32_t size;
    } const cases[] = {
        {"640", true, 640},
        {"320abc", true, 320},
        {"abc", true, 0},
        {"", false, 0},
        {"+768 x", true, 768},
        {"\"\t640\"", true, 640},  // a tab inside quotes is left for the conversion
        {"-5", true, 4294967291u},
        {"- 5", true, 0},
        {"4294967295", true, 4294967295u},
        {"4294967296", true, 4294967295u},
        {"99999999999999999999999999", true, 4294967295u},
        {"-4294967295", true, 1},
        {"-99999999999", true, 1},
        {"12" + std::string(251, 'x'), true, 12},  // 253 characters
        {"12" + std::string(252, 'x'), false, 0},  // 254
        {"12" + std::string(253, 'x'), false, 0},  // 255: the reader's cut
    };
    for (const Case& c : cases) {
        SimProfile profile;
        profile.SetFile(kPath, "[Model A]\nX_SIZE=" + c.text + "\nY_SIZE= \t480\n");
        uint32_t size = 12345;
        EXPECT_EQ(ReadMonitorSize(profile, kPath, "model a", kXSizeKey, &size), c.present)
            << c.text;
        EXPECT_EQ(size, c.present ? c.size : 12345u) << c.text;
        EXPECT_TRUE(ReadMonitorSize(profile, kPath, "Model A", kYSizeKey, &size));
        EXPECT_EQ(size, 480u);
    }
}

TEST(MonitorDatabase, MissingSizeReads999) {
    SimProfile profile;
    profile.SetFile(kPath, "[A]\nY_SIZE=480\n[B]\n");
    struct Case {
        const char* path;
        const char* model;
    } const cases[] = {{kPath, "A"}, {kPath, "B"}, {kPath, "C"}, {"C:\\none.ini", "A"}};
    for (const Case& c : cases) {
        uint32_t size = 0;
        EXPECT_TRUE(ReadMonitorSize(profile, c.path, c.model, kXSizeKey, &size)) << c.model;
        EXPECT_EQ(size, kMissingSize) << c.model;
    }
}

// A system whose environment expansion fails.
class NoExpansion final : public AppletSystem {
  public:
    uint32_t SystemDirectory(char*, uint32_t) override { return 0; }
    uint32_t ExpandEnvironment(const char*, char*, uint32_t) override { return 0; }
    bool FindFile(const char*, uint64_t*) override { return false; }
    void Beep(uint32_t type) override { beeps.push_back(type); }
    bool EnablePrivilege(const char*) override { return false; }
    bool ExitSession(uint32_t, uint32_t) override { return false; }
    std::vector<uint32_t> beeps;
};

TEST(MonitorDatabase, PathMustFitItsBufferWithTheTerminator) {
    const size_t tail = std::strlen(kDatabasePathText) - std::strlen("%SYSTEMROOT%");
    struct Case {
        std::string root;
        bool fits;
    } const cases[] = {
        {"C:\\WINNT", true},
        {std::string(kDatabasePathChars - 1 - tail, 'r'), true},  // 1023 characters and the zero
        {std::string(kDatabasePathChars - tail, 'r'), false},
        {std::string(5000, 'r'), false},
    };
    for (const Case& c : cases) {
        SimSystem sys;
        sys.environment["SYSTEMROOT"] = c.root;
        char path[kDatabasePathChars];
        std::memset(path, '#', sizeof(path));
        EXPECT_EQ(ExpandDatabasePath(sys, path), c.fits) << c.root.size();
        EXPECT_EQ(std::string(path), c.fits ? sys.Expand(kDatabasePathText) : "");
        EXPECT_TRUE(sys.beeps.empty()) << "the dialog beeps, not the expansion";
    }

    NoExpansion failing;
    char path[kDatabasePathChars] = "stale";
    EXPECT_FALSE(ExpandDatabasePath(failing, path));
    EXPECT_STREQ(path, "");
    EXPECT_TRUE(failing.beeps.empty());
}

}  // namespace
