// Keldor: when it runs at all, one copy at a time, and what its hidden window does.
#include "aligncontrol/controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter/registry_layout.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"
#include "platform/windows.h"

namespace {

const char kDevice0[] = "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\lumora\\Device0";
const char kDevice1[] = "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\lumora\\Device1";

class RecordingShell final : public ControllerShell {
  public:
    std::vector<std::string> actions;
    bool registerFails = false;
    bool createFails = false;
    int32_t loopResult = 0;
    intptr_t defaultResult = 0x1234;

    bool RegisterControllerClass() override {
        actions.push_back("register");
        return !registerFails;
    }
    ControllerWindow CreateControllerWindow() override {
        actions.push_back("create");
        ControllerWndProc(*this, 0x300, WM_CREATE_, 0, 0);  // sent during creation
        return createFails ? 0 : 0x300;
    }
    void HideControllerWindow(ControllerWindow window) override {
        actions.push_back("hide " + std::to_string(window));
    }
    int32_t RunMessageLoop() override {
        actions.push_back("loop");
        return loopResult;
    }
    void PostQuit(int32_t code) override { actions.push_back("quit " + std::to_string(code)); }
    intptr_t DefaultWindowProc(ControllerWindow, uint32_t message, uintptr_t wParam,
                               intptr_t) override {
        actions.push_back("default " + std::to_string(message) + " " + std::to_string(wParam));
        return defaultResult;
    }
    void StartHooking() override { actions.push_back("start hooking"); }
    void StopHooking() override { actions.push_back("stop hooking"); }
};

struct Rig {
    SimRegistry reg;
    SimSystem sys;
    RecordingShell shell;
    Rig() { Device("\\Device\\Video0", kDevice0); }
    void Device(const char* name, const std::string& path) {
        reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, name, path);
    }
    int32_t Run() { return RunAlignmentController(sys, reg, shell); }
};

const std::vector<std::string> kFullRun = {"register", "create", "start hooking", "hide 768",
                                           "loop"};

TEST(AlignmentController, RunsOnlyOnADualSetupOfTheBoard) {
    const struct {
        const char* what;
        const char* video0;
        const char* video1;  // null: absent
        bool video1IsText;
        bool runs;
    } cases[] = {
        {"second device of the driver", kDevice0, kDevice1, true, true},
        {"one device", kDevice0, nullptr, true, false},
        {"second device of another driver", kDevice0,
         "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\vga\\Device0", true, false},
        {"second device not REG_SZ", kDevice0, kDevice1, false, false},
        {"a 2 in the first path: two heads, the second not read",
         "\\REGISTRY\\Machine\\System\\ControlSet002\\Services\\lumora\\Device0", nullptr, true,
         true},
        {"mixed case in both", "\\Registry\\Machine\\Services\\LuMoRa\\Device0",
         "\\REGISTRY\\MACHINE\\SERVICES\\LUMORA\\DEVICE1", true, true},
        {"another driver first", "\\Services\\vga\\Device0", kDevice1, true, false},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.Device("\\Device\\Video0", c.video0);
        if (c.video1 && c.video1IsText) {
            rig.Device("\\Device\\Video1", c.video1);
        } else if (c.video1) {
            const std::string text(c.video1);
            rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, kDeviceMapKey, "\\Device\\Video1", REG_EXPAND_SZ_,
                           SimRegistry::Bytes(text.begin(), text.end() + 1));
        }
        EXPECT_EQ(rig.Run(), 0) << c.what;
        EXPECT_EQ(rig.shell.actions, c.runs ? kFullRun : std::vector<std::string>{}) << c.what;
        EXPECT_EQ(rig.sys.OpenHandleCount(), 0) << c.what;
        EXPECT_EQ(rig.reg.OpenKeyCount(), 0) << c.what;
    }
}

