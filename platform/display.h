// Display port: the desktop's modes and the screen, with Win32's semantics.
#pragma once

#include <cstddef>
#include <cstdint>

// A display mode record with exactly the layout of Win32's DEVMODEA (the display form with the
// panning fields): kept whole so it can be handed back unchanged to the mode change.
struct DevMode {
    char dmDeviceName[32];  // not necessarily terminated
    uint16_t dmSpecVersion;
    uint16_t dmDriverVersion;
    uint16_t dmSize;
    uint16_t dmDriverExtra;
    uint32_t dmFields;
    int32_t dmPositionX;  // printer fields or display position and orientation
    int32_t dmPositionY;
    uint32_t dmDisplayOrientation;
    uint32_t dmDisplayFixedOutput;
    int16_t dmColor;
    int16_t dmDuplex;
    int16_t dmYResolution;
    int16_t dmTTOption;
    int16_t dmCollate;
    char dmFormName[32];
    uint16_t dmLogPixels;
    uint32_t dmBitsPerPel;
    uint32_t dmPelsWidth;
    uint32_t dmPelsHeight;
    uint32_t dmDisplayFlags;
    uint32_t dmDisplayFrequency;
    uint32_t dmICMMethod;
    uint32_t dmICMIntent;
    uint32_t dmMediaType;
    uint32_t dmDitherType;
    uint32_t dmReserved1;
    uint32_t dmReserved2;
    uint32_t dmPanningWidth;
    uint32_t dmPanningHeight;
};
static_assert(sizeof(DevMode) == 156, "DEVMODEA is 156 bytes");
static_assert(offsetof(DevMode, dmFields) == 40, "DEVMODEA layout");
static_assert(offsetof(DevMode, dmBitsPerPel) == 104, "DEVMODEA layout");
static_assert(offsetof(DevMode, dmDisplayFrequency) == 120, "DEVMODEA layout");

constexpr uint32_t DM_BITSPERPEL_ = 0x00040000;
constexpr uint32_t DM_PELSWIDTH_ = 0x00080000;
constexpr uint32_t DM_PELSHEIGHT_ = 0x00100000;
constexpr uint32_t DM_DISPLAYFLAGS_ = 0x00200000;
constexpr uint32_t DM_DISPLAYFREQUENCY_ = 0x00400000;

constexpr uint32_t CDS_UPDATEREGISTRY_ = 1;
constexpr uint32_t CDS_TEST_ = 2;

constexpr int32_t DISP_CHANGE_SUCCESSFUL_ = 0;
constexpr int32_t DISP_CHANGE_RESTART_ = 1;
constexpr int32_t DISP_CHANGE_FAILED_ = -1;
constexpr int32_t DISP_CHANGE_BADMODE_ = -2;
constexpr int32_t DISP_CHANGE_NOTUPDATED_ = -3;
constexpr int32_t DISP_CHANGE_BADFLAGS_ = -4;

// GetDeviceCaps indices.
constexpr int32_t HORZRES_ = 8;
constexpr int32_t VERTRES_ = 10;
constexpr int32_t BITSPIXEL_ = 12;
constexpr int32_t VREFRESH_ = 116;

struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// A device context of the whole screen; 0 is none.
using ScreenDc = uintptr_t;

class DisplayPort {
  public:
    // EnumDisplaySettingsA (no device name): mode number `index` into *mode; false past the end.
    virtual bool EnumMode(uint32_t index, DevMode* mode) = 0;
    // ChangeDisplaySettingsA with CDS_TEST or CDS_UPDATEREGISTRY. The system notifies every
    // top-level window of a change (WM_DISPLAYCHANGE) before this returns.
    virtual int32_t ChangeSettings(const DevMode& mode, uint32_t flags) = 0;
    // GetDC(NULL) and ReleaseDC.
    virtual ScreenDc GetScreenDc() = 0;
    virtual void ReleaseScreenDc(ScreenDc dc) = 0;
    // GetDeviceCaps.
    virtual int32_t DeviceCaps(ScreenDc dc, int32_t index) = 0;
    // Stores white into a 1 x 1 bitmap compatible with the active window's device context and
    // reads its first 2 bytes back as one little-endian pixel; the pixel's colour is restored
    // and every drawing object released. False when the bitmap cannot be made.
    virtual bool ProbeWhitePixel(uint16_t* pixel) = 0;

  protected:
    ~DisplayPort() = default;
};
