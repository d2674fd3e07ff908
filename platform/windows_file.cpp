#include "platform/native_file.h"
#include "platform/native_settings_files.h"

#include <cstring>
#include <cwchar>
#include <iterator>
#include <string_view>
#include <windows.h>

namespace vornset {
namespace {

constexpr DWORD shareWithEveryone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Long paths open only in the \\?\ form of their full path, which Windows takes as it
// stands: no "." or "..", and backslashes only. The full path is written after room
// for the longer prefix, and the prefix is put just before it.
wchar_t longPath[32768 + 8];

NativePath openablePath(NativePath path)
{
    constexpr std::size_t room = 8;
    wchar_t* full = longPath + room;
    auto capacity = static_cast<DWORD>(std::size(longPath) - room);
    DWORD length = GetFullPathNameW(path, capacity, full, nullptr);
    if (length < MAX_PATH || length >= capacity || std::wcsncmp(path, L"\\\\?\\", 4) == 0)
        return path;
    // \\server\share\... becomes \\?\UNC\server\share\...
    bool unc = std::wcsncmp(full, L"\\\\", 2) == 0;
    std::wstring_view prefix = unc ? L"\\\\?\\UNC" : L"\\\\?\\";
    wchar_t* start = (unc ? full + 1 : full) - prefix.size();
    std::wmemcpy(start, prefix.data(), prefix.size());
    return start;
}

// The handle, or nullptr with the reason left for GetLastError.
HANDLE openHandle(NativePath path, DWORD access)
{
    // Backup semantics let a folder open, to be refused by its type like any other
    // file that is not an image.
    HANDLE handle = CreateFileW(path, access, shareWithEveryone, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

bool onlyReadable(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_WRITE_PROTECT;
}

OVERLAPPED at(std::uint64_t offset)
{
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset);
    overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return overlapped;
}

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& information)
{
    return {information.dwVolumeSerialNumber,
            (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

// Repeats a positioned ReadFile or WriteFile until every byte is through.
template <typename Bytes, typename Transfer>
bool transferAll(HANDLE handle, Bytes bytes, std::uint64_t offset, Transfer transfer)
{
    while (!bytes.empty()) {
        OVERLAPPED position = at(offset);
        DWORD count = 0;
        if (!transfer(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &count, &position) || count == 0)
            return false;
        bytes = bytes.subspan(count);
        offset += count;
    }
    return true;
}

// Reads to the end of the file; nothing where that takes more than the buffer. A pipe
// whose writer has closed it has ended.
std::optional<std::size_t> readToEnd(HANDLE handle, std::span<char> buffer)
{
    std::size_t used = 0;
    char beyond = 0;
    for (;;) {
        std::span<char> room = used < buffer.size() ? buffer.subspan(used) : std::span<char>(&beyond, 1);
        DWORD count = 0;
        if (!ReadFile(handle, room.data(), static_cast<DWORD>(room.size()), &count, nullptr))
            return GetLastError() == ERROR_BROKEN_PIPE ? std::optional<std::size_t>(used) : std::nullopt;
        if (count == 0)
            return used;
        if (used == buffer.size())
            return std::nullopt;
        used += count;
    }
}

bool isRegularFile(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION information{};
    return GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &information)
        && (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

bool NativeFile::failed()
{
    error_ = GetLastError();
    return false;
}

std::string_view NativeFile::failure()
{
    if (error_ == 0)
        return {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error_, 0,
                                  failureText_, sizeof failureText_, nullptr);
    std::string_view text(failureText_, length);
    // The system's messages end with a full stop and a line end.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.remove_suffix(1);
    return text;
}

FileAccess::Opening NativeFile::open(Access access)
{
    close();
    error_ = 0;
    NativePath path = openablePath(path_);
    if (access == Access::edit) {
        handle_ = openHandle(path, GENERIC_READ | GENERIC_WRITE);
        writable_ = handle_ != nullptr || failed();
        if (writable_)
            return Opening::opened;
        if (!onlyReadable(error_))
            return Opening::failed;
    }
    handle_ = openHandle(path, GENERIC_READ);
    return handle_ != nullptr || failed() ? Opening::opened : Opening::failed;
}

FileAccess::Locking NativeFile::tryLock(Access access)
{
    DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (access == Access::edit ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    OVERLAPPED whole = at(0);
    if (LockFileEx(handle_, flags, 0, MAXDWORD, MAXDWORD, &whole))
        return Locking::locked;
    if (GetLastError() == ERROR_LOCK_VIOLATION)
        return Locking::heldByOther;
    failed();
    return Locking::failed;
}

std::optional<FileAccess::Status> NativeFile::status()
{
    // Devices such as COM1, NUL and CON are character files; folders have an attribute.
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(handle_) != FILE_TYPE_DISK)
        return Status{false, 0, {}};
    if (!GetFileInformationByHandle(handle_, &information)) {
        failed();
        return std::nullopt;
    }
    bool folder = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::uint64_t length = (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
    return Status{!folder, length, identityOf(information)};
}

std::optional<FileIdentity> NativeFile::identityOfPath()
{
    // No access is asked for: this open only learns which file the path names.
    HANDLE handle = openHandle(openablePath(path_), 0);
    if (handle == nullptr)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    bool known = GetFileInformationByHandle(handle, &information) != 0;
    CloseHandle(handle);
    if (!known)
        return std::nullopt;
    return identityOf(information);
}

bool NativeFile::readAt(std::uint64_t offset, std::span<std::uint8_t> bytes)
{
    SetLastError(0);
    return transferAll(handle_, bytes, offset, ReadFile) || failed();
}

bool NativeFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    SetLastError(0);
    return transferAll(handle_, bytes, offset, WriteFile) || failed();
}

bool NativeFile::sync()
{
    return FlushFileBuffers(handle_) != 0 || failed();
}

bool NativeFile::close()
{
    if (handle_ == nullptr)
        return true;
    bool closed = CloseHandle(handle_) != 0 || failed();
    handle_ = nullptr;
    writable_ = false;
    return closed;
}

// The narrow argument and its wide form differ in length where a character takes
// more than one byte, so only the ends that are ASCII keys ("load=") are counted off.
const wchar_t* NativeSettingsFiles::widePath(std::string_view name) const
{
    for (std::size_t i = 0; i < arguments_.size(); ++i) {
        const char* argument = arguments_[i];
        std::size_t skipped = static_cast<std::size_t>(name.data() - argument);
        if (name.data() >= argument && skipped <= std::strlen(argument))
            return wideArguments_[i] + skipped;
    }
    return nullptr;
}

bool NativeSettingsFiles::isFile(std::string_view name)
{
    const wchar_t* path = widePath(name);
    DWORD attributes = path != nullptr ? GetFileAttributesW(openablePath(path)) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::size_t> NativeSettingsFiles::read(std::string_view name, std::span<char> buffer)
{
    if (name == standardInput)
        return readToEnd(GetStdHandle(STD_INPUT_HANDLE), buffer);
    const wchar_t* path = widePath(name);
    HANDLE handle = path != nullptr ? openHandle(openablePath(path), GENERIC_READ) : nullptr;
    if (handle == nullptr)
        return std::nullopt;
    std::optional<std::size_t> length;
    if (isRegularFile(handle))
        length = readToEnd(handle, buffer);
    CloseHandle(handle);
    return length;
}

} // namespace vornset