TEST(AlignmentController, EndsSilentlyWithoutWindowsNtOrTheDeviceMap) {
    Rig rig;
    rig.Device("\\Device\\Video1", kDevice1);
    rig.sys.platformId = VER_PLATFORM_WIN32_WINDOWS_;
    EXPECT_EQ(rig.Run(), 0);
    EXPECT_EQ(rig.reg.CallCount(), 0u) << "the platform is checked first";
    EXPECT_TRUE(rig.shell.actions.empty());

    Rig noMap;
    noMap.reg.RemoveKey(HKEY_LOCAL_MACHINE_, kDeviceMapKey);
    EXPECT_EQ(noMap.Run(), 0);
    EXPECT_TRUE(noMap.shell.actions.empty());
    EXPECT_TRUE(noMap.sys.beeps.empty());
}

TEST(AlignmentController, OneCopyAtATime) {
    Rig rig;
    rig.Device("\\Device\\Video1", kDevice1);
    uint32_t error = 0;
    rig.sys.CreateNamedMutex(kControllerMutexName, true, &error);  // the first copy's
    EXPECT_EQ(rig.Run(), 0);
    EXPECT_EQ(rig.sys.beeps, std::vector<uint32_t>{0x30}) << "one exclamation beep";
    EXPECT_TRUE(rig.shell.actions.empty()) << "no window, no hook";
    EXPECT_EQ(rig.sys.OpenHandleCount(), 1) << "only the first copy's handle stays";

    Rig other;
    other.Device("\\Device\\Video1", kDevice1);
    other.sys.mutexError = ERROR_ACCESS_DENIED_;
    EXPECT_EQ(other.Run(), 0);
    EXPECT_TRUE(other.sys.beeps.empty());
    EXPECT_TRUE(other.shell.actions.empty());
    EXPECT_EQ(other.sys.OpenHandleCount(), 0);
}

TEST(AlignmentController, EndsWithZeroWhenItsWindowCannotBeMade) {
    Rig rig;
    rig.Device("\\Device\\Video1", kDevice1);
    rig.shell.registerFails = true;
    EXPECT_EQ(rig.Run(), 0);
    EXPECT_EQ(rig.shell.actions, std::vector<std::string>{"register"});
    EXPECT_EQ(rig.sys.OpenHandleCount(), 0);

    Rig noWindow;
    noWindow.Device("\\Device\\Video1", kDevice1);
    noWindow.shell.createFails = true;
    EXPECT_EQ(noWindow.Run(), 0);
    EXPECT_EQ(noWindow.shell.actions,
              (std::vector<std::string>{"register", "create", "start hooking"}));
    EXPECT_EQ(noWindow.sys.OpenHandleCount(), 0);
    EXPECT_TRUE(noWindow.sys.beeps.empty());

    Rig quit;
    quit.Device("\\Device\\Video1", kDevice1);
    quit.shell.loopResult = 7;
    EXPECT_EQ(quit.Run(), 7) << "the WM_QUIT's wParam";
    EXPECT_EQ(quit.sys.OpenHandleCount(), 0) << "the mutex is closed at the end";
}

TEST(ControllerWndProc, HooksAtCreationUnhooksAndQuitsAtCloseIgnoresRestore) {
    RecordingShell shell;
    EXPECT_EQ(ControllerWndProc(shell, 0x300, WM_CREATE_, 0, 0), 0);
    EXPECT_EQ(ControllerWndProc(shell, 0x300, WM_SYSCOMMAND_, SC_RESTORE_, 0), 0);
    EXPECT_EQ(shell.actions, std::vector<std::string>{"start hooking"});

    EXPECT_EQ(ControllerWndProc(shell, 0x300, WM_SYSCOMMAND_, 0xF020, 0), 0x1234);  // SC_MINIMIZE
    EXPECT_EQ(ControllerWndProc(shell, 0x300, WM_SYSCOMMAND_, 0xF122, 0), 0x1234);
    EXPECT_EQ(ControllerWndProc(shell, 0x300, WM_PAINT_, 0, 0), 0x1234);
    EXPECT_EQ(ControllerWndProc(shell, 0x300, WM_DESTROY_, 0, 0), 0x1234);
    EXPECT_EQ(ControllerWndProc(shell, 0x300, WM_CLOSE_, 0, 0), 0);
    EXPECT_EQ(shell.actions,
              (std::vector<std::string>{"start hooking", "default 274 61472", "default 274 61730",
                                        "default 15 0", "default 2 0", "stop hooking", "quit 0"}));
}

}  // namespace
