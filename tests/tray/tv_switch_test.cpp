// Moving the desktop between monitor and TV: the driver requests, the interim mode, the work
// area, and every way the switch stops early.
#include "tray/tv_switch.h"

#include <gtest/gtest.h>

#include "adapter/registry_layout.h"
#include "tests/tray/tray_rig.h"
#include "tray/display_state.h"
#include "tray/escape_client.h"

namespace {

// A board with a TV output, a PAL set chosen, the desktop on the monitor at 1024 x 768, 16 bits,
// 75 Hz; the TV kept 800 x 600, 16 bits, 50 Hz, the monitor 1024 x 768, 16 bits, 75 Hz. Every
// mode change and pause goes into `trace` with the window port's calls.
struct TvRig : TrayRig {
    std::vector<std::string>& trace = windows.log;

    TvRig() {
        board.AddMode(640, 480, 8, 60);
        board.AddMode(640, 480, 16, 60);
        board.AddMode(800, 600, 16, 50);
        board.AddMode(1024, 768, 16, 75);
        board.lastTvMode[1] = 800;
        board.lastTvMode[2] = 600;
        board.lastTvMode[3] = 16;
        board.lastTvMode[4] = 50;
        Reinstall();
        sys.trace = &trace;
        windows.workArea = {0, 0, 1024, 740};
        windows.windows = {{0x300, "Untitled - Notepad", {}}, {0x301, "Program Manager", {}}};
        RefreshDisplayState(tray, kMainWindow);
        board.escapes.clear();
        board.changeAnswer = [this](const DevMode& mode, uint32_t flags) {
            trace.push_back("change " + std::to_string(mode.dmPelsWidth) + "x" +
                            std::to_string(mode.dmPelsHeight) + "x" +
                            std::to_string(mode.dmBitsPerPel) + " flags " + std::to_string(flags));
            return answer(mode, flags);
        };
    }
    std::function<int32_t(const DevMode&, uint32_t)> answer = [](const DevMode&, uint32_t) {
        return DISP_CHANGE_SUCCESSFUL_;
    };
    // The TV requests sent, as "query" or "set <action> <w3> <w4> <w5> <w6>".
    std::vector<std::string> TvRequests() {
        std::vector<std::string> out;
        for (const SimBoard::EscapeCall& call : board.escapes) {
            if (call.code != ESC_TV_CONTROL)
                continue;
            if (call.sent[0] == TV_QUERY) {
                out.push_back("query");
            } else {
                out.push_back("set " + std::to_string(call.sent[1]) + " " +
                              std::to_string(call.sent[3]) + " " + std::to_string(call.sent[4]) +
                              " " + std::to_string(call.sent[5]) + " " +
                              std::to_string(call.sent[6]));
            }
        }
        return out;
    }
};

using Lines = std::vector<std::string>;

TEST(ReadLastMode, TakesTheStoredFieldsOrTheDefaults) {
    TvRig rig;
    const LastMode tv = ReadLastMode(rig.tray, LastModeKind::kTv);
    EXPECT_EQ(tv.width, 800u);
    EXPECT_EQ(tv.height, 600u);
    EXPECT_EQ(tv.bitsPerPixel, 16u);
    EXPECT_EQ(tv.refreshRate, 50u);
    const LastMode monitor = ReadLastMode(rig.tray, LastModeKind::kMonitor);
    EXPECT_EQ(monitor.width, 1024u);
    EXPECT_EQ(monitor.refreshRate, 75u);

    struct Case {
        const char* what;
        uint32_t type;
        SimRegistry::Bytes data;
        LastMode expected;
    };
    const SimRegistry::Bytes twelve = {0, 0, 0, 0, 0x20, 3, 0, 0, 0x58, 2, 0, 0};
    SimRegistry::Bytes twenty(20, 0);
    twenty[4] = 0x20, twenty[5] = 3, twenty[8] = 0x58, twenty[9] = 2, twenty[12] = 32;
    twenty[16] = 72;
    const SimRegistry::Bytes words = {0, 0, 0, 0, 4,    3,    2,    1,    0xD, 0xC, 0xB, 0xA,
                                      8, 0, 0, 0, 0x44, 0x33, 0x22, 0x11, 0,   0,   0,   0};
    const Case cases[] = {
        {"little-endian words", REG_BINARY_, words, {0x01020304, 0x0A0B0C0D, 8, 0x11223344}},
        {"as REG_DWORD", REG_DWORD_, SimRegistry::Bytes(24, 1), kDefaultLastMode},
        {"longer than 24 bytes", REG_BINARY_, SimRegistry::Bytes(28, 1), kDefaultLastMode},
        {"12 bytes: width and height only", REG_BINARY_, twelve, {800, 600, 8, 1}},
        {"20 bytes: all four fields", REG_BINARY_, twenty, {800, 600, 32, 72}},
        {"empty", REG_BINARY_, {}, kDefaultLastMode},
    };
    for (const Case& c : cases) {
        rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, rig.board.SettingsKey(), kLastTvMode, c.type, c.data);
        const LastMode got = ReadLastMode(rig.tray, LastModeKind::kTv);
        EXPECT_EQ(got.width, c.expected.width) << c.what;
        EXPECT_EQ(got.height, c.expected.height) << c.what;
        EXPECT_EQ(got.bitsPerPixel, c.expected.bitsPerPixel) << c.what;
        EXPECT_EQ(got.refreshRate, c.expected.refreshRate) << c.what;
    }
    rig.reg.RemoveValue(HKEY_LOCAL_MACHINE_, rig.board.SettingsKey(), kLastTvMode);
    EXPECT_EQ(ReadLastMode(rig.tray, LastModeKind::kTv).width, 640u) << "missing";

