#include "platform/sim/sim_board.h"

#include <algorithm>
#include <cstring>

#include "adapter/registry_layout.h"

namespace {

SimRegistry::Bytes Words(const uint32_t* words, size_t count) {
    SimRegistry::Bytes bytes;
    for (size_t i = 0; i < count; ++i) {
        for (int b = 0; b < 4; ++b)
            bytes.push_back(static_cast<uint8_t>(words[i] >> (8 * b)));
    }
    return bytes;
}

}  // namespace

std::string SimBoard::SettingsKey() const {
    return kServicesPrefix + devicePath;
}

void SimBoard::Install(SimRegistry& reg) {
    registry_ = &reg;
    reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                  "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\" + devicePath);
    const std::string key = SettingsKey();
    reg.AddKey(HKEY_LOCAL_MACHINE_, key);
    reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, key, kAvailableTvSet, availableTvSet);
    if (selectedTvSet)
        reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, key, kSelectedTvSet, selectedTvSet);
    else
        reg.RemoveValue(HKEY_LOCAL_MACHINE_, key, kSelectedTvSet);
    reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, key, kValidVideoModes, validVideoModes);
    reg.SetRaw(HKEY_LOCAL_MACHINE_, key, kLastTvMode, REG_BINARY_, Words(lastTvMode, 6));
    reg.SetRaw(HKEY_LOCAL_MACHINE_, key, kLastMonMode, REG_BINARY_, Words(lastMonMode, 6));
}

DevMode& SimBoard::AddMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                           uint32_t refresh) {
    DevMode mode = {};
    // A name of 32 characters fills the field without a terminator, as in DEVMODEA.
    std::memcpy(mode.dmDeviceName, deviceName.data(),
                std::min(deviceName.size(), sizeof(mode.dmDeviceName)));
    mode.dmSpecVersion = 0x0401;
    mode.dmSize = sizeof(DevMode);
    mode.dmFields =
        DM_BITSPERPEL_ | DM_PELSWIDTH_ | DM_PELSHEIGHT_ | DM_DISPLAYFLAGS_ | DM_DISPLAYFREQUENCY_;
    mode.dmBitsPerPel = bitsPerPixel;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmDisplayFrequency = refresh;
    modes.push_back(mode);
    return modes.back();
}

bool SimBoard::EnumMode(uint32_t index, DevMode* mode) {
    if (Fails("display EnumMode") || index >= modes.size())
        return false;
    *mode = modes[index];
    return true;
}

bool SimBoard::Offered(const DevMode& mode) const {
    for (const DevMode& offered : modes) {
        if (offered.dmBitsPerPel == mode.dmBitsPerPel && offered.dmPelsWidth == mode.dmPelsWidth &&
            offered.dmPelsHeight == mode.dmPelsHeight &&
            (!(mode.dmFields & DM_DISPLAYFREQUENCY_) || mode.dmDisplayFrequency <= 1 ||
             offered.dmDisplayFrequency == mode.dmDisplayFrequency)) {
            return true;
        }
    }
    return false;
}

int32_t SimBoard::ChangeSettings(const DevMode& mode, uint32_t flags) {
    int32_t answer = Fails("display ChangeSettings") ? DISP_CHANGE_FAILED_
                     : changeAnswer                  ? changeAnswer(mode, flags)
                     : Offered(mode)                 ? DISP_CHANGE_SUCCESSFUL_
                                                     : DISP_CHANGE_BADMODE_;
    if (answer == DISP_CHANGE_SUCCESSFUL_ && (flags & CDS_UPDATEREGISTRY_) && !storesDefaults)
        answer = DISP_CHANGE_NOTUPDATED_;
    if (answer == DISP_CHANGE_SUCCESSFUL_ && flags == 0 && !changesForSession)
        answer = DISP_CHANGE_FAILED_;
    changes.push_back({mode, flags, answer});
    if (answer == DISP_CHANGE_SUCCESSFUL_ && !(flags & CDS_TEST_)) {
        screen.bitsPerPixel = mode.dmBitsPerPel;
        screen.width = mode.dmPelsWidth;
        screen.height = mode.dmPelsHeight;
        if ((mode.dmFields & DM_DISPLAYFREQUENCY_) && mode.dmDisplayFrequency > 1)
            screen.refresh = mode.dmDisplayFrequency;
        visibleRect = {0, 0, static_cast<int32_t>(mode.dmPelsWidth),
                       static_cast<int32_t>(mode.dmPelsHeight)};
        if (onDisplayChange)
            onDisplayChange();
    }
    return answer;
}

