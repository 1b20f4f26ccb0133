// The hook library: the settings it reads, its shared block, its start and stop, and the hook
// procedure that runs on every sent message of the desktop.
#include "alignhook/hook_library.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter/registry_layout.h"
#include "platform/sim/sim_hook.h"
#include "platform/sim/sim_registry.h"

namespace {

const char kSettingsKey[] = "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device0";

std::string Narrow(const char16_t* text) {
    std::string out;
    for (; text && *text; ++text)
        out.push_back(static_cast<char>(*text));
    return out;
}

// The registry as the hook sees it, with every wide value read recorded by name.
class ReadLog final : public RegistryReaderW {
  public:
    explicit ReadLog(SimRegistry& reg) : reg_(reg) {}
    std::vector<std::string> reads;

    int32_t CloseKey(RegKey k) override { return reg_.CloseKey(k); }
    int32_t OpenKeyW(RegKey p, const char16_t* path, RegKey* out) override {
        return reg_.OpenKeyW(p, path, out);
    }
    int32_t OpenKeyExW(RegKey p, const char16_t* path, uint32_t a, RegKey* out) override {
        EXPECT_EQ(a, KEY_READ_);
        return reg_.OpenKeyExW(p, path, a, out);
    }
    int32_t QueryValueW(RegKey k, const char16_t* n, uint32_t* t, uint8_t* d,
                        uint32_t* s) override {
        reads.push_back(Narrow(n));
        return reg_.QueryValueW(k, n, t, d, s);
    }

  private:
    SimRegistry& reg_;
};

// A two-head board (a "2" in the first device's path), the left area 1024 wide, the right
// one 1280, both features on.
struct HookRig {
    SimRegistry sim;
    ReadLog reg{sim};
    SimHook port;
    HookLibrary lib;

    HookRig() {
        sim.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                      "\\REGISTRY\\Machine\\System\\ControlSet002\\Services\\lumora\\Device0");
        sim.SetBinaryWord(HKEY_LOCAL_MACHINE_, kSettingsKey, kLeftAdapterVisualXRes, 1024);
        sim.SetBinaryWord(HKEY_LOCAL_MACHINE_, kSettingsKey, kLeftAdapterVisualYRes, 768);
        sim.SetBinaryWord(HKEY_LOCAL_MACHINE_, kSettingsKey, kRightAdapterVisualXRes, 1280);
        sim.SetBinaryWord(HKEY_LOCAL_MACHINE_, kSettingsKey, kRightAdapterVisualYRes, 1024);
        SetFlags(3);
    }
    void SetFlags(uint32_t flags) {
        sim.SetDword(HKEY_CURRENT_USER_, kAlignmentKey, kTwinControlFlag, flags);
    }
    AlignmentSettings Read() {
        AlignmentSettings s;
        reg.reads.clear();
        ReadAlignmentSettings(reg, &s);
        EXPECT_EQ(sim.OpenKeyCount(), 0) << "a key was left open";
        return s;
    }
    void Attach() {
        ASSERT_TRUE(AttachHookLibrary(port, reg, 0x10000000, &lib));
        reg.reads.clear();
    }
    intptr_t Call(int32_t code, uint32_t message, void* lParam, uintptr_t window = 0x500) {
        record = {reinterpret_cast<intptr_t>(lParam), 0, message, window};
        return AlignmentHookProc(lib, port, reg, code, 1, &record);
    }
    HookMessageRecord record{};
};

const std::vector<std::string> kAllReads = {"\\Device\\Video0",       "LeftAdapterVisualXRes",
                                            "LeftAdapterVisualYRes",  "RightAdapterVisualXRes",
                                            "RightAdapterVisualYRes", "TwinControlFlag"};

