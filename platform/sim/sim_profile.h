// In-memory profile (ini) files read as the operating system's profile reader reads them.
//
// The file text is parsed afresh on every call, so a test may change it between calls:
// - Lines end at a line feed, a carriage return or a zero byte (so no name or value holds a
//   zero); blanks (space, tab, vertical tab, form feed, ^Z) around names and values are dropped,
//   and blank lines are ignored.
// - "[name]" opens the section `name` (the text up to the line's last ']'); a line that starts
//   with '[' and has no ']' is ignored, so it neither opens a section nor gives a key.
// - "key=value" gives a key of the current section, split at the first '='. Lines without '=',
//   lines before the first section and lines with an empty key name give no key (an empty name
//   would end a key list early).
// - A line whose first character is ';' is a comment, even when it holds '=' or brackets.
// - Section and key names compare without case (ASCII letters).
// - Duplicates: only the first section of a name counts; later sections of that name and their
//   keys are invisible. Within the section every key line is listed, duplicates included, and
//   a value lookup finds the first.
// - A value enclosed in a pair of the same quote (' or ") is returned without the pair.
// - A missing file, section or key gives the default text, trailing spaces dropped; so does a
//   key list of a missing or empty section. A null section lists the section names, each once,
//   "[]" left out.
// - A failed call reads as a file that cannot be opened: the default text.
// - Counts and cuts follow ProfilePort; a list counts as fitting only with two characters to
//   spare, so a count of size - 2 may be a whole list and is taken for a cut one.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/profile.h"
#include "platform/sim/sim_faults.h"

class SimProfile final : public ProfilePort, public FaultInjectable {
  public:
    // Raw file text by lower-case path; a path absent here is a missing file.
    std::map<std::string, std::string> files;
    // Calls made through the port so far.
    uint32_t calls = 0;

    // Puts `text` as the file at `path` (any case).
    void SetFile(const std::string& path, const std::string& text);

    uint32_t ReadProfileString(const char* section, const char* key, const char* defaultText,
                               char* buffer, uint32_t size, const char* path) override;
};
