// The applet's entry (count, description, start, rights) and the alignment options dialog.
#include "applet/applet_entry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "applet/twin_control.h"
#include "applet_rig.h"

namespace applet_test {
namespace {

TEST(AppletEntry, CountFollowsTheAdaptersAndNotesTheTvOutput) {
    struct Case {
        const char* what;
        Board board;
        uint32_t count;
        bool secondAdapter;
    } cases[] = {
        {"no board", Board::kNone, 0, false},
        {"one adapter", Board::kSingle, 1, false},
        {"two heads", Board::kTwoHead, 2, false},
        {"two adapters", Board::kTwoAdapters, 2, true},
    };
    for (const Case& c : cases) {
        Rig rig(c.board);
        rig.state.selection.restartMode = true;
        rig.state.selection.boardHasTv = true;
        rig.state.adapter.secondAdapter = true;
        rig.state.appletCount = 2;
        EXPECT_EQ(rig.Count(), c.count) << c.what;
        EXPECT_EQ(rig.state.appletCount, c.count);
        EXPECT_EQ(rig.state.adapter.secondAdapter, c.secondAdapter) << c.what;
        EXPECT_FALSE(rig.state.selection.restartMode);
        EXPECT_EQ(rig.state.selection.boardHasTv, c.board != Board::kNone) << c.what;
        EXPECT_EQ(rig.reg.OpenKeyCount(), 0);
    }

    Rig other;
    other.reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kSecondDeviceValue,
                        "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\vga\\Device0");
    EXPECT_EQ(other.Count(), 1u) << "second device of another driver";
    other.reg.SetString(
        HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
        "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\LUMORA\\Device0");
    EXPECT_EQ(other.Count(), 0u) << "the name is searched with its case";
}

TEST(AppletEntry, TvOutputNeedsABinaryWithBitZeroOrOne) {
    struct Case {
        uint32_t type;
        uint32_t value;
        bool tv;
    } cases[] = {{REG_BINARY_, 0, false},
                 {REG_BINARY_, 4, false},
                 {REG_BINARY_, 2, true},
                 {REG_BINARY_, 0xFFFFFFFD, true},
                 {REG_DWORD_, 3, false}};
    for (const Case& c : cases) {
        Rig rig;
        if (c.type == REG_DWORD_)
            rig.StoreDword(rig.Settings(), kAvailableTvSet, c.value);
        else
            rig.reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, rig.Settings(), kAvailableTvSet, c.value);
        rig.Count();
        EXPECT_EQ(rig.state.selection.boardHasTv, c.tv) << c.type << " " << c.value;
    }
}

TEST(AppletEntry, MessagesAndResults) {
    Rig rig;
    EXPECT_EQ(AppletMessage(rig.applet, kControlPanel, CPL_INIT_, 0, nullptr), 1);
    EXPECT_EQ(AppletMessage(rig.applet, kControlPanel, CPL_INIT_, 0, nullptr), 1);
    EXPECT_EQ(rig.state.useCount, 2);
    EXPECT_EQ(AppletMessage(rig.applet, kControlPanel, CPL_EXIT_, 0, nullptr), 0);
    EXPECT_EQ(rig.state.useCount, 1);
    for (uint32_t m : {CPL_INQUIRE_, CPL_SELECT_, CPL_STOP_, 9u, 0x400u})
        EXPECT_EQ(AppletMessage(rig.applet, kControlPanel, m, 0, nullptr), 0) << m;
    EXPECT_TRUE(rig.ui.runs.empty());
}

TEST(AppletEntry, DescriptionsComeFromTheStringsClipped) {
    Rig rig;
    rig.ui.strings = {{IDS_MONITOR_SELECT_NAME, "orvel Monitor Select"},
                      {IDS_MONITOR_SELECT_INFO, "monitor selection."},
                      {IDS_TWIN_CONTROL_NAME, std::string(40, 'N')},
                      {IDS_TWIN_CONTROL_INFO, std::string(80, 'I')}};
    rig.ui.icons = {{IDI_MONITOR_SELECT, 0x5100}, {IDI_TWIN_CONTROL, 0x5400}};
    NewCplInfo info;
    std::memset(&info, 0xAB, sizeof(info));
    EXPECT_EQ(AppletMessage(rig.applet, kControlPanel, CPL_NEWINQUIRE_, 0, &info), 0);
    EXPECT_EQ(info.dwSize, 244u);
    EXPECT_EQ(info.dwFlags | info.dwHelpContext | info.lData, 0u);
    EXPECT_EQ(info.hIcon, 0x5100u);
    EXPECT_STREQ(info.szName, "orvel Monitor Select");
    EXPECT_STREQ(info.szInfo, "monitor selection.");
    EXPECT_STREQ(info.szHelpFile, "");

    AppletMessage(rig.applet, kControlPanel, CPL_NEWINQUIRE_, 1, &info);
    EXPECT_EQ(info.hIcon, 0x5400u);
    EXPECT_EQ(std::string(info.szName), std::string(31, 'N'));
    EXPECT_EQ(std::string(info.szInfo), std::string(63, 'I'));

    std::memset(&info, 0xAB, sizeof(info));
    AppletMessage(rig.applet, kControlPanel, CPL_NEWINQUIRE_, 2, &info);
    EXPECT_EQ(info.dwSize, 0xABABABABu) << "no third applet";
}

