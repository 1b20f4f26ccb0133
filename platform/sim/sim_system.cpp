#include "platform/sim/sim_system.h"

#include <cstring>

#include "platform/registry.h"

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

uint32_t SimSystem::SystemDirectory(char* buffer, uint32_t size) {
    if (Fails("system SystemDirectory"))
        return 0;
    const uint32_t length = static_cast<uint32_t>(systemDirectory.size());
    if (length + 1 > size)
        return length + 1;
    std::memcpy(buffer, systemDirectory.c_str(), length + 1);
    return length;
}

uint32_t SimSystem::ExpandEnvironment(const char* text, char* buffer, uint32_t size) {
    if (Fails("system ExpandEnvironment"))
        return 0;
    const std::string out = Expand(text ? text : "");
    const uint32_t need = static_cast<uint32_t>(out.size()) + 1;
    if (need <= size)
        std::memcpy(buffer, out.c_str(), need);
    return need;
}

std::string SimSystem::Expand(const std::string& text) const {
    // %NAME% is replaced when NAME is set (without case); otherwise it stays as written.
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t open = text.find('%', pos);
        size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            out += text.substr(pos);
            break;
        }
        out += text.substr(pos, open - pos);
        auto it = environment.find(Upper(text.substr(open + 1, close - open - 1)));
        if (it != environment.end()) {
            out += it->second;
            pos = close + 1;
        } else {
            out += text.substr(open, close - open);
            pos = close;
        }
    }
    return out;
}

bool SimSystem::FindFile(const char* path, uint64_t* size) {
    if (Fails("system FindFile"))
        return false;
    auto it = files.find(Lower(path));
    if (it == files.end())
        return false;
    if (size)
        *size = it->second;
    return true;
}

uint32_t SimSystem::Launch(const char* commandLine, int32_t show) {
    if (Fails("system Launch"))
        return 0;
    launched.push_back({commandLine, show});
    return launchResult;
}

SysHandle SimSystem::CreateNamedMutex(const char* name, bool /*initialOwner*/,
                                      uint32_t* lastError) {
    const uint32_t error = Fails("system CreateNamedMutex") ? ERROR_ACCESS_DENIED_ : mutexError;
    if (error) {
        if (lastError)
            *lastError = error;
        return 0;
    }
    int& users = mutexes[name];
    if (lastError)
        *lastError = users > 0 ? ERROR_ALREADY_EXISTS_ : 0;
    ++users;
    SysHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = name;
    return handle;
}

void SimSystem::CloseSysHandle(SysHandle handle) {
    Fails("system CloseSysHandle");  // a failed close gives the handle back all the same
    auto it = handles_.find(handle);
    if (it == handles_.end())
        return;
    if (--mutexes[it->second] <= 0)
        mutexes.erase(it->second);
    handles_.erase(it);
}
