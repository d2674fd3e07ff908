#pragma once

#include "image/config_block.h"
#include "options/entry.h"
#include "options/settings_file.h"
#include "settings/hidden_start.h"
#include "settings/refusal.h"

#include <optional>

namespace vornset {

// Judges the rule for a hidden start once, on the block as the settings files and
// the command line's global options leave it: the run is refused where it leaves
// the image starting hidden without a countdown or a default boot, unless the image
// was exactly so before the run. The refusal names the last of the run's settings
// that broke the rule; the command line comes after every file, and on it the
// countdown is named before the default boot, and that before the start mode.
std::optional<Refusal> judgeHiddenStart(const HiddenStartBytes& before, const ConfigBlock& after,
                                        const StagedSettings& files, Entries options);

} // namespace vornset
