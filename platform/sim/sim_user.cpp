#include "platform/sim/sim_user.h"

// Each row says where it comes from. The registry's rows are the permissions that Windows NT 4.0
// Workstation's setup gives its keys, inherited by the keys made below them later;
// Administrators, SYSTEM and CREATOR OWNER have Full Control everywhere.
namespace {

const DefaultRight kNt4WorkstationUsersRights[] = {
    {UserRight::kWriteKey, HKEY_LOCAL_MACHINE_, "HARDWARE", false,
     "Everyone: Read. The device map below it is written by the system at every start."},
    {UserRight::kWriteKey, HKEY_LOCAL_MACHINE_, "SYSTEM", false,
     "Everyone: Read, on SYSTEM and every key below it: the services' keys, the driver's "
     "settings key among them, and the display's defaults under Hardware Profiles."},
    {UserRight::kWriteKey, HKEY_LOCAL_MACHINE_, "SOFTWARE", true,
     "Everyone: Special Access, Set Value and Create Subkey among it, inherited by the keys that "
     "installers make below SOFTWARE, the maker's key among them; Microsoft's article Q126713 "
     "(\"Resetting Default Access Controls on Selected Registry Keys\") names it on the Run, "
     "RunOnce and Uninstall keys."},
    {UserRight::kWriteKey, HKEY_CURRENT_USER_, "", true,
     "The user's own profile: the user has Full Control of HKEY_CURRENT_USER."},
    {UserRight::kStoreDisplayDefaults, 0, nullptr, false,
     "The defaults are under HKEY_LOCAL_MACHINE\\SYSTEM: ChangeDisplaySettingsA with "
     "CDS_UPDATEREGISTRY answers DISP_CHANGE_NOTUPDATED (\"unable to write settings to the "
     "registry\") and leaves the mode as it was."},
    {UserRight::kChangeModeForSession, 0, nullptr, true,
     "ChangeDisplaySettingsA with flags 0 writes nothing: the mode holds for the session, and "
     "every user may set it."},
    {UserRight::kShutDown, 0, nullptr, true,
     "User Manager, Policies, User Rights, \"Shut down the system\": Windows NT 4.0 Workstation "
     "gives it to Everyone and Users (Server to administrators and operators only)."},
};

}  // namespace

void RunAsOrdinaryUser(SimRegistry& reg, SimSystem& sys, SimBoard* board) {
    for (const DefaultRight& row : kNt4WorkstationUsersRights) {
        switch (row.right) {
            case UserRight::kWriteKey:
                reg.SetWritable(row.root, row.path, row.granted);
                break;
            case UserRight::kStoreDisplayDefaults:
                if (board)
                    board->storesDefaults = row.granted;
                break;
            case UserRight::kChangeModeForSession:
                if (board)
                    board->changesForSession = row.granted;
                break;
            case UserRight::kShutDown:
                sys.privilegeHeld = row.granted;
                break;
        }
    }
}
