// The pan-stop button: where it is created, and its window procedure's press, drag, click,
// timer and paint rules.
#include "tray/zoom_button.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/tray/tray_rig.h"
#include "tray/display_state.h"
#include "tray/escape_client.h"

namespace {

using Lines = std::vector<std::string>;

constexpr WindowHandle kButton = 0x900;

intptr_t Point(int32_t x, int32_t y) {
    return static_cast<intptr_t>(static_cast<uint16_t>(x) | static_cast<uint32_t>(y) << 16);
}

// The screen at 1024 x 768 with the hardware zoom on; the button's window at 300, 200 as the
// window port knows it, created through the procedure.
struct ButtonRig : TrayRig {
    ButtonRig() {
        board.AddMode(1024, 768, 16, 75);
        board.zoomState = 2;
        board.visibleRect = {100, 50, 740, 530};
        RefreshDisplayState(tray, kMainWindow);
        QueryHardwareZoom(tray);
        windows.windows.push_back({kButton, "STOP", {300, 200, 353, 248}});
        windows.onCaptureLost = [this](WindowHandle) { Send(WM_CAPTURECHANGED_); };
        EXPECT_EQ(Send(WM_CREATE_), 1);
        windows.log.clear();
        board.escapes.clear();
    }
    intptr_t Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return ZoomButtonWndProc(tray, kButton, message, wParam, lParam);
    }
    size_t PanStopSwitches() {
        size_t n = 0;
        for (const SimBoard::EscapeCall& call : board.escapes)
            n += call.sent[0] == FEATURE_PAN_STOP && call.sent[1] != FEATURE_QUERY;
        return n;
    }
};

TEST(CreateZoomButton, StartsAtTheCursorClampedIntoTheWorkArea) {
    struct Case {
        const char* what;
        Rect workArea;
        bool cursorKnown;
        int32_t cursorX, cursorY;
        const char* expected;
    };
    const Case cases[] = {
        {"inside", {0, 0, 1024, 740}, true, 500, 400, "button 0x900 at 500,400"},
        {"past the bottom right", {0, 0, 1024, 740}, true, 1010, 735, "button 0x900 at 971,692"},
        {"above and left", {40, 30, 1024, 740}, true, 5, 2, "button 0x900 at 40,30"},
        {"narrower than the button: right clamp last",
         {100, 0, 140, 740},
         true,
         0,
         0,
         "button 0x900 at 87,0"},
        {"cursor unknown: the screen's size, clamped",
         {0, 0, 1024, 740},
         false,
         0,
         0,
         "button 0x900 at 971,692"},
        {"an area at the start of the range: right - 53 wraps as in 32 bits",
         {INT32_MIN, INT32_MIN, INT32_MIN + 10, INT32_MIN + 10},
         true,
         500,
         400,
         "button 0x900 at 500,400"},
    };
    for (const Case& c : cases) {
        TrayRig rig;
        rig.tray.state.width = 1024;
        rig.tray.state.height = 768;
        rig.windows.workArea = c.workArea;
        rig.windows.cursorKnown = c.cursorKnown;
        rig.windows.cursorX = c.cursorX;
        rig.windows.cursorY = c.cursorY;
        CreateZoomButton(rig.tray, kMainWindow);
        EXPECT_EQ(rig.shell.actions, Lines{c.expected}) << c.what;
        EXPECT_EQ(rig.tray.state.zoomButton, 0x900u) << c.what;
    }
}

TEST(CreateZoomButton, OneButtonAtATime) {
    TrayRig rig;
    CreateZoomButton(rig.tray, kMainWindow);
    rig.windows.cursorX = 10;
    CreateZoomButton(rig.tray, kMainWindow);  // the class is taken: the button stays put
    EXPECT_EQ(rig.shell.buttonsCreated.size(), 1u);

    DestroyZoomButton(rig.tray);
    EXPECT_EQ(rig.tray.state.zoomButton, 0u);
    DestroyZoomButton(rig.tray);
    EXPECT_EQ(rig.shell.buttonsDestroyed.size(), 1u);

    // A window that cannot be made leaves no handle, and the next try can make it.
    rig.shell.buttonWindowFails = true;
    CreateZoomButton(rig.tray, kMainWindow);
    EXPECT_EQ(rig.tray.state.zoomButton, 0u);
    rig.shell.buttonWindowFails = false;
    CreateZoomButton(rig.tray, kMainWindow);
    EXPECT_NE(rig.tray.state.zoomButton, 0u);
}

