// The tray program's process and main window: start and exit codes, the window's messages, the
// command dispatch, the tray notifications, the tooltip and the About box.
#include "tray/tray_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/tray/tray_rig.h"
#include "tray/display_state.h"
#include "tray/escape_client.h"
#include "tray/tray_menu.h"

namespace {

using Lines = std::vector<std::string>;

// Twelve modes: 640 x 480, 800 x 600, 1024 x 768 and 1152 x 864 at 8, 16 and 32 bits; the
// screen at 1024 x 768, 8 bits, 75 Hz; control.exe in the system directory. The main window
// has been created.
struct ProgramRig : TrayRig {
    ProgramRig() {
        for (uint32_t depth : {8u, 16u, 32u}) {
            board.AddMode(640, 480, depth, 75);
            board.AddMode(800, 600, depth, 75);
            board.AddMode(1024, 768, depth, 75);
            board.AddMode(1152, 864, depth, 75);
        }
        board.screen = {8, 1024, 768, 75};
        sys.files["c:\\winnt\\system32\\control.exe"] = 70000;
        tray.menuItemHeight = shell.MenuItemHeight();
        EXPECT_TRUE(Send(WM_CREATE_));
        Forget();
    }
    bool Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return MainWndProc(tray, kMainWindow, message, wParam, lParam);
    }
    void Forget() {
        shell.notifies.clear();
        shell.actions.clear();
        shell.installs = shell.removals = 0;
        board.escapes.clear();
        board.changes.clear();
    }
};

TEST(RunTrayProgram, ExitCodes) {
    {
        TrayRig rig;
        rig.shell.loopResult = 7;
        rig.tray.state.panStopOn = true;
        rig.tray.aboutBoxOpen = true;
        EXPECT_EQ(RunTrayProgram(rig.tray), 7);
        EXPECT_EQ(rig.shell.actions, Lines{"loop"});
        EXPECT_FALSE(rig.tray.state.panStopOn);
        EXPECT_FALSE(rig.tray.aboutBoxOpen);
        EXPECT_EQ(rig.tray.menuItemHeight, 19u);
        EXPECT_EQ(rig.tray.taskbarCreated, rig.windows.registered.at("TaskbarCreated"));
        EXPECT_EQ(rig.sys.OpenHandleCount(), 0) << "the mutex is closed at the end";
        EXPECT_TRUE(rig.sys.beeps.empty());
    }
    {
        TrayRig rig;  // another copy holds the mutex
        uint32_t error = 0;
        const SysHandle first = rig.sys.CreateNamedMutex("Orvelcom - Zenpick", true, &error);
        EXPECT_EQ(RunTrayProgram(rig.tray), -1);
        EXPECT_EQ(rig.sys.beeps, std::vector<uint32_t>{0x30});
        EXPECT_TRUE(rig.shell.actions.empty());
        EXPECT_EQ(rig.sys.OpenHandleCount(), 1) << "only the first copy's handle is left";
        rig.sys.CloseSysHandle(first);
    }
    const struct {
        const char* what;
        uint32_t mutexError;
        bool classFails;
        bool windowFails;
        int32_t code;
    } failures[] = {
        {"mutex", 5, false, false, 1},
        {"class", 0, true, false, 2},
        {"window", 0, false, true, 3},
    };
    for (const auto& f : failures) {
        TrayRig rig;
        rig.sys.mutexError = f.mutexError;
        rig.shell.mainClassFails = f.classFails;
        rig.shell.mainWindowFails = f.windowFails;
        EXPECT_EQ(RunTrayProgram(rig.tray), f.code) << f.what;
        EXPECT_TRUE(rig.shell.actions.empty()) << f.what;
        EXPECT_TRUE(rig.sys.beeps.empty()) << f.what;
        EXPECT_EQ(rig.sys.OpenHandleCount(), 0) << f.what;
    }
}

