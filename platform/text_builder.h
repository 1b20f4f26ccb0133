// Builds a short text into a caller's buffer, printf-style numbers without printf: the text is
// always terminated and never runs past the buffer (what does not fit is cut off).
#pragma once

#include <cstdint>

class TextBuilder {
  public:
    TextBuilder(char* buffer, uint32_t size) : buffer_(buffer), size_(size) {
        if (size_)
            buffer_[0] = 0;
    }
    TextBuilder& Text(const char* text) {
        while (*text)
            Put(*text++);
        return *this;
    }
    // A signed decimal number right-aligned in `width` characters, as "%<width>d" gives it.
    TextBuilder& Number(int32_t value, uint32_t width = 0) {
        char digits[12];
        uint32_t n = 0;
        uint32_t magnitude =
            value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
        do {
            digits[n++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        if (value < 0)
            digits[n++] = '-';
        for (uint32_t pad = n; pad < width; ++pad)
            Put(' ');
        while (n)
            Put(digits[--n]);
        return *this;
    }
    uint32_t length() const { return length_; }

  private:
    void Put(char c) {
        if (length_ + 1 < size_) {
            buffer_[length_++] = c;
            buffer_[length_] = 0;
        }
    }

    char* buffer_;
    uint32_t size_;
    uint32_t length_ = 0;
};