TEST(ZoomButtonWndProc, CreationStartsTheTimerAndDestructionStopsIt) {
    ButtonRig rig;
    EXPECT_EQ(rig.windows.timers, std::set<uint32_t>{ZOOM_TIMER_ID});
    EXPECT_EQ(rig.tray.zoomButtonProc.x, 300);
    EXPECT_EQ(rig.tray.zoomButtonProc.originX, 100);
    EXPECT_EQ(rig.tray.zoomButtonProc.originY, 50);
    EXPECT_EQ(rig.Send(WM_DESTROY_), 1);
    EXPECT_TRUE(rig.windows.timers.empty());
}

TEST(ZoomButtonWndProc, AClickSwitchesThePanStopAndThePicture) {
    ButtonRig rig;
    EXPECT_EQ(rig.Send(WM_PAINT_), 0);
    EXPECT_EQ(rig.Send(WM_LBUTTONDOWN_, 0, Point(10, 10)), 0);
    EXPECT_EQ(rig.windows.capture, kButton);
    EXPECT_EQ(rig.Send(WM_LBUTTONUP_, 0, Point(10, 10)), 1);
    EXPECT_EQ(rig.windows.capture, 0u);
    EXPECT_EQ(rig.PanStopSwitches(), 1u);
    EXPECT_TRUE(rig.tray.state.panStopOn);
    EXPECT_EQ(rig.windows.invalidations, 1);
    rig.Send(WM_PAINT_);
    EXPECT_EQ(rig.shell.actions, (Lines{"paint 0x900 135", "paint 0x900 137"}));
    EXPECT_EQ(rig.windows.log, Lines{"timer 1 250"}) << "no move on a click";

    // A double click arrives as a release: the second click of it switches back.
    rig.Send(WM_LBUTTONDOWN_, 0, Point(10, 10));
    rig.Send(WM_LBUTTONDBLCLK_, 0, Point(10, 10));
    EXPECT_FALSE(rig.tray.state.panStopOn);
    EXPECT_FALSE(rig.tray.zoomButtonProc.dragging);
}

TEST(ZoomButtonWndProc, ADragMovesWithoutSwitching) {
    ButtonRig rig;
    rig.Send(WM_LBUTTONDOWN_, 0, Point(10, 10));  // grabbed 10, 10 inside, at 310, 210
    rig.Send(WM_MOUSEMOVE_, 0, Point(11, 10));    // one pixel
    rig.Send(WM_LBUTTONUP_, 0, Point(11, 10));
    EXPECT_EQ(rig.PanStopSwitches(), 0u);
    EXPECT_FALSE(rig.tray.state.panStopOn);
    EXPECT_EQ(rig.windows.log, (Lines{"kill 1", "move 0x900 301,200 53x48", "timer 1 250"}));
    EXPECT_FALSE(rig.tray.zoomButtonProc.moved);
    EXPECT_EQ(rig.windows.timers, std::set<uint32_t>{ZOOM_TIMER_ID});

    // Towards the right and bottom edges: held inside the visible rectangle.
    rig.windows.log.clear();
    rig.Send(WM_LBUTTONDOWN_, 0, Point(10, 10));
    rig.Send(WM_MOUSEMOVE_, 0, Point(900, 700));
    EXPECT_EQ(rig.windows.log.back(), "move 0x900 687,482 53x48");
    rig.Send(WM_MOUSEMOVE_, 0, Point(950, 750));  // still at the edge: no move
    EXPECT_EQ(rig.windows.log.size(), 2u);
    // Up and left past the edges, with negative client coordinates.
    rig.Send(WM_MOUSEMOVE_, 0, Point(-1000, -1000));
    EXPECT_EQ(rig.windows.log.back(), "move 0x900 100,50 53x48");
    rig.Send(WM_LBUTTONUP_);
    EXPECT_EQ(rig.PanStopSwitches(), 0u);
}