// Whichever way the program ends, its icon leaves the notification area with it.
TEST(RunTrayProgram, EveryWayOutTakesTheIconAlong) {
    enum class Way { kExit, kClose, kFailedCreation };
    const struct {
        const char* what;
        Way way;
        int32_t code;
        Lines actions;
    } ways[] = {
        {"the About box's EXIT",
         Way::kExit,
         0,
         {"loop", "enddialog 0x700 1", "quit 0", "destroy 0x1234", "quit 0"}},
        {"WM_CLOSE", Way::kClose, 0, {"loop", "destroy 0x1234", "quit 0"}},
        {"a creation failing after WM_CREATE",
         Way::kFailedCreation,
         3,
         {"destroy 0x1234", "quit 0"}},
    };
    for (const auto& w : ways) {
        TrayRig rig;
        rig.board.AddMode(1024, 768, 8, 75);
        rig.shell.onCreate = [&](WindowHandle window) {
            MainWndProc(rig.tray, window, WM_CREATE_, 0, 0);
        };
        rig.shell.onDestroy = [&](WindowHandle window) {
            MainWndProc(rig.tray, window, WM_DESTROY_, 0, 0);
        };
        rig.shell.failsAfterCreate = w.way == Way::kFailedCreation;
        rig.shell.onLoop = [&] {
            ASSERT_TRUE(rig.shell.iconShown);
            if (w.way == Way::kExit) {
                AboutDlgProc(rig.tray, 0x700, WM_INITDIALOG_, 0);
                AboutDlgProc(rig.tray, 0x700, WM_COMMAND_, IDC_ABOUT_EXIT);
            } else {  // the default window procedure destroys the window on WM_CLOSE
                rig.shell.DestroyMainWindow(kMainWindow);
            }
        };
        EXPECT_EQ(RunTrayProgram(rig.tray), w.code) << w.what;
        EXPECT_EQ(rig.shell.actions, w.actions) << w.what;
        EXPECT_FALSE(rig.shell.iconShown) << w.what;
        EXPECT_TRUE(rig.windows.timers.empty()) << w.what;
        EXPECT_EQ(rig.sys.OpenHandleCount(), 0) << w.what;
    }
}

