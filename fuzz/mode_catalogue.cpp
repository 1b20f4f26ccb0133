// The tray catalogue and menu built from an arbitrary list of modes: 0 to 70,000 modes with any
// field values, as explicit records and as many more made from them, then the labels.
//
// Input: [count: 4 bytes][steps][machine flags][command: 2][screen: 4 words][records], each
// record [bits][width][height][refresh][fields] (words) and [name: 8 bytes]. Mode i is record
// i mod R, with its width and height moved by ((i / R) mod 16) times the steps' low and high
// nibble, and its refresh by i mod 3: a pattern repeated and varied. So a merged catalogue holds
// at most 16 R sizes (the merge compares each mode with every entry: tens of thousands of
// different sizes take seconds a run), while an unmerged one stores every mode up to its limit.
#include "tray/mode_catalogue.h"

#include <cstring>
#include <vector>

#include "adapter/registry_layout.h"
#include "fuzz/tray_machine.h"
#include "tray/tray_menu.h"
#include "tray/tray_program.h"

namespace {

constexpr uint32_t kMaxModes = 70000;

bool Accepted(const DevMode& mode, bool tvOn) {
    const uint32_t rate = mode.dmDisplayFrequency;
    return mode.dmPelsWidth >= 320 && (rate >= (tvOn ? 49u : 59u) || rate <= 1) &&
           DepthIndex(mode.dmBitsPerPel) >= 0;
}

void CheckCatalogue(const Tray& tray, bool merged) {
    const ModeCatalogue& catalogue = tray.catalogue;
    const uint32_t n = catalogue.entries.size();
    FUZZ_CHECK(n <= kMaxCatalogueEntries);
    uint8_t depths = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const DevMode& entry = catalogue.entries[i];
        FUZZ_CHECK(Accepted(entry, tray.state.tvOutputOn));
        FUZZ_CHECK(i == 0 || CompareModes(catalogue.entries[i - 1], entry) <= 0);
        // Merged by rate: one entry per size and depth, and the sort puts equal ones together.
        FUZZ_CHECK(!merged || i == 0 || CompareModes(catalogue.entries[i - 1], entry) < 0);
        if (merged && i > 0) {
            const DevMode& before = catalogue.entries[i - 1];
            FUZZ_CHECK(before.dmPelsWidth != entry.dmPelsWidth ||
                       before.dmPelsHeight != entry.dmPelsHeight ||
                       before.dmBitsPerPel != entry.dmBitsPerPel);
        }
        depths |= static_cast<uint8_t>(1u << DepthIndex(entry.dmBitsPerPel));
    }
    FUZZ_CHECK(depths == catalogue.depthSet);
}