TEST(ReadAlignmentSettings, ReadsTheSizesInOrderThenTheControlFlags) {
    HookRig rig;
    AlignmentSettings s = rig.Read();
    EXPECT_TRUE(s.valid);
    EXPECT_EQ(s.leftAdapterVisualXRes, 1024);
    EXPECT_EQ(s.leftAdapterVisualYRes, 768);
    EXPECT_EQ(s.rightAdapterVisualXRes, 1280);
    EXPECT_EQ(s.rightAdapterVisualYRes, 1024);
    EXPECT_EQ(s.controlFlags, 3u);
    EXPECT_EQ(rig.reg.reads, kAllReads);

    rig.SetFlags(7);
    EXPECT_EQ(rig.Read().controlFlags, 3u) << "bit 2 is dropped";
    rig.SetFlags(0xFFFFFFFEu);
    EXPECT_EQ(rig.Read().controlFlags, 2u);
    rig.sim.SetBinaryWord(HKEY_CURRENT_USER_, kAlignmentKey, kTwinControlFlag, 1);
    EXPECT_EQ(rig.Read().controlFlags, 1u) << "any type of 4 bytes";
    rig.sim.SetBinaryWord(HKEY_LOCAL_MACHINE_, kSettingsKey, kLeftAdapterVisualXRes, 0xFFFFFC00u);
    EXPECT_EQ(rig.Read().leftAdapterVisualXRes, -1024) << "signed";
}

TEST(ReadAlignmentSettings, TheFirstMissingSizeEndsTheReading) {
    const char* sizes[] = {kLeftAdapterVisualXRes, kLeftAdapterVisualYRes, kRightAdapterVisualXRes,
                           kRightAdapterVisualYRes};
    for (int missing = 0; missing < 4; ++missing) {
        for (int form = 0; form < 3; ++form) {
            HookRig rig;
            if (form == 0)
                rig.sim.RemoveValue(HKEY_LOCAL_MACHINE_, kSettingsKey, sizes[missing]);
            else  // 8 bytes, or 2, do not make a number
                rig.sim.SetRaw(HKEY_LOCAL_MACHINE_, kSettingsKey, sizes[missing], REG_BINARY_,
                               SimRegistry::Bytes(form == 1 ? 8 : 2, 1));
            const AlignmentSettings s = rig.Read();
            SCOPED_TRACE(sizes[missing]);
            EXPECT_FALSE(s.valid);
            EXPECT_EQ(s.controlFlags, 0u) << "both features off";
            // The device map, the sizes up to the missing one, and nothing after.
            EXPECT_EQ(rig.reg.reads,
                      std::vector<std::string>(kAllReads.begin(), kAllReads.begin() + 2 + missing));
        }
    }
}

TEST(ReadAlignmentSettings, FeaturesOffWithoutAlignmentValueOrDualSetup) {
    {
        HookRig rig;
        rig.sim.RemoveValue(HKEY_CURRENT_USER_, kAlignmentKey, kTwinControlFlag);
        const AlignmentSettings s = rig.Read();
        EXPECT_TRUE(s.valid);
        EXPECT_EQ(s.controlFlags, 0u);
    }
    {
        HookRig rig;
        rig.sim.RemoveKey(HKEY_CURRENT_USER_, kAlignmentKey);
        EXPECT_EQ(rig.Read().controlFlags, 0u);
    }
    {
        HookRig rig;  // one head, no second device: not dual, the settings key is not opened
        rig.sim.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                          "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\lumora\\"
                          "Device0");
        AlignmentSettings s;
        s.valid = true;
        s.controlFlags = 3;
        ReadAlignmentSettings(rig.reg, &s);
        EXPECT_EQ(s.controlFlags, 0u);
        EXPECT_TRUE(s.valid) << "valid keeps its value when no key is opened";
        EXPECT_EQ(rig.reg.reads,
                  (std::vector<std::string>{"\\Device\\Video0", "\\Device\\Video1"}));
    }
    {
        HookRig rig;  // dual, but the settings key is missing
        rig.sim.RemoveKey(HKEY_LOCAL_MACHINE_, kSettingsKey);
        EXPECT_EQ(rig.Read().controlFlags, 0u);
    }
}