// The icon comes back whatever the shell did with it, and is never there twice.
TEST(MainWndProc, AnIconRefusedOrLostIsAddedAgain) {
    const auto actions = [](const RecordingShell& shell) {
        Lines seen;
        for (const RecordingShell::Notify& n : shell.notifies)
            seen.push_back(std::string(n.action == NIM_ADD_ ? "add" : "modify") +
                           (n.done ? "" : " refused"));
        return seen;
    };
    ProgramRig rig;  // created, with the icon in the tray
    EXPECT_EQ(rig.windows.timers, (std::set<uint32_t>{kIconCheckTimerId}));
    EXPECT_EQ(rig.windows.log.back(), "timer 3 30000");

    // No taskbar at logon: every add is refused for a while, then one is taken.
    rig.shell.iconShown = false;
    rig.shell.addsRefused = 3;
    rig.Forget();
    rig.tray.catalogue.entries.Clear();
    rig.tray.iconRetriesLeft = 0;  // as in a program just started
    rig.Send(WM_CREATE_);
    EXPECT_EQ(actions(rig.shell), (Lines{"add refused", "modify refused", "add refused"}));
    EXPECT_EQ(rig.windows.timers.count(kIconRetryTimerId), 1u);
    EXPECT_NE(std::find(rig.windows.log.begin(), rig.windows.log.end(), "timer 2 5000"),
              rig.windows.log.end());
    rig.Forget();
    EXPECT_TRUE(rig.Send(WM_TIMER_, kIconRetryTimerId));
    EXPECT_TRUE(rig.Send(WM_TIMER_, kIconRetryTimerId));
    EXPECT_EQ(actions(rig.shell),
              (Lines{"modify refused", "add refused", "modify refused", "add"}));
    EXPECT_EQ(rig.shell.notifies.back().tip, "1024 x 768, 8 Bpp @ 75 Hz");
    EXPECT_EQ(rig.windows.timers.count(kIconRetryTimerId), 0u) << "stopped once it is there";
    EXPECT_TRUE(rig.board.escapes.empty()) << "no display refresh on a tick";

    // Lost without a word from the shell: the slow check finds it gone and adds it again; while
    // it is there, the check only modifies it.
    rig.Forget();
    EXPECT_TRUE(rig.Send(WM_TIMER_, kIconCheckTimerId));
    rig.shell.iconShown = false;
    EXPECT_TRUE(rig.Send(WM_TIMER_, kIconCheckTimerId));
    EXPECT_EQ(actions(rig.shell), (Lines{"modify", "modify refused", "add"}));
    EXPECT_FALSE(rig.Send(WM_TIMER_, 7)) << "another timer";

    // A refresh whose modify finds the icon gone adds it with the new tooltip.
    rig.Forget();
    rig.shell.iconShown = false;
    rig.board.screen = {16, 800, 600, 75};
    rig.Send(WM_DISPLAYCHANGE_);
    EXPECT_EQ(actions(rig.shell), (Lines{"modify refused", "add"}));
    EXPECT_EQ(rig.shell.notifies.back().tip, "800 x 600, 16 Bpp @ 75 Hz");

    // A shell that refuses for good: 24 retries, 5 s apart, then only the slow check.
    rig.Forget();
    rig.shell.iconShown = false;
    rig.shell.addsRefused = 1000;
    rig.Send(WM_TIMER_, kIconCheckTimerId);
    int ticks = 0;
    while (rig.windows.timers.count(kIconRetryTimerId) && ticks < 100) {
        rig.Send(WM_TIMER_, kIconRetryTimerId);
        ++ticks;
    }
    EXPECT_EQ(ticks, 24);
    rig.Send(WM_TIMER_, kIconCheckTimerId);
    EXPECT_EQ(rig.windows.timers.count(kIconRetryTimerId), 0u) << "one round of retries only";
    rig.shell.addsRefused = 0;
    rig.Send(WM_TIMER_, kIconCheckTimerId);
    EXPECT_TRUE(rig.shell.iconShown);
    rig.shell.iconShown = false;  // and after it was shown again, a new round may start
    rig.shell.addsRefused = 1;
    rig.Send(WM_TIMER_, kIconCheckTimerId);
    EXPECT_EQ(rig.windows.timers.count(kIconRetryTimerId), 1u);
    rig.Send(WM_DESTROY_);
    EXPECT_TRUE(rig.windows.timers.empty()) << "no timer outlives the window";
}

TEST(MainWndProc, CreationBuildsEverythingAndDestructionTakesItAway) {
    ProgramRig rig;
    rig.board.zoomState = 2;  // the zoom is on: counted for the icon, then forgotten
    rig.tray.catalogue.entries.Clear();
    EXPECT_TRUE(rig.Send(WM_CREATE_));
    EXPECT_EQ(rig.tray.catalogue.entries.size(), 12u);
    EXPECT_EQ(rig.shell.installs, 1);
    ASSERT_EQ(rig.shell.notifies.size(), 2u);
    EXPECT_EQ(rig.shell.notifies[0].action, NIM_ADD_);
    EXPECT_EQ(rig.shell.notifies[1].action, NIM_MODIFY_);
    EXPECT_EQ(rig.shell.notifies[1].tip, "1024 x 768, 8 Bpp @ 75 Hz - Zoom ON");
    EXPECT_FALSE(rig.tray.state.hardwareZoomOn);

    // The taskbar made again: the icon is added anew, with the tip of the mode in force. Before
    // the message is known, WM_NULL adds nothing.
    rig.Forget();
    rig.board.screen = {16, 800, 600, 75};
    rig.shell.iconShown = false;
    EXPECT_FALSE(rig.Send(0));
    rig.tray.taskbarCreated = 0xC0DE;
    EXPECT_TRUE(rig.Send(0xC0DE));
    ASSERT_EQ(rig.shell.notifies.size(), 1u);
    EXPECT_EQ(rig.shell.notifies[0].action, NIM_ADD_);
    EXPECT_EQ(rig.shell.notifies[0].tip, "800 x 600, 16 Bpp @ 75 Hz");

    rig.tray.state.zoomButton = 0x900;
    rig.shell.classRegistered = true;
    rig.Forget();
    EXPECT_TRUE(rig.Send(WM_DESTROY_));
    ASSERT_EQ(rig.shell.notifies.size(), 1u);
    EXPECT_EQ(rig.shell.notifies[0].action, NIM_DELETE_);
    EXPECT_EQ(rig.tray.catalogue.entries.size(), 0u);
    EXPECT_EQ(rig.tray.menu.menuCount, 0u);
    EXPECT_EQ(rig.shell.removals, 1);
    EXPECT_EQ(rig.shell.actions, (Lines{"unbutton 0x900", "quit 0"}));
    rig.ExpectAllReleased();

    // In an unequal two-screen mode the button outlives the icon's refresh, not the window.
    ProgramRig two;
    two.board.screen = {8, 1440, 600, 75};
    RefreshDisplayState(two.tray, kMainWindow);
    ASSERT_NE(two.tray.state.zoomButton, 0u);
    two.Send(WM_DESTROY_);
    EXPECT_EQ(two.tray.state.zoomButton, 0u);
}

