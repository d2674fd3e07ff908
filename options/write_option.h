#pragma once

#include "options/param.h"
#include "settings/refusal.h"

#include <optional>
#include <string_view>

namespace vornset {

// "write=no" makes an edit a dry run: everything is read, checked and applied in
// memory, and nothing is written. "write=yes" is the default.
inline constexpr std::string_view WRITE_KEY = "write";

// The pass runs after the show pass and refuses any value but yes and no.
std::optional<Refusal> checkWriteOption(Arguments options);

// Whether the last valid "write=" of the options is "no".
bool isDryRun(Arguments options);

} // namespace vornset
