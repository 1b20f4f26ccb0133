// A stand-in for the board's display driver: the device-map entry and settings values it
// provides, the modes it offers, the screen in force, and its answers to escapes 100 and 110,
// changing its state as the board would. Every request is recorded. A failed call answers as
// the system does: no mode, a refused change (DISP_CHANGE_FAILED), no device context, 0 from the
// device caps, no probe bitmap, an unanswered escape; a failed release still releases.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/escape.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_registry.h"

class SimBoard final : public DisplayPort, public EscapePort, public FaultInjectable {
  public:
    // --- What the driver provides in the registry (written by Install).
    std::string devicePath = "lumora\\Device0";  // below ...\Services\ in the device map
    uint32_t availableTvSet = 3;                 // bit 0 PAL, bit 1 NTSC
    uint32_t selectedTvSet = 1;                  // 0: no standard chosen (value left out)
    uint32_t validVideoModes = 0x80000002u;      // bit 31: the board has video optimisation
    uint32_t lastTvMode[6] = {0, 640, 480, 8, 50, 0};
    uint32_t lastMonMode[6] = {0, 1024, 768, 16, 75, 0};
    // Writes the device map and the settings key into `reg`, and keeps `reg` so that the board
    // can report a changed video optimisation setting there, as the driver does.
    void Install(SimRegistry& reg);
    std::string SettingsKey() const;  // "SYSTEM\...\Services\" + devicePath

    // --- Modes offered and the screen in force.
    std::vector<DevMode> modes;
    std::string deviceName = "lumora";  // dmDeviceName of the enumerated records
    DevMode& AddMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t refresh);
    struct Screen {
        uint32_t bitsPerPixel = 16;  // 15: the screen reports 16 and stores 5-5-5 pixels
        uint32_t width = 1024;
        uint32_t height = 768;
        uint32_t refresh = 75;
    } screen;
    bool probeBitmapFails = false;  // the 1 x 1 bitmap of the pixel probe cannot be made
    // Decides a mode change; when empty, an offered mode succeeds and any other is refused
    // with DISP_CHANGE_BADMODE.
    std::function<int32_t(const DevMode& mode, uint32_t flags)> changeAnswer;
    // Whether the user may store the display's defaults. Windows NT answers a change with
    // CDS_UPDATEREGISTRY from one who may not with DISP_CHANGE_NOTUPDATED, the screen left as
    // it was; a change with flags 0 is for the session and stores nothing.
    bool storesDefaults = true;
    bool changesForSession = true;  // false: a change with flags 0 is refused (DISP_CHANGE_FAILED)
    // Called while an applied change is in progress, as WM_DISPLAYCHANGE is sent.
    std::function<void()> onDisplayChange;
    struct Change {
        DevMode mode;
        uint32_t flags;
        int32_t answer;
    };
    std::vector<Change> changes;
    uint32_t probes = 0;
    int OpenDcCount() const { return static_cast<int>(openDcs_.size()); }
    uint32_t badReleases = 0;  // releases of a device context that was not taken

    // --- Escapes.
    bool answersTv = true;                  // escape 100
    bool answersFeatures = true;            // escape 110
    std::set<uint32_t> silentFeatures;      // features of escape 110 left unanswered
    uint32_t tvState = 0;                   // bits 0 to 15 of the state word: TV output in use
    uint32_t flickerLevel = 2;              // bits 24 to 26 of the state word; 2 is off
    uint32_t tvStatus = 0;                  // word 7 of the query's reply
    bool refusesVideoOptimization = false;  // feature 0 replies with word 3 = 1
    uint32_t zoomState = 1;                 // 0 not available, 2 on, 1 available and off
    uint32_t panStopState = 0;              // 1 on
    uint32_t grayscaleState = 0;            // 1 on
    Rect visibleRect = {0, 0, 1024, 768};
    struct EscapeCall {
        uint32_t code;
        uint32_t bytes;
        std::vector<uint32_t> sent;  // the words as sent
        bool answered;
        ScreenDc dc;  // the device context it was sent on
    };
    std::vector<EscapeCall> escapes;

    bool EnumMode(uint32_t index, DevMode* mode) override;
    int32_t ChangeSettings(const DevMode& mode, uint32_t flags) override;
    ScreenDc GetScreenDc() override;
    void ReleaseScreenDc(ScreenDc dc) override;
    int32_t DeviceCaps(ScreenDc dc, int32_t index) override;
    bool ProbeWhitePixel(uint16_t* pixel) override;
    int32_t Escape(ScreenDc dc, uint32_t code, uint32_t* words, uint32_t bytes) override;

  private:
    bool Offered(const DevMode& mode) const;
    bool TvControl(uint32_t* words);
    bool FeatureControl(uint32_t* words, uint32_t bytes);

    SimRegistry* registry_ = nullptr;
    std::multiset<ScreenDc> openDcs_;
    ScreenDc nextDc_ = 0x5000;
    uint32_t tvStateBeforeAction_ = 0;
};
