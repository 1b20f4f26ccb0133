// The monitor selection dialogs over a simulated board, database and dialog controls.
#include "applet/selection_dialog.h"

#include <gtest/gtest.h>

#include <cstring>

#include "applet_rig.h"

namespace applet_test {
namespace {

const std::vector<std::string> kSingleList = {"Generic 640x480", "31kHz VGA", "Orvel 19 Single"};
const std::vector<std::string> kDualList = {"Generic 640x480", "31kHz VGA", "Orvel 17 single",
                                            "Orvel 21 SINGLE", "Orvel 19 Single"};

TEST(SingleScreenDialog, OpensWithTheFilteredListAndTheStoredModel) {
    Rig rig;
    rig.Count();
    rig.Store(rig.Settings(), kPrimarySelectedMonitor, "orvel 19 SINGLE");
    rig.state.selection.tvBoxTicked = true;  // left by an earlier opening
    EXPECT_EQ(rig.OpenSelection(false), 1);
    EXPECT_EQ(rig.ui.At(IDC_LEFT_LIST).items, kSingleList) << "file order, single-only left out";
    EXPECT_EQ(rig.Selected(IDC_LEFT_LIST), "Orvel 19 Single") << "found without case";
    EXPECT_STREQ(rig.state.selection.openedPrimary, "orvel 19 SINGLE");
    EXPECT_STREQ(rig.state.selection.leftChoice, "orvel 19 SINGLE");
    EXPECT_EQ(rig.state.selection.openedIsLeft, 0);
    // The TV part starts with the box cleared: only the box is usable.
    EXPECT_TRUE(rig.ui.At(IDC_TV_AVAILABLE).enabled);
    EXPECT_FALSE(rig.ui.At(IDC_TV_AVAILABLE).checked);
    EXPECT_FALSE(rig.ui.At(IDC_PAL).enabled);
    EXPECT_FALSE(rig.ui.At(IDC_NTSC).enabled);
    EXPECT_FALSE(rig.ui.At(IDC_TV_GROUP).enabled);
    EXPECT_EQ(rig.reg.OpenKeyCount(), 0);
}

TEST(SingleScreenDialog, StoredChoiceThatIsMissingPlaceholderOrUnlisted) {
    struct Case {
        const char* stored;  // null: missing
        std::string selected;
    } cases[] = {
        {nullptr, "31kHz VGA"},
        {"Standard 000", "31kHz VGA"},
        {"Orvel 21 SINGLE", ""},  // not in the single-adapter list
        {"Vendor X", ""},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Count();
        if (c.stored)
            rig.Store(rig.Settings(), kPrimarySelectedMonitor, c.stored);
        rig.OpenSelection(false);
        EXPECT_EQ(rig.Selected(IDC_LEFT_LIST), c.selected) << (c.stored ? c.stored : "missing");
        EXPECT_STREQ(rig.state.selection.openedPrimary, c.stored ? c.stored : "");
    }
}

TEST(SingleScreenDialog, OkStoresEverythingAndAlwaysOffersTheRestart) {
    Rig rig;
    rig.Count();
    rig.Store(rig.Settings(), kPrimarySelectedMonitor, "31kHz VGA");
    rig.reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, rig.Settings(), kSelectedTvSet, 1);
    rig.ui.dialogResults[IDD_RESTART] = kRestartLater;
    rig.state.selection.openedIsLeft = 1;  // left by an earlier dual dialog
    rig.OpenSelection(false);
    rig.trace.clear();
    EXPECT_EQ(rig.Press(IDOK_), 1);

