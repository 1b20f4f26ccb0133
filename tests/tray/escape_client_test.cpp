// The board's features through escapes 100 and 110: the words sent, the replies read, the flags
// kept, and the two registry values of the TV output.
#include "tray/escape_client.h"

#include <gtest/gtest.h>

#include "adapter/registry_layout.h"
#include "tests/tray/tray_rig.h"

namespace {

std::vector<uint32_t> Sent(uint32_t w0, uint32_t w1, size_t count) {
    std::vector<uint32_t> words(count, 0);
    words[0] = w0;
    words[1] = w1;
    return words;
}

void SetMode(Tray& tray, uint32_t width, uint32_t height) {
    tray.state.width = tray.state.firstMode.dmPelsWidth = width;
    tray.state.height = tray.state.firstMode.dmPelsHeight = height;
}

TEST(EscapeClient, TvOutputAndFlickerFromTheStateWord) {
    struct Case {
        uint32_t tvState;
        uint32_t status;
        bool active;
    } cases[] = {
        {1, 0, true},      {2, 0, true},
        {0x80, 0, true},   {1, 1, false},  // status 1: not active whatever the state
        {0x100, 0, false},                 // bits 0 to 7 clear
        {0, 0, false},     {1, 7, true},
    };
    for (const Case& c : cases) {
        TrayRig rig;
        rig.board.tvState = c.tvState;
        rig.board.tvStatus = c.status;
        EXPECT_EQ(IsTvOutputActive(rig.tray), c.active) << c.tvState << "/" << c.status;
        auto calls = rig.TakeEscapes();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].code, ESC_TV_CONTROL);
        EXPECT_EQ(calls[0].bytes, 32u);
        EXPECT_EQ(calls[0].sent, Sent(TV_QUERY, 0, 8)) << "a query is all zeros";
        rig.ExpectAllReleased();
    }
    for (uint32_t level = 0; level < 8; ++level) {
        TrayRig rig;
        rig.board.flickerLevel = level;
        EXPECT_EQ(IsFlickerFixingOn(rig.tray), level != 2) << "level " << level;
    }
}

TEST(EscapeClient, ADriverThatAnswersNothing) {
    TrayRig rig;
    rig.board.answersTv = false;
    rig.board.answersFeatures = false;
    Tray& tray = rig.tray;
    SetMode(tray, 1024, 768);
    tray.state.hardwareZoomOn = true;
    tray.state.grayscaleOn = true;
    tray.state.panStopOn = true;

    EXPECT_FALSE(IsTvOutputActive(tray));
    EXPECT_FALSE(IsFlickerFixingOn(tray));
    EXPECT_FALSE(SetVideoOptimization(tray, VideoOptimization::kOn));
    Rect r = QueryVisibleRect(tray);  // zoom on, feature 7 unanswered: the whole desktop
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 1024);
    EXPECT_EQ(r.bottom, 768);

    // Switches leave the flags as they were.
    ToggleHardwareZoom(tray);
    TogglePanStop(tray);
    ToggleGrayscale(tray);
    EXPECT_TRUE(tray.state.hardwareZoomOn);
    EXPECT_TRUE(tray.state.panStopOn);
    EXPECT_TRUE(tray.state.grayscaleOn);

    // Queries report the features absent and clear their flags.
    EXPECT_FALSE(QueryHardwareZoom(tray));
    EXPECT_FALSE(tray.state.hardwareZoomOn);
    EXPECT_FALSE(QueryGrayscale(tray));
    EXPECT_FALSE(tray.state.grayscaleOn);

    // With the zoom off no escape is sent for the rectangle.
    rig.TakeEscapes();
    r = QueryVisibleRect(tray);
    EXPECT_TRUE(rig.board.escapes.empty());
    EXPECT_EQ(r.right, 1024);
    rig.ExpectAllReleased();
}

TEST(EscapeClient, TvValuesMustBeNonzeroFourByteBinaries) {
    struct Case {
        const char* what;
        uint32_t type;
        SimRegistry::Bytes data;
        bool expected;
    } cases[] = {
        {"binary 1", REG_BINARY_, {1, 0, 0, 0}, true},
        {"binary 3", REG_BINARY_, {3, 0, 0, 0}, true},
        {"binary 4", REG_BINARY_, {4, 0, 0, 0}, true},
        {"high byte only", REG_BINARY_, {0, 0, 0, 0x80}, true},
        {"binary 0", REG_BINARY_, {0, 0, 0, 0}, false},
        {"REG_DWORD 1", REG_DWORD_, {1, 0, 0, 0}, false},
        {"two bytes", REG_BINARY_, {1, 0}, false},
        {"eight bytes", REG_BINARY_, {1, 0, 0, 0, 0, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        TrayRig rig;
        const std::string key = rig.board.SettingsKey();
        rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, key, kAvailableTvSet, c.type, c.data);
        rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, key, kSelectedTvSet, c.type, c.data);
        EXPECT_EQ(IsTvSetAvailable(rig.tray), c.expected) << c.what;
        EXPECT_EQ(IsTvSetSelected(rig.tray), c.expected) << c.what;
        rig.ExpectAllReleased();
    }

    TrayRig missing;
    missing.reg.RemoveValue(HKEY_LOCAL_MACHINE_, missing.board.SettingsKey(), kAvailableTvSet);
    missing.reg.RemoveValue(HKEY_LOCAL_MACHINE_, missing.board.SettingsKey(), kSelectedTvSet);
    EXPECT_FALSE(IsTvSetAvailable(missing.tray));
    EXPECT_FALSE(IsTvSetSelected(missing.tray));

    // The values are read under the driver path the device map names, afresh each time.
    TrayRig other;
    other.reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                        "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\vga\\Device0");
    EXPECT_FALSE(IsTvSetAvailable(other.tray));
    EXPECT_FALSE(IsTvSetSelected(other.tray));
    other.ExpectAllReleased();
}

