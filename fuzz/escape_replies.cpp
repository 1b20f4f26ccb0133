// The driver's escape replies: a board that writes arbitrary words into every word of the
// buffer, answered or not as the input says, behind every escape operation, the state refresh,
// the TV switch both ways and the pan-stop button's messages that use the visible rectangle.
//
// Input: [screen: bits, width, height, refresh words] then operations, each an op byte and its
// arguments, with the driver's replies read from the input as the escapes are sent.
#include "fuzz/tray_machine.h"
#include "tray/display_state.h"
#include "tray/escape_client.h"
#include "tray/mode_catalogue.h"
#include "tray/tray_menu.h"
#include "tray/tray_program.h"
#include "tray/tv_switch.h"
#include "tray/zoom_button.h"

namespace {

bool Zero(const uint32_t* words, uint32_t from, uint32_t to) {
    for (uint32_t i = from; i < to; ++i) {
        if (words[i] != 0)
            return false;
    }
    return true;
}

// The driver: checks each request's form, then writes the input into every word of the buffer.
class ScriptedDriver final : public EscapePort {
  public:
    explicit ScriptedDriver(fuzz::Input& in) : in_(in) {}
    const SimBoard* board = nullptr;  // whose device contexts the escapes go out on

    int32_t Escape(ScreenDc dc, uint32_t code, uint32_t* words, uint32_t bytes) override {
        FUZZ_CHECK(dc != 0 && board->OpenDcCount() > 0);
        if (code == ESC_TV_CONTROL) {
            FUZZ_CHECK(bytes == kTvWords * 4);
            FUZZ_CHECK(words[0] == TV_QUERY || words[0] == TV_SET);
            FUZZ_CHECK(words[0] != TV_SET || words[1] == TV_ACTION_OFF ||
                       words[1] == TV_ACTION_ON || words[1] == TV_ACTION_UNDO ||
                       words[1] == TV_ACTION_FLICKER_OFF || words[1] == TV_ACTION_FLICKER_ON);
            // The flicker actions name only words 0 and 1: the others go out as zero.
            if (words[0] == TV_SET &&
                (words[1] == TV_ACTION_FLICKER_OFF || words[1] == TV_ACTION_FLICKER_ON))
                FUZZ_CHECK(Zero(words, 2, kTvWords));
        } else {
            FUZZ_CHECK(code == ESC_FEATURE_CONTROL);
            const uint32_t feature = words[0];
            FUZZ_CHECK(bytes == (feature == FEATURE_VISIBLE_RECT ? kVisibleRectWords * 4
                                                                 : kFeatureWords * 4));
            // A setting, a query or the rectangle's request is made afresh, the words it does not
            // name zero; a switch goes out in the buffer of the query's reply.
            switch (feature) {
                case FEATURE_VIDEO_OPTIMIZATION:
                    FUZZ_CHECK(words[1] == 0 || words[1] == 2 || words[1] == 4);
                    FUZZ_CHECK(Zero(words, 2, kFeatureWords));
                    break;
                case FEATURE_HARDWARE_ZOOM:
                case FEATURE_PAN_STOP:
                case FEATURE_GRAYSCALE:
                    FUZZ_CHECK(words[1] <= FEATURE_OFF);
                    FUZZ_CHECK(words[1] != FEATURE_QUERY || Zero(words, 2, kFeatureWords));
                    break;
                default:
                    FUZZ_CHECK(feature == FEATURE_VISIBLE_RECT && words[1] == FEATURE_ON);
                    FUZZ_CHECK(Zero(words, 2, kVisibleRectWords));
            }
        }
        const bool answered = in_.Flag();
        for (uint32_t i = 0; i < bytes / 4; ++i)
            words[i] = in_.Word();
        if (!answered)
            return 0;
        const int32_t result = in_.SignedWord();
        return result ? result : 1;
    }

