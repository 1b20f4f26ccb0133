// The mode catalogue: which modes are taken, how refresh rates merge, the order, the selected
// entry, the two-screen and symmetrical tests and the labels.
#include "tray/mode_catalogue.h"

#include <gtest/gtest.h>

#include "adapter/registry_layout.h"
#include "tests/tray/tray_rig.h"

namespace {

DevMode Mode(uint32_t width, uint32_t height, uint32_t bitsPerPixel = 16, uint32_t refresh = 60) {
    DevMode mode = {};
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bitsPerPixel;
    mode.dmDisplayFrequency = refresh;
    return mode;
}

std::string Label(const ModeCatalogue& catalogue, const DevMode& mode, bool withRate = false) {
    char label[kMenuTextSize];
    FormatModeLabel(catalogue, withRate, mode, label);
    return label;
}

// "WxHxBPP@HZ" of each entry, in catalogue order.
std::vector<std::string> Entries(const ModeCatalogue& catalogue) {
    std::vector<std::string> out;
    for (const DevMode& m : catalogue.entries) {
        out.push_back(std::to_string(m.dmPelsWidth) + "x" + std::to_string(m.dmPelsHeight) + "x" +
                      std::to_string(m.dmBitsPerPel) + "@" + std::to_string(m.dmDisplayFrequency));
    }
    return out;
}

void UseOtherDriver(TrayRig& rig) {
    rig.reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                      "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\vga\\Device0");
}

TEST(ModeCatalogue, MergingKeepsTheHighestRateWhereverItStands) {
    const uint32_t orders[][3] = {{60, 72, 75}, {75, 60, 72}, {72, 75, 60}};
    for (const auto& order : orders) {
        TrayRig rig;
        for (uint32_t rate : order)
            rig.board.AddMode(640, 480, 16, rate);
        rig.board.AddMode(800, 600, 16, 60);
        EXPECT_TRUE(BuildModeCatalogue(rig.tray, 0));
        EXPECT_EQ(Entries(rig.tray.catalogue),
                  (std::vector<std::string>{"640x480x16@75", "800x600x16@60"}));
        rig.ExpectAllReleased();
    }

    // Equal rates: the first enumerated record is kept whole.
    TrayRig rig;
    rig.board.AddMode(640, 480, 16, 75).dmDisplayFlags = 1;
    rig.board.AddMode(640, 480, 16, 75).dmDisplayFlags = 2;
    rig.board.AddMode(640, 480, 16, 60).dmDisplayFlags = 3;
    BuildModeCatalogue(rig.tray, 0);
    ASSERT_EQ(rig.tray.catalogue.entries.size(), 1u);
    EXPECT_EQ(rig.tray.catalogue.entries[0].dmDisplayFlags, 1u);
}

TEST(ModeCatalogue, WithoutTheBoardsDriverEachRateIsAnEntryLabelledWithIt) {
    TrayRig rig;
    UseOtherDriver(rig);
    rig.board.AddMode(640, 480, 16, 75);
    rig.board.AddMode(640, 480, 16, 60);
    rig.board.AddMode(640, 480, 16, 72);
    BuildModeCatalogue(rig.tray, 0);
    const ModeCatalogue& catalogue = rig.tray.catalogue;
    EXPECT_EQ(Entries(catalogue),
              (std::vector<std::string>{"640x480x16@60", "640x480x16@72", "640x480x16@75"}));
    EXPECT_FALSE(ModesMergedByRate(rig.tray));
    EXPECT_EQ(Label(catalogue, catalogue.entries[0], true), " 640 x  480 at 60 Hz");
    EXPECT_EQ(Label(catalogue, Mode(1024, 768, 16, 100), true), "1024 x  768 at 100 Hz");
    EXPECT_EQ(Label(catalogue, Mode(1280, 480, 16, 5), true), "1280 x  480 at  5 Hz")
        << "the rate form wins over the symmetrical one";

    // Off Windows NT the rates merge even without the driver.
    rig.sys.platformId = VER_PLATFORM_WIN32_WINDOWS_;
    EXPECT_TRUE(ModesMergedByRate(rig.tray));
}

