// The hook port in memory: named shared blocks that every library state attached to the same
// SimHook sees (as processes see one block), the installed hooks, the calls passed on, and the
// windows and pointer that the hook asks about. A failed call answers as the system does (no
// block, no view, no hook, 0, false) and is not recorded; a failed release still releases.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/hook.h"
#include "platform/sim/sim_faults.h"

class SimHook final : public HookPort, public FaultInjectable {
  public:
    // A block that nobody has open any more is gone; a new one starts out filled with this
    // byte, so that a library that relies on fresh memory being zero is caught.
    static constexpr uint8_t kFreshBlockByte = 0xCD;

    bool createFails = false;
    bool mapFails = false;
    bool installFails = false;

    struct Block {
        std::u16string name;
        std::vector<uint8_t> bytes;
        int handles = 0;
        int views = 0;
    };
    // The block of that name, or null.
    Block* FindBlock(const std::u16string& name);
    int OpenBlockHandles() const { return static_cast<int>(blockHandles_.size()); }
    int MappedViews() const;

    std::map<std::u16string, uint32_t> registered;  // registered message numbers by name
    std::vector<uintptr_t> installedFor;            // the module of every installation
    std::vector<HookHandle> installed;              // handles given out and not removed
    std::vector<HookHandle> removed;                // every removal asked for

    struct NextCall {
        HookHandle hook;
        int32_t code;
        uintptr_t wParam;
        intptr_t lParam;
    };
    std::vector<NextCall> passedOn;
    intptr_t nextResult = 0x77;

    bool cursorKnown = true;
    int32_t cursorX = 0;
    int32_t cursorY = 0;

    struct Window {
        uint32_t style = 0;
        Rect rect{};
        bool rectKnown = true;
        std::u16string className;  // empty: the class name cannot be read
    };
    std::map<uintptr_t, Window> windows;
    int windowQueries = 0;  // style, rectangle and class-name questions asked

    SharedBlock CreateSharedBlock(const char16_t* name, uint32_t size,
                                  uint32_t* lastError) override;
    uint8_t* MapSharedBlock(SharedBlock block) override;
    void UnmapSharedBlock(uint8_t* view) override;
    void CloseSharedBlock(SharedBlock block) override;
    uint32_t RegisterMessage(const char16_t* name) override;
    HookHandle InstallHook(uintptr_t module) override;
    bool RemoveHook(HookHandle hook) override;
    intptr_t CallNextHook(HookHandle hook, int32_t code, uintptr_t wParam,
                          intptr_t lParam) override;
    bool CursorPos(int32_t* x, int32_t* y) override;
    uint32_t WindowStyle(uintptr_t window) override;
    bool WindowRect(uintptr_t window, Rect* rect) override;
    uint32_t ClassName(uintptr_t window, char16_t* name, uint32_t room) override;

  private:
    void Release(Block* block);

    std::vector<std::unique_ptr<Block>> blocks_;
    std::map<SharedBlock, Block*> blockHandles_;
    std::map<uint8_t*, Block*> views_;
    SharedBlock nextBlockHandle_ = 0x60;
    HookHandle nextHook_ = 0x000A0123;
    uint32_t nextMessage_ = 0xC100;
};
