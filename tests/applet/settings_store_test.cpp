// The applet's registry layer and the TV part's rules over a simulated board.
#include "applet/settings_store.h"

#include <gtest/gtest.h>

#include "applet/tv_controls.h"
#include "applet_rig.h"

namespace applet_test {
namespace {

TEST(SettingsStore, ReadSideAcceptsOnlyDwordZeroOrOne) {
    Rig rig;
    rig.Count();
    struct Case {
        uint32_t type;
        SimRegistry::Bytes bytes;
        int32_t side;
    } cases[] = {
        {REG_DWORD_, {0, 0, 0, 0}, 0},   {REG_DWORD_, {1, 0, 0, 0}, 1},
        {REG_DWORD_, {2, 0, 0, 0}, -1},  {REG_DWORD_, {0, 0, 0, 0x80}, -1},
        {REG_BINARY_, {1, 0, 0, 0}, -1}, {REG_DWORD_, {1, 0}, -1},
    };
    for (const Case& c : cases) {
        rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, rig.Settings(), kPrimaryIsLeft, c.type, c.bytes);
        RegKey first = 0, second = 0;
        ASSERT_TRUE(OpenDeviceKeys(rig.applet, &first, &second));
        EXPECT_EQ(ReadSide(rig.reg, first), c.side) << c.type << " " << c.bytes.size();
        CloseDeviceKeys(rig.reg, first, second);
    }
    EXPECT_EQ(rig.reg.OpenKeyCount(), 0);
}

TEST(SettingsStore, SecondKeyThatWillNotOpenClearsTheSecondAdapterFlag) {
    Rig rig(Board::kTwoAdapters);
    rig.Count();
    rig.reg.RemoveKey(HKEY_LOCAL_MACHINE_, rig.Second());
    RegKey first = 0, second = 0;
    EXPECT_TRUE(OpenDeviceKeys(rig.applet, &first, &second));
    EXPECT_EQ(second, 0u);
    EXPECT_FALSE(rig.state.adapter.secondAdapter);
    CloseDeviceKeys(rig.reg, first, second);
    rig.Count();
    EXPECT_TRUE(rig.state.adapter.secondAdapter) << "until the next count query";
}

TEST(SettingsStore, MonitorSelectionGoesIntoBothKeysWithItsSizes) {
    Rig rig(Board::kTwoAdapters);
    rig.Count();
    rig.StoreDword(rig.Settings(), kPrimaryXSize, 77);
    rig.StoreDword(rig.Second(), kPrimaryXSize, 78);
    ASSERT_TRUE(ExpandDatabasePath(rig.sys, rig.state.databasePath));
    RegKey first = 0, second = 0;
    ASSERT_TRUE(OpenDeviceKeys(rig.applet, &first, &second));
    WriteMonitorSelection(rig.applet, first, MonitorRole::kPrimary, "Orvel 17 single");
    WriteMonitorSelection(rig.applet, first, MonitorRole::kSecondary, "Unknown 000");
    CloseDeviceKeys(rig.reg, first, second);
    EXPECT_EQ(rig.reg.OpenKeyCount(), 0);
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryXSize), 77) << "empty X_SIZE leaves it";
    EXPECT_EQ(rig.Number(rig.Second(), kPrimaryXSize), 78);
    for (const std::string& key : {rig.Settings(), rig.Second()}) {
        EXPECT_EQ(rig.Text(key, kPrimarySelectedMonitor), "Orvel 17 single");
        EXPECT_EQ(rig.Number(key, kPrimaryYSize), 250);
        EXPECT_EQ(rig.Text(key, kSecondarySelectedMonitor), "Unknown 000");
        EXPECT_EQ(rig.Number(key, kSecondaryXSize), 999);
        EXPECT_EQ(rig.Number(key, kSecondaryYSize), 999);
    }
    rig.profile.SetFile(kDatabase, kMonitors + "[Wide]\nX_SIZE=4023233417\n");
    ASSERT_TRUE(OpenDeviceKeys(rig.applet, &first, &second));
    WriteMonitorSelection(rig.applet, first, MonitorRole::kPrimary, "Wide");
    CloseDeviceKeys(rig.reg, first, second);
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryXSize), 4023233417) << "all four bytes";
}

