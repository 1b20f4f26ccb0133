// Every call a program makes of the system may fail. Each operation below runs once to count its
// port calls, then again from the same start once for every call, with that call failing as
// Windows fails it. Whatever fails, the operation releases what it took, shows no message that
// its rules do not name, and writes nothing that the failure must prevent.
//
// And every program runs as an ordinary user, a member of Windows NT 4.0 Workstation's Users
// group, on the same machines: it does for that user what the user may do, and writes nothing
// under HKEY_LOCAL_MACHINE.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "aligncontrol/controller.h"
#include "alignhook/hook_library.h"
#include "applet/twin_control.h"
#include "platform/sim/sim_hook.h"
#include "platform/sim/sim_user.h"
#include "reminder/reminder.h"
#include "tests/applet/applet_rig.h"
#include "tests/tray/tray_rig.h"
#include "tray/escape_client.h"
#include "tray/mode_catalogue.h"
#include "tray/mode_switch.h"
#include "tray/tray_menu.h"
#include "tray/tray_program.h"
#include "tray/tv_switch.h"
#include "tray/zoom_button.h"

namespace {

// One operation: from a fresh start, runs with call `failAt` failing (0: none), checks what
// must hold, and returns the number of port calls the run made.
struct Operation {
    std::string name;
    std::function<uint32_t(uint32_t failAt)> run;
};

// A world is a machine at its start with what every operation on it must leave: Check(). An
// operation may add checks of its own in `also`.
template <class World>
Operation Op(std::string name, std::function<void(World&)> start, std::function<void(World&)> act,
             std::function<void(World&)> also = nullptr) {
    return {name, [=](uint32_t failAt) {
                auto w = std::make_unique<World>();
                start(*w);
                w->faults.FailCall(failAt);
                act(*w);
                const uint32_t calls = w->faults.calls();
                const char* failed = w->faults.failed();
                EXPECT_EQ(failed != nullptr, failAt != 0);
                SCOPED_TRACE(std::string("failed call: ") + (failed ? failed : "none"));
                w->Check();
                if (also)
                    also(*w);
                return calls;
            }};
}

// --- Zenpick against a board with TV, video optimisation, zoom and a two-screen mode.

struct TrayWorld : TrayRig {
    TrayWorld() {
        const uint32_t modes[][4] = {{640, 480, 16, 60},  {640, 480, 16, 75}, {800, 600, 16, 75},
                                     {1024, 768, 16, 75}, {1024, 768, 8, 60}, {640, 480, 8, 60},
                                     {1440, 600, 16, 60},  // two screens of different sizes
                                     {2048, 768, 16, 60}};
        for (const auto& m : modes)
            board.AddMode(m[0], m[1], m[2], m[3]);
        windows.windows = {{0x300, "Program Manager", {0, 0, 1024, 768}},
                           {0x310, "Untitled - Notepad", {10, 10, 400, 300}}};
        tray.savedWorkArea = {0, 0, 800, 572};  // saved when the desktop last went to the TV
    }
    void Built() {
        BuildModeCatalogue(tray, kMainWindow);
        BuildTrayMenu(tray, kMainWindow);
    }
    void Check() {
        ExpectAllReleased();
        for (const SimWindows::Box& box : windows.boxes) {
            EXPECT_TRUE(box.text == "No Display modes available." || box.text == kSessionModeText)
                << box.text;
        }
        EXPECT_TRUE(sys.beeps.empty());
        EXPECT_EQ(sys.OpenHandleCount(), 0) << "the mutex is closed";
        // The button window the program holds is the one alive, with its class registered.
        const size_t alive = shell.buttonsCreated.size() - shell.buttonsDestroyed.size();
        EXPECT_EQ(alive, tray.state.zoomButton ? 1u : 0u);
        EXPECT_EQ(shell.classRegistered, tray.state.zoomButton != 0);
        EXPECT_EQ(tray.menu.menuCount != 0, shell.menuInstalled) << "a menu model without menu";
    }
};

// A TV request the driver took is followed by the interim mode or by its undo; the program's
// TV flag changes only with a switch that went through. Past the work area's save (the TV
// request follows it), the area kept for the way back is the one in force or none, never an
// older one.
void CheckTvSwitch(TrayWorld& w, bool on) {
    bool sent = false, taken = false, undone = false, applied = false;
    for (const SimBoard::EscapeCall& e : w.board.escapes) {
        if (e.code != ESC_TV_CONTROL || e.sent[0] != TV_SET)
            continue;
        sent = true;
        (e.sent[1] == TV_ACTION_UNDO ? undone : taken) |= e.answered;
    }
    for (const SimBoard::Change& c : w.board.changes)
        applied |= !(c.flags & CDS_TEST_) && c.answer == DISP_CHANGE_SUCCESSFUL_;
    EXPECT_TRUE(!taken || applied || undone) << "a TV request left without its mode or undo";
    EXPECT_EQ(w.tray.state.tvOutputOn, taken && applied ? on : !on);
    const Rect none = {};
    const Rect& saved = w.tray.savedWorkArea;
    if (on && sent) {
        EXPECT_TRUE(std::memcmp(&saved, &w.windows.workArea, sizeof(Rect)) == 0 ||
                    std::memcmp(&saved, &none, sizeof(Rect)) == 0);
    }
}

void AddTrayOperations(std::vector<Operation>& ops) {
    using W = TrayWorld;
    const auto none = [](W&) {};
    const auto built = [](W& w) { w.Built(); };
    ops.push_back(
        Op<W>("BuildModeCatalogue", none, [](W& w) { BuildModeCatalogue(w.tray, kMainWindow); }));
    ops.push_back(Op<W>(
        "BuildTrayMenu", [](W& w) { BuildModeCatalogue(w.tray, kMainWindow); },
        [](W& w) { BuildTrayMenu(w.tray, kMainWindow); }));
    const auto user = [](W& w) {
        RunAsOrdinaryUser(w.reg, w.sys, &w.board);
        w.Built();
    };
    ops.push_back(Op<W>("ApplyMode", built, [](W& w) { ApplyMode(w.tray, 1, kMainWindow); }));
    ops.push_back(Op<W>("ApplyMode as a member of Users", user,
                        [](W& w) { ApplyMode(w.tray, 1, kMainWindow); }));
    ops.push_back(Op<W>(
        "SwitchTvOutput onto the TV as a member of Users", user,
        [](W& w) { SwitchTvOutput(w.tray, true); }, [](W& w) { CheckTvSwitch(w, true); }));
    ops.push_back(Op<W>(
        "SwitchTvOutput onto the TV", built, [](W& w) { SwitchTvOutput(w.tray, true); },
        [](W& w) { CheckTvSwitch(w, true); }));
    ops.push_back(Op<W>(
        "SwitchTvOutput back to the monitor",
        [](W& w) {
            w.board.tvState = 1;
            w.Built();
            w.tray.state.tvOutputOn = true;
        },
        [](W& w) { SwitchTvOutput(w.tray, false); }, [](W& w) { CheckTvSwitch(w, false); }));
    // The feature switches as the menu gives them: each with its query and the full refresh.
    const struct {
        const char* name;
        uint32_t command;
        uint32_t zoomState;
    } switches[] = {{"hardware zoom on", kHardwareZoomCommand, 1},
                    {"hardware zoom off", kHardwareZoomCommand, 2},
                    {"video optimisation", kVideoOptimizationAutoCommand, 1},
                    {"flicker fixing", kFlickerFixingCommand, 1},
                    {"grayscale", kGrayscaleCommand, 1},
                    {"TV-Mode", kTvModeCommand, 1}};
    for (const auto& s : switches) {
        const uint32_t command = s.command;
        const uint32_t zoomState = s.zoomState;
        ops.push_back(Op<W>(
            s.name,
            [zoomState](W& w) {
                w.board.zoomState = zoomState;
                w.Built();
                UpdateZoomButton(w.tray, kMainWindow, true);
            },
            [command](W& w) {
                MainWndProc(w.tray, kMainWindow, WM_COMMAND_, w.tray.menu.fixedBase + command, 0);
            }));
    }
    ops.push_back(Op<W>(
        "pan stop",
        [](W& w) {
            w.Built();
            w.tray.state.hardwareZoomOn = true;
        },
        [](W& w) { TogglePanStop(w.tray); }));
    ops.push_back(
        Op<W>("CreateZoomButton", built, [](W& w) { CreateZoomButton(w.tray, kMainWindow); }));
    ops.push_back(Op<W>(
        "the pan-stop button's messages",
        [](W& w) {
            w.board.zoomState = 2;
            w.Built();
            CreateZoomButton(w.tray, kMainWindow);
            w.windows.windows.push_back({w.tray.state.zoomButton, "STOP", {500, 400, 553, 448}});
        },
        [](W& w) {
            const WindowHandle b = w.tray.state.zoomButton;
            ZoomButtonWndProc(w.tray, b, WM_CREATE_, 0, 0);
            w.board.visibleRect = {40, 30, 1064, 798};
            for (uint32_t message : {WM_TIMER_, WM_LBUTTONDOWN_, WM_MOUSEMOVE_, WM_LBUTTONUP_,
                                     WM_LBUTTONDOWN_, WM_LBUTTONUP_, WM_PAINT_, WM_DESTROY_})
                ZoomButtonWndProc(w.tray, b, message, 0, 0x00050005);
            DestroyZoomButton(w.tray);
        }));
    ops.push_back(Op<W>(
        "the tray program's start",
        [](W& w) {
            w.shell.onCreate = [&w](WindowHandle window) {
                MainWndProc(w.tray, window, WM_CREATE_, 0, 0);
            };
            w.shell.onDestroy = [&w](WindowHandle window) {
                MainWndProc(w.tray, window, WM_DESTROY_, 0, 0);
            };
        },
        [](W& w) {
            const int32_t code = RunTrayProgram(w.tray);
            EXPECT_TRUE(code >= 0 && code <= 3) << code;
        }));
    const auto changed = [](W& w) {
        w.Built();
        w.board.screen = {8, 1024, 768, 60};
    };
    ops.push_back(Op<W>("WM_DISPLAYCHANGE", changed,
                        [](W& w) { MainWndProc(w.tray, kMainWindow, WM_DISPLAYCHANGE_, 8, 0); }));
    ops.push_back(Op<W>("the display-change check", changed,
                        [](W& w) { CheckDisplayChange(w.tray, kMainWindow); }));
}

// --- lumora2.cpl.

using applet_test::Board;

constexpr uint32_t kUnwritten = 77777;  // a size no model has: the sizes were not written

template <Board kind>
struct AppletWorld : applet_test::Rig {
    AppletWorld() : Rig(kind) {
        ui.strings = {{101, "orvel Monitor Select"}, {102, "monitor selection."}};
        for (const std::string& key : Keys()) {
            for (const char* size :
                 {kPrimaryXSize, kPrimaryYSize, kSecondaryXSize, kSecondaryYSize})
                StoreDword(key, size, kUnwritten);
        }
        ui.dialogResults[IDD_RESTART] = kRestartNow;
    }
    std::vector<std::string> Keys() const {
        if (kind == Board::kTwoAdapters)
            return {Settings(), Second()};
        return {Settings()};
    }
    // The stored selection, as one text.
    std::string Stored() const {
        std::string all;
        for (const std::string& key : Keys()) {
            for (const char* name : {kPrimarySelectedMonitor, kSecondarySelectedMonitor})
                all += Text(key, name) + ";";
            for (const char* name : {kPrimaryIsLeft, kPrimaryXSize, kSecondaryYSize})
                all += std::to_string(Number(key, name)) + ";";
        }
        return all + std::to_string(Number(Settings(), kSelectedTvSet, REG_BINARY_));
    }
    void Start(bool dual) {
        Count();
        OpenSelection(dual);
        before = Stored();
        for (const std::string& key : Keys()) {
            for (const char* name : {kPrimarySelectedMonitor, kSecondarySelectedMonitor})
                named[key + name] = Text(key, name);
        }
    }
    void Check() {
        EXPECT_EQ(reg.OpenKeyCount(), 0) << "a registry key was left open";
        for (uint32_t beep : sys.beeps)
            EXPECT_EQ(beep, MB_ICONEXCLAMATION_);
        // The restart refused is told; nothing else is but the rights.
        const std::string failed = faults.failed() ? faults.failed() : "";
        const bool refused = failed == "system EnablePrivilege" || failed == "system ExitSession";
        for (const SimDialog::Box& box : ui.boxes)
            EXPECT_EQ(box.text, refused ? kRestartFailedText : kRightsMessage);
        // A model's name is stored only with its sizes: a new name never meets a size unwritten.
        for (const std::string& key : Keys()) {
            for (const char* name : {kPrimarySelectedMonitor, kSecondarySelectedMonitor}) {
                const std::string text = Text(key, name);
                if (text == "<missing>" || text == named[key + name])
                    continue;
                const bool primary = name == kPrimarySelectedMonitor;
                for (const char* size : {primary ? kPrimaryXSize : kSecondaryXSize,
                                         primary ? kPrimaryYSize : kSecondaryYSize})
                    EXPECT_NE(Number(key, size), kUnwritten) << key << " " << name;
            }
        }
    }
    std::string before;
    std::map<std::string, std::string> named;  // the names stored before, by key and value
};

void AddAppletOperations(std::vector<Operation>& ops) {
    using Single = AppletWorld<Board::kSingle>;
    using Dual = AppletWorld<Board::kTwoAdapters>;
    using TwoHead = AppletWorld<Board::kTwoHead>;
    constexpr int32_t kOk = applet_test::IDOK_;
    constexpr int32_t kButton2 = applet_test::IDCANCEL_;
    const auto counted = [](auto& w) { w.Count(); };
    ops.push_back(Op<Single>(
        "CountApplets", [](Single&) {}, [](Single& w) { w.Count(); }));
    ops.push_back(Op<Single>(
        "CheckAdminRights", counted, [](Single& w) { CheckAdminRights(w.applet); },
        [](Single& w) {
            EXPECT_EQ(w.Number(w.Settings(), kPrimaryBoardId, REG_BINARY_), 0x0102A0B0);
        }));
    ops.push_back(
        Op<Single>("single dialog: opening", counted, [](Single& w) { w.OpenSelection(false); }));
    ops.push_back(Op<Single>(
        "single dialog: OK",
        [](Single& w) {
            w.Start(false);
            w.Select(IDC_LEFT_LIST, "Orvel 19 Single");
            w.Press(IDC_TV_AVAILABLE);
        },
        [](Single& w) { w.Press(kOk); },
        [](Single& w) {
            const int64_t side = w.Number(w.Settings(), kPrimaryIsLeft);
            EXPECT_TRUE(side == -1 || side == 1) << side;
        }));
    ops.push_back(Op<Single>(
        "single dialog: button 2", [](Single& w) { w.Start(false); },
        [](Single& w) { w.Press(kButton2); },
        [](Single& w) { EXPECT_EQ(w.Stored(), w.before) << "Cancel writes nothing"; }));
    ops.push_back(Op<Dual>(
        "dual dialog: opening",
        [](Dual& w) {
            w.StoreDword(w.Settings(), kPrimaryIsLeft, 1);
            w.Count();
        },
        [](Dual& w) { w.OpenSelection(true); }));
    ops.push_back(Op<Dual>(
        "dual dialog: OK",
        [](Dual& w) {
            w.StoreDword(w.Settings(), kPrimaryIsLeft, 1);
            w.Store(w.Settings(), kPrimarySelectedMonitor, "Generic 640x480");
            w.Start(true);
            w.Press(IDC_BOOT_RIGHT);
            w.Select(IDC_LEFT_LIST, "31kHz VGA");
            w.Select(IDC_RIGHT_LIST, "Orvel 19 Single");
        },
        [](Dual& w) { w.Press(kOk); },
        [](Dual& w) { EXPECT_EQ(w.Number(w.Second(), kPrimaryIsLeft), -1) << "first key only"; }));
    ops.push_back(Op<TwoHead>(
        "dual dialog: RESTART NOW", [](TwoHead& w) { w.Start(true); },
        [](TwoHead& w) { w.Press(IDC_RESTART_NOW); }));
    const auto twin = [](TwoHead& w) {
        w.Count();
        w.ui.controls.clear();
        w.ui.AddControls(
            {IDC_TWIN_OK, IDC_TWIN_CANCEL, IDC_MAXIMIZE_ALIGNMENT, IDC_DIALOG_ALIGNMENT});
        w.reg.SetDword(HKEY_CURRENT_USER_, kAlignmentKey, kTwinControlFlag, 5);
        TwinControlDlgProc(w.applet, applet_test::kDialog, WM_INITDIALOG_, 0);
    };
    ops.push_back(Op<TwoHead>("alignment options: opening", counted, [](TwoHead& w) {
        TwinControlDlgProc(w.applet, applet_test::kDialog, WM_INITDIALOG_, 0);
    }));
    ops.push_back(Op<TwoHead>(
        "alignment options: OK",
        [twin](TwoHead& w) {
            twin(w);
            w.ui.At(IDC_DIALOG_ALIGNMENT).checked = true;
            TwinControlDlgProc(w.applet, applet_test::kDialog, WM_COMMAND_, IDC_DIALOG_ALIGNMENT);
        },
        [](TwoHead& w) {
            TwinControlDlgProc(w.applet, applet_test::kDialog, WM_COMMAND_, IDC_TWIN_OK);
        },
        [](TwoHead& w) {
            const int64_t flags =
                w.Number(kAlignmentKey, kTwinControlFlag, REG_DWORD_, HKEY_CURRENT_USER_);
            EXPECT_TRUE(flags == 5 || flags == 7) << flags;
        }));
    const struct {
        const char* name;
        uint32_t message;
        uintptr_t index;
    } messages[] = {{"CPL_INIT", CPL_INIT_, 0},
                    {"CPL_GETCOUNT", CPL_GETCOUNT_, 0},
                    {"CPL_NEWINQUIRE 0", CPL_NEWINQUIRE_, 0},
                    {"CPL_NEWINQUIRE 1", CPL_NEWINQUIRE_, 1},
                    {"CPL_DBLCLK 0", CPL_DBLCLK_, 0},
                    {"CPL_DBLCLK 1", CPL_DBLCLK_, 1},
                    {"CPL_EXIT", CPL_EXIT_, 0}};
    for (const auto& m : messages) {
        const uint32_t message = m.message;
        const uintptr_t index = m.index;
        ops.push_back(Op<TwoHead>(m.name, counted, [message, index](TwoHead& w) {
            NewCplInfo info;
            std::memset(&info, 0xAB, sizeof(info));
            AppletMessage(w.applet, applet_test::kControlPanel, message, index, &info);
            if (message == CPL_NEWINQUIRE_) {
                EXPECT_NE(std::memchr(info.szName, 0, sizeof(info.szName)), nullptr);
                EXPECT_NE(std::memchr(info.szInfo, 0, sizeof(info.szInfo)), nullptr);
            }
        }));
    }
    ops.push_back(Op<Single>(
        "library load and unload", [](Single&) {},
        [](Single& w) {
            AppletLoaded(w.applet);
            AppletUnloaded(w.applet);
        }));
}

// --- Nudgel and Keldor, each world its own shell.

const char kDevice0[] = "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\lumora\\Device0";
const char kDevice1[] = "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\lumora\\Device1";
const char kMaker[] = "SOFTWARE\\Orvelcom\\lumora\\Device0";

struct ProgramWorld : FaultInjectable {
    SimRegistry reg;
    SimSystem sys;
    FaultPlan faults;
    ProgramWorld() {
        reg.faults = sys.faults = FaultInjectable::faults = &faults;
        reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue, kDevice0);
    }
    void Check() {
        EXPECT_EQ(reg.OpenKeyCount(), 0);
        EXPECT_EQ(sys.OpenHandleCount(), 0) << "the mutex is closed";
        EXPECT_TRUE(sys.beeps.empty());
    }
};