TEST(MainWndProc, DisplayChangeRebuildsTheMenuAndTipButNotTheCatalogue) {
    ProgramRig rig;
    rig.board.AddMode(1600, 1200, 32, 60);  // offered now, but the catalogue is not read again
    rig.board.screen = {16, 800, 600, 75};
    rig.board.zoomState = 2;
    EXPECT_TRUE(rig.Send(WM_DISPLAYCHANGE_, 16, 600 << 16 | 800));
    EXPECT_EQ(rig.tray.catalogue.entries.size(), 12u);
    EXPECT_EQ(rig.shell.removals, 1);
    EXPECT_EQ(rig.shell.installs, 1);
    ASSERT_EQ(rig.shell.notifies.size(), 1u);
    EXPECT_EQ(rig.shell.notifies[0].tip, "800 x 600, 16 Bpp @ 75 Hz - Zoom ON");
    EXPECT_FALSE(rig.tray.state.hardwareZoomOn);
    // The 800 x 600 16-bit item is the checked one now.
    bool checked = false;
    for (const MenuItem& item : rig.tray.menu.items)
        checked |= item.checked && std::string(item.text).find("800 x  600") != std::string::npos;
    EXPECT_TRUE(checked);
}

TEST(HandleTrayCommand, DispatchesEveryIdOfTwelveEntries) {
    // N = 12: modes 32878 .. 32889, Display Settings Menu 32890 ... Grayscale 32897.
    for (uint32_t i : {0u, 5u}) {
        ProgramRig rig;
        EXPECT_FALSE(rig.Send(WM_COMMAND_, 32878 + i)) << "on to the default procedure";
        ASSERT_EQ(rig.board.changes.size(), 2u);
        EXPECT_EQ(rig.board.changes[1].mode.dmPelsWidth, rig.tray.catalogue.entries[i].dmPelsWidth);
        EXPECT_EQ(rig.board.changes[1].mode.dmBitsPerPel,
                  rig.tray.catalogue.entries[i].dmBitsPerPel);
    }
    {
        ProgramRig rig;
        rig.Send(WM_COMMAND_, 32890);
        ASSERT_EQ(rig.sys.launched.size(), 1u);
        EXPECT_EQ(rig.sys.launched[0].commandLine,
                  "\"C:\\WINNT\\system32\\control.exe\" desk.cpl @0,3");
        EXPECT_EQ(rig.sys.launched[0].show, 5);
        rig.sys.files["c:\\winnt\\system32\\control.exe"] = 0;  // empty: not started
        rig.Send(WM_COMMAND_, 32890);
        rig.sys.files.clear();
        rig.Send(WM_COMMAND_, 32890);
        EXPECT_EQ(rig.sys.launched.size(), 1u);
        // The longest system directory that its room of 260 holds.
        rig.sys.systemDirectory = std::string(259, 's');
        rig.sys.files[rig.sys.systemDirectory + "\\control.exe"] = 70000;
        rig.Send(WM_COMMAND_, 32890);
        ASSERT_EQ(rig.sys.launched.size(), 2u);
        EXPECT_EQ(rig.sys.launched[1].commandLine,
                  "\"" + rig.sys.systemDirectory + "\\control.exe\" desk.cpl @0,3");
        rig.sys.systemDirectory = "";  // none: nothing to start
        rig.sys.files["\\control.exe"] = 70000;
        rig.Send(WM_COMMAND_, 32890);
        EXPECT_EQ(rig.sys.launched.size(), 2u);
    }
    {
        ProgramRig rig;
        rig.Send(WM_COMMAND_, 32891);
        EXPECT_EQ(rig.board.zoomState, 2u) << "Hardware Zoom";
        EXPECT_EQ(rig.shell.notifies.size(), 1u) << "refreshed";
        EXPECT_EQ(rig.tray.state.zoomButton, 0x900u) << "the button comes with the zoom";
    }
    for (uint32_t choice : {0u, 1u, 2u}) {
        ProgramRig rig;
        rig.board.validVideoModes = 0x80000001u;
        rig.Send(WM_COMMAND_, 32892 + choice);
        const uint32_t expected[] = {2, 0, 4};
        EXPECT_EQ(rig.board.validVideoModes & 0x7FFFFFFF, expected[choice]);
        EXPECT_EQ(rig.tray.state.videoOptimization, static_cast<int32_t>(expected[choice]));
        rig.board.tvState = 1;  // on the TV the choice is ignored
        rig.board.validVideoModes = 0x80000001u;
        rig.Send(WM_COMMAND_, 32892 + choice);
        EXPECT_EQ(rig.board.validVideoModes, 0x80000001u);
    }
    {
        ProgramRig rig;
        rig.Send(WM_COMMAND_, 32895);
        EXPECT_EQ(rig.board.flickerLevel, 5u) << "Flickerfixing on";
        EXPECT_EQ(rig.shell.notifies.size(), 1u) << "refreshed";
        rig.Send(WM_COMMAND_, 32895);
        EXPECT_EQ(rig.board.flickerLevel, 2u) << "Flickerfixing off";
    }
    {
        ProgramRig rig;
        rig.board.AddMode(640, 480, 8, 60);
        rig.board.AddMode(640, 480, 16, 60);
        rig.Send(WM_COMMAND_, 32896);
        EXPECT_NE(rig.board.tvState, 0u) << "TV-Mode on";
        EXPECT_TRUE(rig.tray.state.tvOutputOn);
        EXPECT_EQ(rig.shell.notifies.size(), 1u) << "the check after the command refreshes";
    }
    {
        ProgramRig rig;
        rig.Send(WM_COMMAND_, 32897);
        EXPECT_EQ(rig.board.grayscaleState, 1u) << "Grayscale";
        EXPECT_TRUE(rig.tray.state.grayscaleOn);
        EXPECT_EQ(rig.shell.notifies.size(), 1u) << "refreshed";
    }
    // The headers, the one-depth name and ids past the fixed commands do nothing.
    for (uint32_t id : {32877u, 0u, 32898u, 40000u}) {
        ProgramRig rig;
        rig.Send(WM_COMMAND_, id);
        EXPECT_TRUE(rig.board.changes.empty()) << id;
        EXPECT_TRUE(rig.shell.notifies.empty()) << id;
        EXPECT_EQ(rig.board.escapes.size(), 0u) << id;
    }
}