TEST(ModeCatalogue, AcceptsModesByWidthRateAndDepth) {
    TrayRig rig;
    rig.board.AddMode(640, 480, 16, 56);  // too slow for a monitor
    rig.board.AddMode(640, 480, 8, 59);
    rig.board.AddMode(800, 600, 16, 0);   // hardware default
    rig.board.AddMode(1024, 768, 16, 1);  // hardware default
    rig.board.AddMode(319, 200, 16, 60);  // too narrow
    rig.board.AddMode(320, 200, 16, 0);
    rig.board.AddMode(1024, 768, 12, 60);  // a depth without a name
    rig.board.AddMode(640, 480, 4, 60);
    BuildModeCatalogue(rig.tray, 0);
    EXPECT_EQ(Entries(rig.tray.catalogue),
              (std::vector<std::string>{"640x480x4@60", "640x480x8@59", "320x200x16@0",
                                        "800x600x16@0", "1024x768x16@1"}));
    EXPECT_STREQ(DepthName(4), "16 Colors");

    // With the TV output in use the lowest rate is 49 Hz.
    TrayRig tv;
    tv.board.tvState = 1;
    tv.board.AddMode(640, 480, 8, 48);
    tv.board.AddMode(640, 480, 16, 49);
    tv.board.AddMode(800, 600, 16, 56);
    BuildModeCatalogue(tv.tray, 0);
    EXPECT_TRUE(tv.tray.state.tvOutputOn);
    EXPECT_EQ(Entries(tv.tray.catalogue),
              (std::vector<std::string>{"640x480x16@49", "800x600x16@56"}));
    tv.ExpectAllReleased();
}

TEST(ModeCatalogue, NoModeAcceptedShowsTheBoxAndLeavesItEmpty) {
    TrayRig rig;
    rig.board.AddMode(640, 480, 16, 50);
    rig.windows.answer = 2;  // Cancel: ignored
    EXPECT_FALSE(BuildModeCatalogue(rig.tray, kMainWindow));
    EXPECT_EQ(rig.tray.catalogue.entries.size(), 0u);
    EXPECT_EQ(rig.tray.catalogue.depthSet, 0u);
    ASSERT_EQ(rig.windows.boxes.size(), 1u);
    EXPECT_EQ(rig.windows.boxes[0].owner, kMainWindow);
    EXPECT_EQ(rig.windows.boxes[0].text, "No Display modes available.");
    EXPECT_EQ(rig.windows.boxes[0].caption, "SetDisp Error");
    EXPECT_EQ(rig.windows.boxes[0].flags, MB_OKCANCEL_);

    // A later build with modes replaces the empty catalogue; an empty one frees the old.
    rig.board.AddMode(640, 480, 16, 60);
    EXPECT_TRUE(BuildModeCatalogue(rig.tray, kMainWindow));
    EXPECT_EQ(rig.tray.catalogue.entries.size(), 1u);
    rig.board.modes.clear();
    EXPECT_FALSE(BuildModeCatalogue(rig.tray, kMainWindow));
    EXPECT_EQ(rig.tray.catalogue.entries.size(), 0u);
    EXPECT_EQ(CountModesOfDepth(rig.tray.catalogue, 16), 0u);
    EXPECT_FALSE(HasWideMode(rig.tray.catalogue));
    EXPECT_FALSE(HasSingleDepth(rig.tray.catalogue));
    rig.ExpectAllReleased();
}

TEST(ModeCatalogue, SortsByDepthSymmetricalFirstThenSize) {
    TrayRig rig;
    rig.board.AddMode(1024, 768, 16, 60);
    rig.board.AddMode(640, 480, 32, 60);
    rig.board.AddMode(640, 480, 16, 60);
    rig.board.AddMode(2560, 1024, 16, 60);  // symmetrical
    rig.board.AddMode(1280, 480, 16, 60);   // symmetrical
    rig.board.AddMode(1440, 600, 16, 60);
    rig.board.AddMode(800, 600, 8, 60);
    rig.board.AddMode(640, 400, 16, 60);
    BuildModeCatalogue(rig.tray, 0);
    EXPECT_EQ(Entries(rig.tray.catalogue),
              (std::vector<std::string>{"800x600x8@60", "1280x480x16@60", "2560x1024x16@60",
                                        "640x400x16@60", "640x480x16@60", "1024x768x16@60",
                                        "1440x600x16@60", "640x480x32@60"}));
    EXPECT_EQ(CountModesOfDepth(rig.tray.catalogue, 16), 6u);
    EXPECT_EQ(CountModesOfDepth(rig.tray.catalogue, 24), 0u);
    EXPECT_FALSE(HasSingleDepth(rig.tray.catalogue));
    EXPECT_TRUE(HasWideMode(rig.tray.catalogue));

    EXPECT_LT(CompareModes(Mode(640, 480, 16, 60), Mode(640, 480, 16, 75)), 0);
    EXPECT_GT(CompareModes(Mode(640, 480, 32), Mode(2048, 768, 16)), 0);
    EXPECT_GT(CompareModes(Mode(640, 480), Mode(1280, 480)), 0) << "symmetrical first";
    EXPECT_EQ(CompareModes(Mode(800, 600), Mode(800, 600)), 0);
    EXPECT_GT(CompareModes(Mode(0xFFFFFFFFu, 1), Mode(1, 1)), 0) << "compared unsigned";
}

