#include "platform/sim/sim_profile.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string_view>

namespace {

// Space, tab, vertical tab, form feed, and the old end-of-file mark (^Z).
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), Fold);
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

struct Line {
    enum Kind { kOther, kSection, kKey } kind = kOther;
    std::string_view name;
    std::string_view value;
};

Line Classify(std::string_view text) {
    Line line;
    text = Trim(text);
    if (text.empty() || text.front() == ';')
        return line;
    if (text.front() == '[') {
        const size_t close = text.rfind(']');
        if (close == std::string_view::npos)
            return line;
        line.kind = Line::kSection;
        line.name = Trim(text.substr(1, close - 1));
        return line;
    }
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return line;
    line.name = Trim(text.substr(0, equals));
    if (line.name.empty())
        return line;
    line.kind = Line::kKey;
    line.value = Trim(text.substr(equals + 1));
    return line;
}

// Calls `visit` with each line of `text` until it returns false. A line ends at a line feed, a
// carriage return or a zero byte; the string's own terminator ends the last one.
template <typename Visit>
void ForEachLine(const std::string& text, Visit visit) {
    size_t start = 0;
    while (start < text.size()) {
        const size_t length = std::strcspn(text.c_str() + start, "\r\n");
        if (!visit(Classify(std::string_view(text.data() + start, length))))
            return;
        start += length + 1;
    }
}

// Copies `text` cut to size - 1 characters and a zero; returns the characters copied.
uint32_t CopyText(std::string_view text, char* buffer, uint32_t size) {
    const size_t length = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<uint32_t>(length);
}

// A list of names, each ended by a zero and the list by a further zero. The list counts as
// fitting only when two characters remain after its names, so a count of size - 2 may be a whole
// list or a cut one. A list that does not fit keeps its first size - 2 characters (the last name
// cut wherever that falls) and ends with two zeros; the count is then size - 2.
class ListWriter {
  public:
    ListWriter(char* buffer, uint32_t size) : buffer_(buffer), size_(size) {}

    void Add(std::string_view name) {
        if (count_ < size_) {
            const size_t room = static_cast<size_t>(size_ - count_);
            std::memcpy(buffer_ + count_, name.data(), std::min(name.size(), room));
        }
        count_ += name.size();
        if (count_ < size_)
            buffer_[count_] = '\0';
        ++count_;
    }

    bool Empty() const { return count_ == 0; }

    uint32_t Finish() {
        if (count_ + 2 <= size_) {
            buffer_[count_] = '\0';
            return static_cast<uint32_t>(count_);
        }
        if (size_ < 2) {
            buffer_[0] = '\0';
            return 0;
        }
        buffer_[size_ - 2] = '\0';
        buffer_[size_ - 1] = '\0';
        return size_ - 2;
    }

  private:
    char* buffer_;
    uint64_t size_;
    uint64_t count_ = 0;
};

}  // namespace

void SimProfile::SetFile(const std::string& path, const std::string& text) {
    files[Lower(path)] = text;
}

uint32_t SimProfile::ReadProfileString(const char* section, const char* key,
                                       const char* defaultText, char* buffer, uint32_t size,
                                       const char* path) {
    ++calls;
    if (!buffer || size == 0)
        return 0;
    std::string_view fallback = defaultText ? defaultText : "";
    while (!fallback.empty() && fallback.back() == ' ')
        fallback.remove_suffix(1);

    const auto file =
        Fails("profile ReadProfileString") ? files.end() : files.find(Lower(path ? path : ""));
    if (file == files.end())
        return CopyText(fallback, buffer, size);
    const std::string& text = file->second;

    ListWriter list(buffer, size);
    if (!section) {
        std::set<std::string> seen;
        ForEachLine(text, [&](const Line& line) {
            if (line.kind == Line::kSection && !line.name.empty() &&
                seen.insert(Lower(line.name)).second)
                list.Add(line.name);
            return true;
        });
        return list.Empty() ? CopyText(fallback, buffer, size) : list.Finish();
    }

    // Only the first section of the name is read: the walk stops at the next section line.
    bool inSection = false;
    bool found = false;
    bool hit = false;
    std::string_view value;
    ForEachLine(text, [&](const Line& line) {
        if (line.kind == Line::kSection) {
            if (found)
                return false;
            inSection = found = SameName(line.name, section);
        } else if (line.kind == Line::kKey && inSection) {
            if (!key) {
                list.Add(line.name);
            } else if (SameName(line.name, key)) {
                value = Unquote(line.value);
                hit = true;
                return false;
            }
        }
        return true;
    });
    if (!key)
        return list.Empty() ? CopyText(fallback, buffer, size) : list.Finish();
    return CopyText(hit ? value : fallback, buffer, size);
}
