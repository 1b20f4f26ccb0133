// The Win32 display and escape ports against the real calls (run under Wine): the mode record
// comes back whole in DEVMODEA's layout, device contexts work and are released, and an escape
// the driver does not know goes unanswered.
#include "platform/win32/win32_display.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

namespace {

TEST(Win32Display, EnumeratesWholeModeRecords) {
    Win32Display display;
    DevMode mode = {};
    ASSERT_TRUE(display.EnumMode(0, &mode));
    // The system states its own record size (Wine: 124, without the ICM and panning fields).
    EXPECT_GE(mode.dmSize, 124u);
    EXPECT_LE(mode.dmSize, sizeof(DevMode));
    EXPECT_GT(mode.dmBitsPerPel, 0u);
    EXPECT_GE(mode.dmPelsWidth, 320u);
    EXPECT_NE(mode.dmFields & DM_PELSWIDTH_, 0u);
    EXPECT_FALSE(display.EnumMode(100000, &mode));

    // The enumerated record is accepted back unchanged for a test.
    ASSERT_TRUE(display.EnumMode(0, &mode));
    EXPECT_EQ(display.ChangeSettings(mode, CDS_TEST_), DISP_CHANGE_SUCCESSFUL_);
}

TEST(Win32Display, ScreenContextCapsProbeAndEscape) {
    Win32Display display;
    const ScreenDc dc = display.GetScreenDc();
    ASSERT_NE(dc, 0u);
    EXPECT_GT(display.DeviceCaps(dc, HORZRES_), 0);
    EXPECT_GT(display.DeviceCaps(dc, VERTRES_), 0);
    EXPECT_GT(display.DeviceCaps(dc, BITSPIXEL_), 0);
    uint16_t pixel = 0;
    EXPECT_TRUE(display.ProbeWhitePixel(&pixel));

    Win32Escape escape;
    uint32_t words[8] = {0};
    EXPECT_EQ(escape.Escape(dc, 0x7FF0, words, sizeof(words)), 0) << "no driver knows it";
    EXPECT_EQ(escape.Escape(0, 100, words, sizeof(words)), 0) << "no device context, no answer";
    display.ReleaseScreenDc(dc);
}

TEST(Win32Windows, WalkTitlesPostsAndPlacement) {
    HWND own = CreateWindowExA(0, "STATIC", "window port check", WS_POPUP, 40, 30, 53, 48, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(own, nullptr);
    Win32Windows windows;
    const WindowHandle handle = reinterpret_cast<WindowHandle>(own);

    // The walk over the top-level windows reaches it, and ends.
    bool found = false;
    int steps = 0;
    for (WindowHandle w = windows.TopWindow(); w && steps < 10000; w = windows.NextWindow(w)) {
        found |= w == handle;
        ++steps;
    }
    EXPECT_TRUE(found);
    EXPECT_LT(steps, 10000);

    char title[64];
    windows.WindowTitle(handle, title, sizeof(title));
    EXPECT_STREQ(title, "window port check");
    char shortTitle[7];
    std::memset(shortTitle, 'x', sizeof(shortTitle));
    windows.WindowTitle(handle, shortTitle, sizeof(shortTitle));
    EXPECT_STREQ(shortTitle, "window") << "cut and terminated";

    Rect rect = {};
    ASSERT_TRUE(windows.GetWindowRect(handle, &rect));
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.bottom, 78);
    windows.MoveWindow(handle, 100, 90, 53, 48, false);
    int32_t x = 5;
    int32_t y = 6;
    windows.ClientToScreen(handle, &x, &y);
    EXPECT_EQ(x, 105);
    EXPECT_EQ(y, 96);

    ASSERT_TRUE(windows.PostWindowMessage(handle, WM_USER + 7, 3, -4));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, own, WM_USER + 7, WM_USER + 7, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(msg.lParam, -4);

    Rect area = {};
    ASSERT_TRUE(windows.GetWorkArea(&area));
    EXPECT_GT(area.right, area.left);
    EXPECT_GT(area.bottom, area.top);
    DestroyWindow(own);
}

}  // namespace
