// The simulated profile reader answers as the system's reader does where the applet depends on
// it, and stays within the caller's buffer whatever the file holds.
#include "platform/sim/sim_profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr char kPath[] = "C:\\WINNT\\monitor.ini";

// One call into a buffer of exactly `size` characters (so ASan sees any overrun); `out` gets the
// return and the whole buffer.
uint32_t Read(SimProfile& profile, const char* section, const char* key, uint32_t size,
              std::string* out, const char* defaultText = "d", const char* path = kPath) {
    std::unique_ptr<char[]> buffer(new char[size]);
    std::memset(buffer.get(), '#', size);
    const uint32_t count =
        profile.ReadProfileString(section, key, defaultText, buffer.get(), size, path);
    out->assign(buffer.get(), size);
    return count;
}

TEST(SimProfile, ReadsSectionsAndKeysAsTheSystemReaderDoes) {
    SimProfile profile;
    profile.SetFile("c:\\winnt\\MONITOR.INI",
                    "orphan=0\r\n"
                    "; comment=1\r\n"
                    "[Other]\r\n"
                    "a=1\r\n"
                    "  [ monitor ]  \r\n"
                    "  Zeta = \"one\" \r\n"
                    "alpha\t=\t'two'\r\n"
                    "noequals\r\n"
                    ";beta=3\r\n"
                    "=empty\r\n"
                    "[broken\r\n"
                    "ZETA=dup\n"
                    "x=4\r"
                    "[MONITOR]\n"
                    "late=1\n"
                    "[Last]\r\n"
                    "y= 5 ");

    std::string list;
    EXPECT_EQ(Read(profile, "MONITOR", nullptr, 64, &list), 18u);
    EXPECT_EQ(list.substr(0, 19), std::string("Zeta\0alpha\0ZETA\0x\0\0", 19));
    EXPECT_EQ(Read(profile, nullptr, nullptr, 64, &list), 19u);
    EXPECT_EQ(list.substr(0, 20), std::string("Other\0monitor\0Last\0\0", 20));

    struct Case {
        const char* section;
        const char* key;
        const char* value;
    } const cases[] = {
        {"MONITOR", "zeta", "one"}, {"monitor", "ALPHA", "two"},  {"Monitor", "x", "4"},
        {"MONITOR", "late", "d"},   {"MONITOR", "noequals", "d"}, {"MONITOR", ";beta", "d"},
        {"MONITOR", "", "d"},       {"Last", "y", "5"},           {"Other", "a", "1"},
        {"Other", "zeta", "d"},     {"Missing", "a", "d"},        {"", "orphan", "d"},
    };
    for (const Case& c : cases) {
        std::string value;
        EXPECT_EQ(Read(profile, c.section, c.key, 64, &value), std::strlen(c.value))
            << c.section << "/" << c.key;
        EXPECT_STREQ(value.c_str(), c.value) << c.section << "/" << c.key;
    }
    std::string value;
    EXPECT_EQ(Read(profile, "Other", "none", 64, &value, "dflt  "), 4u) << "trailing blanks go";
    EXPECT_EQ(Read(profile, "MONITOR", nullptr, 64, &value, "", "C:\\other.ini"), 0u);
    EXPECT_EQ(value[0], '\0');
    EXPECT_EQ(profile.calls, 16u);
}

TEST(SimProfile, CountsAndCutsAtExactBoundaries) {
    SimProfile profile;
    profile.SetFile(kPath, "[S]\nab=1\ncd=2\n[E]\n[V]\nk=hello\n");

    // The key list "ab\0cd\0" (6 characters) fits only with two characters to spare.
    struct ListCase {
        uint32_t size;
        uint32_t count;
        const char* bytes;
    } const lists[] = {
        {1, 0, "\0"},         {2, 0, "\0\0"},        {3, 1, "a\0\0"},
        {4, 2, "ab\0\0"},     {5, 3, "ab\0\0\0"},    {6, 4, "ab\0c\0\0"},
        {7, 5, "ab\0cd\0\0"}, {8, 6, "ab\0cd\0\0#"}, {9, 6, "ab\0cd\0\0##"},
    };
    for (const ListCase& c : lists) {
        std::string out;
        EXPECT_EQ(Read(profile, "s", nullptr, c.size, &out), c.count) << "size " << c.size;
        EXPECT_EQ(out, std::string(c.bytes, c.size)) << "size " << c.size;
    }

    struct ValueCase {
        uint32_t size;
        uint32_t count;
        const char* text;
    } const values[] = {{1, 0, ""}, {2, 1, "h"}, {5, 4, "hell"}, {6, 5, "hello"}, {7, 5, "hello"}};
    for (const ValueCase& c : values) {
        std::string out;
        EXPECT_EQ(Read(profile, "V", "K", c.size, &out), c.count) << "size " << c.size;
        EXPECT_STREQ(out.c_str(), c.text) << "size " << c.size;
    }

    // An empty or missing section, a missing key or file: the default, cut like a value.
    std::string out;
    EXPECT_EQ(Read(profile, "E", nullptr, 8, &out, "none"), 4u);
    EXPECT_STREQ(out.c_str(), "none");
    EXPECT_EQ(Read(profile, "Q", nullptr, 3, &out, "none"), 2u);
    EXPECT_STREQ(out.c_str(), "no");
    EXPECT_EQ(Read(profile, "S", "zz", 8, &out, "999"), 3u);
    EXPECT_EQ(Read(profile, "S", "ab", 8, &out, "999", "C:\\missing.ini"), 3u);
    EXPECT_STREQ(out.c_str(), "999");

    char untouched = '#';
    EXPECT_EQ(profile.ReadProfileString("V", "k", "", &untouched, 0, kPath), 0u);
    EXPECT_EQ(untouched, '#');
}