TEST(SettingsStore, PlaceholderTestIgnoresTypesButNeedsTheFirstKeysValue) {
    Rig rig(Board::kTwoAdapters);
    rig.Count();
    char found[kStoredNameChars];
    RegKey first = 0, second = 0;
    ASSERT_TRUE(OpenDeviceKeys(rig.applet, &first, &second));
    rig.Store(rig.Second(), kPrimarySelectedMonitor, "X000");
    EXPECT_FALSE(PrimaryIsPlaceholder(rig.reg, first, second, found)) << "first key has none";
    rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, rig.Settings(), kPrimarySelectedMonitor, REG_BINARY_,
                   {'A', 'B'});
    EXPECT_TRUE(PrimaryIsPlaceholder(rig.reg, first, second, found));
    EXPECT_STREQ(found, "X000");
    rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, rig.Settings(), kPrimarySelectedMonitor, REG_DWORD_,
                   {'0', '0', '0', 'Z'});
    EXPECT_TRUE(PrimaryIsPlaceholder(rig.reg, first, second, found));
    EXPECT_STREQ(found, "000Z") << "an unterminated value ends with its bytes";
    // One that fills the buffer but for its terminator's place is read whole; longer, not at all.
    const std::string full = "000" + std::string(kStoredNameChars - 4, 'f');
    for (const std::string& text : {full, full + "f"}) {
        rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, rig.Settings(), kPrimarySelectedMonitor, REG_BINARY_,
                       SimRegistry::Bytes(text.begin(), text.end()));
        EXPECT_EQ(PrimaryIsPlaceholder(rig.reg, first, second, found), text == full);
    }
    CloseDeviceKeys(rig.reg, first, second);
}

TEST(SettingsStore, InstallStateFollowsTheReminderFileAndNeverCreatesTheKey) {
    const std::string reminder = "c:\\winnt\\system32\\drivers\\orvel\\tools\\nudgel.exe";
    struct Case {
        bool file;
        uint64_t size;
        bool tv;
        int64_t stage;
    } cases[] = {{false, 0, false, 1}, {true, 0, true, -1}, {true, 30000, true, 2}};
    for (const Case& c : cases) {
        Rig rig;
        rig.Count();
        if (c.file)
            rig.sys.files[reminder] = c.size;
        WriteInstallState(rig.applet, c.tv);
        EXPECT_EQ(rig.Number(rig.Maker(), kOrvelIsInstalled), c.stage) << c.file << c.size;
    }
    Rig rig;
    rig.Count();
    rig.reg.RemoveKey(HKEY_LOCAL_MACHINE_, rig.Maker());
    WriteInstallState(rig.applet, true);
    EXPECT_FALSE(rig.reg.KeyExists(HKEY_LOCAL_MACHINE_, rig.Maker()));

    // An empty reminder file in a system directory of 260 characters is found; a directory
    // that does not fit, or none, leaves nothing to look at.
    const struct {
        size_t directory;
        int64_t stage;
    } directories[] = {{260, -1}, {261, 1}, {0, 1}};
    for (const auto& d : directories) {
        Rig at;
        at.Count();
        at.sys.systemDirectory = std::string(d.directory, 'd');
        at.sys.files[at.sys.systemDirectory + "\\drivers\\orvel\\tools\\nudgel.exe"] = 0;
        WriteInstallState(at.applet, false);
        EXPECT_EQ(at.Number(at.Maker(), kOrvelIsInstalled), d.stage) << d.directory;
    }
}