ScreenDc SimBoard::GetScreenDc() {
    if (Fails("display GetScreenDc"))
        return 0;
    const ScreenDc dc = nextDc_++;
    openDcs_.insert(dc);
    return dc;
}

void SimBoard::ReleaseScreenDc(ScreenDc dc) {
    Fails("display ReleaseScreenDc");
    auto it = openDcs_.find(dc);
    if (it == openDcs_.end()) {
        ++badReleases;
        return;
    }
    openDcs_.erase(it);
}

int32_t SimBoard::DeviceCaps(ScreenDc dc, int32_t index) {
    if (Fails("display DeviceCaps") || openDcs_.count(dc) == 0)
        return 0;
    switch (index) {
        case BITSPIXEL_:
            return static_cast<int32_t>(screen.bitsPerPixel == 15 ? 16 : screen.bitsPerPixel);
        case HORZRES_:
            return static_cast<int32_t>(screen.width);
        case VERTRES_:
            return static_cast<int32_t>(screen.height);
        case VREFRESH_:
            return static_cast<int32_t>(screen.refresh);
        default:
            return 0;
    }
}

bool SimBoard::ProbeWhitePixel(uint16_t* pixel) {
    ++probes;
    if (Fails("display ProbeWhitePixel") || probeBitmapFails)
        return false;
    // White in a 5-5-5 pixel leaves bit 15 clear; in 5-6-5 every bit is set.
    *pixel = screen.bitsPerPixel == 15 ? 0x7FFF : 0xFFFF;
    return true;
}

int32_t SimBoard::Escape(ScreenDc dc, uint32_t code, uint32_t* words, uint32_t bytes) {
    escapes.push_back({code, bytes, std::vector<uint32_t>(words, words + bytes / 4), false, dc});
    bool answered = false;
    if (!Fails("escape Escape") && openDcs_.count(dc) != 0) {
        if (code == 100 && answersTv && bytes == 32)
            answered = TvControl(words);
        else if (code == 110 && answersFeatures)
            answered = FeatureControl(words, bytes);
    }
    escapes.back().answered = answered;
    return answered ? 1 : 0;
}

bool SimBoard::TvControl(uint32_t* words) {
    if (words[0] == 2) {  // set
        const uint32_t action = words[1];
        if (action == 0 || action == 1) {
            tvStateBeforeAction_ = tvState;
            tvState = action == 0 ? 0 : (selectedTvSet & 3) ? (selectedTvSet & 3) : 1;
        } else if (action == 0xFFFFFFFFu) {
            tvState = tvStateBeforeAction_;
        } else if ((action & 0x00FFFFFFu) == 0) {
            flickerLevel = (action >> 24) & 7;
        } else {
            return false;
        }
    } else if (words[0] != 0) {  // neither query nor set
        return false;
    }
    words[2] = (tvState & 0xFFFF) | (flickerLevel & 7) << 24;
    if (words[0] == 0)
        words[7] = tvStatus;
    return true;
}

bool SimBoard::FeatureControl(uint32_t* words, uint32_t bytes) {
    const uint32_t feature = words[0];
    const uint32_t operation = words[1];
    if (silentFeatures.count(feature) || bytes != (feature == 7 ? 60u : 16u))
        return false;
    uint32_t* state = nullptr;
    uint32_t on = 1;
    uint32_t off = 0;
    switch (feature) {
        case 0:
            words[3] = refusesVideoOptimization ? 1 : 0;
            if (!refusesVideoOptimization && (operation == 0 || operation == 2 || operation == 4)) {
                validVideoModes = (validVideoModes & 0x80000000u) | operation;
                if (registry_) {
                    registry_->SetBinaryWord(HKEY_LOCAL_MACHINE_, SettingsKey(), kValidVideoModes,
                                             validVideoModes);
                }
            }
            return true;
        case 3:
            state = &zoomState;
            on = 2;
            off = 1;
            break;
        case 4:
            state = &panStopState;
            off = 2;
            break;
        case 5:
            state = &grayscaleState;
            break;
        case 7:
            words[11] = static_cast<uint32_t>(visibleRect.left);
            words[12] = static_cast<uint32_t>(visibleRect.top);
            words[13] = static_cast<uint32_t>(visibleRect.right);
            words[14] = static_cast<uint32_t>(visibleRect.bottom);
            return true;
        default:
            return false;
    }
    if (operation > 2)
        return false;
    const bool available = !(feature == 3 && zoomState == 0);
    if (available && operation == 1)
        *state = on;
    else if (available && operation == 2)
        *state = off;
    words[2] = *state;
    return true;
}