TEST(ModeCatalogue, SelectedEntryIsTheModeInForce) {
    TrayRig rig;
    rig.board.AddMode(640, 480, 16, 60);
    rig.board.AddMode(1024, 768, 16, 60);
    rig.board.AddMode(1024, 768, 16, 75);
    rig.board.AddMode(800, 600, 16, 60);
    rig.board.screen = {16, 800, 600, 60};
    BuildModeCatalogue(rig.tray, 0);
    EXPECT_EQ(rig.tray.catalogue.selected, 1u);

    // The screen at a lower rate than the merged entry carries: the index stays where it was.
    rig.board.screen = {16, 1024, 768, 60};
    BuildModeCatalogue(rig.tray, 0);
    EXPECT_EQ(rig.tray.catalogue.selected, 1u);
    rig.board.screen = {16, 640, 480, 60};
    BuildModeCatalogue(rig.tray, 0);
    EXPECT_EQ(rig.tray.catalogue.selected, 0u) << "the first entry is one too";
    rig.board.screen = {16, 1024, 768, 75};
    BuildModeCatalogue(rig.tray, 0);
    EXPECT_EQ(rig.tray.catalogue.selected, 2u);

    // Off Windows NT: rates are 0 and the first entry is selected.
    rig.sys.platformId = VER_PLATFORM_WIN32_WINDOWS_;
    EXPECT_TRUE(BuildModeCatalogue(rig.tray, 0));
    EXPECT_EQ(rig.tray.catalogue.selected, 0u);
    EXPECT_EQ(Entries(rig.tray.catalogue),
              (std::vector<std::string>{"640x480x16@0", "800x600x16@0", "1024x768x16@0"}));
}

TEST(ModeCatalogue, OffNtTheStoredDepthsMakeTheDepthSet) {
    // The first pass tests the rate as enumerated, the second with rate 0: a slow 8-bit mode is
    // stored though the first pass did not count it, and its depth still gets its menu group.
    TrayRig rig;
    rig.sys.platformId = VER_PLATFORM_WIN32_WINDOWS_;
    rig.board.AddMode(640, 480, 8, 56);
    rig.board.AddMode(640, 480, 16, 60);
    rig.board.AddMode(800, 600, 16, 60);
    BuildModeCatalogue(rig.tray, 0);
    EXPECT_EQ(Entries(rig.tray.catalogue),
              (std::vector<std::string>{"640x480x8@0", "640x480x16@0"}))
        << "room for the two counted records only";
    EXPECT_EQ(rig.tray.catalogue.depthSet, (1u << 1) | (1u << 3));
}

TEST(ModeCatalogue, TwoScreenAndSymmetricalTests) {
    ModeCatalogue narrow;
    narrow.entries.Push(Mode(1920, 1200));
    ModeCatalogue wide;
    wide.entries.Push(Mode(2560, 1024));

    const struct {
        uint32_t width, height;
        bool twoScreen, symmetrical;
    } cases[] = {
        {639, 480, false, false},   {640, 480, false, false},   {640, 240, true, true},
        {800, 600, false, false},   {1024, 768, false, false},  {1280, 1024, false, false},
        {1920, 1080, false, false}, {1600, 1280, false, false}, {1760, 1100, false, false},
        {1280, 480, true, true},    {1600, 600, true, true},    {1440, 600, true, false},
        {1024, 600, true, false},   {1921, 100, true, false},   {2048, 768, true, true},
        {2048, 1024, true, false},  {2304, 864, true, true},    {2560, 1024, true, true},
        {2560, 768, true, false},   {2816, 5, true, true},      {3200, 1200, true, true},
        {768, 576, false, false},   {1152, 864, false, false},  {1408, 1024, false, false},
        {1600, 1000, false, false}, {1600, 1200, false, false}, {1640, 1024, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsTwoScreenMode(narrow, c.width, c.height), c.twoScreen)
            << c.width << " x " << c.height;
        EXPECT_EQ(IsSymmetricalMode(c.width, c.height), c.symmetrical)
            << c.width << " x " << c.height;
    }
    EXPECT_FALSE(IsTwoScreenMode(narrow, 1920, 1200)) << "no mode wider than 1920";
    EXPECT_TRUE(IsTwoScreenMode(wide, 1920, 1200));
    EXPECT_FALSE(HasWideMode(narrow));
    narrow.entries.Push(Mode(1921, 1));
    EXPECT_TRUE(HasWideMode(narrow));
    EXPECT_TRUE(IsUnequalTwoScreenMode(wide, 1440, 600));
    EXPECT_FALSE(IsUnequalTwoScreenMode(wide, 2048, 768));
}