TEST(AppletEntry, StartOpensTheDialogOfTheAdapters) {
    struct Case {
        Board board;
        uintptr_t index;
        int32_t dialogTemplate;
        uint32_t procedure;
    } cases[] = {
        {Board::kSingle, 0, IDD_SINGLE_SCREEN, kSingleScreenProcedure},
        {Board::kTwoHead, 0, IDD_DUAL_SCREEN, kDualScreenProcedure},
        {Board::kTwoAdapters, 0, IDD_DUAL_SCREEN, kDualScreenProcedure},
        {Board::kTwoHead, 1, IDD_TWIN_CONTROL, kTwinControlProcedure},
    };
    for (const Case& c : cases) {
        Rig rig(c.board);
        rig.Count();
        EXPECT_EQ(AppletMessage(rig.applet, kControlPanel, CPL_DBLCLK_, c.index, nullptr), 0);
        ASSERT_EQ(rig.ui.runs.size(), 1u);
        EXPECT_EQ(rig.ui.runs[0].owner, kControlPanel);
        EXPECT_EQ(rig.ui.runs[0].templateId, c.dialogTemplate);
        EXPECT_EQ(rig.ui.runs[0].procedure, c.procedure);
        EXPECT_TRUE(rig.ui.boxes.empty());
    }
    Rig rig;
    rig.Count();
    StartApplet(rig.applet, kControlPanel, 2);
    EXPECT_TRUE(rig.ui.runs.empty());
}

TEST(AppletEntry, RightsCheckWritesTheBoardIdBackUnchanged) {
    const std::string kMissing = "missing";
    struct Case {
        const char* what;
        uint32_t type;
        SimRegistry::Bytes bytes;  // empty: missing
        bool denyWrites;
        bool rights;
    } cases[] = {
        {"binary", REG_BINARY_, {1, 2, 3, 4}, false, true},
        {"short binary", REG_BINARY_, {9, 8}, false, true},
        {"missing", REG_BINARY_, {}, false, false},
        {"dword", REG_DWORD_, {1, 2, 3, 4}, false, false},
        {"longer than 4 bytes", REG_BINARY_, {1, 2, 3, 4, 5}, false, false},
        {"no write access", REG_BINARY_, {1, 2, 3, 4}, true, false},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Count();
        if (c.bytes.empty())
            rig.reg.RemoveValue(HKEY_LOCAL_MACHINE_, rig.Settings(), kPrimaryBoardId);
        else
            rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, rig.Settings(), kPrimaryBoardId, c.type, c.bytes);
        if (c.denyWrites)
            rig.reg.SetWritable(HKEY_LOCAL_MACHINE_, rig.Settings(), false);
        EXPECT_EQ(CheckAdminRights(rig.applet), c.rights) << c.what;
        uint32_t type = 0;
        SimRegistry::Bytes after;
        if (!c.bytes.empty()) {
            ASSERT_TRUE(rig.reg.GetRaw(HKEY_LOCAL_MACHINE_, rig.Settings(), kPrimaryBoardId, &type,
                                       &after));
            EXPECT_EQ(type, c.type);
            EXPECT_EQ(after, c.bytes) << c.what;
        }
        EXPECT_EQ(rig.reg.OpenKeyCount(), 0);

        StartApplet(rig.applet, kControlPanel, 0);
        EXPECT_EQ(rig.ui.runs.size(), c.rights ? 1u : 0u) << c.what;
        if (!c.rights) {
            ASSERT_EQ(rig.ui.boxes.size(), 1u);
            EXPECT_EQ(rig.ui.boxes[0].owner, kControlPanel);
            EXPECT_EQ(rig.ui.boxes[0].text,
                      "You must have Administrator Rights to change the monitor selection");
            EXPECT_EQ(rig.ui.boxes[0].caption, "Monitor change - Access rights");
            EXPECT_EQ(rig.ui.boxes[0].flags, 0x42010u);
        }
        // The alignment options have no rights check.
        StartApplet(rig.applet, kControlPanel, 1);
        EXPECT_EQ(rig.ui.runs.back().templateId, IDD_TWIN_CONTROL);
    }
    Rig gone;
    gone.Count();
    gone.reg.RemoveKey(HKEY_LOCAL_MACHINE_, gone.Settings());
    EXPECT_FALSE(CheckAdminRights(gone.applet)) << "no settings key";
}

