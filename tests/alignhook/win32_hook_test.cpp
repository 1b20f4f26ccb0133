// Keldhook's entry point and hook procedure as the library builds them, called directly with
// the real CWPSTRUCT, MINMAXINFO and WINDOWPOS and real windows (run under Wine). The registry
// is the simulated one, which this file hands to the library in place of the real one.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "adapter/registry_layout.h"
#include "alignhook/hook_library.h"
#include "platform/sim/sim_registry.h"

extern "C" LRESULT CALLBACK AlignmentHookCallback(int code, WPARAM wParam, LPARAM lParam);
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID);

namespace {
SimRegistry g_registry;
}

RegistryReaderW& HookRegistry() {
    return g_registry;
}

namespace {

const char kSettingsKey[] = "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device0";

// The seam at x = 512 of the test screen; the right area 400 wide.
void SeedDualBoard(uint32_t flags) {
    g_registry.SetString(
        HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
        "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\lumora\\Device0");
    g_registry.SetString(
        HKEY_LOCAL_MACHINE_, kDeviceMapKey, kSecondDeviceValue,
        "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\lumora\\Device1");
    g_registry.SetBinaryWord(HKEY_LOCAL_MACHINE_, kSettingsKey, kLeftAdapterVisualXRes, 512);
    g_registry.SetBinaryWord(HKEY_LOCAL_MACHINE_, kSettingsKey, kLeftAdapterVisualYRes, 768);
    g_registry.SetBinaryWord(HKEY_LOCAL_MACHINE_, kSettingsKey, kRightAdapterVisualXRes, 400);
    g_registry.SetBinaryWord(HKEY_LOCAL_MACHINE_, kSettingsKey, kRightAdapterVisualYRes, 600);
    g_registry.SetDword(HKEY_CURRENT_USER_, kAlignmentKey, kTwinControlFlag, flags);
}

// Moves the pointer and waits until the system reports it there.
void PointAt(int x, int y) {
    POINT p = {-1, -1};
    for (int i = 0; i < 100; ++i) {
        SetCursorPos(x, y);
        if (GetCursorPos(&p) && p.x == x && p.y == y)
            return;
        Sleep(20);
    }
    FAIL() << "the pointer did not move to " << x << "," << y;
}

LRESULT Call(int code, UINT message, HWND window, void* lParam) {
    CWPSTRUCT cwp = {reinterpret_cast<LPARAM>(lParam), 0, message, window};
    return AlignmentHookCallback(code, TRUE, reinterpret_cast<LPARAM>(&cwp));
}

class Win32HookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SeedDualBoard(3);
        ASSERT_TRUE(DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr));
    }
    void TearDown() override {
        DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr);
        for (HWND w : windows_)
            DestroyWindow(w);
    }
    HWND Make(const wchar_t* cls, DWORD style, int x, int y, int w, int h, HWND parent = nullptr) {
        HWND window = CreateWindowExW(0, cls, L"", style, x, y, w, h, parent, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(window, nullptr);
        windows_.insert(windows_.begin(), window);
        return window;
    }
    std::vector<HWND> windows_;
};

TEST_F(Win32HookTest, MaximizeInfoIsEditedInPlace) {
    MINMAXINFO info = {{1, 2}, {1024, 768}, {-4, -4}, {112, 27}, {1036, 780}};
    PointAt(100, 300);
    EXPECT_EQ(Call(HC_ACTION, WM_GETMINMAXINFO, nullptr, &info), 0) << "CallNextHookEx's result";
    EXPECT_EQ(info.ptMaxSize.x, 512);
    EXPECT_EQ(info.ptMaxPosition.x, 0);
    EXPECT_EQ(info.ptMaxSize.y, 768);
    EXPECT_EQ(info.ptMaxPosition.y, -4);
    EXPECT_EQ(info.ptMaxTrackSize.x, 1036);

    PointAt(512, 300);
    Call(HC_ACTION, WM_GETMINMAXINFO, nullptr, &info);
    EXPECT_EQ(info.ptMaxSize.x, 400);
    EXPECT_EQ(info.ptMaxPosition.x, 512);
    EXPECT_EQ(info.ptReserved.x, 1);

    // Not HC_ACTION: nothing edited.
    MINMAXINFO kept = {{0, 0}, {1024, 768}, {-4, -4}, {0, 0}, {0, 0}};
    PointAt(100, 300);
    Call(-1, WM_GETMINMAXINFO, nullptr, &kept);
    EXPECT_EQ(Call(1, WM_GETMINMAXINFO, nullptr, &kept), 0);
    EXPECT_EQ(kept.ptMaxSize.x, 1024);
    EXPECT_EQ(kept.ptMaxPosition.x, -4);
}