    EXPECT_EQ(rig.Text(rig.Settings(), kPrimarySelectedMonitor), "31kHz VGA");
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryXSize), 320);
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryYSize), 240);
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryIsLeft), 1);
    EXPECT_EQ(rig.Number(rig.Settings(), kSelectedTvSet, REG_BINARY_), -1) << "box was cleared";
    EXPECT_EQ(rig.Number(rig.Maker(), kOrvelIsInstalled), 1);
    // Nothing changed but the side, which the single dialog reads as 0 and stores as 1.
    ASSERT_EQ(rig.ui.runs.size(), 1u);
    EXPECT_EQ(rig.ui.runs[0].owner, kDialog);
    EXPECT_EQ(rig.ui.runs[0].procedure, kRestartProcedure);
    EXPECT_EQ(rig.trace, (std::vector<std::string>{"dialog 105", "end 1"}));
    EXPECT_EQ(rig.reg.OpenKeyCount(), 0);
}

TEST(SingleScreenDialog, RestartNowRestartsAfterThePromptAndBeforeTheEnd) {
    {
        Rig rig;
        rig.Count();
        rig.ui.dialogResults[IDD_RESTART] = kRestartNow;
        rig.OpenSelection(false);
        rig.trace.clear();
        rig.Press(IDOK_);
        EXPECT_EQ(rig.trace,
                  (std::vector<std::string>{"dialog 105", "privilege SeShutdownPrivilege", "exit 2",
                                            "end 1"}));
        EXPECT_EQ(rig.sys.exits, (std::vector<std::pair<uint32_t, uint32_t>>{{2, 0}}));
        EXPECT_TRUE(rig.ui.boxes.empty());
    }
    // A restart that Windows NT refuses is told, and the selection stays stored.
    for (bool held : {false, true}) {
        Rig rig;
        rig.Count();
        rig.sys.privilegeHeld = held;
        rig.sys.exitRefused = held;
        rig.ui.dialogResults[IDD_RESTART] = kRestartNow;
        rig.OpenSelection(false);
        rig.trace.clear();
        rig.Press(IDOK_);
        const std::vector<std::string> held_ = {"dialog 105", "privilege SeShutdownPrivilege",
                                                "box Monitor Settings Change", "end 1"};
        const std::vector<std::string> none = {"dialog 105", "box Monitor Settings Change",
                                               "end 1"};
        EXPECT_EQ(rig.trace, held ? held_ : none) << "no ExitWindowsEx without the privilege";
        ASSERT_EQ(rig.ui.boxes.size(), 1u);
        EXPECT_EQ(rig.ui.boxes[0].text, kRestartFailedText);
        EXPECT_EQ(rig.ui.boxes[0].owner, kDialog);
        EXPECT_EQ(rig.ui.boxes[0].flags, 0x30u);
        EXPECT_EQ(rig.Text(rig.Settings(), kPrimarySelectedMonitor), "31kHz VGA");
    }
}

TEST(SingleScreenDialog, TickingTvWithPalOnlyChoosesPalAndRecordsTheStage) {
    Rig rig(Board::kSingle, 1);
    rig.Count();
    rig.OpenSelection(false);
    rig.Press(IDC_TV_AVAILABLE);
    EXPECT_TRUE(rig.ui.At(IDC_PAL).checked);
    EXPECT_TRUE(rig.ui.At(IDC_PAL).enabled);
    EXPECT_FALSE(rig.ui.At(IDC_NTSC).enabled);
    rig.Press(IDOK_);
    EXPECT_EQ(rig.Number(rig.Settings(), kSelectedTvSet, REG_BINARY_), 1);
    EXPECT_EQ(rig.Number(rig.Maker(), kOrvelIsInstalled), 2);
}

TEST(SingleScreenDialog, UnreadableDatabaseBeepsOnceAndLeavesTheListsEmpty) {
    for (bool missingFile : {true, false}) {
        Rig rig;
        rig.Count();
        if (missingFile)
            rig.profile.files.clear();
        else
            rig.profile.SetFile(kDatabase, "[MONITOR]\n[Other]\nA=1\n");
        EXPECT_EQ(rig.OpenSelection(false), 0);
        EXPECT_EQ(rig.sys.beeps, (std::vector<uint32_t>{MB_ICONEXCLAMATION_}));
        EXPECT_TRUE(rig.ui.At(IDC_LEFT_LIST).items.empty());
        rig.Press(IDOK_);
        EXPECT_EQ(rig.Text(rig.Settings(), kPrimarySelectedMonitor), "<missing>");
        EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryIsLeft), 1)
            << "the side is stored all the same";
    }
    Rig rig;  // a path too long for its room
    rig.Count();
    rig.sys.environment["SYSTEMROOT"] = std::string(1100, 'r');
    EXPECT_EQ(rig.OpenSelection(false), 0);
    EXPECT_EQ(rig.sys.beeps, (std::vector<uint32_t>{MB_ICONEXCLAMATION_}));
}

