#include "alignhook/hook_library.h"

#include "adapter/discovery.h"
#include "adapter/registry_layout.h"

namespace {

// Read as 4 bytes of any type, in this order; the first one missing ends the reading.
constexpr const char16_t* kSizeValues[] = {kLeftAdapterVisualXResW, kLeftAdapterVisualYResW,
                                           kRightAdapterVisualXResW, kRightAdapterVisualYResW};

// The shared word is written by the controller's process and read by every hook call: one
// aligned 32-bit word, read and written whole.
HookHandle SharedHook(const HookLibrary& lib) {
    if (!lib.view)
        return 0;
    return __atomic_load_n(reinterpret_cast<const uint32_t*>(lib.view), __ATOMIC_RELAXED);
}

void ApplyMaximizeAlignment(HookPort& port, const AlignmentSettings& settings,
                            MinMaxInfoRecord* info) {
    int32_t x = 0;
    int32_t y = 0;
    if (!info || !port.CursorPos(&x, &y))
        return;
    const MaximizedPlacement placement = AlignMaximizeInfo(x, settings);
    info->maxSize.x = placement.width;
    info->maxPosition.x = placement.left;
}

bool ComboList(HookPort& port, uintptr_t window) {
    char16_t name[16];
    return port.ClassName(window, name, 16) != 0 && IsComboListClass(name);
}

void ApplyDialogAlignment(HookPort& port, const AlignmentSettings& settings, WindowPosRecord* pos) {
    if (!pos)
        return;
    const uint32_t style = port.WindowStyle(pos->window);
    const bool comboList = (style & WS_CHILD_) && ComboList(port, pos->window);
    if (ChooseSeamTest(style, comboList) == SeamTest::kNone)
        return;
    Rect present{};
    int32_t x = 0;
    int32_t y = 0;
    if (!port.WindowRect(pos->window, &present) || !port.CursorPos(&x, &y))
        return;
    const WindowPosChange change = AlignWindowPos(
        style, comboList, present, {pos->x, pos->y, pos->cx, pos->cy, pos->flags}, x, settings);
    pos->x = change.x;
    pos->y = change.y;
    pos->flags = change.flags;
}

}  // namespace

void ReadAlignmentSettings(RegistryReaderW& reg, AlignmentSettings* settings) {
    settings->controlFlags = 0;
    RegKey key = 0;
    if (!OpenHookSettingsKey(reg, &key))
        return;
    int32_t* sizes[] = {&settings->leftAdapterVisualXRes, &settings->leftAdapterVisualYRes,
                        &settings->rightAdapterVisualXRes, &settings->rightAdapterVisualYRes};
    for (int i = 0; i < 4; ++i) {
        uint32_t value = 0;
        settings->valid = ReadNumberW(reg, key, kSizeValues[i], &value);
        if (!settings->valid)
            break;
        *sizes[i] = static_cast<int32_t>(value);
    }
    reg.CloseKey(key);
    if (!settings->valid)
        return;

    RegKey user = 0;
    if (reg.OpenKeyExW(HKEY_CURRENT_USER_, kAlignmentKeyW, KEY_READ_, &user) != ERROR_SUCCESS_)
        return;
    uint32_t flags = 0;
    if (ReadNumberW(reg, user, kTwinControlFlagW, &flags))
        settings->controlFlags = flags & kAlignmentFlagsMask;
    reg.CloseKey(user);
}

bool AttachHookLibrary(HookPort& port, RegistryReaderW& reg, uintptr_t module, HookLibrary* lib) {
    uint32_t lastError = 0;
    const SharedBlock block =
        port.CreateSharedBlock(kSharedBlockName, kSharedBlockBytes, &lastError);
    if (!block)
        return false;
    const bool existed = lastError == static_cast<uint32_t>(ERROR_ALREADY_EXISTS_);
    uint8_t* view = port.MapSharedBlock(block);
    if (!view) {
        port.CloseSharedBlock(block);
        return false;
    }
    if (!existed) {
        for (uint32_t i = 0; i < kSharedBlockBytes; ++i)
            view[i] = 0;
    }
    lib->block = block;
    lib->view = view;
    lib->settings.valid = false;
    lib->settings.controlFlags = 0;
    lib->module = module;
    lib->changeMessage = port.RegisterMessage(kAlignmentChangeMessage);
    ReadAlignmentSettings(reg, &lib->settings);
    return true;
}

void DetachHookLibrary(HookPort& port, HookLibrary* lib) {
    if (lib->view)
        port.UnmapSharedBlock(lib->view);
    if (lib->block)
        port.CloseSharedBlock(lib->block);
    lib->view = nullptr;
    lib->block = 0;
}

int32_t StartHooking(HookPort& port, HookLibrary* lib) {
    lib->hook = port.InstallHook(lib->module);
    if (lib->view)
        __atomic_store_n(reinterpret_cast<uint32_t*>(lib->view), lib->hook, __ATOMIC_RELAXED);
    return 1;
}

int32_t StopHooking(HookPort& port, HookLibrary* lib) {
    lib->hook = SharedHook(*lib);
    port.RemoveHook(lib->hook);
    return 1;
}

intptr_t AlignmentHookProc(const HookLibrary& lib, HookPort& port, RegistryReaderW& reg,
                           int32_t code, uintptr_t sent, HookMessageRecord* record) {
    // The handle is taken afresh on every call: the controller may have published it since.
    const HookHandle hook = SharedHook(lib);
    const intptr_t lParam = reinterpret_cast<intptr_t>(record);
    if (code < 0)
        return port.CallNextHook(hook, code, sent, lParam);
    if (code > 0)
        return 0;
    if (record) {
        const uint32_t message = record->message;
        const bool change = lib.changeMessage != 0 && message == lib.changeMessage;
        if (change || message == WM_GETMINMAXINFO_ || message == WM_WINDOWPOSCHANGING_) {
            // Each message is handled with its own read: threads never share a half-read record.
            AlignmentSettings settings;
            ReadAlignmentSettings(reg, &settings);
            if (settings.valid) {
                if (message == WM_GETMINMAXINFO_ && (settings.controlFlags & kMaximizeAlignment)) {
                    ApplyMaximizeAlignment(port, settings,
                                           reinterpret_cast<MinMaxInfoRecord*>(record->lParam));
                } else if (message == WM_WINDOWPOSCHANGING_ &&
                           (settings.controlFlags & kDialogAlignment)) {
                    ApplyDialogAlignment(port, settings,
                                         reinterpret_cast<WindowPosRecord*>(record->lParam));
                }
            }
        }
    }
    return port.CallNextHook(hook, code, sent, lParam);
}
