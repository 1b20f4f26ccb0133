#include "tray/tray_menu.h"

#include "adapter/discovery.h"
#include "adapter/registry_layout.h"
#include "tray/escape_client.h"
#include "tray/mode_catalogue.h"

namespace {

constexpr uint16_t kPopup = 0;

class MenuBuilder {
  public:
    explicit MenuBuilder(TrayMenu& menu) : menu_(menu) {}

    uint16_t NewMenu() { return menu_.menuCount++; }
    void Item(uint16_t menu, const char* text, uint32_t id, bool checked = false,
              bool grayed = false, bool disabled = false) {
        Add(MenuItemKind::kCommand, menu, text, id, checked, grayed, disabled, 0);
    }
    void Popup(uint16_t menu, const char* text, uint16_t submenu, bool checked = false) {
        Add(MenuItemKind::kPopup, menu, text, 0, checked, false, false, submenu);
    }
    void Separator(uint16_t menu) {
        Add(MenuItemKind::kSeparator, menu, "", 0, false, false, false, 0);
    }
    bool ok() const { return ok_; }

  private:
    void Add(MenuItemKind kind, uint16_t menu, const char* text, uint32_t id, bool checked,
             bool grayed, bool disabled, uint16_t submenu) {
        MenuItem item = {};
        item.kind = kind;
        item.checked = checked;
        item.grayed = grayed;
        item.disabled = disabled;
        item.menu = menu;
        item.submenu = submenu;
        item.id = id;
        for (uint32_t i = 0; i + 1 < kMenuTextSize && text[i]; ++i)
            item.text[i] = text[i];
        ok_ = menu_.items.Push(item) && ok_;
    }

    TrayMenu& menu_;
    bool ok_ = true;
};

// "Resolution:" and the modes of one depth, numbered from *nextId.
void AppendModeList(Tray& tray, MenuBuilder& builder, uint16_t menu, uint32_t bitsPerPixel,
                    bool withRate, uint32_t* nextId) {
    builder.Item(menu, "Resolution:", kResolutionHeaderId, false, false, true);
    const DisplayState& state = tray.state;
    char label[kMenuTextSize];
    for (const DevMode& entry : tray.catalogue.entries) {
        if (entry.dmBitsPerPel != bitsPerPixel)
            continue;
        FormatModeLabel(tray.catalogue, withRate, entry, label);
        const bool inForce = entry.dmPelsWidth == state.width &&
                             entry.dmPelsHeight == state.height &&
                             entry.dmBitsPerPel == state.bitsPerPixel;
        builder.Item(menu, label, (*nextId)++, inForce);
    }
}

// Forgets the items and menus; the row count stays for whoever reads the estimate.
void ClearTrayMenu(TrayMenu& menu) {
    menu.items.Clear();
    menu.menuCount = 0;
}

}  // namespace

