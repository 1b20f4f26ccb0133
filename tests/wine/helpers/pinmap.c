/* Presents a display device of our choosing in Wine's device map.
 *
 *   pinmap N SERVICE\DEVICE   makes "\Device\VideoN" name the settings key
 *                              HKLM\System\CurrentControlSet\Services\SERVICE\DEVICE
 *   pinmap show N             prints the value "\Device\VideoN" holds now
 *
 * Wine rewrites a device-map entry unless the hardware-profile mirror of the key it names
 * exists and carries the values of its own adapter; so those values are copied into a volatile
 * mirror of the new key first. The settings key itself must exist (the caller seeds it).
 */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#define MAP_KEY "HARDWARE\\DEVICEMAP\\VIDEO"
#define PROFILE "System\\CurrentControlSet\\Hardware Profiles\\Current\\"
#define SERVICES "System\\CurrentControlSet\\Services\\"

static int ReadMap(int n, char* out, DWORD size) {
    char name[32];
    HKEY map;
    DWORD type = 0;
    LONG rc;
    sprintf(name, "\\Device\\Video%d", n);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MAP_KEY, 0, KEY_READ, &map))
        return 0;
    rc = RegQueryValueExA(map, name, NULL, &type, (BYTE*)out, &size);
    RegCloseKey(map);
    return rc == ERROR_SUCCESS;
}

/* Creates every missing level of `path` below HKLM as a volatile key. */
static HKEY CreateVolatile(const char* path) {
    char part[512];
    const char* p = path;
    HKEY key = NULL;
    for (;;) {
        const char* slash = strchr(p, '\\');
        size_t n = slash ? (size_t)(slash - path) : strlen(path);
        DWORD disposition;
        memcpy(part, path, n);
        part[n] = 0;
        if (key)
            RegCloseKey(key);
        key = NULL;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, part, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                            NULL, &key, &disposition) != ERROR_SUCCESS) {
            return NULL;
        }
        if (!slash)
            return key;
        p = slash + 1;
    }
}

static void CopyValues(HKEY from, HKEY to) {
    DWORD i;
    for (i = 0;; ++i) {
        char name[256];
        BYTE data[4096];
        DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
        if (RegEnumValueA(from, i, name, &nameSize, NULL, &type, data, &dataSize))
            break;
        RegSetValueExA(to, name, 0, type, data, dataSize);
    }
}

int main(int argc, char** argv) {
    char current[512] = {0};
    char mirror[512];
    char target[512];
    char valueName[32];
    HKEY wineKey, mirrorKey, map;
    int n;
    const char* tail;

    if (argc == 3 && strcmp(argv[1], "show") == 0) {
        if (!ReadMap(atoi(argv[2]), current, sizeof(current) - 1))
            return 1;
        printf("%s\n", current);
        return 0;
    }
    if (argc != 3) {
        fprintf(stderr, "usage: pinmap N SERVICE\\DEVICE | pinmap show N\n");
        return 2;
    }
    n = atoi(argv[1]);
    if (!ReadMap(0, current, sizeof(current) - 1)) {
        fprintf(stderr, "pinmap: no \\Device\\Video0\n");
        return 1;
    }
    /* Wine's own adapter: "\Registry\Machine\" + a path below HKLM. */
    tail = strchr(current + 1, '\\');
    tail = tail ? strchr(tail + 1, '\\') : NULL;
    if (!tail)
        return 1;
    snprintf(mirror, sizeof(mirror), "%s%s", PROFILE, tail + 1);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, mirror, 0, KEY_READ, &wineKey) == ERROR_SUCCESS) {
        snprintf(target, sizeof(target), "%s%s%s", PROFILE, SERVICES, argv[2]);
        mirrorKey = CreateVolatile(target);
        if (mirrorKey) {
            CopyValues(wineKey, mirrorKey);
            RegCloseKey(mirrorKey);
        }
        RegCloseKey(wineKey);
    }
    snprintf(target, sizeof(target), "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\%s",
             argv[2]);
    sprintf(valueName, "\\Device\\Video%d", n);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MAP_KEY, 0, KEY_SET_VALUE, &map))
        return 1;
    RegSetValueExA(map, valueName, 0, REG_SZ, (const BYTE*)target, (DWORD)strlen(target) + 1);
    RegCloseKey(map);
    return 0;
}
