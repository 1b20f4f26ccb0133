// A simulated machine for the applet: a board's registry, the timing database, the dialogs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter/registry_layout.h"
#include "applet/applet_entry.h"
#include "applet/resource.h"
#include "applet/selection_dialog.h"
#include "platform/sim/sim_dialog.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"

namespace applet_test {

enum class Board { kNone, kSingle, kTwoHead, kTwoAdapters };

const std::string kDatabase = "C:\\WINNT\\system32\\drivers\\orvel\\timing\\monitor.ini";
const std::string kMonitors =
    "[MONITOR]\n"
    "Generic 640x480=1\n"
    "31kHz VGA=1\n"
    "Orvel 17 single=1\n"
    "Orvel 21 SINGLE=1\n"
    "Orvel 19 Single=1\n"
    "[31kHz VGA]\n"
    "X_SIZE=320\n"
    "Y_SIZE=240\n"
    "[Generic 640x480]\n"
    "X_SIZE=300\n"
    "[Orvel 19 Single]\n"
    "X_SIZE=360\n"
    "Y_SIZE=270\n"
    "[Orvel 17 single]\n"
    "X_SIZE=\n"
    "Y_SIZE=250\n";
constexpr WindowHandle kDialog = 0x1234;
constexpr WindowHandle kControlPanel = 0x99;
constexpr int32_t IDOK_ = 1;
constexpr int32_t IDCANCEL_ = 2;

struct Rig {
    SimRegistry reg;
    SimSystem sys;
    SimProfile profile;
    SimDialog ui;
    AppletState state;
    Applet applet{reg, sys, profile, ui, state};
    std::vector<std::string> trace;
    std::string service = "lumora";

    FaultPlan faults;  // every port counts its calls on it

    explicit Rig(Board board = Board::kSingle, uint32_t availableTv = 3) {
        reg.faults = sys.faults = profile.faults = ui.faults = &faults;
        sys.environment["SYSTEMROOT"] = "C:\\WINNT";
        sys.trace = &trace;
        ui.trace = &trace;
        profile.SetFile(kDatabase, kMonitors);
        if (board == Board::kNone)
            return;
        if (board == Board::kTwoHead)
            service = "lumora2";
        const std::string prefix = "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\";
        reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                      prefix + service + "\\Device0");
        reg.AddKey(HKEY_LOCAL_MACHINE_, Settings());
        reg.AddKey(HKEY_LOCAL_MACHINE_, "SYSTEM\\CurrentControlSet\\Services\\Beep");
        reg.AddKey(HKEY_LOCAL_MACHINE_, Maker());
        if (board == Board::kTwoAdapters) {
            reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kSecondDeviceValue,
                          prefix + service + "\\Device1");
            reg.AddKey(HKEY_LOCAL_MACHINE_, Second());
        }
        reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, Settings(), kPrimaryBoardId, 0x0102A0B0);
        reg.SetBinaryWord(HKEY_LOCAL_MACHINE_, Settings(), kAvailableTvSet, availableTv);
    }

    std::string Settings() const {
        return "SYSTEM\\CurrentControlSet\\Services\\" + service + "\\Device0";
    }
    std::string Second() const {
        return "SYSTEM\\CurrentControlSet\\Services\\" + service + "\\Device1";
    }
    std::string Maker() const { return "SOFTWARE\\Orvelcom\\" + service + "\\Device0"; }

    // What the Control Panel asks before it starts an applet.
    uint32_t Count() { return AppletMessage(applet, kControlPanel, CPL_GETCOUNT_, 0, nullptr); }

    void Store(const std::string& key, const char* name, const std::string& text) {
        reg.SetString(HKEY_LOCAL_MACHINE_, key, name, text);
    }
    void StoreDword(const std::string& key, const char* name, uint32_t value) {
        reg.SetDword(HKEY_LOCAL_MACHINE_, key, name, value);
    }
    // A REG_DWORD or 4-byte REG_BINARY value as a number; -1 when missing, -2 when of another
    // type or size than `type`.
    int64_t Number(const std::string& key, const char* name, uint32_t type = REG_DWORD_,
                   RegKey root = HKEY_LOCAL_MACHINE_) const {
        uint32_t stored = 0;
        SimRegistry::Bytes data;
        if (!reg.GetRaw(root, key, name, &stored, &data))
            return -1;
        if (stored != type || data.size() != 4)
            return -2;
        return data[0] | data[1] << 8 | data[2] << 16 | static_cast<int64_t>(data[3]) << 24;
    }
    // A REG_SZ value without its terminator; "<missing>" when absent.
    std::string Text(const std::string& key, const char* name) const {
        uint32_t type = 0;
        SimRegistry::Bytes data;
        if (!reg.GetRaw(HKEY_LOCAL_MACHINE_, key, name, &type, &data))
            return "<missing>";
        EXPECT_EQ(type, REG_SZ_);
        std::string text(data.begin(), data.end());
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '\0') << "stored with its terminator";
        return text.substr(0, text.find('\0'));
    }

    // Opens a selection dialog with the controls of its template.
    intptr_t OpenSelection(bool dual) {
        ui.controls.clear();
        if (dual)
            ui.AddControls({IDC_HIDDEN_GROUP, IDC_LEFT_GROUP, IDC_RIGHT_GROUP, IDC_BOOT_LEFT,
                            IDC_BOOT_RIGHT, IDC_LEFT_LIST, IDC_RIGHT_LIST, IDC_TV_AVAILABLE,
                            IDC_TV_GROUP, IDC_PAL, IDC_NTSC, IDOK_, IDCANCEL_});
        else
            ui.AddControls({IDC_LEFT_GROUP, IDC_LEFT_LIST, IDC_TV_AVAILABLE, IDC_TV_GROUP, IDC_PAL,
                            IDC_NTSC, IDOK_, IDCANCEL_});
        ui.At(IDCANCEL_).text = "&Cancel";
        dual_ = dual;
        return MonitorSelectDlgProc(applet, kDialog, WM_INITDIALOG_, 0, dual);
    }
    // A click: an auto check box turns itself over before the dialog hears of it.
    intptr_t Press(int32_t id) {
        if (id == IDC_TV_AVAILABLE)
            ui.At(id).checked = !ui.At(id).checked;
        return MonitorSelectDlgProc(applet, kDialog, WM_COMMAND_, static_cast<uintptr_t>(id),
                                    dual_);
    }
    // The selected entry of a list, or "" without a selection.
    std::string Selected(int32_t list) {
        const SimDialog::Control& c = ui.At(list);
        return c.selection < 0 ? "" : c.items.at(static_cast<size_t>(c.selection));
    }
    void Select(int32_t list, const std::string& name) {
        const auto& items = ui.At(list).items;
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i] == name) {
                ui.At(list).selection = static_cast<int32_t>(i);
                return;
            }
        }
        ADD_FAILURE() << name << " is not listed";
    }

  private:
    bool dual_ = false;
};

}  // namespace applet_test
