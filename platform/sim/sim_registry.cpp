#include "platform/sim/sim_registry.h"

#include <algorithm>
#include <cstring>

namespace {

std::string Narrow(const char16_t* text) {
    std::string out;
    for (; text && *text; ++text) {
        out.push_back(*text < 0x100 ? static_cast<char>(*text) : '?');
    }
    return out;
}

bool IsStringType(uint32_t type) {
    return type == REG_SZ_ || type == REG_EXPAND_SZ_ || type == 7;
}

}  // namespace

std::string SimRegistry::RootName(RegKey root) {
    if (root == HKEY_LOCAL_MACHINE_)
        return "hklm";
    if (root == HKEY_CURRENT_USER_)
        return "hkcu";
    return "";
}

std::string SimRegistry::Lower(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool SimRegistry::Resolve(RegKey parent, const char* path, std::string* full) const {
    std::string base = RootName(parent);
    if (base.empty()) {
        auto it = handles_.find(parent);
        if (it == handles_.end())
            return false;
        base = it->second;
    }
    std::string rest = path ? Lower(path) : std::string();
    if (!rest.empty()) {
        // Empty segments (a leading, trailing or doubled backslash) name no key.
        if (rest.front() == '\\' || rest.back() == '\\' || rest.find("\\\\") != std::string::npos) {
            return false;
        }
        base += "\\" + rest;
    }
    *full = base;
    return true;
}

void SimRegistry::Create(const std::string& full, const std::string& display) {
    // Every ancestor of a key exists too.
    size_t pos = full.find('\\');
    size_t dpos = display.find('\\');
    while (pos != std::string::npos) {
        size_t next = full.find('\\', pos + 1);
        size_t dnext = display.find('\\', dpos + 1);
        std::string part = full.substr(0, next);
        if (!keys_.count(part)) {
            keys_[part].name = display.substr(
                dpos + 1, dnext == std::string::npos ? std::string::npos : dnext - dpos - 1);
        }
        pos = next;
        dpos = dnext;
    }
}

void SimRegistry::AddKey(RegKey root, const std::string& path) {
    std::string full;
    if (Resolve(root, path.c_str(), &full))
        Create(full, RootName(root) + "\\" + path);
}

void SimRegistry::RemoveKey(RegKey root, const std::string& path) {
    std::string full;
    if (!Resolve(root, path.c_str(), &full))
        return;
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it->first == full || it->first.rfind(full + "\\", 0) == 0) {
            it = keys_.erase(it);
        } else {
            ++it;
        }
    }
}

bool SimRegistry::KeyExists(RegKey root, const std::string& path) const {
    return Find(root, path) != nullptr;
}

const SimRegistry::Key* SimRegistry::Find(RegKey root, const std::string& path) const {
    std::string full;
    if (!Resolve(root, path.c_str(), &full))
        return nullptr;
    auto it = keys_.find(full);
    return it == keys_.end() ? nullptr : &it->second;
}

SimRegistry::Key* SimRegistry::FindHandle(RegKey key) {
    std::string full;
    if (!Resolve(key, nullptr, &full))
        return nullptr;
    auto it = keys_.find(full);
    return it == keys_.end() ? nullptr : &it->second;
}

void SimRegistry::SetRaw(RegKey root, const std::string& path, const std::string& name,
                         uint32_t type, const Bytes& data) {
    AddKey(root, path);
    std::string full;
    if (!Resolve(root, path.c_str(), &full))
        return;
    Value& value = keys_[full].values[Lower(name)];
    value.type = type;
    value.data = data;
}

void SimRegistry::SetString(RegKey root, const std::string& path, const std::string& name,
                            const std::string& text, bool terminated) {
    Bytes data(text.begin(), text.end());
    if (terminated)
        data.push_back(0);
    SetRaw(root, path, name, REG_SZ_, data);
}

void SimRegistry::SetDword(RegKey root, const std::string& path, const std::string& name,
                           uint32_t value) {
    SetRaw(root, path, name, REG_DWORD_,
           {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)});
}

void SimRegistry::SetBinaryWord(RegKey root, const std::string& path, const std::string& name,
                                uint32_t value) {
    SetRaw(root, path, name, REG_BINARY_,
           {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)});
}

void SimRegistry::RemoveValue(RegKey root, const std::string& path, const std::string& name) {
    std::string full;
    if (!Resolve(root, path.c_str(), &full))
        return;
    auto it = keys_.find(full);
    if (it != keys_.end())
        it->second.values.erase(Lower(name));
}

