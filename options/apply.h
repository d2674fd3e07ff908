#pragma once

#include "image/config_block.h"
#include "options/plan.h"
#include "settings/refusal.h"

#include <optional>

namespace vornset {

// The name that the command line gave a profile, which the run tells of: "ffff", and
// a warning where it was cut to the field's sixteen bytes.
struct GivenName {
    bool given = false;
    bool cut = false;
    ConfigBlock::Name stored{};
};

// Applies the plan to the block: what the settings files give, then each pass in its
// fixed order over the command line's options of its key, each value checked as the
// boot manager's users know it and stored at once; then the rule for a hidden start,
// judged on what the whole run leaves; then the profile passes, whose values are
// written together at the end, and the checks of show= and write=. Returns the first
// refusal; the block may then hold some of the changes already made.
std::optional<Refusal> applyPlan(const Plan& plan, ConfigBlock& block, GivenName& name);

// A value that a settings file gives for a key: a global setting's stored code, a
// profile's number, the drive's digit, a partition's number, or a name.
struct FileValue {
    int number = 0;
    ConfigBlock::Name name{};
};

// Checks a value that a settings file gives, strictly: a number is decimal digits
// alone, and a name longer than its field is refused, since a file restores exactly
// or not at all.
Problem checkFileValue(Key key, std::string_view text, FileValue& value);

// Keeps a value that a settings file gives, a global setting's or a field of the
// profile given, where it came from, and counts it; false past the most settings a
// run takes.
bool keepFileValue(Key key, const FileValue& value, int profile, const Origin& at, FileSettings& files);

// Writes what the settings files give into the block.
void applyFileSettings(const FileSettings& files, ConfigBlock& block);

} // namespace vornset