TEST(HookLibraryAttach, CreatorZeroesTheBlockOthersLeaveItAlone) {
    HookRig rig;
    rig.Attach();
    SimHook::Block* block = rig.port.FindBlock(kSharedBlockName);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(block->bytes.size(), 4096u);
    EXPECT_EQ(block->bytes, std::vector<uint8_t>(4096, 0)) << "a new block is zeroed";
    EXPECT_EQ(rig.lib.view, block->bytes.data());
    EXPECT_EQ(rig.lib.module, 0x10000000u);
    EXPECT_EQ(rig.lib.changeMessage, rig.port.registered.at(kAlignmentChangeMessage));
    EXPECT_TRUE(rig.lib.settings.valid);
    EXPECT_EQ(rig.lib.settings.controlFlags, 3u);

    // Another process loads the library: the handle already published stays.
    block->bytes[0] = 0x23;
    block->bytes[1] = 0x01;
    HookLibrary other;
    ASSERT_TRUE(AttachHookLibrary(rig.port, rig.reg, 0x10000000, &other));
    EXPECT_EQ(block->bytes[0], 0x23);
    EXPECT_EQ(block->bytes[1], 0x01);
    EXPECT_EQ(other.changeMessage, rig.lib.changeMessage);

    DetachHookLibrary(rig.port, &other);
    DetachHookLibrary(rig.port, &rig.lib);
    EXPECT_EQ(rig.port.OpenBlockHandles(), 0);
    EXPECT_EQ(rig.port.MappedViews(), 0);
    EXPECT_EQ(rig.port.FindBlock(kSharedBlockName), nullptr) << "gone with its last user";
}

TEST(HookLibraryAttach, FailsWhenTheBlockCannotBeMadeOrMapped) {
    for (bool createFails : {true, false}) {
        HookRig rig;
        rig.port.createFails = createFails;
        rig.port.mapFails = !createFails;
        EXPECT_FALSE(AttachHookLibrary(rig.port, rig.reg, 0x10000000, &rig.lib));
        EXPECT_EQ(rig.port.OpenBlockHandles(), 0) << "nothing left open";
        EXPECT_EQ(rig.lib.view, nullptr);
        // The system still detaches a library whose attach failed.
        DetachHookLibrary(rig.port, &rig.lib);
        EXPECT_EQ(rig.port.OpenBlockHandles(), 0);
    }
}

TEST(StartAndStopHooking, TheHandleIsPublishedForEveryProcess) {
    HookRig rig;
    rig.Attach();  // the controller's process
    HookLibrary other;
    ASSERT_TRUE(AttachHookLibrary(rig.port, rig.reg, 0x10000000, &other));

    // Before the hook is published, messages are passed on with a zero handle.
    EXPECT_EQ(AlignmentHookProc(other, rig.port, rig.reg, -1, 0, nullptr), 0x77);
    EXPECT_EQ(rig.port.passedOn.back().hook, 0u);

    EXPECT_EQ(StartHooking(rig.port, &rig.lib), 1);
    ASSERT_EQ(rig.port.installed.size(), 1u);
    const HookHandle hook = rig.port.installed[0];
    EXPECT_EQ(rig.port.installedFor, std::vector<uintptr_t>{0x10000000});
    EXPECT_EQ(rig.lib.hook, hook);
    const uint8_t* word = rig.port.FindBlock(kSharedBlockName)->bytes.data();
    EXPECT_EQ(word[0] | word[1] << 8 | word[2] << 16 | static_cast<uint32_t>(word[3]) << 24, hook)
        << "little-endian in bytes 0 to 3";

    // The other process passes messages on with the published handle.
    AlignmentHookProc(other, rig.port, rig.reg, -1, 0, nullptr);
    EXPECT_EQ(rig.port.passedOn.back().hook, hook);

    // Stop removes the handle that the block holds, and leaves the word as it is.
    rig.lib.hook = 0;
    EXPECT_EQ(StopHooking(rig.port, &rig.lib), 1);
    EXPECT_EQ(rig.port.removed, std::vector<HookHandle>{hook});
    EXPECT_TRUE(rig.port.installed.empty());
    EXPECT_EQ(rig.lib.hook, hook);
    EXPECT_EQ(word[0] | word[1] << 8 | word[2] << 16 | static_cast<uint32_t>(word[3]) << 24, hook);
    DetachHookLibrary(rig.port, &other);
}

