// A growable array of plain records over malloc: no exceptions and none of the C++ library's
// runtime, so the small programs stay small. Allocation failures are reported, not thrown.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

template <class T>
class PodArray {
    static_assert(std::is_trivially_copyable<T>::value, "plain records only");

  public:
    PodArray() = default;
    PodArray(const PodArray&) = delete;
    PodArray& operator=(const PodArray&) = delete;
    ~PodArray() { std::free(data_); }

    // Room for at least `count` records; false (and nothing changed) when it cannot be had.
    bool Reserve(uint32_t count) {
        if (count <= capacity_)
            return true;
        if (count > SIZE_MAX / sizeof(T))
            return false;
        void* grown = std::realloc(data_, count * sizeof(T));
        if (!grown)
            return false;
        data_ = static_cast<T*>(grown);
        capacity_ = count;
        return true;
    }
    bool Push(const T& item) {
        if (size_ == capacity_ && !Reserve(capacity_ < 8 ? 8 : capacity_ * 2))
            return false;
        std::memcpy(static_cast<void*>(data_ + size_), &item, sizeof(T));
        ++size_;
        return true;
    }
    // Empties the array and gives its memory back.
    void Clear() {
        std::free(data_);
        data_ = nullptr;
        size_ = capacity_ = 0;
    }

    uint32_t size() const { return size_; }
    uint32_t capacity() const { return capacity_; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    T& operator[](uint32_t i) { return data_[i]; }
    const T& operator[](uint32_t i) const { return data_[i]; }

  private:
    T* data_ = nullptr;
    uint32_t size_ = 0;
    uint32_t capacity_ = 0;
};
