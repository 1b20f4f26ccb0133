#include "platform/win32/win32_dialog.h"

#include "platform/win32/win32_handles.h"

namespace {

// A list operation on a control that exists: SendDlgItemMessageA answers 0 for a missing one,
// which would read as entry 0.
LRESULT ComboMessage(WindowHandle dialog, int32_t id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(Hwnd(dialog), id);
    if (control == nullptr)
        return CB_ERR;
    return SendMessageA(control, message, wParam, lParam);
}

}  // namespace

void Win32Dialog::EnableControl(WindowHandle dialog, int32_t id, bool enable) {
    EnableWindow(GetDlgItem(Hwnd(dialog), id), enable);
}

void Win32Dialog::CheckButton(WindowHandle dialog, int32_t id, bool checked) {
    CheckDlgButton(Hwnd(dialog), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32Dialog::IsButtonChecked(WindowHandle dialog, int32_t id) {
    return IsDlgButtonChecked(Hwnd(dialog), id) == BST_CHECKED;
}

void Win32Dialog::CheckRadio(WindowHandle dialog, int32_t first, int32_t last, int32_t id) {
    CheckRadioButton(Hwnd(dialog), first, last, id);
}

void Win32Dialog::SetControlText(WindowHandle dialog, int32_t id, const char* text) {
    SetDlgItemTextA(Hwnd(dialog), id, text);
}

void Win32Dialog::SetControlId(WindowHandle dialog, int32_t id, int32_t newId) {
    if (HWND control = GetDlgItem(Hwnd(dialog), id))
        SetWindowLongA(control, GWL_ID, newId);
}

int32_t Win32Dialog::ComboInsert(WindowHandle dialog, int32_t id, int32_t index, const char* text) {
    return static_cast<int32_t>(
        ComboMessage(dialog, id, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text)));
}

int32_t Win32Dialog::ComboSelectPrefix(WindowHandle dialog, int32_t id, const char* prefix) {
    return static_cast<int32_t>(ComboMessage(dialog, id, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(prefix)));
}

int32_t Win32Dialog::ComboFindExact(WindowHandle dialog, int32_t id, const char* text) {
    return static_cast<int32_t>(ComboMessage(
        dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)));
}

void Win32Dialog::ComboSetSelection(WindowHandle dialog, int32_t id, int32_t index) {
    ComboMessage(dialog, id, CB_SETCURSEL, index, 0);
}

int32_t Win32Dialog::ComboSelection(WindowHandle dialog, int32_t id) {
    return static_cast<int32_t>(ComboMessage(dialog, id, CB_GETCURSEL, 0, 0));
}

int32_t Win32Dialog::ComboText(WindowHandle dialog, int32_t id, int32_t index, char* text,
                               uint32_t size) {
    // CB_GETLBTEXT takes no size: the entry is measured first and fetched only if it fits.
    const LRESULT length = ComboMessage(dialog, id, CB_GETLBTEXTLEN, index, 0);
    if (length < 0 || static_cast<uint32_t>(length) + 1 > size)
        return CB_ERR;
    return static_cast<int32_t>(
        ComboMessage(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text)));
}

intptr_t Win32Dialog::RunDialog(WindowHandle owner, int32_t templateId, uint32_t procedure) {
    return DialogBoxParamA(module_, MAKEINTRESOURCEA(templateId), Hwnd(owner),
                           procedureFor_(procedure), 0);
}

void Win32Dialog::EndDialog(WindowHandle dialog, intptr_t result) {
    ::EndDialog(Hwnd(dialog), result);
}

int32_t Win32Dialog::ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                                    uint32_t flags) {
    return MessageBoxA(Hwnd(owner), text, caption, flags);
}

uint32_t Win32Dialog::RegisterMessage(const char* name) {
    return RegisterWindowMessageA(name);
}

void Win32Dialog::BroadcastMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                                   uint32_t flags, uint32_t timeout) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, message, wParam, lParam, flags, timeout, &result);
}

uint32_t Win32Dialog::LoadText(uint32_t id, char* text, uint32_t size) {
    if (size == 0)
        return 0;
    const int n = LoadStringA(module_, id, text, static_cast<int>(size));
    if (n <= 0) {
        text[0] = 0;
        return 0;
    }
    return static_cast<uint32_t>(n);
}

uint32_t Win32Dialog::LoadIconHandle(uint32_t id) {
    return static_cast<uint32_t>(
        reinterpret_cast<uintptr_t>(LoadIconA(module_, MAKEINTRESOURCEA(id))));
}
