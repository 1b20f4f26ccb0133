// The dialog port over user32, for the dialogs and resources of one module.
#pragma once

#include <windows.h>

#include "platform/dialog.h"

class Win32Dialog final : public DialogPort {
  public:
    // `procedureFor` gives the dialog procedure that RunDialog's `procedure` names.
    constexpr Win32Dialog(HINSTANCE module, DLGPROC (*procedureFor)(uint32_t procedure))
        : module_(module), procedureFor_(procedureFor) {}

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
    HINSTANCE module_;
    DLGPROC (*procedureFor_)(uint32_t);
};
