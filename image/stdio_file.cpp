#include "image/stdio_file.h"

namespace vornset {

StdioFile::~StdioFile()
{
    close();
}

bool StdioFile::open(const char* path, Mode mode)
{
    close();
    file_ = std::fopen(path, mode == Mode::read ? "rb" : "r+b");
    return file_ != nullptr;
}

std::optional<std::size_t> StdioFile::measure()
{
    // Some systems open a directory for reading and report a bogus length for it;
    // reading a byte is what tells it apart from a file.
    if (std::fgetc(file_) == EOF && std::ferror(file_))
        return std::nullopt;
    if (std::fseek(file_, 0, SEEK_END) != 0)
        return std::nullopt;
    long length = std::ftell(file_);
    if (length < 0 || std::fseek(file_, 0, SEEK_SET) != 0)
        return std::nullopt;
    return static_cast<std::size_t>(length);
}

bool StdioFile::read(std::span<std::uint8_t> bytes)
{
    return std::fread(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool StdioFile::write(std::span<const std::uint8_t> bytes)
{
    return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool StdioFile::flush()
{
    return std::fflush(file_) == 0;
}

bool StdioFile::close()
{
    if (file_ == nullptr)
        return true;
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
}

} // namespace vornset