TEST(HandleTrayCommand, FeatureCommandsNeedTheirGuards) {
    ProgramRig rig;
    rig.board.zoomState = 0;
    rig.board.grayscaleState = 0;
    rig.board.silentFeatures.insert(FEATURE_GRAYSCALE);
    rig.board.AddMode(640, 480, 8, 60);  // an interim mode for the TV switch
    rig.board.AddMode(640, 480, 16, 60);
    rig.reg.RemoveValue(HKEY_LOCAL_MACHINE_, rig.board.SettingsKey(), "SelectedTVSet");
    rig.Send(WM_COMMAND_, 32891);
    rig.Send(WM_COMMAND_, 32896);
    rig.Send(WM_COMMAND_, 32897);
    EXPECT_EQ(rig.board.tvState, 0u);
    EXPECT_EQ(rig.board.zoomState, 0u);
    EXPECT_TRUE(rig.shell.notifies.empty());
    rig.ExpectAllReleased();
}

TEST(MainWndProc, CommandsTwoAndThreeAndMinimising) {
    ProgramRig rig;
    rig.tray.state.hardwareZoomOn = true;
    EXPECT_FALSE(rig.Send(WM_COMMAND_, 2)) << "on to the default procedure";
    EXPECT_FALSE(rig.Send(WM_COMMAND_, 3));
    EXPECT_EQ(rig.shell.actions, (Lines{"enddialog 0x1234 1", "hide 0x1234"}))
        << "no button upkeep after these two";
    EXPECT_FALSE(rig.Send(WM_SIZE_, 2));
    EXPECT_EQ(rig.shell.actions.size(), 2u);
    EXPECT_FALSE(rig.Send(WM_SIZE_, SIZE_MINIMIZED_));
    EXPECT_EQ(rig.shell.actions[2], "hide 0x1234");
    EXPECT_EQ(rig.shell.actions[3].rfind("button 0x900", 0), 0u) << "the zoom counts";

    // The display-change check still follows them; any other message goes on too.
    rig.board.screen = {16, 1024, 768, 75};
    rig.Send(WM_COMMAND_, 3);
    EXPECT_EQ(rig.shell.notifies.size(), 1u) << "a full refresh";
    EXPECT_FALSE(rig.Send(WM_PAINT_));
}