TEST(EscapeClient, FlickerFixingAndVideoOptimizationRequests) {
    TrayRig rig;
    SetFlickerFixing(rig.tray, true);
    EXPECT_TRUE(rig.tray.state.flickerFixingOn);
    EXPECT_EQ(rig.board.flickerLevel, 5u);
    SetFlickerFixing(rig.tray, false);
    EXPECT_EQ(rig.board.flickerLevel, 2u);
    auto calls = rig.TakeEscapes();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].sent, Sent(TV_SET, 0x05000000u, 8));
    EXPECT_EQ(calls[1].sent, Sent(TV_SET, 0x02000000u, 8));

    // The requested value is kept even when the driver does not answer.
    rig.board.answersTv = false;
    SetFlickerFixing(rig.tray, true);
    EXPECT_TRUE(rig.tray.state.flickerFixingOn);

    const struct {
        VideoOptimization item;
        uint32_t sent;
    } items[] = {
        {VideoOptimization::kOn, 2}, {VideoOptimization::kOff, 0}, {VideoOptimization::kAuto, 4}};
    for (const auto& item : items) {
        rig.TakeEscapes();
        EXPECT_TRUE(SetVideoOptimization(rig.tray, item.item));
        ASSERT_EQ(rig.board.escapes.size(), 1u);
        EXPECT_EQ(rig.board.escapes[0].code, ESC_FEATURE_CONTROL);
        EXPECT_EQ(rig.board.escapes[0].sent, Sent(FEATURE_VIDEO_OPTIMIZATION, item.sent, 4));
    }
    rig.board.refusesVideoOptimization = true;
    EXPECT_FALSE(SetVideoOptimization(rig.tray, VideoOptimization::kAuto)) << "word 3 = 1";
    rig.ExpectAllReleased();
}

TEST(EscapeClient, QueriesReadTheFeatureStates) {
    const struct {
        uint32_t state;
        bool available;
        bool on;
    } zoom[] = {{0, false, false}, {1, true, false}, {2, true, true}, {3, true, false}};
    for (const auto& c : zoom) {
        TrayRig rig;
        rig.board.zoomState = c.state;
        rig.tray.state.hardwareZoomOn = !c.on;
        EXPECT_EQ(QueryHardwareZoom(rig.tray), c.available) << "zoom state " << c.state;
        EXPECT_EQ(rig.tray.state.hardwareZoomOn, c.on) << "zoom state " << c.state;
        EXPECT_EQ(rig.board.escapes[0].sent, Sent(FEATURE_HARDWARE_ZOOM, FEATURE_QUERY, 4));
    }
    const struct {
        uint32_t state;
        bool on;
    } gray[] = {{0, false}, {1, true}, {2, false}};
    for (const auto& c : gray) {
        TrayRig rig;
        rig.board.grayscaleState = c.state;
        EXPECT_TRUE(QueryGrayscale(rig.tray)) << "any answer means the feature exists";
        EXPECT_EQ(rig.tray.state.grayscaleOn, c.on) << "grayscale state " << c.state;
    }
}

TEST(EscapeClient, SwitchesQueryThenSendTheOperationForTheState) {
    // Pan stop: on from 0 or 2, off from 1; the reply's words 2 and 3 go back with the switch.
    const struct {
        uint32_t state;
        uint32_t operation;
        bool on;
    } pan[] = {{0, FEATURE_ON, true}, {2, FEATURE_ON, true}, {1, FEATURE_OFF, false}};
    for (const auto& c : pan) {
        TrayRig rig;
        SetMode(rig.tray, 1440, 600);  // an unequal two-screen mode
        rig.board.panStopState = c.state;
        TogglePanStop(rig.tray);
        auto calls = rig.TakeEscapes();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].sent, Sent(FEATURE_PAN_STOP, FEATURE_QUERY, 4));
        std::vector<uint32_t> second = Sent(FEATURE_PAN_STOP, c.operation, 4);
        second[2] = c.state;
        EXPECT_EQ(calls[1].sent, second);
        EXPECT_EQ(rig.tray.state.panStopOn, c.on);
        rig.ExpectAllReleased();
    }

    TrayRig rig;
    rig.board.grayscaleState = 1;
    ToggleGrayscale(rig.tray);
    EXPECT_EQ(rig.board.escapes[1].sent[1], FEATURE_OFF);
    EXPECT_FALSE(rig.tray.state.grayscaleOn);
    ToggleGrayscale(rig.tray);
    EXPECT_EQ(rig.board.escapes[3].sent[1], FEATURE_ON);
    EXPECT_TRUE(rig.tray.state.grayscaleOn);
    rig.ExpectAllReleased();

    // A driver that writes word 0 of its reply still gets the feature number with the switch.
    WatchedBoard marking(rig.board);
    Tray marked{TrayPorts{rig.sys, rig.reg, rig.board, marking, rig.windows, rig.shell}};
    rig.TakeEscapes();
    ToggleGrayscale(marked);
    ASSERT_EQ(rig.board.escapes.size(), 2u);
    EXPECT_EQ(rig.board.escapes[1].sent[0], FEATURE_GRAYSCALE);
    EXPECT_FALSE(marked.state.grayscaleOn);
}

