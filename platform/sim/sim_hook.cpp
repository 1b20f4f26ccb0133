#include "platform/sim/sim_hook.h"

#include <algorithm>

#include "platform/registry.h"

SimHook::Block* SimHook::FindBlock(const std::u16string& name) {
    for (auto& block : blocks_) {
        if (block->name == name)
            return block.get();
    }
    return nullptr;
}

int SimHook::MappedViews() const {
    int n = 0;
    for (const auto& block : blocks_)
        n += block->views;
    return n;
}

SharedBlock SimHook::CreateSharedBlock(const char16_t* name, uint32_t size, uint32_t* lastError) {
    if (Fails("hook CreateSharedBlock") || createFails) {
        *lastError = static_cast<uint32_t>(ERROR_ACCESS_DENIED_);
        return 0;
    }
    Block* block = FindBlock(name);
    if (block) {
        *lastError = static_cast<uint32_t>(ERROR_ALREADY_EXISTS_);
    } else {
        blocks_.push_back(std::make_unique<Block>());
        block = blocks_.back().get();
        block->name = name;
        block->bytes.assign(size, kFreshBlockByte);
        *lastError = 0;
    }
    ++block->handles;
    const SharedBlock handle = nextBlockHandle_;
    nextBlockHandle_ += 4;
    blockHandles_[handle] = block;
    return handle;
}

uint8_t* SimHook::MapSharedBlock(SharedBlock handle) {
    auto it = blockHandles_.find(handle);
    if (Fails("hook MapSharedBlock") || mapFails || it == blockHandles_.end())
        return nullptr;
    Block* block = it->second;
    ++block->views;
    // Every view of a block is its one buffer, as every process's view shows the same pages.
    views_[block->bytes.data()] = block;
    return block->bytes.data();
}

void SimHook::UnmapSharedBlock(uint8_t* view) {
    Fails("hook UnmapSharedBlock");
    auto it = views_.find(view);
    if (it == views_.end())
        return;
    Block* block = it->second;
    if (--block->views == 0)
        views_.erase(it);
    Release(block);
}

void SimHook::CloseSharedBlock(SharedBlock handle) {
    Fails("hook CloseSharedBlock");
    auto it = blockHandles_.find(handle);
    if (it == blockHandles_.end())
        return;
    Block* block = it->second;
    blockHandles_.erase(it);
    --block->handles;
    Release(block);
}

void SimHook::Release(Block* block) {
    if (block->handles > 0 || block->views > 0)
        return;
    blocks_.erase(std::remove_if(blocks_.begin(), blocks_.end(),
                                 [block](const auto& b) { return b.get() == block; }),
                  blocks_.end());
}

uint32_t SimHook::RegisterMessage(const char16_t* name) {
    if (Fails("hook RegisterMessage"))
        return 0;
    auto it = registered.find(name);
    if (it != registered.end())
        return it->second;
    return registered[name] = nextMessage_++;
}

HookHandle SimHook::InstallHook(uintptr_t module) {
    if (Fails("hook InstallHook"))
        return 0;
    installedFor.push_back(module);
    if (installFails)
        return 0;
    const HookHandle hook = nextHook_++;
    installed.push_back(hook);
    return hook;
}

bool SimHook::RemoveHook(HookHandle hook) {
    if (Fails("hook RemoveHook"))
        return false;
    removed.push_back(hook);
    auto it = std::find(installed.begin(), installed.end(), hook);
    if (it == installed.end())
        return false;
    installed.erase(it);
    return true;
}

intptr_t SimHook::CallNextHook(HookHandle hook, int32_t code, uintptr_t wParam, intptr_t lParam) {
    if (Fails("hook CallNextHook"))
        return 0;
    passedOn.push_back({hook, code, wParam, lParam});
    return nextResult;
}

bool SimHook::CursorPos(int32_t* x, int32_t* y) {
    if (Fails("hook CursorPos") || !cursorKnown)
        return false;
    *x = cursorX;
    *y = cursorY;
    return true;
}

uint32_t SimHook::WindowStyle(uintptr_t window) {
    ++windowQueries;
    auto it = Fails("hook WindowStyle") ? windows.end() : windows.find(window);
    return it == windows.end() ? 0 : it->second.style;
}

bool SimHook::WindowRect(uintptr_t window, Rect* rect) {
    ++windowQueries;
    auto it = Fails("hook WindowRect") ? windows.end() : windows.find(window);
    if (it == windows.end() || !it->second.rectKnown)
        return false;
    *rect = it->second.rect;
    return true;
}

uint32_t SimHook::ClassName(uintptr_t window, char16_t* name, uint32_t room) {
    ++windowQueries;
    auto it = Fails("hook ClassName") ? windows.end() : windows.find(window);
    if (it == windows.end() || it->second.className.empty() || room == 0)
        return 0;
    const std::u16string& text = it->second.className;
    const size_t n = std::min<size_t>(text.size(), room - 1);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), name);
    name[n] = 0;
    return static_cast<uint32_t>(n);
}