// Alt+Tab, Ctrl+Alt+Del or another window's capture end a press without a click: the button
// neither follows the pointer any more nor takes the next release as the end of this press.
TEST(ZoomButtonWndProc, APressThatLosesTheCaptureLetsGo) {
    for (uint32_t message : {WM_CAPTURECHANGED_, WM_CANCELMODE_}) {
        for (bool moved : {false, true}) {
            ButtonRig rig;
            rig.Send(WM_LBUTTONDOWN_, 0, Point(10, 10));
            if (moved)
                rig.Send(WM_MOUSEMOVE_, 0, Point(20, 20));
            rig.windows.log.clear();
            if (message == WM_CAPTURECHANGED_)
                rig.windows.capture = 0x777;  // taken by another window
            EXPECT_EQ(rig.Send(message), 0);
            EXPECT_NE(rig.windows.capture, kButton) << message;
            EXPECT_FALSE(rig.tray.zoomButtonProc.dragging);
            EXPECT_EQ(rig.windows.log, Lines{"timer 1 250"}) << "following the view again";
            rig.Send(WM_MOUSEMOVE_, 0, Point(200, 200));
            EXPECT_EQ(rig.windows.log.size(), 1u) << "the pointer is not followed";
            EXPECT_EQ(rig.PanStopSwitches(), 0u);
            // The next click is a click of its own.
            rig.Send(WM_LBUTTONDOWN_, 0, Point(10, 10));
            rig.Send(WM_LBUTTONUP_, 0, Point(10, 10));
            EXPECT_EQ(rig.PanStopSwitches(), 1u) << message << " moved " << moved;
        }
    }
    ButtonRig idle;  // nothing held: nothing to let go
    idle.windows.capture = 0x777;
    idle.Send(WM_CANCELMODE_);
    idle.Send(WM_CAPTURECHANGED_);
    EXPECT_TRUE(idle.windows.log.empty());
    EXPECT_EQ(idle.windows.capture, 0x777u) << "another window's capture is not released";
}

TEST(ZoomButtonWndProc, PressesAndMovesOutsideADragAreIgnored) {
    ButtonRig rig;
    EXPECT_EQ(rig.Send(WM_MOUSEMOVE_, 0, Point(30, 30)), 0);
    EXPECT_TRUE(rig.windows.log.empty());
    rig.Send(WM_LBUTTONDOWN_, 0, Point(10, 10));
    rig.windows.Find(kButton)->rect = {0, 0, 53, 48};
    rig.Send(WM_LBUTTONDOWN_, 0, Point(20, 20));  // a second press keeps the first grab
    EXPECT_EQ(rig.tray.zoomButtonProc.grabX, 10);
    EXPECT_EQ(rig.tray.zoomButtonProc.x, 300);
}

TEST(ZoomButtonWndProc, TheTimerFollowsTheVisibleRectangle) {
    ButtonRig rig;
    EXPECT_EQ(rig.Send(WM_TIMER_, ZOOM_TIMER_ID), 0);
    EXPECT_TRUE(rig.windows.log.empty()) << "the view did not move";

    rig.board.visibleRect = {140, 40, 780, 520};  // +40, -10
    rig.Send(WM_TIMER_, ZOOM_TIMER_ID);
    EXPECT_EQ(rig.windows.log, Lines{"move 0x900 340,190 53x48"});

    // Unclamped: the button may leave the visible rectangle.
    rig.board.visibleRect = {0, 0, 640, 480};
    rig.tray.zoomButtonProc.x = 900;
    rig.Send(WM_TIMER_, 77);  // any timer
    EXPECT_EQ(rig.windows.log.back(), "move 0x900 760,150 53x48");

    // Pan stop on: the view moves, the button stays.
    rig.tray.state.panStopOn = true;
    rig.board.visibleRect = {300, 200, 940, 680};
    rig.Send(WM_TIMER_, ZOOM_TIMER_ID);
    EXPECT_EQ(rig.windows.log.size(), 2u);
}