bool SimRegistry::GetRaw(RegKey root, const std::string& path, const std::string& name,
                         uint32_t* type, Bytes* data) const {
    const Key* key = Find(root, path);
    if (!key)
        return false;
    auto it = key->values.find(Lower(name));
    if (it == key->values.end())
        return false;
    if (type)
        *type = it->second.type;
    if (data)
        *data = it->second.data;
    return true;
}

void SimRegistry::SetWritable(RegKey root, const std::string& path, bool writable) {
    std::string full;
    if (Resolve(root, path.c_str(), &full))
        writable_[full] = writable;
}

bool SimRegistry::Writable(const std::string& full) const {
    for (std::string key = full;;) {
        auto rule = writable_.find(key);
        if (rule != writable_.end())
            return rule->second;
        const size_t parent = key.rfind('\\');
        if (parent == std::string::npos)
            return true;
        key.resize(parent);
    }
}

int32_t SimRegistry::Open(RegKey parent, const char* path, bool create, RegKey* out,
                          uint32_t access) {
    ++calls_;
    if (!out)
        return 87;  // ERROR_INVALID_PARAMETER
    std::string full;
    if (!Resolve(parent, path, &full)) {
        return RootName(parent).empty() && !handles_.count(parent) ? ERROR_INVALID_HANDLE_
                                                                   : ERROR_FILE_NOT_FOUND_;
    }
    if (!keys_.count(full) && full.find('\\') != std::string::npos) {
        if (!create)
            return ERROR_FILE_NOT_FOUND_;
        if (!Writable(full.substr(0, full.rfind('\\'))))
            return ERROR_ACCESS_DENIED_;
        std::string base = RootName(parent).empty() ? handles_[parent] : RootName(parent);
        Create(full, base + "\\" + (path ? path : ""));
        writes.push_back(full);
    }
    if ((access & (KEY_SET_VALUE_ | KEY_CREATE_SUB_KEY_)) && !Writable(full))
        return ERROR_ACCESS_DENIED_;
    RegKey handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = full;
    *out = handle;
    return ERROR_SUCCESS_;
}

int32_t SimRegistry::OpenKey(RegKey parent, const char* path, RegKey* out) {
    if (Fails("registry OpenKey"))
        return ERROR_ACCESS_DENIED_;
    return Open(parent, path, false, out);
}

int32_t SimRegistry::CreateKey(RegKey parent, const char* path, RegKey* out) {
    if (Fails("registry CreateKey"))
        return ERROR_ACCESS_DENIED_;
    return Open(parent, path, true, out);
}

// RegQueryValueEx's contract for handing out `bytes`.
int32_t SimRegistry::CopyOut(const Bytes& bytes, uint8_t* data, uint32_t* size) {
    const uint32_t stored = static_cast<uint32_t>(bytes.size());
    if (!data) {
        if (size)
            *size = stored;
        return ERROR_SUCCESS_;
    }
    if (!size)
        return 87;  // ERROR_INVALID_PARAMETER
    if (*size < stored) {
        *size = stored;
        return ERROR_MORE_DATA_;
    }
    if (stored)
        std::memcpy(data, bytes.data(), stored);
    *size = stored;
    return ERROR_SUCCESS_;
}

int32_t SimRegistry::FindValue(RegKey key, const std::string& name, const Value** value) {
    ++calls_;
    Key* k = FindHandle(key);
    if (!k)
        return handles_.count(key) ? ERROR_FILE_NOT_FOUND_ : ERROR_INVALID_HANDLE_;
    auto it = k->values.find(Lower(name));
    if (it == k->values.end())
        return ERROR_FILE_NOT_FOUND_;
    *value = &it->second;
    return ERROR_SUCCESS_;
}

int32_t SimRegistry::WritableKey(RegKey key, Key** out, std::string* full) {
    ++calls_;
    *out = FindHandle(key);
    if (!*out)
        return ERROR_INVALID_HANDLE_;
    Resolve(key, nullptr, full);
    return Writable(*full) ? ERROR_SUCCESS_ : ERROR_ACCESS_DENIED_;
}

int32_t SimRegistry::QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                                uint32_t* size) {
    if (Fails("registry QueryValue"))
        return ERROR_FILE_NOT_FOUND_;
    const Value* value = nullptr;
    const int32_t rc = FindValue(key, name ? name : "", &value);
    if (rc != ERROR_SUCCESS_)
        return rc;
    if (type)
        *type = value->type;
    return CopyOut(value->data, data, size);
}

