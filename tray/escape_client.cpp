#include "tray/escape_client.h"

#include "adapter/discovery.h"
#include "adapter/registry_layout.h"
#include "tray/mode_catalogue.h"
#include "tray/zoom_button.h"

namespace {

bool Escape(Tray& tray, ScreenDc dc, uint32_t code, uint32_t* words, uint32_t count) {
    return tray.ports.escape.Escape(dc, code, words, count * sizeof(uint32_t)) != 0;
}

bool ReadTvValue(Tray& tray, const char* name) {
    uint32_t value = 0;
    return ReadTrayNumber(tray.ports.reg, SettingsKeyPath::kDriverPath, name, &value) && value != 0;
}

// A TV query into `words`; false when the driver does not answer.
bool QueryTv(Tray& tray, uint32_t words[kTvWords]) {
    for (uint32_t i = 0; i < kTvWords; ++i)
        words[i] = 0;
    words[0] = TV_QUERY;
    return SendEscape(tray, ESC_TV_CONTROL, words, kTvWords);
}

// The screen's device context, taken for one operation and released at its end.
class HeldScreenDc {
  public:
    explicit HeldScreenDc(Tray& tray) : display_(tray.ports.display), dc_(display_.GetScreenDc()) {}
    ~HeldScreenDc() {
        if (dc_)
            display_.ReleaseScreenDc(dc_);
    }
    HeldScreenDc(const HeldScreenDc&) = delete;
    HeldScreenDc& operator=(const HeldScreenDc&) = delete;
    operator ScreenDc() const { return dc_; }

  private:
    DisplayPort& display_;
    const ScreenDc dc_;
};

// Queries a feature and, when answered, switches it with the operation `choose` picks for the
// queried state; *state is then what the buffer holds. False when the query is unanswered.
bool SwitchFeature(Tray& tray, ScreenDc dc, uint32_t feature, uint32_t (*choose)(uint32_t),
                   uint32_t* state) {
    uint32_t words[kFeatureWords] = {feature, FEATURE_QUERY, 0, 0};
    if (!Escape(tray, dc, ESC_FEATURE_CONTROL, words, kFeatureWords))
        return false;
    words[0] = feature;
    words[1] = choose(words[2]);
    Escape(tray, dc, ESC_FEATURE_CONTROL, words, kFeatureWords);
    *state = words[2];
    return true;
}

bool QueryFeature(Tray& tray, uint32_t feature, uint32_t* state) {
    uint32_t words[kFeatureWords] = {feature, FEATURE_QUERY, 0, 0};
    if (!SendEscape(tray, ESC_FEATURE_CONTROL, words, kFeatureWords))
        return false;
    *state = words[2];
    return true;
}

uint32_t ZoomOperation(uint32_t state) {
    return state == 2 ? FEATURE_OFF : FEATURE_ON;
}
uint32_t PanStopOperation(uint32_t state) {
    return state == 0 || state == 2 ? FEATURE_ON : FEATURE_OFF;
}
uint32_t GrayscaleOperation(uint32_t state) {
    return state == 1 ? FEATURE_OFF : FEATURE_ON;
}

// The pan-stop switch on the caller's device context. Nothing is sent unless the hardware zoom
// is on or the screen is an unequal two-screen mode.
void SwitchPanStop(Tray& tray, ScreenDc dc) {
    const DevMode& mode = tray.state.firstMode;
    if (!tray.state.hardwareZoomOn &&
        !IsUnequalTwoScreenMode(tray.catalogue, mode.dmPelsWidth, mode.dmPelsHeight)) {
        return;
    }
    uint32_t state = 0;
    if (SwitchFeature(tray, dc, FEATURE_PAN_STOP, PanStopOperation, &state))
        tray.state.panStopOn = state == 1;
}

}  // namespace

bool SendEscape(Tray& tray, uint32_t code, uint32_t* words, uint32_t count) {
    return Escape(tray, HeldScreenDc(tray), code, words, count);
}

bool IsTvSetAvailable(Tray& tray) {
    return ReadTvValue(tray, kAvailableTvSet);
}

bool IsTvSetSelected(Tray& tray) {
    return ReadTvValue(tray, kSelectedTvSet);
}

bool IsTvOutputActive(Tray& tray) {
    uint32_t words[kTvWords];
    return QueryTv(tray, words) && words[7] != 1 && (words[2] & 0xFF) != 0;
}

bool IsFlickerFixingOn(Tray& tray) {
    uint32_t words[kTvWords];
    return QueryTv(tray, words) && ((words[2] >> 24) & 7) != 2;
}

void SetFlickerFixing(Tray& tray, bool on) {
    uint32_t words[kTvWords] = {TV_SET, on ? TV_ACTION_FLICKER_ON : TV_ACTION_FLICKER_OFF};
    SendEscape(tray, ESC_TV_CONTROL, words, kTvWords);
    tray.state.flickerFixingOn = on;
}

bool SetVideoOptimization(Tray& tray, VideoOptimization item) {
    uint32_t words[kFeatureWords] = {FEATURE_VIDEO_OPTIMIZATION, static_cast<uint32_t>(item), 0, 0};
    return SendEscape(tray, ESC_FEATURE_CONTROL, words, kFeatureWords) && words[3] != 1;
}

bool QueryHardwareZoom(Tray& tray) {
    uint32_t state = 0;
    const bool available = QueryFeature(tray, FEATURE_HARDWARE_ZOOM, &state) && state != 0;
    tray.state.hardwareZoomOn = available && state == 2;
    return available;
}

void ToggleHardwareZoom(Tray& tray) {
    const HeldScreenDc dc(tray);
    uint32_t state = 0;
    if (!SwitchFeature(tray, dc, FEATURE_HARDWARE_ZOOM, ZoomOperation, &state))
        return;
    tray.state.hardwareZoomOn = state == 2;
    if (!tray.state.hardwareZoomOn) {
        // The zoom is off: the pan stop goes on where an unequal two-screen mode allows it; where
        // it stays off, the button goes.
        if (!tray.state.panStopOn)
            SwitchPanStop(tray, dc);
        if (!tray.state.panStopOn && tray.state.zoomButton)
            DestroyZoomButton(tray);
    }
}

void TogglePanStop(Tray& tray) {
    SwitchPanStop(tray, HeldScreenDc(tray));
}

bool QueryGrayscale(Tray& tray) {
    uint32_t state = 0;
    const bool answered = QueryFeature(tray, FEATURE_GRAYSCALE, &state);
    tray.state.grayscaleOn = answered && state == 1;
    return answered;
}

void ToggleGrayscale(Tray& tray) {
    uint32_t state = 0;
    if (SwitchFeature(tray, HeldScreenDc(tray), FEATURE_GRAYSCALE, GrayscaleOperation, &state))
        tray.state.grayscaleOn = state == 1;
}

Rect QueryVisibleRect(Tray& tray) {
    Rect whole = {0, 0, static_cast<int32_t>(tray.state.width),
                  static_cast<int32_t>(tray.state.height)};
    if (!tray.state.hardwareZoomOn)
        return whole;
    uint32_t words[kVisibleRectWords] = {FEATURE_VISIBLE_RECT, FEATURE_ON};
    if (!SendEscape(tray, ESC_FEATURE_CONTROL, words, kVisibleRectWords))
        return whole;
    return Rect{static_cast<int32_t>(words[11]), static_cast<int32_t>(words[12]),
                static_cast<int32_t>(words[13]), static_cast<int32_t>(words[14])};
}
