// Switching to a catalogue entry: the test, the restart alert, the change and the refresh.
#include "tray/mode_switch.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/tray/tray_rig.h"
#include "tray/mode_catalogue.h"
#include "tray/tray_menu.h"

namespace {

// A board with three 16-bit modes and the screen at 1024 x 768, 16 bits, 75 Hz; the catalogue
// and menu built as the program starts them.
struct Switching : TrayRig {
    Switching() {
        board.AddMode(640, 480, 16, 75);
        board.AddMode(800, 600, 16, 75);
        board.AddMode(1024, 768, 16, 75);
        BuildModeCatalogue(tray, kMainWindow);
        BuildTrayMenu(tray, kMainWindow);
        board.changes.clear();
        shell.notifies.clear();
        shell.iconShown = true;
    }
};

TEST(ApplyMode, TestsThenAppliesTheWholeRecordAndRefreshes) {
    Switching rig;
    rig.tray.catalogue.entries[0].dmDisplayFlags = 0x20;  // kept whole, flags included
    const DevMode chosen = rig.tray.catalogue.entries[0];
    rig.tray.state.hardwareZoomOn = true;
    rig.tray.state.panStopOn = true;
    int notified = 0;
    rig.board.onDisplayChange = [&] { ++notified; };

    ApplyMode(rig.tray, 0, kMainWindow);
    ASSERT_EQ(rig.board.changes.size(), 2u);
    EXPECT_EQ(rig.board.changes[0].flags, CDS_TEST_);
    EXPECT_EQ(rig.board.changes[1].flags, CDS_UPDATEREGISTRY_);
    EXPECT_EQ(std::memcmp(&rig.board.changes[0].mode, &chosen, sizeof(DevMode)), 0);
    EXPECT_EQ(std::memcmp(&rig.board.changes[1].mode, &chosen, sizeof(DevMode)), 0);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(rig.board.screen.width, 640u);

    // Zoom and pan stop cleared, then the tooltip, the catalogue and the menu rebuilt.
    EXPECT_FALSE(rig.tray.state.hardwareZoomOn);
    EXPECT_FALSE(rig.tray.state.panStopOn);
    ASSERT_EQ(rig.shell.notifies.size(), 1u);
    EXPECT_EQ(rig.shell.notifies[0].action, NIM_MODIFY_);
    EXPECT_EQ(rig.shell.notifies[0].tip, "640 x 480, 16 Bpp @ 75 Hz") << "no \" - Zoom ON\"";
    EXPECT_EQ(rig.shell.installs, 2);
    EXPECT_EQ(rig.shell.removals, 1);
    EXPECT_EQ(rig.tray.catalogue.selected, 0u);
    EXPECT_TRUE(rig.windows.boxes.empty()) << "stored: nothing to tell";
    rig.ExpectAllReleased();

    // The mode in force once more: tested, changed and refreshed again.
    ApplyMode(rig.tray, 0, kMainWindow);
    EXPECT_EQ(rig.board.changes.size(), 4u);
    EXPECT_EQ(rig.shell.notifies.size(), 2u);
}

TEST(ApplyMode, ARestartIsRefusedWithTheAlert) {
    Switching rig;
    const uint32_t before = rig.tray.catalogue.selected;
    EXPECT_EQ(before, 2u);
    rig.board.changeAnswer = [](const DevMode&, uint32_t) { return DISP_CHANGE_RESTART_; };
    ApplyMode(rig.tray, 1, kMainWindow);
    ASSERT_EQ(rig.windows.boxes.size(), 1u);
    const SimWindows::Box& box = rig.windows.boxes[0];
    EXPECT_EQ(box.owner, kMainWindow);
    EXPECT_EQ(box.text, "This mode requires a reboot which\nis not supported in this program.");
    EXPECT_EQ(box.caption, "Zenpick Alert");
    EXPECT_EQ(box.flags, MB_TOPMOST_ | MB_ICONERROR_ | MB_OK_);
    EXPECT_EQ(rig.board.changes.size(), 1u) << "only the test";
    EXPECT_EQ(rig.tray.catalogue.selected, before);
    EXPECT_TRUE(rig.shell.notifies.empty());
}

TEST(ApplyMode, OtherRefusalsAreSilent) {
    const int32_t answers[] = {DISP_CHANGE_BADMODE_, DISP_CHANGE_FAILED_, DISP_CHANGE_BADFLAGS_};
    for (int32_t answer : answers) {
        Switching rig;
        rig.tray.state.hardwareZoomOn = true;
        rig.board.changeAnswer = [answer](const DevMode&, uint32_t) { return answer; };
        ApplyMode(rig.tray, 1, kMainWindow);
        EXPECT_TRUE(rig.windows.boxes.empty());
        EXPECT_EQ(rig.board.changes.size(), 1u);
        EXPECT_EQ(rig.tray.catalogue.selected, 1u) << "stays at the chosen entry";
        EXPECT_TRUE(rig.tray.state.hardwareZoomOn);
        EXPECT_TRUE(rig.shell.notifies.empty()) << "no refresh";
    }

    // The test passes but the stored change fails: no refresh either, and no other try.
    Switching rig;
    rig.board.changeAnswer = [](const DevMode&, uint32_t flags) {
        return flags == CDS_TEST_ ? DISP_CHANGE_SUCCESSFUL_ : DISP_CHANGE_FAILED_;
    };
    rig.tray.state.panStopOn = true;
    ApplyMode(rig.tray, 0, kMainWindow);
    EXPECT_EQ(rig.board.changes.size(), 2u);
    EXPECT_TRUE(rig.tray.state.panStopOn);
    EXPECT_TRUE(rig.shell.notifies.empty());
}

TEST(ApplyMode, AModeTheSystemCannotStoreIsSetForTheSessionAndTold) {
    Switching rig;
    rig.board.storesDefaults = false;  // a user who may not write the display's defaults
    rig.tray.state.hardwareZoomOn = true;
    const DevMode chosen = rig.tray.catalogue.entries[0];
    ApplyMode(rig.tray, 0, kMainWindow);
    ASSERT_EQ(rig.board.changes.size(), 3u);
    EXPECT_EQ(rig.board.changes[1].flags, CDS_UPDATEREGISTRY_);
    EXPECT_EQ(rig.board.changes[1].answer, DISP_CHANGE_NOTUPDATED_);
    EXPECT_EQ(rig.board.changes[2].flags, 0u) << "the same record, for the session";
    EXPECT_EQ(std::memcmp(&rig.board.changes[2].mode, &chosen, sizeof(DevMode)), 0);
    EXPECT_EQ(rig.board.screen.width, 640u);
    EXPECT_FALSE(rig.tray.state.hardwareZoomOn);
    ASSERT_EQ(rig.shell.notifies.size(), 1u) << "refreshed as after any change";
    EXPECT_EQ(rig.shell.notifies[0].tip, "640 x 480, 16 Bpp @ 75 Hz");
    ASSERT_EQ(rig.windows.boxes.size(), 1u);
    const SimWindows::Box& box = rig.windows.boxes[0];
    EXPECT_EQ(box.owner, kMainWindow);
    EXPECT_EQ(box.text,
              "This mode stays until Windows NT restarts.\nOnly an administrator can make it the "
              "default.");
    EXPECT_EQ(box.caption, "Zenpick Alert");
    EXPECT_EQ(box.flags, 0x40040u) << "MB_TOPMOST | MB_ICONINFORMATION, OK only";

    // The change for the session refused too: nothing, as for any refused change.
    Switching refused;
    refused.board.storesDefaults = false;
    refused.board.changesForSession = false;
    ApplyMode(refused.tray, 0, kMainWindow);
    EXPECT_EQ(refused.board.changes.size(), 3u);
    EXPECT_EQ(refused.board.screen.width, 1024u);
    EXPECT_TRUE(refused.shell.notifies.empty());
    EXPECT_TRUE(refused.windows.boxes.empty());
}

TEST(ApplyMode, ARecordWithoutDisplayFieldsFallsBackToThePreviousEntry) {
    Switching rig;
    rig.tray.catalogue.entries[0].dmFields = 0x1;  // none of the display fields
    ApplyMode(rig.tray, 0, kMainWindow);
    ASSERT_EQ(rig.board.changes.size(), 2u);
    EXPECT_EQ(rig.board.changes[0].mode.dmPelsWidth, 1024u) << "the previous entry";

    // An index past the catalogue (a menu older than the catalogue) changes nothing.
    Switching stale;
    stale.tray.catalogue.selected = 7;
    ApplyMode(stale.tray, 3, kMainWindow);
    stale.tray.catalogue.entries[1].dmFields = 0;
    ApplyMode(stale.tray, 1, kMainWindow);
    EXPECT_TRUE(stale.board.changes.empty());
    EXPECT_EQ(stale.tray.catalogue.selected, 7u);
    stale.tray.catalogue.selected = 3;  // just past the last entry
    ApplyMode(stale.tray, 1, kMainWindow);
    EXPECT_TRUE(stale.board.changes.empty());
}

}  // namespace
