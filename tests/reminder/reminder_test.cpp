// The setup reminder's two checks, its stage and the whole run against a simulated machine.
#include "reminder/reminder.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "adapter/registry_layout.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"

namespace {

const std::string kSettings = "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device0";
const std::string kMaker = "SOFTWARE\\Orvelcom\\lumora\\Device0";

// A board with one head, its settings key and the maker's key, and nothing chosen yet.
struct Board {
    SimRegistry reg;
    DiscoveryRecord adapter;

    explicit Board(const std::string& device = "lumora\\Device0") {
        reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                      "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\" + device);
        reg.AddKey(HKEY_LOCAL_MACHINE_, "SYSTEM\\CurrentControlSet\\Services\\" + device);
        reg.AddKey(HKEY_LOCAL_MACHINE_, "SOFTWARE\\Orvelcom\\" + device);
        adapter = DiscoverAdapters(reg, kReminderDiscovery);
    }
    std::string Settings() const { return std::string(kServicesPrefix) + adapter.driverPath; }
    std::string Maker() const { return std::string("SOFTWARE\\Orvelcom\\") + adapter.driverPath; }
    void Stage(uint32_t stage) {
        reg.SetDword(HKEY_LOCAL_MACHINE_, Maker(), kOrvelIsInstalled, stage);
    }
    void Monitor(const char* name, const std::string& text) {
        reg.SetString(HKEY_LOCAL_MACHINE_, Settings(), name, text);
    }
    void Tv(const char* name, uint32_t value) {
        reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, Settings(), name, value);
    }
    int32_t StoredStage() {
        uint32_t type = 0;
        SimRegistry::Bytes data;
        if (!reg.GetRaw(HKEY_LOCAL_MACHINE_, Maker(), kOrvelIsInstalled, &type, &data))
            return -100;
        EXPECT_EQ(type, REG_DWORD_);
        EXPECT_EQ(data.size(), 4u);
        return static_cast<int32_t>(data[0] | data[1] << 8 | data[2] << 16 | data[3] << 24);
    }
};

TEST(ReminderStage, MissingOrMistypedReadsAsNothingDue) {
    Board board;
    EXPECT_EQ(ReadReminderStage(board.reg, board.adapter.driverPath), 2) << "missing value";
    board.Stage(0);
    EXPECT_EQ(ReadReminderStage(board.reg, board.adapter.driverPath), 0);
    board.Stage(0xFFFFFFFFu);
    EXPECT_EQ(ReadReminderStage(board.reg, board.adapter.driverPath), -1);
    board.reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, board.Maker(), kOrvelIsInstalled, 0);
    EXPECT_EQ(ReadReminderStage(board.reg, board.adapter.driverPath), 2) << "REG_BINARY";
    board.reg.RemoveKey(HKEY_LOCAL_MACHINE_, "SOFTWARE\\Orvelcom");
    EXPECT_EQ(ReadReminderStage(board.reg, board.adapter.driverPath), 2) << "missing key";
    EXPECT_EQ(board.reg.OpenKeyCount(), 0);
}

TEST(ReminderStage, WrittenOnlyIntoAnExistingKey) {
    Board board;
    WriteReminderStage(board.reg, board.adapter.driverPath, 1);
    EXPECT_EQ(board.StoredStage(), 1);

    board.reg.SetWritable(HKEY_LOCAL_MACHINE_, board.Maker(), false);
    WriteReminderStage(board.reg, board.adapter.driverPath, 2);
    EXPECT_EQ(board.StoredStage(), 1) << "a refused write is ignored";

    board.reg.RemoveKey(HKEY_LOCAL_MACHINE_, "SOFTWARE\\Orvelcom");
    WriteReminderStage(board.reg, board.adapter.driverPath, 2);
    EXPECT_FALSE(board.reg.KeyExists(HKEY_LOCAL_MACHINE_, "SOFTWARE\\Orvelcom"));
    EXPECT_EQ(board.reg.OpenKeyCount(), 0);
}