TEST(EscapeClient, PanStopNeedsTheZoomOrAnUnequalTwoScreenMode) {
    const struct {
        uint32_t width, height;
        bool zoom;
        bool sends;
    } cases[] = {
        {1024, 768, false, false}, {2048, 768, false, false},  // single, symmetrical
        {1440, 600, false, true},  {2560, 768, false, true},   // unequal two-screen
        {1024, 768, true, true},
    };
    for (const auto& c : cases) {
        TrayRig rig;
        SetMode(rig.tray, c.width, c.height);
        rig.tray.state.hardwareZoomOn = c.zoom;
        TogglePanStop(rig.tray);
        EXPECT_EQ(!rig.board.escapes.empty(), c.sends) << c.width << " x " << c.height;
        EXPECT_EQ(rig.tray.state.panStopOn, c.sends);
    }
}

TEST(EscapeClient, HardwareZoomOffReleasesThePanStopOrTheButton) {
    // On: one query and one switch to 1.
    TrayRig rig;
    SetMode(rig.tray, 1024, 768);
    ToggleHardwareZoom(rig.tray);
    EXPECT_TRUE(rig.tray.state.hardwareZoomOn);
    auto calls = rig.TakeEscapes();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].sent[1], FEATURE_ON);

    // Off in a single-screen mode with the pan stop off: the pan stop cannot be switched (the
    // zoom is off now), and the button goes.
    rig.tray.state.zoomButton = 0x77;
    ToggleHardwareZoom(rig.tray);
    EXPECT_FALSE(rig.tray.state.hardwareZoomOn);
    calls = rig.TakeEscapes();
    ASSERT_EQ(calls.size(), 2u) << "no pan-stop request";
    EXPECT_EQ(calls[1].sent[1], FEATURE_OFF);
    EXPECT_EQ(rig.tray.state.zoomButton, 0u);
    ASSERT_EQ(rig.shell.buttonsDestroyed.size(), 1u);
    EXPECT_EQ(rig.shell.buttonsDestroyed[0], 0x77u);
    rig.ExpectAllReleased();

    // Off in an unequal two-screen mode: the pan stop is switched on and the button stays.
    TrayRig two;
    SetMode(two.tray, 1440, 600);
    two.board.zoomState = 2;
    two.tray.state.hardwareZoomOn = true;
    two.tray.state.zoomButton = 0x77;
    ToggleHardwareZoom(two.tray);
    EXPECT_FALSE(two.tray.state.hardwareZoomOn);
    EXPECT_TRUE(two.tray.state.panStopOn);
    EXPECT_EQ(two.board.escapes.size(), 4u);
    EXPECT_EQ(two.board.escapes[2].sent[0], FEATURE_PAN_STOP);
    for (const auto& call : two.board.escapes)
        EXPECT_EQ(call.dc, two.board.escapes[0].dc) << "one device context for all of it";
    EXPECT_EQ(two.tray.state.zoomButton, 0x77u);
    EXPECT_TRUE(two.shell.buttonsDestroyed.empty());

    // Off with the pan stop already on: nothing more is sent and the button stays.
    TrayRig held;
    held.board.zoomState = 2;
    held.tray.state.panStopOn = true;
    held.tray.state.zoomButton = 0x77;
    ToggleHardwareZoom(held.tray);
    EXPECT_EQ(held.board.escapes.size(), 2u);
    EXPECT_EQ(held.tray.state.zoomButton, 0x77u);
    held.ExpectAllReleased();
}

TEST(EscapeClient, VisibleRectangleWhileZoomed) {
    TrayRig rig;
    SetMode(rig.tray, 1024, 768);
    rig.tray.state.hardwareZoomOn = true;
    rig.board.visibleRect = {100, 50, 612, 434};
    const Rect r = QueryVisibleRect(rig.tray);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right, 612);
    EXPECT_EQ(r.bottom, 434);
    ASSERT_EQ(rig.board.escapes.size(), 1u);
    EXPECT_EQ(rig.board.escapes[0].bytes, 60u);
    EXPECT_EQ(rig.board.escapes[0].sent, Sent(FEATURE_VISIBLE_RECT, 1, 15));
    rig.ExpectAllReleased();
}

}  // namespace