TEST(MainWndProc, TrayNotificationsCheckTheDisplayFirst) {
    ProgramRig rig;
    EXPECT_FALSE(rig.Send(kTrayCallbackMessage, kTrayIconId, WM_MOUSEMOVE_));
    EXPECT_TRUE(rig.shell.notifies.empty()) << "nothing changed";

    // Any of depth, size or refresh changed behind the program's back: a full refresh.
    const SimBoard::Screen changes[] = {
        {16, 1024, 768, 75}, {8, 800, 768, 75}, {8, 1024, 600, 75}, {8, 1024, 768, 60}};
    for (const SimBoard::Screen& screen : changes) {
        ProgramRig other;
        other.board.screen = screen;
        other.board.AddMode(1600, 1200, 32, 60);
        other.Send(kTrayCallbackMessage, kTrayIconId, WM_MOUSEMOVE_);
        EXPECT_EQ(other.shell.notifies.size(), 1u);
        EXPECT_EQ(other.tray.catalogue.entries.size(), 13u) << "the catalogue is read again";
        EXPECT_EQ(other.shell.installs, 1);
        other.ExpectAllReleased();
    }
}

TEST(MainWndProc, LeftClickShowsTheMenuMovedUpOnTheTv) {
    struct Case {
        const char* what;
        uint32_t tvState;
        uint32_t width, height;
        int32_t cursorY;
        int32_t expectedY;
    };
    // The menu here has 20 rows of 19 pixels: 380 + 75 above the cursor.
    const Case cases[] = {
        {"monitor", 0, 1024, 768, 740, 740},
        {"TV at 1024 x 768", 1, 1024, 768, 740, 740 - 455},
        {"TV, near the top", 1, 1024, 768, 300, 40},
        {"TV at 640 x 480", 1, 640, 480, 460, 460},
        {"TV at 640 x 400", 1, 640, 400, 380, 380},
        {"TV at 720 x 480", 1, 720, 480, 460, 460},
        {"TV, a cursor at the start of the range: wraps as in 32 bits", 1, 1024, 768,
         INT32_MIN + 100, INT32_MAX - 354},
    };
    for (const Case& c : cases) {
        ProgramRig rig;
        rig.board.screen = {8, c.width, c.height, 75};
        rig.board.AddMode(640, 400, 8, 75);
        rig.board.tvState = c.tvState;
        rig.Send(WM_DISPLAYCHANGE_);
        ASSERT_EQ(MenuHeightEstimate(rig.tray), 20u * 19) << c.what;
        rig.Forget();
        rig.windows.cursorX = 1000;
        rig.windows.cursorY = c.cursorY;
        rig.Send(kTrayCallbackMessage, kTrayIconId, WM_LBUTTONDOWN_);
        EXPECT_EQ(rig.shell.actions, Lines{"menu 1000," + std::to_string(c.expectedY)}) << c.what;
    }
}

