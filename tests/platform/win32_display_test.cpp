// The Win32 display and escape ports against the real calls (run under Wine): the mode record
// comes back whole in DEVMODEA's layout, device contexts work and are released, and an escape
// the driver does not know goes unanswered.
#include "platform/win32/win32_display.h"

#include <gtest/gtest.h>

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
    display.ReleaseScreenDc(dc);
}

}  // namespace