// Stage 0, no monitor chosen, a TV output without a standard: both reminders are due.
struct ReminderWorld : ProgramWorld, ReminderShell {
    std::vector<int> shown;
    std::vector<int64_t> stageWhenShown;
    ReminderWorld() {
        reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, std::string(kServicesPrefix) + "lumora\\Device0",
                          kAvailableTvSet, 1);
        reg.SetDword(HKEY_LOCAL_MACHINE_, kMaker, kOrvelIsInstalled, 0);
    }
    int64_t Stage() const {
        SimRegistry::Bytes data;
        return reg.GetRaw(HKEY_LOCAL_MACHINE_, kMaker, kOrvelIsInstalled, nullptr, &data) ? data[0]
                                                                                          : -1;
    }
    bool CreateOwnerWindow(const OwnerWindow&) override {
        return !Fails("shell CreateOwnerWindow");
    }
    bool ShowReminder(int dialogId) override {
        if (Fails("shell ShowReminder"))
            return false;
        shown.push_back(dialogId);
        stageWhenShown.push_back(Stage());
        return true;
    }
};

struct ControllerWorld : ProgramWorld, ControllerShell {
    int hooking = 0;  // started less stopped
    int starts = 0;
    ControllerWorld() {
        reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kSecondDeviceValue, kDevice1);
    }
    bool RegisterControllerClass() override { return !Fails("shell RegisterControllerClass"); }
    ControllerWindow CreateControllerWindow() override {
        if (Fails("shell CreateControllerWindow"))
            return 0;
        ControllerWndProc(*this, 0x300, WM_CREATE_, 0, 0);
        return 0x300;
    }
    void HideControllerWindow(ControllerWindow) override {}
    int32_t RunMessageLoop() override { return ControllerWndProc(*this, 0x300, WM_CLOSE_, 0, 0); }
    void PostQuit(int32_t) override {}
    intptr_t DefaultWindowProc(ControllerWindow, uint32_t, uintptr_t, intptr_t) override {
        return 0;
    }
    void StartHooking() override {
        ++hooking;
        ++starts;
    }
    void StopHooking() override { --hooking; }
};