int32_t SimRegistry::SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                              uint32_t size) {
    if (Fails("registry SetValue"))
        return ERROR_ACCESS_DENIED_;
    Key* k = nullptr;
    std::string full;
    const int32_t rc = WritableKey(key, &k, &full);
    if (rc != ERROR_SUCCESS_)
        return rc;
    Value& value = k->values[Lower(name ? name : "")];
    value.type = type;
    value.data.assign(data, data + (data ? size : 0));
    writes.push_back(full + "\\" + Lower(name ? name : ""));
    return ERROR_SUCCESS_;
}

int32_t SimRegistry::DeleteValue(RegKey key, const char* name) {
    if (Fails("registry DeleteValue"))
        return ERROR_ACCESS_DENIED_;
    Key* k = nullptr;
    std::string full;
    const int32_t rc = WritableKey(key, &k, &full);
    if (rc != ERROR_SUCCESS_)
        return rc;
    if (!k->values.erase(Lower(name ? name : "")))
        return ERROR_FILE_NOT_FOUND_;
    writes.push_back(full + "\\" + Lower(name ? name : ""));
    return ERROR_SUCCESS_;
}

int32_t SimRegistry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) {
    ++calls_;
    if (Fails("registry EnumKey"))
        return ERROR_ACCESS_DENIED_;
    std::string full;
    if (!Resolve(key, nullptr, &full) ||
        (!keys_.count(full) && full.find('\\') != std::string::npos)) {
        return ERROR_INVALID_HANDLE_;
    }
    // Subkeys come in the order of their lower-case names, as the map keeps them.
    std::vector<const Key*> children;
    const std::string prefix = full + "\\";
    for (const auto& entry : keys_) {
        if (entry.first.rfind(prefix, 0) == 0 &&
            entry.first.find('\\', prefix.size()) == std::string::npos) {
            children.push_back(&entry.second);
        }
    }
    if (index >= children.size())
        return ERROR_NO_MORE_ITEMS_;
    const std::string& child = children[index]->name;
    if (!name || child.size() + 1 > nameSize)
        return ERROR_MORE_DATA_;
    std::memcpy(name, child.c_str(), child.size() + 1);
    return ERROR_SUCCESS_;
}

int32_t SimRegistry::CloseKey(RegKey key) {
    ++calls_;
    const bool failed = Fails("registry CloseKey");
    if (!RootName(key).empty())
        return ERROR_SUCCESS_;
    return handles_.erase(key) && !failed ? ERROR_SUCCESS_ : ERROR_INVALID_HANDLE_;
}

int32_t SimRegistry::OpenKeyEx(RegKey parent, const char* path, uint32_t access, RegKey* out) {
    if (Fails("registry OpenKeyEx"))
        return ERROR_ACCESS_DENIED_;
    return Open(parent, path, false, out, access);
}

int32_t SimRegistry::OpenKeyW(RegKey parent, const char16_t* path, RegKey* out) {
    if (Fails("registry OpenKeyW"))
        return ERROR_ACCESS_DENIED_;
    std::string narrow = Narrow(path);
    return Open(parent, path ? narrow.c_str() : nullptr, false, out);
}

int32_t SimRegistry::OpenKeyExW(RegKey parent, const char16_t* path, uint32_t /*access*/,
                                RegKey* out) {
    if (Fails("registry OpenKeyExW"))
        return ERROR_ACCESS_DENIED_;
    std::string narrow = Narrow(path);
    return Open(parent, path ? narrow.c_str() : nullptr, false, out);
}

int32_t SimRegistry::QueryValueW(RegKey key, const char16_t* name, uint32_t* type, uint8_t* data,
                                 uint32_t* size) {
    if (Fails("registry QueryValueW"))
        return ERROR_FILE_NOT_FOUND_;
    const Value* value = nullptr;
    const int32_t rc = FindValue(key, Narrow(name), &value);
    if (rc != ERROR_SUCCESS_)
        return rc;
    if (type)
        *type = value->type;
    if (!IsStringType(value->type))
        return CopyOut(value->data, data, size);
    // Strings come back as UTF-16, two bytes a character.
    Bytes wide;
    for (uint8_t byte : value->data) {
        wide.push_back(byte);
        wide.push_back(0);
    }
    return CopyOut(wide, data, size);
}
