#pragma once

#include "image/file_access.h"

namespace vornset {

#ifdef _WIN32
using NativePath = const wchar_t*;
#else
using NativePath = const char*;
#endif

// FileAccess through the platform's own calls: POSIX descriptors, or Win32 handles
// opened by wide path so that every name Windows can hold opens.
class NativeFile final : public FileAccess {
public:
    explicit NativeFile(NativePath path) : path_(path) {}
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;
    ~NativeFile() { close(); }

    Opening open(Access access) override;
    bool writable() const override { return writable_; }
    Locking tryLock(Access access) override;
    std::optional<Status> status() override;
    std::optional<FileIdentity> identityOfPath() override;
    bool readAt(std::uint64_t offset, std::span<std::uint8_t> bytes) override;
    std::size_t writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override;
    std::optional<std::uint64_t> sizeLimit() override;
    bool sync() override;
    bool close() override;
    std::string_view failure() override;

private:
    // Keeps the system's error of the first call that failed, and returns false.
    bool failed();

    NativePath path_;
    bool writable_ = false;
    unsigned long error_ = 0;
#ifdef _WIN32
    void* handle_ = nullptr;
    char failureText_[256] = {};
#else
    int descriptor_ = -1;
#endif
};

} // namespace vornset
