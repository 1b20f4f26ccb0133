// The display state: the screen's values with the 15-bit probe, the refresh rate, the TV and
// flicker states, and the zoom button's upkeep.
#include "tray/display_state.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/tray/tray_rig.h"
#include "tray/mode_catalogue.h"
#include "tray/zoom_button.h"

namespace {

TEST(DisplayState, ReadsTheScreenOverModeZero) {
    const struct {
        uint32_t screenDepth;
        bool probeFails;
        uint32_t expected;
        uint32_t probes;
    } cases[] = {
        {15, false, 15, 1},  // white comes back with bit 15 clear
        {16, false, 16, 1},  // bit 15 set
        {15, true, 16, 1},   // no bitmap: stays 16
        {24, false, 24, 0}, {32, false, 32, 0}, {8, false, 8, 0},
    };
    for (const auto& c : cases) {
        TrayRig rig;
        rig.board.AddMode(640, 480, 8, 60);
        rig.board.screen = {c.screenDepth, 1280, 1024, 85};
        rig.board.probeBitmapFails = c.probeFails;
        RefreshDisplayState(rig.tray, kMainWindow);
        const DisplayState& state = rig.tray.state;
        EXPECT_EQ(state.bitsPerPixel, c.expected) << "screen at " << c.screenDepth;
        EXPECT_EQ(rig.board.probes, c.probes) << "screen at " << c.screenDepth;
        EXPECT_EQ(state.firstMode.dmBitsPerPel, c.expected);
        EXPECT_EQ(state.width, 1280u);
        EXPECT_EQ(state.firstMode.dmPelsHeight, 1024u);
        EXPECT_EQ(state.refreshRate, 85u);
        EXPECT_EQ(state.firstMode.dmDisplayFrequency, 85u);
        EXPECT_STREQ(state.firstMode.dmDeviceName, "lumora");
        EXPECT_EQ(state.firstMode.dmSize, sizeof(DevMode)) << "the rest of mode 0 is kept";
        rig.ExpectAllReleased();
    }
}

TEST(DisplayState, NoModeZeroEmptiesTheDeviceNameOnly) {
    TrayRig rig;
    rig.board.AddMode(640, 480, 8, 60);
    RefreshDisplayState(rig.tray, 0);
    rig.board.modes.clear();
    RefreshDisplayState(rig.tray, 0);
    EXPECT_EQ(rig.tray.state.firstMode.dmDeviceName[0], 0);
    EXPECT_EQ(rig.tray.state.firstMode.dmDeviceName[1], 'u') << "only the first character";
    EXPECT_EQ(rig.tray.state.firstMode.dmSize, sizeof(DevMode));
    EXPECT_EQ(rig.tray.state.width, 1024u);
}

TEST(DisplayState, RefreshRateIsZeroOffWindowsNt) {
    TrayRig rig;
    rig.sys.platformId = VER_PLATFORM_WIN32_WINDOWS_;
    RefreshDisplayState(rig.tray, 0);
    EXPECT_EQ(rig.tray.state.refreshRate, 0u);
    EXPECT_EQ(rig.tray.state.width, 1024u);
}

TEST(DisplayState, TvAndFlickerStatesComeFromTheDriverWhenATvSetExists) {
    TrayRig rig;
    rig.board.tvState = 1;
    rig.board.flickerLevel = 5;
    RefreshDisplayState(rig.tray, 0);
    EXPECT_TRUE(rig.tray.state.tvOutputOn);
    EXPECT_TRUE(rig.tray.state.flickerFixingOn);
    rig.board.tvState = 0;
    rig.board.flickerLevel = 2;
    RefreshDisplayState(rig.tray, 0);
    EXPECT_FALSE(rig.tray.state.tvOutputOn);
    EXPECT_FALSE(rig.tray.state.flickerFixingOn);

    // No TV set: no escape at all, the TV output off and flicker fixing as it was.
    TrayRig none;
    none.board.availableTvSet = 0;
    none.Reinstall();
    none.board.tvState = 1;
    none.tray.state.tvOutputOn = true;
    none.tray.state.flickerFixingOn = true;
    RefreshDisplayState(none.tray, 0);
    EXPECT_TRUE(none.board.escapes.empty());
    EXPECT_FALSE(none.tray.state.tvOutputOn);
    EXPECT_TRUE(none.tray.state.flickerFixingOn);

    // A driver that answers nothing: both off.
    TrayRig silent;
    silent.board.answersTv = false;
    silent.tray.state.flickerFixingOn = true;
    RefreshDisplayState(silent.tray, 0);
    EXPECT_FALSE(silent.tray.state.tvOutputOn);
    EXPECT_FALSE(silent.tray.state.flickerFixingOn);
    silent.ExpectAllReleased();
}

TEST(DisplayState, TheButtonFollowsUnequalTwoScreenModesOnly) {
    TrayRig rig;
    rig.board.AddMode(1440, 600, 16, 60);
    rig.board.screen = {16, 1440, 600, 60};
    RefreshDisplayState(rig.tray, kMainWindow);
    ASSERT_EQ(rig.shell.buttonsCreated.size(), 1u);
    EXPECT_EQ(rig.tray.state.zoomButton, rig.shell.buttonsCreated[0]);
    RefreshDisplayState(rig.tray, kMainWindow);
    EXPECT_EQ(rig.shell.buttonsCreated.size(), 1u) << "one button at a time";

    // Zoom on in a symmetrical mode: the state refresh does not count the zoom and drops it.
    rig.board.screen = {16, 2048, 768, 60};
    rig.tray.state.hardwareZoomOn = true;
    RefreshDisplayState(rig.tray, kMainWindow);
    EXPECT_EQ(rig.tray.state.zoomButton, 0u);
    EXPECT_EQ(rig.shell.buttonsDestroyed.size(), 1u);
    // ...and the upkeep after a menu command, which counts it, brings it back.
    UpdateZoomButton(rig.tray, kMainWindow, true);
    EXPECT_NE(rig.tray.state.zoomButton, 0u);
    rig.tray.state.hardwareZoomOn = false;
    UpdateZoomButton(rig.tray, kMainWindow, true);
    EXPECT_EQ(rig.tray.state.zoomButton, 0u);
    EXPECT_EQ(rig.shell.buttonsDestroyed.size(), 2u);
    DestroyZoomButton(rig.tray);
    EXPECT_EQ(rig.shell.buttonsDestroyed.size(), 2u) << "nothing to destroy";
}

}  // namespace
