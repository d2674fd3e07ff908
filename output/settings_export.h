#pragma once

#include "output/output.h"
#include "image/config_block.h"

namespace vornset {

// Prints the block's settings as a settings file that load= reads back: a comment
// line, the thirteen global options in the help screen's order, then each profile's
// section. A stored value that no option gives is written as a comment instead.
void printSettingsAsOptions(const ConfigBlock& block, Output& out);

// Prints the block's settings as one JSON document with a fixed order of keys: the
// configuration version, the settings and each profile as options give them (null
// where none can), and every field's stored bytes.
void printSettingsAsJson(const ConfigBlock& block, Output& out);

// Prints a line for each field whose value an edit changed from before to after, in
// the order of the settings as options, or "no changes".
void printChanges(const ConfigBlock& before, const ConfigBlock& after, Output& out);

} // namespace vornset
