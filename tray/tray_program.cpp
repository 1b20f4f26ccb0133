#include "tray/tray_program.h"

#include "adapter/discovery.h"
#include "platform/text_builder.h"
#include "tray/display_state.h"
#include "tray/mode_catalogue.h"
#include "tray/tray_menu.h"

void FormatTrayTip(Tray& tray, char* tip) {
    const DisplayState& state = tray.state;
    TextBuilder text(tip, kTrayTipSize);
    text.Number(static_cast<int32_t>(state.width))
        .Text(" x ")
        .Number(static_cast<int32_t>(state.height))
        .Text(", ")
        .Number(static_cast<int32_t>(state.bitsPerPixel))
        .Text(" Bpp");
    if (state.refreshRate > 1 && TrayDriverPresent(tray.ports.sys, tray.ports.reg)) {
        text.Text(" @ ").Number(static_cast<int32_t>(state.refreshRate), 2).Text(" Hz");
        if (state.hardwareZoomOn)
            text.Text(" - Zoom ON");
    }
}

bool UpdateTrayIcon(Tray& tray, WindowHandle window, uint32_t action) {
    RefreshDisplayState(tray, window);
    char tip[kTrayTipSize];
    FormatTrayTip(tray, tip);
    return tray.ports.shell.NotifyIcon(window, action, tip);
}

void RefreshAll(Tray& tray, WindowHandle window) {
    UpdateTrayIcon(tray, window, NIM_MODIFY_);
    BuildModeCatalogue(tray, window);
    DestroyTrayMenu(tray, window);
    BuildTrayMenu(tray, window);
}
