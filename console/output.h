#pragma once

#include <string_view>

namespace vornset {

// Text that came from outside the tool, such as a path or a profile name. It is
// printed with every control character as "?", so that it can neither move the
// terminal's cursor nor forge a line of the tool's own.
struct Printable {
    std::string_view text;
};

// Where the tool's text goes: standard output when it runs, a string in the tests.
// Kept this small so the tool needs neither iostreams nor any allocation.
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

class StandardOutput final : public Output {
public:
    StandardOutput();

    void write(std::string_view text) override;
    bool flush() override;
    bool failed() const { return failed_; }

private:
    bool failed_ = false;
};

} // namespace vornset