    // Another driver in the device map: the defaults, without looking further.
    rig.reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                      "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\vga\\Device0");
    EXPECT_EQ(ReadLastMode(rig.tray, LastModeKind::kMonitor).width, 640u);
    EXPECT_EQ(ReadLastMode(rig.tray, LastModeKind::kMonitor).bitsPerPixel, 8u);
    rig.ExpectAllReleased();
}

TEST(SwitchTvOutput, OntoTheTvThroughTheInterimMode) {
    TvRig rig;
    SwitchTvOutput(rig.tray, true);

    EXPECT_EQ(rig.TvRequests(), (Lines{"query", "query", "set 1 640 480 8 60"}));
    EXPECT_EQ(rig.trace, (Lines{"change 640x480x8 flags 2", "change 640x480x8 flags 1", "sleep 50",
                                "change 800x600x16 flags 1"}));
    const DevMode& interim = rig.board.changes[0].mode;
    EXPECT_EQ(interim.dmSize, 156u);
    EXPECT_EQ(interim.dmFields, 0x5C0000u);
    EXPECT_EQ(interim.dmDisplayFrequency, kInterimRefreshRate);
    const DevMode& target = rig.board.changes[2].mode;
    EXPECT_EQ(target.dmFields, 0x1C0000u) << "the refresh is carried, not named";
    EXPECT_EQ(target.dmDisplayFrequency, 50u);
    EXPECT_EQ(target.dmDisplayFlags, 0u);

    EXPECT_TRUE(rig.tray.state.tvOutputOn);
    EXPECT_NE(rig.board.tvState, 0u);
    EXPECT_EQ(rig.tray.savedWorkArea.right, 1024);
    EXPECT_EQ(rig.tray.savedWorkArea.bottom, 740);
    EXPECT_TRUE(rig.windows.boxes.empty()) << "stored: nothing to tell";
    rig.ExpectAllReleased();
}

TEST(SwitchTvOutput, ModesTheSystemCannotStoreAreSetForTheSessionAndToldAfterTheSwitch) {
    TvRig rig;
    rig.board.storesDefaults = false;  // a user who may not write the display's defaults
    rig.tray.mainWindow = kMainWindow;
    size_t boxesDuring = 0;
    rig.board.onDisplayChange = [&] { boxesDuring += rig.windows.boxes.size(); };
    SwitchTvOutput(rig.tray, true);
    EXPECT_EQ(rig.trace, (Lines{"change 640x480x8 flags 2", "change 640x480x8 flags 1",
                                "change 640x480x8 flags 0", "sleep 50", "change 800x600x16 flags 1",
                                "change 800x600x16 flags 0"}));
    EXPECT_EQ(rig.TvRequests(), (Lines{"query", "query", "set 1 640 480 8 60"})) << "no undo";
    EXPECT_TRUE(rig.tray.state.tvOutputOn);
    EXPECT_EQ(rig.board.screen.width, 800u);
    EXPECT_EQ(boxesDuring, 0u) << "never between the steps";
    ASSERT_EQ(rig.windows.boxes.size(), 1u);
    EXPECT_EQ(rig.windows.boxes[0].owner, kMainWindow);
    EXPECT_EQ(rig.windows.boxes[0].caption, "Zenpick Alert");
    EXPECT_EQ(rig.windows.boxes[0].flags, 0x40040u);

    // The interim mode refused for the session as well: undone, as any refused interim mode.
    TvRig refused;
    refused.board.storesDefaults = false;
    refused.board.changesForSession = false;
    SwitchTvOutput(refused.tray, true);
    EXPECT_EQ(refused.TvRequests().back(), "set 4294967295 640 480 8 60");
    EXPECT_FALSE(refused.tray.state.tvOutputOn);
    EXPECT_TRUE(refused.windows.boxes.empty());
}

