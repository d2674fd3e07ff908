#pragma once

#include "settings/utf8.h"

#include <cstddef>
#include <string_view>

namespace vornset {

// Text that came from outside the tool, such as a path or a profile name. It is
// printed with every control character as "?", C1 controls included, so that it can
// neither move the terminal's cursor nor forge a line of the tool's own.
struct Printable {
    std::string_view text;
};

// Text printed as a JSON string's content: the quote and the backslash after a
// backslash, every control (C0, DEL, C1) as \u00XX, and, outside JSON, each byte that
// starts no valid UTF-8 character as \xXX; so no two texts print alike. Where
// asciiOnly is set, every character past ASCII is a \uXXXX escape too, so that no
// two texts even look alike: a no-break space or a combining accent shows.
struct Escaped {
    std::string_view text;
    bool asciiOnly = false;
};

// A byte printed as two lower-case hexadecimal digits.
struct HexByte {
    unsigned char value;
};

// How many bytes the text takes as it is printed.
std::size_t printedSize(Printable text);

// Whether any character of the text prints as "?".
bool holdsControl(std::string_view text);

// Where the tool's text goes: standard output or standard error when it runs, a
// buffer in the page, a string in the tests. Kept this small so the tool needs neither iostreams nor any
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
    // A literal's length is known as it is compiled: no strlen at each one.
    template <std::size_t size>
    Output& operator<<(const char (&literal)[size])
    {
        write({literal, size - 1});
        return *this;
    }
    Output& operator<<(int number);
    Output& operator<<(Printable text);
    Output& operator<<(HexByte byte);
    Output& operator<<(Escaped text);

protected:
    ~Output() = default;
};

// Passes text on to another output, counting it.
class CountingOutput final : public Output {
public:
    explicit CountingOutput(Output& to) : to_(to) {}

    void write(std::string_view text) override
    {
        to_.write(text);
        written_ += text.size();
    }
    bool flush() override { return to_.flush(); }
    std::size_t written() const { return written_; }

private:
    Output& to_;
    std::size_t written_ = 0;
};

// Passes text on to the standard error, each line after "vornset: ". Defined here
// whole, as every Output is, so that no source needs the type information that the
// tool is built without.
class ErrorLines final : public Output {
public:
    explicit ErrorLines(Output& err) : err_(err) {}

    void write(std::string_view text) override
    {
        while (!text.empty()) {
            if (atLineStart_)
                err_.write("vornset: ");
            std::size_t end = text.find('\n');
            std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
            err_.write({text.data(), length});
            atLineStart_ = end != std::string_view::npos;
            text.remove_prefix(length);
        }
    }
    bool flush() override { return err_.flush(); }

private:
    Output& err_;
    bool atLineStart_ = true;
};

} // namespace vornset
