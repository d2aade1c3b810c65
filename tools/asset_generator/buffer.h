// An owned, fixed-size array for the generator. The generator is compiled in every clean build
// before the game can link, and the standard containers would cost more to compile than all of
// its own code; this is all it needs of them.
#pragma once

#include <cstddef>

namespace kelvora::tools {

template <typename T>
class Buffer {
public:
    Buffer() = default;
    // count value-initialised elements.
    explicit Buffer(size_t count) : data_(count != 0 ? new T[count]() : nullptr), size_(count) {}
    ~Buffer() { delete[] data_; }
    Buffer(Buffer&& other) noexcept : data_(other.data_), size_(other.size_) {
        other.data_ = nullptr;
        other.size_ = 0;
    }
    Buffer& operator=(Buffer&& other) noexcept {
        if (this != &other) {
            delete[] data_;
            data_ = other.data_;
            size_ = other.size_;
            other.data_ = nullptr;
            other.size_ = 0;
        }
        return *this;
    }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    size_t size() const { return size_; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

private:
    T* data_ = nullptr;
    size_t size_ = 0;
};

// Bytes appended one by one into a buffer sized in advance.
struct ByteWriter {
    Buffer<unsigned char> bytes;
    size_t used = 0;

    explicit ByteWriter(size_t capacity) : bytes(capacity) {}
    void Put(unsigned char b) { bytes[used++] = b; }
};

}  // namespace kelvora::tools