TEST(ZoomButtonWndProc, CoordinatesAtTheEndsOfTheRangeWrapAsIn32Bits) {
    // The driver's rectangle and the window's place may hold anything: sums and differences
    // wrap around as the 32-bit program's did.
    {
        ButtonRig rig;  // the view moves by almost the whole range
        rig.board.visibleRect = {INT32_MIN + 20, INT32_MAX - 10, INT32_MIN + 660, INT32_MAX};
        rig.Send(WM_TIMER_, ZOOM_TIMER_ID);
        EXPECT_EQ(rig.windows.log, Lines{"move 0x900 -2147483428,-2147483509 53x48"});
    }
    {
        ButtonRig rig;  // a press on a window at the end of the range
        rig.windows.Find(kButton)->rect = {INT32_MAX - 5, INT32_MAX - 5, INT32_MAX, INT32_MAX};
        rig.Send(WM_LBUTTONDOWN_, 0, Point(10, 12));
        EXPECT_EQ(rig.tray.zoomButtonProc.grabX, 10);
        EXPECT_EQ(rig.tray.zoomButtonProc.grabY, 12);
    }
    {
        ButtonRig rig;  // a drag in a view at the start of the range: its clamp wraps
        rig.Send(WM_LBUTTONDOWN_, 0, Point(10, 10));
        rig.board.visibleRect = {INT32_MIN, INT32_MIN, INT32_MIN + 5, INT32_MIN + 5};
        rig.Send(WM_MOUSEMOVE_, 0, Point(11, 10));
        EXPECT_EQ(rig.windows.log, (Lines{"kill 1", "move 0x900 301,200 53x48"}));
    }
}

TEST(ZoomButtonWndProc, TheTimerGoesOnFromWhereThePressFoundTheButton) {
    // The system moved the button; a click turns the pan stop off and the view moves on.
    ButtonRig rig;
    rig.windows.Find(kButton)->rect = {0, 0, 53, 48};
    rig.board.panStopState = 1;
    rig.Send(WM_LBUTTONDOWN_, 0, Point(5, 5));
    rig.Send(WM_LBUTTONUP_, 0, Point(5, 5));
    rig.board.visibleRect = {140, 40, 780, 520};
    rig.Send(WM_TIMER_, ZOOM_TIMER_ID);
    EXPECT_EQ(rig.windows.log.back(), "move 0x900 40,-10 53x48");
    rig.board.visibleRect = {150, 40, 790, 520};  // across only
    rig.Send(WM_TIMER_, ZOOM_TIMER_ID);
    EXPECT_EQ(rig.windows.log.back(), "move 0x900 50,-10 53x48");

    // The view moved during a drag: the next tick does not move the dropped button.
    ButtonRig drag;
    drag.Send(WM_LBUTTONDOWN_, 0, Point(10, 10));
    drag.Send(WM_MOUSEMOVE_, 0, Point(20, 10));
    drag.board.visibleRect = {140, 40, 780, 520};
    drag.Send(WM_LBUTTONUP_, 0, Point(20, 10));
    drag.windows.log.clear();
    drag.Send(WM_TIMER_, ZOOM_TIMER_ID);
    EXPECT_TRUE(drag.windows.log.empty());
}

TEST(ZoomButtonWndProc, ANewButtonForgetsADragLeftUnfinished) {
    ButtonRig rig;
    rig.Send(WM_LBUTTONDOWN_, 0, Point(10, 10));
    rig.Send(WM_MOUSEMOVE_, 0, Point(20, 10));
    rig.Send(WM_CREATE_);
    rig.windows.capture = 0;  // went with the old window
    rig.Send(WM_LBUTTONDOWN_, 0, Point(10, 10));
    EXPECT_EQ(rig.windows.capture, kButton);
    rig.Send(WM_LBUTTONUP_, 0, Point(10, 10));
    EXPECT_EQ(rig.PanStopSwitches(), 1u);
}

TEST(ZoomButtonWndProc, CommandsAndOtherMessages) {
    ButtonRig rig;
    EXPECT_EQ(rig.Send(WM_COMMAND_, 1021), 0);
    EXPECT_EQ(rig.PanStopSwitches(), 0u);
    EXPECT_EQ(rig.Send(WM_COMMAND_, 0x10000 | kPanStopCommand), 0);
    EXPECT_EQ(rig.PanStopSwitches(), 1u);
    EXPECT_EQ(rig.windows.invalidations, 0) << "no repaint requested";
    EXPECT_EQ(rig.Send(WM_CLOSE_), 1);
    EXPECT_EQ(rig.Send(0x0084 /* WM_NCHITTEST */), 1);
    EXPECT_EQ(rig.Send(WM_SIZE_, SIZE_MINIMIZED_), 1);
    EXPECT_TRUE(rig.windows.log.empty());
    rig.ExpectAllReleased();
}

}  // namespace
