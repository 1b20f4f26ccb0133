// The tray menu model: layout, texts, ids, check marks, grayed items and the height estimate,
// for the board's features as the driver reports them.
#include "tray/tray_menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "adapter/registry_layout.h"
#include "tests/tray/tray_rig.h"
#include "tray/display_state.h"
#include "tray/mode_catalogue.h"

namespace {

using Rows = std::vector<std::string>;

// Two 8-bit modes, one 15-bit mode and five 16-bit modes; the screen at 1024 x 768, 16 bits.
void AddThreeDepths(SimBoard& board) {
    board.AddMode(640, 480, 8, 60);
    board.AddMode(800, 600, 8, 60);
    board.AddMode(1024, 768, 15, 60);
    board.AddMode(1440, 600, 16, 60);
    board.AddMode(1280, 1024, 16, 60);
    board.AddMode(1024, 768, 16, 75);
    board.AddMode(800, 600, 16, 72);
    board.AddMode(640, 480, 16, 60);
}

Rows Build(TrayRig& rig) {
    rig.tray.menuItemHeight = 19;
    BuildModeCatalogue(rig.tray, kMainWindow);
    EXPECT_TRUE(BuildTrayMenu(rig.tray, kMainWindow));
    rig.ExpectAllReleased();
    return MenuRows(rig.tray.menu);
}

// Every mode item's id is 32878 + the index of the entry it shows.
void ExpectIdsMatchEntries(const Tray& tray) {
    const ModeCatalogue& catalogue = tray.catalogue;
    const uint32_t n = catalogue.entries.size();
    uint32_t modeItems = 0;
    for (const MenuItem& item : tray.menu.items) {
        if (item.kind != MenuItemKind::kCommand || item.id < kFirstModeId ||
            item.id >= kFirstModeId + n) {
            continue;
        }
        ++modeItems;
        const DevMode& entry = catalogue.entries[item.id - kFirstModeId];
        char label[kMenuTextSize];
        FormatModeLabel(catalogue, false, entry, label);
        // A depth with one mode shows that mode as the depth's name.
        const bool depthItem = std::string(item.text) == DepthName(entry.dmBitsPerPel);
        if (!depthItem) {
            EXPECT_STREQ(item.text, label) << "id " << item.id;
        }
    }
    EXPECT_GE(modeItems, n);
}

TEST(TrayMenu, FullLayoutWithEveryFeature) {
    TrayRig rig;
    AddThreeDepths(rig.board);
    const Rows rows = Build(rig);
    EXPECT_EQ(rows, (Rows{
                        "Available Colors: #0 [disabled]",
                        "256 Colors >",
                        "  Resolution: #32877 [disabled]",
                        "   640 x  480 #32878",
                        "   800 x  600 #32879",
                        "32768 Colors #32880",
                        "65536 Colors [checked] >",
                        "  Resolution: #32877 [disabled]",
                        "   640 x  480 #32881",
                        "   800 x  600 #32882",
                        "  1024 x  768 #32883 [checked]",
                        "  1280 x 1024 #32884",
                        "   800 x  600 +  640 x  480 #32885",
                        "---",
                        "Resolution: #32877 [disabled]",
                        " 640 x  480 #32881",
                        " 800 x  600 #32882",
                        "1024 x  768 #32883 [checked]",
                        "1280 x 1024 #32884",
                        " 800 x  600 +  640 x  480 #32885",
                        "---",
                        "Display Settings Menu #32886",
                        "---",
                        "Hardware Zoom #32887",
                        "---",
                        "Video Optimization >",
                        "  Video Optimization ON #32888 [checked]",
                        "  Video Optimization OFF #32889",
                        "  Video Optimization AUTO #32890",
                        "---",
                        "TV config >",
                        "  Flickerfixing on #32891",
                        "TV-Mode on #32892",
                        "---",
                        "Grayscale #32893 [grayed]",
                    }));
    EXPECT_EQ(rig.tray.menu.rows, 22u);
    EXPECT_EQ(MenuHeightEstimate(rig.tray), 22u * 19u);
    EXPECT_EQ(rig.tray.menu.fixedBase, 32886u);
    EXPECT_EQ(rig.shell.installs, 1);
    ExpectIdsMatchEntries(rig.tray);
}

TEST(TrayMenu, TwelveEntriesPutTheFixedItemsFrom32890) {
    TrayRig rig;
    for (uint32_t w : {640, 800, 1024, 1152})
        rig.board.AddMode(w, w * 3 / 4, 8, 60);
    for (uint32_t w : {640, 800, 1024, 1280, 1600})
        rig.board.AddMode(w, w == 1280 ? 1024 : w * 3 / 4, 16, 60);
    for (uint32_t w : {640, 800, 1024})
        rig.board.AddMode(w, w * 3 / 4, 32, 60);
    // A depth without a name is left out of the catalogue, so every id stays 32878 + index.
    rig.board.AddMode(1024, 768, 12, 60);
    rig.board.screen = {32, 800, 600, 60};
    rig.board.grayscaleState = 1;
    const Rows rows = Build(rig);
    ASSERT_EQ(rig.tray.catalogue.entries.size(), 12u);
    EXPECT_EQ(rig.tray.menu.fixedBase, 32890u);
    ExpectIdsMatchEntries(rig.tray);

    const auto trueColor = std::find(rows.begin(), rows.end(), "True Color [checked] >");
    ASSERT_NE(trueColor, rows.end());
    EXPECT_EQ(trueColor[1], "  Resolution: #32877 [disabled]");
    EXPECT_EQ(trueColor[2], "   640 x  480 #32887");
    const Rows tail(trueColor + 5, rows.end());
    EXPECT_EQ(tail, (Rows{
                        "---",
                        "Resolution: #32877 [disabled]",
                        " 640 x  480 #32887",
                        " 800 x  600 #32888 [checked]",
                        "1024 x  768 #32889",
                        "---",
                        "Display Settings Menu #32890",
                        "---",
                        "Hardware Zoom #32891",
                        "---",
                        "Video Optimization >",
                        "  Video Optimization ON #32892 [checked]",
                        "  Video Optimization OFF #32893",
                        "  Video Optimization AUTO #32894",
                        "---",
                        "TV config >",
                        "  Flickerfixing on #32895",
                        "TV-Mode on #32896",
                        "---",
                        "Grayscale #32897 [grayed]",
                    }));
    // 1 + 2 depths (32 is not counted) + 2 + 3 modes + 2 + 2 + 2 + 3 + 2.
    EXPECT_EQ(rig.tray.menu.rows, 19u);
}

TEST(TrayMenu, OneDepthShowsItsNameAndNoColourList) {
    TrayRig rig;
    rig.board.deviceName = "lumoravga";  // the board's driver in its VGA fallback
    rig.board.AddMode(640, 480, 16, 60);
    rig.board.AddMode(1024, 768, 16, 60);
    rig.board.AddMode(800, 600, 16, 60);
    EXPECT_EQ(Build(rig), (Rows{
                              "65536 Colors #0",
                              "---",
                              "Resolution: #32877 [disabled]",
                              " 640 x  480 #32878",
                              " 800 x  600 #32879",
                              "1024 x  768 #32880 [checked]",
                              "---",
                              "Display Settings Menu #32881",
                          }));
    EXPECT_EQ(rig.tray.menu.rows, 2u + 3u + 2u);
    EXPECT_FALSE(HasBoardFeatures(rig.tray));
}

TEST(TrayMenu, ADepthWithOneModeIsAPlainItem) {
    TrayRig rig;
    rig.board.deviceName = "vga";
    rig.board.AddMode(640, 480, 8, 60);
    rig.board.AddMode(1024, 768, 16, 60);
    rig.board.AddMode(800, 600, 16, 60);
    const Rows rows = Build(rig);
    EXPECT_EQ(rows[1], "256 Colors #32878");
    EXPECT_EQ(rows[2], "65536 Colors [checked] >");

    // A 4-bit mode comes first; below the depth in force the fixed items follow all mode ids.
    rig.board.AddMode(640, 480, 4, 60);
    rig.board.screen = {8, 640, 480, 60};
    EXPECT_EQ(
        Build(rig),
        (Rows{"Available Colors: #0 [disabled]", "16 Colors #32878", "256 Colors #32879 [checked]",
              "65536 Colors >", "  Resolution: #32877 [disabled]", "   800 x  600 #32880",
              "  1024 x  768 #32881", "---", "Resolution: #32877 [disabled]",
              " 640 x  480 #32879 [checked]", "---", "Display Settings Menu #32882"}));
}

TEST(TrayMenu, NoModesGiveNoModeItems) {
    TrayRig rig;
    rig.board.deviceName = "vga";
    rig.board.AddMode(640, 480, 16, 30);  // refused: below 59 Hz
    // No depth at all is not a single depth: the colour list's header stays, empty.
    EXPECT_EQ(Build(rig),
              (Rows{"Available Colors: #0 [disabled]", "---", "Resolution: #32877 [disabled]",
                    "---", "Display Settings Menu #32878"}));
}

TEST(TrayMenu, VideoOptimizationFromValidVideoModes) {
    const struct {
        const char* what;
        uint32_t type;
        SimRegistry::Bytes data;
        int32_t setting;
        const char* on;
        const char* off;
        const char* autoItem;
    } cases[] = {
        {"ON", REG_BINARY_, {2, 0, 0, 0x80}, 2, "[checked]", "", ""},
        {"AUTO", REG_BINARY_, {4, 0, 0, 0x80}, 4, "", "", "[checked]"},
        {"OFF", REG_BINARY_, {0, 0, 0, 0x80}, 0, "", "[checked]", ""},
        {"bit 0 ignored", REG_BINARY_, {3, 0, 0, 0x80}, 2, "[checked]", "", ""},
        {"AUTO and more", REG_BINARY_, {6, 0, 0, 0x80}, 6, "", "", "[checked]"},
        {"bit 31 clear", REG_BINARY_, {2, 0, 0, 0}, -1, nullptr, nullptr, nullptr},
        {"bit 0 alone", REG_BINARY_, {1, 0, 0, 0}, -1, nullptr, nullptr, nullptr},
        {"REG_DWORD", REG_DWORD_, {2, 0, 0, 0x80}, -1, nullptr, nullptr, nullptr},
        {"8 bytes", REG_BINARY_, {2, 0, 0, 0x80, 0, 0, 0, 0}, -1, nullptr, nullptr, nullptr},
        {"2 bytes", REG_BINARY_, {2, 0}, -1, nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TrayRig rig;
        rig.board.AddMode(640, 480, 16, 60);
        rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, rig.board.SettingsKey(), kValidVideoModes, c.type,
                       c.data);
        const Rows rows = Build(rig);
        EXPECT_EQ(rig.tray.state.videoOptimization, c.setting);
        const auto at = std::find(rows.begin(), rows.end(), "Video Optimization >");
        if (!c.on) {
            EXPECT_TRUE(at == rows.end());
            EXPECT_EQ(rows.back(), "Grayscale #32886 [grayed]") << "the ids stay reserved";
            continue;
        }
        ASSERT_TRUE(at != rows.end());
        const auto flag = [](const char* f) { return std::string(*f ? " " : "") + f; };
        EXPECT_EQ(at[1], std::string("  Video Optimization ON #32881") + flag(c.on));
        EXPECT_EQ(at[2], std::string("  Video Optimization OFF #32882") + flag(c.off));
        EXPECT_EQ(at[3], std::string("  Video Optimization AUTO #32883") + flag(c.autoItem));
    }

    TrayRig missing;
    missing.board.AddMode(640, 480, 16, 60);
    missing.reg.RemoveValue(HKEY_LOCAL_MACHINE_, missing.board.SettingsKey(), kValidVideoModes);
    EXPECT_FALSE(ReadValidVideoModes(missing.tray));
    EXPECT_EQ(missing.tray.state.videoOptimization, -1);
    missing.ExpectAllReleased();
}

TEST(TrayMenu, TvOutputInUseGraysVideoOptimizationAndAt8BitsFlickerFixing) {
    TrayRig rig;
    rig.board.AddMode(640, 480, 8, 60);
    rig.board.AddMode(800, 600, 8, 60);
    rig.board.screen = {8, 800, 600, 60};
    rig.board.tvState = 1;
    rig.board.flickerLevel = 5;
    rig.board.grayscaleState = 1;
    const Rows rows = Build(rig);
    // Two modes: the fixed base is 32880.
    const Rows tail(rows.end() - 9, rows.end());
    EXPECT_EQ(tail, (Rows{
                        "Hardware Zoom #32881",
                        "---",
                        "Video Optimization #32882 [grayed]",
                        "---",
                        "TV config >",
                        "  Flickerfixing off #32885 [checked] [grayed]",
                        "TV-Mode off #32886",
                        "---",
                        "Grayscale #32887 [checked]",
                    }));

    // At 16 bits with the TV output in use, flicker fixing stays selectable.
    TrayRig sixteen;
    sixteen.board.AddMode(640, 480, 16, 60);
    sixteen.board.tvState = 1;
    const Rows more = Build(sixteen);
    EXPECT_NE(std::find(more.begin(), more.end(), "  Flickerfixing on #32884"), more.end());
}

TEST(TrayMenu, NoTvStandardChosenGraysTvConfig) {
    TrayRig rig;
    rig.board.selectedTvSet = 0;
    rig.Reinstall();
    rig.board.AddMode(640, 480, 16, 60);
    const Rows rows = Build(rig);
    const Rows tail(rows.end() - 4, rows.end());
    EXPECT_EQ(tail, (Rows{"---", "TV config #32885 [grayed]", "---", "Grayscale #32886 [grayed]"}));
    // 2 + 1 mode + 2 + zoom 2 + video 2 + TV 2 + grayscale 2.
    EXPECT_EQ(rig.tray.menu.rows, 13u);

    TrayRig none;
    none.board.availableTvSet = 0;
    none.Reinstall();
    none.board.AddMode(640, 480, 16, 60);
    const Rows without = Build(none);
    EXPECT_EQ(without.back(), "Grayscale #32886 [grayed]") << "the TV ids stay reserved";
    EXPECT_EQ(std::count(without.begin(), without.end(), "TV config >"), 0);
}

TEST(TrayMenu, ADriverThatAnswersNoEscape) {
    TrayRig rig;
    rig.board.answersTv = false;
    rig.board.answersFeatures = false;
    rig.board.AddMode(640, 480, 16, 60);
    EXPECT_EQ(Build(rig), (Rows{
                              "65536 Colors #0",
                              "---",
                              "Resolution: #32877 [disabled]",
                              " 640 x  480 #32878",
                              "---",
                              "Display Settings Menu #32879",
                              "---",
                              "Video Optimization >",
                              "  Video Optimization ON #32881 [checked]",
                              "  Video Optimization OFF #32882",
                              "  Video Optimization AUTO #32883",
                              "---",
                              "TV config >",
                              "  Flickerfixing on #32884",
                              "TV-Mode on #32885",
                          }));
}

TEST(TrayMenu, BoardFeaturesNeedTheDriverAndNoVgaDeviceName) {
    TrayRig rig;
    rig.board.AddMode(640, 480, 16, 60);
    RefreshDisplayState(rig.tray, 0);
    EXPECT_TRUE(HasBoardFeatures(rig.tray));

    // The 32-character name need not be terminated: what follows it is not part of the name.
    DevMode& first = rig.board.modes[0];
    std::memset(first.dmDeviceName, 'x', sizeof(first.dmDeviceName));
    first.dmDeviceName[30] = 'v';
    first.dmDeviceName[31] = 'g';
    first.dmSpecVersion = 'a';
    RefreshDisplayState(rig.tray, 0);
    EXPECT_TRUE(HasBoardFeatures(rig.tray));
    first.dmDeviceName[29] = 'v';
    first.dmDeviceName[30] = 'g';
    first.dmDeviceName[31] = 'a';
    RefreshDisplayState(rig.tray, 0);
    EXPECT_FALSE(HasBoardFeatures(rig.tray));
    std::strcpy(first.dmDeviceName, "VGA");  // case-sensitive
    RefreshDisplayState(rig.tray, 0);
    EXPECT_TRUE(HasBoardFeatures(rig.tray));

    rig.sys.platformId = VER_PLATFORM_WIN32_WINDOWS_;
    EXPECT_FALSE(HasBoardFeatures(rig.tray)) << "the driver counts on Windows NT only";
    rig.ExpectAllReleased();
}

TEST(TrayMenu, AFailedInsertLeavesNoMenu) {
    TrayRig rig;
    rig.board.AddMode(640, 480, 16, 60);
    Build(rig);
    DestroyTrayMenu(rig.tray, kMainWindow);
    EXPECT_EQ(rig.shell.removals, 1);
    EXPECT_EQ(rig.tray.menu.menuCount, 0u);
    rig.shell.installFails = true;
    EXPECT_FALSE(BuildTrayMenu(rig.tray, kMainWindow));
    EXPECT_EQ(rig.tray.menu.items.size(), 0u);
    EXPECT_TRUE(MenuRows(rig.tray.menu).empty());
}

}  // namespace
