// Makes the system calls that the tool makes on one file behave as a test asks, so
// that the end-to-end tests reach errors that a real file cannot be made to give.
// Loaded with LD_PRELOAD; every other file and call goes through untouched.
//
//   VORNSET_SHIM_FILE   the path of the file, as the tool opens it
//   VORNSET_SHIM        what happens to it:
//     open-rw=ERRNO       an open for reading and writing fails with ERRNO, one of
//                         EACCES, EPERM, EROFS, ETXTBSY, ENOENT
//     open-fd0            the file is opened on descriptor 0
//     pread-eintr=N       the first N preads fail with EINTR; N of -1 means all
//     pwrite-eintr=N      the same for pwrite
//     flock-eintr=N       the same for flock
//     fstat-eio           fstat of the open file fails with EIO
//     pwrite-term         the first pwrite, once through, is followed by SIGTERM,
//                         as from another program while the image is written
//   VORNSET_SHIM_LOG    where each call on the file is logged as "CALL DESCRIPTOR"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

struct Rule {
    std::string_view name;
    int* count;
};

int readInterruptions = 0;
int writeInterruptions = 0;
int lockInterruptions = 0;
int openError = 0;
bool statFails = false;
bool openOnZero = false;
bool terminateAfterWrite = false;
dev_t fileDevice = 0;
ino_t fileInode = 0;
bool fileKnown = false;

const char* setting(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

int errorNamed(std::string_view name)
{
    const std::pair<std::string_view, int> errors[] = {
        {"EIO", EIO},
        {"EACCES", EACCES}, {"EPERM", EPERM}, {"EROFS", EROFS}, {"ETXTBSY", ETXTBSY}, {"ENOENT", ENOENT}};
    for (auto [text, number] : errors)
        if (name == text)
            return number;
    return EINVAL;
}

__attribute__((constructor)) void readRules()
{
    std::string_view rule = setting("VORNSET_SHIM");
    std::string_view value = rule.substr(rule.find('=') == std::string_view::npos ? rule.size() : rule.find('=') + 1);
    const Rule counted[] = {
        {"pread-eintr=", &readInterruptions}, {"pwrite-eintr=", &writeInterruptions}, {"flock-eintr=", &lockInterruptions}};
    for (const Rule& r : counted)
        if (rule.starts_with(r.name))
            *r.count = std::atoi(value.data());
    if (rule.starts_with("open-rw="))
        openError = errorNamed(value);
    openOnZero = rule == "open-fd0";
    statFails = rule == "fstat-eio";
    terminateAfterWrite = rule == "pwrite-term";
}

template <typename Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

void log(const char* call, int descriptor)
{
    const char* path = setting("VORNSET_SHIM_LOG");
    if (*path == '\0')
        return;
    int log = next<int (*)(const char*, int, ...)>("open")(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (log < 0)
        return;
    char line[64];
    int length = std::snprintf(line, sizeof line, "%s %d\n", call, descriptor);
    (void)!write(log, line, static_cast<std::size_t>(length));
    close(log);
}

bool isTheFile(int descriptor)
{
    struct stat info{};
    return fileKnown && fstat(descriptor, &info) == 0 && info.st_dev == fileDevice && info.st_ino == fileInode;
}

// Whether a call on the file fails this time: a count of -1 never runs out.
bool interrupts(int& count)
{
    if (count == 0)
        return false;
    if (count > 0)
        --count;
    errno = EINTR;
    return true;
}

int openFile(const char* symbol, const char* path, int flags, mode_t mode)
{
    bool target = std::strcmp(path, setting("VORNSET_SHIM_FILE")) == 0;
    if (target && openError != 0 && (flags & O_ACCMODE) == O_RDWR) {
        errno = openError;
        return -1;
    }
    int descriptor = next<int (*)(const char*, int, ...)>(symbol)(path, flags, mode);
    if (!target || descriptor < 0)
        return descriptor;
    struct stat info{};
    if (fstat(descriptor, &info) == 0) {
        fileDevice = info.st_dev;
        fileInode = info.st_ino;
        fileKnown = true;
    }
    if (openOnZero && descriptor != 0) {
        dup2(descriptor, 0);
        close(descriptor);
        descriptor = 0;
    }
    log("open", descriptor);
    return descriptor;
}

mode_t modeOf(int flags, va_list arguments)
{
    return (flags & O_CREAT) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    return openFile("open", path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    return openFile("open64", path, flags, mode);
}

ssize_t pread64(int descriptor, void* buffer, size_t size, off64_t offset)
{
    bool target = isTheFile(descriptor);
    if (target) {
        log("pread", descriptor);
        if (interrupts(readInterruptions))
            return -1;
    }
    return next<ssize_t (*)(int, void*, size_t, off64_t)>("pread64")(descriptor, buffer, size, offset);
}

ssize_t pwrite64(int descriptor, const void* buffer, size_t size, off64_t offset)
{
    bool target = isTheFile(descriptor);
    if (target) {
        log("pwrite", descriptor);
        if (interrupts(writeInterruptions))
            return -1;
    }
    ssize_t written = next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64")(descriptor, buffer, size, offset);
    if (target && terminateAfterWrite) {
        terminateAfterWrite = false;
        kill(getpid(), SIGTERM);
    }
    return written;
}

// The tool asks for fstat64; the shim itself, for fstat.
int fstat64(int descriptor, struct stat64* info)
{
    if (statFails && isTheFile(descriptor)) {
        log("fstat", descriptor);
        errno = EIO;
        return -1;
    }
    return next<int (*)(int, struct stat64*)>("fstat64")(descriptor, info);
}

int flock(int descriptor, int operation)
{
    if (isTheFile(descriptor)) {
        log("flock", descriptor);
        if (interrupts(lockInterruptions))
            return -1;
    }
    return next<int (*)(int, int)>("flock")(descriptor, operation);
}

} // extern "C"