TEST(SettingsStore, CacheIsInvalidatedOnlyWhereItsKeyExists) {
    Rig rig;
    InvalidateAppletCache(rig.reg);
    EXPECT_FALSE(rig.reg.KeyExists(HKEY_CURRENT_USER_, kAppletCacheKey));
    rig.reg.SetDword(HKEY_CURRENT_USER_, kAppletCacheKey, kCacheValid, 1);
    InvalidateAppletCache(rig.reg);
    EXPECT_EQ(rig.Number(kAppletCacheKey, kCacheValid, REG_DWORD_, HKEY_CURRENT_USER_), 0);
    EXPECT_EQ(rig.reg.OpenKeyCount(), 0);
}

// The TV part after a refresh: registry and box in, state and controls out.
struct TvCase {
    const char* what;
    bool boardHasTv;
    bool restartMode;
    int64_t available;  // -1: missing, -2: stored as REG_DWORD
    int64_t selected;   // -1: missing
    bool ticked;
    uint32_t offered, chosen;
    bool boxEnabled, boxChecked, palEnabled, palMarked, ntscEnabled, ntscMarked, groupEnabled;
};

TEST(TvControls, RefreshRules) {
    const TvCase cases[] = {
        {"no TV output", false, false, 3, 1, true, 0, 0, false, false, false, false, false, false,
         false},
        {"restart mode", true, true, 3, 1, true, 0, 0, false, false, false, false, false, false,
         false},
        {"box clear", true, false, 3, 1, false, 0, 0, true, false, false, false, false, false,
         false},
        {"available missing", true, false, -1, 1, true, 0, 0, false, false, false, false, false,
         false, false},
        {"available as dword", true, false, -2, 1, true, 0, 0, false, false, false, false, false,
         false, false},
        {"PAL only, nothing stored", true, false, 1, -1, true, 1, 1, true, true, true, true, false,
         false, true},
        {"NTSC only, nothing stored", true, false, 2, -1, true, 2, 2, true, true, false, false,
         true, true, true},
        {"both, NTSC stored", true, false, 3, 2, true, 3, 2, true, true, true, false, true, true,
         true},
        {"both, none stored", true, false, 3, 0, true, 3, 0, true, true, true, false, true, false,
         true},
        {"NTSC stored, PAL only", true, false, 1, 2, true, 1, 1, true, true, true, true, false,
         false, true},
        {"3 stored", true, false, 3, 3, true, 3, 0, true, true, true, false, true, false, true},
        {"7 stored", true, false, 2, 7, true, 2, 2, true, true, false, false, true, true, true},
        {"both, nothing stored", true, false, 3, -1, true, 3, 0, true, true, true, false, true,
         false, true},
        {"PAL stored, NTSC only", true, false, 2, 1, true, 2, 2, true, true, false, false, true,
         true, true},
    };
    for (const TvCase& c : cases) {
        Rig rig;
        rig.Count();
        rig.OpenSelection(false);
        if (c.available == -1)
            rig.reg.RemoveValue(HKEY_LOCAL_MACHINE_, rig.Settings(), kAvailableTvSet);
        else if (c.available == -2)
            rig.StoreDword(rig.Settings(), kAvailableTvSet, 3);
        else
            rig.reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, rig.Settings(), kAvailableTvSet,
                                  static_cast<uint32_t>(c.available));
        if (c.selected >= 0)
            rig.reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, rig.Settings(), kSelectedTvSet,
                                  static_cast<uint32_t>(c.selected));
        SelectionState& s = rig.state.selection;
        s.boardHasTv = c.boardHasTv;
        s.restartMode = c.restartMode;
        s.tvBoxTicked = c.ticked;
        s.chosenTv = 2;
        s.offeredTv = 3;
        for (int32_t id : {IDC_PAL, IDC_NTSC})
            rig.ui.At(id).checked = false;
        // Every control the refresh sets starts the other way.
        rig.ui.At(IDC_TV_AVAILABLE).enabled = !c.boxEnabled;
        rig.ui.At(IDC_TV_AVAILABLE).checked = !c.boxChecked;
        rig.ui.At(IDC_PAL).enabled = !c.palEnabled;
        rig.ui.At(IDC_NTSC).enabled = !c.ntscEnabled;
        rig.ui.At(IDC_TV_GROUP).enabled = !c.groupEnabled;
        RefreshTvControls(rig.applet, kDialog);
        SCOPED_TRACE(c.what);
        const bool untouched = !c.boardHasTv || c.restartMode;
        EXPECT_EQ(s.offeredTv, untouched ? 3u : c.offered);
        EXPECT_EQ(s.tvBoxTicked, untouched ? c.ticked : c.boxChecked);
        EXPECT_EQ(s.chosenTv, c.chosen);
        EXPECT_EQ(rig.ui.At(IDC_TV_AVAILABLE).enabled, c.boxEnabled);
        EXPECT_EQ(rig.ui.At(IDC_TV_AVAILABLE).checked, c.boxChecked);
        EXPECT_EQ(rig.ui.At(IDC_PAL).enabled, c.palEnabled);
        EXPECT_EQ(rig.ui.At(IDC_PAL).checked, c.palMarked);
        EXPECT_EQ(rig.ui.At(IDC_NTSC).enabled, c.ntscEnabled);
        EXPECT_EQ(rig.ui.At(IDC_NTSC).checked, c.ntscMarked);
        EXPECT_EQ(rig.ui.At(IDC_TV_GROUP).enabled, c.groupEnabled);
        EXPECT_EQ(rig.reg.OpenKeyCount(), 0);
    }
}

