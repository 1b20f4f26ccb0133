// The Win32 dialog port against real controls (run under Wine), side by side with the simulated
// one: the list operations the applet relies on answer alike in both.
#include "platform/win32/win32_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/sim/sim_dialog.h"
#include "platform/win32/win32_handles.h"

namespace {

constexpr int kList = 1002;
constexpr int kBox = 1014;
constexpr int kPal = 1011;
constexpr int kNtsc = 1012;

DLGPROC NoProcedure(uint32_t) {
    return nullptr;
}

struct Controls {
    HWND parent;
    Controls() {
        parent = CreateWindowExA(0, "STATIC", "controls", WS_OVERLAPPED, 0, 0, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
        // The selection dialogs' list: drop-down list without an edit field, sorted, scroll bar.
        Child("COMBOBOX", 0x50210103, kList);
        Child("BUTTON", WS_CHILD | BS_AUTOCHECKBOX, kBox);
        Child("BUTTON", WS_CHILD | BS_AUTORADIOBUTTON, kPal);
        Child("BUTTON", WS_CHILD | BS_AUTORADIOBUTTON, kNtsc);
    }
    ~Controls() { DestroyWindow(parent); }
    void Child(const char* cls, DWORD style, int id) {
        CreateWindowExA(0, cls, "", style, 0, 0, 200, 100, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
};

TEST(Win32Dialog, ListOperationsAnswerAsTheSimulatedOnes) {
    Controls controls;
    ASSERT_NE(controls.parent, nullptr);
    Win32Dialog real(GetModuleHandleA(nullptr), NoProcedure);
    SimDialog sim;
    sim.AddControls({kList, kBox, kPal, kNtsc});
    const WindowHandle dialog = Handle(controls.parent);
    DialogPort* ports[] = {&real, &sim};

    // Entries placed at positions keep the order given, although the list is sorted.
    const char* names[] = {"Zeta", "alpha", "31KHZ Multi", "31kHz VGA"};
    for (DialogPort* port : ports) {
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(port->ComboInsert(dialog, kList, i, names[i]), i);
    }
    char text[16];
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(real.ComboText(dialog, kList, i, text, sizeof(text)),
                  static_cast<int32_t>(strlen(names[i])));
        EXPECT_STREQ(text, names[i]);
    }

    struct Step {
        const char* what;
        int32_t (*run)(DialogPort&, WindowHandle);
    } steps[] = {
        {"prefix without case",
         [](DialogPort& p, WindowHandle d) { return p.ComboSelectPrefix(d, kList, "31khz"); }},
        {"selection after it",
         [](DialogPort& p, WindowHandle d) { return p.ComboSelection(d, kList); }},
        {"prefix not there",
         [](DialogPort& p, WindowHandle d) { return p.ComboSelectPrefix(d, kList, "Orvel"); }},
        {"selection kept",
         [](DialogPort& p, WindowHandle d) { return p.ComboSelection(d, kList); }},
        {"exact without case",
         [](DialogPort& p, WindowHandle d) { return p.ComboFindExact(d, kList, "ALPHA"); }},
        {"exact, a prefix only",
         [](DialogPort& p, WindowHandle d) { return p.ComboFindExact(d, kList, "alp"); }},
        {"exact, a longer text",
         [](DialogPort& p, WindowHandle d) { return p.ComboFindExact(d, kList, "Zeta 2"); }},
        {"text that fits",
         [](DialogPort& p, WindowHandle d) {
             char t[6];
             return p.ComboText(d, kList, 1, t, sizeof(t));
         }},
        {"text one too long",
         [](DialogPort& p, WindowHandle d) {
             char t[4];
             return p.ComboText(d, kList, 0, t, sizeof(t));
         }},
        {"text of no entry",
         [](DialogPort& p, WindowHandle d) {
             char t[16];
             return p.ComboText(d, kList, 9, t, sizeof(t));
         }},
        {"missing list", [](DialogPort& p, WindowHandle d) { return p.ComboSelection(d, 1005); }},
        {"missing list's entry",
         [](DialogPort& p, WindowHandle d) {
             char t[16];
             return p.ComboText(d, 1005, 0, t, sizeof(t));
         }},
        {"selection cleared",
         [](DialogPort& p, WindowHandle d) {
             p.ComboSetSelection(d, kList, -1);
             return p.ComboSelection(d, kList);
         }},
        {"radio marks one",
         [](DialogPort& p, WindowHandle d) {
             p.CheckRadio(d, kPal, kNtsc, kPal);
             p.CheckRadio(d, kPal, kNtsc, kNtsc);
             return int32_t(p.IsButtonChecked(d, kPal)) * 2 + p.IsButtonChecked(d, kNtsc);
         }},
        {"box",
         [](DialogPort& p, WindowHandle d) {
             p.CheckButton(d, kBox, true);
             const bool on = p.IsButtonChecked(d, kBox);
             p.CheckButton(d, kBox, false);
             return int32_t(on) * 2 + p.IsButtonChecked(d, kBox);
         }},
    };
    for (const Step& step : steps)
        EXPECT_EQ(step.run(real, dialog), step.run(sim, dialog)) << step.what;

    real.EnableControl(dialog, kBox, false);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(controls.parent, kBox)));
    real.SetControlText(dialog, kBox, "RESTART NOW");
    char label[32];
    GetDlgItemTextA(controls.parent, kBox, label, sizeof(label));
    EXPECT_STREQ(label, "RESTART NOW");
    // A control given another id is found, and reports itself, under that id only.
    HWND box = GetDlgItem(controls.parent, kBox);
    real.SetControlId(dialog, kBox, 1016);
    real.SetControlId(dialog, 2, kBox);  // no such control: nothing happens
    EXPECT_EQ(GetDlgItem(controls.parent, kBox), nullptr);
    EXPECT_EQ(GetDlgItem(controls.parent, 1016), box);
    EXPECT_EQ(GetDlgCtrlID(box), 1016);
}

TEST(Win32Dialog, RegisteredMessageIsTheSystemsOne) {
    Win32Dialog real(GetModuleHandleA(nullptr), NoProcedure);
    const uint32_t message = real.RegisterMessage("orvelAlignmentChange");
    EXPECT_GE(message, 0xC000u);
    EXPECT_EQ(message, RegisterWindowMessageW(L"orvelAlignmentChange"));
}

}  // namespace
