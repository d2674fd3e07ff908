#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace vornset {

// Text that came from outside the tool, such as a path or a profile name. It is
// printed with every control character as "?", C1 controls included, so that it can
// neither move the terminal's cursor nor forge a line of the tool's own.
struct Printable {
    std::string_view text;
};

// How many bytes the text takes as it is printed.
std::size_t printedSize(Printable text);

// Where the tool's text goes: standard output or standard error when it runs, a
// string in the tests. Kept this small so the tool needs neither iostreams nor any
// allocation.
class Output {
public:
    virtual void write(std::string_view text) = 0;
    // Whether everything written so far has reached its destination.
    virtual bool flush() = 0;

    Output& operator<<(std::string_view text)
    {
        write(text);
        return *this;
    }
    Output& operator<<(int number);
    Output& operator<<(Printable text);

protected:
    ~Output() = default;
};

// One of the C library's standard streams: stdout fully buffered, so that the run's
// text goes out in one write at the end, or stderr a line at a time.
class StandardOutput final : public Output {
public:
    explicit StandardOutput(std::FILE* stream);

    void write(std::string_view text) override;
    bool flush() override;
    bool failed() const { return failed_; }

private:
    std::FILE* stream_;
    bool failed_ = false;
};

// Readies the process's standard streams before anything else is opened. A standard
// descriptor that the process was started without is opened on the null device, in
// the direction it is not used in, so that no file the tool opens can take its number
// and every use of it fails as an error. A closed pipe then makes a write fail
// rather than end the process.
void prepareStandardStreams();

} // namespace vornset