TEST(AppletEntry, LoadAndUnloadInvalidateTheCacheAndRegisterTheMessage) {
    Rig rig;
    rig.reg.SetDword(HKEY_CURRENT_USER_, kAppletCacheKey, kCacheValid, 1);
    AppletLoaded(rig.applet);
    EXPECT_EQ(rig.Number(kAppletCacheKey, kCacheValid, REG_DWORD_, HKEY_CURRENT_USER_), 0);
    EXPECT_EQ(rig.state.alignmentMessage, rig.ui.registered.at("orvelAlignmentChange"));
    rig.reg.SetDword(HKEY_CURRENT_USER_, kAppletCacheKey, kCacheValid, 1);
    AppletUnloaded(rig.applet);
    EXPECT_EQ(rig.Number(kAppletCacheKey, kCacheValid, REG_DWORD_, HKEY_CURRENT_USER_), 0);
}

// The alignment options dialog on a two-screen board.
struct TwinRig : Rig {
    explicit TwinRig(Board board = Board::kTwoHead) : Rig(board) {
        AppletLoaded(applet);
        Count();
        ui.AddControls(
            {IDC_TWIN_OK, IDC_TWIN_CANCEL, IDC_MAXIMIZE_ALIGNMENT, IDC_DIALOG_ALIGNMENT});
    }
    intptr_t Open() { return TwinControlDlgProc(applet, kDialog, WM_INITDIALOG_, 0); }
    intptr_t Press(int32_t id) {
        if (id == IDC_MAXIMIZE_ALIGNMENT || id == IDC_DIALOG_ALIGNMENT)
            ui.At(id).checked = !ui.At(id).checked;
        return TwinControlDlgProc(applet, kDialog, WM_COMMAND_, static_cast<uintptr_t>(id));
    }
    int64_t Flags() const {
        return Number(kAlignmentKey, kTwinControlFlag, REG_DWORD_, HKEY_CURRENT_USER_);
    }
};

TEST(TwinControlDialog, KeepsBitTwoDropsTheRestAndSendsOnlyOnAChange) {
    TwinRig rig;
    rig.reg.SetDword(HKEY_CURRENT_USER_, kAlignmentKey, kTwinControlFlag, 0x0D);
    EXPECT_EQ(rig.Open(), 1);
    EXPECT_TRUE(rig.ui.At(IDC_MAXIMIZE_ALIGNMENT).checked);
    EXPECT_FALSE(rig.ui.At(IDC_DIALOG_ALIGNMENT).checked);
    EXPECT_EQ(rig.Press(IDC_TWIN_OK), 1);
    EXPECT_EQ(rig.Flags(), 5);
    EXPECT_TRUE(rig.ui.broadcasts.empty());

    rig.Open();
    rig.Press(IDC_MAXIMIZE_ALIGNMENT);
    rig.Press(IDC_MAXIMIZE_ALIGNMENT);
    rig.Press(IDC_TWIN_OK);
    EXPECT_EQ(rig.Flags(), 5);
    EXPECT_TRUE(rig.ui.broadcasts.empty()) << "toggled twice: no change";

    int64_t seen = -100;
    rig.ui.onBroadcast = [&](uint32_t) { seen = rig.Flags(); };
    rig.Open();
    rig.Press(IDC_DIALOG_ALIGNMENT);
    rig.Press(IDC_TWIN_OK);
    EXPECT_EQ(rig.Flags(), 7);
    EXPECT_EQ(rig.ui.broadcasts, (std::vector<uint32_t>{rig.state.alignmentMessage}));
    EXPECT_EQ(seen, 7) << "sent after the write";
    EXPECT_EQ(rig.ui.ended, (std::vector<intptr_t>{1, 1, 1}));
    EXPECT_EQ(rig.reg.OpenKeyCount(), 0);
}

