#pragma once

#include "options/entry.h"
#include "settings/refusal.h"

#include <optional>
#include <string_view>

namespace vornset {

// "write=no" makes an edit a dry run: everything is read, checked and applied in
// memory, and nothing is written. "write=yes" is the default.

// The pass runs after the show pass and refuses any value but yes and no.
std::optional<Refusal> checkWriteOption(Entries options);

// Whether the last valid "write=" of the options is "no".
bool isDryRun(Entries options);

} // namespace vornset
