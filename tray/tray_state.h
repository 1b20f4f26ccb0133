// The tray program's records: the display state, the mode catalogue and the menu model, with the
// ports they are kept through. One `Tray` is the program's single instance; the logic takes it
// as a parameter so a test can build its own.
#pragma once

#include <cstdint>

#include "platform/display.h"
#include "platform/escape.h"
#include "platform/pod_array.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/windows.h"

// The desktop in force and the board's feature flags.
struct DisplayState {
    DevMode firstMode;      // mode number 0, with the screen's four values written over it
    uint32_t bitsPerPixel;  // 15 when the 16-bit screen stores 5 bits per colour
    uint32_t width;
    uint32_t height;
    uint32_t refreshRate;  // 0 off Windows NT
    bool tvOutputOn;
    bool flickerFixingOn;
    bool hardwareZoomOn;
    bool panStopOn;
    bool grayscaleOn;
    int32_t videoOptimization;  // from "ValidVideoModes"; -1 when the board lacks the feature
    WindowHandle zoomButton;    // the pan-stop button window, 0 when there is none
};

// The modes the driver offers, merged and sorted; entry i is menu command 32878 + i.
struct ModeCatalogue {
    PodArray<DevMode> entries;
    uint32_t selected = 0;  // the entry in force after the last build, or the one last chosen
    uint8_t depthSet = 0;   // one bit per named depth (kDepths order) that some entry has
};

enum class MenuItemKind : uint8_t { kCommand, kSeparator, kPopup };

constexpr uint32_t kMenuTextSize = 52;  // the longest label is 51 characters

// One item of the tray menu. Items belong to menu `menu` (0 is the popup menu itself); a popup
// item opens menu `submenu`. Each menu's items are in display order in the array.
struct MenuItem {
    MenuItemKind kind;
    bool checked;
    bool grayed;    // shown grey and not selectable
    bool disabled;  // not selectable, shown as normal text (the headers)
    uint16_t menu;
    uint16_t submenu;
    uint32_t id;
    char text[kMenuTextSize];
};

// The most menus a tray menu has: the popup, six depth submenus, video optimisation and TV.
constexpr uint16_t kMaxTrayMenus = 9;

// The tray menu as a model: everything its rendering needs, nothing of the window system.
struct TrayMenu {
    PodArray<MenuItem> items;
    uint16_t menuCount = 0;  // menus 0 .. menuCount - 1; 0 when there is no menu
    uint32_t rows = 0;       // the height estimate, in menu item heights
    uint32_t fixedBase = 0;  // the id of "Display Settings Menu"
};

// The pan-stop button's window procedure state (there is at most one button).
struct ZoomButtonState {
    bool dragging;  // the left button went down on the window and is still down
    bool moved;     // the mouse moved while dragging: the press is a drag, not a click
    int32_t grabX;  // cursor at the press minus the window's top-left corner
    int32_t grabY;
    int32_t x;  // the window's top-left corner as last placed
    int32_t y;
    int32_t originX;  // the visible rectangle's top-left corner when last looked at
    int32_t originY;
};

// What the program's window code does for the logic.
class TrayShell {
  public:
    // --- The program and its hidden main window.
    virtual uint32_t MenuItemHeight() = 0;  // GetSystemMetrics (SM_CYMENU)
    virtual bool RegisterMainWindowClass() = 0;
    // Creates the main window (WM_CREATE runs inside), updates it and hides it; 0 on failure.
    virtual WindowHandle CreateMainWindow() = 0;
    // Runs the message loop; returns the quit message's wParam.
    virtual int32_t RunMessageLoop() = 0;
    virtual void PostQuit(int32_t code) = 0;
    virtual void HideWindow(WindowHandle window) = 0;
    virtual void EndDialog(WindowHandle window, intptr_t result) = 0;

    // DestroyWindow of the main window (WM_DESTROY runs inside).
    virtual void DestroyMainWindow(WindowHandle window) = 0;

    // Shell_NotifyIconA with the tray icon record and `tip`.
    virtual bool NotifyIcon(WindowHandle window, uint32_t action, const char* tip) = 0;
    // Renders the menu model and inserts it as "&Resolutions" into the window's menu bar.
    virtual bool InstallTrayMenu(WindowHandle window, const TrayMenu& menu) = 0;
    // Removes and destroys the menu that InstallTrayMenu inserted.
    virtual void RemoveTrayMenu(WindowHandle window) = 0;
    // Brings the window to the front, tracks the popup menu at x, y and posts WM_USER after it.
    virtual void ShowTrayMenu(WindowHandle window, int32_t x, int32_t y) = 0;
    // Makes the window topmost and shows the About box modally, owned by it.
    virtual void ShowAboutBox(WindowHandle window) = 0;

    // --- The pan-stop button window.
    // RegisterClassExA of "ZOOMBUTTONWINDOW"; false while the class is registered.
    virtual bool RegisterZoomButtonClass() = 0;
    // Creates the button at x, y, shows it and makes it topmost at 53 x 48; 0 on failure, and
    // then the class is unregistered again.
    virtual WindowHandle CreateZoomButtonWindow(WindowHandle owner, int32_t x, int32_t y) = 0;
    // DestroyWindow and UnregisterClassA.
    virtual void DestroyZoomButtonWindow(WindowHandle button) = 0;
    // Paints the whole button with bitmap resource `bitmap`.
    virtual void PaintZoomButton(WindowHandle button, uint32_t bitmap) = 0;

  protected:
    ~TrayShell() = default;
};

struct TrayPorts {
    TraySystem& sys;
    RegistryReader& reg;
    DisplayPort& display;
    EscapePort& escape;
    WindowPort& windows;
    TrayShell& shell;
};

constexpr uint32_t kTrayTipSize = 64;

struct Tray {
    explicit Tray(const TrayPorts& p) : ports(p) {}
    TrayPorts ports;
    WindowHandle mainWindow = 0;      // from WM_CREATE to WM_DESTROY
    char iconTip[kTrayTipSize] = {};  // the tooltip last handed to the shell
    bool iconRetrying = false;        // the retry timer runs
    uint32_t iconRetriesLeft = 0;     // retries before the timer gives up, refilled on success
    DisplayState state = {};
    ModeCatalogue catalogue;
    TrayMenu menu;
    uint32_t menuItemHeight = 0;  // SM_CYMENU
    bool aboutBoxOpen = false;
    uint32_t taskbarCreated = 0;   // the registered "TaskbarCreated" message, 0 when unknown
    Rect savedWorkArea = {};       // the work area before the desktop moved onto the TV
    bool sessionModeTold = false;  // the user was told that a mode is for this session only
    ZoomButtonState zoomButtonProc = {};
};

constexpr uint32_t NIM_ADD_ = 0;
constexpr uint32_t NIM_MODIFY_ = 1;
constexpr uint32_t NIM_DELETE_ = 2;