TEST(SingleScreenDialog, CancelWritesNothing) {
    // Id 2 is also Esc and the close box: in the dual dialog's restart mode too, where the
    // button reads "RESTART NOW", it neither restarts nor writes.
    for (bool restartMode : {false, true}) {
        Rig rig(restartMode ? Board::kTwoAdapters : Board::kSingle);
        rig.Count();
        rig.OpenSelection(restartMode);
        ASSERT_EQ(rig.state.selection.restartMode, restartMode);
        rig.Select(IDC_LEFT_LIST, "Orvel 19 Single");
        const uint32_t calls = rig.reg.CallCount();
        rig.trace.clear();
        EXPECT_EQ(rig.Press(IDCANCEL_), 1);
        EXPECT_EQ(rig.reg.CallCount(), calls);
        EXPECT_EQ(rig.trace, (std::vector<std::string>{"end 1"}));
    }
}

TEST(SingleScreenDialog, UnhandledMessagesAndIds) {
    Rig rig;
    rig.Count();
    rig.OpenSelection(false);
    EXPECT_EQ(rig.Press(IDC_LEFT_LIST), 1);
    EXPECT_EQ(rig.Press(IDC_TV_AVAILABLE), 1);
    EXPECT_EQ(rig.Press(IDC_PAL), 1);
    EXPECT_EQ(rig.Press(IDC_NTSC), 1);
    EXPECT_EQ(rig.Press(1003), 0);
    EXPECT_EQ(rig.Press(IDC_RESTART_NOW), 0) << "no restart outside restart mode";
    EXPECT_EQ(MonitorSelectDlgProc(rig.applet, kDialog, WM_PAINT_, 0, false), 0);
    EXPECT_TRUE(rig.ui.ended.empty());
    EXPECT_TRUE(rig.sys.exits.empty());
}

TEST(SingleScreenDialog, KeysThatWillNotOpenOnOkStillRecordTheStage) {
    Rig rig;
    rig.Count();
    rig.OpenSelection(false);
    rig.reg.RemoveKey(HKEY_LOCAL_MACHINE_, rig.Settings());
    rig.Press(IDOK_);
    EXPECT_EQ(rig.Number(rig.Maker(), kOrvelIsInstalled), 1);
    // The side is set to 1 only with the keys open, so nothing counts as changed.
    EXPECT_TRUE(rig.ui.runs.empty());
    EXPECT_EQ(rig.ui.ended, (std::vector<intptr_t>{1}));

    Rig closed;  // already at the opening: one beep, nothing selected
    closed.Count();
    closed.reg.RemoveKey(HKEY_LOCAL_MACHINE_, closed.Settings());
    closed.OpenSelection(false);
    EXPECT_EQ(closed.sys.beeps, (std::vector<uint32_t>{MB_ICONEXCLAMATION_}));
}

TEST(SingleScreenDialog, LongStoredNamesAreCutToTheFieldsRoom) {
    Rig rig;
    rig.Count();
    const std::string longName(300, 'M');
    rig.Store(rig.Settings(), kPrimarySelectedMonitor, longName);
    rig.OpenSelection(false);
    EXPECT_EQ(std::string(rig.state.selection.openedPrimary), longName.substr(0, 39));
    EXPECT_EQ(rig.Selected(IDC_LEFT_LIST), "");
    rig.Store(rig.Settings(), kPrimarySelectedMonitor, "Short");
    rig.OpenSelection(false);
    EXPECT_STREQ(rig.state.selection.openedPrimary, "Short");
}

