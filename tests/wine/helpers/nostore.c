/* Hook library that keeps a program from storing the display mode, as Windows NT refuses a user
 * who may not write the display's defaults; Wine enforces no rights and always stores.
 *
 * `probe inject TITLE nostore.dll MS` loads it into the process of the window titled TITLE by a
 * WH_GETMESSAGE hook (GetMsgProc only passes the messages on). As it is loaded, it points the
 * main module's import of USER32!ChangeDisplaySettingsA at NoStore, takes a reference to itself
 * (Windows unloads a hook's library from the hooked process once the hook is removed; Wine 8.0
 * leaves it) and sets the event "probe injected <pid>". A process whose main module does not
 * import that function is left as it was, and the event is not set.
 *
 * NoStore answers DISP_CHANGE_NOTUPDATED to a call with CDS_UPDATEREGISTRY and without CDS_TEST,
 * without asking the system; every other call goes to the system. Each call appends the line
 *   flags=F mode=WxHxB answer=A
 * to C:\nostore.log (none for a null mode).
 */
#include <stdio.h>
#include <string.h>
#include <windows.h>

typedef LONG(WINAPI* ChangeSettingsFn)(DEVMODEA*, DWORD);

static ChangeSettingsFn g_system;

static LONG WINAPI NoStore(DEVMODEA* mode, DWORD flags) {
    LONG answer;
    FILE* log;
    if ((flags & CDS_UPDATEREGISTRY) && !(flags & CDS_TEST))
        answer = DISP_CHANGE_NOTUPDATED;
    else
        answer = g_system(mode, flags);
    log = fopen("C:\\nostore.log", "ab");
    if (log && mode) {
        fprintf(log, "flags=%lu mode=%lux%lux%lu answer=%ld\n", (unsigned long)flags,
                (unsigned long)mode->dmPelsWidth, (unsigned long)mode->dmPelsHeight,
                (unsigned long)mode->dmBitsPerPel, (long)answer);
    }
    if (log)
        fclose(log);
    return answer;
}

/* The main module's import slot of USER32!ChangeDisplaySettingsA, or NULL. */
static void** FindSlot(void) {
    BYTE* base = (BYTE*)GetModuleHandleA(NULL);
    IMAGE_DOS_HEADER* dos = (IMAGE_DOS_HEADER*)base;
    IMAGE_NT_HEADERS* nt;
    IMAGE_DATA_DIRECTORY* imports;
    IMAGE_IMPORT_DESCRIPTOR* dll;
    if (!base || dos->e_magic != IMAGE_DOS_SIGNATURE)
        return NULL;
    nt = (IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return NULL;
    imports = &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports->VirtualAddress || !imports->Size)
        return NULL;
    for (dll = (IMAGE_IMPORT_DESCRIPTOR*)(base + imports->VirtualAddress); dll->Name; ++dll) {
        IMAGE_THUNK_DATA* names;
        IMAGE_THUNK_DATA* slots;
        /* The names are read from the lookup table; the slots hold addresses by now. */
        if (lstrcmpiA((const char*)(base + dll->Name), "USER32.dll") != 0 ||
            !dll->OriginalFirstThunk)
            continue;
        names = (IMAGE_THUNK_DATA*)(base + dll->OriginalFirstThunk);
        slots = (IMAGE_THUNK_DATA*)(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            const IMAGE_IMPORT_BY_NAME* byName;
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            byName = (const IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (strcmp((const char*)byName->Name, "ChangeDisplaySettingsA") == 0)
                return (void**)&slots->u1.Function;
        }
    }
    return NULL;
}

static void Attach(HINSTANCE self) {
    char path[MAX_PATH], name[64];
    void** slot = FindSlot();
    DWORD protection;
    HANDLE ready;
    if (!slot || *slot == (void*)NoStore)
        return;
    if (!GetModuleFileNameA(self, path, sizeof(path)) || !LoadLibraryA(path))
        return;
    if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection))
        return;
    g_system = (ChangeSettingsFn)*slot;
    *slot = (void*)NoStore;
    VirtualProtect(slot, sizeof(*slot), protection, &protection);
    /* probe's name for the event; it made the event before hooking. */
    wsprintfA(name, "probe injected %lu", (unsigned long)GetCurrentProcessId());
    ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, name);
    if (ready) {
        SetEvent(ready);
        CloseHandle(ready);
    }
}

__declspec(dllexport) LRESULT CALLBACK GetMsgProc(int code, WPARAM removal, LPARAM lParam) {
    return CallNextHookEx(NULL, code, removal, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        Attach(instance);
    }
    return TRUE;
}
