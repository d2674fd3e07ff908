#include "platform/standard_streams.h"

#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vornset {
namespace {

// Every text the tool prints fits, so the C library needs no buffer of its own.
char outputBuffer[16384];
char errorBuffer[4096];

} // namespace

StandardOutput::StandardOutput(std::FILE* stream) : stream_(stream)
{
    // Should this fail, the C library's own buffer serves as well.
    if (stream == stdout)
        (void)std::setvbuf(stream, outputBuffer, _IOFBF, sizeof outputBuffer);
    else
        (void)std::setvbuf(stream, errorBuffer, _IOFBF, sizeof errorBuffer);
}

void StandardOutput::write(std::string_view text)
{
    // An empty view may have no data at all, which fwrite must not be handed.
    if (text.empty())
        return;
    if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size())
        failed_ = true;
}

bool StandardOutput::failed() const
{
    return failed_;
}

bool StandardOutput::flush()
{
    if (std::fflush(stream_) != 0 || std::ferror(stream_))
        failed_ = true;
    return !failed_;
}

void prepareStandardStreams()
{
#ifndef _WIN32
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF)
            continue;
        // The lowest free number is the one just found closed.
        int opened = open("/dev/null", descriptor == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (opened > STDERR_FILENO)
            close(opened);
    }
    std::signal(SIGPIPE, SIG_IGN);
    // A write past the file-size limit then fails as an error that the edit undoes,
    // rather than ending the process part-way through the write.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace vornset