  private:
    fuzz::Input& in_;
};

intptr_t Point(fuzz::Input& in) {
    return static_cast<intptr_t>(in.Half() | static_cast<uint32_t>(in.Half()) << 16);
}

Rect AnyRect(fuzz::Input& in) {
    Rect r;
    r.left = in.SignedWord();
    r.top = in.SignedWord();
    r.right = in.SignedWord();
    r.bottom = in.SignedWord();
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    ScriptedDriver driver(in);
    fuzz::TrayMachine m(&driver);
    driver.board = &m.board;
    Tray& tray = m.tray;
    m.board.screen = {in.Word(), in.Word(), in.Word(), in.Word()};
    m.board.AddMode(640, 480, 8, 60);
    m.board.AddMode(640, 480, 16, 60);
    m.board.AddMode(1024, 768, 16, 75);
    m.board.AddMode(1664, 768, 16, 75);  // an unequal two-screen mode
    m.windows.windows.push_back({fuzz::kButton, "STOP", {300, 200, 353, 248}});

    for (int step = 0; step < 64 && in.Left(); ++step) {
        switch (in.Byte() % 27) {
            case 0:
                IsTvOutputActive(tray);
                break;
            case 1:
                IsFlickerFixingOn(tray);
                break;
            case 2: {
                const bool on = in.Flag();
                SetFlickerFixing(tray, on);
                FUZZ_CHECK(tray.state.flickerFixingOn == on);
                break;
            }
            case 3: {
                static const VideoOptimization kItems[] = {
                    VideoOptimization::kOn, VideoOptimization::kOff, VideoOptimization::kAuto};
                SetVideoOptimization(tray, kItems[in.Byte() % 3]);
                break;
            }
            case 4:
                if (!QueryHardwareZoom(tray))
                    FUZZ_CHECK(!tray.state.hardwareZoomOn);
                break;
            case 5:
                ToggleHardwareZoom(tray);
                break;
            case 6:
                TogglePanStop(tray);
                break;
            case 7:
                if (!QueryGrayscale(tray))
                    FUZZ_CHECK(!tray.state.grayscaleOn);
                break;
            case 8:
                ToggleGrayscale(tray);
                break;
            case 9:
                QueryVisibleRect(tray);
                break;
            case 10:
                RefreshDisplayState(tray, fuzz::kMainWindow);
                break;
            case 11:
                SwitchTvOutput(tray, true);
                break;
            case 12:
                SwitchTvOutput(tray, false);
                break;
            case 13:
                ZoomButtonWndProc(tray, fuzz::kButton, WM_CREATE_, 0, 0);
                break;
            case 14:
                ZoomButtonWndProc(tray, fuzz::kButton, WM_LBUTTONDOWN_, 0, Point(in));
                break;
            case 15:
                ZoomButtonWndProc(tray, fuzz::kButton, WM_MOUSEMOVE_, 0, Point(in));
                break;
            case 16:
                ZoomButtonWndProc(tray, fuzz::kButton, WM_LBUTTONUP_, 0, Point(in));
                break;
            case 17:
                ZoomButtonWndProc(tray, fuzz::kButton, WM_TIMER_, ZOOM_TIMER_ID, 0);
                break;
            case 18:
                ZoomButtonWndProc(tray, fuzz::kButton, WM_COMMAND_, kPanStopCommand, 0);
                break;
            case 19:
                tray.state.hardwareZoomOn = in.Flag();
                break;
            case 20:
                m.windows.Find(fuzz::kButton)->rect = AnyRect(in);
                break;
            case 21:
                m.windows.workArea = AnyRect(in);
                break;
            case 22:
                m.windows.cursorX = in.SignedWord();
                m.windows.cursorY = in.SignedWord();
                UpdateZoomButton(tray, fuzz::kMainWindow, in.Flag());
                break;
            case 23:
                DestroyZoomButton(tray);
                break;
            case 24:  // the catalogue and the menu, built on the driver's replies
                BuildModeCatalogue(tray, fuzz::kMainWindow);
                BuildTrayMenu(tray, fuzz::kMainWindow);
                for (const MenuItem& item : tray.menu.items)
                    FUZZ_CHECK(item.id <= 0xFFFF && fuzz::Terminated(item.text, kMenuTextSize));
                break;
            case 25: {  // a menu command: a mode or one of the board's switches
                const uint32_t modes = tray.catalogue.entries.size();
                const uint8_t pick = in.Byte();
                const uint32_t id =
                    kFirstModeId + (pick & 0x80 ? (modes ? pick % modes : 0) : modes + pick % 8);
                MainWndProc(tray, fuzz::kMainWindow, WM_COMMAND_, id, 0);
                break;
            }
            case 26:  // a click on the tray icon opens the menu at the cursor
                MainWndProc(tray, fuzz::kMainWindow, kTrayCallbackMessage, kTrayIconId,
                            WM_LBUTTONDOWN_);
                break;
        }
        m.CheckReleased();
        FUZZ_CHECK((tray.state.zoomButton != 0) == m.shell.buttonClass);
    }
    return 0;
}
