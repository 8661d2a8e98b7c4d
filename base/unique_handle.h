// Owns one Windows kernel handle (an event, a file, a thread) and closes it when it goes.
#pragma once

#include <utility>
#include <windows.h>

class UniqueHandle {
public:
    UniqueHandle() = default;
    // Takes `handle`; a null or INVALID_HANDLE_VALUE handle leaves it empty.
    explicit UniqueHandle(HANDLE handle) { Reset(handle); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != nullptr; }
    // Gives the handle up without closing it (for a caller that closes it and looks at the result).
    HANDLE Release() { return std::exchange(handle_, nullptr); }
    void Reset(HANDLE handle = nullptr) {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
        handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }

private:
    HANDLE handle_ = nullptr;
};
