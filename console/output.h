#pragma once

#include <string_view>

namespace vornset {

// Where the tool's text goes: standard output when it runs, a string in the tests.
// Kept this small so the tool needs neither iostreams nor any allocation.
class Output {
public:
    virtual void write(std::string_view text) = 0;

    Output& operator<<(std::string_view text)
    {
        write(text);
        return *this;
    }
    Output& operator<<(int number);

protected:
    ~Output() = default;
};

class StandardOutput final : public Output {
public:
    void write(std::string_view text) override;
};

} // namespace vornset
