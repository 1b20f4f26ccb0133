#include "applet/tv_controls.h"

#include "applet/resource.h"
#include "applet/settings_store.h"

namespace {

void MarkStandard(DialogPort& ui, WindowHandle dialog, int32_t id) {
    ui.CheckRadio(dialog, IDC_PAL, IDC_NTSC, id);
}

}  // namespace

void RefreshTvControls(Applet& applet, WindowHandle dialog) {
    SelectionState& s = applet.state.selection;
    DialogPort& ui = applet.ui;
    if (!s.boardHasTv || s.restartMode) {
        ui.EnableControl(dialog, IDC_PAL, false);
        ui.EnableControl(dialog, IDC_NTSC, false);
        ui.EnableControl(dialog, IDC_TV_GROUP, false);
        ui.CheckButton(dialog, IDC_TV_AVAILABLE, false);
        ui.EnableControl(dialog, IDC_TV_AVAILABLE, false);
        s.chosenTv = 0;
        return;
    }
    RegKey first = 0;
    RegKey second = 0;
    if (!OpenDeviceKeys(applet, &first, &second))
        return;
    const TvSettings tv = ReadTvSettings(applet.reg, first);
    s.chosenTv = tv.selectedRead ? tv.selected & 3 : 0;
    if (s.chosenTv == 3)
        s.chosenTv = 0;
    if (!tv.availableRead) {
        s.offeredTv = 0;
        s.tvBoxTicked = false;
        s.chosenTv = 0;
        ui.EnableControl(dialog, IDC_TV_GROUP, false);
        ui.EnableControl(dialog, IDC_TV_AVAILABLE, false);
        ui.CheckButton(dialog, IDC_TV_AVAILABLE, false);
    } else {
        if (s.chosenTv != 0 && (s.chosenTv & tv.available) == 0)
            s.chosenTv = 0;
        if (!s.tvBoxTicked) {
            s.offeredTv = 0;
            s.chosenTv = 0;
            ui.EnableControl(dialog, IDC_TV_GROUP, false);
            ui.EnableControl(dialog, IDC_PAL, false);
            ui.EnableControl(dialog, IDC_NTSC, false);
            ui.EnableControl(dialog, IDC_TV_AVAILABLE, true);
            ui.CheckButton(dialog, IDC_TV_AVAILABLE, false);
            CloseDeviceKeys(applet.reg, first, second);
            return;
        }
        s.offeredTv = tv.available & 3;
        ui.EnableControl(dialog, IDC_TV_GROUP, true);
        ui.EnableControl(dialog, IDC_TV_AVAILABLE, true);
        ui.CheckButton(dialog, IDC_TV_AVAILABLE, true);
    }
    // A single standard on offer is chosen at once; with both on offer and none chosen, the
    // buttons keep whatever mark they had.
    if (s.offeredTv & kTvPal)
        ui.EnableControl(dialog, IDC_PAL, true);
    if ((s.chosenTv & kTvPal) || (s.chosenTv == 0 && s.offeredTv == kTvPal)) {
        MarkStandard(ui, dialog, IDC_PAL);
        if (s.chosenTv == 0)
            s.chosenTv = kTvPal;
    }
    if (s.offeredTv & kTvNtsc)
        ui.EnableControl(dialog, IDC_NTSC, true);
    if ((s.chosenTv & kTvNtsc) || (s.chosenTv == 0 && s.offeredTv == kTvNtsc)) {
        MarkStandard(ui, dialog, IDC_NTSC);
        if (s.chosenTv == 0)
            s.chosenTv = kTvNtsc;
    }
    if (!(s.offeredTv & kTvPal))
        ui.EnableControl(dialog, IDC_PAL, false);
    if (!(s.offeredTv & kTvNtsc))
        ui.EnableControl(dialog, IDC_NTSC, false);
    CloseDeviceKeys(applet.reg, first, second);
}

void HandlePalCommand(Applet& applet, WindowHandle dialog) {
    SelectionState& s = applet.state.selection;
    if (s.offeredTv & kTvPal) {
        s.chosenTv = kTvPal;
        MarkStandard(applet.ui, dialog, IDC_PAL);
    }
}

void HandleNtscCommand(Applet& applet, WindowHandle dialog) {
    SelectionState& s = applet.state.selection;
    if (s.offeredTv & kTvNtsc) {
        s.chosenTv = kTvNtsc;
        MarkStandard(applet.ui, dialog, IDC_NTSC);
    }
}

void HandleTvBoxCommand(Applet& applet, WindowHandle dialog) {
    applet.state.selection.tvBoxTicked = !applet.state.selection.tvBoxTicked;
    RefreshTvControls(applet, dialog);
}