TEST(StartAndStopHooking, AFailedInstallationPublishesZero) {
    HookRig rig;
    rig.Attach();
    rig.lib.view[0] = 0x55;  // left from an earlier run
    rig.port.installFails = true;
    EXPECT_EQ(StartHooking(rig.port, &rig.lib), 1);
    EXPECT_EQ(rig.lib.hook, 0u);
    EXPECT_EQ(rig.lib.view[0], 0);
    EXPECT_EQ(StopHooking(rig.port, &rig.lib), 1);
}

TEST(AlignmentHookProc, OnlyHcActionWithItsThreeMessagesIsLookedAt) {
    HookRig rig;
    rig.Attach();
    StartHooking(rig.port, &rig.lib);
    rig.port.cursorX = 1500;
    MinMaxInfoRecord info{{0, 0}, {2048, 768}, {0, 0}, {100, 30}, {2060, 780}};

    // Negative codes: passed on at once, untouched, with every argument as it came.
    EXPECT_EQ(rig.Call(-1, WM_GETMINMAXINFO_, &info), 0x77);
    ASSERT_EQ(rig.port.passedOn.size(), 1u);
    EXPECT_EQ(rig.port.passedOn[0].hook, rig.lib.hook);
    EXPECT_EQ(rig.port.passedOn[0].code, -1);
    EXPECT_EQ(rig.port.passedOn[0].wParam, 1u);
    EXPECT_EQ(rig.port.passedOn[0].lParam, reinterpret_cast<intptr_t>(&rig.record));
    EXPECT_EQ(info.maxSize.x, 2048);

    // Positive codes: 0, and the next hook is not called.
    EXPECT_EQ(rig.Call(1, WM_GETMINMAXINFO_, &info), 0);
    EXPECT_EQ(rig.Call(2, WM_WINDOWPOSCHANGING_, nullptr), 0);
    EXPECT_EQ(rig.port.passedOn.size(), 1u);
    EXPECT_EQ(info.maxSize.x, 2048);

    // Every other message: passed on without a registry call or a window question.
    const uint32_t sim0 = rig.sim.CallCount();
    for (uint32_t message : {0x0000u, 0x0003u, 0x0005u, 0x000Fu, 0x0047u, 0x0083u, 0x0400u,
                             rig.lib.changeMessage + 1}) {
        EXPECT_EQ(rig.Call(0, message, &info), 0x77);
    }
    EXPECT_EQ(rig.sim.CallCount(), sim0);
    EXPECT_EQ(rig.port.windowQueries, 0);
    EXPECT_EQ(rig.port.passedOn.size(), 9u);
    EXPECT_EQ(info.maxSize.x, 2048);
    EXPECT_EQ(rig.reg.reads.size(), 0u);

    // The change message: the settings are read again and the message passes unaltered.
    EXPECT_EQ(rig.Call(0, rig.lib.changeMessage, &info), 0x77);
    EXPECT_EQ(rig.reg.reads, kAllReads);
    EXPECT_EQ(info.maxSize.x, 2048);
    EXPECT_EQ(rig.port.passedOn.size(), 10u);
}

