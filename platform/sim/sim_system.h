// In-memory machine facts and services: what the programs launch and beep is recorded. A failed
// call answers 0, false or a null mutex (with ERROR_ACCESS_DENIED), and is not recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_faults.h"
#include "platform/system.h"

// One simulated machine serves every program's view of the system.
class SimSystem final : public TraySystem,
                        public AppletSystem,
                        public ReminderSystem,
                        public ControllerSystem,
                        public FaultInjectable {
  public:
    struct Launched {
        std::string commandLine;
        int32_t show;
    };

    uint32_t platformId = VER_PLATFORM_WIN32_NT_;
    std::string systemDirectory = "C:\\WINNT\\system32";
    std::map<std::string, std::string> environment;  // by upper-case name
    std::map<std::string, uint64_t> files;           // by lower-case path
    uint32_t launchResult = 33;
    uint32_t mutexError = 0;  // when nonzero, CreateNamedMutex fails with this error

    std::vector<Launched> launched;
    std::vector<uint32_t> beeps;
    std::map<std::string, int> mutexes;  // name -> open handles
    int OpenHandleCount() const { return static_cast<int>(handles_.size()); }

    uint32_t PlatformId() override { return Fails("system PlatformId") ? 0 : platformId; }
    uint32_t SystemDirectory(char* buffer, uint32_t size) override;
    uint32_t ExpandEnvironment(const char* text, char* buffer, uint32_t size) override;
    bool FindFile(const char* path, uint64_t* size) override;
    uint32_t Launch(const char* commandLine, int32_t show) override;
    void Beep(uint32_t type) override {
        if (!Fails("system Beep"))
            beeps.push_back(type);
    }
    SysHandle CreateNamedMutex(const char* name, bool initialOwner, uint32_t* lastError) override;

    // ExpandEnvironment's text, as a string.
    std::string Expand(const std::string& text) const;
    void CloseSysHandle(SysHandle handle) override;
    // Pauses are not waited: they are recorded, in `trace` too when a test gives one.
    void Sleep(uint32_t milliseconds) override {
        if (Fails("system Sleep"))
            return;
        sleeps.push_back(milliseconds);
        if (trace)
            trace->push_back("sleep " + std::to_string(milliseconds));
    }
    std::vector<uint32_t> sleeps;
    // Privileges enabled and ExitWindowsEx flags, in `trace` too when a test gives one. A token
    // without the privilege (AdjustTokenPrivileges' ERROR_NOT_ALL_ASSIGNED) enables none, and
    // a refused ExitWindowsEx restarts nothing; `onExit` sees the machine when the restart is
    // asked for.
    bool privilegeHeld = true;
    bool exitRefused = false;
    std::function<void()> onExit;
    bool EnablePrivilege(const char* name) override {
        if (Fails("system EnablePrivilege") || !privilegeHeld)
            return false;
        privileges.push_back(name);
        if (trace)
            trace->push_back(std::string("privilege ") + name);
        return true;
    }
    bool ExitSession(uint32_t flags, uint32_t reserved) override {
        if (onExit)
            onExit();
        if (Fails("system ExitSession") || exitRefused)
            return false;
        exits.push_back({flags, reserved});
        if (trace)
            trace->push_back("exit " + std::to_string(flags));
        return true;
    }
    std::vector<std::string> privileges;
    std::vector<std::pair<uint32_t, uint32_t>> exits;  // flags and the reserved argument
    std::vector<std::string>* trace = nullptr;

  private:
    std::map<SysHandle, std::string> handles_;
    SysHandle nextHandle_ = 0x40;
};