// Deterministic pseudo-random numbers (xorshift32).
class Random {
  public:
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    uint32_t Below(uint32_t n) { return Next() % n; }

  private:
    uint32_t state_ = 0x2545F491u;
};

const char* const kNames[] = {"MONITOR", "monitor", "A", "x_size", "Single"};

std::string HostileFile(Random& random) {
    std::string text;
    for (uint32_t lines = random.Below(40); lines > 0; --lines) {
        switch (random.Below(8)) {
            case 0:
                text += "[" + std::string(kNames[random.Below(5)]) + (random.Below(4) ? "]" : "");
                break;
            case 1:  // a section, now and then a huge one
                text += "[MONITOR]\n";
                for (uint32_t k = random.Below(20) ? random.Below(8) : 1500; k > 0; --k)
                    text += "m" + std::to_string(k) + "=v\n";
                break;
            case 2:  // a long line, now and then a very long one
                text += std::string(random.Below(20) ? random.Below(300) : 8000,
                                    static_cast<char>('a' + random.Below(26)));
                text += random.Below(2) ? "=" : "";
                break;
            case 3:  // binary bytes, zeros included
                for (uint32_t k = random.Below(64); k > 0; --k)
                    text += static_cast<char>(random.Below(256));
                break;
            default:
                text += std::string(kNames[random.Below(5)]) + " = " +
                        std::string(random.Below(300), '7') + (random.Below(3) ? "" : "\"");
                break;
        }
        const char* const ends[] = {"\n", "\r\n", "\r", ""};
        text += ends[random.Below(4)];
    }
    return text;
}

TEST(SimProfile, HostileFilesStayWithinTheBuffer) {
    Random random;
    SimProfile profile;
    const std::string doubleZero("\0\0", 2);
    for (int iteration = 0; iteration < 800; ++iteration) {
        const std::string text = HostileFile(random);
        profile.SetFile(kPath, text);
        for (int query = 0; query < 4; ++query) {
            const char* section = kNames[random.Below(5)];
            const char* key = random.Below(2) ? nullptr : kNames[random.Below(5)];
            std::string whole;
            const uint32_t full =
                Read(profile, section, key, static_cast<uint32_t>(text.size()) + 8, &whole, "");
            const uint32_t sizes[] = {random.Below(12), full + random.Below(4),
                                      random.Below(full + 8)};
            SCOPED_TRACE(::testing::Message() << "iteration " << iteration << " section " << section
                                              << " key " << (key ? key : "(list)"));
            for (uint32_t size : sizes) {
                std::string out;
                const uint32_t count = Read(profile, section, key, size, &out, "");
                if (size == 0) {
                    EXPECT_EQ(count, 0u);
                    continue;
                }
                ASSERT_LT(count, size) << "size " << size;
                EXPECT_EQ(out[count], '\0') << "size " << size;
                EXPECT_EQ(out.compare(0, count, whole, 0, count), 0) << "a cut keeps the start";
                if (key) {
                    EXPECT_EQ(count, std::min(full, size - 1)) << "size " << size;
                } else {
                    EXPECT_EQ(count, full + 2 <= size ? full : std::max(size, 2u) - 2) << size;
                    if (count > 0) {  // names, none empty, then the double zero
                        const size_t end = out.find(doubleZero);
                        EXPECT_TRUE(end == count - 1 || end == count) << end;
                    }
                }
            }
        }
    }
}

}  // namespace
