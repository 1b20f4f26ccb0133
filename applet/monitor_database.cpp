#include "applet/monitor_database.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kMissingSizeText[] = "999";

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The size text as an unsigned 32-bit number, read as the Windows C runtime's strtoul reads it
// in base 10: leading white space, one optional sign, then decimal digits up to the first other
// character. No digits give 0; the magnitude stops at 4294967295; a minus then negates it modulo
// 2^32 (so "-5" gives 4294967291 and any larger negative number gives 1).
uint32_t ParseSize(const char* text) {
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    constexpr uint64_t kMax = 0xFFFFFFFFu;
    uint64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        magnitude = std::min<uint64_t>(magnitude * 10 + static_cast<uint64_t>(*p - '0'), kMax);
    const uint32_t value = static_cast<uint32_t>(magnitude);
    return negative ? 0u - value : value;
}

bool CarriesSingleMarker(const char* name) {
    return std::strstr(name, "single") || std::strstr(name, "SINGLE");
}

}  // namespace

bool ExpandDatabasePath(AppletSystem& sys, char* path) {
    const uint32_t needed = sys.ExpandEnvironment(kDatabasePathText, path, kDatabasePathChars);
    if (needed >= 1 && needed <= kDatabasePathChars)
        return true;
    path[0] = '\0';
    return false;
}

bool LoadMonitorList(AppletSystem& sys, ProfilePort& profile, const char* path, bool singleDialog,
                     MonitorList* list) {
    list->count = 0;
    const uint32_t copied =
        profile.ReadProfileString(kMonitorSection, nullptr, "", list->text, kKeyListChars, path);
    if (copied == 0 || copied >= kKeyListChars - 2) {
        sys.Beep(MB_ICONEXCLAMATION_);
        return false;
    }
    // Every name and its zero lie within the count, so the walk stops there, or earlier at an
    // empty name, and never reads past what the reader wrote.
    uint32_t pos = 0;
    while (pos < copied && list->text[pos] != '\0') {
        const void* zero = std::memchr(list->text + pos, '\0', copied - pos);
        if (!zero)
            break;
        const uint32_t end = static_cast<uint32_t>(static_cast<const char*>(zero) - list->text);
        const char* name = list->text + pos;
        // A longer name would be cut in the dialogs to one the database does not have.
        const bool fits = end - pos < kModelNameChars;
        if (fits && !(singleDialog && CarriesSingleMarker(name)))
            list->offsets[list->count++] = static_cast<uint16_t>(pos);
        pos = end + 1;
    }
    return true;
}

bool ReadMonitorSize(ProfilePort& profile, const char* path, const char* model, const char* key,
                     uint32_t* size) {
    char text[kSizeTextChars];
    const uint32_t copied =
        profile.ReadProfileString(model, key, kMissingSizeText, text, kSizeTextChars, path);
    if (copied == 0 || copied >= kSizeTextChars - 2)
        return false;
    text[copied] = '\0';
    *size = ParseSize(text);
    return true;
}