TEST_F(Win32HookTest, WindowPosIsEditedForHiddenWindowsAcrossTheSeam) {
    const DWORD overlapped = WS_OVERLAPPEDWINDOW;
    HWND dialog = Make(L"STATIC", overlapped, 400, 100, 300, 200);
    RECT r;
    ASSERT_TRUE(GetWindowRect(dialog, &r));
    ASSERT_EQ(r.left, 400);
    ASSERT_EQ(r.right, 700);

    PointAt(700, 300);
    WINDOWPOS pos = {dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW};
    Call(HC_ACTION, WM_WINDOWPOSCHANGING, dialog, &pos);
    EXPECT_EQ(pos.x, 522);
    EXPECT_EQ(pos.y, 100) << "the present top";
    EXPECT_EQ(pos.flags, static_cast<UINT>(SWP_NOSIZE | SWP_SHOWWINDOW));
    EXPECT_EQ(pos.hwnd, dialog);

    PointAt(100, 300);
    pos = {dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE};
    Call(HC_ACTION, WM_WINDOWPOSCHANGING, dialog, &pos);
    EXPECT_EQ(pos.x, 202) << "512 - 300 - 10";

    // A visible window stays where it is.
    HWND shown = Make(L"STATIC", overlapped | WS_VISIBLE, 400, 100, 300, 200);
    pos = {shown, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE};
    Call(HC_ACTION, WM_WINDOWPOSCHANGING, shown, &pos);
    EXPECT_EQ(pos.x, 0);
    EXPECT_EQ(pos.flags, static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE));

    // Dialog alignment switched off.
    SeedDualBoard(1);
    pos = {dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE};
    Call(HC_ACTION, WM_WINDOWPOSCHANGING, dialog, &pos);
    EXPECT_EQ(pos.flags, static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE));
}

TEST_F(Win32HookTest, OnlyTheComboListAmongChildrenIsMoved) {
    HWND parent = Make(L"STATIC", WS_POPUP, 0, 0, 1000, 700);
    HWND list = Make(L"ComboLBox", WS_CHILD, 450, 10, 100, 100, parent);
    HWND button = Make(L"BUTTON", WS_CHILD, 450, 10, 100, 100, parent);
    PointAt(700, 300);
    WINDOWPOS pos = {list, nullptr, 450, 10, 100, 100, SWP_NOZORDER};
    Call(HC_ACTION, WM_WINDOWPOSCHANGING, list, &pos);
    EXPECT_EQ(pos.x, 522);
    pos = {button, nullptr, 450, 10, 100, 100, SWP_NOZORDER};
    Call(HC_ACTION, WM_WINDOWPOSCHANGING, button, &pos);
    EXPECT_EQ(pos.x, 450);
}

TEST_F(Win32HookTest, OtherMessagesLeaveTheRegistryAlone) {
    const uint32_t before = g_registry.CallCount();
    for (UINT message : {WM_PAINT, WM_SIZE, WM_WINDOWPOSCHANGED, WM_NCCALCSIZE})
        Call(HC_ACTION, message, nullptr, nullptr);
    EXPECT_EQ(g_registry.CallCount(), before);
    Call(HC_ACTION, RegisterWindowMessageW(L"orvelAlignmentChange"), nullptr, nullptr);
    EXPECT_GT(g_registry.CallCount(), before) << "the change message reads the settings";
}

TEST(Win32HookLibrary, SharedBlockIsZeroedOnlyByItsCreator) {
    HINSTANCE self = GetModuleHandleW(nullptr);
    ASSERT_TRUE(DllMain(self, DLL_PROCESS_ATTACH, nullptr));
    HANDLE block = OpenFileMappingW(FILE_MAP_WRITE, FALSE, L"keldhookmemfilemap");
    ASSERT_NE(block, nullptr) << "the block is made at attach";
    auto* view = static_cast<uint8_t*>(MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, 4096));
    ASSERT_NE(view, nullptr);
    for (int i = 0; i < 4096; ++i)
        ASSERT_EQ(view[i], 0) << "byte " << i;

    // While it exists, a second attach (another process loading the library) keeps its bytes.
    view[0] = 0x2A;
    view[4095] = 0x5C;
    DllMain(self, DLL_PROCESS_DETACH, nullptr);
    ASSERT_TRUE(DllMain(self, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(view[0], 0x2A);
    EXPECT_EQ(view[4095], 0x5C);
    DllMain(self, DLL_PROCESS_DETACH, nullptr);
    UnmapViewOfFile(view);
    CloseHandle(block);
    EXPECT_EQ(OpenFileMappingW(FILE_MAP_WRITE, FALSE, L"keldhookmemfilemap"), nullptr)
        << "the block goes with its last handle";
}

}  // namespace
