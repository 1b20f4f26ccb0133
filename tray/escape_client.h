// The board's own features, through driver escapes 100 and 110 and two registry values.
#pragma once

#include <cstdint>

#include "tray/tray_state.h"

constexpr uint32_t ESC_TV_CONTROL = 100;
constexpr uint32_t ESC_FEATURE_CONTROL = 110;

// ESC_TV_CONTROL: 8 words. Word 0 is the request, word 1 the action of TV_SET, word 2 the
// state word of the reply, word 7 the status of the reply.
constexpr uint32_t kTvWords = 8;
constexpr uint32_t TV_QUERY = 0;
constexpr uint32_t TV_SET = 2;
constexpr uint32_t TV_ACTION_OFF = 0;
constexpr uint32_t TV_ACTION_ON = 1;
constexpr uint32_t TV_ACTION_UNDO = 0xFFFFFFFFu;
constexpr uint32_t TV_ACTION_FLICKER_OFF = 0x02000000u;
constexpr uint32_t TV_ACTION_FLICKER_ON = 0x05000000u;

// ESC_FEATURE_CONTROL: 4 words (15 for the visible rectangle). Word 0 is the feature, word 1 the
// operation, word 2 the state of the reply, word 3 feature 0's refusal.
constexpr uint32_t kFeatureWords = 4;
constexpr uint32_t kVisibleRectWords = 15;
constexpr uint32_t FEATURE_VIDEO_OPTIMIZATION = 0;
constexpr uint32_t FEATURE_HARDWARE_ZOOM = 3;
constexpr uint32_t FEATURE_PAN_STOP = 4;
constexpr uint32_t FEATURE_GRAYSCALE = 5;
constexpr uint32_t FEATURE_VISIBLE_RECT = 7;
constexpr uint32_t FEATURE_QUERY = 0;
constexpr uint32_t FEATURE_ON = 1;
constexpr uint32_t FEATURE_OFF = 2;

// The video optimisation settings, as sent and as "ValidVideoModes" reports them.
enum class VideoOptimization : uint32_t { kOff = 0, kOn = 2, kAuto = 4 };

// One escape on its own device context of the whole screen; true when answered.
bool SendEscape(Tray& tray, uint32_t code, uint32_t* words, uint32_t count);

// The board has a TV output / a TV standard was chosen: "AvailableTVSet" / "SelectedTVSet"
// stored as a nonzero 4-byte REG_BINARY in the driver's settings key. Read afresh each time.
bool IsTvSetAvailable(Tray& tray);
bool IsTvSetSelected(Tray& tray);

bool IsTvOutputActive(Tray& tray);
bool IsFlickerFixingOn(Tray& tray);
void SetFlickerFixing(Tray& tray, bool on);
bool SetVideoOptimization(Tray& tray, VideoOptimization item);

bool QueryHardwareZoom(Tray& tray);
void ToggleHardwareZoom(Tray& tray);
void TogglePanStop(Tray& tray);
bool QueryGrayscale(Tray& tray);
void ToggleGrayscale(Tray& tray);
// The part of the desktop the screen shows: the driver's rectangle while the zoom is on, else
// the whole desktop (also when the driver does not answer).
Rect QueryVisibleRect(Tray& tray);
