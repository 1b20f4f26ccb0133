#include "tray/mode_catalogue.h"

#include <algorithm>

#include "adapter/discovery.h"
#include "platform/text_builder.h"
#include "tray/display_state.h"

namespace {

const char* const kDepthNames[kDepthCount] = {"16 Colors",    "256 Colors",      "32768 Colors",
                                              "65536 Colors", "16777216 Colors", "True Color"};

bool Accepted(const DevMode& mode, uint32_t lowestRate) {
    const uint32_t rate = mode.dmDisplayFrequency;
    return mode.dmPelsWidth >= 320 && (rate >= lowestRate || rate == 0 || rate == 1) &&
           DepthIndex(mode.dmBitsPerPel) >= 0;
}

uint8_t DepthBit(uint32_t bitsPerPixel) {
    return static_cast<uint8_t>(1u << DepthIndex(bitsPerPixel));
}

// Single-screen resolutions of 640 to 1920 pixels' width.
struct Size {
    uint16_t width;
    uint16_t height;
};
constexpr Size kSingleScreen[] = {{640, 480},   {768, 576},   {800, 600},   {1024, 768},
                                  {1152, 864},  {1280, 1024}, {1408, 1024}, {1600, 1000},
                                  {1600, 1200}, {1600, 1280}, {1640, 1024}, {1760, 1100},
                                  {1920, 1080}};
constexpr Size kSymmetrical[] = {{640, 240},  {1280, 480}, {1600, 600},
                                 {2048, 768}, {2304, 864}, {2560, 1024}};

// The two screens of a two-screen desktop, by its width. A first height of 0 stands for H:
// 1200 on a 1200-line desktop, else 1280.
struct Layout {
    uint16_t width;
    Size first;
    Size second;
};
constexpr Layout kLayouts[] = {
    {960, {320, 240}, {640, 480}},    {1120, {320, 240}, {800, 600}},
    {1344, {320, 240}, {1024, 768}},  {1440, {800, 600}, {640, 480}},
    {1472, {320, 240}, {1152, 864}},  {1600, {320, 240}, {1280, 1024}},
    {1664, {1024, 768}, {640, 480}},  {1728, {320, 240}, {1408, 1024}},
    {1792, {1152, 864}, {640, 480}},  {1824, {1024, 768}, {800, 600}},
    {1920, {1600, 0}, {320, 240}},    {1952, {1152, 864}, {800, 600}},
    {2048, {1408, 1024}, {640, 480}}, {2080, {1280, 1024}, {800, 600}},
    {2176, {1152, 864}, {1024, 768}}, {2208, {1408, 1024}, {800, 600}},
    {2240, {1600, 0}, {640, 480}},    {2304, {1280, 1024}, {1024, 768}},
    {2400, {1600, 0}, {800, 600}},    {2432, {1408, 1024}, {1024, 768}},
    {2624, {1600, 0}, {1024, 768}},   {2688, {1408, 1024}, {1280, 1024}},
    {2752, {1600, 0}, {1152, 864}},   {2880, {1600, 0}, {1280, 1024}},
    {3008, {1600, 0}, {1408, 1024}},
};

bool Listed(const Size* sizes, size_t count, uint32_t width, uint32_t height) {
    for (size_t i = 0; i < count; ++i) {
        if (sizes[i].width == width && sizes[i].height == height)
            return true;
    }
    return false;
}

void TwoScreenLayout(uint32_t width, uint32_t height, uint32_t screens[4]) {
    screens[0] = width;
    screens[1] = height;
    screens[2] = 9999;
    screens[3] = 9999;
    if (width == 1920 && height == 1024) {
        const uint32_t special[4] = {1280, 1024, 640, 480};
        std::copy(special, special + 4, screens);
        return;
    }
    for (const Layout& layout : kLayouts) {
        if (layout.width != width)
            continue;
        screens[0] = layout.first.width;
        screens[1] = layout.first.height ? layout.first.height : height == 1200 ? 1200 : 1280;
        screens[2] = layout.second.width;
        screens[3] = layout.second.height;
        return;
    }
}

int Order(uint32_t a, uint32_t b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

}  // namespace

int32_t DepthIndex(uint32_t bitsPerPixel) {
    for (uint32_t i = 0; i < kDepthCount; ++i) {
        if (kDepths[i] == bitsPerPixel)
            return static_cast<int32_t>(i);
    }
    return -1;
}

const char* DepthName(uint32_t bitsPerPixel) {
    const int32_t index = DepthIndex(bitsPerPixel);
    return index < 0 ? nullptr : kDepthNames[index];
}

bool ModesMergedByRate(Tray& tray) {
    return tray.ports.sys.PlatformId() != VER_PLATFORM_WIN32_NT_ ||
           TrayDriverPresent(tray.ports.sys, tray.ports.reg);
}

bool BuildModeCatalogue(Tray& tray, WindowHandle owner) {
    ModeCatalogue& catalogue = tray.catalogue;
    catalogue.entries.Clear();
    catalogue.depthSet = 0;
    RefreshDisplayState(tray, owner);

    DisplayPort& display = tray.ports.display;
    const uint32_t lowestRate = tray.state.tvOutputOn ? 49 : 59;
    DevMode mode;
    uint32_t count = 0;
    for (uint32_t i = 0; count < kMaxCatalogueEntries && display.EnumMode(i, &mode); ++i) {
        if (Accepted(mode, lowestRate))
            ++count;
    }
    if (count == 0) {
        tray.ports.windows.ShowMessageBox(owner, "No Display modes available.", "SetDisp Error",
                                          MB_OKCANCEL_);
        return false;
    }
    if (!catalogue.entries.Reserve(count))
        return false;

    const bool nt = tray.ports.sys.PlatformId() == VER_PLATFORM_WIN32_NT_;
    const bool merge = ModesMergedByRate(tray);
    PodArray<DevMode>& entries = catalogue.entries;
    for (uint32_t i = 0; entries.size() < count && display.EnumMode(i, &mode); ++i) {
        if (!nt)
            mode.dmDisplayFrequency = 0;
        if (!Accepted(mode, lowestRate))
            continue;
        bool merged = false;
        if (merge) {
            for (DevMode& entry : entries) {
                if (entry.dmPelsWidth == mode.dmPelsWidth &&
                    entry.dmPelsHeight == mode.dmPelsHeight &&
                    entry.dmBitsPerPel == mode.dmBitsPerPel) {
                    if (entry.dmDisplayFrequency < mode.dmDisplayFrequency)
                        entry = mode;
                    merged = true;
                }
            }
        }
        if (!merged)
            entries.Push(mode);  // room was reserved
    }
    std::sort(entries.begin(), entries.end(),
              [](const DevMode& a, const DevMode& b) { return CompareModes(a, b) < 0; });
    // The depths come from what was stored: off Windows NT the second pass can take modes the
    // first pass left out, and every stored depth needs its menu group for the ids to hold.
    for (const DevMode& entry : entries)
        catalogue.depthSet |= DepthBit(entry.dmBitsPerPel);

    if (!nt) {
        catalogue.selected = 0;
        return true;
    }
    // firstMode carries the screen's depth, size and refresh, the fields CompareModes reads.
    for (uint32_t i = 0; i < entries.size(); ++i) {
        if (CompareModes(tray.state.firstMode, entries[i]) == 0) {
            catalogue.selected = i;
            break;
        }
    }
    return true;
}

int CompareModes(const DevMode& a, const DevMode& b) {
    if (int c = Order(a.dmBitsPerPel, b.dmBitsPerPel))
        return c;
    const bool symmetricalA = IsSymmetricalMode(a.dmPelsWidth, a.dmPelsHeight);
    const bool symmetricalB = IsSymmetricalMode(b.dmPelsWidth, b.dmPelsHeight);
    if (symmetricalA != symmetricalB)
        return symmetricalA ? -1 : 1;
    if (int c = Order(a.dmPelsWidth, b.dmPelsWidth))
        return c;
    if (int c = Order(a.dmPelsHeight, b.dmPelsHeight))
        return c;
    return Order(a.dmDisplayFrequency, b.dmDisplayFrequency);
}

bool IsTwoScreenMode(const ModeCatalogue& catalogue, uint32_t width, uint32_t height) {
    if (width > 1920)
        return true;
    if (width < 640)
        return false;
    if (Listed(kSingleScreen, sizeof(kSingleScreen) / sizeof(Size), width, height))
        return false;
    if (width == 1920 && height == 1200)
        return HasWideMode(catalogue);
    return true;
}

bool IsSymmetricalMode(uint32_t width, uint32_t height) {
    return width == 2816 || width == 3200 ||
           Listed(kSymmetrical, sizeof(kSymmetrical) / sizeof(Size), width, height);
}

bool IsUnequalTwoScreenMode(const ModeCatalogue& catalogue, uint32_t width, uint32_t height) {
    return IsTwoScreenMode(catalogue, width, height) && !IsSymmetricalMode(width, height);
}

bool HasWideMode(const ModeCatalogue& catalogue) {
    for (const DevMode& entry : catalogue.entries) {
        if (entry.dmPelsWidth > 1920)
            return true;
    }
    return false;
}

uint32_t CountModesOfDepth(const ModeCatalogue& catalogue, uint32_t bitsPerPixel) {
    uint32_t count = 0;
    for (const DevMode& entry : catalogue.entries)
        count += entry.dmBitsPerPel == bitsPerPixel;
    return count;
}

bool HasSingleDepth(const ModeCatalogue& catalogue) {
    const uint8_t set = catalogue.depthSet;
    return set != 0 && (set & (set - 1)) == 0;
}

void FormatModeLabel(const ModeCatalogue& catalogue, bool withRate, const DevMode& mode,
                     char* label) {
    TextBuilder text(label, kMenuTextSize);
    const auto number = [&text](uint32_t value, uint32_t width) {
        text.Number(static_cast<int32_t>(value), width);
    };
    const uint32_t width = mode.dmPelsWidth;
    const uint32_t height = mode.dmPelsHeight;
    if (withRate) {
        number(width, 4);
        text.Text(" x ");
        number(height, 4);
        text.Text(" at ");
        number(mode.dmDisplayFrequency, 2);
        text.Text(" Hz");
    } else if (IsSymmetricalMode(width, height)) {
        number(width / 2, 4);
        text.Text(" x ");
        number(height, 4);
        text.Text(" Symmetrical");
    } else if (IsTwoScreenMode(catalogue, width, height)) {
        uint32_t screens[4];
        TwoScreenLayout(width, height, screens);
        number(screens[0], 4);
        text.Text(" x ");
        number(screens[1], 4);
        text.Text(" + ");
        number(screens[2], 4);
        text.Text(" x ");
        number(screens[3], 4);
    } else {
        number(width, 4);
        text.Text(" x ");
        number(height, 4);
    }
}