TEST(MonitorCheck, RulesInOrder) {
    {
        Board board;  // stage 0, nothing chosen
        board.Stage(0);
        EXPECT_TRUE(IsMonitorReminderDue(board.reg, board.adapter));
        board.Monitor(kPrimarySelectedMonitor, "");
        EXPECT_FALSE(IsMonitorReminderDue(board.reg, board.adapter)) << "an empty name counts";
        board.Monitor(kPrimarySelectedMonitor, std::string(64, 'm'));
        EXPECT_TRUE(IsMonitorReminderDue(board.reg, board.adapter)) << "64 characters + zero";
        board.Monitor(kPrimarySelectedMonitor, std::string(63, 'm'));
        EXPECT_FALSE(IsMonitorReminderDue(board.reg, board.adapter));
        board.reg.SetRaw(HKEY_LOCAL_MACHINE_, board.Settings(), kPrimarySelectedMonitor,
                         REG_BINARY_, {'m', 0});
        EXPECT_TRUE(IsMonitorReminderDue(board.reg, board.adapter)) << "not REG_SZ";
        board.reg.RemoveKey(HKEY_LOCAL_MACHINE_, board.Settings());
        EXPECT_FALSE(IsMonitorReminderDue(board.reg, board.adapter)) << "no settings key";
        EXPECT_EQ(board.reg.OpenKeyCount(), 0);
    }
    for (uint32_t stage : {1u, 2u, 0xFFFFFFFFu}) {
        Board board;
        board.Stage(stage);
        EXPECT_FALSE(IsMonitorReminderDue(board.reg, board.adapter)) << "stage " << stage;
    }
    {
        Board board;
        EXPECT_FALSE(IsMonitorReminderDue(board.reg, board.adapter)) << "missing stage";
    }
    {
        // Two heads: the "2" in the driver path asks for the second name too.
        Board board("lumora\\Device2");
        ASSERT_TRUE(board.adapter.twoHead);
        board.Stage(0);
        board.Monitor(kPrimarySelectedMonitor, "Model A");
        EXPECT_TRUE(IsMonitorReminderDue(board.reg, board.adapter));
        board.Monitor(kSecondarySelectedMonitor, "Model B");
        EXPECT_FALSE(IsMonitorReminderDue(board.reg, board.adapter));
    }
    {
        Board board;  // one head: the second name is never asked for
        board.Stage(0);
        board.Monitor(kPrimarySelectedMonitor, "Model A");
        EXPECT_FALSE(IsMonitorReminderDue(board.reg, board.adapter));
    }
}