TEST(SwitchTvOutput, FiftyHertzForPalAlone) {
    // The second query's state word decides: it is read after the interim mode was tested.
    const struct {
        uint32_t stateBits;
        uint32_t rate;
    } cases[] = {{1, 50}, {2, 60}, {3, 60}, {0, 60}, {5, 50}};
    for (const auto& c : cases) {
        TvRig rig;
        rig.answer = [&](const DevMode&, uint32_t flags) {
            if (flags == CDS_TEST_)
                rig.board.tvState = c.stateBits;
            return DISP_CHANGE_SUCCESSFUL_;
        };
        SwitchTvOutput(rig.tray, true);
        const Lines requests = rig.TvRequests();
        ASSERT_EQ(requests.size(), 3u) << c.stateBits;
        EXPECT_EQ(requests[2], "set 1 640 480 8 " + std::to_string(c.rate)) << c.stateBits;
    }
}

TEST(SwitchTvOutput, BackToTheMonitorRestoresTheWorkArea) {
    TvRig rig;
    rig.board.tvState = 1;
    rig.tray.state.tvOutputOn = true;
    rig.tray.savedWorkArea = {0, 0, 1024, 740};
    rig.windows.workArea = {0, 0, 800, 600};

    SwitchTvOutput(rig.tray, false);
    EXPECT_EQ(rig.TvRequests(), (Lines{"query", "set 0 640 480 8 1"}));
    EXPECT_EQ(rig.trace,
              (Lines{"change 640x480x8 flags 2", "change 640x480x8 flags 1", "sleep 50",
                     "workarea 0,0,1024,740 flags 2", "sleep 50", "change 1024x768x16 flags 1",
                     "sleep 50", "workarea 0,0,1024,740 flags 3",
                     "broadcast 0x200 0 " + std::to_string(765 << 16) + " smto 2 3000"}));
    EXPECT_FALSE(rig.tray.state.tvOutputOn);
    EXPECT_EQ(rig.board.tvState, 0u);

    // Started with the TV in use: nothing saved, so the work area is left to the system.
    TvRig fresh;
    fresh.board.tvState = 1;
    SwitchTvOutput(fresh.tray, false);
    for (const std::string& line : fresh.trace)
        EXPECT_EQ(line.find("workarea"), std::string::npos) << line;
    EXPECT_EQ(fresh.trace.back(),
              "broadcast 0x200 0 " + std::to_string(765 << 16) + " smto 2 3000");
}

TEST(SwitchTvOutput, InterimDepthIsSixteenOnA640By480By8Desktop) {
    TvRig rig;
    rig.board.screen = {8, 640, 480, 60};
    RefreshDisplayState(rig.tray, kMainWindow);
    rig.board.escapes.clear();
    SwitchTvOutput(rig.tray, true);
    EXPECT_EQ(rig.TvRequests().back(), "set 1 640 480 16 60");
    EXPECT_EQ(rig.trace[0], "change 640x480x16 flags 2");

    for (const SimBoard::Screen& screen :
         {SimBoard::Screen{8, 800, 600, 60}, SimBoard::Screen{16, 640, 480, 60}}) {
        TvRig other;
        other.board.screen = screen;
        RefreshDisplayState(other.tray, kMainWindow);
        SwitchTvOutput(other.tray, true);
        EXPECT_EQ(other.trace[0], "change 640x480x8 flags 2") << screen.width;
    }
}