TEST(DualScreenDialog, OpensWithTheSideAndBothStoredModelsFromTheirKeys) {
    Rig rig(Board::kTwoAdapters);
    ASSERT_EQ(rig.Count(), 2u);
    rig.StoreDword(rig.Settings(), kPrimaryIsLeft, 1);
    rig.Store(rig.Settings(), kPrimarySelectedMonitor, "Orvel 21 SINGLE");
    rig.Store(rig.Second(), kPrimarySelectedMonitor, "Orvel 21 SINGLE");
    rig.Store(rig.Settings(), kSecondarySelectedMonitor, "Generic 640x480");
    rig.Store(rig.Second(), kSecondarySelectedMonitor, "Orvel 17 single");
    EXPECT_EQ(rig.OpenSelection(true), 1);
    EXPECT_EQ(rig.ui.At(IDC_LEFT_LIST).items, kDualList);
    EXPECT_EQ(rig.ui.At(IDC_RIGHT_LIST).items, kDualList);
    EXPECT_TRUE(rig.ui.At(IDC_BOOT_LEFT).checked);
    EXPECT_FALSE(rig.ui.At(IDC_BOOT_RIGHT).checked);
    EXPECT_EQ(rig.Selected(IDC_LEFT_LIST), "Orvel 21 SINGLE");
    EXPECT_EQ(rig.Selected(IDC_RIGHT_LIST), "Orvel 17 single") << "second adapter's own key";

    // Nothing changed: the values are written again, but no restart is offered.
    rig.Press(IDOK_);
    EXPECT_TRUE(rig.ui.runs.empty());
    for (const std::string& key : {rig.Settings(), rig.Second()}) {
        EXPECT_EQ(rig.Text(key, kPrimarySelectedMonitor), "Orvel 21 SINGLE");
        EXPECT_EQ(rig.Text(key, kSecondarySelectedMonitor), "Orvel 17 single");
        EXPECT_EQ(rig.Number(key, kSecondaryXSize), -1) << "empty X_SIZE: not written";
        EXPECT_EQ(rig.Number(key, kSecondaryYSize), 250);
        EXPECT_EQ(rig.Number(key, kPrimaryXSize), 999) << "no section of its own";
    }
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryIsLeft), 1);
    EXPECT_EQ(rig.Number(rig.Second(), kPrimaryIsLeft), -1) << "the side: first key only";
    EXPECT_EQ(rig.reg.OpenKeyCount(), 0);
}

TEST(DualScreenDialog, PrimaryOnTheRightGoesByRole) {
    Rig rig(Board::kTwoHead);
    ASSERT_EQ(rig.Count(), 2u);
    rig.StoreDword(rig.Settings(), kPrimaryIsLeft, 0);
    rig.Store(rig.Settings(), kSecondarySelectedMonitor, "Orvel 19 Single");
    rig.OpenSelection(true);
    EXPECT_TRUE(rig.ui.At(IDC_BOOT_RIGHT).checked);
    // The missing primary's default goes into the primary's list, the right one.
    EXPECT_EQ(rig.Selected(IDC_RIGHT_LIST), "31kHz VGA");
    EXPECT_EQ(rig.Selected(IDC_LEFT_LIST), "Orvel 19 Single");
    EXPECT_STREQ(rig.state.selection.leftChoice, "Orvel 19 Single");
    EXPECT_STREQ(rig.state.selection.rightChoice, "");

    rig.ui.dialogResults[IDD_RESTART] = kRestartLater;
    rig.Press(IDOK_);
    EXPECT_EQ(rig.Text(rig.Settings(), kPrimarySelectedMonitor), "31kHz VGA");
    EXPECT_EQ(rig.Text(rig.Settings(), kSecondarySelectedMonitor), "Orvel 19 Single");
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryIsLeft), 0);
    // A primary chosen where none was stored is a change; the unchanged secondary is not.
    EXPECT_EQ(rig.ui.runs.size(), 1u);
    std::strcpy(rig.state.selection.openedPrimary, "31kHz VGA");
    EXPECT_FALSE(SelectionChanged(rig.state.selection));
}