TEST(ModeCatalogue, LabelsWithTheirFieldWidths) {
    ModeCatalogue narrow;
    narrow.entries.Push(Mode(1920, 1200));
    ModeCatalogue wide;
    wide.entries.Push(Mode(2560, 1024));

    EXPECT_EQ(Label(narrow, Mode(1024, 768)), "1024 x  768");
    EXPECT_EQ(Label(narrow, Mode(640, 480)), " 640 x  480");
    EXPECT_EQ(Label(narrow, Mode(320, 200)), " 320 x  200");
    EXPECT_EQ(Label(narrow, Mode(1440, 600)), " 800 x  600 +  640 x  480");
    EXPECT_EQ(Label(narrow, Mode(1280, 480)), " 640 x  480 Symmetrical");
    EXPECT_EQ(Label(narrow, Mode(2816, 600)), "1408 x  600 Symmetrical");
    EXPECT_EQ(Label(narrow, Mode(3200, 1201)), "1600 x 1201 Symmetrical");
    EXPECT_EQ(Label(narrow, Mode(2560, 768)), "2560 x  768 + 9999 x 9999");
    EXPECT_EQ(Label(narrow, Mode(1024, 600)), "1024 x  600 + 9999 x 9999");
    EXPECT_EQ(Label(narrow, Mode(1920, 1200)), "1920 x 1200");
    EXPECT_EQ(Label(wide, Mode(1920, 1200)), "1600 x 1200 +  320 x  240");
    EXPECT_EQ(Label(narrow, Mode(1920, 1024)), "1280 x 1024 +  640 x  480");
    EXPECT_EQ(Label(narrow, Mode(1920, 1080)), "1920 x 1080");
    EXPECT_EQ(Label(narrow, Mode(1920, 1000)), "1600 x 1280 +  320 x  240");
    EXPECT_EQ(Label(narrow, Mode(2240, 1200)), "1600 x 1200 +  640 x  480");
    EXPECT_EQ(Label(narrow, Mode(2240, 1280)), "1600 x 1280 +  640 x  480");
    EXPECT_EQ(Label(narrow, Mode(3008, 1024)), "1600 x 1280 + 1408 x 1024");
    EXPECT_EQ(Label(narrow, Mode(2688, 1024)), "1408 x 1024 + 1280 x 1024");
    EXPECT_EQ(Label(narrow, Mode(960, 480)), " 320 x  240 +  640 x  480");

    // One row of each two-screen layout: the first screen, then the second.
    const struct {
        uint32_t width, height;
        const char* label;
    } layouts[] = {
        {1120, 600, " 320 x  240 +  800 x  600"},  {1344, 768, " 320 x  240 + 1024 x  768"},
        {1472, 864, " 320 x  240 + 1152 x  864"},  {1600, 1024, " 320 x  240 + 1280 x 1024"},
        {1664, 768, "1024 x  768 +  640 x  480"},  {1728, 1024, " 320 x  240 + 1408 x 1024"},
        {1792, 864, "1152 x  864 +  640 x  480"},  {1824, 768, "1024 x  768 +  800 x  600"},
        {1952, 864, "1152 x  864 +  800 x  600"},  {2048, 1024, "1408 x 1024 +  640 x  480"},
        {2080, 1024, "1280 x 1024 +  800 x  600"}, {2176, 864, "1152 x  864 + 1024 x  768"},
        {2208, 1024, "1408 x 1024 +  800 x  600"}, {2304, 1024, "1280 x 1024 + 1024 x  768"},
        {2400, 1200, "1600 x 1200 +  800 x  600"}, {2432, 1024, "1408 x 1024 + 1024 x  768"},
        {2624, 1024, "1600 x 1280 + 1024 x  768"}, {2752, 1200, "1600 x 1200 + 1152 x  864"},
        {2880, 1280, "1600 x 1280 + 1280 x 1024"},
    };
    for (const auto& l : layouts)
        EXPECT_EQ(Label(narrow, Mode(l.width, l.height)), l.label) << l.width << " x " << l.height;

    // Absurd sizes are cut to the label's room, never written past it.
    const std::string huge = Label(narrow, Mode(0x7FFFFFFF, 0x80000000u));
    EXPECT_LE(huge.size(), kMenuTextSize - 1);
    EXPECT_EQ(huge.substr(0, 16), "2147483647 x -21");
}

}  // namespace