void AddReminderAndControllerOperations(std::vector<Operation>& ops) {
    ops.push_back(Op<ReminderWorld>(
        "RunReminder", [](ReminderWorld&) {},
        [](ReminderWorld& w) { EXPECT_EQ(RunReminder(w.reg, w.reg, w.sys, w), 0); },
        [](ReminderWorld& w) {
            // The stage moves on only past reminders that were shown.
            for (size_t i = 0; i < w.stageWhenShown.size(); ++i)
                EXPECT_LE(w.stageWhenShown[i], static_cast<int64_t>(i));
            const auto shown = [&w](int dialog) {
                return std::count(w.shown.begin(), w.shown.end(), dialog) == 1;
            };
            const int64_t stage = w.Stage();
            EXPECT_TRUE(stage == 0 || (stage == 1 && shown(kMonitorReminderDialog)) ||
                        (stage == 2 && shown(kTvReminderDialog)))
                << stage;
        }));
    ops.push_back(Op<ControllerWorld>(
        "RunAlignmentController", [](ControllerWorld&) {},
        [](ControllerWorld& w) { EXPECT_EQ(RunAlignmentController(w.sys, w.reg, w), 0); },
        [](ControllerWorld& w) { EXPECT_EQ(w.hooking, 0) << "a hook started is stopped"; }));
}