// Every item as the catalogue numbers it: the modes by their entry, the fixed commands after
// them, texts terminated and at most 51 characters, menus and submenus that exist.
void CheckMenu(const Tray& tray, bool withRate) {
    const TrayMenu& menu = tray.menu;
    const ModeCatalogue& catalogue = tray.catalogue;
    const uint32_t n = catalogue.entries.size();
    FUZZ_CHECK(menu.menuCount >= 1 && menu.menuCount <= kMaxTrayMenus);
    FUZZ_CHECK(menu.fixedBase == kFirstModeId + n);
    // The submenu that each depth's list went into, and which depth each menu lists.
    int32_t listed[kMaxTrayMenus];
    for (int32_t& depth : listed)
        depth = -1;
    for (const MenuItem& item : menu.items) {
        if (item.kind == MenuItemKind::kPopup && item.menu == 0) {
            for (uint32_t d = 0; d < kDepthCount; ++d) {
                if (std::strcmp(item.text, DepthName(kDepths[d])) == 0)
                    listed[item.submenu] = static_cast<int32_t>(kDepths[d]);
            }
        }
    }
    char label[kMenuTextSize];
    for (const MenuItem& item : menu.items) {
        FUZZ_CHECK(item.menu < menu.menuCount);
        FUZZ_CHECK(fuzz::Terminated(item.text, kMenuTextSize));
        if (item.kind == MenuItemKind::kPopup)
            FUZZ_CHECK(item.submenu > 0 && item.submenu < menu.menuCount);
        if (item.kind != MenuItemKind::kCommand)
            continue;
        FUZZ_CHECK(item.id <= 0xFFFF);
        if (item.id == 0 || item.id == kResolutionHeaderId)
            continue;
        FUZZ_CHECK(item.id >= kFirstModeId);
        if (item.id >= menu.fixedBase) {
            FUZZ_CHECK(item.id - menu.fixedBase <= kGrayscaleCommand);
            continue;
        }
        const DevMode& entry = catalogue.entries[item.id - kFirstModeId];
        const char* name = DepthName(entry.dmBitsPerPel);
        if (std::strcmp(item.text, name) == 0 && item.menu == 0) {
            // A depth with one mode: its name stands for that mode.
            FUZZ_CHECK(CountModesOfDepth(catalogue, entry.dmBitsPerPel) == 1);
            continue;
        }
        FormatModeLabel(catalogue, withRate, entry, label);
        FUZZ_CHECK(std::strcmp(item.text, label) == 0);
        const uint32_t depth =
            item.menu == 0 ? tray.state.bitsPerPixel : static_cast<uint32_t>(listed[item.menu]);
        FUZZ_CHECK(entry.dmBitsPerPel == depth);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::TrayMachine m;
    // Most inputs offer up to a thousand modes; those whose count starts with 0xFF up to 70,000
    // (merging that many different modes takes seconds: compares grow with their square).
    const uint32_t raw = in.Word();
    const uint32_t count = raw >> 24 == 0xFF ? (raw & 0xFFFFFF) % (kMaxModes + 1) : raw % 1024;
    const uint8_t steps = in.Byte();
    const uint8_t flags = in.Byte();
    const uint16_t command = in.Half();
    m.board.screen = {in.Word(), in.Word(), in.Word(), in.Word()};
    // Flags: bit 0 not Windows NT, bit 1 no driver in the device map, bit 2 TV output in use,
    // bit 3 the zoom on, bit 4 the board's device name is "vga".
    if (flags & 1)
        m.sys.platformId = VER_PLATFORM_WIN32_WINDOWS_;
    if (flags & 2)
        m.reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue, "\\Device\\vga");
    m.board.tvState = flags & 4 ? 1 : 0;
    m.board.zoomState = flags & 8 ? 2 : 1;
    if (flags & 16)
        m.board.deviceName = "vga";

    std::vector<DevMode> records;
    while (in.Left() && records.size() < 64) {
        DevMode mode = {};
        mode.dmBitsPerPel = in.Word();
        mode.dmPelsWidth = in.Word();
        mode.dmPelsHeight = in.Word();
        mode.dmDisplayFrequency = in.Word();
        mode.dmFields = in.Word();
        const std::vector<uint8_t> name = in.Bytes(8, 8);
        std::memcpy(mode.dmDeviceName, name.data(), name.size());
        mode.dmSize = sizeof(DevMode);
        records.push_back(mode);
    }
    if (records.empty())
        records.push_back(m.board.AddMode(640, 480, 8, 60));
    m.board.modes.clear();
    m.board.modes.reserve(count);
    const uint32_t r = static_cast<uint32_t>(records.size());
    for (uint32_t i = 0; i < count; ++i) {
        DevMode mode = records[i % r];
        const uint32_t round = i / r % 16;
        mode.dmPelsWidth += round * (steps & 0x0F);
        mode.dmPelsHeight += round * (steps >> 4);
        mode.dmDisplayFrequency += i % 3;
        m.board.modes.push_back(mode);
    }

    const bool built = BuildModeCatalogue(m.tray, fuzz::kMainWindow);
    m.CheckReleased();
    FUZZ_CHECK(built == (m.tray.catalogue.entries.size() != 0));
    const bool merged = ModesMergedByRate(m.tray);
    CheckCatalogue(m.tray, merged);
    const bool menu = BuildTrayMenu(m.tray, fuzz::kMainWindow);
    m.CheckReleased();
    FUZZ_CHECK(menu);
    CheckMenu(m.tray, !merged);

    // Every label fits the menu's text, whatever the mode holds.
    char label[kMenuTextSize + 8];
    for (const DevMode& mode : records) {
        for (bool withRate : {false, true}) {
            std::memset(label, 'x', sizeof(label));
            FormatModeLabel(m.tray.catalogue, withRate, mode, label);
            FUZZ_CHECK(fuzz::Terminated(label, kMenuTextSize));
            FUZZ_CHECK(label[kMenuTextSize] == 'x');
        }
    }

    // A command from the menu just built: a mode or a fixed command, then everything rebuilt.
    if (count <= 2000 && m.tray.menu.items.size() != 0) {
        const uint32_t id = m.tray.menu.items[command % m.tray.menu.items.size()].id;
        MainWndProc(m.tray, fuzz::kMainWindow, WM_COMMAND_, id, 0);
        m.CheckReleased();
        CheckCatalogue(m.tray, ModesMergedByRate(m.tray));
        if (m.tray.menu.menuCount)
            CheckMenu(m.tray, !ModesMergedByRate(m.tray));
    }
    return 0;
}
