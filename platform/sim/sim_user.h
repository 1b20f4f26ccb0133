// An ordinary user of the simulated machine: a member of Windows NT 4.0 Workstation's Users
// group, not an administrator, with the rights that a fresh installation gives that group. The
// tools are installed by an administrator and started at every user's logon; most people at such
// a desktop are Users.
#pragma once

#include <cstdint>

#include "platform/registry.h"
#include "platform/sim/sim_board.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"

enum class UserRight : uint8_t {
    kWriteKey,              // write the key and the keys below it (`root`, `path`)
    kStoreDisplayDefaults,  // ChangeDisplaySettingsA with CDS_UPDATEREGISTRY
    kChangeModeForSession,  // ChangeDisplaySettingsA with flags 0
    kShutDown,              // SeShutdownPrivilege, for ExitWindowsEx
};

struct DefaultRight {
    UserRight right;
    RegKey root;       // kWriteKey only
    const char* path;  // kWriteKey only; "" is the root itself
    bool granted;
    const char* source;  // where the row comes from
};

// From now on the machine's programs run as such a user, with the rights of the table of the
// Users group's defaults on Windows NT 4.0 Workstation (sim_user.cpp, each row with its source),
// as far as the tools meet them. Reading is allowed everywhere the tools read (Everyone: Read on
// every key the table names). The registry refuses the writes that the table refuses, the display
// (where the machine has the board) keeps its defaults, and the privileges are the table's.
void RunAsOrdinaryUser(SimRegistry& reg, SimSystem& sys, SimBoard* board = nullptr);
