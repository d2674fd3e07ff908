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

// Repeats a positioned ReadFile or WriteFile until every byte is through, and returns
// how many are.
template <typename Bytes, typename Transfer>
std::size_t transferAll(HANDLE handle, Bytes bytes, std::uint64_t offset, Transfer transfer)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED position = at(offset + done);
        DWORD count = 0;
        if (!transfer(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &count, &position)
            || count == 0)
            break;
        done += count;
    }
    return done;
}

using Fault = SettingsFiles::Fault;

// Reads to the end of the file, where that fits the buffer. A pipe whose writer has
// closed it has ended.
SettingsFiles::Reading readToEnd(HANDLE handle, std::span<char> buffer)
{
    std::size_t used = 0;
    char beyond = 0;
    for (;;) {
        std::span<char> room = used < buffer.size() ? buffer.subspan(used) : std::span<char>(&beyond, 1);
        DWORD count = 0;
        if (!ReadFile(handle, room.data(), static_cast<DWORD>(room.size()), &count, nullptr))
            return GetLastError() == ERROR_BROKEN_PIPE ? SettingsFiles::Reading{used, Fault::none}
                                                       : SettingsFiles::Reading{0, Fault::system};
        if (count == 0)
            return {used, Fault::none};
        if (used == buffer.size())
            return {0, Fault::tooLarge};
        used += count;
    }
}

// Devices such as COM1, NUL and CON are character files; folders have an attribute.
std::optional<FileAccess::Kind> kindOf(HANDLE handle, BY_HANDLE_FILE_INFORMATION& information)
{
    if (GetFileType(handle) != FILE_TYPE_DISK)
        return FileAccess::Kind::other;
    if (!GetFileInformationByHandle(handle, &information))
        return std::nullopt;
    bool folder = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return folder ? FileAccess::Kind::folder : FileAccess::Kind::regular;
}

// The system's words for an error, without the full stop and line end they end with.
std::string_view systemWords(DWORD error, std::span<char> buffer)
{
    if (error == 0)
        return {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
    std::string_view text(buffer.data(), length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.remove_suffix(1);
    return text;
}

} // namespace

bool NativeFile::failed()
{
    if (error_ == 0)
        error_ = GetLastError();
    return false;
}

std::string_view NativeFile::failure()
{
    return systemWords(error_, failureText_);
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
    BY_HANDLE_FILE_INFORMATION information{};
    std::optional<Kind> kind = kindOf(handle_, information);
    if (!kind) {
        failed();
        return std::nullopt;
    }
    std::uint64_t length = (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
    return Status{*kind, length, identityOf(information)};
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
    return transferAll(handle_, bytes, offset, ReadFile) == bytes.size() || failed();
}

std::size_t NativeFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    SetLastError(0);
    std::size_t written = transferAll(handle_, bytes, offset, WriteFile);
    if (written < bytes.size())
        failed();
    return written;
}

// Windows sets no limit on the size of the files a process writes.
std::optional<std::uint64_t> NativeFile::sizeLimit()
{
    return std::nullopt;
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

SettingsFiles::Reading NativeSettingsFiles::read(std::string_view name, std::span<char> buffer)
{
    if (name == standardInput)
        return kept(readToEnd(GetStdHandle(STD_INPUT_HANDLE), buffer));
    const wchar_t* path = widePath(name);
    HANDLE handle = path != nullptr ? openHandle(openablePath(path), GENERIC_READ) : nullptr;
    if (handle == nullptr)
        return kept({0, Fault::system});
    BY_HANDLE_FILE_INFORMATION information{};
    std::optional<FileAccess::Kind> kind = kindOf(handle, information);
    Reading reading{0, Fault::system};
    if (kind == FileAccess::Kind::regular)
        reading = readToEnd(handle, buffer);
    else if (kind)
        reading.fault = kind == FileAccess::Kind::folder ? Fault::folder : Fault::notAFile;
    kept(reading);
    CloseHandle(handle);
    return reading;
}

SettingsFiles::Reading NativeSettingsFiles::kept(Reading reading)
{
    error_ = reading.fault == Fault::system ? GetLastError() : 0;
    return reading;
}

std::string_view NativeSettingsFiles::failure()
{
    return systemWords(error_, failureText_);
}

} // namespace vornset