// --- Keldhook on a two-head board: left area 1024 wide, right 1280, both features on, the
// pointer on the right, a bordered pop-up across the seam.

struct HookWorld {
    SimRegistry reg;
    SimHook port;
    HookLibrary lib;
    FaultPlan faults;
    MinMaxInfoRecord info = {{0, 0}, {3000, 768}, {-4, -4}, {100, 100}, {3000, 1024}};
    WindowPosRecord pos = {0x500, 0, 900, 100, 300, 200, SWP_NOSIZE_};

    HookWorld() {
        reg.faults = port.faults = &faults;
        const std::string key = std::string(kServicesPrefix) + "lumora2\\Device0";
        reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                      "\\REGISTRY\\Machine\\" + key);
        const char* sizes[] = {kLeftAdapterVisualXRes, kLeftAdapterVisualYRes,
                               kRightAdapterVisualXRes, kRightAdapterVisualYRes};
        const uint32_t values[] = {1024, 768, 1280, 1024};
        for (int i = 0; i < 4; ++i)
            reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, key, sizes[i], values[i]);
        reg.SetDword(HKEY_CURRENT_USER_, kAlignmentKey, kTwinControlFlag, 3);
        port.cursorX = 1500;
        port.windows[0x500] = {WS_POPUP_ | WS_BORDER_, {900, 100, 1200, 300}, true, u"#32770"};
    }
    void Send(uint32_t message, void* record) {
        HookMessageRecord r = {reinterpret_cast<intptr_t>(record), 0, message, 0x500};
        AlignmentHookProc(lib, port, reg, HC_ACTION_, 0, &r);
    }
    void Check() {
        EXPECT_EQ(reg.OpenKeyCount(), 0);
        EXPECT_LE(port.passedOn.size(), 1u);
        // Maximised as it came or on the pointer's side; placed as proposed or right of the
        // seam, moved horizontally only.
        EXPECT_TRUE((info.maxSize.x == 3000 && info.maxPosition.x == -4) ||
                    (info.maxSize.x == 1280 && info.maxPosition.x == 1024));
        EXPECT_TRUE(pos.x == 900 || pos.x == 1034) << pos.x;
        EXPECT_EQ(pos.y, 100);
        EXPECT_EQ(pos.flags, SWP_NOSIZE_);
    }
};

