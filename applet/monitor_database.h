// The monitor timing database: the model names of section "MONITOR" and each model's sizes.
#pragma once

#include <cstdint>

#include "platform/profile.h"
#include "platform/system.h"

constexpr char kDatabasePathText[] = "%SYSTEMROOT%\\system32\\drivers\\orvel\\timing\\monitor.ini";
constexpr uint32_t kDatabasePathChars = 1024;
constexpr char kMonitorSection[] = "MONITOR";
constexpr char kXSizeKey[] = "X_SIZE";
constexpr char kYSizeKey[] = "Y_SIZE";
constexpr char kDefaultModelPrefix[] = "31kHz";
// A model name and its terminator; longer names never reach the lists.
constexpr uint32_t kModelNameChars = 40;
// Room for the key list of "MONITOR"; a count of kKeyListChars - 2 or more means it did not fit.
constexpr uint32_t kKeyListChars = 5120;
// Room for one size value; a count of kSizeTextChars - 2 or more means too long.
constexpr uint32_t kSizeTextChars = 256;
constexpr uint32_t kMissingSize = 999;

// Model names in file order, each at most kModelNameChars - 1 characters: the reader's key list
// and where each listed name starts in it.
struct MonitorList {
    uint32_t count = 0;
    uint16_t offsets[kKeyListChars / 2] = {};
    char text[kKeyListChars] = {};
    const char* Name(uint32_t index) const { return text + offsets[index]; }
};

// Expands kDatabasePathText into `path` (kDatabasePathChars characters); true when the text with
// its terminator takes 1 to kDatabasePathChars characters, else false with `path` emptied. It
// does not beep: the dialog that opens gives the warning beep on failure and does not go on to
// LoadMonitorList.
bool ExpandDatabasePath(AppletSystem& sys, char* path);

// The model names of the database at the expanded `path`, in file order; for the single-adapter
// dialog without the names that carry "single" or "SINGLE" (case-sensitive, so "Single" stays).
// Names longer than kModelNameChars - 1 characters are left out. False, with one warning beep,
// when the file or the section is missing, the section is empty or its key list does not fit.
bool LoadMonitorList(AppletSystem& sys, ProfilePort& profile, const char* path, bool singleDialog,
                     MonitorList* list);

// "X_SIZE" or "Y_SIZE" of `model`: 999 when the database lacks it; false when the value is empty
// or too long.
bool ReadMonitorSize(ProfilePort& profile, const char* path, const char* model, const char* key,
                     uint32_t* size);
