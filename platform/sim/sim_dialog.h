// In-memory dialogs: the controls of the dialog under test with the dialog manager's semantics
// for the operations the applet uses; dialogs run, ended, boxes and broadcasts are recorded. A
// failed call changes nothing and answers as the system does: CB_ERR, false, 0, or -1 for a
// dialog that cannot be made; it is not recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/sim/sim_faults.h"

class SimDialog final : public DialogPort, public FaultInjectable {
  public:
    struct Control {
        bool enabled = true;
        bool checked = false;
        std::string text;
        std::vector<std::string> items;  // combo-box entries
        int32_t selection = CB_ERR_;
    };
    struct Run {
        WindowHandle owner;
        int32_t templateId;
        uint32_t procedure;
    };
    struct Box {
        WindowHandle owner;
        std::string text;
        std::string caption;
        uint32_t flags;
    };

    // The controls of the dialog; operations on other ids do nothing (lists answer CB_ERR).
    void AddControls(std::initializer_list<int32_t> ids);
    std::map<int32_t, Control> controls;
    Control& At(int32_t id) { return controls.at(id); }

    // What RunDialog answers per template (1 when not given); `onRun`, when set, answers instead.
    std::map<int32_t, intptr_t> dialogResults;
    std::function<intptr_t(const Run&)> onRun;
    std::vector<Run> runs;
    std::vector<intptr_t> ended;  // EndDialog results, in order
    std::vector<Box> boxes;
    std::map<std::string, uint32_t> registered;
    bool registerFails = false;
    std::vector<uint32_t> broadcasts;
    std::function<void(uint32_t)> onBroadcast;  // called during the send
    std::map<uint32_t, std::string> strings;    // the module's string table
    std::map<uint32_t, uint32_t> icons;         // icon id -> handle
    // When given, runs, ends, boxes and broadcasts are also noted here, in order.
    std::vector<std::string>* trace = nullptr;

    void EnableControl(WindowHandle dialog, int32_t id, bool enable) override;
    void CheckButton(WindowHandle dialog, int32_t id, bool checked) override;
    bool IsButtonChecked(WindowHandle dialog, int32_t id) override;
    void CheckRadio(WindowHandle dialog, int32_t first, int32_t last, int32_t id) override;
    void SetControlText(WindowHandle dialog, int32_t id, const char* text) override;
    void SetControlId(WindowHandle dialog, int32_t id, int32_t newId) override;
    int32_t ComboInsert(WindowHandle dialog, int32_t id, int32_t index, const char* text) override;
    int32_t ComboSelectPrefix(WindowHandle dialog, int32_t id, const char* prefix) override;
    int32_t ComboFindExact(WindowHandle dialog, int32_t id, const char* text) override;
    void ComboSetSelection(WindowHandle dialog, int32_t id, int32_t index) override;
    int32_t ComboSelection(WindowHandle dialog, int32_t id) override;
    int32_t ComboText(WindowHandle dialog, int32_t id, int32_t index, char* text,
                      uint32_t size) override;
    intptr_t RunDialog(WindowHandle owner, int32_t templateId, uint32_t procedure) override;
    void EndDialog(WindowHandle dialog, intptr_t result) override;
    int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                           uint32_t flags) override;
    uint32_t RegisterMessage(const char* name) override;
    void BroadcastMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, uint32_t flags,
                          uint32_t timeout) override;
    uint32_t LoadText(uint32_t id, char* text, uint32_t size) override;
    uint32_t LoadIconHandle(uint32_t id) override;

  private:
    Control* Find(int32_t id);
    void Note(const std::string& line) {
        if (trace)
            trace->push_back(line);
    }
};
