// Dialog port: the dialog controls, modal dialogs and module resources that the applet uses.
// Control ids and results are the dialog manager's; combo-box indexes are 0-based, -1 is none.
#pragma once

#include <cstdint>

#include "platform/windows.h"

constexpr int32_t CB_ERR_ = -1;
constexpr uintptr_t HWND_BROADCAST_ = 0xFFFF;

class DialogPort {
  public:
    // GetDlgItem + EnableWindow.
    virtual void EnableControl(WindowHandle dialog, int32_t id, bool enable) = 0;
    // CheckDlgButton with BST_CHECKED or BST_UNCHECKED; IsDlgButtonChecked.
    virtual void CheckButton(WindowHandle dialog, int32_t id, bool checked) = 0;
    virtual bool IsButtonChecked(WindowHandle dialog, int32_t id) = 0;
    // CheckRadioButton: marks `id` and clears the other buttons from `first` to `last`.
    virtual void CheckRadio(WindowHandle dialog, int32_t first, int32_t last, int32_t id) = 0;
    // SetDlgItemTextA.
    virtual void SetControlText(WindowHandle dialog, int32_t id, const char* text) = 0;
    // SetWindowLongA (GWL_ID) of control `id`: from then on it is control `newId`, and sends
    // that id. Nothing when there is no control `id`.
    virtual void SetControlId(WindowHandle dialog, int32_t id, int32_t newId) = 0;

    // CB_INSERTSTRING at `index` (no sorting); the index given, or CB_ERR.
    virtual int32_t ComboInsert(WindowHandle dialog, int32_t id, int32_t index,
                                const char* text) = 0;
    // CB_SELECTSTRING from the start: selects the first entry that begins with `prefix`, compared
    // without case; its index, or CB_ERR with the selection unchanged.
    virtual int32_t ComboSelectPrefix(WindowHandle dialog, int32_t id, const char* prefix) = 0;
    // CB_FINDSTRINGEXACT from the start: the first entry equal to `text` without case, or CB_ERR.
    virtual int32_t ComboFindExact(WindowHandle dialog, int32_t id, const char* text) = 0;
    // CB_SETCURSEL, CB_GETCURSEL.
    virtual void ComboSetSelection(WindowHandle dialog, int32_t id, int32_t index) = 0;
    virtual int32_t ComboSelection(WindowHandle dialog, int32_t id) = 0;
    // CB_GETLBTEXT: entry `index` with its terminator into `text` (room `size`); its length, or
    // CB_ERR when there is no such entry or it does not fit.
    virtual int32_t ComboText(WindowHandle dialog, int32_t id, int32_t index, char* text,
                              uint32_t size) = 0;

    // DialogBoxParamA with the module's template `templateId` and the procedure the caller
    // names by `procedure`; the dialog's result, or -1 when it could not be created.
    virtual intptr_t RunDialog(WindowHandle owner, int32_t templateId, uint32_t procedure) = 0;
    // EndDialog.
    virtual void EndDialog(WindowHandle dialog, intptr_t result) = 0;
    // MessageBoxA owned by `owner`; the button pressed.
    virtual int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                                   uint32_t flags) = 0;

    // RegisterWindowMessageA: the message's number, or 0.
    virtual uint32_t RegisterMessage(const char* name) = 0;
    // SendMessageTimeoutA to HWND_BROADCAST: returns when every top-level window has handled it
    // or was waited for `timeout` milliseconds (flags SMTO_*).
    virtual void BroadcastMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                                  uint32_t flags, uint32_t timeout) = 0;

    // LoadStringA of the module: the characters copied, always terminated, cut to `size` - 1.
    virtual uint32_t LoadText(uint32_t id, char* text, uint32_t size) = 0;
    // LoadIconA of the module: the icon's handle, or 0.
    virtual uint32_t LoadIconHandle(uint32_t id) = 0;

  protected:
    ~DialogPort() = default;
};
