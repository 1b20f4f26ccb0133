#include "tray/zoom_button.h"

#include "tray/mode_catalogue.h"

void UpdateZoomButton(Tray& tray, WindowHandle owner, bool zoomCounts) {
    const DevMode& mode = tray.state.firstMode;
    if ((zoomCounts && tray.state.hardwareZoomOn) ||
        IsUnequalTwoScreenMode(tray.catalogue, mode.dmPelsWidth, mode.dmPelsHeight)) {
        CreateZoomButton(tray, owner);
    } else {
        DestroyZoomButton(tray);
    }
}

void CreateZoomButton(Tray& tray, WindowHandle owner) {
    if (!tray.state.zoomButton)
        tray.state.zoomButton = tray.ports.shell.CreateZoomButtonWindow(owner);
}

void DestroyZoomButton(Tray& tray) {
    if (tray.state.zoomButton) {
        tray.ports.shell.DestroyZoomButtonWindow(tray.state.zoomButton);
        tray.state.zoomButton = 0;
    }
}