TEST(DualScreenDialog, PlaceholderOnEitherKeySelectsTheDefaultForBoth) {
    for (bool onSecondKey : {false, true}) {
        Rig rig(Board::kTwoAdapters);
        rig.Count();
        rig.StoreDword(rig.Settings(), kPrimaryIsLeft, 1);
        rig.Store(rig.Settings(), kPrimarySelectedMonitor,
                  onSecondKey ? "Generic 640x480" : "N000");
        rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, rig.Second(), kPrimarySelectedMonitor, REG_BINARY_,
                       {'P', '0', '0', '0'});
        if (!onSecondKey)
            rig.Store(rig.Second(), kPrimarySelectedMonitor, "Generic 640x480");
        rig.Store(rig.Settings(), kSecondarySelectedMonitor, "Generic 640x480");
        rig.OpenSelection(true);
        EXPECT_EQ(rig.Selected(IDC_LEFT_LIST), "31kHz VGA");
        EXPECT_EQ(rig.Selected(IDC_RIGHT_LIST), "31kHz VGA");
        EXPECT_STREQ(rig.state.selection.openedPrimary, onSecondKey ? "P000" : "N000");
        EXPECT_STREQ(rig.state.selection.openedSecondary, rig.state.selection.openedPrimary);
        rig.Press(IDOK_);
        for (const std::string& key : {rig.Settings(), rig.Second()}) {
            EXPECT_EQ(rig.Text(key, kPrimarySelectedMonitor), "31kHz VGA");
            EXPECT_EQ(rig.Text(key, kSecondarySelectedMonitor), "31kHz VGA");
        }
    }
}

TEST(DualScreenDialog, InvalidSideOpensInRestartMode) {
    const std::vector<std::pair<const char*, SimRegistry::Bytes>> stored = {
        {"missing", {}}, {"binary", {1, 0, 0, 0}}, {"two", {2, 0, 0, 0}}};
    for (const auto& [what, bytes] : stored) {
        Rig rig(Board::kTwoHead);
        rig.Count();
        if (!bytes.empty())
            rig.reg.SetRaw(HKEY_LOCAL_MACHINE_, rig.Settings(), kPrimaryIsLeft,
                           std::string(what) == "binary" ? REG_BINARY_ : REG_DWORD_, bytes);
        rig.OpenSelection(true);
        EXPECT_TRUE(rig.state.selection.restartMode) << what;
        EXPECT_EQ(rig.state.selection.openedIsLeft, 2);
        // Button 2 reads "RESTART NOW" under an id that Esc and the close box never send.
        EXPECT_EQ(rig.ui.controls.count(IDCANCEL_), 0u);
        EXPECT_EQ(rig.ui.At(IDC_RESTART_NOW).text, kRestartNowText);
        for (int32_t id :
             {IDC_LEFT_LIST, IDC_RIGHT_LIST, IDC_TV_AVAILABLE, IDC_PAL, IDC_NTSC, IDOK_})
            EXPECT_FALSE(rig.ui.At(id).enabled) << what << " " << id;
        EXPECT_FALSE(rig.ui.At(IDC_BOOT_LEFT).checked || rig.ui.At(IDC_BOOT_RIGHT).checked);

        // Choosing a side leaves restart mode for good.
        rig.Press(IDC_BOOT_LEFT);
        EXPECT_FALSE(rig.state.selection.restartMode);
        EXPECT_EQ(rig.ui.controls.count(IDC_RESTART_NOW), 0u);
        EXPECT_EQ(rig.ui.At(IDCANCEL_).text, kCancelText);
        EXPECT_TRUE(rig.ui.At(IDC_LEFT_LIST).enabled && rig.ui.At(IDOK_).enabled);
        EXPECT_TRUE(rig.ui.At(IDC_TV_AVAILABLE).enabled) << "TV part refreshed";
        EXPECT_EQ(rig.state.selection.isLeft, 1);
    }

    // OK arriving while the dialog is still in restart mode stores the primary on the left.
    Rig rig(Board::kTwoHead);
    rig.Count();
    rig.OpenSelection(true);
    rig.Press(IDOK_);
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryIsLeft), 1);
}

