#pragma once

#include <cstdint>
#include <string_view>

namespace vornset {

// Where a value came from: an argument of the command line, by its position as main
// counts it; or a line of the file'th settings file that the run's load= name, from
// 1, and in a JSON document the object it stands in and, in "profiles", the
// profile's place in the list, from 0.
struct Origin {
    int argument = 0;
    int file = 0;
    int line = 0;
    std::string_view object{};
    int item = -1;

    // Whether the value came later in the run than the other: the files in their
    // order, then the command line.
    bool laterThan(const Origin& other) const
    {
        if ((file == 0) != (other.file == 0))
            return file == 0;
        return file != other.file ? file > other.file : line > other.line;
    }
};

// Why the run refuses a value or an argument, and where it was found. Nothing is
// written after a refusal.
struct Refusal {
    // The option's key without "=", or the argument where it is no option; empty
    // where the refusal is about none, as for a line that holds no option.
    std::string_view key{};
    // What follows "Parameter error: ", or, where namesKey is set, what follows the
    // key and a comma: "cntval, only values 1-99 are valid" or "'prf' must be set".
    std::string_view reason{};
    bool namesKey = false;
    Origin at{};
    // Where the run loads more than one settings file, the name of the one it is in.
    std::string_view file{};
    // The key most likely meant, where the key is none: "; did you mean KEY?".
    std::string_view meant{};
};

// Why a value is refused, where it is: what follows "Parameter error: " before the
// refusal's place is known, and whether it follows the key and a comma.
struct Problem {
    std::string_view reason{};
    bool namesKey = false;

    explicit operator bool() const { return !reason.empty(); }
};

// Reasons that the messages complete: "no such option", then where a key is likely
// meant, "; did you mean KEY?"; and for a key given alone, "options are written
// KEY=VALUE".
extern const std::string_view NO_SUCH_OPTION;
extern const std::string_view OPTIONS_ARE_WRITTEN;

// The rule for a hidden start: it needs the countdown on and a default boot.
extern const std::string_view HIDDEN_START_NEEDS;

} // namespace vornset