TEST(TvControls, StandardButtonsActOnlyOnOfferedStandards) {
    Rig rig(Board::kSingle, 2);
    rig.Count();
    rig.OpenSelection(false);
    rig.Press(IDC_TV_AVAILABLE);
    ASSERT_EQ(rig.state.selection.chosenTv, 2u);
    rig.Press(IDC_PAL);
    EXPECT_EQ(rig.state.selection.chosenTv, 2u) << "PAL is not offered";
    EXPECT_FALSE(rig.ui.At(IDC_PAL).checked);

    rig.reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, rig.Settings(), kAvailableTvSet, 3);
    rig.Press(IDC_TV_AVAILABLE);  // cleared: the choice goes
    EXPECT_EQ(rig.state.selection.chosenTv, 0u);
    rig.Press(IDC_TV_AVAILABLE);
    rig.Press(IDC_PAL);
    EXPECT_EQ(rig.state.selection.chosenTv, 1u);
    EXPECT_TRUE(rig.ui.At(IDC_PAL).checked);
    EXPECT_FALSE(rig.ui.At(IDC_NTSC).checked);
    rig.Press(IDC_NTSC);
    EXPECT_EQ(rig.state.selection.chosenTv, 2u);
    EXPECT_TRUE(rig.ui.At(IDC_NTSC).checked);
    rig.Press(IDC_PAL);
    rig.Press(IDOK_);
    EXPECT_EQ(rig.Number(rig.Settings(), kSelectedTvSet, REG_BINARY_), 1);
}

TEST(TvControls, KeysThatWillNotOpenChangeNothing) {
    Rig rig;
    rig.Count();
    rig.OpenSelection(false);
    rig.reg.RemoveKey(HKEY_LOCAL_MACHINE_, rig.Settings());
    rig.Press(IDC_TV_AVAILABLE);
    EXPECT_TRUE(rig.state.selection.tvBoxTicked);
    EXPECT_EQ(rig.state.selection.offeredTv, 0u);
    EXPECT_TRUE(rig.ui.At(IDC_TV_AVAILABLE).checked) << "as the click left it";
    EXPECT_FALSE(rig.ui.At(IDC_PAL).enabled);
}

}  // namespace
}  // namespace applet_test
