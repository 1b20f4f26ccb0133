// The window port in memory: a list of top-level windows with titles and rectangles, a work
// area, a cursor, and a log of everything asked of it. Message boxes are recorded and answered.
// A failed call does nothing, answers 0, false or an empty title, and is not logged.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/sim_faults.h"
#include "platform/windows.h"
#include "platform/wrap32.h"

// RegisterWindowMessageA in memory: a number from 0xC000 up for each new name, the same one for a
// name registered before.
inline uint32_t RegisterSimMessage(std::map<std::string, uint32_t>& registered, const char* name) {
    auto it = registered.find(name);
    if (it != registered.end())
        return it->second;
    const uint32_t number = 0xC000 + static_cast<uint32_t>(registered.size());
    registered[name] = number;
    return number;
}

class SimWindows final : public WindowPort, public FaultInjectable {
  public:
    struct Box {
        WindowHandle owner;
        std::string text;
        std::string caption;
        uint32_t flags;
    };
    std::vector<Box> boxes;
    int32_t answer = 1;  // IDOK

    struct Window {
        WindowHandle handle;
        std::string title;
        Rect rect;  // the client area starts at its top-left corner
    };
    std::vector<Window> windows;  // top-level windows, front to back
    bool walkWraps = false;       // NextWindow of the last window gives the first again

    Rect workArea = {0, 0, 1024, 740};
    bool cursorKnown = true;
    int32_t cursorX = 500;
    int32_t cursorY = 400;

    std::set<uint32_t> timers;                   // running timer ids
    std::map<std::string, uint32_t> registered;  // registered messages by name
    WindowHandle capture = 0;
    int invalidations = 0;
    // Every call but the queries, in order: "post 0x10 to 0x300", "workarea 0,0,800,600 flags 2",
    // "broadcast 0x200 0 49807360", "move 0x900 10,20 53x48", "timer 1 250", "kill 1", ...
    std::vector<std::string> log;

    Window* Find(WindowHandle handle) {
        for (Window& w : windows)
            if (w.handle == handle)
                return &w;
        return nullptr;
    }

    int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                           uint32_t flags) override {
        if (Fails("windows ShowMessageBox"))
            return 0;
        boxes.push_back({owner, text, caption, flags});
        return answer;
    }
    WindowHandle TopWindow() override {
        if (Fails("windows TopWindow"))
            return 0;
        return windows.empty() ? 0 : windows.front().handle;
    }
    WindowHandle NextWindow(WindowHandle window) override {
        if (Fails("windows NextWindow"))
            return 0;
        for (size_t i = 0; i < windows.size(); ++i) {
            if (windows[i].handle != window)
                continue;
            if (i + 1 < windows.size())
                return windows[i + 1].handle;
            return walkWraps ? windows.front().handle : 0;
        }
        return 0;
    }
    void WindowTitle(WindowHandle window, char* title, uint32_t size) override {
        const Window* w = Fails("windows WindowTitle") ? nullptr : Find(window);
        const std::string text = w ? w->title : "";
        const size_t n = size ? std::min<size_t>(text.size(), size - 1) : 0;
        text.copy(title, n);
        if (size)
            title[n] = 0;
    }
    bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override {
        if (Fails("windows PostWindowMessage"))
            return false;
        log.push_back("post " + Hex(message) + " " + std::to_string(wParam) + " " +
                      std::to_string(lParam) + " to " + Hex(window));
        return Find(window) != nullptr;
    }
    void BroadcastMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, uint32_t flags,
                          uint32_t timeout) override {
        if (Fails("windows BroadcastMessage"))
            return;
        log.push_back("broadcast " + Hex(message) + " " + std::to_string(wParam) + " " +
                      std::to_string(lParam) + " smto " + std::to_string(flags) + " " +
                      std::to_string(timeout));
    }
    // lstrcmpA on the texts used here: 0 exactly when the bytes are the same, letter case
    // counting.
    int32_t CompareText(const char* a, const char* b) override {
        const int c = std::string(a).compare(b);
        return c < 0 ? -1 : c > 0;
    }
    uint32_t RegisterMessage(const char* name) override {
        return Fails("windows RegisterMessage") ? 0 : RegisterSimMessage(registered, name);
    }
    bool GetWorkArea(Rect* area) override {
        if (Fails("windows GetWorkArea"))
            return false;
        *area = workArea;
        return true;
    }
    bool SetWorkArea(const Rect& area, uint32_t flags) override {
        if (Fails("windows SetWorkArea"))
            return false;
        log.push_back("workarea " + Text(area) + " flags " + std::to_string(flags));
        workArea = area;
        return true;
    }
    bool CursorPos(int32_t* x, int32_t* y) override {
        if (Fails("windows CursorPos") || !cursorKnown)
            return false;
        *x = cursorX;
        *y = cursorY;
        return true;
    }
    bool GetWindowRect(WindowHandle window, Rect* rect) override {
        const Window* w = Fails("windows GetWindowRect") ? nullptr : Find(window);
        if (w)
            *rect = w->rect;
        return w != nullptr;
    }
    void ClientToScreen(WindowHandle window, int32_t* x, int32_t* y) override {
        if (Fails("windows ClientToScreen"))
            return;
        if (const Window* w = Find(window)) {
            *x = WrapAdd(*x, w->rect.left);
            *y = WrapAdd(*y, w->rect.top);
        }
    }
    void MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                    bool repaint) override {
        if (Fails("windows MoveWindow"))
            return;
        log.push_back("move " + Hex(window) + " " + std::to_string(x) + "," + std::to_string(y) +
                      " " + std::to_string(width) + "x" + std::to_string(height) +
                      (repaint ? "" : " norepaint"));
        if (Window* w = Find(window))
            w->rect = {x, y, WrapAdd(x, width), WrapAdd(y, height)};
    }
    void SetTimer(WindowHandle, uint32_t id, uint32_t milliseconds) override {
        if (Fails("windows SetTimer"))
            return;
        log.push_back("timer " + std::to_string(id) + " " + std::to_string(milliseconds));
        timers.insert(id);
    }
    void KillTimer(WindowHandle, uint32_t id) override {
        if (Fails("windows KillTimer"))
            return;
        log.push_back("kill " + std::to_string(id));
        timers.erase(id);
    }
    void SetCapture(WindowHandle window) override {
        if (!Fails("windows SetCapture"))
            capture = window;
    }
    // Windows sends WM_CAPTURECHANGED to the window that loses the capture, inside the call:
    // `onCaptureLost` delivers it.
    std::function<void(WindowHandle)> onCaptureLost;
    void ReleaseCapture() override {
        if (Fails("windows ReleaseCapture") || !capture)
            return;
        const WindowHandle lost = capture;
        capture = 0;
        if (onCaptureLost)
            onCaptureLost(lost);
    }
    void Invalidate(WindowHandle) override {
        if (!Fails("windows Invalidate"))
            ++invalidations;
    }

    static std::string Hex(uintptr_t value) {
        static const char digits[] = "0123456789abcdef";
        std::string text;
        do {
            text.insert(text.begin(), digits[value & 0xF]);
            value >>= 4;
        } while (value);
        return "0x" + text;
    }
    static std::string Text(const Rect& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
               std::to_string(r.right) + "," + std::to_string(r.bottom);
    }
};