TEST(TwinControlDialog, EachBoxSetsAndClearsItsOwnBit) {
    TwinRig rig;
    rig.reg.SetDword(HKEY_CURRENT_USER_, kAlignmentKey, kTwinControlFlag, 7);
    rig.Open();
    EXPECT_TRUE(rig.ui.At(IDC_MAXIMIZE_ALIGNMENT).checked);
    EXPECT_TRUE(rig.ui.At(IDC_DIALOG_ALIGNMENT).checked);
    EXPECT_EQ(rig.Press(IDC_MAXIMIZE_ALIGNMENT), 1);
    EXPECT_EQ(rig.state.twinFlags, 6u);
    EXPECT_EQ(rig.Press(IDC_DIALOG_ALIGNMENT), 1);
    EXPECT_EQ(rig.state.twinFlags, 4u);
    EXPECT_EQ(TwinControlDlgProc(rig.applet, kDialog, WM_PAINT_, 0), 0);
    rig.trace.clear();
    rig.Press(IDC_TWIN_OK);
    EXPECT_EQ(rig.Flags(), 4);
    EXPECT_EQ(rig.trace,
              (std::vector<std::string>{
                  "broadcast " + std::to_string(rig.state.alignmentMessage) + " 0 0 smto 2 3000",
                  "end 1"}));
}

TEST(TwinControlDialog, OpeningCreatesTheKeyAndReadsOnlyADword) {
    TwinRig rig;
    rig.Open();
    EXPECT_TRUE(rig.reg.KeyExists(HKEY_CURRENT_USER_, kAlignmentKey));
    EXPECT_EQ(rig.Flags(), -1) << "nothing written by opening";
    rig.reg.SetRaw(HKEY_CURRENT_USER_, kAlignmentKey, kTwinControlFlag, REG_BINARY_, {3, 0, 0, 0});
    rig.ui.At(IDC_MAXIMIZE_ALIGNMENT).checked = true;
    rig.Open();
    EXPECT_EQ(rig.state.twinFlags, 0u);
    EXPECT_FALSE(rig.ui.At(IDC_MAXIMIZE_ALIGNMENT).checked);
    EXPECT_FALSE(rig.ui.At(IDC_DIALOG_ALIGNMENT).checked);

    // A key that can be neither opened nor created: 0, not what an earlier opening showed.
    rig.reg.SetDword(HKEY_CURRENT_USER_, kAlignmentKey, kTwinControlFlag, 3);
    const char* failed = "";
    for (uint32_t n = 1; std::strcmp(failed, "registry CreateKey") != 0; ++n) {
        ASSERT_LT(n, 30u);
        rig.Open();
        rig.faults.FailCall(n);
        rig.Open();
        failed = rig.faults.failed() ? rig.faults.failed() : "";
    }
    EXPECT_EQ(rig.state.twinFlags, 0u);
    EXPECT_EQ(rig.state.twinFlagsAtOpen, 0u);
    EXPECT_FALSE(rig.ui.At(IDC_MAXIMIZE_ALIGNMENT).checked);
}

TEST(TwinControlDialog, CancelAndEscape) {
    TwinRig rig;
    rig.Open();
    rig.Press(IDC_DIALOG_ALIGNMENT);
    const uint32_t calls = rig.reg.CallCount();
    EXPECT_EQ(rig.Press(2), 0) << "Esc does nothing";
    EXPECT_TRUE(rig.ui.ended.empty());
    EXPECT_EQ(rig.Press(IDC_TWIN_CANCEL), 1);
    EXPECT_EQ(rig.ui.ended, (std::vector<intptr_t>{1}));
    EXPECT_EQ(rig.reg.CallCount(), calls);
    EXPECT_TRUE(rig.ui.broadcasts.empty());
}

TEST(TwinControlDialog, GateFailureReadsAndWritesNothingButStillSendsAChange) {
    TwinRig rig(Board::kSingle);
    rig.reg.SetDword(HKEY_CURRENT_USER_, kAlignmentKey, kTwinControlFlag, 3);
    rig.state.twinFlags = 1;
    rig.state.twinFlagsAtOpen = 1;
    EXPECT_EQ(rig.Open(), 1);
    EXPECT_FALSE(rig.ui.At(IDC_MAXIMIZE_ALIGNMENT).checked) << "boxes left cleared";
    EXPECT_EQ(rig.state.twinFlags, 1u) << "state untouched";
    rig.Press(IDC_DIALOG_ALIGNMENT);
    rig.Press(IDC_TWIN_OK);
    EXPECT_EQ(rig.Flags(), 3) << "not written";
    EXPECT_EQ(rig.ui.broadcasts.size(), 1u);

    // Two screens but the driver's key gone: the gate fails too.
    TwinRig gone;
    gone.reg.RemoveKey(HKEY_LOCAL_MACHINE_, gone.Settings());
    gone.Open();
    gone.Press(IDC_TWIN_OK);
    EXPECT_FALSE(gone.reg.KeyExists(HKEY_CURRENT_USER_, kAlignmentKey));
}

}  // namespace
}  // namespace applet_test
