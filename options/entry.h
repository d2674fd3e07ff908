#pragma once

#include "image/config_block.h"
#include "settings/refusal.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vornset {

// The keys that say what a run does rather than what it sets, by their row: "load="
// applies a settings file ("load=-" standard input), "show=" prints the settings in
// another form, "write=no" makes an edit a dry run.
inline constexpr std::string_view LOAD_KEY = "load";
inline constexpr std::string_view SHOW_KEY = "show";
inline constexpr std::string_view WRITE_KEY = "write";
inline constexpr std::string_view RUN_KEYS[] = {LOAD_KEY, SHOW_KEY, WRITE_KEY};
enum RunRow : std::uint8_t { loadRow, showRow, writeRow };

// Why an entry does nothing, and where it does nothing.
enum class Ignored : std::uint8_t {
    no,
    // It matches no key; its entry names the key most likely meant, if any.
    noSuchOption,
    // It is a key's name without "=".
    noValue,
    // An argument with nothing in it.
    empty,
    // It changes a profile that no "prf=" of the command line chooses.
    noProfileChosen,
};

// Where an entry came from: an argument's position on the command line, counted as
// main counts it; or a settings file's position among the run's load= (from 1) and
// its line, and in a JSON document the object and, in "profiles", the profile's
// position from 0.
struct Source {
    int argument = 0;
    int file = 0;
    int line = 0;
    std::string_view within{};
    int item = 0;
};

// One setting or run key as one door gave it, read once: every later step of the run
// works on these. Every member is zero unless given, so that a store of them costs
// nothing until it is used.
struct Entry {
    enum Kind : std::uint8_t { ignored, global, profile, runKey };
    Kind kind = ignored;
    // The row of GLOBAL_SETTINGS, PROFILE_SETTINGS or RUN_KEYS.
    std::uint8_t row = 0;
    Ignored why = Ignored::no;
    // The platform could not hold the argument exactly in the text it was given in.
    bool inexact = false;
    Source from{};
    // On the command line: the argument as given, its value after "=", and for an
    // ignored one the key most likely meant.
    std::string_view text{};
    std::string_view value{};
    std::string_view meant{};
    // From a settings file: the value as the file's strict grammar read it, the
    // stored code of a global setting, a profile's number, the drive's digit or a
    // partition number, or the name.
    int number = 0;
    ConfigBlock::Name name{};
};

using Entries = std::span<const Entry>;

// One pass: every entry of the kind and row, in their order, handed to take until
// take refuses one; the refusal names the entry's argument.
template <typename Take>
std::optional<Refusal> runPass(Entries entries, Entry::Kind kind, std::size_t row, Take take)
{
    for (const Entry& entry : entries)
        if (entry.kind == kind && entry.row == row)
            if (std::optional<Refusal> refusal = take(entry)) {
                refusal->argument = entry.from.argument;
                return refusal;
            }
    return std::nullopt;
}

} // namespace vornset