void AddHookOperations(std::vector<Operation>& ops) {
    using W = HookWorld;
    const auto attached = [](W& w) { AttachHookLibrary(w.port, w.reg, 0x10000000, &w.lib); };
    ops.push_back(Op<W>(
        "ReadAlignmentSettings", [](W&) {},
        [](W& w) { ReadAlignmentSettings(w.reg, &w.lib.settings); },
        [](W& w) {
            const AlignmentSettings& s = w.lib.settings;
            EXPECT_TRUE(s.controlFlags == 0 ||
                        (s.valid && s.leftAdapterVisualXRes == 1024 &&
                         s.rightAdapterVisualXRes == 1280 && s.controlFlags == 3))
                << "features on only with every value read";
        }));
    ops.push_back(Op<W>(
        "AttachHookLibrary and detach", [](W&) {},
        [](W& w) {
            const bool done = AttachHookLibrary(w.port, w.reg, 0x10000000, &w.lib);
            EXPECT_EQ(w.port.OpenBlockHandles() + w.port.MappedViews(), done ? 2 : 0);
            if (done) {
                EXPECT_EQ(w.lib.view[0] | w.lib.view[4095], 0) << "a new block starts zeroed";
            }
            DetachHookLibrary(w.port, &w.lib);
            EXPECT_EQ(w.port.OpenBlockHandles() + w.port.MappedViews(), 0);
        }));
    ops.push_back(Op<W>("AlignmentHookProc WM_GETMINMAXINFO", attached,
                        [](W& w) { w.Send(WM_GETMINMAXINFO_, &w.info); }));
    ops.push_back(Op<W>("AlignmentHookProc WM_WINDOWPOSCHANGING", attached,
                        [](W& w) { w.Send(WM_WINDOWPOSCHANGING_, &w.pos); }));
    ops.push_back(Op<W>(
        "StartHooking", attached, [](W& w) { EXPECT_EQ(StartHooking(w.port, &w.lib), 1); },
        [](W& w) {
            uint32_t shared = 0;
            std::memcpy(&shared, w.lib.view, sizeof(shared));
            EXPECT_EQ(shared, w.lib.hook) << "the handle published is the one installed, or 0";
            EXPECT_EQ(w.port.installed.size(), w.lib.hook ? 1u : 0u);
        }));
}

