// The simulated board: the escape formats it answers, the state it keeps, its mode changes and
// the device contexts it hands out.
#include "platform/sim/sim_board.h"

#include <gtest/gtest.h>

#include "adapter/registry_layout.h"

namespace {

struct Call {
    SimBoard& board;
    ScreenDc dc;
    explicit Call(SimBoard& b) : board(b), dc(b.GetScreenDc()) {}
    ~Call() { board.ReleaseScreenDc(dc); }
    bool Tv(uint32_t* words) { return board.Escape(dc, 100, words, 32) != 0; }
    bool Feature(uint32_t* words, uint32_t bytes = 16) {
        return board.Escape(dc, 110, words, bytes) != 0;
    }
};

TEST(SimBoard, TvControlKeepsTheOutputAndFlickerLevel) {
    SimBoard board;
    Call call(board);
    board.selectedTvSet = 2;
    uint32_t words[8] = {2, 1};  // TV on
    ASSERT_TRUE(call.Tv(words));
    EXPECT_EQ(words[2], 2u | 2u << 24) << "NTSC in use, flicker level 2";
    uint32_t undo[8] = {2, 0xFFFFFFFFu};
    ASSERT_TRUE(call.Tv(undo));
    EXPECT_EQ(board.tvState, 0u) << "the undo restores the state before the action";

    board.selectedTvSet = 1;
    uint32_t on[8] = {2, 1};
    call.Tv(on);
    uint32_t flicker[8] = {2, 0x05000000u};
    ASSERT_TRUE(call.Tv(flicker));
    board.tvStatus = 9;
    uint32_t query[8] = {0};
    ASSERT_TRUE(call.Tv(query));
    EXPECT_EQ(query[2], 1u | 5u << 24);
    EXPECT_EQ(query[7], 9u);

    uint32_t unknown[8] = {2, 0x12};
    EXPECT_FALSE(call.Tv(unknown));
    uint32_t bad[8] = {1};
    EXPECT_FALSE(call.Tv(bad));
    EXPECT_EQ(board.Escape(call.dc, 100, query, 16), 0) << "the TV buffer is 32 bytes";
    board.answersTv = false;
    EXPECT_FALSE(call.Tv(query));
    ASSERT_EQ(board.escapes.size(), 9u);
    EXPECT_EQ(board.escapes[1].sent[1], 0xFFFFFFFFu) << "the words as sent, not as answered";
    EXPECT_FALSE(board.escapes.back().answered);
}

TEST(SimBoard, FeatureControlStatesAndReplies) {
    SimRegistry reg;
    SimBoard board;
    board.Install(reg);
    Call call(board);

    uint32_t zoom[4] = {3, 1};
    ASSERT_TRUE(call.Feature(zoom));
    EXPECT_EQ(zoom[2], 2u);
    uint32_t zoomOff[4] = {3, 2};
    call.Feature(zoomOff);
    EXPECT_EQ(zoomOff[2], 1u);
    board.zoomState = 0;
    uint32_t none[4] = {3, 1};
    ASSERT_TRUE(call.Feature(none));
    EXPECT_EQ(none[2], 0u) << "a board without the zoom cannot switch it on";

    uint32_t pan[4] = {4, 1};
    call.Feature(pan);
    EXPECT_EQ(pan[2], 1u);
    uint32_t panOff[4] = {4, 2};
    call.Feature(panOff);
    EXPECT_EQ(panOff[2], 2u);

    uint32_t video[4] = {0, 4};
    ASSERT_TRUE(call.Feature(video));
    EXPECT_EQ(video[3], 0u);
    uint32_t type = 0;
    SimRegistry::Bytes data;
    ASSERT_TRUE(
        reg.GetRaw(HKEY_LOCAL_MACHINE_, board.SettingsKey(), kValidVideoModes, &type, &data));
    EXPECT_EQ(type, REG_BINARY_);
    EXPECT_EQ(data, (SimRegistry::Bytes{4, 0, 0, 0x80})) << "the driver reports the new setting";
    board.refusesVideoOptimization = true;
    uint32_t refused[4] = {0, 2};
    ASSERT_TRUE(call.Feature(refused));
    EXPECT_EQ(refused[3], 1u);

    board.visibleRect = {10, 20, 30, 40};
    uint32_t rect[15] = {7, 1};
    EXPECT_FALSE(call.Feature(rect, 16)) << "feature 7 needs its 60-byte buffer";
    ASSERT_TRUE(call.Feature(rect, 60));
    EXPECT_EQ(rect[11], 10u);
    EXPECT_EQ(rect[14], 40u);

    uint32_t wrongSize[15] = {5, 0};
    EXPECT_FALSE(call.Feature(wrongSize, 60));
    uint32_t unknown[4] = {6, 0};
    EXPECT_FALSE(call.Feature(unknown));
    board.silentFeatures.insert(5);
    uint32_t silent[4] = {5, 0};
    EXPECT_FALSE(call.Feature(silent));
}

TEST(SimBoard, ModeChangesAndTheScreen) {
    SimBoard board;
    board.AddMode(800, 600, 15, 60);
    int notified = 0;
    board.onDisplayChange = [&] { ++notified; };

    DevMode mode = board.modes[0];
    EXPECT_EQ(board.ChangeSettings(mode, CDS_TEST_), DISP_CHANGE_SUCCESSFUL_);
    EXPECT_EQ(notified, 0) << "a test changes nothing";
    EXPECT_EQ(board.screen.width, 1024u);
    EXPECT_EQ(board.ChangeSettings(mode, CDS_UPDATEREGISTRY_), DISP_CHANGE_SUCCESSFUL_);
    EXPECT_EQ(notified, 1);

    const ScreenDc dc = board.GetScreenDc();
    EXPECT_EQ(board.DeviceCaps(dc, BITSPIXEL_), 16) << "a 5-5-5 screen reports 16 bits";
    EXPECT_EQ(board.DeviceCaps(dc, HORZRES_), 800);
    EXPECT_EQ(board.DeviceCaps(dc, VREFRESH_), 60);
    uint16_t pixel = 0;
    ASSERT_TRUE(board.ProbeWhitePixel(&pixel));
    EXPECT_EQ(pixel, 0x7FFF);
    board.ReleaseScreenDc(dc);
    EXPECT_EQ(board.DeviceCaps(dc, HORZRES_), 0) << "a released context answers nothing";

    mode.dmPelsWidth = 640;
    EXPECT_EQ(board.ChangeSettings(mode, CDS_TEST_), DISP_CHANGE_BADMODE_);
    mode = board.modes[0];
    mode.dmDisplayFrequency = 85;
    EXPECT_EQ(board.ChangeSettings(mode, CDS_TEST_), DISP_CHANGE_BADMODE_);
    mode.dmFields &= ~DM_DISPLAYFREQUENCY_;
    EXPECT_EQ(board.ChangeSettings(mode, CDS_TEST_), DISP_CHANGE_SUCCESSFUL_)
        << "a rate that is not named is not compared";
    EXPECT_EQ(board.changes.size(), 5u);

    board.ReleaseScreenDc(dc);
    EXPECT_EQ(board.badReleases, 1u);
    EXPECT_EQ(board.OpenDcCount(), 0);
}

}  // namespace