bool BuildTrayMenu(Tray& tray, WindowHandle window) {
    TrayMenu& menu = tray.menu;
    ClearTrayMenu(menu);
    menu.rows = 0;
    MenuBuilder builder(menu);
    builder.NewMenu();  // the popup menu itself

    const ModeCatalogue& catalogue = tray.catalogue;
    const DisplayState& state = tray.state;
    const uint32_t depthInForce = state.bitsPerPixel;
    const bool withRate = !ModesMergedByRate(tray);
    uint32_t nextId = kFirstModeId;
    uint32_t depthFirstId = kFirstModeId;

    // Colour part.
    if (HasSingleDepth(catalogue)) {
        if (const char* name = DepthName(depthInForce))
            builder.Item(kPopup, name, 0);
    } else {
        builder.Item(kPopup, "Available Colors:", 0, false, false, true);
        ++menu.rows;
        for (uint32_t d = 0; d < kDepthCount; ++d) {
            if (!(catalogue.depthSet & (1u << d)))
                continue;
            const uint32_t depth = kDepths[d];
            const bool inForce = depth == depthInForce;
            if (inForce)
                depthFirstId = nextId;
            if (CountModesOfDepth(catalogue, depth) == 1) {
                builder.Item(kPopup, DepthName(depth), nextId++, inForce);
            } else {
                const uint16_t list = builder.NewMenu();
                AppendModeList(tray, builder, list, depth, withRate, &nextId);
                builder.Popup(kPopup, DepthName(depth), list, inForce);
            }
            if (depth != 32)
                ++menu.rows;
        }
    }
    menu.rows += 1;
    builder.Separator(kPopup);
    ++menu.rows;

    // The modes of the depth in force once more, with the ids of their depth's list.
    menu.fixedBase = kFirstModeId + catalogue.entries.size();
    nextId = depthFirstId;
    AppendModeList(tray, builder, kPopup, depthInForce, withRate, &nextId);
    menu.rows += CountModesOfDepth(catalogue, depthInForce);

    nextId = menu.fixedBase;
    builder.Separator(kPopup);
    builder.Item(kPopup, "Display Settings Menu", nextId++);
    menu.rows += 2;

    if (HasBoardFeatures(tray)) {
        if (QueryHardwareZoom(tray)) {
            builder.Separator(kPopup);
            builder.Item(kPopup, "Hardware Zoom", nextId, tray.state.hardwareZoomOn);
            menu.rows += 2;
        }
        nextId += 1;

        if (ReadValidVideoModes(tray)) {
            builder.Separator(kPopup);
            if (IsTvOutputActive(tray)) {
                builder.Item(kPopup, "Video Optimization", nextId, false, true);
            } else {
                const int32_t setting = tray.state.videoOptimization;
                const uint16_t sub = builder.NewMenu();
                builder.Item(sub, "Video Optimization ON", nextId, setting == 2);
                builder.Item(sub, "Video Optimization OFF", nextId + 1, setting == 0);
                builder.Item(sub, "Video Optimization AUTO", nextId + 2, (setting & 4) != 0);
                builder.Popup(kPopup, "Video Optimization", sub);
            }
            menu.rows += 2;
        }
        nextId += 3;

        if (IsTvSetAvailable(tray)) {
            builder.Separator(kPopup);
            ++menu.rows;
            const bool selected = IsTvSetSelected(tray);
            const bool gray = (depthInForce == 8 && IsTvOutputActive(tray)) || !selected;
            const uint32_t flickerId = nextId++;
            if (selected) {
                const uint16_t tv = builder.NewMenu();
                builder.Item(tv,
                             tray.state.flickerFixingOn ? "Flickerfixing off" : "Flickerfixing on",
                             flickerId, tray.state.flickerFixingOn, gray);
                builder.Popup(kPopup, "TV config", tv);
                ++menu.rows;
                builder.Item(kPopup, tray.state.tvOutputOn ? "TV-Mode off" : "TV-Mode on", nextId);
            } else {
                builder.Item(kPopup, "TV config", nextId, false, true);
            }
            nextId += 1;
            ++menu.rows;
        } else {
            nextId += 2;
        }

        if (QueryGrayscale(tray)) {
            builder.Separator(kPopup);
            if (depthInForce != 8)
                builder.Item(kPopup, "Grayscale", nextId, false, true);
            else
                builder.Item(kPopup, "Grayscale", nextId, tray.state.grayscaleOn);
            menu.rows += 2;
        }
        nextId += 1;
    }

    if (!builder.ok() || !tray.ports.shell.InstallTrayMenu(window, menu)) {
        ClearTrayMenu(menu);
        return false;
    }
    return true;
}

void DestroyTrayMenu(Tray& tray, WindowHandle window) {
    tray.ports.shell.RemoveTrayMenu(window);
    ClearTrayMenu(tray.menu);
}

bool ReadValidVideoModes(Tray& tray) {
    tray.state.videoOptimization = -1;
    uint32_t value = 0;
    if (!ReadTrayNumber(tray.ports.reg, SettingsKeyPath::kServiceDevice0, kValidVideoModes,
                        &value) ||
        !(value & 0x80000000u)) {
        return false;
    }
    tray.state.videoOptimization = static_cast<int32_t>(value & 0x7FFFFFFEu);
    return true;
}

bool HasBoardFeatures(Tray& tray) {
    if (!TrayDriverPresent(tray.ports.sys, tray.ports.reg))
        return false;
    // The device name need not be terminated: search only its 32 characters.
    const DevMode& mode = tray.state.firstMode;
    return !ContainsText(mode.dmDeviceName, sizeof(mode.dmDeviceName), "vga");
}

uint32_t MenuHeightEstimate(const Tray& tray) {
    return tray.menu.rows * tray.menuItemHeight;
}