TEST(AlignmentHookProc, MaximizedWindowsFillThePointersArea) {
    HookRig rig;
    rig.Attach();
    const struct {
        uint32_t flags;
        int32_t pointerX;
        bool cursorKnown;
        int32_t width;
        int32_t left;
    } cases[] = {
        {3, 1500, true, 1280, 1024}, {1, 1024, true, 1280, 1024}, {1, 1023, true, 1024, 0},
        {2, 1500, true, 2304, -4},   {0, 1500, true, 2304, -4},   {1, 1500, false, 2304, -4},
    };
    for (const auto& c : cases) {
        rig.SetFlags(c.flags);
        rig.port.cursorX = c.pointerX;
        rig.port.cursorKnown = c.cursorKnown;
        MinMaxInfoRecord info{{1, 2}, {2304, 1024}, {-4, -4}, {112, 27}, {2316, 1036}};
        rig.reg.reads.clear();
        EXPECT_EQ(rig.Call(0, WM_GETMINMAXINFO_, &info), 0x77);
        EXPECT_EQ(rig.reg.reads, kAllReads) << "read afresh for every message";
        EXPECT_EQ(info.maxSize.x, c.width);
        EXPECT_EQ(info.maxPosition.x, c.left);
        // The y members and the tracking sizes stay as they came.
        EXPECT_EQ(info.reserved.x, 1);
        EXPECT_EQ(info.maxSize.y, 1024);
        EXPECT_EQ(info.maxPosition.y, -4);
        EXPECT_EQ(info.minTrackSize.x, 112);
        EXPECT_EQ(info.maxTrackSize.x, 2316);
    }
    rig.SetFlags(1);
    rig.sim.RemoveValue(HKEY_LOCAL_MACHINE_, kSettingsKey, kRightAdapterVisualYRes);
    MinMaxInfoRecord info{{0, 0}, {2304, 1024}, {-4, -4}, {0, 0}, {0, 0}};
    rig.Call(0, WM_GETMINMAXINFO_, &info);
    EXPECT_EQ(info.maxSize.x, 2304) << "a missing size turns the features off";
    EXPECT_EQ(rig.Call(0, WM_GETMINMAXINFO_, nullptr), 0x77) << "no structure: passed on";
}

TEST(AlignmentHookProc, WindowsAboutToAppearAcrossTheSeamAreMoved) {
    HookRig rig;
    rig.Attach();
    rig.port.windows[0x500] = {0, {900, 40, 1200, 340}, true, u"#32770"};
    rig.port.windows[0x600] = {WS_CHILD_, {1000, 60, 1100, 260}, true, u"comboLBOX"};
    rig.port.windows[0x700] = {WS_CHILD_, {1000, 60, 1100, 260}, true, u"ComboLBoxes"};
    rig.port.windows[0x800] = {WS_VISIBLE_, {900, 40, 1200, 340}, true, u"#32770"};
    rig.port.windows[0x900] = {0, {900, 40, 1200, 340}, false, u"#32770"};
    const struct {
        uint32_t flags;
        uintptr_t window;
        int32_t pointerX;
        bool cursorKnown;
        int32_t x;
        int32_t y;
        uint32_t swp;
    } cases[] = {
        {2, 0x500, 100, true, 714, 40, 0},    // left side, SWP_NOMOVE cleared, top kept
        {3, 0x500, 1024, true, 1034, 40, 0},  // at the seam: right side
        {1, 0x500, 100, true, 0, 0, 2},       // dialog alignment off
        {2, 0x600, 1500, true, 1034, 60, 0},  // drop-down list, class compared without case
        {2, 0x700, 1500, true, 0, 0, 2},      // class name cut to 15 characters: not the list
        {2, 0x800, 100, true, 0, 0, 2},       // already visible
        {2, 0x900, 100, true, 0, 0, 2},       // rectangle unknown
        {2, 0x500, 100, false, 0, 0, 2},      // pointer unknown
        {2, 0xA00, 100, true, 0, 0, 2},       // no such window
    };
    for (const auto& c : cases) {
        rig.SetFlags(c.flags);
        rig.port.cursorX = c.pointerX;
        rig.port.cursorKnown = c.cursorKnown;
        WindowPosRecord pos{c.window, 0, 0, 0, 300, 300, SWP_NOMOVE_};
        EXPECT_EQ(rig.Call(0, WM_WINDOWPOSCHANGING_, &pos), 0x77);
        EXPECT_EQ(pos.x, c.x) << std::hex << c.window;
        EXPECT_EQ(pos.y, c.y) << std::hex << c.window;
        EXPECT_EQ(pos.flags, c.swp) << std::hex << c.window;
        EXPECT_EQ(pos.cx, 300);
        EXPECT_EQ(pos.cy, 300);
        EXPECT_EQ(pos.window, c.window);
    }
    EXPECT_EQ(rig.Call(0, WM_WINDOWPOSCHANGING_, nullptr), 0x77) << "no structure: passed on";
    EXPECT_EQ(rig.sim.OpenKeyCount(), 0);
}

}  // namespace
