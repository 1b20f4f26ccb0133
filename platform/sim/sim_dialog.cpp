#include "platform/sim/sim_dialog.h"

#include <cstring>

#include "platform/sim/sim_windows.h"

namespace {

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// `text` begins with `prefix` (whole: equals it), compared without case.
bool MatchesWithoutCase(const std::string& text, const char* prefix, bool whole) {
    const size_t n = std::strlen(prefix);
    if (text.size() < n || (whole && text.size() != n))
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (Fold(text[i]) != Fold(prefix[i]))
            return false;
    }
    return true;
}

}  // namespace

void SimDialog::AddControls(std::initializer_list<int32_t> ids) {
    for (int32_t id : ids)
        controls[id];
}

SimDialog::Control* SimDialog::Find(int32_t id) {
    auto it = controls.find(id);
    return it == controls.end() ? nullptr : &it->second;
}

void SimDialog::EnableControl(WindowHandle, int32_t id, bool enable) {
    if (Fails("dialog EnableControl"))
        return;

    if (Control* c = Find(id))
        c->enabled = enable;
}

void SimDialog::CheckButton(WindowHandle, int32_t id, bool checked) {
    if (Fails("dialog CheckButton"))
        return;

    if (Control* c = Find(id))
        c->checked = checked;
}

bool SimDialog::IsButtonChecked(WindowHandle, int32_t id) {
    if (Fails("dialog IsButtonChecked"))
        return false;

    Control* c = Find(id);
    return c != nullptr && c->checked;
}

void SimDialog::CheckRadio(WindowHandle, int32_t first, int32_t last, int32_t id) {
    if (Fails("dialog CheckRadio"))
        return;

    for (int32_t i = first; i <= last; ++i) {
        if (Control* c = Find(i))
            c->checked = i == id;
    }
}

void SimDialog::SetControlText(WindowHandle, int32_t id, const char* text) {
    if (Fails("dialog SetControlText"))
        return;

    if (Control* c = Find(id))
        c->text = text;
}

void SimDialog::SetControlId(WindowHandle, int32_t id, int32_t newId) {
    if (Fails("dialog SetControlId"))
        return;

    auto it = controls.find(id);
    if (it == controls.end())
        return;
    Control moved = it->second;
    controls.erase(it);
    controls[newId] = moved;
}

int32_t SimDialog::ComboInsert(WindowHandle, int32_t id, int32_t index, const char* text) {
    if (Fails("dialog ComboInsert"))
        return CB_ERR_;

    Control* c = Find(id);
    if (c == nullptr || index > static_cast<int32_t>(c->items.size()))
        return CB_ERR_;
    if (index < 0)
        index = static_cast<int32_t>(c->items.size());
    c->items.insert(c->items.begin() + index, text);
    if (c->selection >= index)
        ++c->selection;
    return index;
}

int32_t SimDialog::ComboSelectPrefix(WindowHandle, int32_t id, const char* prefix) {
    if (Fails("dialog ComboSelectPrefix"))
        return CB_ERR_;

    Control* c = Find(id);
    if (c == nullptr)
        return CB_ERR_;
    for (size_t i = 0; i < c->items.size(); ++i) {
        if (MatchesWithoutCase(c->items[i], prefix, false)) {
            c->selection = static_cast<int32_t>(i);
            return c->selection;
        }
    }
    return CB_ERR_;
}

int32_t SimDialog::ComboFindExact(WindowHandle, int32_t id, const char* text) {
    if (Fails("dialog ComboFindExact"))
        return CB_ERR_;

    Control* c = Find(id);
    if (c == nullptr)
        return CB_ERR_;
    for (size_t i = 0; i < c->items.size(); ++i) {
        if (MatchesWithoutCase(c->items[i], text, true))
            return static_cast<int32_t>(i);
    }
    return CB_ERR_;
}

void SimDialog::ComboSetSelection(WindowHandle, int32_t id, int32_t index) {
    if (Fails("dialog ComboSetSelection"))
        return;

    Control* c = Find(id);
    if (c == nullptr)
        return;
    c->selection = index >= 0 && index < static_cast<int32_t>(c->items.size()) ? index : CB_ERR_;
}

int32_t SimDialog::ComboSelection(WindowHandle, int32_t id) {
    if (Fails("dialog ComboSelection"))
        return CB_ERR_;

    Control* c = Find(id);
    return c == nullptr ? CB_ERR_ : c->selection;
}

int32_t SimDialog::ComboText(WindowHandle, int32_t id, int32_t index, char* text, uint32_t size) {
    if (Fails("dialog ComboText"))
        return CB_ERR_;

    Control* c = Find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int32_t>(c->items.size()))
        return CB_ERR_;
    const std::string& item = c->items[static_cast<size_t>(index)];
    if (item.size() + 1 > size)
        return CB_ERR_;
    std::memcpy(text, item.c_str(), item.size() + 1);
    return static_cast<int32_t>(item.size());
}

intptr_t SimDialog::RunDialog(WindowHandle owner, int32_t templateId, uint32_t procedure) {
    if (Fails("dialog RunDialog"))
        return -1;

    const Run run{owner, templateId, procedure};
    runs.push_back(run);
    Note("dialog " + std::to_string(templateId));
    if (onRun)
        return onRun(run);
    auto it = dialogResults.find(templateId);
    return it == dialogResults.end() ? 1 : it->second;
}

void SimDialog::EndDialog(WindowHandle, intptr_t result) {
    if (Fails("dialog EndDialog"))
        return;

    ended.push_back(result);
    Note("end " + std::to_string(result));
}

int32_t SimDialog::ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                                  uint32_t flags) {
    if (Fails("dialog ShowMessageBox"))
        return 0;
    boxes.push_back({owner, text, caption, flags});
    Note(std::string("box ") + caption);
    return 1;
}

uint32_t SimDialog::RegisterMessage(const char* name) {
    if (Fails("dialog RegisterMessage"))
        return 0;

    if (registerFails)
        return 0;
    return RegisterSimMessage(registered, name);
}

void SimDialog::BroadcastMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                                 uint32_t flags, uint32_t timeout) {
    if (Fails("dialog BroadcastMessage"))
        return;
    broadcasts.push_back(message);
    Note("broadcast " + std::to_string(message) + " " + std::to_string(wParam) + " " +
         std::to_string(lParam) + " smto " + std::to_string(flags) + " " + std::to_string(timeout));
    if (onBroadcast)
        onBroadcast(message);
}

uint32_t SimDialog::LoadText(uint32_t id, char* text, uint32_t size) {
    if (size == 0)
        return 0;
    auto it = Fails("dialog LoadText") ? strings.end() : strings.find(id);
    const std::string found = it == strings.end() ? std::string() : it->second;
    const size_t n = found.size() < size - 1 ? found.size() : size - 1;
    std::memcpy(text, found.data(), n);
    text[n] = 0;
    return static_cast<uint32_t>(n);
}

uint32_t SimDialog::LoadIconHandle(uint32_t id) {
    if (Fails("dialog LoadIconHandle"))
        return 0;

    auto it = icons.find(id);
    return it == icons.end() ? 0 : it->second;
}
