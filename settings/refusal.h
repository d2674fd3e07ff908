#pragma once

#include <string_view>

namespace vornset {

// Why the run refuses a value or an argument: the option it is about, why, and
// where it was found. Nothing is written after a refusal.
struct Refusal {
    // The option's key without "=", or the argument where it is no option; empty
    // where the refusal is about none, as for a line that holds no option.
    std::string_view key{};
    // What follows "Parameter error: ", or, where namesKey is set, what follows the
    // key and a comma: "cntval, only values 1-99 are valid" or "'prf' must be set".
    std::string_view reason{};
    bool namesKey = false;
    // The settings file's line it was found on; 0 on the command line.
    int line = 0;
    // Where a run loads more than one settings file, the name of the one it is in.
    std::string_view file{};
    // Where in a JSON document the value stands, before the key: "settings", or
    // "profiles" and the profile's position in the list (item, from 0), printed as
    // "settings.cntval" and "profiles[3].prfname".
    std::string_view within{};
    // The command-line argument refused, by its position as main counts it; 0 where
    // the refusal is about none.
    int argument = 0;
    // The key most likely meant, where the key is none: "; did you mean KEY?".
    std::string_view meant{};
    int item = -1;
};

// The rule for a hidden start: it needs the countdown on and a default boot.
inline constexpr std::string_view HIDDEN_START_NEEDS = "hidden mode requires countdown and default boot";

} // namespace vornset