TEST(SwitchTvOutput, RequestsSetWordZeroAndTheModeListIsReadFromItsStart) {
    TvRig rig;
    WatchedBoard watched(rig.board);
    Tray tray{TrayPorts{rig.sys, rig.reg, watched, watched, rig.windows, rig.shell}};
    tray.state = rig.tray.state;
    SwitchTvOutput(tray, true);
    EXPECT_EQ(rig.TvRequests(), (Lines{"query", "query", "set 1 640 480 8 60"}));
    EXPECT_EQ(watched.enumerated, (std::vector<uint32_t>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(tray.state.tvOutputOn);

    // Back to the monitor, the interim mode refused: the request and its undo.
    rig.answer = [](const DevMode&, uint32_t flags) {
        return flags == CDS_TEST_ ? DISP_CHANGE_SUCCESSFUL_ : DISP_CHANGE_FAILED_;
    };
    rig.board.escapes.clear();
    SwitchTvOutput(tray, false);
    EXPECT_EQ(rig.TvRequests(),
              (Lines{"query", "set 0 640 480 8 1", "set 4294967295 640 480 8 1"}));
    EXPECT_EQ(rig.board.escapes.back().sent[0], TV_SET);
    rig.ExpectAllReleased();
}

TEST(SwitchTvOutput, MissingTvModeGoesTo640By480By8) {
    TvRig rig;
    rig.reg.RemoveValue(HKEY_LOCAL_MACHINE_, rig.board.SettingsKey(), kLastTvMode);
    SwitchTvOutput(rig.tray, true);
    EXPECT_EQ(rig.trace.back(), "change 640x480x8 flags 1");
    EXPECT_EQ(rig.board.changes.back().mode.dmFields, 0x1C0000u);
}

TEST(SwitchTvOutput, StopsEarlyWithoutAChange) {
    // Already on the requested output: only the query.
    {
        TvRig rig;
        rig.board.tvState = 2;
        rig.windows.windows.push_back({0x302, "Display Properties", {}});
        SwitchTvOutput(rig.tray, true);
        EXPECT_EQ(rig.TvRequests(), Lines{"query"});
        EXPECT_TRUE(rig.trace.empty());
    }
    // The driver does not answer.
    {
        TvRig rig;
        rig.board.answersTv = false;
        SwitchTvOutput(rig.tray, true);
        EXPECT_TRUE(rig.trace.empty());
        EXPECT_FALSE(rig.tray.state.tvOutputOn);
    }
    // The Display Properties window is asked to close, and that is all; one whose title
    // differs in case only is left alone.
    {
        TvRig rig;
        rig.windows.windows.insert(rig.windows.windows.begin() + 1,
                                   {0x310, "display properties", {}});
        rig.windows.windows.push_back({0x311, "Display Properties", {}});
        rig.windows.windows.push_back({0x312, "Display Properties", {}});
        SwitchTvOutput(rig.tray, true);
        EXPECT_EQ(rig.trace, Lines{"post 0x10 0 0 to 0x311"});
        EXPECT_EQ(rig.TvRequests(), Lines{"query"});
        EXPECT_FALSE(rig.tray.state.tvOutputOn);
    }
    // A window list that leads back to its start ends the walk.
    {
        TvRig rig;
        rig.windows.walkWraps = true;
        SwitchTvOutput(rig.tray, true);
        EXPECT_TRUE(rig.tray.state.tvOutputOn);
    }
    // The interim mode fails its test: no TV request, nothing saved.
    {
        TvRig rig;
        rig.answer = [](const DevMode&, uint32_t) { return DISP_CHANGE_BADMODE_; };
        SwitchTvOutput(rig.tray, true);
        EXPECT_EQ(rig.TvRequests(), Lines{"query"});
        EXPECT_EQ(rig.trace, Lines{"change 640x480x8 flags 2"});
        EXPECT_EQ(rig.tray.savedWorkArea.right, 0);
    }
    // The TV request is not answered: no mode is applied.
    {
        TvRig rig;
        rig.board.tvState = 1;
        rig.answer = [&](const DevMode&, uint32_t) {
            rig.board.answersTv = false;
            return DISP_CHANGE_SUCCESSFUL_;
        };
        SwitchTvOutput(rig.tray, false);
        EXPECT_EQ(rig.trace, Lines{"change 640x480x8 flags 2"});
        rig.ExpectAllReleased();
    }
}

TEST(SwitchTvOutput, RefusedInterimModeIsUndone) {
    TvRig rig;
    rig.answer = [](const DevMode&, uint32_t flags) {
        return flags == CDS_TEST_ ? DISP_CHANGE_SUCCESSFUL_ : DISP_CHANGE_FAILED_;
    };
    SwitchTvOutput(rig.tray, true);
    const Lines requests = rig.TvRequests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[2], "set 1 640 480 8 60");
    EXPECT_EQ(requests[3], "set 4294967295 640 480 8 60") << "the request's buffer, undone";
    EXPECT_EQ(rig.board.tvState, 0u);
    EXPECT_FALSE(rig.tray.state.tvOutputOn);
    EXPECT_EQ(rig.tray.savedWorkArea.bottom, 740) << "saved before the request";
    EXPECT_TRUE(rig.sys.sleeps.empty());
    rig.ExpectAllReleased();
}

}  // namespace