TEST(TvCheck, RulesInOrder) {
    struct Case {
        const char* what;
        int64_t stage;      // -100: missing
        int64_t available;  // -1: missing, -2: stored as REG_DWORD
        int64_t selected;   // -1: missing, -2: stored as REG_DWORD
        bool due;
    };
    const Case cases[] = {
        {"offered, none chosen", 0, 1, -1, true},
        {"stage 1", 1, 1, -1, true},
        {"stage 2", 2, 1, -1, false},
        {"missing stage", -100, 1, -1, false},
        {"negative stage", 0xFFFFFFFF, 1, -1, true},
        {"no TV output", 0, 0, -1, false},
        {"availability missing", 0, -1, -1, false},
        {"availability as REG_DWORD", 0, -2, -1, false},
        {"chosen standard offered", 1, 3, 2, false},
        {"PAL chosen and offered", 1, 1, 1, false},
        {"standard not offered", 1, 1, 2, true},
        {"chosen 0", 1, 3, 0, true},
        {"choice as REG_DWORD", 1, 3, -2, true},
        {"only higher bits shared", 1, 5, 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Board board;
        if (c.stage != -100)
            board.Stage(static_cast<uint32_t>(c.stage));
        auto put = [&](const char* name, int64_t value) {
            if (value == -2)
                board.reg.SetDword(HKEY_LOCAL_MACHINE_, board.Settings(), name, 1);
            if (value >= 0)
                board.Tv(name, static_cast<uint32_t>(value));
        };
        put(kAvailableTvSet, c.available);
        put(kSelectedTvSet, c.selected);
        EXPECT_EQ(IsTvReminderDue(board.reg, board.adapter), c.due);
        EXPECT_EQ(board.reg.OpenKeyCount(), 0);
    }
    Board board;
    board.Stage(0);
    board.Tv(kAvailableTvSet, 1);
    board.reg.RemoveKey(HKEY_LOCAL_MACHINE_, board.Settings());
    EXPECT_FALSE(IsTvReminderDue(board.reg, board.adapter)) << "no settings key";
}

TEST(ReminderCommand, ButtonStartsTheAppletOtherIdsDoNothing) {
    SimSystem sys;
    sys.systemDirectory = "D:\\NT40\\System32";
    EXPECT_FALSE(HandleReminderCommand(sys, 2));  // Escape
    EXPECT_FALSE(HandleReminderCommand(sys, 1021));
    EXPECT_TRUE(sys.launched.empty());
    EXPECT_TRUE(HandleReminderCommand(sys, 1));
    ASSERT_EQ(sys.launched.size(), 1u);
    EXPECT_EQ(sys.launched[0].commandLine, "\"D:\\NT40\\System32\\control.exe\" lumora2.cpl");
    EXPECT_EQ(sys.launched[0].show, 1);

    sys.systemDirectory = std::string(273, 'd');  // the longest that fits 300 bytes quoted
    EXPECT_TRUE(HandleReminderCommand(sys, 1));
    ASSERT_EQ(sys.launched.size(), 2u);
    EXPECT_EQ(sys.launched[1].commandLine.size(), 299u);
    sys.systemDirectory += 'd';  // no room for the command: nothing starts
    EXPECT_TRUE(HandleReminderCommand(sys, 1));
    char small[26];  // room for the texts and quotes alone
    EXPECT_FALSE(ReminderCommandLine(sys, small, sizeof(small)));
    sys.systemDirectory = "";  // no system directory: no command line either
    EXPECT_TRUE(HandleReminderCommand(sys, 1));
    EXPECT_EQ(sys.launched.size(), 2u);
}

// Records the dialogs shown and the stage in force when each was shown; each one is ended with
// its button, as the user would.
class FakeShell final : public ReminderShell {
  public:
    FakeShell(Board& board, SimSystem& sys) : board_(board), sys_(sys) {}
    bool windowFails = false;
    bool windowCreated = false;
    OwnerWindow owner = {};
    std::vector<int> shown;
    std::vector<int32_t> stageWhenShown;
    int mutexUsersWhenShown = 0;

    bool CreateOwnerWindow(const OwnerWindow& window) override {
        windowCreated = true;
        owner = window;
        return !windowFails;
    }
    bool ShowReminder(int dialogId) override {
        shown.push_back(dialogId);
        stageWhenShown.push_back(board_.StoredStage());
        mutexUsersWhenShown =
            sys_.mutexes.count(kReminderMutexName) ? sys_.mutexes[kReminderMutexName] : 0;
        HandleReminderCommand(sys_, kReminderButton);
        return true;
    }

  private:
    Board& board_;
    SimSystem& sys_;
};

TEST(RunReminder, BothRemindersInTurnThenTheStageAdvances) {
    Board board;
    SimSystem sys;
    FakeShell shell(board, sys);
    board.Stage(0);
    board.Tv(kAvailableTvSet, 1);
    EXPECT_EQ(RunReminder(board.reg, board.reg, sys, shell), 0);
    EXPECT_EQ(shell.shown, (std::vector<int>{125, 130}));
    EXPECT_EQ(shell.stageWhenShown, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(shell.mutexUsersWhenShown, 1);
    EXPECT_EQ(board.StoredStage(), 2);
    EXPECT_EQ(sys.launched.size(), 2u);
    EXPECT_TRUE(sys.mutexes.empty()) << "the mutex is closed at the end";
    EXPECT_EQ(board.reg.OpenKeyCount(), 0);

    // The owner: class atom 1015 of style 0 with icon 129 and the light grey brush, "Nudgel"
    // with WS_CAPTION at 0, 0 and 0 x 0, moved into the topmost band with SWP_NOSIZE alone.
    const OwnerWindow& w = shell.owner;
    EXPECT_EQ(std::make_tuple(w.classAtom, w.classStyle, w.iconId, w.backgroundBrush),
              std::make_tuple(uint16_t{1015}, 0u, 129, 1));
    EXPECT_STREQ(w.title, "Nudgel");
    EXPECT_EQ(std::make_tuple(w.style, w.x, w.y, w.width, w.height, w.positionFlags),
              std::make_tuple(0x00C00000u, 0, 0, 0, 0, 0x0001u));
}

TEST(RunReminder, OnlyWhatIsDue) {
    struct Case {
        const char* what;
        int64_t stage;  // -100: missing
        bool monitorChosen;
        uint32_t available;
        int64_t selected;  // -1: missing
        std::vector<int> shown;
        int32_t stageAfter;  // -100: still missing
    };
    const Case cases[] = {
        {"monitor chosen, TV due", 0, true, 1, -1, {130}, 2},
        {"monitor due, no TV output", 0, false, 0, -1, {125}, 1},
        {"stage 1, standard not offered", 1, true, 1, 2, {130}, 2},
        {"stage 1, standard offered", 1, false, 3, 2, {}, 1},
        {"stage 2", 2, false, 1, -1, {}, 2},
        {"missing stage", -100, false, 1, -1, {}, -100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Board board;
        SimSystem sys;
        FakeShell shell(board, sys);
        if (c.stage != -100)
            board.Stage(static_cast<uint32_t>(c.stage));
        if (c.monitorChosen)
            board.Monitor(kPrimarySelectedMonitor, "Model A");
        board.Tv(kAvailableTvSet, c.available);
        if (c.selected >= 0)
            board.Tv(kSelectedTvSet, static_cast<uint32_t>(c.selected));
        EXPECT_EQ(RunReminder(board.reg, board.reg, sys, shell), 0);
        EXPECT_EQ(shell.shown, c.shown);
        EXPECT_EQ(board.StoredStage(), c.stageAfter);
        EXPECT_EQ(board.reg.OpenKeyCount(), 0);
    }
}

TEST(RunReminder, EndsSilently) {
    {
        // Another driver: no mutex, no window.
        Board board("vgasave\\Device0");
        SimSystem sys;
        FakeShell shell(board, sys);
        EXPECT_EQ(RunReminder(board.reg, board.reg, sys, shell), 0);
        EXPECT_FALSE(shell.windowCreated);
        EXPECT_EQ(sys.OpenHandleCount(), 0);
    }
    {
        // A second copy: the first holds the mutex; the second closes its handle and goes.
        Board board;
        board.Stage(0);
        SimSystem sys;
        FakeShell shell(board, sys);
        uint32_t error = 0;
        SysHandle first = sys.CreateNamedMutex(kReminderMutexName, true, &error);
        EXPECT_EQ(RunReminder(board.reg, board.reg, sys, shell), 0);
        EXPECT_FALSE(shell.windowCreated);
        EXPECT_TRUE(shell.shown.empty());
        EXPECT_TRUE(sys.beeps.empty());
        EXPECT_EQ(sys.OpenHandleCount(), 1);
        EXPECT_EQ(board.StoredStage(), 0);
        sys.CloseSysHandle(first);
    }
    {
        // No owner window: no reminder, the stage stays.
        Board board;
        board.Stage(0);
        SimSystem sys;
        FakeShell shell(board, sys);
        shell.windowFails = true;
        EXPECT_EQ(RunReminder(board.reg, board.reg, sys, shell), 0);
        EXPECT_TRUE(shell.shown.empty());
        EXPECT_EQ(board.StoredStage(), 0);
        EXPECT_EQ(sys.OpenHandleCount(), 0);
        EXPECT_EQ(board.reg.OpenKeyCount(), 0);
    }
}

}  // namespace