TEST(DualScreenDialog, SideButtonRenamesCancelOutsideRestartModeToo) {
    Rig rig(Board::kTwoHead);
    rig.Count();
    rig.StoreDword(rig.Settings(), kPrimaryIsLeft, 1);
    rig.OpenSelection(true);
    EXPECT_EQ(rig.Selected(IDC_RIGHT_LIST), "31kHz VGA") << "no secondary stored";
    EXPECT_EQ(rig.ui.At(IDCANCEL_).text, "&Cancel");
    EXPECT_EQ(rig.Press(IDC_BOOT_RIGHT), 1);
    EXPECT_EQ(rig.ui.At(IDCANCEL_).text, kCancelText);
    EXPECT_TRUE(rig.ui.At(IDC_BOOT_RIGHT).checked);
    EXPECT_FALSE(rig.ui.At(IDC_BOOT_LEFT).checked);
    rig.Press(IDOK_);
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryIsLeft), 0);
}

TEST(DualScreenDialog, RestartNowInRestartModeKeepsTheChangedChoicesThenRestarts) {
    Rig rig(Board::kTwoAdapters);
    rig.Count();
    rig.Store(rig.Settings(), kPrimarySelectedMonitor, "Orvel 21 SINGLE");
    rig.Store(rig.Second(), kSecondarySelectedMonitor, "Generic 640x480");
    rig.state.selection.isLeft = 1;  // left by an earlier opening
    rig.OpenSelection(true);
    ASSERT_TRUE(rig.state.selection.restartMode);
    // In restart mode the primary stands on the right.
    EXPECT_EQ(rig.Selected(IDC_RIGHT_LIST), "Orvel 21 SINGLE");
    EXPECT_EQ(rig.Selected(IDC_LEFT_LIST), "Generic 640x480");
    rig.Select(IDC_LEFT_LIST, "Orvel 19 Single");  // the secondary, changed
    rig.trace.clear();
    std::string storedAtRestart;
    rig.sys.onExit = [&] { storedAtRestart = rig.Text(rig.Second(), kSecondarySelectedMonitor); };
    EXPECT_EQ(rig.Press(IDC_RESTART_NOW), 1);
    EXPECT_EQ(rig.trace,
              (std::vector<std::string>{"privilege SeShutdownPrivilege", "exit 2", "end 1"}));
    EXPECT_EQ(storedAtRestart, "Orvel 19 Single") << "written before the restart";
    for (const std::string& key : {rig.Settings(), rig.Second()}) {
        EXPECT_EQ(rig.Text(key, kSecondarySelectedMonitor), "Orvel 19 Single");
        EXPECT_EQ(rig.Number(key, kSecondaryXSize), 360);
        EXPECT_EQ(rig.Number(key, kPrimaryXSize), -1) << "unchanged primary not written";
    }
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryIsLeft), -1);
    EXPECT_EQ(rig.reg.OpenKeyCount(), 0);
}

TEST(DualScreenDialog, RestartNowWithNothingStoredKeepsTheDefaultModels) {
    // No side and no model stored: both lists show the default, and both are kept, so that
    // the driver starts with a monitor.
    Rig rig(Board::kTwoHead);
    rig.Count();
    rig.OpenSelection(true);
    ASSERT_TRUE(rig.state.selection.restartMode);
    rig.Press(IDC_RESTART_NOW);
    for (const char* name : {kPrimarySelectedMonitor, kSecondarySelectedMonitor})
        EXPECT_EQ(rig.Text(rig.Settings(), name), "31kHz VGA") << name;
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryXSize), 320);
    EXPECT_EQ(rig.Number(rig.Settings(), kSecondaryYSize), 240);
}