// --- Every program as a member of Users: what it does, and nothing written for the machine.

void ExpectNoMachineWrite(const SimRegistry& reg) {
    for (const std::string& write : reg.writes)
        EXPECT_NE(write.rfind("hklm\\", 0), 0u) << write;
}

size_t SessionChanges(const SimBoard& board) {
    return std::count_if(board.changes.begin(), board.changes.end(), [](const SimBoard::Change& c) {
        return c.flags == 0 && c.answer == DISP_CHANGE_SUCCESSFUL_;
    });
}

// Zenpick after menu commands `ids` (a mode command id, or a fixed command counted from the
// menu's fixed base), as a user or as an administrator.
std::unique_ptr<TrayWorld> TrayRun(bool user, std::initializer_list<uint32_t> ids) {
    auto w = std::make_unique<TrayWorld>();
    if (user)
        RunAsOrdinaryUser(w->reg, w->sys, &w->board);
    w->Built();
    w->tray.mainWindow = kMainWindow;
    for (uint32_t id : ids)
        MainWndProc(w->tray, kMainWindow, WM_COMMAND_, id < 100 ? w->tray.menu.fixedBase + id : id,
                    0);
    w->Check();
    ExpectNoMachineWrite(w->reg);
    return w;
}

TEST(OrdinaryUser, EveryProgramAsAMemberOfUsers) {
    const struct {
        const char* name;
        std::function<void()> run;
    } rows[] = {
        {"Zenpick: two modes, for the session, told once",
         [] {
             const auto w = TrayRun(true, {32879, 32880});
             EXPECT_EQ(SessionChanges(w->board), 2u);
             EXPECT_EQ(w->windows.boxes.size(), 1u);
         }},
        {"Zenpick: onto the TV and back, for the session, told once",
         [] {
             const auto w = TrayRun(true, {kTvModeCommand, kTvModeCommand});
             EXPECT_EQ(SessionChanges(w->board), 4u) << "the interim and the target, both ways";
             EXPECT_EQ(w->board.tvState, 0u);
             EXPECT_EQ(w->windows.boxes.size(), 1u);
         }},
        {"Zenpick: the board's features, as for an administrator",
         [] {
             for (uint32_t command : {kHardwareZoomCommand, kVideoOptimizationAutoCommand,
                                      kFlickerFixingCommand, kGrayscaleCommand}) {
                 const auto user = TrayRun(true, {command});
                 const auto admin = TrayRun(false, {command});
                 ASSERT_EQ(user->board.escapes.size(), admin->board.escapes.size()) << command;
                 for (size_t i = 0; i < user->board.escapes.size(); ++i)
                     EXPECT_EQ(user->board.escapes[i].sent, admin->board.escapes[i].sent);
                 EXPECT_EQ(std::memcmp(&user->tray.state, &admin->tray.state, sizeof(DisplayState)),
                           0);
                 EXPECT_TRUE(user->windows.boxes.empty());
             }
         }},
        {"Nudgel: silent, the stage kept for a user who may choose",
         [] {
             ReminderWorld w;
             RunAsOrdinaryUser(w.reg, w.sys);
             EXPECT_EQ(RunReminder(w.reg, w.reg, w.sys, w), 0);
             EXPECT_TRUE(w.shown.empty());
             EXPECT_TRUE(w.sys.launched.empty());
             EXPECT_EQ(w.Stage(), 0);
             EXPECT_TRUE(w.reg.writes.empty());
             w.Check();
         }},
        {"lumora2.cpl: the monitor selection, refused with the rights message",
         [] {
             AppletWorld<Board::kSingle> w;
             RunAsOrdinaryUser(w.reg, w.sys);
             w.Count();
             AppletMessage(w.applet, applet_test::kControlPanel, CPL_DBLCLK_, 0, nullptr);
             EXPECT_EQ(w.ui.boxes.size(), 1u);
             EXPECT_TRUE(w.ui.runs.empty()) << "no dialog";
             w.Check();
             ExpectNoMachineWrite(w.reg);
         }},
        {"lumora2.cpl: the alignment options, in the user's own key",
         [] {
             AppletWorld<Board::kTwoHead> w;
             RunAsOrdinaryUser(w.reg, w.sys);
             w.Count();
             w.ui.AddControls({IDC_DIALOG_ALIGNMENT, IDC_MAXIMIZE_ALIGNMENT});
             TwinControlDlgProc(w.applet, applet_test::kDialog, WM_INITDIALOG_, 0);
             w.ui.At(IDC_DIALOG_ALIGNMENT).checked = true;
             TwinControlDlgProc(w.applet, applet_test::kDialog, WM_COMMAND_, IDC_DIALOG_ALIGNMENT);
             TwinControlDlgProc(w.applet, applet_test::kDialog, WM_COMMAND_, IDC_TWIN_OK);
             EXPECT_EQ(w.Number(kAlignmentKey, kTwinControlFlag, REG_DWORD_, HKEY_CURRENT_USER_),
                       2);
             w.Check();
             ExpectNoMachineWrite(w.reg);
         }},
        {"Keldor: runs",
         [] {
             ControllerWorld w;
             RunAsOrdinaryUser(w.reg, w.sys);
             EXPECT_EQ(RunAlignmentController(w.sys, w.reg, w), 0);
             EXPECT_EQ(w.starts, 1);
             w.Check();
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        row.run();
    }
}

TEST(FaultSweep, EveryCallOfEveryOperationMayFail) {
    std::vector<Operation> ops;
    AddTrayOperations(ops);
    AddAppletOperations(ops);
    AddReminderAndControllerOperations(ops);
    AddHookOperations(ops);
    uint32_t injected = 0;
    for (const Operation& op : ops) {
        SCOPED_TRACE(op.name);
        const uint32_t calls = op.run(0);
        for (uint32_t n = 1; n <= calls; ++n, ++injected) {
            SCOPED_TRACE("call " + std::to_string(n) + " of " + std::to_string(calls) + " fails");
            op.run(n);
        }
    }
    std::printf("fault sweep: %u operations, %u injected failures\n",
                static_cast<uint32_t>(ops.size()), injected);
}

}  // namespace
