// The display modes the driver offers: accepted, merged by refresh rate, sorted and labelled.
#pragma once

#include <cstdint>

#include "tray/tray_state.h"

// The colour depths the menu knows, in menu order, and their names.
constexpr uint32_t kDepthCount = 6;
constexpr uint32_t kDepths[kDepthCount] = {4, 8, 15, 16, 24, 32};
// The depth's position in kDepths, or -1 for a depth without a name.
int32_t DepthIndex(uint32_t bitsPerPixel);
// "16 Colors" ... "True Color"; null for a depth without a name.
const char* DepthName(uint32_t bitsPerPixel);

// Menu command ids run from 32885 + N, and a command id has 16 bits: at most this many entries.
constexpr uint32_t kMaxCatalogueEntries = 0xFFFF - 32885;

// Builds the catalogue anew from the mode enumeration (refreshing the display state first).
// False, with an empty catalogue, when no mode is accepted (after the "No Display modes
// available." box, owned by `owner`) or there is no memory for the entries.
bool BuildModeCatalogue(Tray& tray, WindowHandle owner);

// The catalogue's order: depth, symmetrical modes first, width, height, refresh.
int CompareModes(const DevMode& a, const DevMode& b);

bool IsTwoScreenMode(const ModeCatalogue& catalogue, uint32_t width, uint32_t height);
bool IsSymmetricalMode(uint32_t width, uint32_t height);
// Two screens of different sizes side by side.
bool IsUnequalTwoScreenMode(const ModeCatalogue& catalogue, uint32_t width, uint32_t height);
bool HasWideMode(const ModeCatalogue& catalogue);
uint32_t CountModesOfDepth(const ModeCatalogue& catalogue, uint32_t bitsPerPixel);
bool HasSingleDepth(const ModeCatalogue& catalogue);

// Modes are merged by refresh rate unless the system is Windows NT without the board's driver;
// then each rate is an entry of its own and its label names the rate.
bool ModesMergedByRate(Tray& tray);

// The label of a mode into `label` (kMenuTextSize bytes): "%4d x %4d at %2d Hz" when
// `withRate`, else the symmetrical, two-screen or plain form.
void FormatModeLabel(const ModeCatalogue& catalogue, bool withRate, const DevMode& mode,
                     char* label);