TEST(DualScreenDialog, UnreadableDatabaseStoresNoSideTheUserDidNotChoose) {
    Rig rig(Board::kTwoHead);
    rig.Count();
    rig.StoreDword(rig.Settings(), kPrimaryIsLeft, 0);
    rig.OpenSelection(true);  // side 0 read
    rig.Press(IDCANCEL_);
    rig.profile.files.clear();
    rig.state.selection.isLeft = 1;  // left over from anything else
    EXPECT_EQ(rig.OpenSelection(true), 0);
    rig.Press(IDOK_);
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryIsLeft), 0);
    // A side chosen in the dialog is stored.
    rig.OpenSelection(true);
    rig.Press(IDC_BOOT_LEFT);
    rig.Press(IDOK_);
    EXPECT_EQ(rig.Number(rig.Settings(), kPrimaryIsLeft), 1);
}

TEST(SelectionChanged, ContainmentTvAndSide) {
    struct Case {
        const char* openedPrimary;
        const char* leftChoice;
        const char* openedSecondary;
        const char* rightChoice;
        uint32_t chosenTv, offeredTv;
        int32_t openedIsLeft, isLeft;
        bool changed;
    } cases[] = {
        {"A1", "A1", "B", "B", 0, 0, 1, 1, false},
        {"Orvel 17 XL", "Orvel 17", "B", "B", 0, 0, 1, 1, false},  // part of the stored name
        {"Orvel 17", "Orvel 17 XL", "B", "B", 0, 0, 1, 1, true},
        {"A", "a", "B", "B", 0, 0, 1, 1, true},  // case counts
        {"A", "A", "B", "C", 0, 0, 1, 1, true},
        {"A", "A", "B", "B", 1, 1, 1, 1, false},  // one standard offered and chosen
        {"A", "A", "B", "B", 1, 3, 1, 1, true},   // both offered: always a change
        {"A", "A", "B", "B", 0, 0, 0, 1, true},
        {"A", "A", "B", "B", 0, 0, 2, 1, true},
    };
    for (const Case& c : cases) {
        SelectionState s;
        std::strcpy(s.openedPrimary, c.openedPrimary);
        std::strcpy(s.leftChoice, c.leftChoice);
        std::strcpy(s.openedSecondary, c.openedSecondary);
        std::strcpy(s.rightChoice, c.rightChoice);
        s.chosenTv = c.chosenTv;
        s.offeredTv = c.offeredTv;
        s.openedIsLeft = c.openedIsLeft;
        s.isLeft = c.isLeft;
        EXPECT_EQ(SelectionChanged(s), c.changed)
            << c.openedPrimary << "/" << c.leftChoice << " " << c.rightChoice << " tv "
            << c.chosenTv << "/" << c.offeredTv << " side " << c.openedIsLeft;
    }
}

TEST(RestartPrompt, OnlyRestartNowRestartsNotEscOrTheCloseBox) {
    SimDialog ui;
    EXPECT_EQ(RestartDlgProc(ui, kDialog, WM_INITDIALOG_, 0), 0);
    EXPECT_EQ(RestartDlgProc(ui, kDialog, WM_COMMAND_, 0x10001), 0) << "exactly 1 only";
    EXPECT_EQ(RestartDlgProc(ui, kDialog, WM_COMMAND_, 3), 0);
    EXPECT_TRUE(ui.ended.empty());
    EXPECT_EQ(RestartDlgProc(ui, kDialog, WM_COMMAND_, 1), 1);                // Restart Later
    EXPECT_EQ(RestartDlgProc(ui, kDialog, WM_COMMAND_, 2), 1);                // Esc, close box
    EXPECT_EQ(RestartDlgProc(ui, kDialog, WM_COMMAND_, IDC_RESTART_NOW), 1);  // Restart Now
    EXPECT_EQ(ui.ended, (std::vector<intptr_t>{0, 0, 18193}));
}

}  // namespace
}  // namespace applet_test