TEST(MainWndProc, RightClickOpensOneAboutBox) {
    ProgramRig rig;
    rig.Send(kTrayCallbackMessage, 1007, WM_RBUTTONDOWN_);
    EXPECT_TRUE(rig.shell.actions.empty()) << "another icon id";
    rig.Send(kTrayCallbackMessage, kTrayIconId, WM_RBUTTONDOWN_);
    EXPECT_EQ(rig.shell.actions, Lines{"about"});

    rig.Forget();
    EXPECT_EQ(AboutDlgProc(rig.tray, 0x700, WM_INITDIALOG_, 0), 1);
    rig.Send(kTrayCallbackMessage, kTrayIconId, WM_RBUTTONDOWN_);
    EXPECT_TRUE(rig.shell.actions.empty()) << "the box is open";
    rig.Send(kTrayCallbackMessage, kTrayIconId, WM_LBUTTONDOWN_);
    EXPECT_EQ(rig.shell.actions, Lines{"menu 500,400"}) << "the menu still opens";

    rig.Forget();
    EXPECT_EQ(AboutDlgProc(rig.tray, 0x700, WM_COMMAND_, 2), 1) << "Escape";
    EXPECT_EQ(AboutDlgProc(rig.tray, 0x700, 0x0100 /* WM_KEYDOWN */, 0x1B), 0);
    EXPECT_TRUE(rig.shell.actions.empty());
    EXPECT_TRUE(rig.tray.aboutBoxOpen);
    EXPECT_EQ(AboutDlgProc(rig.tray, 0x700, WM_COMMAND_, 1), 1) << "OK";
    EXPECT_EQ(rig.shell.actions, Lines{"enddialog 0x700 1"});
    EXPECT_FALSE(rig.tray.aboutBoxOpen);

    rig.Forget();
    AboutDlgProc(rig.tray, 0x700, WM_INITDIALOG_, 0);
    EXPECT_EQ(AboutDlgProc(rig.tray, 0x700, WM_COMMAND_, IDC_ABOUT_EXIT), 1);
    EXPECT_EQ(rig.shell.actions, (Lines{"enddialog 0x700 1", "quit 0"}));
    EXPECT_FALSE(rig.tray.aboutBoxOpen);
}

TEST(FormatTrayTip, FormsForTheBoardAndOthers) {
    ProgramRig rig;
    rig.board.screen = {15, 1024, 768, 75};
    char tip[kTrayTipSize];
    const struct {
        const char* what;
        uint32_t refresh;
        bool zoom;
        bool ownDriver;
        const char* expected;
    } cases[] = {
        {"board", 75, false, true, "1024 x 768, 15 Bpp @ 75 Hz"},
        {"zoom", 75, true, true, "1024 x 768, 15 Bpp @ 75 Hz - Zoom ON"},
        {"one digit", 9, false, true, "1024 x 768, 15 Bpp @  9 Hz"},
        {"refresh 1", 1, true, true, "1024 x 768, 15 Bpp"},
        {"refresh 0", 0, false, true, "1024 x 768, 15 Bpp"},
        {"another driver", 75, true, false, "1024 x 768, 15 Bpp"},
    };
    for (const auto& c : cases) {
        rig.board.screen.refresh = c.refresh;
        if (!c.ownDriver)
            rig.reg.SetString(HKEY_LOCAL_MACHINE_, "HARDWARE\\DEVICEMAP\\VIDEO", "\\Device\\Video0",
                              "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\vga");
        RefreshDisplayState(rig.tray, kMainWindow);
        rig.tray.state.hardwareZoomOn = c.zoom;
        FormatTrayTip(rig.tray, tip);
        EXPECT_STREQ(tip, c.expected) << c.what;
    }
}

}  // namespace
