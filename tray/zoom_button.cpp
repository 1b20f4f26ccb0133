#include "tray/zoom_button.h"

#include <algorithm>

#include "platform/wrap32.h"
#include "tray/escape_client.h"
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
    TrayShell& shell = tray.ports.shell;
    WindowPort& windows = tray.ports.windows;
    if (!shell.RegisterZoomButtonClass())
        return;
    int32_t x = 0;
    int32_t y = 0;
    if (!windows.CursorPos(&x, &y)) {
        x = static_cast<int32_t>(tray.state.width);
        y = static_cast<int32_t>(tray.state.height);
    }
    Rect area = {0, 0, static_cast<int32_t>(tray.state.width),
                 static_cast<int32_t>(tray.state.height)};
    windows.GetWorkArea(&area);
    x = std::max(x, area.left);
    x = std::min(x, WrapSub(area.right, kZoomButtonWidth));
    y = std::max(y, area.top);
    y = std::min(y, WrapSub(area.bottom, kZoomButtonHeight));
    tray.state.zoomButton = shell.CreateZoomButtonWindow(owner, x, y);
}

void DestroyZoomButton(Tray& tray) {
    if (tray.state.zoomButton) {
        tray.ports.shell.DestroyZoomButtonWindow(tray.state.zoomButton);
        tray.state.zoomButton = 0;
    }
}

namespace {

void LookAtVisibleOrigin(Tray& tray) {
    const Rect visible = QueryVisibleRect(tray);
    tray.zoomButtonProc.originX = visible.left;
    tray.zoomButtonProc.originY = visible.top;
}

void Pressed(Tray& tray, WindowHandle window, intptr_t lParam) {
    ZoomButtonState& button = tray.zoomButtonProc;
    WindowPort& windows = tray.ports.windows;
    if (button.dragging)
        return;
    int32_t x = PointX(lParam);
    int32_t y = PointY(lParam);
    windows.ClientToScreen(window, &x, &y);
    Rect rect = {};
    windows.GetWindowRect(window, &rect);
    button.grabX = WrapSub(x, rect.left);
    button.grabY = WrapSub(y, rect.top);
    button.x = rect.left;
    button.y = rect.top;
    button.dragging = true;
    windows.SetCapture(window);
}

void Dragged(Tray& tray, WindowHandle window, intptr_t lParam) {
    ZoomButtonState& button = tray.zoomButtonProc;
    WindowPort& windows = tray.ports.windows;
    if (!button.dragging)
        return;
    if (!button.moved) {
        // The first move after the press makes it a drag, however short.
        button.moved = true;
        windows.KillTimer(window, ZOOM_TIMER_ID);
    }
    int32_t x = PointX(lParam);
    int32_t y = PointY(lParam);
    windows.ClientToScreen(window, &x, &y);
    x = WrapSub(x, button.grabX);
    y = WrapSub(y, button.grabY);
    const Rect visible = QueryVisibleRect(tray);
    x = std::max(x, visible.left);
    y = std::max(y, visible.top);
    x = std::min(x, WrapSub(visible.right, kZoomButtonWidth));
    y = std::min(y, WrapSub(visible.bottom, kZoomButtonHeight));
    if (x != button.x || y != button.y) {
        windows.MoveWindow(window, x, y, kZoomButtonWidth, kZoomButtonHeight, true);
        button.x = x;
        button.y = y;
    }
}

// Restarted with the origin of now, so the next tick does not undo the drag.
void FollowAgain(Tray& tray, WindowHandle window) {
    LookAtVisibleOrigin(tray);
    tray.ports.windows.SetTimer(window, ZOOM_TIMER_ID, kZoomTimerPeriod);
}

void Released(Tray& tray, WindowHandle window) {
    ZoomButtonState& button = tray.zoomButtonProc;
    WindowPort& windows = tray.ports.windows;
    const bool click = !button.moved;
    // Let go before the capture is: releasing it sends WM_CAPTURECHANGED, which then finds
    // nothing held.
    button.dragging = false;
    button.moved = false;
    windows.ReleaseCapture();
    if (click) {
        TogglePanStop(tray);
        windows.Invalidate(window);
    }
    FollowAgain(tray, window);
}

// The capture was taken away (Alt+Tab, Ctrl+Alt+Del, another window's capture): the press
// ends without a click, and the button no longer follows the pointer. False when nothing was
// held.
bool CaptureLost(Tray& tray, WindowHandle window) {
    ZoomButtonState& button = tray.zoomButtonProc;
    if (!button.dragging)
        return false;
    button.dragging = false;
    button.moved = false;
    FollowAgain(tray, window);
    return true;
}

// Follows the zoomed view: the button moves by as much as the visible rectangle moved, unclamped.
void Ticked(Tray& tray, WindowHandle window) {
    ZoomButtonState& button = tray.zoomButtonProc;
    if (tray.state.panStopOn)
        return;
    const Rect visible = QueryVisibleRect(tray);
    if (visible.left == button.originX && visible.top == button.originY)
        return;
    button.x = WrapAdd(button.x, WrapSub(visible.left, button.originX));
    button.y = WrapAdd(button.y, WrapSub(visible.top, button.originY));
    tray.ports.windows.MoveWindow(window, button.x, button.y, kZoomButtonWidth, kZoomButtonHeight,
                                  true);
    button.originX = visible.left;
    button.originY = visible.top;
}

}  // namespace

intptr_t ZoomButtonWndProc(Tray& tray, WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
    ZoomButtonState& button = tray.zoomButtonProc;
    WindowPort& windows = tray.ports.windows;
    switch (message) {
        case WM_CREATE_: {
            button.dragging = false;
            button.moved = false;
            Rect rect = {};
            windows.GetWindowRect(window, &rect);
            button.x = rect.left;
            button.y = rect.top;
            LookAtVisibleOrigin(tray);
            windows.SetTimer(window, ZOOM_TIMER_ID, kZoomTimerPeriod);
            return 1;
        }
        case WM_DESTROY_:
            windows.KillTimer(window, ZOOM_TIMER_ID);
            return 1;
        case WM_PAINT_:
            tray.ports.shell.PaintZoomButton(window, tray.state.panStopOn ? IDB_STOP : IDB_GO);
            return 0;
        case WM_COMMAND_:
            if (LowWord(wParam) == kPanStopCommand)
                TogglePanStop(tray);
            return 0;
        case WM_TIMER_:
            Ticked(tray, window);
            return 0;
        case WM_MOUSEMOVE_:
            Dragged(tray, window, lParam);
            return 0;
        case WM_LBUTTONDOWN_:
            Pressed(tray, window, lParam);
            return 0;
        case WM_LBUTTONUP_:
        case WM_LBUTTONDBLCLK_:
            Released(tray, window);
            return 1;
        case WM_CAPTURECHANGED_:
            CaptureLost(tray, window);
            return 0;
        case WM_CANCELMODE_:
            // As the default window procedure would, the capture held is given up too.
            if (CaptureLost(tray, window))
                windows.ReleaseCapture();
            return 0;
        default:
            return 1;
    }
}
